#include "ValueTable.h"

#include "IniFile.h"

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "TestFiles.h"

#include <cstring>
#include <fstream>
#include <memory>
#include <string>
#include <utility>
#include <vector>

namespace orvane {
namespace {

using namespace std::string_literals;

using orvane::test::Numbered;

// The record is large; the tests keep it on the heap, filled with garbage so
// that nothing relies on a zeroed record.
std::unique_ptr<TValueTable> GarbageTable() {
    auto t = std::make_unique<TValueTable>();
    std::memset(t.get(), 0xA5, sizeof(TValueTable));
    t->Count = 0;
    return t;
}

// Writes an entry the way a plug-in does: straight into the record.
void PokeEntry(TValueTable& t, int i, const std::string& key, const std::string& value) {
    t.Entries[i].Key.Length = static_cast<uint8_t>(key.size());
    std::memcpy(t.Entries[i].Key.Text, key.data(), key.size());
    t.Entries[i].Value.Length = static_cast<uint8_t>(value.size());
    std::memcpy(t.Entries[i].Value.Text, value.data(), value.size());
}

TEST(ValueTableTest, SettingAnExistingKeyKeepsItsPosition) {
    auto t = GarbageTable();
    AddValue(*t, "PI", "D3C2");
    AddValue(*t, "PS", "RADIO");
    AddValue(*t, "BER", "0");
    AddValue(*t, "PI", "1234");
    ASSERT_EQ(ValueCount(*t), 3);
    EXPECT_EQ(KeyAt(*t, 0), "PI");
    EXPECT_EQ(ValueAt(*t, 0), "1234");
    EXPECT_EQ(KeyAt(*t, 1), "PS");
    EXPECT_EQ(ReadValue(*t, "PI"), "1234");
    EXPECT_EQ(ReadValue(*t, "PS"), "RADIO");
    EXPECT_EQ(ReadValue(*t, "absent"), "");
}

TEST(ValueTableTest, KeepsTheFirst256KeysAndDropsTheRest) {
    auto t = GarbageTable();
    for (int i = 0; i < 257; ++i) AddValue(*t, Numbered('K', i), std::to_string(i));
    EXPECT_EQ(t->Count, 256);
    EXPECT_EQ(ReadValue(*t, "K255"), "255");
    EXPECT_EQ(ReadValue(*t, "K256"), "");
    EXPECT_EQ(KeyAt(*t, 255), "K255");
    // A full table still takes new values for keys it holds.
    AddValue(*t, "K0", "again");
    EXPECT_EQ(ReadValue(*t, "K0"), "again");
    EXPECT_EQ(t->Count, 256);
}

TEST(ValueTableTest, KeysMatchExactly) {
    auto t = GarbageTable();
    AddValue(*t, "Key", "1");
    AddValue(*t, "KEY", "2");
    AddValue(*t, "Key ", "3");
    EXPECT_EQ(ValueCount(*t), 3);
    EXPECT_EQ(ReadValue(*t, "Key"), "1");
    EXPECT_EQ(ReadValue(*t, "KEY"), "2");
    EXPECT_EQ(ReadValue(*t, "key"), "");
    EXPECT_EQ(ReadValue(*t, "Ke"), "");
}

TEST(ValueTableTest, ResetLeavesOnlyAnEmptyCommand) {
    auto t = GarbageTable();
    AddValue(*t, "PI", "D3C2");
    AddValue(*t, "COMMAND", "SHOWHIDE");
    AddValue(*t, "PS", "RADIO");
    ClearValueTable(*t);
    ASSERT_EQ(t->Count, 1);
    EXPECT_EQ(KeyAt(*t, 0), "COMMAND");
    EXPECT_EQ(ValueAt(*t, 0), "");
    // The old entries are still in the record beyond the count, never read.
    EXPECT_EQ(ReadValue(*t, "PS"), "");
    EXPECT_EQ(ReadValue(*t, "PI"), "");
}

TEST(ValueTableTest, CountWrittenByAPlugInIsLimited) {
    struct Case {
        int32_t count;
        int expectedInUse;
    };
    for (const Case c : {Case{300, 256}, Case{-5, 0}, Case{INT32_MIN, 0}, Case{INT32_MAX, 256}}) {
        SCOPED_TRACE(c.count);
        auto t = GarbageTable();
        for (int i = 0; i < 256; ++i) PokeEntry(*t, i, Numbered('K', i), "v");
        t->Count = c.count;
        EXPECT_EQ(ValueCount(*t), c.expectedInUse);
        EXPECT_EQ(ReadValue(*t, "K255"), c.expectedInUse == 256 ? "v" : "");

        AddValue(*t, "new", "x");
        if (c.expectedInUse == 256) {
            EXPECT_EQ(t->Count, 256);
            EXPECT_EQ(ReadValue(*t, "new"), "");
        } else {
            EXPECT_EQ(t->Count, 1);
            EXPECT_EQ(KeyAt(*t, 0), "new");
            EXPECT_EQ(ReadValue(*t, "K1"), "");
        }
    }
}

TEST(ValueTableTest, EntriesBeyondTheCountAreNeverRead) {
    auto t = GarbageTable();
    PokeEntry(*t, 0, "A", "1");
    PokeEntry(*t, 1, "B", "stale");
    t->Count = 1;
    EXPECT_EQ(ReadValue(*t, "B"), "");
    // Setting B appends over the stale entry rather than reusing its value.
    AddValue(*t, "B", "fresh");
    EXPECT_EQ(t->Count, 2);
    EXPECT_EQ(ReadValue(*t, "B"), "fresh");
}

TEST(ValueTableTest, CutUtf8StopsOnACharacterBoundary) {
    struct Case {
        const char* name;
        std::string text;
        size_t max;
        std::string expected;
    };
    const std::string eur = "\xE2\x82\xAC";  // 3 bytes
    const std::string emoji = "\xF0\x9F\x93\xBB";  // 4 bytes
    const std::vector<Case> cases{
        {"short enough", "abc", 5, "abc"},
        {"ASCII", "abcdef", 4, "abcd"},
        {"zero", "abc", 0, ""},
        {"two-byte split", "a\xC3\xA4", 2, "a"},
        {"two-byte whole", "a\xC3\xA4" "b", 3, "a\xC3\xA4"},
        {"three-byte split after 1", "ab" + eur, 3, "ab"},
        {"three-byte split after 2", "ab" + eur, 4, "ab"},
        {"four-byte split after 3", "x" + emoji, 4, "x"},
        {"four-byte whole", "x" + emoji + "y", 5, "x" + emoji},
        {"stray continuation bytes count one each", "ab\x80\x80\x80\x80", 4, "ab\x80\x80"},
        {"invalid lead kept bytewise", "a\xFF\xFF\xFF", 2, "a\xFF"},
        {"stray byte after a whole character", "a\xC3\xA4\x80\x80", 4, "a\xC3\xA4\x80"},
        // Not well-formed, so not one character: cut like single bytes.
        {"overlong form", "a\xE0\x80\x80", 3, "a\xE0\x80"},
        {"surrogate", "a\xED\xA0\x80", 3, "a\xED\xA0"},
        {"beyond U+10FFFF", "\xF4\x90\x80\x80", 3, "\xF4\x90\x80"},
    };
    for (const Case& c : cases) EXPECT_EQ(CutUtf8(c.text, c.max), c.expected) << c.name;
}

TEST(ValueTableTest, LongTextsAreCutTo255BytesOnABoundary) {
    auto t = GarbageTable();
    const std::string longKey(300, 'k');
    // 127 two-byte letters = 254 bytes, then a 2-byte letter that would end at 256.
    std::string longValue;
    for (int i = 0; i < 128; ++i) longValue += "\xC3\xA4";
    AddValue(*t, longKey, longValue);
    ASSERT_EQ(t->Count, 1);
    EXPECT_EQ(KeyAt(*t, 0), std::string(255, 'k'));
    EXPECT_EQ(ValueAt(*t, 0).size(), 254u);
    EXPECT_EQ(ValueAt(*t, 0), longValue.substr(0, 254));
    // The full key finds the entry it was stored under, and replaces it.
    EXPECT_EQ(ReadValue(*t, longKey), longValue.substr(0, 254));
    AddValue(*t, longKey + "tail", "short");
    EXPECT_EQ(t->Count, 1);
    EXPECT_EQ(ReadValue(*t, longKey), "short");
}

class SaveValuesToIniTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(dir_.isValid()); }
    std::string Path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }
    QTemporaryDir dir_;
};

