#pragma once
// The ring between the live bit sources and the decoder tick: sources append
// bits in bursts, the tick drains them evenly.
#include <array>
#include <cstddef>
#include <cstdint>

namespace orvane {

class DecoderRing {
public:
    static constexpr int kCells = 10000;
    static constexpr int kRefuseAbove = 9990; // pending bits beyond which new bits are dropped

    // Every bit offered is counted, also a refused one.
    void AddToDecoderBuffer(uint8_t bit) {
        ++bitsOffered_;
        if (bit) ++onesOffered_;
        if (pending_ > kRefuseAbove) return;
        ++pending_;
        int at = readPos_ + pending_ - 1;
        if (at >= kCells) at -= kCells;
        cells_[static_cast<size_t>(at)] = bit ? 1 : 0;
    }
    // 0 from an empty ring.
    uint8_t ReadFromDecoderBuffer() {
        if (pending_ < 1 || readPos_ < 0 || readPos_ >= kCells) return 0;
        const uint8_t bit = cells_[static_cast<size_t>(readPos_)];
        --pending_;
        if (++readPos_ >= kCells) readPos_ = 0;
        return bit;
    }
    // Keeps the read position.
    void Empty() { pending_ = 0; }

    int Pending() const { return pending_; }
    int ReadPosition() const { return readPos_; }
    int32_t BitsOffered() const { return bitsOffered_; }
    int32_t OnesOffered() const { return onesOffered_; }
    // The status window reads the counters and sets them back on each tick.
    void ResetCounters() { bitsOffered_ = onesOffered_ = 0; }

private:
    std::array<uint8_t, kCells> cells_{};
    int readPos_ = 0;
    int pending_ = 0;
    int32_t bitsOffered_ = 0, onesOffered_ = 0;
};

} // namespace orvane
