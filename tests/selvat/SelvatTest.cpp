// Drives the real libselvat.so through its C interface.
#include <orvane/selvat.h>

#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "FileWrites.h"
#include "TestFiles.h"

#include <dlfcn.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <thread>
#include <utility>
#include <vector>

namespace {

using orvane::test::FileWrites;
using orvane::test::Numbered;

class SelvatTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir_.isValid());
        file_ = Path("workspace.orv");
    }
    std::string Path(const std::string& name) const { return dir_.path().toStdString() + "/" + name; }
    static void WriteRaw(const std::string& path, const std::string& bytes) { orvane::test::WriteFileBytes(path, bytes); }
    static std::string ReadRaw(const std::string& path) { return orvane::test::ReadFileBytes(path); }

    QTemporaryDir dir_;
    std::string file_;
};

TEST_F(SelvatTest, IntegersRoundTrip) {
    for (const int32_t v : {0, 1, -1, 123456, 2147483647, -2147483647 - 1}) {
        SaveInteger(file_.c_str(), "Group Analyzer", "Value", v);
        EXPECT_EQ(LoadInteger(file_.c_str(), "Group Analyzer", "Value", 99), v);
    }
}

TEST_F(SelvatTest, TextsRoundTrip) {
    const std::vector<std::string> texts{"", "plain", "  blanks kept  ", "\"quoted\"", "a=b",
                                         "Fran\xC3\xA7" "ais \xE2\x82\xAC"};
    for (const std::string& t : texts) {
        SavePChar(file_.c_str(), "Sec", "Text", t.c_str());
        EXPECT_STREQ(LoadPChar(file_.c_str(), "Sec", "Text", "default"), t.c_str());
    }
}

TEST_F(SelvatTest, MissingFileSectionOrKeyGiveTheDefault) {
    const std::string missing = Path("none.orv");
    EXPECT_EQ(LoadInteger(missing.c_str(), "S", "k", 42), 42);
    EXPECT_STREQ(LoadPChar(missing.c_str(), "S", "k", "def"), "def");

    SaveInteger(file_.c_str(), "S", "k", 5);
    EXPECT_EQ(LoadInteger(file_.c_str(), "Other", "k", 42), 42);
    EXPECT_EQ(LoadInteger(file_.c_str(), "S", "other", 42), 42);
    EXPECT_STREQ(LoadPChar(file_.c_str(), "Other", "k", "def"), "def");
    EXPECT_STREQ(LoadPChar(file_.c_str(), "S", "other", nullptr), "");
    // Section and key names ignore case, as in any ini file.
    EXPECT_EQ(LoadInteger(file_.c_str(), "s", "K", 42), 5);
}

TEST_F(SelvatTest, TextThatIsNoDecimalIntegerGivesTheDefault) {
    for (const char* text : {"abc", "12x", "", " ", "1 7", "+7", "0x10", "99999999999"}) {
        SavePChar(file_.c_str(), "S", "k", text);
        EXPECT_EQ(LoadInteger(file_.c_str(), "S", "k", -8), -8) << '"' << text << '"';
    }
    // Blanks around a number, as a hand edit leaves them, do not count.
    for (const char* text : {"-17", " -17", "-17 \t", "\t-17"}) {
        SavePChar(file_.c_str(), "S", "k", text);
        EXPECT_EQ(LoadInteger(file_.c_str(), "S", "k", -8), -17) << '"' << text << '"';
    }
}

TEST_F(SelvatTest, SavingKeepsEverythingElseInTheFile) {
    WriteRaw(file_, "[Main]\r\nWidth = 640\r\n; note\r\n\r\n[Group Analyzer]\r\nOld=1\r\n\r\n[Tail]\r\nx=y\r\n");
    SaveInteger(file_.c_str(), "Group Analyzer", "Old", 2);
    SavePChar(file_.c_str(), "Group Analyzer", "Name", "BBC");
    SaveInteger(file_.c_str(), "New", "k", 3);
    // The file's CR LF line breaks are kept, new lines included.
    EXPECT_EQ(ReadRaw(file_),
              "[Main]\r\nWidth = 640\r\n; note\r\n\r\n[Group Analyzer]\r\nOld=2\r\nName=BBC\r\n\r\n"
              "[Tail]\r\nx=y\r\n\r\n[New]\r\nk=3\r\n");
}