TEST_F(SaveValuesToIniTest, ExportsEntriesWithKeysInOrderAndKeepsTheRest) {
    const std::string path = Path("export.ini");
    {
        std::ofstream out(path, std::ios::binary);
        out << "[Other]\nkeep=1\n[DecoderData]\nold=stays\nPS=before\n";
    }
    auto t = GarbageTable();
    ClearValueTable(*t);
    AddValue(*t, "PI", "D3C2");
    PokeEntry(*t, 2, "", "no key");
    PokeEntry(*t, 3, "PS", "RADIO 1");
    PokeEntry(*t, 4, "beyond", "count");
    t->Count = 4;
    SaveValuesToIni(*t, path);

    TIniFile ini(path);
    EXPECT_EQ(ini.ReadSection("DecoderData"), (std::vector<std::string>{"old", "PS", "COMMAND", "PI"}));
    EXPECT_EQ(ini.ReadString("DecoderData", "COMMAND", "missing"), "");
    EXPECT_EQ(ini.ReadString("DecoderData", "PI", ""), "D3C2");
    EXPECT_EQ(ini.ReadString("DecoderData", "PS", ""), "RADIO 1");
    EXPECT_EQ(ini.ReadString("DecoderData", "old", ""), "stays");
    EXPECT_EQ(ini.ReadInteger("Other", "keep", 0), 1);
}

