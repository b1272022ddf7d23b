#include "DravonLibrary.h"

#include "DravonTime.h"

#include <dlfcn.h>

#include <cstdlib>
#include <memory>

namespace orvane::test {
namespace {

std::unique_ptr<FakeTime> fakeTime;
std::vector<int> sleeps;
dravon::DravonTime hook;

} // namespace

FakeTime& LibraryTime() {
    if (!fakeTime) fakeTime = std::make_unique<FakeTime>();
    return *fakeTime;
}

std::vector<int>& LibrarySleeps() { return sleeps; }

namespace {

const std::pair<std::string, std::string> kFloodFrames[] = {
    {"Frequency", "087500"}, {"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdef", "1"}, {"G", "7827 0408 E0CD 4F52"}};

} // namespace

std::string FrameFlood::Burst(int frames) {
    std::string bytes;
    for (int i = 0; i < frames; ++i) {
        const auto& [key, value] = kFloodFrames[i % 3];
        bytes += DeviceFrame(key, value);
    }
    return bytes;
}

void FrameFlood::ExpectOnlyWholeFrames(const std::vector<std::string>& responses,
                                       const std::function<std::string(const char* key)>& valueOf) {
    for (const std::string& r : responses) {
        bool sent = false;
        for (const auto& [key, value] : kFloodFrames) sent = sent || r == key + "=" + value;
        ASSERT_TRUE(sent) << r;
    }
    for (const auto& [key, value] : kFloodFrames)
        for (size_t i = 1; i < key.size(); ++i) EXPECT_EQ(valueOf(key.substr(i).c_str()), "") << key.substr(i);
}

bool DravonLibrary::Load() {
    const char* dir = std::getenv("ORVANE_PROGRAM_DIR");
    const std::string path = std::string(dir ? dir : ".") + "/libdravon.so";
    handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) return false;
    const auto get = [this](auto& fn, const char* name) {
        fn = reinterpret_cast<std::remove_reference_t<decltype(fn)>>(dlsym(handle, name));
        return fn != nullptr;
    };
    return get(Version, "Version") && get(Connect, "Connect") && get(Disconnect, "Disconnect") &&
           get(ConnectionSetup, "ConnectionSetup") && get(WriteBufferLength, "WriteBufferLength") &&
           get(ReadBufferLength, "ReadBufferLength") && get(WriteCommand, "WriteCommand") &&
           get(ReadResponse, "ReadResponse") && get(Connected, "Connected") && get(ReadValue, "ReadValue") &&
           get(ClearValues, "ClearValues") && get(GetArray, "GetArray") && get(PCharToFloat, "PCharToFloat") &&
           get(AddDevice, "AddDevice") && get(CheckDevices, "CheckDevices") && get(SetDevice, "SetDevice") &&
           get(ActiveDevice, "ActiveDevice") && get(DeviceCount, "DeviceCount");
}

void DravonLibrary::Unload() {
    if (handle) dlclose(handle);
    handle = nullptr;
}

void DravonTest::SetUp() {
    sleeps.clear();
    simTimers = time.TimerCount();
    ASSERT_TRUE(lib.Load()) << dlerror();
    ASSERT_TRUE(sim.Listen());
}

void DravonTest::TearDown() { lib.Unload(); }

bool DravonTest::Pump(const std::function<bool()>& done) {
    return QTest::qWaitFor(
        [&] {
            time.Advance(20);
            return done();
        },
        5000);
}

void DravonTest::Settle(int rounds) {
    for (int i = 0; i < rounds; ++i) {
        QCoreApplication::processEvents();
        QTest::qWait(1);
    }
}

bool DravonTest::ConnectToSimulator() {
    lib.ConnectionSetup(1, 0, "127.0.0.1", sim.Port());
    if (!lib.Connect()) return false;
    return QTest::qWaitFor([&] { return lib.Connected() && sim.Links() > 0; }, 5000);
}

std::vector<std::string> DravonTest::Drain() {
    std::vector<std::string> out;
    while (lib.ReadBufferLength() > 0) out.emplace_back(lib.ReadResponse());
    return out;
}

std::vector<float> DravonTest::Array(const char* name) {
    TDeviceArray a{};
    lib.GetArray(&a, name);
    return std::vector<float>(a.values, a.values + a.count);
}

} // namespace orvane::test

// The library looks this up in its host when it creates its data module.
extern "C" orvane::dravon::DravonTime* OrvaneDravonTestTime() {
    orvane::test::hook.timers = &orvane::test::LibraryTime();
    orvane::test::hook.sleep = [](int ms) { orvane::test::sleeps.push_back(ms); };
    return &orvane::test::hook;
}
