#pragma once
// Sample files of every kind of ending a real one may have, and what the
// reading contract of SampleFormat.h lets each of them play. The fuzz
// target draws them from its input, the sweep and the format's tests from
// a seeded generator; all judge what the reader played by Judge().
#include "SampleFormat.h"

#include <algorithm>
#include <cstdint>
#include <random>
#include <string>
#include <vector>

namespace orvane::test::endings {

// The bytes a copy tool may append after our whole trailer, as the manual
// promises them; kept apart from the reader's constant so that a change of
// it is seen.
constexpr int64_t kAppendedBytesPromised = 4096;
// Enough records that a file outgrows the last bytes the reader looks at.
constexpr int kRecordsPastTheTail = static_cast<int>((kSampleTrailerSize + kAppendedBytesPromised) / kSampleRecordSize) + 1;

// How a record's blocks are stored. Full and PiOnly prove a record; the
// others carry no sound block.
enum class Record { Full, PiOnly, AllMissing, Bad, LowBits, kCount };
enum class Ending {
    None,
    PartRecord,
    OursWhole,
    OursPadded,
    OursCutBeforeItsAddressEnds,
    OursCutWithAddress,
    Foreign,
    ForeignCutToAWholeSize, // cut where the file's size fits a whole trailer
    ForeignCutToOtherSizes,
    OurLayoutNotPrinted, // a byte of the address or the product is no printed text: another tool's
    kCount
};
enum class Foreign { Random, TextAndZeros, Zeros, kCount };

inline const char* Name(Ending e) {
    switch (e) {
    case Ending::None: return "no trailer";
    case Ending::PartRecord: return "part of a record";
    case Ending::OursWhole: return "our whole trailer";
    case Ending::OursPadded: return "our whole trailer, bytes appended";
    case Ending::OursCutBeforeItsAddressEnds: return "our trailer cut before its address ends";
    case Ending::OursCutWithAddress: return "our trailer cut after its address";
    case Ending::Foreign: return "another tool's whole trailer";
    case Ending::ForeignCutToAWholeSize: return "another tool's cut, size of a whole";
    case Ending::ForeignCutToOtherSizes: return "another tool's cut, other sizes";
    case Ending::OurLayoutNotPrinted: return "our layout, not printed text";
    default: return "?";
    }
}

// Random choices, from a fuzzer's bytes or a generator.
class Source {
public:
    virtual ~Source() = default;
    virtual uint32_t Next() = 0; // 32 random bits
    uint32_t Below(uint32_t n) { return n ? Next() % n : 0; }
    uint8_t Byte() { return static_cast<uint8_t>(Next()); }
};

class Generator final : public Source {
public:
    explicit Generator(uint64_t seed) : rng_(seed) {}
    uint32_t Next() override { return static_cast<uint32_t>(rng_()); }

private:
    std::mt19937_64 rng_;
};

struct File {
    std::string bytes;
    std::vector<Record> records;
    Ending ending = Ending::None;
    std::string tail;      // the bytes after the records
    int64_t appended = 0;  // bytes after our whole trailer
};

inline void PutWord(std::string& s, uint16_t w) {
    s += static_cast<char>(w >> 8);
    s += static_cast<char>(w & 0xFF);
}

inline std::string MakeRecord(Source& in, Record kind) {
    std::string r;
    const int sound = static_cast<int>(in.Below(4)); // the PI-only group's one block: any of the four
    const unsigned present = 3u | (in.Below(4) << 2); // a full record: A and B, and C and D or not
    for (int k = 0; k < 4; ++k) {
        const uint16_t value = static_cast<uint16_t>(in.Next());
        const uint16_t check = BlockCRC(value, k, k == 2 && in.Below(2));
        switch (kind) {
        case Record::Full:
            if ((present >> k) & 1) PutWord(r, value), PutWord(r, check);
            else PutWord(r, 0), PutWord(r, 0);
            break;
        case Record::PiOnly:
            if (k == sound) PutWord(r, value), PutWord(r, check);
            else PutWord(r, 0), PutWord(r, 0);
            break;
        case Record::AllMissing: PutWord(r, 0), PutWord(r, 0); break;
        case Record::Bad: {
            // A word that is neither the check word under any offset nor zero.
            const auto matches = [&](uint16_t w) {
                for (uint16_t off : {kOffsetA, kOffsetB, kOffsetC, kOffsetCPrime, kOffsetD})
                    if (CheckWord(value, off) == w >> 6) return true;
                return false;
            };
            uint16_t bad = static_cast<uint16_t>(in.Next());
            while (bad == 0 || matches(bad)) bad = static_cast<uint16_t>(bad + 0x41);
            PutWord(r, value), PutWord(r, bad);
            break;
        }
        case Record::LowBits:
            PutWord(r, value), PutWord(r, static_cast<uint16_t>(check | (1 + in.Below(63))));
            break;
        default: break;
        }
    }
    return r;
}

// Text as a user types it: printable characters and now and then one of
// two bytes.
inline std::string MakeText(Source& in, size_t length) {
    std::string t;
    while (t.size() < length) {
        if (in.Below(16) == 0 && t.size() + 2 <= length) t += "\xC3\xB6";
        else t += static_cast<char>(' ' + in.Below(95));
    }
    return t;
}

inline std::string ForeignTrailer(Source& in, size_t size) {
    std::string t;
    switch (static_cast<Foreign>(in.Below(static_cast<uint32_t>(Foreign::kCount)))) {
    case Foreign::Random:
        for (size_t i = 0; i < size; ++i) t += static_cast<char>(in.Byte());
        break;
    case Foreign::TextAndZeros: t = MakeText(in, size - std::min<size_t>(size, in.Below(100))); break;
    default: break;
    }
    t.resize(size, '\0');
    return t;
}

// Printed text as another writer of our layout may put in its address or
// product: any byte from blank to tilde, "@" often among them.
inline std::string MakePrinted(Source& in, size_t length) {
    std::string t;
    while (t.size() < length) t += static_cast<char>(in.Below(8) ? ' ' + in.Below(95) : '@');
    return t;
}

// Our trailer with a location and a name, and half the time another
// writer's address and product in their places.
inline std::string OurLayout(Source& in) {
    const std::string location = MakeText(in, in.Below(21));
    const std::string name = MakeText(in, in.Below(21));
    const SampleTrailer t = BuildSampleTrailer(location, name);
    std::string bytes(reinterpret_cast<const char*>(t.data()), t.size());
    if (in.Below(2)) {
        bytes.replace(70, 14, MakePrinted(in, 14));
        bytes.replace(112, 11, MakePrinted(in, 11));
    }
    return bytes;
}

// A file of up to `maxRecords` records, now and then of more than the
// reader's look at the tail spans, and the given ending.
inline File MakeFile(Source& in, Ending ending, int maxRecords = 24) {
    File f;
    f.ending = ending;
    const int count = in.Below(8) == 7 ? kRecordsPastTheTail + static_cast<int>(in.Below(32))
                                       : static_cast<int>(in.Below(static_cast<uint32_t>(maxRecords + 1)));
    std::string body;
    for (int i = 0; i < count; ++i) {
        const auto kind = static_cast<Record>(in.Below(static_cast<uint32_t>(Record::kCount)));
        f.records.push_back(kind);
        body += MakeRecord(in, kind);
    }
    const std::string ours = OurLayout(in);
    switch (ending) {
    case Ending::None: break;
    case Ending::PartRecord:
        f.tail = MakeRecord(in, static_cast<Record>(in.Below(static_cast<uint32_t>(Record::kCount))))
                     .substr(0, 1 + in.Below(kSampleRecordSize - 1));
        break;
    case Ending::OursWhole: f.tail = ours; break;
    case Ending::OursPadded: {
        // A copy tool's zeros or any bytes: a few, or about as many as may
        // follow our trailer, on both sides of that limit.
        const bool zeros = in.Below(2);
        switch (in.Below(3)) {
        case 0: f.appended = 1 + in.Below(255); break;
        case 1: f.appended = kAppendedBytesPromised - 40 + in.Below(80); break;
        default: f.appended = 1 + in.Below(static_cast<uint32_t>(kAppendedBytesPromised) + 400); break;
        }
        f.tail = ours;
        for (int64_t i = 0; i < f.appended; ++i) f.tail += zeros ? '\0' : static_cast<char>(in.Byte());
        break;
    }
    case Ending::OursCutBeforeItsAddressEnds: f.tail = ours.substr(0, in.Below(kCutWithItsAddress)); break;
    case Ending::OursCutWithAddress:
        f.tail = ours.substr(0, kCutWithItsAddress + in.Below(kSampleTrailerSize - kCutWithItsAddress));
        break;
    case Ending::Foreign: f.tail = ForeignTrailer(in, in.Below(2) ? kSampleTrailerSize : kShortTrailerSize); break;
    case Ending::ForeignCutToAWholeSize:
    case Ending::ForeignCutToOtherSizes: {
        const size_t whole = in.Below(2) ? kSampleTrailerSize : kShortTrailerSize;
        size_t cut = in.Below(static_cast<uint32_t>(whole));
        const auto fits = [](size_t n) {
            return n % kSampleRecordSize == kSampleTrailerSize % kSampleRecordSize ||
                   n % kSampleRecordSize == kShortTrailerSize % kSampleRecordSize;
        };
        // The nearest shorter length of the kind asked for.
        while (cut > 0 && fits(cut) != (ending == Ending::ForeignCutToAWholeSize)) --cut;
        if (ending == Ending::ForeignCutToAWholeSize && !fits(cut)) cut = kShortTrailerSize % kSampleRecordSize;
        f.tail = ForeignTrailer(in, whole).substr(0, cut);
        break;
    }
    case Ending::OurLayoutNotPrinted: {
        // One byte of the address or the product below blank or above
        // tilde; the trailer whole, cut after that byte, or with a few zero
        // bytes after it.
        f.tail = ours;
        const size_t at = in.Below(2) ? 70 + in.Below(14) : 112 + in.Below(11);
        const uint32_t b = in.Below(0x20 + 0x81);
        f.tail[at] = static_cast<char>(b < 0x20 ? b : b - 0x20 + 0x7F);
        switch (in.Below(3)) {
        case 0: break;
        case 1: f.tail.resize(at + 1 + in.Below(static_cast<uint32_t>(kSampleTrailerSize - at - 1))); break;
        default: f.tail.append(1 + in.Below(kSampleRecordSize - 1), '\0'); break;
        }
        break;
    }
    default: break;
    }
    f.bytes = std::string(reinterpret_cast<const char*>(kSampleHeader), sizeof kSampleHeader) + body + f.tail;
    return f;
}

inline bool Proves(Record r) { return r == Record::Full || r == Record::PiOnly; }

// Whether n bytes could be the first n of our trailer, field by field as
// the format lays it out. Written apart from the reader's test, so that
// each holds the other to the layout.
inline bool OursByLayout(const uint8_t* t, size_t n) {
    enum Kind { Zeros, ShortText, Length, Printed };
    struct Field {
        size_t from, to;
        Kind kind;
        uint8_t length; // ShortText: the most; Length: the value
    };
    static constexpr Field kLayout[] = {{0, 48, Zeros, 0},        {48, 69, ShortText, 20}, {69, 70, Length, 14},
                                        {70, 84, Printed, 0},     {84, 90, Zeros, 0},      {90, 111, ShortText, 20},
                                        {111, 112, Length, 11},   {112, 123, Printed, 0}};
    for (const Field& f : kLayout) {
        for (size_t i = f.from; i < f.to && i < n; ++i) {
            const uint8_t b = t[i];
            bool ok = false;
            switch (f.kind) {
            case Zeros: ok = b == 0; break;
            case Length: ok = b == f.length; break;
            case Printed: ok = b >= 0x20 && b <= 0x7E; break;
            case ShortText: ok = i == f.from ? b <= f.length : i <= f.from + t[f.from] || b == 0; break;
            }
            if (!ok) return false;
        }
    }
    return true;
}

// How many records the contract's five rules play, read from all of a
// file's bytes, and the rule that decides it.
struct ByContract {
    int64_t records = 0;
    const char* rule = nullptr;
    bool oursOverRecords = false; // a trailer of ours found where records were written
};

inline ByContract RecordsByContract(const File& f) {
    const auto size = static_cast<int64_t>(f.bytes.size());
    const auto* b = reinterpret_cast<const uint8_t*>(f.bytes.data());
    const int64_t written = 2 + kSampleRecordSize * static_cast<int64_t>(f.records.size());
    const auto endAt = [&](int64_t end, const char* rule) {
        return ByContract{(end - 2) / kSampleRecordSize, rule, end < written};
    };
    const auto ours = [&](int64_t from) {
        return OursByLayout(b + from, static_cast<size_t>(std::min<int64_t>(size - from, kSampleTrailerSize)));
    };
    const int64_t lastEnd = 2 + (size - 2) / kSampleRecordSize * kSampleRecordSize;
    for (int64_t from = lastEnd; from >= 2 && size - from <= kSampleTrailerSize + kAppendedBytesPromised;
         from -= kSampleRecordSize)
        if (size - from >= kSampleTrailerSize && ours(from))
            return endAt(from, "rule 1: our whole trailer, the last with at most 4,096 bytes after it, ends the records");
    // The record boundary where the longest cut shorter than a whole trailer begins.
    int64_t firstCut = lastEnd;
    while (firstCut - kSampleRecordSize >= 2 && size - (firstCut - kSampleRecordSize) < kSampleTrailerSize)
        firstCut -= kSampleRecordSize;
    for (int64_t from = firstCut; size - from >= kCutWithItsAddress; from += kSampleRecordSize)
        if (ours(from)) return endAt(from, "rule 2: a cut of ours with its whole address ends the records");
    int64_t proven = 2;
    for (int64_t end = lastEnd; end > 2; end -= kSampleRecordSize)
        if (ProvesASampleRecord(b + end - kSampleRecordSize)) {
            proven = end;
            break;
        }
    const int64_t rest = (size - 2) % kSampleRecordSize;
    for (int64_t whole : {int64_t{kSampleTrailerSize}, int64_t{kShortTrailerSize}})
        if (rest == whole % kSampleRecordSize)
            return endAt(std::max({size - whole, int64_t{2}, proven}),
                         "rule 4: a size that fits a whole trailer ends the records there or after the last proving slot");
    for (int64_t from = std::max(firstCut, proven); from <= size; from += kSampleRecordSize)
        if (ours(from)) return endAt(from, "rule 5: the longest cut of ours after the last proving slot ends the records");
    return endAt(lastEnd, "rule 5: without a cut of ours after the last proving slot, every whole record plays");
}

// What a reading of `played` records did to a file.
struct Outcome {
    int64_t lostWithSoundBlock = 0; // written records with a sound block that did not play
    int64_t lostWithBlocks = 0;     // ... with blocks, none of them sound (bad check words, low bits set)
    int64_t lostAllMissing = 0;     // ... with four missing blocks
    int64_t phantom = 0;            // records played that were never written
    const char* broken = nullptr;   // the contract's outcome that does not hold, if any
};

inline Outcome Judge(const File& f, int64_t played) {
    Outcome o;
    const auto n = static_cast<int64_t>(f.records.size());
    for (int64_t i = std::max<int64_t>(played, 0); i < n; ++i) {
        const Record r = f.records[static_cast<size_t>(i)];
        (Proves(r) ? o.lostWithSoundBlock : r == Record::AllMissing ? o.lostAllMissing : o.lostWithBlocks)++;
    }
    o.phantom = std::max<int64_t>(0, played - n);
    const ByContract c = RecordsByContract(f);
    // Only bytes that are a trailer of ours, field by field, end the
    // records before one that proves itself.
    if (o.lostWithSoundBlock && !(c.oursOverRecords && played == c.records))
        o.broken = "a record that proves itself is lost";
    else if (played != c.records)
        o.broken = c.rule;
    return o;
}

// What the size-only rule plays: records that end at most 115 bytes before
// the end of the file.
inline int64_t PlayedBySize(int64_t size) {
    return size < 2 + kShortTrailerSize ? 0 : (size - 2 - kShortTrailerSize) / kSampleRecordSize;
}

} // namespace orvane::test::endings
