#include "SuperPIDecoder.h"

#include "SampleFormat.h"

#include <algorithm>
#include <cstdio>

namespace orvane {

namespace {
// Whether 10 received check bits are block A's check word of the information,
// compared as the sample file stores check words.
bool CheckA(uint16_t info, uint32_t check) {
    return BlockCRC(info, 0, false) == static_cast<uint16_t>(check << 6);
}
} // namespace

SuperPIDecoder::SuperPIDecoder(ISoftPIHost& host) : host_(host) {}

void SuperPIDecoder::Clear() {
    for (auto& w : windows_) w.fill(0);
    fill_ = 0;
    histogram_.fill(0);
    bestPI_ = 0;
}

void SuperPIDecoder::Decode(uint8_t bit) {
    if (host_.DecoderInSync() || host_.PIDecoded() || host_.Playing()) return;
    if (fill_ >= kWindowBits || fill_ < 0) CompleteWindow();
    windows_[0][static_cast<size_t>(kCarry + fill_)] = bit ? 1 : -1;
    ++fill_;
}

void SuperPIDecoder::CompleteWindow() {
    fill_ = 0;
    std::copy(windows_[1].begin() + kWindowBits, windows_[1].end(), windows_[0].begin());
    for (int k = kWindows - 1; k >= 1; --k) windows_[static_cast<size_t>(k)] = windows_[static_cast<size_t>(k - 1)];
    sum_.fill(0);
    for (int i = 1; i <= 25; ++i) {
        for (int w = 2 * i - 1; w <= 2 * i + 1; ++w) {
            const auto& win = windows_[static_cast<size_t>(w)];
            for (int p = 0; p < kWindowSize; ++p) sum_[static_cast<size_t>(p)] += win[static_cast<size_t>(p)];
        }
        if (i >= 4) TestOffsets();
    }
}

void SuperPIDecoder::TestOffsets() {
    // The summed window as bits, newest last, so that a field is a shift away.
    std::array<uint64_t, 4> packed{};
    for (int p = 0; p < kWindowSize; ++p)
        if (sum_[static_cast<size_t>(p)] > 0) packed[static_cast<size_t>(p / 64)] |= uint64_t{1} << (63 - p % 64);
    auto field = [&](int from, int width) {
        uint32_t v = 0;
        for (int p = from; p < from + width; ++p)
            v = (v << 1) | static_cast<uint32_t>((packed[static_cast<size_t>(p / 64)] >> (63 - p % 64)) & 1);
        return v;
    };
    for (int b = 0; b < 104; ++b) {
        const uint16_t info1 = static_cast<uint16_t>(field(b, 16));
        const uint16_t info2 = static_cast<uint16_t>(field(b + 104, 16));
        if (info1 != info2) continue;
        const uint32_t check1 = field(b + 16, 10);
        const uint32_t check2 = field(b + 120, 10);
        if (CheckA(info1, check1) || CheckA(info2, check2)) Count(info1);
    }
}

void SuperPIDecoder::Count(uint16_t pi) {
    if (++histogram_[pi] > kHalveAbove) {
        for (auto& h : histogram_) h = static_cast<uint8_t>(h >> 1);
        FindBest(); // halving can tie counters that differed by one
    } else if (histogram_[pi] > histogram_[bestPI_] || (histogram_[pi] == histogram_[bestPI_] && pi < bestPI_)) {
        bestPI_ = pi;
    }
    if (histogram_[bestPI_] < kMinHits) return;
    char text[8];
    std::snprintf(text, sizeof text, "%04X", static_cast<unsigned>(bestPI_));
    if (host_.ShownPI() != text) host_.ShowSoftPI(text);
}

void SuperPIDecoder::FindBest() {
    bestPI_ = static_cast<uint16_t>(std::max_element(histogram_.begin(), histogram_.end()) - histogram_.begin());
}

} // namespace orvane