TEST_F(SaveValuesToIniTest, ExportOfThreeEntriesWritesExactlyThoseKeys) {
    const std::string path = Path("three.ini");
    auto t = GarbageTable();
    ClearValueTable(*t);
    AddValue(*t, "PI", "D3C2");
    AddValue(*t, "PS", "RADIO");
    SaveValuesToIni(*t, path);
    const std::vector<std::pair<std::string, std::string>> expected{
        {"COMMAND", ""}, {"PI", "D3C2"}, {"PS", "RADIO"}};
    EXPECT_EQ(TIniFile(path).ReadSectionValues("DecoderData"), expected);
}

TEST_F(SaveValuesToIniTest, AValueCannotInjectIniLines) {
    const std::string path = Path("inject.ini");
    auto t = GarbageTable();
    AddValue(*t, "RT", "text\r\n[Evil]\nx=1");
    AddValue(*t, "[odd", "key]");
    AddValue(*t, "a=b", "c");
    AddValue(*t, "after", "still written");
    SaveValuesToIni(*t, path);
    TIniFile ini(path);
    EXPECT_FALSE(ini.SectionExists("Evil"));
    // Line breaks and "=" show as blanks; the one entry whose line would
    // read as a section header is left out, the others are all there.
    const std::vector<std::pair<std::string, std::string>> expected{
        {"RT", "text  [Evil] x=1"}, {"a b", "c"}, {"after", "still written"}};
    EXPECT_EQ(ini.ReadSectionValues("DecoderData"), expected);
}

TEST_F(SaveValuesToIniTest, UnwritableFileRaisesTheIniError) {
    auto t = GarbageTable();
    ClearValueTable(*t);
    EXPECT_THROW(SaveValuesToIni(*t, Path("missing/folder/x.ini")), EIniFileError);
}

} // namespace
} // namespace orvane
