#include "veltutil.h"

#include <QComboBox>
#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace orvane;

TEST(Veltutil, PaddedIntegers) {
    EXPECT_EQ(IntToStrZero(7, 2), "07");
    EXPECT_EQ(IntToStrZero(123, 2), "123"); // never cut
    EXPECT_EQ(IntToStrZero(-5, 4), "00-5"); // zeros go before the sign
    EXPECT_EQ(IntToStrZero(0, 0), "0");
    EXPECT_EQ(IntToStrSpace(7, 3), "  7");
    EXPECT_EQ(IntToStrSpace(-12, 2), "-12");
}

TEST(Veltutil, XmlEscapeReplacesEachCharacterOnce) {
    EXPECT_EQ(XmlEscape("a&b<c>d", true), "a&amp;b&lt;c&gt;d");
    EXPECT_EQ(XmlEscape("&amp;", true), "&amp;amp;");
    EXPECT_EQ(XmlEscape("a&b<c>", false), "a&b<c>");
}

TEST(Veltutil, BitIsSetUsesTheLowFiveBitsOfTheBitNumber) {
    EXPECT_TRUE(BitIsSet(0x0800, 11));
    EXPECT_TRUE(BitIsSet(0x0800, 43));
    EXPECT_FALSE(BitIsSet(0x0800, 10));
    EXPECT_TRUE(BitIsSet(INT32_MIN, 31));
    EXPECT_FALSE(BitIsSet(0x7FFFFFFF, 31));
}

TEST(Veltutil, ComboIndexOfIgnoresCase) {
    QComboBox combo;
    combo.addItems({"16 kB", "(Default)", "Größe"});
    EXPECT_EQ(ComboIndexOf(combo, "(DEFAULT)", -1), 1);
    EXPECT_EQ(ComboIndexOf(combo, "GRÖSSE", -1), -1);
    EXPECT_EQ(ComboIndexOf(combo, "größe", -1), 2);
    EXPECT_EQ(ComboIndexOf(combo, "none", 7), 7);
    EXPECT_EQ(ComboIndexOf(std::vector<std::string>{"a", "B"}, "b", 0), 1);
}

TEST(Veltutil, AppFolderName) {
    EXPECT_EQ(GetAppFolderName("/opt/Decoder/orvane"), "Decoder");
    EXPECT_EQ(GetAppFolderName("/orvane.bin"), "orvane_bin"); // in the root folder
    EXPECT_EQ(GetAppFolderName("/a.b.c"), "a_b_c");
    EXPECT_EQ(GetAppFolderName("/opt/Decoder//orvane"), "orvane");
}

namespace {

// Sets an environment variable for one scope.
struct EnvVar {
    std::string name, old;
    bool had;
    EnvVar(const char* n, const char* value) : name(n) {
        const char* o = std::getenv(n);
        had = o != nullptr;
        if (had) old = o;
        if (value) setenv(n, value, 1);
        else unsetenv(n);
    }
    ~EnvVar() {
        if (had) setenv(name.c_str(), old.c_str(), 1);
        else unsetenv(name.c_str());
    }
};

} // namespace

TEST(Veltutil, DataFolderIsCreatedWithItsParentsWithoutChangingTheCurrentFolder) {
    QTemporaryDir tmp;
    const std::string base = tmp.path().toStdString() + "/deep/er/share";
    EnvVar data("XDG_DATA_HOME", base.c_str());
    const auto cwd = std::filesystem::current_path();
    const std::string folder = GetDataFolder(false, true, "/opt/Decoder/orvane");
    EXPECT_EQ(folder, base + "/Decoder/");
    EXPECT_TRUE(std::filesystem::is_directory(folder));
    EXPECT_EQ(std::filesystem::current_path(), cwd);
    // Without create nothing is made.
    EnvVar data2("XDG_DATA_HOME", (tmp.path().toStdString() + "/other").c_str());
    EXPECT_FALSE(std::filesystem::exists(GetDataFolder(false, false, "/opt/Decoder/orvane")));
}

TEST(Veltutil, DataFolderFallsBackToHomeThenToTheProgramFolder) {
    EnvVar data("XDG_DATA_HOME", nullptr);
    {
        EnvVar home("HOME", "/home/dx");
        EXPECT_EQ(GetDataFolder(false, false, "/opt/orvane/orvane"), "/home/dx/.local/share/orvane/");
    }
    EnvVar home("HOME", nullptr);
    EXPECT_EQ(GetDataFolder(false, true, "/opt/orvane/orvane"), "/opt/orvane/");
}

TEST(Veltutil, DocumentsFolderEndsWithASeparator) {
    const std::string docs = GetDocumentsFolder("/opt/orvane/orvane");
    ASSERT_FALSE(docs.empty());
    EXPECT_EQ(docs.back(), '/');
    EXPECT_EQ(GetWindowsFolder(), "/");
}
