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
    std::memcpy(t.data() + offset + 1, text.data(), text.size());
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

int GoodSampleBlocks(const uint8_t* record) {
    int good = 0;
    int32_t blockB = kMissingBlock;
    for (int k = 0; k < 4; ++k) {
        const bool ok = GoodBlock(record, k, blockB);
        if (k == 1 && ok) blockB = GetWord(record + 4);
        good += ok;
    }
    return good;
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
    // The web address is printed text; a record there would hold the low
    // byte of a check word (0x00, 0x40, 0x80 or 0xC0) or a missing block's
    // zeros, none of them a character of an address.
    auto address = [&] {
        for (size_t i = 70; i < n && i < 84; ++i)
            if (t[i] < 0x20 || t[i] > 0x7E || t[i] == '@') return false;
        return true;
    };
    return zeroFrom(0, 48) && shortString(48, 69) && (n <= 69 || t[69] == 14) && address() && zeroFrom(84, 90) &&
           shortString(90, 111) && (n <= 111 || t[111] == 11);
}

SampleLayout SampleLayoutOf(int64_t size, std::string_view tail) {
    SampleLayout l;
    const int64_t body = size - 2;
    if (body < 0) return l;
    // The last n bytes of the file, when they are at hand and after the header.
    auto last = [&](int64_t n) -> const uint8_t* {
        if (n > body || n > static_cast<int64_t>(tail.size())) return nullptr;
        return reinterpret_cast<const uint8_t*>(tail.data() + tail.size() - static_cast<size_t>(n));
    };
    const int64_t rest = body % kSampleRecordSize;
    // The trailer a file of this size would have in one piece, when it is
    // long enough to hold it.
    const int64_t kind = rest == kSampleTrailerSize % kSampleRecordSize  ? kSampleTrailerSize
                         : rest == kShortTrailerSize % kSampleRecordSize ? kShortTrailerSize
                                                                         : 0;
    const int64_t whole = body >= kind ? kind : 0;

    // Good blocks in the whole records among the n bytes at t, which begin
    // where a record would; `end` takes the end of the last such record.
    auto goodBlocks = [](const uint8_t* t, int64_t n, int64_t* end = nullptr) {
        int good = 0;
        for (int64_t at = 0; at + kSampleRecordSize <= n; at += kSampleRecordSize)
            if (const int g = GoodSampleBlocks(t + at)) {
                good += g;
                if (end) *end = at + kSampleRecordSize;
            }
        return good;
    };
    // Ours cut to its last n bytes, told by its known leading bytes. Up to
    // the address length at offset 69 they are few enough for records to
    // match (three all-missing ones and a group), and a good block there
    // says record: trailer text holds a check word only about once in
    // 1,024 blocks. Past it the fixed bytes say trailer, and a check word
    // in the location or the name is chance.
    auto oursCut = [&](int64_t n) {
        const uint8_t* c = last(n);
        return c && StartsLikeASampleTrailer(c, static_cast<size_t>(n)) && (n > 69 || goodBlocks(c, n) == 0);
    };
    // The longest cut of ours that fits the bytes before it into whole
    // records: an all-missing record is sixteen zero bytes, as the
    // trailer's start is, and playing it would add a group where the
    // trailer may have been; it carries no block.
    int64_t ours = 0;
    for (int64_t n = kSampleTrailerSize - 1 - (kSampleTrailerSize - 1 - rest) % kSampleRecordSize; n > 0 && !ours;
         n -= kSampleRecordSize)
        if ((!whole || n < whole) && oursCut(n)) ours = n;
    // Records with good blocks where a whole trailer would begin, before any
    // cut of ours, say the trailer was cut short (an interrupted copy, a
    // full disk) after the last of them, ours or another tool's: two good
    // blocks, or one where the cut of ours shows its address length.
    const int64_t span = std::min(kind, body);
    const uint8_t* t = kind ? last(span) : nullptr;
    int64_t records = 0;
    const int good = t ? goodBlocks(t, span - ours, &records) : 0;
    const bool cutAfterRecords = good >= 2 || (good == 1 && ours > 69);

    if (whole && t && StartsLikeASampleTrailer(t, static_cast<size_t>(whole))) {
        l.trailer = whole; // ours, whole, whatever its text
    } else if (t && cutAfterRecords) {
        l.trailer = span - records;
    } else if (whole && t) {
        l.trailer = whole; // the size says a whole trailer, whatever its bytes
    } else {
        l.trailer = ours ? ours : whole;
    }
    l.groups = (body - l.trailer) / kSampleRecordSize;
    l.readLimit = size - l.trailer;
    return l;
}

} // namespace orvane
