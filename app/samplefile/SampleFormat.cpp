#include "SampleFormat.h"

#include "Utf8.h"

#include <algorithm>
#include <cstring>

namespace orvane {
namespace {

// Remainder of value · x^10 modulo x^10 + x^8 + x^7 + x^5 + x^4 + x^3 + 1,
// one table lookup per byte.
constexpr uint16_t kPoly = 0x5B9; // the generator with its x^10 term

constexpr std::array<uint16_t, 256> MakeTable() {
    std::array<uint16_t, 256> t{};
    for (unsigned b = 0; b < 256; ++b) {
        uint32_t r = b << 10; // b · x^10, at most 18 bits
        for (int bit = 17; bit >= 10; --bit)
            if (r & (1u << bit)) r ^= static_cast<uint32_t>(kPoly) << (bit - 10);
        t[b] = static_cast<uint16_t>(r);
    }
    return t;
}
constexpr std::array<uint16_t, 256> kTable = MakeTable();

uint16_t Syndrome(uint16_t value) {
    // r(hi · x^8 + lo) · x^10 = r(r(hi · x^10) · x^8 + lo · x^10).
    const uint16_t hi = kTable[value >> 8];
    const uint16_t top = static_cast<uint16_t>(hi >> 2);            // bits 9..2 shifted out by x^8
    const uint16_t low = static_cast<uint16_t>((hi & 3) << 8);
    return static_cast<uint16_t>(low ^ kTable[top ^ (value & 0xFF)]);
}

void PutWord(uint8_t* p, uint16_t w) {
    p[0] = static_cast<uint8_t>(w >> 8);
    p[1] = static_cast<uint8_t>(w & 0xFF);
}

uint16_t GetWord(const uint8_t* p) { return static_cast<uint16_t>(p[0] << 8 | p[1]); }

// A length byte and the text at `offset` of the trailer.
void PutShortString(SampleTrailer& t, size_t offset, std::string_view text) {
    t[offset] = static_cast<uint8_t>(text.size());
    if (!text.empty()) std::memcpy(t.data() + offset + 1, text.data(), text.size()); // an empty view may hold no pointer
}

} // namespace

uint16_t CheckWord(uint16_t value, uint16_t offset) {
    return static_cast<uint16_t>((Syndrome(value) ^ offset) & 0x3FF);
}

uint16_t BlockOffset(int block, bool cPrime) {
    switch (block) {
    case 0: return kOffsetA;
    case 1: return kOffsetB;
    case 2: return cPrime ? kOffsetCPrime : kOffsetC;
    default: return kOffsetD;
    }
}

SampleRecord SampleEncoder::Encode(const TRDSGroupRec& g) {
    SampleRecord r{};
    for (int k = 0; k < 4; ++k) {
        const int32_t v = Block(g, k);
        if (!BlockValid(v)) continue; // two zero words
        if (k == 1) cPrime_ = (v >> 11) & 1;
        PutWord(r.data() + 4 * k, static_cast<uint16_t>(v));
        PutWord(r.data() + 4 * k + 2, BlockCRC(static_cast<uint16_t>(v), k, cPrime_));
    }
    return r;
}

bool BadCRC(uint16_t value, uint16_t check, int block, bool cPrime) {
    return CheckWord(value, BlockOffset(block, cPrime)) != (check >> 6);
}

namespace {

// Whether block k of a record holds its check word. Block C may carry either
// offset when B failed, since the writer chose by a B it saw.
bool GoodBlock(const uint8_t* record, int k, int32_t blockB) {
    const uint16_t value = GetWord(record + 4 * k);
    const uint16_t check = GetWord(record + 4 * k + 2);
    if (k == 2 && blockB < 0) return !BadCRC(value, check, 2, false) || !BadCRC(value, check, 2, true);
    return !BadCRC(value, check, k, k == 2 && ((blockB >> 11) & 1));
}

} // namespace

TRDSGroupRec DecodeSampleRecord(const uint8_t* bytes, bool badAsCorrect, const LocalTime& now) {
    TRDSGroupRec g = StampedGroup(now);
    int32_t blocks[4] = {kMissingBlock, kMissingBlock, kMissingBlock, kMissingBlock};
    for (int k = 0; k < 4; ++k) {
        const bool bad = !GoodBlock(bytes, k, blocks[1]);
        blocks[k] = (bad && (k < 2 || !badAsCorrect)) ? kMissingBlock : GetWord(bytes + 4 * k);
    }
    g.BlockA = blocks[0];
    g.BlockB = blocks[1];
    g.BlockC = blocks[2];
    g.BlockD = blocks[3];
    return g;
}

bool SoundSampleBlock(const uint8_t* record, int k) {
    // Without block B's word, C may carry either offset.
    return (GetWord(record + 4 * k + 2) & 0x3F) == 0 && GoodBlock(record, k, kMissingBlock);
}

bool ProvesASampleRecord(const uint8_t* slot) {
    int sound = 0, missing = 0;
    for (int k = 0; k < 4; ++k) {
        if (SoundSampleBlock(slot, k)) ++sound;
        else if (GetWord(slot + 4 * k) == 0 && GetWord(slot + 4 * k + 2) == 0) ++missing;
    }
    return sound >= 2 || (sound == 1 && missing == 3);
}

SampleTrailer BuildSampleTrailer(std::string_view location, std::string_view name) {
    static constexpr char kWeb[] = "orvane.example"; // 14 characters; readers ignore it
    static_assert(sizeof kWeb - 1 == 14);
    SampleTrailer t{};
    PutShortString(t, 69, kWeb);
    PutShortString(t, 111, "Orvane     ");
    PutShortString(t, 48, utf8::Cut(location, 20));
    PutShortString(t, 90, utf8::Cut(name, 20));
    return t;
}

bool StartsLikeASampleTrailer(const uint8_t* t, size_t n) {
    auto zeroFrom = [&](size_t from, size_t to) {
        for (size_t i = from; i < n && i < to; ++i)
            if (t[i] != 0) return false;
        return true;
    };
    // A short string: its length byte, its text, zeros to the field's end.
    auto shortString = [&](size_t at, size_t end) {
        if (n <= at) return true;
        return t[at] <= 20 && zeroFrom(at + 1 + t[at], end);
    };
    // The address and the product are printed text, "@" included: other
    // writers of the layout put mail addresses there. A record there would
    // mostly hold the low byte of a check word (0x00, 0x80 or 0xC0; 0x40 is
    // "@") or a missing block's zeros.
    auto printed = [&](size_t from, size_t to) {
        for (size_t i = from; i < n && i < to; ++i)
            if (t[i] < 0x20 || t[i] > 0x7E) return false;
        return true;
    };
    return zeroFrom(0, 48) && shortString(48, 69) && (n <= 69 || t[69] == 14) && printed(70, 84) &&
           zeroFrom(84, 90) && shortString(90, 111) && (n <= 111 || t[111] == 11) && printed(112, 123);
}

SampleLayout SampleLayoutOf(int64_t size, std::string_view tail) {
    SampleLayout l;
    if (size < 2) return l;
    const int64_t body = size - 2;
    const int64_t tailStart = size - static_cast<int64_t>(std::min<size_t>(tail.size(), static_cast<size_t>(body)));
    // The bytes from file offset `from` to the end, when they are at hand.
    auto bytesFrom = [&](int64_t from) -> const uint8_t* {
        if (from < tailStart || from > size) return nullptr;
        return reinterpret_cast<const uint8_t*>(tail.data() + tail.size() - static_cast<size_t>(size - from));
    };
    auto oursFrom = [&](int64_t from, int64_t length) {
        const uint8_t* t = bytesFrom(from);
        return t && StartsLikeASampleTrailer(t, static_cast<size_t>(length));
    };
    auto endAt = [&](int64_t recordsEnd) {
        l.groups = (recordsEnd - 2) / kSampleRecordSize;
        l.readLimit = recordsEnd;
        l.afterRecords = size - recordsEnd;
        return l;
    };
    const int64_t lastSlotEnd = 2 + body / kSampleRecordSize * kSampleRecordSize;

    // 1. Our whole trailer at a record boundary, with at most so many bytes
    //    appended; the last one of them.
    for (int64_t from = lastSlotEnd; from >= 2 && size - from <= kSampleTrailerSize + kSampleAppendedBytes;
         from -= kSampleRecordSize)
        if (size - from >= kSampleTrailerSize && oursFrom(from, kSampleTrailerSize)) return endAt(from);

    // The first record boundary at which a trailer shorter than a whole
    // one may begin: the longest cut first.
    const int64_t firstCut = [&] {
        int64_t from = std::max<int64_t>(2, size - (kSampleTrailerSize - 1));
        return from + (kSampleRecordSize - (from - 2) % kSampleRecordSize) % kSampleRecordSize;
    }();

    // 2. A cut of ours that holds its address.
    for (int64_t n = size - firstCut; n >= kCutWithItsAddress; n -= kSampleRecordSize)
        if (oursFrom(size - n, n)) return endAt(size - n);

    // 3. The end of the last slot that proves a record, among those that
    //    end where a trailer could begin.
    int64_t proven = 2;
    for (int64_t end = lastSlotEnd; end > 2 && size - end < kSampleTrailerSize; end -= kSampleRecordSize)
        if (const uint8_t* slot = bytesFrom(end - kSampleRecordSize); slot && ProvesASampleRecord(slot)) {
            proven = end;
            break;
        }

    // 4. A size that fits a whole trailer; in a file too short for one, a
    //    cut one.
    const int64_t rest = body % kSampleRecordSize;
    const int64_t whole = rest == kSampleTrailerSize % kSampleRecordSize  ? kSampleTrailerSize
                          : rest == kShortTrailerSize % kSampleRecordSize ? kShortTrailerSize
                                                                          : 0;
    if (whole) return endAt(std::max({size - whole, int64_t{2}, proven}));

    // 5. The longest cut of ours after the last proving slot.
    for (int64_t n = size - std::max(firstCut, proven); n >= 0; n -= kSampleRecordSize)
        if (oursFrom(size - n, n)) return endAt(size - n);
    return endAt(lastSlotEnd);
}

} // namespace orvane
