#pragma once
// Scope samples for the status window's plot, shared by its tests and benchmark.
#include "StatusInfo.h"

#include <cmath>

namespace orvane::test {

// The clock-and-data stereo signal at 48 kHz: data bits (NRZ, 1187.5 bit/s)
// on the left, the bit clock on the right.
inline ScopeSamples StereoTestSignal() {
    ScopeSamples s;
    const double samplesPerBit = 48000.0 / 1187.5;
    const int bits[] = {1, 0, 1, 1, 0, 0, 1, 0, 1, 1};
    for (int i = 0; i < ScopeSamples::kCount; ++i) {
        const int bit = bits[static_cast<int>(i / samplesPerBit) % 10];
        s.left[i] = bit ? 10000 : -10000;
        s.right[i] = std::fmod(i, samplesPerBit) < samplesPerBit / 2 ? 8000 : -8000;
    }
    return s;
}

} // namespace orvane::test
