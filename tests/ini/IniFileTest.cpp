#include "IniFile.h"

#include <QDir>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestFiles.h"

#include <fstream>
#include <iterator>
#include <string>
#include <utility>
#include <vector>

namespace {

using namespace std::string_literals;

using orvane::test::Numbered;

class IniFileTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }

    std::string Path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }

    static void WriteRaw(const std::string& path, const std::string& bytes) { orvane::test::WriteFileBytes(path, bytes); }
    static std::string ReadRaw(const std::string& path) { return orvane::test::ReadFileBytes(path); }

    QTemporaryDir dir_;
};

TEST_F(IniFileTest, MissingFileReadsAsEmpty) {
    const std::string path = Path("absent.ini");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("S", "k", "def"), "def");
    EXPECT_EQ(ini.ReadInteger("S", "k", -3), -3);
    EXPECT_TRUE(ini.ReadBool("S", "k", true));
    EXPECT_FALSE(ini.SectionExists("S"));
    EXPECT_FALSE(ini.ValueExists("S", "k"));
    EXPECT_TRUE(ini.ReadSection("S").empty());
    EXPECT_TRUE(ini.ReadSectionValues("S").empty());

    // Buffered: nothing reaches the disk before UpdateFile, nor on destruction.
    {
        TIniFile w(path);
        w.WriteString("S", "k", "v");
    }
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(path)));

    ini.WriteString("S", "k", "v");
    ini.UpdateFile();
    EXPECT_EQ(ReadRaw(path), "[S]\nk=v\n");
}

TEST_F(IniFileTest, SectionsAndKeysIgnoreCase) {
    const std::string path = Path("case.ini");
    WriteRaw(path, "[Main]\nWidth=5\n[\xC3\x84rger]\n\xC3\x96l=fett\n");
    TIniFile ini(path);
    EXPECT_TRUE(ini.SectionExists("MAIN"));
    EXPECT_TRUE(ini.ValueExists("main", "WIDTH"));
    EXPECT_EQ(ini.ReadInteger("mAiN", "width", 0), 5);
    // Non-ASCII letters fold too: "ärger" / "öl".
    EXPECT_EQ(ini.ReadString("\xC3\xA4RGER", "\xC3\xB6L", ""), "fett");
    EXPECT_FALSE(ini.ValueExists("Main", "Width2"));

    // Writing under another spelling replaces the entry and keeps the file's spelling.
    ini.WriteString("MAIN", "width", "7");
    ini.UpdateFile();
    EXPECT_EQ(ReadRaw(path), "[Main]\nWidth=7\n[\xC3\x84rger]\n\xC3\x96l=fett\n");
    EXPECT_EQ(ini.ReadSection("main"), std::vector<std::string>{"Width"});
}

