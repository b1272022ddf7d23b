#pragma once
// The device link's calls on the device library's C functions, taken from
// libdravon.so in the program folder.
#include "DeviceLink.h"

#include <cstdint>
#include <memory>
#include <string>

namespace orvane {

struct DravonCalls {
    bool (*Connect)() = nullptr;
    void (*Disconnect)() = nullptr;
    void (*ConnectionSetup)(uint8_t kind, int32_t comPort, const char* host, int32_t tcpPort) = nullptr;
    int32_t (*ReadBufferLength)() = nullptr;
    void (*WriteCommand)(const char* command) = nullptr;
    const char* (*ReadResponse)() = nullptr;
    bool (*Connected)() = nullptr;
};

class DravonDevice final : public IDeviceLibrary {
public:
    explicit DravonDevice(const DravonCalls& calls) : calls_(calls) {}
    ~DravonDevice() override;
    DravonDevice(const DravonDevice&) = delete;
    DravonDevice& operator=(const DravonDevice&) = delete;

    // The library file loaded and its functions found; null when it is not
    // there or lacks one.
    static std::unique_ptr<DravonDevice> Load(const std::string& path);

    void ConnectionSetup(uint8_t kind, int32_t comPort, const std::string& host, int32_t tcpPort) override {
        calls_.ConnectionSetup(kind, comPort, host.c_str(), tcpPort);
    }
    bool Connect() override { return calls_.Connect(); }
    void Disconnect() override { calls_.Disconnect(); }
    bool Connected() override { return calls_.Connected(); }
    int32_t ReadBufferLength() override { return calls_.ReadBufferLength(); }
    // The library's text lives until its next call: copied at once.
    std::string ReadResponse() override {
        const char* reply = calls_.ReadResponse();
        return reply ? std::string(reply) : std::string();
    }
    void WriteCommand(const std::string& command) override { calls_.WriteCommand(command.c_str()); }

private:
    DravonCalls calls_;
    void* module_ = nullptr; // the library loaded by Load

};

} // namespace orvane
