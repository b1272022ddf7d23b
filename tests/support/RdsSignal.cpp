#include "RdsSignal.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <random>

namespace orvane::test {

namespace {

constexpr double kBitRate = 1187.5;

class Impairment {
public:
    explicit Impairment(const SignalShape& s) : shape_(s), rng_(s.seed), gauss_(0.0, s.noise > 0 ? s.noise : 1.0) {}
    // The level of channel `ch` at sample n, with noise and drift added.
    int16_t operator()(double level, long n, int ch) {
        const double t = static_cast<double>(n) / shape_.rate;
        double v = level * shape_.amplitude + shape_.drift * std::sin(2 * M_PI * 0.7 * t + ch);
        if (shape_.noise > 0) v += gauss_(rng_);
        if (shape_.invert) v = -v;
        return static_cast<int16_t>(std::clamp(std::lround(v), -32768L, 32767L));
    }

private:
    SignalShape shape_;
    std::mt19937 rng_;
    std::normal_distribution<double> gauss_;
};

} // namespace

std::vector<int16_t> StereoDataClock(const std::vector<uint8_t>& bits, const SignalShape& shape, bool clockOnChannel2) {
    Impairment impair(shape);
    const long frames = std::lround(bits.size() * shape.rate / kBitRate);
    std::vector<int16_t> out;
    out.reserve(static_cast<size_t>(frames) * 2);
    for (long n = 0; n < frames; ++n) {
        const double periods = n * kBitRate / shape.rate;
        const double frac = periods - std::floor(periods);
        const double clock = frac < 0.5 ? 1.0 : -1.0;
        // Bit k is on the data line from the falling edge in period k to the
        // one in period k + 1; the first half period carries bit 0 too.
        long k = static_cast<long>(std::floor(periods - 0.5));
        k = std::clamp(k, 0L, static_cast<long>(bits.size()) - 1);
        const double data = bits[static_cast<size_t>(k)] ? 1.0 : -1.0;
        const int16_t c = impair(clock, n, 0), d = impair(data, n, 1);
        out.push_back(clockOnChannel2 ? d : c);
        out.push_back(clockOnChannel2 ? c : d);
    }
    return out;
}

namespace {

// A mono signal whose level (full scale 1) a function gives from the time in
// bit periods and the index of the bit then sent.
template <typename Level>
std::vector<int16_t> Mono(const std::vector<uint8_t>& bits, const SignalShape& shape, Level level) {
    Impairment impair(shape);
    const long samples = std::lround(bits.size() * shape.rate / kBitRate);
    std::vector<int16_t> out;
    out.reserve(static_cast<size_t>(samples));
    for (long n = 0; n < samples; ++n) {
        const double periods = n * kBitRate / shape.rate;
        const size_t k = std::min(static_cast<size_t>(periods), bits.size() - 1);
        out.push_back(impair(level(periods, k), n, 0));
    }
    return out;
}

} // namespace

std::vector<int16_t> MonoBiphase(const std::vector<uint8_t>& bits, const SignalShape& shape) {
    std::vector<uint8_t> coded(bits.size());
    uint8_t prev = 0;
    for (size_t i = 0; i < bits.size(); ++i) coded[i] = prev = static_cast<uint8_t>(prev ^ (bits[i] & 1));
    return Mono(bits, shape, [&](double periods, size_t k) {
        const bool firstHalf = periods - std::floor(periods) < 0.5;
        return (coded[k] != 0) == firstHalf ? 1.0 : -1.0;
    });
}

std::vector<int16_t> MonoKeyedWave(const std::vector<uint8_t>& bits, const SignalShape& shape) {
    return Mono(bits, shape, [&](double periods, size_t k) {
        const double level = std::sin(2 * M_PI * 2 * periods);
        return level < 0 && bits[k] ? level * 0.4 : level;
    });
}

std::vector<std::vector<uint8_t>> Buffers(const std::vector<int16_t>& samples, int bufferBytes) {
    std::vector<std::vector<uint8_t>> out;
    const size_t total = samples.size() * sizeof(int16_t);
    const auto* bytes = reinterpret_cast<const uint8_t*>(samples.data());
    for (size_t at = 0; at < total; at += static_cast<size_t>(bufferBytes)) {
        const size_t n = std::min(total - at, static_cast<size_t>(bufferBytes));
        out.emplace_back(bytes + at, bytes + at + n);
    }
    return out;
}

} // namespace orvane::test
