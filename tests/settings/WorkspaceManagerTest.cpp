#include "IniFile.h"
#include "TestFiles.h"
#include "WorkspaceManager.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

// The main window as the settings see it: controls kept in plain fields.
struct FakeSettingsHost : ISettingsHost {
    ConfigSettings config;
    WorkspaceState workspace;
    std::vector<std::string> devices;
    QRect area{0, 0, 1920, 1080};
    std::vector<std::string> messages;
    int workspaceLoads = 0;

    ConfigSettings ConfigControls() const override { return config; }
    void SetConfigControls(const ConfigSettings& s) override { config = s; }
    WorkspaceState WorkspaceControls() const override { return workspace; }
    void SetWorkspaceControls(const WorkspaceState& s) override {
        workspace = s;
        ++workspaceLoads;
    }
    std::vector<std::string> AudioDevices() const override { return devices; }
    void WindowAndScreenArea(QSize& frame, QRect& screenArea) const override {
        frame = QSize(460, 240);
        screenArea = area;
    }
    void Show(const std::string& message) override { messages.push_back(message); }
    std::vector<std::string> boxes; // message boxes
    void Message(const std::string& text) override { boxes.push_back(text); }
};

struct WorkspaceManagerTest : ::testing::Test {
    QTemporaryDir dir;
    FakeSettingsHost host;
    void SetUp() override { QDir().mkpath(QString::fromStdString(Data())); }
    std::string Data() const { return dir.path().toStdString() + "/data/"; }
    WorkspaceManager Make(std::vector<std::string> args = {}) {
        return WorkspaceManager(host, Data(), "/docs/", "/prog/", std::move(args));
    }
};

} // namespace

TEST_F(WorkspaceManagerTest, TheSettingsFileNamesTheWorkspaceAndTheSwitchOverridesIt) {
    WriteFileBytes(Data() + "orvane.ini", "[General]\nWorkspaceFile=/stored.owk\nFlatLCD=1\n");
    WorkspaceManager plain = Make();
    plain.LoadConfig();
    EXPECT_EQ(plain.WorkspaceFile(), "/stored.owk");
    EXPECT_TRUE(host.config.flatLCD);
    EXPECT_EQ(plain.Caption(), "Orvane - stored.owk");

    WorkspaceManager switched = Make({"-ws:studio.owk"});
    switched.LoadConfig();
    EXPECT_EQ(switched.WorkspaceFile(), Data() + "studio.owk");
    // The switch's workspace is the one the settings file names from now on.
    ASSERT_TRUE(switched.SaveConfig());
    EXPECT_EQ(TIniFile(Data() + "orvane.ini").ReadString("General", "WorkspaceFile", ""), Data() + "studio.owk");
    switched.SetWorkspaceFile("");
    EXPECT_EQ(switched.Caption(), "Orvane");
}

