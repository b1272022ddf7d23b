// Writes the demo recording: three minutes of a made-up station, encoded to
// RDS bits with a few bit errors and a short dropout, then decoded by the
// program's own decoder, so bad blocks show as "----" just as they do in a
// real recording. Fixed seed and start time: the output never changes.
//
//   make_demo [output file]      (default samples/demo.orv)
#include "GroupDecoder.h"
#include "GroupLineParser.h"
#include "RdsEncoder.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <ctime>
#include <fstream>
#include <random>
#include <string>
#include <vector>

namespace {

using orvane::test::Group;

constexpr uint16_t kPi = 0xC201;
constexpr uint16_t kPty = 10;
constexpr double kBitRate = 1187.5;
constexpr int kSeconds = 180;
constexpr int kUtcOffsetHalfHours = 4; // local time is UTC + 2 h

// The recording's start, local time.
constexpr int kYear = 2024, kMonth = 5, kDay = 1, kHour = 13, kMinute = 5, kSecond = 9;

int64_t StartEpochSeconds() {
    std::tm tm{};
    tm.tm_year = kYear - 1900;
    tm.tm_mon = kMonth - 1;
    tm.tm_mday = kDay;
    tm.tm_hour = kHour;
    tm.tm_min = kMinute;
    tm.tm_sec = kSecond;
    return static_cast<int64_t>(timegm(&tm));
}

// Time follows the bits: the decoder stamps each group when its last bit arrives.
class BitClock final : public orvane::IClock {
public:
    int64_t bits = 0;
    orvane::LocalTime Now() const override {
        const int64_t ms = StartEpochSeconds() * 1000 + MonotonicMs();
        const std::time_t secs = static_cast<std::time_t>(ms / 1000);
        std::tm tm{};
        gmtime_r(&secs, &tm);
        return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour,
                tm.tm_min,         tm.tm_sec,     static_cast<int>(ms % 1000)};
    }
    int64_t MonotonicMs() const override { return static_cast<int64_t>(bits * 1000 / kBitRate); }
};

class Collect final : public orvane::IGroupDecoderSink {
public:
    std::vector<TRDSGroupRec> groups;
    void SendRDSGroup(const TRDSGroupRec& g) override { groups.push_back(g); }
    void NoSync() override {}
};

uint16_t B(int type, bool versionB, int low5) {
    return static_cast<uint16_t>((type << 12) | (versionB ? 0x800 : 0) | (kPty << 5) | (low5 & 31));
}

// 4A clock time for the given local time in seconds since the epoch.
Group ClockTime(int64_t localSecs) {
    const int64_t utc = localSecs - kUtcOffsetHalfHours * 1800;
    const int64_t mjd = utc / 86400 + 40587; // 1970-01-01 is MJD 40587
    const int hour = static_cast<int>(utc / 3600 % 24), minute = static_cast<int>(utc / 60 % 60);
    Group g;
    g.a = kPi;
    g.b = B(4, false, static_cast<int>((mjd >> 15) & 3));
    g.c = static_cast<uint16_t>(((mjd & 0x7FFF) << 1) | (hour >> 4));
    g.d = static_cast<uint16_t>(((hour & 15) << 12) | (minute << 6) | kUtcOffsetHalfHours);
    return g;
}

// The groups sent in the place of every sixth group, in turn.
Group Extra(int k) {
    Group g;
    g.a = kPi;
    switch (k % 6) {
    case 0: g.b = B(1, false, 0); g.c = 0x10E1; g.d = 0x0A40; break; // ECC, programme item
    case 1: g.b = B(3, false, 0x10); g.c = 0x0064; g.d = 0xCD46; break; // ODA: TMC in 8A
    case 2: g.b = B(8, false, 0x08 | (k / 6 % 8)); g.c = static_cast<uint16_t>(0x5000 + k % 97);
            g.d = static_cast<uint16_t>(0x1200 + k % 251); break; // TMC message
    case 3: g.b = B(14, false, k / 6 % 4); g.c = 0x4F54; g.d = 0xC202; break; // EON
    case 4: { // PTYN "POP MUSI"
        const int seg = k / 6 % 2;
        g.b = B(10, false, seg);
        g.c = seg ? 0x4D55 : 0x504F;
        g.d = seg ? 0x5349 : 0x5020;
        break;
    }
    default: g.b = B(15, true, 0x08); g.c = kPi; g.d = B(15, true, 0x08); break; // 15B
    }
    return g;
}

} // namespace

int main(int argc, char** argv) {
    const std::string out = argc > 1 ? argv[1] : "samples/demo.orv";
    const int count = static_cast<int>(kSeconds * kBitRate / 104);

    // The station: PS "ORVANE" for the first half, then "DEMO FM".
    std::vector<Group> groups = orvane::test::StationGroups(kPi, "ORVANE  ", count);
    const std::vector<Group> second = orvane::test::StationGroups(kPi, "DEMO FM ", count);
    std::copy(second.begin() + count / 2, second.end(), groups.begin() + count / 2);
    int extra = 0;
    for (int n = 0; n < count; ++n) {
        if (n % 6 != 5) continue;
        // Clock time once a minute, other group types in between.
        const int64_t secs = StartEpochSeconds() + static_cast<int64_t>(n * 104 / kBitRate);
        groups[n] = (n / 6) % 114 == 0 ? ClockTime(secs) : Extra(extra++);
    }

    std::mt19937 rng(20240501);
    orvane::test::BitStream stream(1);
    for (int n = 0; n < count; ++n) {
        stream.Add(groups[n]);
        // About one group in forty takes a bit error.
        if (rng() % 40 == 0) stream.FlipInLast(static_cast<int>(rng() % 4), static_cast<int>(rng() % 26));
        // A dropout of noise a minute and a half in.
        if (n == count / 2 + 40) {
            std::vector<uint8_t> noise(300);
            for (uint8_t& b : noise) b = static_cast<uint8_t>(rng() & 1);
            stream.Bits(noise);
        }
    }

    BitClock clock;
    orvane::DefaultOptions options;
    Collect sink;
    orvane::GroupDecoder decoder(clock, options, sink);
    for (uint8_t bit : stream.bits()) {
        ++clock.bits;
        decoder.ProcessRDSBit(bit);
    }

    std::ofstream f(out, std::ios::binary | std::ios::trunc);
    if (!f) {
        std::fprintf(stderr, "make_demo: cannot write %s\n", out.c_str());
        return 1;
    }
    char header[256];
    std::snprintf(header, sizeof header,
                  "<recorder=\"Orvane\" date=\"%04d-%02d-%02d\" time=\"%02d-%02d-%02d\" source=\"1\" "
                  "name=\"Demo\" location=\"Nowhere\" notes=\"A made-up station, PI %04X\">",
                  kYear, kMonth, kDay, kHour, kMinute, kSecond, kPi);
    f << header << "\r\n";
    for (const TRDSGroupRec& g : sink.groups) f << orvane::GroupToLine(g, true) << "\r\n";
    f.close();
    if (!f) {
        std::fprintf(stderr, "make_demo: cannot write %s\n", out.c_str());
        return 1;
    }
    std::printf("%s: %zu groups\n", out.c_str(), sink.groups.size());
    return 0;
}
