#pragma once
// The soft PI search: when reception is too poor for block synchronisation,
// block A still recurs every 104 bits. Adding up many 208-bit windows lets
// noise cancel and the PI bits stand out; candidates are counted in a
// histogram and the strongest is shown once it has been found often enough.
#include <array>
#include <cstdint>
#include <string>

namespace orvane {

class ISoftPIHost {
public:
    virtual ~ISoftPIHost() = default;
    virtual bool DecoderInSync() const = 0; // the synchroniser's hold is above 0
    virtual bool PIDecoded() const = 0;     // the basic decoder's PI is not "----"
    virtual bool Playing() const = 0;       // a file or stream plays
    virtual std::string ShownPI() const = 0; // what the PI label shows
    // Shows the PI (four upper-case hex digits) in the PI label and the
    // title, and sends "SUPERPI" to the plug-ins.
    virtual void ShowSoftPI(const std::string& pi) = 0;
};

class SuperPIDecoder {
public:
    static constexpr int kWindows = 52;
    static constexpr int kCarry = 25;                   // bits kept from the window before
    static constexpr int kWindowBits = 208;             // two groups
    static constexpr int kWindowSize = kCarry + kWindowBits; // 233
    static constexpr int kMinHits = 4;
    static constexpr int kHalveAbove = 15;

    explicit SuperPIDecoder(ISoftPIHost& host);

    // One bit from the decoder tick, before the synchroniser sees it.
    void Decode(uint8_t bit);
    // Every window zeroed, the fill count 0, the histogram zeroed.
    void Clear();

    int FillCount() const { return fill_; }
    int Hits(uint16_t pi) const { return histogram_[pi]; }
    // The PI with the highest count (the lowest PI on ties), and that count.
    uint16_t BestPI() const { return bestPI_; }
    int BestHits() const { return histogram_[bestPI_]; }
    // One completed window: the summing passes and the offset tests.
    void CompleteWindow();

private:
    void TestOffsets();
    void Count(uint16_t pi);
    void FindBest();

    ISoftPIHost& host_;
    std::array<std::array<int8_t, kWindowSize>, kWindows> windows_{};
    int fill_ = 0;
    std::array<int, kWindowSize> sum_{};
    std::array<uint8_t, 65536> histogram_{};
    uint16_t bestPI_ = 0;
};

} // namespace orvane