TEST_F(SelvatTest, FailedSaveChangesNothingAndDoesNotThrow) {
    const std::string unwritable = Path("no/folder/w.orv");
    SaveInteger(unwritable.c_str(), "S", "k", 1);
    SavePChar(unwritable.c_str(), "S", "k", "t");
    EXPECT_EQ(LoadInteger(unwritable.c_str(), "S", "k", 7), 7);

    // A folder in place of the file is neither read nor replaced.
    const std::string folder = Path("folder.orv");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    SaveInteger(folder.c_str(), "S", "k", 1);
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());
    EXPECT_EQ(LoadInteger(folder.c_str(), "S", "k", 7), 7);
}

TEST_F(SelvatTest, AFileOfOtherDataIsNeverWrittenAnEmptyOneIs) {
    const struct {
        const char* what;
        std::string bytes;
    } others[] = {
        {"a recording", "<recorder=\"Orvane\" name=\"x\">\r\nC201 0140 E0CD 4F52 @2024/05/01 13:05:09.08\r\n"},
        {"a recording's header alone", "<recorder=\"Orvane\" name=\"x\">\r\n"},
        {"a sample file", std::string("\xFF\x06\xC2\x01\x02\x4D\x01\x40\x01\x2C\xE0\xCD\x00\x00\x4F\x52\x03\x0B", 18)},
        {"binary bytes", std::string("[S]\nk=\0\x01\x02", 10)},
    };
    for (const auto& o : others) {
        SCOPED_TRACE(o.what);
        WriteRaw(file_, o.bytes);
        SaveInteger(file_.c_str(), "kelmira", "Top", 20);
        SavePChar(file_.c_str(), "kelmira", "FontName", "Terminal");
        EXPECT_EQ(ReadRaw(file_), o.bytes);
    }
    WriteRaw(file_, "");
    SaveInteger(file_.c_str(), "kelmira", "Top", 20);
    EXPECT_EQ(ReadRaw(file_), "[kelmira]\nTop=20\n");
}

TEST_F(SelvatTest, WhatTheFileCannotCarryIsNotSavedAndTheRestReadsBackUnchanged) {
    SavePChar(file_.c_str(), "S", "k", "old");
    const std::string before = ReadRaw(file_);
    SavePChar(file_.c_str(), "S", "k", "two\r\nlines");
    SavePChar(file_.c_str(), "S", "[x", "y]");
    SaveInteger(file_.c_str(), "S", "a=b", 5);
    EXPECT_EQ(ReadRaw(file_), before);
    EXPECT_STREQ(LoadPChar(file_.c_str(), "S", "k", "def"), "old");
    // Names that differ only in an incomplete last character stay apart.
    SavePChar(file_.c_str(), "S", "a", "plain");
    SavePChar(file_.c_str(), "S", "a\xC3", "tail");
    SaveInteger(file_.c_str(), "S", "[x", 7);
    EXPECT_STREQ(LoadPChar(file_.c_str(), "S", "a", "def"), "plain");
    EXPECT_STREQ(LoadPChar(file_.c_str(), "S", "a\xC3", "def"), "tail");
    EXPECT_EQ(LoadInteger(file_.c_str(), "S", "[x", 0), 7);
}

TEST_F(SelvatTest, NullArgumentsAreHarmless) {
    SaveInteger(nullptr, "S", "k", 1);
    SaveInteger(file_.c_str(), nullptr, "k", 1);
    SaveInteger(file_.c_str(), "S", nullptr, 1);
    SavePChar(nullptr, "S", "k", "t");
    SavePChar(file_.c_str(), nullptr, "k", "t");
    SavePChar(file_.c_str(), "S", nullptr, "t");
    EXPECT_FALSE(QFileInfo::exists(QString::fromStdString(file_)));
    EXPECT_EQ(LoadInteger(nullptr, "S", "k", 4), 4);
    EXPECT_EQ(LoadInteger(file_.c_str(), nullptr, "k", 4), 4);
    EXPECT_STREQ(LoadPChar(nullptr, nullptr, nullptr, "d"), "d");
    EXPECT_STREQ(LoadPChar(nullptr, nullptr, nullptr, nullptr), "");

    // A null text is the empty text.
    SavePChar(file_.c_str(), "S", "k", nullptr);
    EXPECT_STREQ(LoadPChar(file_.c_str(), "S", "k", "d"), "");
}

