#pragma once
// The built libdravon.so loaded with dlopen, on a fake clock: the test
// program defines the hook the library asks its host for, so the library's
// timers and its sleep run on FakeTime.
#include <orvane/dravon.h>

#include "DeviceSimulator.h"
#include "FakeTime.h"

#include <QCoreApplication>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

namespace orvane::test {

struct DravonLibrary {
    void* handle = nullptr;
    decltype(&::Version) Version = nullptr;
    decltype(&::Connect) Connect = nullptr;
    decltype(&::Disconnect) Disconnect = nullptr;
    decltype(&::ConnectionSetup) ConnectionSetup = nullptr;
    decltype(&::WriteBufferLength) WriteBufferLength = nullptr;
    decltype(&::ReadBufferLength) ReadBufferLength = nullptr;
    decltype(&::WriteCommand) WriteCommand = nullptr;
    decltype(&::ReadResponse) ReadResponse = nullptr;
    decltype(&::Connected) Connected = nullptr;
    decltype(&::ReadValue) ReadValue = nullptr;
    decltype(&::ClearValues) ClearValues = nullptr;
    decltype(&::GetArray) GetArray = nullptr;
    decltype(&::PCharToFloat) PCharToFloat = nullptr;
    decltype(&::AddDevice) AddDevice = nullptr;
    decltype(&::CheckDevices) CheckDevices = nullptr;
    decltype(&::SetDevice) SetDevice = nullptr;
    decltype(&::ActiveDevice) ActiveDevice = nullptr;
    decltype(&::DeviceCount) DeviceCount = nullptr;

    bool Load();
    void Unload();
};

// A flood of reply frames of three kinds, mostly key, so that a receive text
// cut at an arbitrary byte almost surely cuts a key.
struct FrameFlood {
    static std::string Burst(int frames);
    // Every response is a frame of the flood, and no key that only a frame
    // cut inside its key could give has a value.
    static void ExpectOnlyWholeFrames(const std::vector<std::string>& responses,
                                      const std::function<std::string(const char* key)>& valueOf);
};

// The clock and sleeps the loaded library sees.
FakeTime& LibraryTime();
std::vector<int>& LibrarySleeps();

// A fixture with the library loaded fresh for each test and a device
// simulator listening on 127.0.0.1.
class DravonTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Runs the event loop, moving the fake clock 20 ms per round, until done()
    // holds or 5 s of real time pass.
    bool Pump(const std::function<bool()>& done);
    // Runs the event loop for a moment without moving the clock.
    void Settle(int rounds = 20);
    // Points the active slot at the simulator and waits until it is up.
    bool ConnectToSimulator();
    // Every unread response, oldest first.
    std::vector<std::string> Drain();
    std::string Value(const char* key) { return lib.ReadValue(key); }
    std::vector<float> Array(const char* name);

    DravonLibrary lib;
    FakeTime& time = LibraryTime();
    DeviceSimulator sim{LibraryTime()};
    size_t simTimers = 0;  // the simulator's own timers on the shared clock
};

} // namespace orvane::test