TEST_F(WorkspaceManagerTest, AtStartAFileOfOtherDataGivesWayToTheNextWorkspaceInLine) {
    const std::string take = Data() + "take.orv";
    const std::string recording = "<recorder=\"Orvane\">\r\nC201 0140 E0CD 4F52\r\n";
    const std::string studio = Data() + "studio.owk", fallback = Data() + "default.owk";
    auto refused = [](const std::string& file) {
        return "\"" + file + "\" is not a workspace file and is left as it is.";
    };
    const struct {
        const char* what;
        std::string stored;
        std::vector<std::string> args;
        bool defaultIsOther;
        std::string expected;
        std::vector<std::string> boxes;
    } cases[] = {
        {"the switch's file: the stored workspace", studio, {"-WS:" + take}, false, studio, {refused(take)}},
        {"the stored file: the default workspace", take, {}, false, fallback, {refused(take)}},
        {"both name it: said once", take, {"-WS:" + take}, false, fallback, {refused(take)}},
        {"the default too: none", take, {}, true, "", {refused(take), refused(fallback)}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        WriteFileBytes(take, recording);
        WriteFileBytes(studio, "[General]\nTop=5\n");
        WriteFileBytes(fallback, c.defaultIsOther ? recording : "");
        WriteFileBytes(Data() + "orvane.ini", "[General]\nWorkspaceFile=" + c.stored + "\n");
        host.boxes.clear();
        WorkspaceManager m = Make(c.args);
        EXPECT_EQ(m.LoadConfig().workspaceFile, c.expected);
        EXPECT_EQ(m.WorkspaceFile(), c.expected);
        EXPECT_EQ(host.boxes, c.boxes);
        m.LoadWorkspace();
        m.SaveWorkspace();
        m.SaveConfig();
        EXPECT_EQ(ReadFileBytes(take), recording);
        if (c.defaultIsOther) {
            EXPECT_EQ(ReadFileBytes(fallback), recording);
        }
    }
}

TEST_F(WorkspaceManagerTest, AStoredPositionBeyondTheScreenIsBroughtBack) {
    WriteFileBytes(Data() + "default.owk", "[General]\nLeft=5000\nTop=-40\n");
    WorkspaceManager m = Make();
    m.LoadWorkspace();
    EXPECT_EQ(host.workspace.left, 1920 - 460);
    EXPECT_EQ(host.workspace.top, 0);

    // Panels at the top and the left: the area they leave starts at 60,40.
    WriteFileBytes(Data() + "default.owk", "[General]\nLeft=0\nTop=0\n");
    host.area = QRect(60, 40, 1860, 1040);
    m.LoadWorkspace();
    EXPECT_EQ(host.workspace.left, 60);
    EXPECT_EQ(host.workspace.top, 40);
}

TEST_F(WorkspaceManagerTest, TheSourceSwitchAppliesOnceAndIsNeverSaved) {
    WriteFileBytes(Data() + "default.owk", "[General]\nSrcNum=0\nCOMPort1=4\nHost=stored\nPort=99\n");
    WorkspaceManager m = Make({"-C:SOC:host:4000"});
    m.LoadWorkspace();
    EXPECT_EQ(host.workspace.source.srcNum, 2);
    EXPECT_EQ(host.workspace.source.connectionType, 1);
    EXPECT_EQ(host.workspace.source.host, "HOST");
    EXPECT_EQ(host.workspace.source.port, "4000");
    EXPECT_EQ(host.workspace.source.comPort1, 4);
    EXPECT_TRUE(m.SourceOverride());

    ASSERT_TRUE(m.SaveWorkspace());
    const TIniFile saved(Data() + "default.owk");
    EXPECT_EQ(saved.ReadString("General", "SrcNum", ""), "0");
    EXPECT_EQ(saved.ReadString("General", "Host", ""), "stored");
    EXPECT_EQ(saved.ReadString("General", "Port", ""), "99");

    // A second load, of this or another workspace, leaves the switch out.
    m.LoadWorkspace();
    EXPECT_EQ(host.workspace.source.srcNum, 0);
    EXPECT_EQ(host.workspace.source.host, "stored");

    // Once the override is cleared, an explicit choice is saved.
    m.ClearSourceOverride();
    host.workspace.source.srcNum = 1;
    ASSERT_TRUE(m.SaveWorkspace());
    EXPECT_EQ(TIniFile(Data() + "default.owk").ReadString("General", "SrcNum", ""), "1");
}

TEST_F(WorkspaceManagerTest, ASaveThatFailsSaysSoAndKeepsTheOldFile) {
    WorkspaceManager m = Make();
    const std::string settings = Data() + "orvane.ini";
    const std::string old = "[General]\nOnTop=1\n";
    WriteFileBytes(settings, old);
    ASSERT_EQ(::chmod(settings.c_str(), 0444), 0);
    host.config.onTop = false;
    EXPECT_FALSE(m.SaveConfig());
    EXPECT_EQ(host.messages, std::vector<std::string>{"Can't write to the file, please remove write protection!"});
    EXPECT_EQ(ReadFileBytes(settings), old);
    ::chmod(settings.c_str(), 0644);

    host.messages.clear();
    m.SetWorkspaceFile(Data() + "missing/folder/w.owk");
    EXPECT_FALSE(m.SaveWorkspace());
    EXPECT_EQ(host.messages, std::vector<std::string>{"Can't write to the file, please remove write protection!"});

    // The workspace in force was replaced by other data while it was open.
    host.messages.clear();
    const std::string replaced = "C201 0140 E0CD 4F52\r\n";
    WriteFileBytes(Data() + "open.owk", replaced);
    m.SetWorkspaceFile(Data() + "open.owk");
    EXPECT_FALSE(m.SaveWorkspace());
    EXPECT_EQ(host.messages, std::vector<std::string>{"\"" + Data() +
                                                      "open.owk\" is no longer a workspace file and is left as it is."});
    EXPECT_EQ(ReadFileBytes(Data() + "open.owk"), replaced);
    EXPECT_TRUE(host.boxes.empty());
}
