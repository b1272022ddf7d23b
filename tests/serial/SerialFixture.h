#pragma once
// A component on a pseudo-terminal line, with a wait after closing that
// only records, and ticks the test moves by hand.
#include "PtyPeer.h"
#include "ScComm.h"

#include <gtest/gtest.h>

#include <atomic>
#include <memory>
#include <string>
#include <vector>

namespace orvane::test {

class SerialFixture : public ::testing::Test {
protected:
    SerialFixture() {
        comm.SetDeviceName(peer.DevicePath());
        comm.SetSleep([this](int ms) { sleeps.push_back(ms); });
        comm.SetTickSource([this] { return ticks.load(); });
    }

    // Declared before the component, which still sleeps and looks at the
    // clock while it is destroyed.
    std::vector<int> sleeps;
    std::atomic<uint32_t> ticks{1000};
    PtyPeer peer;
    TScComm comm;
};

// The text an exception carries, or "" when none was raised.
template <class F>
std::string Raised(F&& f) {
    try {
        f();
    } catch (const EScCommError& e) {
        return e.what();
    }
    return {};
}

} // namespace orvane::test
