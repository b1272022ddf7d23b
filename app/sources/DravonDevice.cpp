#include "DravonDevice.h"

#include <dlfcn.h>

namespace orvane {

DravonDevice::~DravonDevice() {
    if (module_) ::dlclose(module_);
}

std::unique_ptr<DravonDevice> DravonDevice::Load(const std::string& path) {
    void* module = ::dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!module) return nullptr;
    DravonCalls c;
    bool all = true;
    const auto find = [&](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(::dlsym(module, name));
        if (!fn) all = false;
    };
    find(c.Connect, "Connect");
    find(c.Disconnect, "Disconnect");
    find(c.ConnectionSetup, "ConnectionSetup");
    find(c.ReadBufferLength, "ReadBufferLength");
    find(c.WriteCommand, "WriteCommand");
    find(c.ReadResponse, "ReadResponse");
    find(c.Connected, "Connected");
    if (!all) {
        ::dlclose(module);
        return nullptr;
    }
    auto device = std::make_unique<DravonDevice>(c);
    device->module_ = module;
    return device;
}

} // namespace orvane
