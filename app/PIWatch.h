#pragma once
// Watches block A for a change of station: a new PI counts after two groups
// in a row that carry it (31 from a live device link).
#include <cstdint>

namespace orvane {

struct PIWatch {
    int32_t stable = -1;
    int32_t candidate = -1;
    int32_t count = 0;
    bool changed = false;
    bool newRecordingPending = false;

    void Reset() {
        stable = candidate = -1;
        count = 0;
        changed = false;
    }

    // ChkPIForPIReset
    void Check(int32_t pi, bool liveDeviceLink) {
        if (pi < 0 || pi > 0xFFFF) return;
        if (stable < 0) stable = pi;
        if (pi == stable) {
            count = 0;
            return;
        }
        if (pi == candidate && count < 1000) ++count;
        const int32_t limit = liveDeviceLink ? 30 : 1;
        if (count > limit) {
            stable = candidate;
            count = 0;
            changed = true;
        }
        if (pi != candidate) {
            candidate = pi;
            count = 1;
        }
    }
};

} // namespace orvane