TEST_F(SelvatTest, LoadPCharResultOutlivesTheCallAndMayBeTheNextDefault) {
    SavePChar(file_.c_str(), "S", "a", "first");
    const char* a = LoadPChar(file_.c_str(), "S", "a", "");
    const std::string copy = a;
    EXPECT_EQ(copy, "first");
    // The previous result handed back as a default is copied before it is replaced.
    EXPECT_STREQ(LoadPChar(file_.c_str(), "S", "missing", a), "first");
}

// The host's batch around one "SAVEWORKSPACE": what the plug-ins save is
// held and reaches the file in one write when the batch ends.
TEST_F(SelvatTest, ABatchWritesEveryHeldValueInOneWriteAndKeepsTheRest) {
    WriteRaw(file_, "[General]\r\nTop=5\r\n\r\n[kelmira]\r\nFontSize=9\r\n");
    FileWrites writes(file_);
    BeginSaveBatch(file_.c_str());
    for (int n = 0; n < 40; ++n) SaveInteger(file_.c_str(), "kelmira", Numbered('C', n).c_str(), n * 7);
    SaveInteger(file_.c_str(), "kelmira", "FontSize", 12);
    SavePChar(file_.c_str(), "kelmira", "FontName", "DejaVu Sans Mono");
    SavePChar(file_.c_str(), "Another", "Name", "K\xC3\xB6ln");
    EXPECT_EQ(writes.Count(), 0);
    EndSaveBatch(file_.c_str());
    EXPECT_EQ(writes.Count(), 1);

    const std::string saved = ReadRaw(file_);
    EXPECT_EQ(saved.rfind("[General]\r\nTop=5\r\n\r\n[kelmira]\r\nFontSize=12\r\nC0=0\r\n", 0), 0u) << saved;
    for (int n = 0; n < 40; ++n) EXPECT_EQ(LoadInteger(file_.c_str(), "kelmira", Numbered('C', n).c_str(), -1), n * 7);
    EXPECT_STREQ(LoadPChar(file_.c_str(), "kelmira", "FontName", ""), "DejaVu Sans Mono");
    EXPECT_STREQ(LoadPChar(file_.c_str(), "Another", "Name", ""), "K\xC3\xB6ln");

    // After the batch every save is written at once again.
    SaveInteger(file_.c_str(), "kelmira", "Top", 3);
    EXPECT_EQ(writes.Count(), 2);
    // A batch in which nothing was saved writes nothing; pairs may nest and
    // the outermost end writes.
    BeginSaveBatch(file_.c_str());
    EndSaveBatch(file_.c_str());
    EXPECT_EQ(writes.Count(), 2);
    BeginSaveBatch(file_.c_str());
    BeginSaveBatch(file_.c_str());
    SaveInteger(file_.c_str(), "kelmira", "Top", 4);
    EndSaveBatch(file_.c_str());
    EXPECT_EQ(writes.Count(), 2);
    EndSaveBatch(file_.c_str());
    EXPECT_EQ(writes.Count(), 3);
    EXPECT_EQ(LoadInteger(file_.c_str(), "kelmira", "Top", -1), 4);
    // An end without a beginning, and null names, do nothing.
    EndSaveBatch(file_.c_str());
    BeginSaveBatch(nullptr);
    EndSaveBatch(nullptr);
    SaveInteger(file_.c_str(), "kelmira", "Top", 6);
    EXPECT_EQ(writes.Count(), 4);
}