TEST_F(IniFileTest, RewriteKeepsOrderAndLeavesTheRestAsItWas) {
    const std::string path = Path("order.ini");
    WriteRaw(path,
             "; written by hand\n"
             "[Alpha]\n"
             "z = 1\n"
             "y=\"quoted\"\n"
             "a=3\n"
             "\n"
             "[Beta]\n"
             "  odd  =  spaced  \n"
             "no equals sign here\n"
             "\n"
             "[Gamma]\n"
             "k=v\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadSection("Alpha"), (std::vector<std::string>{"z", "y", "a"}));
    EXPECT_EQ(ini.ReadString("Beta", "odd", ""), "  spaced  ");

    ini.WriteString("Alpha", "y", "new");
    ini.WriteInteger("Alpha", "added", 9);
    ini.WriteString("Delta", "first", "1");
    ini.UpdateFile();
    EXPECT_EQ(ReadRaw(path),
              "; written by hand\n"
              "[Alpha]\n"
              "z = 1\n"
              "y=new\n"
              "a=3\n"
              "added=9\n"
              "\n"
              "[Beta]\n"
              "  odd  =  spaced  \n"
              "no equals sign here\n"
              "\n"
              "[Gamma]\n"
              "k=v\n"
              "\n"
              "[Delta]\n"
              "first=1\n");

    const std::vector<std::pair<std::string, std::string>> alpha{
        {"z", " 1"}, {"y", "new"}, {"a", "3"}, {"added", "9"}};
    EXPECT_EQ(TIniFile(path).ReadSectionValues("alpha"), alpha);
}

TEST_F(IniFileTest, ValuesRoundTripAsTheyStand) {
    const std::string path = Path("values.ini");
    const std::vector<std::string> values{
        "", "  leading and trailing  ", "\"quoted\"", "'single'", "a=b=c", "[not a section]",
        "; not a comment", "Gr\xC3\xBC\xC3\x9F" "e \xE2\x82\xAC", "tab\there"};
    {
        TIniFile ini(path);
        for (size_t i = 0; i < values.size(); ++i) ini.WriteString("V", Numbered('k', i), values[i]);
        ini.UpdateFile();
    }
    TIniFile back(path);
    EXPECT_EQ(back.ReadSection("V").size(), values.size());
    for (size_t i = 0; i < values.size(); ++i)
        EXPECT_EQ(back.ReadString("V", Numbered('k', i), "missing"), values[i]) << i;
}

// A file that an editor of the original platform wrote in Windows-1252.
TEST_F(IniFileTest, AFileInWindows1252ReadsAsTextAndWhatIsWrittenIsUtf8) {
    const std::string path = Path("cp1252.ini");
    const std::string note = "; Notizen f\xFCr K\xF6ln";
    WriteRaw(path, note + "\n[General]\nLocation=K\xF6ln\nName=M\xFCnchen Stra\xDF" "e\nPrice=\x80 5\n"
                   "[Stra\xDF" "e]\nGr\xF6\xDF" "e=12\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString("General", "Location", ""), "Köln");
    EXPECT_EQ(ini.ReadString("General", "Name", ""), "München Straße");
    EXPECT_EQ(ini.ReadString("General", "Price", ""), "€ 5");
    // A name is the same name in either encoding and any case.
    EXPECT_EQ(ini.ReadInteger("straße", "GRÖßE", 0), 12);
    EXPECT_EQ(ini.ReadInteger("Stra\xDF" "e", "Gr\xF6\xDF" "e", 0), 12);
    EXPECT_EQ(ini.ReadSection("Straße"), std::vector<std::string>{"Größe"});

    // What is written goes in as text, in UTF-8; the rest stays as it stands.
    ini.WriteString("General", "Location", ini.ReadString("General", "Location", ""));
    ini.WriteString("General", "Notes", "Caf\xE9");
    ini.WriteInteger("Straße", "größe", 13);
    EXPECT_EQ(ini.ReadString("General", "Notes", ""), "Café");
    ini.UpdateFile();
    EXPECT_EQ(ReadRaw(path), note + "\n[General]\nLocation=K\xC3\xB6ln\nName=M\xFCnchen Stra\xDF" "e\nPrice=\x80 5\n"
                             "Notes=Caf\xC3\xA9\n[Stra\xDF" "e]\nGr\xC3\xB6\xC3\x9F" "e=13\n");
    const TIniFile back(path);
    EXPECT_EQ(back.ReadString("General", "Location", ""), "Köln");
    EXPECT_EQ(back.ReadString("General", "Name", ""), "München Straße");
    EXPECT_EQ(back.ReadInteger("Straße", "Größe", 0), 13);
}

TEST_F(IniFileTest, WhatALineCannotCarryIsRefusedAndChangesNothing) {
    const std::string path = Path("inject.ini");
    WriteRaw(path, "[S]\nk=old\n");
    struct Case {
        const char* name;
        std::string section, key, value;
    };
    const std::vector<Case> refused{
        {"line breaks in a value", "S", "k", "a\r\n[Evil]\r\nx=1"},
        {"LF in a key", "S", "bad\nkey", "v"},
        {"CR in a section", "Sec\r[Other]", "k", "v"},
        {"= in a key", "S", "a=b", "v"},
        {"[ key with ] value", "S", "[k", "v]"},
        {"[ key with ] value and trailing blanks", "S", "  [k", "x] \t"},
        {"[ key with ] inside the value", "S", "[k", "a]b"},
        {"[ key holding ]", "S", "[General] ; note", "v"},
        {"NUL in a value", "S", "k", "a\0b"s},
        {"NUL in a key", "S", "k\0"s, "v"},
    };
    TIniFile ini(path);
    for (const Case& c : refused) {
        SCOPED_TRACE(c.name);
        EXPECT_THROW(ini.WriteString(c.section, c.key, c.value), EIniFileError);
        // The old value stays; a name that cannot be stored is found nowhere.
        EXPECT_EQ(ini.ReadString(c.section, c.key, "none"), c.section == "S" && c.key == "k" ? "old" : "none");
    }
    EXPECT_EQ(ini.ReadSectionValues("S"), (std::vector<std::pair<std::string, std::string>>{{"k", "old"}}));
    ini.UpdateFile();
    EXPECT_EQ(ReadRaw(path), "[S]\nk=old\n");
}

TEST_F(IniFileTest, EveryValueWrittenReadsBackUnchangedWhateverItsNames) {
    const std::string path = Path("roundtrip.ini");
    struct Entry {
        std::string section, key, value;
    };
    const std::vector<Entry> entries{
        {"S", "[key", "value"},
        {"S", "key]", "[value]"},
        {"S", "k", "v]"},
        {"S", "a", "plain a"},
        {"S", "a\xC3", "incomplete tail"},       // not folded onto "a"
        {"S", "a\xE2\x82", "two of three bytes"}, // nor onto "a" or each other
        {"S", "\xC0\xAF", "overlong"},
        {"S", "\xED\xA0\x80", "surrogate"},
        {"S", "\xF4\x90\x80\x80", "beyond U+10FFFF"},
        {"S", "\xEF\xBB\xBF" "bom", "key with a mark"},
        {"S", "bom", "key without"},
        {"[x", "k", "section beginning with ["},
        {"x]", "k", "section ending with ]"},
        {"a=b", "k", "section with ="},
        {"a\xC3", "k", "section with an incomplete tail"},
        {"a", "k", "section a"},
    };
    {
        TIniFile ini(path);
        for (const Entry& e : entries) ini.WriteString(e.section, e.key, e.value);
        ini.UpdateFile();
    }
    // Odd names and bytes that are no UTF-8 still make an ini file.
    EXPECT_FALSE(HoldsOtherData(path));
    for (int pass = 0; pass < 2; ++pass) {
        SCOPED_TRACE(pass == 0 ? "after the first save" : "after a second save");
        TIniFile back(path);
        for (const Entry& e : entries)
            EXPECT_EQ(back.ReadString(e.section, e.key, "missing"), e.value) << e.section << " / " << e.key;
        back.UpdateFile();
    }
}

TEST_F(IniFileTest, ReadsEveryLineEndingAndKeepsTheFilesOwn) {
    struct Case {
        const char* name;
        std::string text;
        std::string lineBreak;  // the one the rewritten file uses
    };
    const std::vector<Case> cases{
        {"LF", "[A]\nx=1\ny=two\n[B]\nz=3\n", "\n"},
        {"CR LF", "[A]\r\nx=1\r\ny=two\r\n[B]\r\nz=3\r\n", "\r\n"},
        {"CR", "[A]\rx=1\ry=two\r[B]\rz=3\r", "\r"},
        {"mixed, no final break", "[A]\r\nx=1\ry=two\n[B]\r\nz=3", "\r\n"},
        {"byte-order mark", "\xEF\xBB\xBF[A]\nx=1\ny=two\n[B]\nz=3\n", "\n"},
        // Saved without the marks, it must read as it did before the save.
        {"two byte-order marks", "\xEF\xBB\xBF\xEF\xBB\xBF[A]\nx=1\ny=two\n[B]\nz=3\n", "\n"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        const std::string path = Path("endings.ini");
        WriteRaw(path, c.text);
        TIniFile ini(path);
        EXPECT_EQ(ini.ReadSection("A"), (std::vector<std::string>{"x", "y"}));
        EXPECT_EQ(ini.ReadInteger("A", "x", 0), 1);
        EXPECT_EQ(ini.ReadString("A", "y", ""), "two");
        EXPECT_EQ(ini.ReadInteger("B", "z", 0), 3);

        ini.WriteString("B", "n", "1");
        ini.UpdateFile();
        const std::string& br = c.lineBreak;
        EXPECT_EQ(ReadRaw(path), "[A]" + br + "x=1" + br + "y=two" + br + "[B]" + br + "z=3" + br + "n=1" + br);
    }
}

TEST_F(IniFileTest, IntegersAreOptionalMinusAndDecimalDigitsBetweenBlanks) {
    const std::string path = Path("int.ini");
    const std::vector<std::pair<std::string, int32_t>> cases{
        {"42", 42}, {"-7", -7}, {"007", 7}, {"0", 0},
        {"2147483647", 2147483647}, {"-2147483648", -2147483647 - 1},
        {" 47", 47}, {"12 ", 12}, {"\t-3 \t", -3}, {"  0  ", 0},
        {"2147483648", -99}, {"+5", -99}, {"4 7", -99}, {"- 5", -99}, {" ", -99}, {"\t", -99},
        {"0x10", -99}, {"$10", -99}, {"", -99}, {"-", -99}, {"12abc", -99}, {"1.5", -99}};
    TIniFile ini(path);
    for (const auto& [text, expected] : cases) {
        ini.WriteString("N", "v", text);
        EXPECT_EQ(ini.ReadInteger("N", "v", -99), expected) << '"' << text << '"';
    }

    const std::vector<std::pair<std::string, bool>> bools{
        {"1", true}, {"0", false}, {"-3", true}, {" 1", true}, {"0 \t", false}, {"\t0", false}};
    for (const auto& [text, expected] : bools) {
        ini.WriteString("N", "b", text);
        EXPECT_EQ(ini.ReadBool("N", "b", !expected), expected) << text;
    }
    ini.WriteString("N", "b", "yes");
    EXPECT_FALSE(ini.ReadBool("N", "b", false));
    EXPECT_TRUE(ini.ReadBool("N", "b", true));

    ini.WriteBool("N", "t", true);
    ini.WriteBool("N", "f", false);
    ini.WriteInteger("N", "i", -2147483647 - 1);
    EXPECT_EQ(ini.ReadString("N", "t", ""), "1");
    EXPECT_EQ(ini.ReadString("N", "f", ""), "0");
    EXPECT_EQ(ini.ReadString("N", "i", ""), "-2147483648");
}

TEST_F(IniFileTest, EraseSectionAndDeleteKey) {
    const std::string path = Path("erase.ini");
    WriteRaw(path, "[A]\nx=1\ny=2\nx=dup\n[B]\nk=v\n[a]\nw=late\n");
    TIniFile ini(path);
    // The first key and the first section of a name count.
    EXPECT_EQ(ini.ReadString("A", "x", ""), "1");
    EXPECT_EQ(ini.ReadSection("A"), (std::vector<std::string>{"x", "y"}));
    EXPECT_FALSE(ini.ValueExists("A", "w"));

    ini.DeleteKey("a", "X");
    EXPECT_FALSE(ini.ValueExists("A", "x"));
    ini.DeleteKey("A", "absent");
    ini.DeleteKey("Absent", "x");
    ini.UpdateFile();
    EXPECT_EQ(ReadRaw(path), "[A]\ny=2\n[B]\nk=v\n[a]\nw=late\n");

    ini.EraseSection("A");
    EXPECT_FALSE(ini.SectionExists("a"));
    ini.EraseSection("Absent");
    ini.UpdateFile();
    EXPECT_EQ(ReadRaw(path), "[B]\nk=v\n");
}

TEST_F(IniFileTest, UnwritableFileRaisesTheError) {
    const std::string inMissingFolder = Path("no/such/folder/x.ini");
    TIniFile a(inMissingFolder);
    a.WriteString("S", "k", "v");
    try {
        a.UpdateFile();
        FAIL() << "no error raised";
    } catch (const EIniFileError& e) {
        EXPECT_NE(std::string(e.what()).find(inMissingFolder), std::string::npos) << e.what();
    }

    // A folder by that name cannot be read, so it is never replaced.
    const std::string folder = Path("folder.ini");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    WriteRaw(folder + "/inside", "keep");
    TIniFile b(folder);
    b.WriteString("S", "k", "v");
    EXPECT_THROW(b.UpdateFile(), EIniFileError);
    EXPECT_EQ(ReadRaw(folder + "/inside"), "keep");
}

TEST_F(IniFileTest, UpdateReplacesTheFileInsteadOfOverwritingIt) {
    // A write into a fresh file that is renamed over the old one leaves the
    // old contents whole until the new ones are complete: a reader holding
    // the old file still sees it all, and no temporary file is left behind.
    const std::string path = Path("swap.ini");
    WriteRaw(path, "[S]\nk=old\n");
    std::ifstream old(path, std::ios::binary);
    ASSERT_TRUE(old.is_open());

    TIniFile ini(path);
    ini.WriteString("S", "k", "new");
    ini.UpdateFile();

    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(old), std::istreambuf_iterator<char>()),
              "[S]\nk=old\n");
    EXPECT_EQ(ReadRaw(path), "[S]\nk=new\n");
    EXPECT_EQ(QDir(dir_.path()).entryList(QDir::Files | QDir::Hidden), QStringList{"swap.ini"});
}

TEST(IsIniText, TakesEveryTextWithASectionAndNothingElse) {
    const struct {
        const char* what;
        std::string text;
        bool ini;
    } cases[] = {
        {"nothing: a new file", "", true},
        {"blank lines and a byte-order mark", "\xEF\xBB\xBF\r\n \t\n\n", true},
        {"comments alone: a new file", "; my workspace\r\n# to be filled\r\n", true},
        {"sections, keys and comments",
         "; note\n# note\n[General]\nTop=20\n\n[kelmira]\n  Font Name = Terminal \n", true},
        {"CR line breaks and blanks around a header", "[A]\rx=1\r  [ B ]  \ry=\r", true},
        {"a key named like a recording's header", "[S]\n<recorder=\"Orvane\">\n", true},
        {"UTF-8 and other bytes in names and values", "[\xC3\x84rger]\na\xC3=\xFF\x01\tz\n", true},
        {"no final line break", "[S]\nk=v", true},
        // What people write into a workspace by hand.
        {"a note line in a section", "[General]\nfor the car radio\nTop=5\n", true},
        {"a key above the first section", "Owner=me\n[General]\nTop=5\n", true},
        {"a comment after a header", "[General] ; for the car\nTop=5\n", true},
        {"a section after text", "notes\nmore notes\n[General]\n", true},
        {"a recording", "<recorder=\"Orvane\">\r\nC201 0140 E0CD 4F52 @2024/05/01 13:05:09.08\r\n", false},
        {"a recording's header alone", "<recorder=\"Orvane\" name=\"x\">\r\n", false},
        {"keys without a section", "Top=5\nLeft=7\n", false},
        {"a header that does not close", "[General\nTop=1\n", false},
        {"a bracket that only closes", "]General[\nTop=1\n", false},
        {"a sample file", "\xFF\x06\xC2\x01\x02\x4D\x01\x40\x01\x2C"s, false},
        {"a NUL byte in a key line", "[S]\nk=\0\n"s, false},
        {"UTF-16", "[\0S\0]\0\n\0"s, false},
    };
    for (const auto& c : cases) EXPECT_EQ(IsIniText(c.text), c.ini) << c.what;
}

TEST_F(IniFileTest, AHeaderEndsAtItsLastBracketAndLinesItCannotUseStay) {
    const std::string path = Path("hand.owk");
    const std::string text = "Owner=me\n"
                             "[General] ; for the car\n"
                             "my notes, no key here\n"
                             "Top=5\n"
                             "  [a]b] ] tail\n"
                             "k=v\n";
    WriteRaw(path, text);
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadInteger("General", "Top", 0), 5);
    EXPECT_EQ(ini.ReadString("a]b]", "k", ""), "v");
    EXPECT_EQ(ini.ReadSection("General"), std::vector<std::string>{"Top"});
    // A key above every section belongs to none.
    EXPECT_FALSE(ini.ValueExists("", "Owner"));

    ini.WriteInteger("General", "Top", 6);
    ini.UpdateFile();
    std::string expected = text;
    expected.replace(expected.find("Top=5"), 5, "Top=6");
    EXPECT_EQ(ReadRaw(path), expected);
}

TEST_F(IniFileTest, HoldsOtherDataOnlyForAFileThatReadsAsOtherData) {
    EXPECT_FALSE(HoldsOtherData(Path("absent.ini")));
    WriteRaw(Path("empty.owk"), "");
    EXPECT_FALSE(HoldsOtherData(Path("empty.owk")));
    WriteRaw(Path("ws.owk"), "[General]\nTop=1\n");
    EXPECT_FALSE(HoldsOtherData(Path("ws.owk")));
    WriteRaw(Path("take.orv"), "C201 0140 E0CD 4F52\r\n");
    EXPECT_TRUE(HoldsOtherData(Path("take.orv")));
    // What cannot be read is left to TIniFile, which never replaces it.
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(Path("folder.owk"))));
    EXPECT_FALSE(HoldsOtherData(Path("folder.owk")));
}

} // namespace
