#pragma once
// Sample files of every kind of ending a real one may have, and what the
// reading contract of SampleFormat.h lets each of them play. The fuzz
// target draws them from its input, the sweep from a seeded generator;
// both judge what the reader played by Judge().
#include "SampleFormat.h"

#include <algorithm>
#include <cstdint>
#include <string>
#include <vector>

namespace orvane::test::endings {

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

struct File {
    std::string bytes;
    std::vector<Record> records;
    Ending ending = Ending::None;
    std::string tail; // the bytes after the records
    bool fitsNoWholeTrailer = false;
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

// A file of up to `maxRecords` records and the given ending.
inline File MakeFile(Source& in, Ending ending, int maxRecords = 24) {
    File f;
    f.ending = ending;
    const int count = static_cast<int>(in.Below(static_cast<uint32_t>(maxRecords + 1)));
    std::string body;
    for (int i = 0; i < count; ++i) {
        const auto kind = static_cast<Record>(in.Below(static_cast<uint32_t>(Record::kCount)));
        f.records.push_back(kind);
        body += MakeRecord(in, kind);
    }
    const std::string location = MakeText(in, in.Below(21));
    const std::string name = MakeText(in, in.Below(21));
    const SampleTrailer ours = BuildSampleTrailer(location, name);
    const std::string oursText(reinterpret_cast<const char*>(ours.data()), ours.size());
    switch (ending) {
    case Ending::None: break;
    case Ending::PartRecord:
        f.tail = MakeRecord(in, static_cast<Record>(in.Below(static_cast<uint32_t>(Record::kCount))))
                     .substr(0, 1 + in.Below(kSampleRecordSize - 1));
        break;
    case Ending::OursWhole: f.tail = oursText; break;
    case Ending::OursPadded:
        // A copy tool's zeros, or anything shorter than a trailer.
        f.tail = oursText;
        if (in.Below(2)) {
            f.tail += std::string(1 + in.Below(255), '\0');
        } else {
            for (uint32_t n = 1 + in.Below(kSampleTrailerSize - 1); n; --n) f.tail += static_cast<char>(in.Byte());
        }
        break;
    case Ending::OursCutBeforeItsAddressEnds: f.tail = oursText.substr(0, in.Below(kCutWithItsAddress)); break;
    case Ending::OursCutWithAddress:
        f.tail = oursText.substr(0, kCutWithItsAddress + in.Below(kSampleTrailerSize - kCutWithItsAddress));
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
    default: break;
    }
    f.bytes = std::string(reinterpret_cast<const char*>(kSampleHeader), sizeof kSampleHeader) + body + f.tail;
    const size_t rest = (f.bytes.size() - 2) % kSampleRecordSize;
    f.fitsNoWholeTrailer = rest != kSampleTrailerSize % kSampleRecordSize && rest != kShortTrailerSize % kSampleRecordSize;
    return f;
}

inline bool Proves(Record r) { return r == Record::Full || r == Record::PiOnly; }

// What a reading of `played` records did to a file.
struct Outcome {
    int64_t lostWithSoundBlock = 0; // written records with a sound block that did not play
    int64_t lostWithBlocks = 0;     // ... with blocks, none of them sound (bad check words, low bits set)
    int64_t lostAllMissing = 0;     // ... with four missing blocks
    int64_t phantom = 0;            // records played that were never written
    const char* broken = nullptr;   // the contract's outcome that does not hold, if any
};

// Whether the tail's whole slots hold one that proves a record.
inline bool TailProves(const File& f) {
    for (size_t at = 0; at + kSampleRecordSize <= f.tail.size(); at += kSampleRecordSize)
        if (ProvesASampleRecord(reinterpret_cast<const uint8_t*>(f.tail.data() + at))) return true;
    return false;
}

// Whether the tail holds our trailer, whole or cut with its address, from a
// record boundary on: bytes of another tool that match it are read as it.
inline bool TailHoldsOurs(const File& f) {
    for (size_t at = 0; at + kCutWithItsAddress <= f.tail.size(); at += kSampleRecordSize)
        if (f.tail.size() - at <= kSampleTrailerSize &&
            StartsLikeASampleTrailer(reinterpret_cast<const uint8_t*>(f.tail.data() + at), f.tail.size() - at))
            return true;
    return false;
}

inline Outcome Judge(const File& f, int64_t played) {
    Outcome o;
    const auto n = static_cast<int64_t>(f.records.size());
    for (int64_t i = std::max<int64_t>(played, 0); i < n; ++i) {
        const Record r = f.records[static_cast<size_t>(i)];
        (Proves(r) ? o.lostWithSoundBlock : r == Record::AllMissing ? o.lostAllMissing : o.lostWithBlocks)++;
    }
    o.phantom = std::max<int64_t>(0, played - n);
    const int64_t tailSlots = static_cast<int64_t>(f.tail.size()) / kSampleRecordSize;
    if (o.lostWithSoundBlock) o.broken = "a record that proves itself is lost";
    else if (played < 0 || played > n + tailSlots) o.broken = "more records play than the file holds";
    else if (kSampleRecordSize * (n - std::min(n, played)) + static_cast<int64_t>(f.tail.size()) > kSampleTrailerSize &&
             played < n)
        o.broken = "records go beyond what a whole trailer would span";
    switch (f.ending) {
    case Ending::OursWhole:
    case Ending::OursPadded:
        if (!o.broken && played != n) o.broken = "our whole trailer ends the records exactly";
        break;
    case Ending::OursCutWithAddress:
        if (!o.broken && played != n) o.broken = "a cut of ours with its address is exactly the trailer";
        break;
    case Ending::None:
    case Ending::PartRecord:
        if (!o.broken && o.phantom) o.broken = "a file without a trailer plays only its records";
        break;
    case Ending::OursCutBeforeItsAddressEnds:
    case Ending::Foreign:
        // Trailer text plays only where a slot of it proves a record.
        if (!o.broken && o.phantom && !TailProves(f) && !TailHoldsOurs(f))
            o.broken = "trailer text plays without a proving slot";
        if (!o.broken && f.ending == Ending::Foreign && played < n)
            o.broken = "another tool's whole trailer plays every record before it";
        break;
    case Ending::ForeignCutToAWholeSize:
    case Ending::ForeignCutToOtherSizes:
        // At a size that fits no whole trailer its slots read as records.
        if (!o.broken && o.phantom && !f.fitsNoWholeTrailer && !TailProves(f) && !TailHoldsOurs(f))
            o.broken = "a cut trailer plays without a proving slot";
        break;
    default: break;
    }
    return o;
}

// What the size-only rule plays: records that end at most 115 bytes before
// the end of the file.
inline int64_t PlayedBySize(int64_t size) {
    return size < 2 + kShortTrailerSize ? 0 : (size - 2 - kShortTrailerSize) / kSampleRecordSize;
}

} // namespace orvane::test::endings