TEST_F(SelvatTest, LoadsDuringABatchSeeTheHeldValues) {
    WriteRaw(file_, "[S]\nkept=old\nn=1\n");
    BeginSaveBatch(file_.c_str());
    SaveInteger(file_.c_str(), "S", "n", 2);
    SaveInteger(file_.c_str(), "S", "n", 3); // the last save of a key counts
    SavePChar(file_.c_str(), "New", "t", "held");
    SavePChar(file_.c_str(), "S", "kept", "two\r\nlines"); // refused alone, as at once
    EXPECT_EQ(LoadInteger(file_.c_str(), "S", "n", 0), 3);
    EXPECT_STREQ(LoadPChar(file_.c_str(), "new", "T", "def"), "held");
    EXPECT_STREQ(LoadPChar(file_.c_str(), "S", "kept", "def"), "old");
    EXPECT_STREQ(LoadPChar(file_.c_str(), "S", "missing", "def"), "def");
    EXPECT_EQ(ReadRaw(file_), "[S]\nkept=old\nn=1\n");
    EndSaveBatch(file_.c_str());
    EXPECT_EQ(ReadRaw(file_), "[S]\nkept=old\nn=3\n\n[New]\nt=held\n");
}

TEST_F(SelvatTest, SavesOutsideTheBatchAreWrittenAtOnceAndKeptByIt) {
    WriteRaw(file_, "[S]\na=0\n");
    const std::string other = Path("other.owk");
    WriteRaw(other, "[S]\n");
    FileWrites writes(file_), otherWrites(other);
    BeginSaveBatch(file_.c_str());
    SaveInteger(file_.c_str(), "S", "a", 1);
    // Another file, and the same file from another thread, are written at
    // once; that thread reads the file as it is.
    SavePChar(other.c_str(), "S", "b", "now");
    EXPECT_EQ(otherWrites.Count(), 1);
    int seen = -1;
    std::thread([&] {
        SaveInteger(file_.c_str(), "T", "c", 2);
        seen = LoadInteger(file_.c_str(), "S", "a", -1);
    }).join();
    EXPECT_EQ(seen, 0);
    EXPECT_EQ(writes.Count(), 1);
    EXPECT_EQ(ReadRaw(file_), "[S]\na=0\n\n[T]\nc=2\n");
    // The batch's one write lands on the file as it is by then.
    EndSaveBatch(file_.c_str());
    EXPECT_EQ(writes.Count(), 2);
    EXPECT_EQ(ReadRaw(file_), "[S]\na=1\n\n[T]\nc=2\n");
}

TEST_F(SelvatTest, AFileThatBecameOtherDataDuringABatchOrCannotBeWrittenStaysAsItIs) {
    const std::string recording =
        "<recorder=\"Orvane\" name=\"x\">\r\nC201 0140 E0CD 4F52 @2024/05/01 13:05:09.08\r\n";
    WriteRaw(file_, "[kelmira]\nTop=1\n");
    BeginSaveBatch(file_.c_str());
    SaveInteger(file_.c_str(), "kelmira", "Top", 20);
    WriteRaw(file_, recording); // another program puts its file in place
    SavePChar(file_.c_str(), "kelmira", "FontName", "Terminal");
    EndSaveBatch(file_.c_str());
    EXPECT_EQ(ReadRaw(file_), recording);

    // A folder in place of the file: the held values go nowhere.
    const std::string folder = Path("folder.owk");
    ASSERT_TRUE(QDir().mkpath(QString::fromStdString(folder)));
    BeginSaveBatch(folder.c_str());
    SaveInteger(folder.c_str(), "S", "k", 1);
    EndSaveBatch(folder.c_str());
    EXPECT_TRUE(QFileInfo(QString::fromStdString(folder)).isDir());
    // And the next batch of a file that is good again writes.
    WriteRaw(file_, "");
    BeginSaveBatch(file_.c_str());
    SaveInteger(file_.c_str(), "kelmira", "Top", 20);
    EndSaveBatch(file_.c_str());
    EXPECT_EQ(ReadRaw(file_), "[kelmira]\nTop=20\n");
}

std::unique_ptr<TValueTable> EmptyTable() {
    auto t = std::make_unique<TValueTable>();
    std::memset(t.get(), 0x5A, sizeof(TValueTable));
    t->Count = 0;
    return t;
}

std::string KeyOf(const TValueTable& t, int i) { return {t.Entries[i].Key.Text, t.Entries[i].Key.Length}; }
std::string ValueOf(const TValueTable& t, int i) {
    return {t.Entries[i].Value.Text, t.Entries[i].Value.Length};
}

