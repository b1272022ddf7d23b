// The analyser's display-free rules, driven directly.
#include "AnalyserLogic.h"
#include "RichText.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "GroupRecords.h"

#include <string>
#include <vector>

using namespace kelmira;

namespace {

using kelmira_test::Rec;

TEST(AnalyserLogic, HeaderLines) {
    struct Case {
        TRDSGroupRec g;
        const char* line;
    } cases[] = {
        {Rec(9, 5, 33, 0xD3C2, 0x0410, 0xE0CD, 0x4E44), "09:05:33 D3C2 0410 E0CD 4E44"},
        {Rec(9, 5, 33, 0xD3C2, -1, 0xE0CD, 0x4E44), "09:05:33 D3C2 ---- E0CD 4E44"},
        {Rec(23, 59, 0, 0, 0xFFFF, 65536, -2147483647 - 1), "23:59:00 0000 FFFF ---- ----"},
        {Rec(0, 0, 7, 0x00AB, 0x0A0B, 0x1, 0x10), "00:00:07 00AB 0A0B 0001 0010"},
    };
    for (const Case& c : cases) EXPECT_EQ(HeaderLine(c.g), c.line);
    EXPECT_EQ(HeaderLine(cases[0].g).size(), 28u);
}

TEST(AnalyserLogic, NamesAndSequenceEntries) {
    EXPECT_STREQ(GroupName(0), "0A");
    EXPECT_STREQ(GroupName(21), "10B");
    EXPECT_STREQ(GroupName(31), "15B");
    EXPECT_STREQ(GroupName(32), "--");
    EXPECT_STREQ(GroupName(-1), "--");
    EXPECT_EQ(SequenceEntry(0), " 0A ");
    EXPECT_EQ(SequenceEntry(21), "10B ");
    EXPECT_EQ(SequenceEntry(32), " -- ");
    EXPECT_EQ(DefaultGroupColors[6], 0x00FF00u);  // 3A lime
    EXPECT_EQ(DefaultGroupColors[29], 0xF0FBFFu); // 14B cream
    EXPECT_EQ(DefaultGroupColors[32], 0x808080u);
}

TEST(AnalyserLogic, ScoreAndBlankCollapse) {
    EXPECT_EQ(ErrorNum(""), 46);
    std::string full;
    for (int i = 0; i < 23; ++i) full += SequenceEntry(i == 4 || i == 9 ? 32 : 0);
    ASSERT_EQ(full.size(), 92u);
    EXPECT_EQ(ErrorNum(full), 4); // two dashes per missing block B
    EXPECT_EQ(CollapseBlanks(" 0A  0A 10B  -- "), " 0A 0A 10B -- ");
    EXPECT_EQ(CollapseBlanks("a   b"), "a  b"); // one pass, left to right
    EXPECT_EQ(CollapseBlanks("    "), "  ");
}

TEST(AnalyserLogic, SequenceKeepsTheBestLine) {
    TGroupSequence seq;
    auto line = [&](std::vector<int> missingAt, int type) {
        TGroupSequence::TStep last;
        for (int i = 0; i < 23; ++i) {
            last = seq.Add(std::find(missingAt.begin(), missingAt.end(), i) != missingAt.end() ? 32 : type);
            if (i < 22) {
                EXPECT_FALSE(last.lineComplete);
            }
        }
        EXPECT_TRUE(last.lineComplete);
        EXPECT_EQ(seq.Count(), 0);
        return last.newBest;
    };
    EXPECT_TRUE(line({1, 2}, 0)); // the first line always wins
    EXPECT_FALSE(line({1, 2, 3}, 2));
    EXPECT_TRUE(line({5, 6}, 8)); // a tie goes to the newer line
    EXPECT_EQ(seq.BestLine().substr(0, 8), " 4A  4A ");
    EXPECT_EQ(seq.BestLine().substr(20, 8), " --  -- ");
    EXPECT_TRUE(line({}, 20));
    EXPECT_EQ(seq.BestValue().substr(0, 8), "10A 10A ");

    // Restart keeps the best line, Reset drops it.
    seq.Add(0);
    seq.Restart();
    EXPECT_EQ(seq.Count(), 0);
    EXPECT_FALSE(line({1, 2, 3, 4}, 0));
    seq.Reset();
    EXPECT_TRUE(seq.BestLine().empty());
    EXPECT_TRUE(line({1, 2, 3, 4}, 0));
}

TEST(AnalyserLogic, LimitLines) {
    struct Case {
        int lines;
        TTextWindow window;
        bool limit;
        int maxLines;
        TLineLimit expected;
    } cases[] = {
        {34, TTextWindow::Memo, true, 80000, {false, 0}},
        {35, TTextWindow::Memo, true, 80000, {false, 1}},
        {50, TTextWindow::Memo, true, 80000, {false, 16}},
        {200, TTextWindow::Memo, true, 80000, {false, 166}},
        {201, TTextWindow::Memo, true, 80000, {true, 0}},
        {15, TTextWindow::Sequence, true, 80000, {false, 1}},
        {31, TTextWindow::FullContent, true, 80000, {false, 1}},
        {29, TTextWindow::AidContent, true, 80000, {false, 1}},
        {28, TTextWindow::AidContent, true, 80000, {false, 0}},
        {80000, TTextWindow::Memo, false, 80000, {false, 0}},
        {80001, TTextWindow::Memo, false, 80000, {true, 0}},
        {33, TTextWindow::Sequence, false, 32, {true, 0}},
        {0, TTextWindow::Memo, false, 32, {false, 0}},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LimitLines(c.lines, c.window, c.limit, c.maxLines), c.expected)
            << c.lines << " lines, limit " << c.limit;
}

TEST(AnalyserLogic, SectionNames) {
    const std::pair<const char*, const char*> cases[] = {
        {"/opt/orvane/plugins/kelmira.so", "kelmira"},
        {"/x/my plugin.So", "myplugin"},
        {"kelmira.so.so", "kelmira"},
        {"/a b/c d.SO.x", "cd.x"},
        {"/plugins/.so", ""},
        {"noext", "noext"},
    };
    for (const auto& [path, section] : cases) EXPECT_EQ(SectionNameFromPath(path), section) << path;
}

TEST(AnalyserLogic, CommandsUpperCaseAsciiOnly) {
    EXPECT_EQ(UpperCase("showHide "), "SHOWHIDE ");
    EXPECT_EQ(UpperCase("\xC3\xA9t\xC3\xA9"), "\xC3\xA9T\xC3\xA9");
}

TEST(AnalyserLogic, RangesForWorkspaceValues) {
    EXPECT_EQ(Clamp(99, kFontSizeMin, kFontSizeMax), 20);
    EXPECT_EQ(Clamp(-4, 0, 35), 0);
    EXPECT_EQ(ColorOrDefault(0x123456, 3), 0x123456u);
    EXPECT_EQ(ColorOrDefault(-16777211, 8), DefaultGroupColors[8]); // a system colour reference
    EXPECT_EQ(ColorOrDefault(0x1000000, 2), DefaultGroupColors[2]);
}

TEST(AnalyserLogic, FixedPitchNames) {
    for (const char* n : {"Terminal", "terminal", "Courier", "FIXEDSYS"}) EXPECT_TRUE(IsFixedPitchName(n)) << n;
    for (const char* n : {"Courier New", "Tahoma", ""}) EXPECT_FALSE(IsFixedPitchName(n)) << n;
}

TEST(AnalyserLogic, TransferBufferCopiesAreBounded) {
    char buf[8];
    CopyToBuffer(buf, sizeof buf, "abc");
    EXPECT_STREQ(buf, "abc");
    CopyToBuffer(buf, sizeof buf, "abcdefghij");
    EXPECT_STREQ(buf, "abcdefg");
    // "é" is two bytes: it is not split.
    CopyToBuffer(buf, sizeof buf, "abcdef\xC3\xA9");
    EXPECT_STREQ(buf, "abcdef");
    CopyToBuffer(buf, sizeof buf, "abcd\xE2\x82\xAC");
    EXPECT_STREQ(buf, "abcd\xE2\x82\xAC"); // fits exactly
    CopyToBuffer(buf, sizeof buf, "abcdef\xE2\x82\xAC");
    EXPECT_STREQ(buf, "abcdef");
    // Stray continuation bytes are single bytes: the cut drops no more.
    CopyToBuffer(buf, sizeof buf, "a" + std::string(20, '\x80'));
    EXPECT_STREQ(buf, ("a" + std::string(6, '\x80')).c_str());
    CopyToBuffer(buf, sizeof buf, "ab\xC3\xA9\x80\x80\x80\x80");
    EXPECT_STREQ(buf, "ab\xC3\xA9\x80\x80\x80");
    std::string big(5000, 'x');
    char large[1024];
    CopyToBuffer(large, sizeof large, big);
    EXPECT_EQ(std::string(large).size(), 1023u);
}

TEST(AnalyserLogic, WorkspaceKeys) {
    EXPECT_EQ(MaskKey(1, 2), "Mask12");
    EXPECT_EQ(MaskKey(3, 4), "Mask34");
    EXPECT_EQ(NumberedKey("Color", 32), "Color32");
    EXPECT_EQ(NumberedKey("ShowGroup", 0), "ShowGroup0");
}

// Saving ------------------------------------------------------------------------

TTextDocument TwoLines() {
    TTextDocument doc;
    doc.lines.push_back({TTextRun{"09:05:33 D3C2", 0xFFFFFF, "Terminal", 9, true}});
    doc.lines.push_back({TTextRun{" 0A ", 0xFFFFFF, "Terminal", 9, true},
                         TTextRun{"{x}\\", 0xF0CAA6, "Fixedsys", 12, false}});
    return doc;
}

TEST(RichText, PlainTextJoinsWithCrLf) {
    TTextDocument doc = TwoLines();
    EXPECT_EQ(PlainText(doc), "09:05:33 D3C2\r\n 0A {x}\\");
    doc.lines.push_back({}); // text ending with a line break
    EXPECT_EQ(PlainText(doc), "09:05:33 D3C2\r\n 0A {x}\\\r\n");
    EXPECT_EQ(PlainText(TTextDocument{}), "");
}

TEST(RichText, RtfHoldsFontsColoursAndEscapedText) {
    const std::string rtf = RichText(TwoLines());
    EXPECT_EQ(rtf.rfind("{\\rtf1", 0), 0u);
    EXPECT_NE(rtf.find("{\\fonttbl{\\f0\\fmodern\\fcharset0 Terminal;}{\\f1\\fmodern\\fcharset0 Fixedsys;}}"),
              std::string::npos);
    // Colour references are $00BBGGRR.
    EXPECT_NE(rtf.find("{\\colortbl ;\\red255\\green255\\blue255;\\red166\\green202\\blue240;}"), std::string::npos);
    EXPECT_NE(rtf.find("\\plain\\f0\\fs18\\b\\cf1 09:05:33 D3C2\\par"), std::string::npos);
    EXPECT_NE(rtf.find("\\plain\\f1\\fs24\\cf2 \\{x\\}\\\\}"), std::string::npos);
    EXPECT_EQ(rtf.substr(rtf.size() - 3), "}\r\n");
}

TEST(RichText, ABackgroundShadesEveryLineAndHighlightsEveryRun) {
    TTextDocument doc = TwoLines();
    doc.background = 0x800000; // navy
    const std::string rtf = RichText(doc);
    EXPECT_NE(rtf.find("{\\colortbl ;\\red0\\green0\\blue128;\\red255\\green255\\blue255;\\red166\\green202\\blue240;}"),
              std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\pard\\cbpat1 \\plain\\f0\\fs18\\b\\cf2\\highlight1 09:05:33 D3C2\\par"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\cf3\\highlight1 \\{x\\}"), std::string::npos) << rtf;
    // A text the colour of the background keeps its own entry's index.
    doc.background = 0xFFFFFF;
    EXPECT_NE(RichText(doc).find("\\cf1\\highlight1 09:05:33"), std::string::npos);
}

