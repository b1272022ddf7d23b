// Full-content and ODA AID lines, binary masks.
#include "AnalyserLogic.h"

#include <gtest/gtest.h>

#include "GroupRecords.h"

#include <string>

using namespace kelmira;

namespace {

using kelmira_test::Rec;

std::string Q(int n) { return std::string(static_cast<std::size_t>(n), '?'); }

TEST(ContentLines, TextRoutines) {
    EXPECT_EQ(BinaryText32(0), std::string(32, '0'));
    EXPECT_EQ(BinaryText32(0x80000001u), "1" + std::string(30, '0') + "1");
    EXPECT_EQ(BinaryText32(0xE0CD), "0000000000000000" "1110000011001101");
    const std::pair<int, const char*> tails[] = {{0, ""}, {2, "ef"}, {6, "abcdef"}, {7, "abcdef"}, {-1, "abcdef"}};
    for (const auto& [n, want] : tails) EXPECT_EQ(TailChars("abcdef", n), want) << n;
    EXPECT_EQ(TailChars("", 3), "");
    // Codes 32..127 as themselves, everything else as a dot.
    for (unsigned b = 0; b < 256; ++b)
        EXPECT_EQ(PrintableByte(b), b >= 32 && b <= 127 ? static_cast<char>(b) : '.') << b;
}

TEST(ContentLines, FullContentByteForByte) {
    struct Case {
        TRDSGroupRec g;
        std::string line;
    } cases[] = {
        {Rec(9, 5, 33, 0xD3C2, 0x0410, 0xE0CD, 0x4E44),
         "09:05:33; D3C2 0410 E0CD 4E44   0A  1 00000 10000  11100000 11001101  01001110 01000100  224 205  78  68  "
         "'..' 'ND'"},
        {Rec(9, 5, 33, 0xD3C2, -1, 0xE0CD, 0x4E44),
         "09:05:33; D3C2 ---- E0CD 4E44   --  - ----- -----  11100000 11001101  01001110 01000100  224 205  78  68  "
         "'..' 'ND'"},
        {Rec(12, 0, 1, 0x1234, 0xA9F5, -1, 65536),
         "12:00:01; 1234 A9F5 ---- ----  10B  0 01111 10101  -------- --------  -------- --------  --- --- --- ---  "
         "---- ----"},
        {Rec(0, 0, 0, -1, 0x0000, 0x7F20, 0x807E),
         "00:00:00; ---- 0000 7F20 807E   0A  0 00000 00000  01111111 00100000  10000000 01111110  127  32 128 126  "
         "'\x7f ' '.~'"},
        {Rec(23, 59, 59, 0xFFFF, 0xFFFF, 0x001F, 0xFF00),
         "23:59:59; FFFF FFFF 001F FF00  15B  1 11111 11111  00000000 00011111  11111111 00000000    0  31 255   0  "
         "'..' '..'"},
    };
    for (const Case& c : cases) EXPECT_EQ(FullContent(c.g), c.line);
    EXPECT_EQ(FullContent(cases[0].g).size(), 115u);
}

TEST(ContentLines, AidContentByteForByte) {
    // 3A announcing application group 12A (index 24) with C = 0.
    EXPECT_EQ(AIDContentLine(Rec(9, 5, 33, 0xD3C2, 0x3000 | 24, 0, 0xCD46)), "09:05:33; CD46 12A 00000000 00000000");
    EXPECT_EQ(AIDContentLine(Rec(23, 59, 59, 0xD3C2, 0x3000, -1, -1)), "23:59:59; ----  0A -------- --------");
    EXPECT_EQ(AIDContentLine(Rec(1, 2, 3, 0xD3C2, 0x301F, 0x4BD7, 0x0001)), "01:02:03; 0001 15B 01001011 11010111");
}

TEST(Masks, RewriteStrKeepsTheLength) {
    struct Case {
        std::string base, cell;
        int position;
        std::string want;
    } cases[] = {
        {Q(48), "1", 17, Q(16) + "1" + Q(31)},
        {Q(48), std::string(16, '0'), 33, Q(32) + std::string(16, '0')},
        {Q(48), "01-" + std::string(17, '1'), 1, "01-" + std::string(13, '1') + Q(32)}, // cut to 16
        {Q(48), "", 17, Q(48)},
        {"abcdef", "XY", 3, "abXYef"},
        {"abcdef", "XYZW", 5, "abcdXYZWabcdef"}, // a negative tail count keeps the whole base
    };
    for (const Case& c : cases) EXPECT_EQ(RewriteStr(c.base, c.cell, c.position), c.want) << c.cell << " @" << c.position;
    EXPECT_EQ(MaskText({"0000", "", "1"}), "0000" + Q(12) + Q(16) + "1" + Q(15));
    EXPECT_EQ(MaskText({"", "", ""}), Q(48));
}

TEST(Masks, MatchRules) {
    const TRDSGroupRec g0A = Rec(0, 0, 0, 0xD3C2, 0x0410, 0xE0CD, 0x4E44);
    const TRDSGroupRec g0B = Rec(0, 0, 0, 0xD3C2, 0x0FFF, 0xE0CD, 0x4E44);
    const TRDSGroupRec g1A = Rec(0, 0, 0, 0xD3C2, 0x1000, 0xE0CD, 0x4E44);
    const TRDSGroupRec noB = Rec(0, 0, 0, 0xD3C2, -1, 0xE0CD, 0x4E44);
    const TRDSGroupRec noC = Rec(0, 0, 0, 0xD3C2, 0x0410, -1, 0x8000);
    const TRDSGroupRec lowD = Rec(0, 0, 0, 0xD3C2, 0x0410, 0xE0CD, 0x7FFF);
    const TRDSGroupRec none = Rec(0, 0, 0, -1, -1, -1, -1);
    const std::string exact = MaskText({"0000010000010000", "1110000011001101", "0100111001000100"});

    struct Case {
        const char* what;
        std::array<std::string, 3> masks;
        std::array<bool, 3> tested;
        TRDSGroupRec g;
        bool want;
    } cases[] = {
        {"four zero bits: 0A", {MaskText({"0000", "", ""}), Q(48), Q(48)}, {true, false, false}, g0A, true},
        {"four zero bits: 0B", {MaskText({"0000", "", ""}), Q(48), Q(48)}, {true, false, false}, g0B, true},
        {"four zero bits: 1A", {MaskText({"0000", "", ""}), Q(48), Q(48)}, {true, false, false}, g1A, false},
        {"four zero bits: B missing", {MaskText({"0000", "", ""}), Q(48), Q(48)}, {true, false, false}, noB, false},
        {"dash: C missing", {MaskText({"", "-", ""}), Q(48), Q(48)}, {true, false, false}, noC, true},
        {"dash: C present", {MaskText({"", "-", ""}), Q(48), Q(48)}, {true, false, false}, g0A, false},
        {"one char: first bit of D set", {MaskText({"", "", "1"}), Q(48), Q(48)}, {true, false, false}, noC, true},
        {"one char: first bit of D clear", {MaskText({"", "", "1"}), Q(48), Q(48)}, {true, false, false}, lowD, false},
        {"one char: D missing", {MaskText({"", "", "1"}), Q(48), Q(48)}, {true, false, false}, none, false},
        {"48 characters: equal", {exact, Q(48), Q(48)}, {true, false, false}, g0A, true},
        {"48 characters: last bit differs", {exact, Q(48), Q(48)}, {true, false, false},
         Rec(0, 0, 0, 0, 0x0410, 0xE0CD, 0x4E45), false},
        {"48 characters: first bit differs", {exact, Q(48), Q(48)}, {true, false, false},
         Rec(0, 0, 0, 0, 0x8410, 0xE0CD, 0x4E44), false},
        {"all ?: every group", {Q(48), Q(48), Q(48)}, {false, true, false}, none, true},
        {"other characters match anything", {MaskText({"x#a ", "****", "zZ2."}), Q(48), Q(48)}, {true, false, false},
         none, true},
        {"nothing tested", {Q(48), Q(48), Q(48)}, {false, false, false}, g0A, false},
        {"mask 1 fails, mask 2 passes", {MaskText({"1", "", ""}), Q(48), exact}, {true, true, false}, g0A, true},
        {"mask 1 fails, mask 2 untested", {MaskText({"1", "", ""}), Q(48), Q(48)}, {true, false, false}, g0A, false},
        {"mask 3 alone", {Q(48), Q(48), MaskText({"", "", "-"})}, {false, false, true}, none, true},
    };
    for (const Case& c : cases) EXPECT_EQ(MaskMatch(c.g, c.masks, c.tested), c.want) << c.what;
    EXPECT_EQ(MaskGroupText(noB), std::string(16, '-') + "1110000011001101" "0100111001000100");
}

TEST(Masks, TypingStopsAtSixteenCharacters) {
    EXPECT_TRUE(MaskKeyAllowed(0, u'1'));
    EXPECT_TRUE(MaskKeyAllowed(15, u'?'));
    EXPECT_FALSE(MaskKeyAllowed(16, u'0'));
    EXPECT_FALSE(MaskKeyAllowed(40, u'-'));
    EXPECT_TRUE(MaskKeyAllowed(16, 8)); // backspace
}

} // namespace