TEST(SelvatValueTest, AddValueLandsInTheHostTable) {
    auto t = EmptyTable();
    AddValue("PI", "D3C2", t.get());
    AddValue("PS", "RADIO", t.get());
    AddValue("PI", "1234", t.get());
    ASSERT_EQ(t->Count, 2);
    EXPECT_EQ(KeyOf(*t, 0), "PI");
    EXPECT_EQ(ValueOf(*t, 0), "1234");
    EXPECT_EQ(KeyOf(*t, 1), "PS");
    EXPECT_EQ(ValueOf(*t, 1), "RADIO");

    // Cut to 255 bytes on a character boundary.
    std::string longValue = std::string(254, 'x') + "\xC3\xA4";
    AddValue("RT", longValue.c_str(), t.get());
    EXPECT_EQ(ValueOf(*t, 2), std::string(254, 'x'));
}

TEST(SelvatValueTest, AddValueLimitsACountThePlugInBroke) {
    auto t = EmptyTable();
    for (int i = 0; i < 256; ++i) AddValue(Numbered('K', i).c_str(), "v", t.get());
    ASSERT_EQ(t->Count, 256);
    AddValue("dropped", "v", t.get());
    EXPECT_EQ(t->Count, 256);
    t->Count = 300;
    AddValue("K3", "changed", t.get());
    EXPECT_EQ(t->Count, 256);
    EXPECT_EQ(ValueOf(*t, 3), "changed");
    t->Count = -5;
    AddValue("first", "1", t.get());
    EXPECT_EQ(t->Count, 1);
    EXPECT_EQ(KeyOf(*t, 0), "first");
}

TEST(SelvatValueTest, AddValueIgnoresNullPointers) {
    auto t = EmptyTable();
    AddValue("k", "v", nullptr);
    AddValue(nullptr, "v", t.get());
    EXPECT_EQ(t->Count, 0);
    AddValue("k", nullptr, t.get());
    ASSERT_EQ(t->Count, 1);
    EXPECT_EQ(ValueOf(*t, 0), "");
}

TEST(SelvatCharConvTest, MapsTheRdsBasicCharacterSet) {
    const std::vector<std::pair<int32_t, uint32_t>> codes{
        {0x80, 0x00E1},  // á
        {0x82, 0x00E9},  // é
        {0x8B, 0x00C7},  // Ç
        {0x8D, 0x00DF},  // ß
        {0x91, 0x00E4},  // ä
        {0x97, 0x00F6},  // ö
        {0x99, 0x00FC},  // ü
        {0x9B, 0x00E7},  // ç
        {0xAA, 0x00A3},  // £
        {0xAB, 0x0024},  // $
        {0xBB, 0x00B0},  // °
        {0xCC, 0x0160},  // Š
        {0xD1, 0x00C4},  // Ä
        {0xD7, 0x00D6},  // Ö
        {0xD9, 0x00DC},  // Ü
        {0x41, 0x0041},  // below 128 unchanged
    };
    for (const auto& [code, expected] : codes) EXPECT_EQ(CharConv(code, 1), expected) << std::hex << code;
    // Only the low byte counts.
    EXPECT_EQ(CharConv(0x191, 1), 0x00E4u);
    EXPECT_EQ(CharConv(-111, 1), 0x00E4u);  // 0x...FF91
}

TEST(SelvatExportTest, OnlyTheInterfaceIsExported) {
    Dl_info info{};
    ASSERT_NE(dladdr(reinterpret_cast<void*>(&CharConv), &info), 0);
    void* lib = dlopen(info.dli_fname, RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(lib, nullptr) << info.dli_fname;
    for (const char* name : {"CharConv", "AddValue", "SaveInteger", "SavePChar", "LoadInteger", "LoadPChar",
                             "BeginSaveBatch", "EndSaveBatch"})
        EXPECT_NE(dlsym(lib, name), nullptr) << name;
    // The linked-in ini and value-table code stays private.
    for (const char* name : {"_ZN8TIniFile10UpdateFileEv", "_ZN6orvane15ClearValueTableER11TValueTable"})
        EXPECT_EQ(dlsym(lib, name), nullptr) << name;
    dlclose(lib);
}

} // namespace