TEST(RichText, NonAsciiGoesAsUnicodeEscapes) {
    TTextDocument doc;
    doc.lines.push_back({TTextRun{"\xC3\xA9\xE2\x82\xAC\xF0\x9F\x98\x80\xFF", 0, "Terminal", 9, false}});
    const std::string rtf = RichText(doc);
    // é, €, an emoji as a surrogate pair, and a stray byte as Latin-1 ÿ.
    EXPECT_NE(rtf.find("\\u233?\\u8364?\\u-10179?\\u-8704?\\u255?"), std::string::npos) << rtf;
}

TEST(RichText, FontNamesEscapeTheTableSeparatorAndSizesAreHeldInRange) {
    TTextDocument doc;
    doc.lines.push_back({TTextRun{"a", 0, "My;Font", 1 << 30, false}, TTextRun{"b", 0, "Terminal", 0, false},
                         TTextRun{"c", 0, "Terminal", -5, false}});
    const std::string rtf = RichText(doc);
    EXPECT_NE(rtf.find("{\\f0\\fmodern\\fcharset0 My\\'3bFont;}{\\f1\\fmodern\\fcharset0 Terminal;}}"),
              std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\plain\\f0\\fs3276\\cf1 a"), std::string::npos) << rtf;
    EXPECT_NE(rtf.find("\\plain\\f1\\fs2\\cf1 b\\plain\\f1\\fs2\\cf1 c"), std::string::npos) << rtf;
}

TEST(RichText, MalformedUtf8GoesAsLatin1Bytes) {
    struct Case {
        const char* name;
        std::string text, escaped;
    };
    const std::vector<Case> cases{
        {"overlong", "\xE0\x80\x80", "\\u224?\\u128?\\u128?"},
        {"surrogate", "\xED\xA0\x80", "\\u237?\\u160?\\u128?"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", "\\u244?\\u144?\\u128?\\u128?"},
        {"cut short", "\xE2\x82", "\\u226?\\u130?"},
    };
    for (const Case& c : cases) {
        TTextDocument doc;
        doc.lines.push_back({TTextRun{"<" + c.text + ">", 0, "Terminal", 9, false}});
        EXPECT_NE(RichText(doc).find("<" + c.escaped + ">"), std::string::npos) << c.name;
    }
}

TEST(RichText, RtfFileNames) {
    for (const char* n : {"a.rtf", "/x/a.RTF", "b.Rtf", "/d.x/.rtf"}) EXPECT_TRUE(IsRtfFileName(n)) << n;
    for (const char* n : {"a.txt", "a", "/x.rtf/a", "a.rtf.txt", "a.rtfx"}) EXPECT_FALSE(IsRtfFileName(n)) << n;
}

} // namespace
