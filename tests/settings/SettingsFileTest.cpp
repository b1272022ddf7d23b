#include "IniFile.h"
#include "SettingsFile.h"
#include "TestFiles.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

struct SettingsFileTest : ::testing::Test {
    QTemporaryDir dir;
    std::string Folder() const { return dir.path().toStdString() + "/data/"; }
};

} // namespace

TEST_F(SettingsFileTest, NoFileGivesEveryDefault) {
    const ConfigSettings s = SettingsFile(Folder()).Load(Folder() + "default.owk");
    EXPECT_EQ(s.workspaceFile, Folder() + "default.owk");
    EXPECT_FALSE(s.highPriority);
    EXPECT_FALSE(s.onTop);
    EXPECT_FALSE(s.superPI);
    EXPECT_FALSE(s.flatLCD);
    EXPECT_TRUE(s.force441);
    EXPECT_EQ(s.bufferLength, 10);
    EXPECT_EQ(s.soundCardBuffer, 1);
    EXPECT_FALSE(SettingsFile(Folder()).Exists());
}

TEST_F(SettingsFileTest, SavesEveryKeyInOrderIntoANewFolderAndReadsThemBack) {
    ConfigSettings s;
    s.workspaceFile = "/somewhere/my work.owk";
    s.highPriority = s.onTop = s.superPI = s.flatLCD = true;
    s.force441 = false;
    s.bufferLength = 50;
    s.soundCardBuffer = 3;
    const SettingsFile file(Folder());
    file.Save(s);
    EXPECT_EQ(ReadFileBytes(file.Path()), "[General]\nWorkspaceFile=/somewhere/my work.owk\nHighPriority=1\nOnTop=1\n"
                                          "SuperPI=1\nFlatLCD=1\nForce441kHz=0\nBufferLength=50\nSoundCardBuffer=3\n");
    const ConfigSettings r = file.Load("unused");
    EXPECT_EQ(r.workspaceFile, s.workspaceFile);
    EXPECT_TRUE(r.highPriority && r.onTop && r.superPI && r.flatLCD);
    EXPECT_FALSE(r.force441);
    EXPECT_EQ(r.bufferLength, 50);
    EXPECT_EQ(r.soundCardBuffer, 3);
}

TEST_F(SettingsFileTest, HandEditedValuesAreClampedToTheControls) {
    struct Case {
        const char* buffer;
        const char* card;
        int bufferLength, soundCardBuffer;
    };
    for (const Case& c : {Case{"0", "-1", 1, 0}, Case{"-5", "4", 1, 3}, Case{"99999", "2147483647", 60, 3},
                          Case{"ten", "1e3", 10, 1}, Case{"99999999999999", "", 10, 1}, Case{"60", "0", 60, 0}}) {
        SCOPED_TRACE(c.buffer);
        QDir().mkpath(QString::fromStdString(Folder()));
        WriteFileBytes(Folder() + "orvane.ini", std::string("[General]\nBufferLength=") + c.buffer +
                                                    "\nSoundCardBuffer=" + c.card + "\n");
        const ConfigSettings s = SettingsFile(Folder()).Load("x");
        EXPECT_EQ(s.bufferLength, c.bufferLength);
        EXPECT_EQ(s.soundCardBuffer, c.soundCardBuffer);
    }
}

TEST_F(SettingsFileTest, AWriteProtectedFileIsNeitherReplacedNorChanged) {
    const SettingsFile file(Folder());
    QDir().mkpath(QString::fromStdString(Folder()));
    const std::string old = "[General]\nWorkspaceFile=/keep/this.owk\nOnTop=1\n";
    WriteFileBytes(file.Path(), old);
    ASSERT_EQ(::chmod(file.Path().c_str(), 0444), 0);
    ConfigSettings s;
    s.workspaceFile = "/other.owk";
    EXPECT_THROW(file.Save(s), EIniFileError);
    EXPECT_EQ(ReadFileBytes(file.Path()), old);
    ::chmod(file.Path().c_str(), 0644);
}

TEST(WorkspaceSwitch, PicksTheWorkspaceFromTheCommandLine) {
    QTemporaryDir dir;
    const std::string existing = dir.path().toStdString() + "/my work.owk";
    WriteFileBytes(existing, "");
    const std::string data = "/data/";
    struct Case {
        std::vector<std::string> args;
        std::string expected;
    };
    const std::vector<Case> cases = {
        {{}, "/data/default.owk"},
        {{"-WS:studio.owk"}, "/data/studio.owk"},
        {{"/ws:Studio.owk"}, "/data/Studio.owk"},       // any case; the name keeps its own
        {{"-Ws:\"" + existing + "\""}, existing},      // quotes around a path with blanks
        {{"\"-WS:" + existing + "\""}, existing},      // quotes anywhere are removed
        {{"-WS:"}, "/data/default.owk"},               // nothing after the switch
        {{"-WS:\"\""}, "/data/default.owk"},
        {{"-WS:/new/place/ws.owk"}, "/new/place/ws.owk"},   // a new file by its full path stays there
        {{"-WS:a.owk", "x.orv", "/WS:b.owk"}, "/data/b.owk"}, // a later switch wins
        {{"-WS:a.owk", "-WS:"}, "/data/a.owk"},
        {{"-W:a.owk", "WS:b.owk", "--WS:c.owk"}, "/data/default.owk"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "" : c.args.front());
        EXPECT_EQ(SettingsFile::WorkspaceSwitch(c.args, data, "/data/default.owk"), c.expected);
    }
}
