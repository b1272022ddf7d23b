#include "GroupLineParser.h"

#include <array>
#include <climits>
#include <cstdint>
#include <cstring>

namespace orvane {
namespace {

constexpr std::array<int8_t, 256> MakeHexTable() {
    std::array<int8_t, 256> t{};
    for (auto& v : t) v = -1;
    for (int c = '0'; c <= '9'; ++c) t[c] = static_cast<int8_t>(c - '0');
    for (int c = 'A'; c <= 'F'; ++c) t[c] = static_cast<int8_t>(c - 'A' + 10);
    return t;
}
constexpr std::array<int8_t, 256> kHex = MakeHexTable();

inline int HexDigit(char c) { return kHex[static_cast<unsigned char>(c)]; }
inline bool IsDigit(char c) { return c >= '0' && c <= '9'; }
inline bool InRange(char c, char lo, char hi) { return c >= lo && c <= hi; }

// The block value of four characters: their value when all are upper-case
// hex digits, else the missing block.
inline int32_t HexWord(const char* p) {
    const int a = HexDigit(p[0]), b = HexDigit(p[1]), c = HexDigit(p[2]), d = HexDigit(p[3]);
    if ((a | b | c | d) < 0) return kMissingBlock;
    return (a << 12) | (b << 8) | (c << 4) | d;
}

// The value of `width` decimal digits at `pos`; -1 when any character is not
// a digit or lies beyond the line. Signs, blanks and "$"/"0x" are refused so
// that a damaged stamp falls back to the clock instead of being half-read.
inline int Decimal(std::string_view s, size_t pos, size_t width) {
    if (pos > s.size() || width > s.size() - pos) return -1;
    int v = 0;
    for (size_t i = 0; i < width; ++i) {
        const char c = s[pos + i];
        if (!IsDigit(c)) return -1;
        v = v * 10 + (c - '0');
    }
    return v;
}

constexpr size_t kNoStamp = static_cast<size_t>(-1);

// 0-based index of the stamp's date, or kNoStamp. The stamp is found by its
// time "hh:mm:ss"; the date is the 13 characters before the first colon.
size_t FindStamp(std::string_view s) {
    const char* d = s.data();
    const size_t n = s.size();
    size_t from = 0;
    while (from < n) {
        const void* hit = std::memchr(d + from, ':', n - from);
        if (!hit) return kNoStamp;
        const size_t c = static_cast<size_t>(static_cast<const char*>(hit) - d);
        if (c < 13 || n - c - 1 < 5) return kNoStamp;
        if (InRange(d[c - 2], '0', '2') && IsDigit(d[c - 1]) && InRange(d[c + 1], '0', '5') &&
            IsDigit(d[c + 2]) && d[c + 3] == ':' && InRange(d[c + 4], '0', '5') && IsDigit(d[c + 5]))
            return c - 13;
        from = c + 1;
    }
    return kNoStamp;
}

inline void PutBlock(char* o, int32_t v) {
    if (!BlockValid(v)) {
        std::memcpy(o, "----", 4);
        return;
    }
    static constexpr char digits[] = "0123456789ABCDEF";
    o[0] = digits[(v >> 12) & 15];
    o[1] = digits[(v >> 8) & 15];
    o[2] = digits[(v >> 4) & 15];
    o[3] = digits[v & 15];
}

// A field never grows wider than its column, so that a reader finds every
// field of the stamp where it belongs.
inline void PutDecimal(char* o, unsigned v, int width) {
    const unsigned max = width == 4 ? 9999u : 99u;
    if (v > max) v = max;
    for (int i = width - 1; i >= 0; --i) {
        o[i] = static_cast<char>('0' + v % 10);
        v /= 10;
    }
}

} // namespace

size_t GroupToLine(const TRDSGroupRec& g, bool addDateTime, char* buf) {
    // "0123 4567 89AB CDEF @2024/01/05 09:03:07.25"
    std::memcpy(buf, "0000 0000 0000 0000 @0000/00/00 00:00:00.00", kGroupLineMax);
    PutBlock(buf + 0, g.BlockA);
    PutBlock(buf + 5, g.BlockB);
    PutBlock(buf + 10, g.BlockC);
    PutBlock(buf + 15, g.BlockD);
    if (!addDateTime) return 19;
    PutDecimal(buf + 21, g.Year, 4);
    PutDecimal(buf + 26, g.Month, 2);
    PutDecimal(buf + 29, g.Day, 2);
    PutDecimal(buf + 32, g.Hour, 2);
    PutDecimal(buf + 35, g.Minute, 2);
    PutDecimal(buf + 38, g.Second, 2);
    PutDecimal(buf + 41, g.Hundredths, 2);
    return kGroupLineMax;
}

std::string GroupToLine(const TRDSGroupRec& g, bool addDateTime) {
    char buf[kGroupLineMax];
    return std::string(buf, GroupToLine(g, addDateTime, buf));
}

GroupLineParser::GroupLineParser(IClock& clock, std::function<void()> resetDecodedData,
                                 std::function<void()> closeMainWindow)
    : ResetDecodedData(std::move(resetDecodedData)),
      CloseMainWindow(std::move(closeMainWindow)),
      clock_(clock) {}

bool GroupLineParser::IsHexWord(std::string_view four) {
    return four.size() == 4 && HexWord(four.data()) >= 0;
}

int GroupLineParser::FindTimeStamp(std::string_view line) {
    const size_t p = FindStamp(line);
    // A position past INT_MAX cannot be answered; such a line has no usable stamp.
    if (p == kNoStamp || p >= static_cast<size_t>(INT_MAX)) return 0;
    return static_cast<int>(p + 1);
}

bool GroupLineParser::GroupConvert(std::string_view line) {
    // The first 16 characters other than blanks, taken in place.
    char w[16];
    size_t k = 0;
    for (const char c : line) {
        if (c == ' ') continue;
        w[k++] = c;
        if (k == sizeof w) break;
    }
    if (k < sizeof w) return false;

    TRDSGroupRec g = group_;
    g.Reserved = 0;
    g.BlockA = HexWord(w);
    g.BlockB = HexWord(w + 4);
    g.BlockC = HexWord(w + 8);
    g.BlockD = HexWord(w + 12);

    // The clock is read at most once, and only when the line lacks a field.
    LocalTime now;
    bool haveNow = false;
    auto clock = [&]() -> const LocalTime& {
        if (!haveNow) {
            now = clock_.Now();
            haveNow = true;
        }
        return now;
    };
    auto dateFromClock = [&] {
        const LocalTime& t = clock();
        g.Year = static_cast<uint16_t>(t.year);
        g.Month = static_cast<uint8_t>(t.month);
        g.Day = static_cast<uint8_t>(t.day);
    };
    auto timeFromClock = [&] {
        const LocalTime& t = clock();
        g.Hour = static_cast<uint8_t>(t.hour);
        g.Minute = static_cast<uint8_t>(t.minute);
        g.Second = static_cast<uint8_t>(t.second);
    };

    const size_t p = FindStamp(line);
    if (p == kNoStamp) {
        dateFromClock();
        timeFromClock();
        g.Hundredths = static_cast<uint8_t>(clock().msec / 10);
    } else {
        const int year = Decimal(line, p, 4), month = Decimal(line, p + 5, 2),
                  day = Decimal(line, p + 8, 2);
        if (year < 0 || month < 0 || day < 0) {
            dateFromClock();
        } else {
            g.Year = static_cast<uint16_t>(year);
            g.Month = static_cast<uint8_t>(month);
            g.Day = static_cast<uint8_t>(day);
        }
        const int hour = Decimal(line, p + 11, 2), minute = Decimal(line, p + 14, 2),
                  second = Decimal(line, p + 17, 2);
        if (hour < 0 || minute < 0 || second < 0) {
            timeFromClock();
        } else {
            g.Hour = static_cast<uint8_t>(hour);
            g.Minute = static_cast<uint8_t>(minute);
            g.Second = static_cast<uint8_t>(second);
        }
        // Hundredths follow the seconds after one separator; a line that
        // ends before them, or carries no number there, gives 0.
        const int hundredths = line.size() > p + 21 ? Decimal(line, p + 20, 2) : -1;
        g.Hundredths = static_cast<uint8_t>(hundredths < 0 ? 0 : hundredths);
    }

    group_ = g;
    return true;
}

bool GroupLineParser::CommandsInGroup(std::string_view line) {
    bool command = false;
    if (line.starts_with("RESET")) {
        if (ResetDecodedData) ResetDecodedData();
        command = true;
    }
    if (line.starts_with("EXIT")) {
        if (CloseMainWindow) CloseMainWindow();
        command = true;
    }
    return command;
}

} // namespace orvane
