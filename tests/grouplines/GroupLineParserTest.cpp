#include "GroupLineParser.h"

#include "FakeTime.h"
#include "GroupRecord.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <ostream>
#include <random>
#include <string>

// Found by argument-dependent lookup, so beside the record in the global namespace.
static void PrintTo(const TRDSGroupRec& g, std::ostream* os) { *os << orvane::GroupToLine(g, true); }

namespace orvane {
namespace {

using test::FakeTime;
using test::GroupRecord;
using test::Stamp;
using test::StampOf;
using namespace std::string_literals;

// The clock the parser falls back on; distinct from every stamp below.
const LocalTime kClock{2031, 7, 22, 18, 44, 55, 678};

const Stamp kClockStamp{2031, 7, 22, 18, 44, 55, 67};

// Case values appear in test names: printable, with bytes escaped.
std::string Escaped(std::string_view s) {
    std::string out = "\"";
    for (const char c : s) {
        const auto u = static_cast<unsigned char>(c);
        if (u >= 0x20 && u < 0x7F && c != '\\' && c != '"') {
            out += c;
        } else {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", u);
            out += buf;
        }
    }
    return out + "\"";
}

class GroupLineParserTest : public ::testing::Test {
protected:
    GroupLineParserTest() { time.SetLocal(kClock); }
    FakeTime time;
    GroupLineParser parser{time};
};

// ---- blocks ---------------------------------------------------------------

struct BlockCase {
    std::string line;
    int32_t a, b, c, d;
};

void PrintTo(const BlockCase& c, std::ostream* os) { *os << Escaped(c.line); }

class GroupLineBlocks : public GroupLineParserTest,
                        public ::testing::WithParamInterface<BlockCase> {};

TEST_P(GroupLineBlocks, BlocksFromTheFirst16NonBlankCharactersAndClockStamp) {
    const BlockCase& c = GetParam();
    ASSERT_TRUE(parser.GroupConvert(c.line));
    const TRDSGroupRec& g = parser.Group();
    EXPECT_EQ(g.BlockA, c.a);
    EXPECT_EQ(g.BlockB, c.b);
    EXPECT_EQ(g.BlockC, c.c);
    EXPECT_EQ(g.BlockD, c.d);
    EXPECT_EQ(g.Reserved, 0);
    EXPECT_EQ(StampOf(g), kClockStamp);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, GroupLineBlocks,
    ::testing::Values(
        BlockCase{"0123 4567 89AB CDEF", 0x0123, 0x4567, 0x89AB, 0xCDEF},
        BlockCase{"0123 ---- 89ab CDEF", 0x0123, -1, -1, 0xCDEF},
        BlockCase{"01234567 89ABCDEF", 0x0123, 0x4567, 0x89AB, 0xCDEF},
        BlockCase{"  0 1 2 3 45 67 89A B CDEF   ", 0x0123, 0x4567, 0x89AB, 0xCDEF},
        BlockCase{"0000 FFFF 000f F0F0 trailing text", 0, 0xFFFF, -1, 0xF0F0},
        BlockCase{"0123456789ABCDEF0123", 0x0123, 0x4567, 0x89AB, 0xCDEF},
        BlockCase{"+123 0x12 12G4 1 1 2 3", -1, -1, -1, 0x1123},
        BlockCase{"01\0" "3 4567 \xC3\xA4" "AB CDEF"s, -1, 0x4567, -1, 0xCDEF},
        BlockCase{"---- ---- ---- ----", -1, -1, -1, -1}));

TEST_F(GroupLineParserTest, FewerThan16NonBlankCharactersGiveFalseAndKeepTheRecord) {
    ASSERT_TRUE(parser.GroupConvert("0123 4567 89AB CDEF @2024/01/05 09:03:07.25"));
    const TRDSGroupRec before = parser.Group();
    for (const std::string& line :
         {""s, "0123 4567 89AB"s, "0123 4567 89AB CDE"s, "                         "s,
          "0 1 2 3 4 5 6 7 8 9 A B C D E"s, "012 345 678 9AB CDE  @2024/01/05 09:03:07.25"s.substr(0, 20)}) {
        EXPECT_FALSE(parser.GroupConvert(line)) << line;
        EXPECT_EQ(std::memcmp(&parser.Group(), &before, sizeof before), 0) << line;
    }
}

TEST_F(GroupLineParserTest, TheClockIsReadOnceSoDateAndTimeBelongTogether) {
    // A clock that moves a day on by every read: a second read would mix days.
    class SteppingClock final : public IClock {
    public:
        LocalTime Now() const override {
            ++reads;
            return LocalTime{2024, 3, reads, 10 + reads, 0, 0, 0};
        }
        int64_t MonotonicMs() const override { return 0; }
        mutable int reads = 0;
    } clock;
    GroupLineParser p(clock);
    ASSERT_TRUE(p.GroupConvert("0123 4567 89AB CDEF"));
    EXPECT_EQ(clock.reads, 1);
    EXPECT_EQ(p.Group().Day, 1);
    EXPECT_EQ(p.Group().Hour, 11);
    ASSERT_TRUE(p.GroupConvert("0123 4567 89AB CDEF @2024/x1/05 31:03:07.25"));
    EXPECT_EQ(clock.reads, 2);
    EXPECT_EQ(p.Group().Day, 2);
    EXPECT_EQ(p.Group().Hour, 12);
}

// ---- time stamps ----------------------------------------------------------

struct StampCase {
    const char* name;
    std::string line;
    Stamp expected;
};

void PrintTo(const StampCase& c, std::ostream* os) { *os << Escaped(c.line); }

class GroupLineStamps : public GroupLineParserTest,
                        public ::testing::WithParamInterface<StampCase> {};

TEST_P(GroupLineStamps, StampFieldsOrClock) {
    const StampCase& c = GetParam();
    ASSERT_TRUE(parser.GroupConvert(c.line));
    EXPECT_EQ(parser.Group().BlockA, 0x0123);
    EXPECT_EQ(parser.Group().BlockD, 0xCDEF);
    EXPECT_EQ(StampOf(parser.Group()), c.expected);
}

const std::string kBlocks = "0123 4567 89AB CDEF @";

INSTANTIATE_TEST_SUITE_P(
    Lines, GroupLineStamps,
    ::testing::Values(
        StampCase{"Full", kBlocks + "2024/01/05 09:03:07.25", {2024, 1, 5, 9, 3, 7, 25}},
        StampCase{"NoAtNoBlanks", "0123456789ABCDEF2024/01/05 09:03:07.25", {2024, 1, 5, 9, 3, 7, 25}},
        StampCase{"Month13Kept", kBlocks + "2024/13/05 09:03:07.25", {2024, 13, 5, 9, 3, 7, 25}},
        StampCase{"Hours25Stored", kBlocks + "2024/01/05 25:03:07.25", {2024, 1, 5, 25, 3, 7, 25}},
        StampCase{"Hours31AllFromClock", kBlocks + "2024/01/05 31:03:07.25", kClockStamp},
        StampCase{"Minutes60AllFromClock", kBlocks + "2024/01/05 09:60:07.25", kClockStamp},
        StampCase{"BadMonthDateFromClock", kBlocks + "2024/x1/05 09:03:07.25", {2031, 7, 22, 9, 3, 7, 25}},
        StampCase{"SignInYear", kBlocks + "+024/01/05 09:03:07.25", {2031, 7, 22, 9, 3, 7, 25}},
        StampCase{"MinusInDay", kBlocks + "2024/01/-5 09:03:07.25", {2031, 7, 22, 9, 3, 7, 25}},
        StampCase{"BlankInMonth", kBlocks + "2024/ 1/05 09:03:07.25", {2031, 7, 22, 9, 3, 7, 25}},
        StampCase{"HexYear", kBlocks + "0x24/01/05 09:03:07.25", {2031, 7, 22, 9, 3, 7, 25}},
        StampCase{"DollarHexDay", kBlocks + "2024/01/$5 09:03:07.25", {2031, 7, 22, 9, 3, 7, 25}},
        StampCase{"NulInYear", kBlocks + "20\0" "4/01/05 09:03:07.25"s, {2031, 7, 22, 9, 3, 7, 25}},
        StampCase{"BlankInMinutes", kBlocks + "2024/01/05 09: 3:07.25", kClockStamp},
        StampCase{"SeparatorsNotChecked", kBlocks + "2024-01-05T09:03:07,25", {2024, 1, 5, 9, 3, 7, 25}},
        StampCase{"NoHundredths", kBlocks + "2024/01/05 09:03:07", {2024, 1, 5, 9, 3, 7, 0}},
        StampCase{"DotOnly", kBlocks + "2024/01/05 09:03:07.", {2024, 1, 5, 9, 3, 7, 0}},
        StampCase{"OneHundredthsDigit", kBlocks + "2024/01/05 09:03:07.5", {2024, 1, 5, 9, 3, 7, 0}},
        StampCase{"HundredthsNotNumber", kBlocks + "2024/01/05 09:03:07.x5", {2024, 1, 5, 9, 3, 7, 0}},
        StampCase{"HundredthsSign", kBlocks + "2024/01/05 09:03:07.+5", {2024, 1, 5, 9, 3, 7, 0}},
        StampCase{"HundredthsThenText", kBlocks + "2024/01/05 09:03:07.99 RT", {2024, 1, 5, 9, 3, 7, 99}},
        StampCase{"TooShortAfterColon", kBlocks + "2024/01/05 09:03:0", kClockStamp},
        StampCase{"YearZero", kBlocks + "0000/00/00 00:00:00.00", {0, 0, 0, 0, 0, 0, 0}}),
    [](const ::testing::TestParamInfo<StampCase>& i) { return std::string(i.param.name); });

TEST_F(GroupLineParserTest, MissingHundredthsAreZeroNotThePreviousLines) {
    ASSERT_TRUE(parser.GroupConvert(kBlocks + "2024/01/05 09:03:07.25"));
    ASSERT_TRUE(parser.GroupConvert(kBlocks + "2024/01/05 09:03:08"));
    EXPECT_EQ(parser.Group().Hundredths, 0);
}

// ---- FindTimeStamp ----------------------------------------------------------

struct FindCase {
    std::string line;
    int position;
};

void PrintTo(const FindCase& c, std::ostream* os) { *os << Escaped(c.line); }

class FindTimeStampCases : public ::testing::TestWithParam<FindCase> {};

TEST_P(FindTimeStampCases, Position) {
    EXPECT_EQ(GroupLineParser::FindTimeStamp(GetParam().line), GetParam().position)
        << GetParam().line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, FindTimeStampCases,
    ::testing::Values(
        FindCase{"", 0},
        FindCase{"0123 4567 89AB CDEF", 0},
        FindCase{"0123 4567 89AB CDEF @2024/01/05 09:03:07.25", 22},
        FindCase{"0123456789ABCDEF2024/01/05 09:03:07.25", 17},
        // colon at 14 is the first that may start a stamp, at 13 ends the search
        FindCase{"2024/01/05 09:03:07", 1},
        FindCase{"024/01/05 09:03:07", 0},
        FindCase{"0123:4567 89AB CDEF @2024/01/05 09:03:07.25", 0},
        // exactly 5 characters after the colon suffice, 4 do not
        FindCase{"xxxxxxxxxxx09:03:07", 1},
        FindCase{"xxxxxxxxxxx09:03:0", 0},
        // a colon that fails the pattern is skipped
        FindCase{"0123 4567 89AB CDEF x 99:99 @2024/01/05 09:03:07.25", 30},
        FindCase{"0123 4567 89AB CDEF @2024/01/05 29:59:59", 22},
        FindCase{"0123 4567 89AB CDEF @2024/01/05 31:03:07", 0},
        FindCase{"0123 4567 89AB CDEF @2024/01/05 09:63:07", 0},
        FindCase{"0123 4567 89AB CDEF @2024/01/05 09:03:67", 0},
        FindCase{"0123 4567 89AB CDEF @2024/01/05 09:03-07", 0},
        FindCase{"0123 4567 89AB CDEF @2024/01/05 0A:03:07", 0},
        FindCase{"::::::::::::::::::::::::::::::", 0}));

TEST(FindTimeStamp, ReadsNothingBeyondTheView) {
    // The bytes after the view would complete the stamp.
    const std::string full = "0123 4567 89AB CDEF @2024/01/05 09:03:07.25";
    const std::string_view cut = std::string_view(full).substr(0, full.find(":07") + 2);
    EXPECT_EQ(GroupLineParser::FindTimeStamp(cut), 0);
    FakeTime time;
    time.SetLocal(kClock);
    GroupLineParser parser(time);
    ASSERT_TRUE(parser.GroupConvert(full.substr(0, full.size() - 1)));
    EXPECT_EQ(parser.Group().Hundredths, 0);
    ASSERT_TRUE(parser.GroupConvert(std::string_view(full).substr(0, full.find(":07") + 2)));
    EXPECT_EQ(StampOf(parser.Group()), kClockStamp);
}

// ---- IsHexWord --------------------------------------------------------------

TEST(IsHexWord, OnlyFourUpperCaseHexDigits) {
    const std::pair<std::string, bool> cases[] = {
        {"0123", true}, {"ABCF", true}, {"9FA0", true}, {"abcd", false}, {"----", false},
        {"12G4", false}, {"123", false}, {"12345", false}, {"", false}, {"12 4", false},
        {"12\0" "4"s, false}, {"12\xC3\xA4", false}, {"+123", false}};
    for (const auto& [four, hex] : cases) EXPECT_EQ(GroupLineParser::IsHexWord(four), hex) << four;
}

// ---- writer and round trip ----------------------------------------------------

TEST(GroupToLine, WritesBlocksAndStamp) {
    const TRDSGroupRec g = GroupRecord(0x0123, 0x4567, 0x89AB, 0xCDEF, {2024, 1, 5, 9, 3, 7, 25});
    EXPECT_EQ(GroupToLine(g, true), "0123 4567 89AB CDEF @2024/01/05 09:03:07.25");
    EXPECT_EQ(GroupToLine(g, false), "0123 4567 89AB CDEF");
}

TEST(GroupToLine, LeadingZerosAndMissingBlocks) {
    const TRDSGroupRec g = GroupRecord(0, 0xF, -1, -123456, {999, 12, 31, 23, 59, 59, 99});
    EXPECT_EQ(GroupToLine(g, true), "0000 000F ---- ---- @0999/12/31 23:59:59.99");
    // A value beyond 16 bits is no block; writing it would shift the columns.
    const TRDSGroupRec wide = GroupRecord(0x10000, 0xFFFF, 0x7FFFFFFF, 0xFFFF, {2024, 1, 1, 0, 0, 0, 0});
    EXPECT_EQ(GroupToLine(wide, false), "---- FFFF ---- FFFF");
}

TEST(GroupToLine, FieldsTooWideForTheirColumnKeepTheLayout) {
    const TRDSGroupRec g = GroupRecord(1, 2, 3, 4, {12345, 200, 100, 255, 99, 150, 255});
    const std::string line = GroupToLine(g, true);
    EXPECT_EQ(line, "0001 0002 0003 0004 @9999/99/99 99:99:99.99");
}

class RoundTrip : public GroupLineParserTest,
                  public ::testing::WithParamInterface<TRDSGroupRec> {};

TEST_P(RoundTrip, WithStampEveryFieldComesBack) {
    const TRDSGroupRec& g = GetParam();
    ASSERT_TRUE(parser.GroupConvert(GroupToLine(g, true)));
    const TRDSGroupRec& r = parser.Group();
    EXPECT_EQ(r.BlockA, BlockValid(g.BlockA) ? g.BlockA : -1);
    EXPECT_EQ(r.BlockB, BlockValid(g.BlockB) ? g.BlockB : -1);
    EXPECT_EQ(r.BlockC, BlockValid(g.BlockC) ? g.BlockC : -1);
    EXPECT_EQ(r.BlockD, BlockValid(g.BlockD) ? g.BlockD : -1);
    EXPECT_EQ(StampOf(r), StampOf(g));
}

TEST_P(RoundTrip, WithoutStampBlocksComeBackAndTheClockStamps) {
    const TRDSGroupRec& g = GetParam();
    ASSERT_TRUE(parser.GroupConvert(GroupToLine(g, false)));
    const TRDSGroupRec& r = parser.Group();
    EXPECT_EQ(r.BlockA, BlockValid(g.BlockA) ? g.BlockA : -1);
    EXPECT_EQ(r.BlockB, BlockValid(g.BlockB) ? g.BlockB : -1);
    EXPECT_EQ(r.BlockC, BlockValid(g.BlockC) ? g.BlockC : -1);
    EXPECT_EQ(r.BlockD, BlockValid(g.BlockD) ? g.BlockD : -1);
    EXPECT_EQ(StampOf(r), kClockStamp);
}

INSTANTIATE_TEST_SUITE_P(
    Records, RoundTrip,
    ::testing::Values(GroupRecord(0x0123, 0x4567, 0x89AB, 0xCDEF, {2024, 1, 5, 9, 3, 7, 25}),
                      GroupRecord(0, 0xFFFF, -1, 0x00A0, {1999, 12, 31, 23, 59, 59, 99}),
                      GroupRecord(-1, -1, -1, -1, {2000, 2, 29, 0, 0, 0, 0}),
                      GroupRecord(0xE215, 0x0408, 0x7FFFF, 0x2020, {2024, 13, 5, 25, 3, 7, 1})));

// ---- control lines ------------------------------------------------------------

struct CommandCase {
    std::string line;
    int resets, exits;
    bool command;
};

void PrintTo(const CommandCase& c, std::ostream* os) { *os << Escaped(c.line); }

class CommandLines : public ::testing::TestWithParam<CommandCase> {};

TEST_P(CommandLines, CallsTheOwnerForResetAndExit) {
    const CommandCase& c = GetParam();
    FakeTime time;
    int resets = 0, exits = 0;
    GroupLineParser parser(time, [&] { ++resets; }, [&] { ++exits; });
    EXPECT_EQ(parser.CommandsInGroup(c.line), c.command) << c.line;
    EXPECT_EQ(resets, c.resets) << c.line;
    EXPECT_EQ(exits, c.exits) << c.line;
}

INSTANTIATE_TEST_SUITE_P(
    Lines, CommandLines,
    ::testing::Values(CommandCase{"RESET", 1, 0, true}, CommandCase{"EXIT", 0, 1, true},
                      CommandCase{"RESETEXIT", 1, 0, true}, CommandCase{"EXITRESET", 0, 1, true},
                      CommandCase{"RESET 0123 4567 89AB CDEF", 1, 0, true},
                      CommandCase{"EXIT\r", 0, 1, true}, CommandCase{"reset", 0, 0, false},
                      CommandCase{" RESET", 0, 0, false}, CommandCase{"RESE", 0, 0, false},
                      CommandCase{"EXI", 0, 0, false}, CommandCase{"", 0, 0, false},
                      CommandCase{"0123 4567 89AB CDEF", 0, 0, false}));

TEST(CommandsInGroup, CallbacksCanBeSetLaterOrLeftOut) {
    FakeTime time;
    GroupLineParser parser(time);
    EXPECT_TRUE(parser.CommandsInGroup("RESET"));
    int exits = 0;
    parser.CloseMainWindow = [&] { ++exits; };
    EXPECT_TRUE(parser.CommandsInGroup("EXIT"));
    EXPECT_EQ(exits, 1);
}

// ---- hostile input -----------------------------------------------------------

TEST_F(GroupLineParserTest, VeryLongLines) {
    std::string blanks(1 << 20, ' ');
    ASSERT_TRUE(parser.GroupConvert(blanks + "0123 4567 89AB CDEF" + blanks + "@2024/01/05 09:03:07.25"));
    EXPECT_EQ(parser.Group().BlockA, 0x0123);
    EXPECT_EQ(StampOf(parser.Group()), (Stamp{2024, 1, 5, 9, 3, 7, 25}));

    std::string colons(1 << 20, ':');
    EXPECT_EQ(GroupLineParser::FindTimeStamp(colons), 0);
    std::string digits(1 << 20, '1');
    digits += "09:03:07";
    EXPECT_EQ(GroupLineParser::FindTimeStamp(digits), static_cast<int>(digits.size() - 8 - 10));
    ASSERT_TRUE(parser.GroupConvert(digits));
    EXPECT_EQ(StampOf(parser.Group()), (Stamp{1111, 11, 11, 9, 3, 7, 0}));
}

TEST_F(GroupLineParserTest, RandomBytesNeverBreakTheRules) {
    // Bytes biased towards the characters of a stamp, plus NUL and high bytes.
    const std::string alphabet = "0123456789:::// ..@AF\0\xFF\x80"s;
    std::mt19937 rng(20240105);
    for (int n = 0; n < 20000; ++n) {
        std::string line(rng() % 48, ' ');
        for (char& c : line) c = alphabet[rng() % alphabet.size()];
        size_t nonBlank = 0;
        for (char c : line) nonBlank += c != ' ';
        EXPECT_EQ(parser.GroupConvert(line), nonBlank >= 16) << n;
        const int p = GroupLineParser::FindTimeStamp(line);
        if (p > 0) {
            // The colon of the stamp's time lies 13 characters after the date.
            ASSERT_LT(static_cast<size_t>(p) + 17, line.size());
            EXPECT_EQ(line[p + 12], ':');
            EXPECT_EQ(line[p + 15], ':');
        }
        parser.CommandsInGroup(line);
    }
}

} // namespace
} // namespace orvane
