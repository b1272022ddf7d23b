#pragma once
// Sound-card test signals made from the encoder's bits: what a hardware RDS
// demodulator puts on a stereo line input (data and clock lines) and what an
// RDS encoder's biphase output puts on a mono input, with a little noise and
// a slow level drift.
#include <cstdint>
#include <vector>

namespace orvane::test {

struct SignalShape {
    int rate = 44100;       // samples (frames) per second
    bool invert = false;    // both channels negated
    int amplitude = 12000;
    double noise = 300;     // standard deviation
    double drift = 1500;    // peak of a slow level drift
    uint32_t seed = 1;
};

// Interleaved 16-bit frames: the clock a 1187.5 Hz square wave, the data NRZ
// changing on the clock's falling edge, each bit one clock period. The clock
// is channel 1 unless clockOnChannel2.
std::vector<int16_t> StereoDataClock(const std::vector<uint8_t>& bits, const SignalShape& shape,
                                     bool clockOnChannel2 = false);

// 16-bit mono samples of the differentially coded bits in biphase: a coded 1
// is a positive half-bit followed by a negative one, a coded 0 the reverse.
std::vector<int16_t> MonoBiphase(const std::vector<uint8_t>& bits, const SignalShape& shape);

// 16-bit mono samples of two 2375 Hz cycles per bit whose negative half-waves
// are keyed: 40 % of full scale for a 1, full for a 0. This is what the mono
// slicer reads bits from.
std::vector<int16_t> MonoKeyedWave(const std::vector<uint8_t>& bits, const SignalShape& shape);

// The stream cut into the byte buffers a capture delivers.
std::vector<std::vector<uint8_t>> Buffers(const std::vector<int16_t>& samples, int bufferBytes);

} // namespace orvane::test
