#include "IniFile.h"
#include "TestFiles.h"
#include "Workspace.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <sstream>
#include <sys/stat.h>

using namespace orvane;
using namespace orvane::test;

namespace {

struct WorkspaceTest : ::testing::Test {
    QTemporaryDir dir;
    std::string File() const { return dir.path().toStdString() + "/w.owk"; }
    WorkspaceState Defaults() const { return Workspace::Defaults("/docs/", "/prog/"); }
    WorkspaceState ReadBack(const std::string& text, const std::vector<std::string>& devices = {}) const {
        WriteFileBytes(File(), text);
        return Workspace::Read(File(), Defaults(), devices);
    }
    // The key names of a section in file order.
    std::vector<std::string> Keys(const std::string& section) const { return TIniFile(File()).ReadSection(section); }
};

const std::vector<std::string> kGeneralOrder = {
    "Top", "Left", "SrcNum", "Edge", "RDSEnc", "Threshold1", "Threshold2", "Invert", "AudioInDevice",
    "AudioInDeviceName", "Port", "COMPort1", "COMPort2", "ConnectionType", "DeviceType", "Host", "PlaybackSpeed",
    "TuneTo", "RecDialogFilterIndex", "PlayDialogFilterIndex", "PlayDialogDir", "RecDialogDir", "ReportDir",
    "StreamHost", "StreamPort", "AutoSave", "PIReset", "TimeoutReset", "BadAsCorrect", "PIStop", "StartNew",
    "ShowTotal", "SocketSync", "FileTypeOrv", "FileTypeSmp", "TimeoutStop", "AddDateTime", "TimeMachine",
    "ConfirmFrequency", "AutosaveReports", "SignalTimeout", "DefaultFilename", "ReportFilename", "ReportTemplate",
    "TemplateDialogDir", "Name", "Location", "Notes"};

} // namespace

TEST_F(WorkspaceTest, AMissingFileGivesEveryDefault) {
    const WorkspaceState s = Workspace::Read(File(), Defaults(), {});
    EXPECT_EQ(s.top, 20);
    EXPECT_EQ(s.left, 20);
    EXPECT_TRUE(s.visible);
    EXPECT_EQ(s.source.srcNum, 3);
    EXPECT_FLOAT_EQ(s.source.threshold1, 1.65f);
    EXPECT_FLOAT_EQ(s.source.threshold2, 0.70f);
    EXPECT_EQ(s.source.host, "localhost");
    EXPECT_EQ(s.source.port, "23");
    EXPECT_EQ(s.source.comPort1, 1);
    EXPECT_EQ(s.source.comPort2, 1);
    EXPECT_EQ(s.source.audioInDevice, 0);
    EXPECT_EQ(s.tuneTo, -1);
    EXPECT_EQ(s.playDialogDir, "/docs/");
    EXPECT_EQ(s.reportDir, "/docs/");
    EXPECT_EQ(s.streamPort, "23");
    EXPECT_TRUE(s.options.autoSave && s.options.piReset && s.options.piStop && s.options.showTotal);
    EXPECT_FALSE(s.options.timeoutReset || s.options.timeoutStop || s.options.fileTypeOrv);
    EXPECT_EQ(s.options.signalTimeout, 30);
    EXPECT_EQ(s.options.defaultFilename, "/docs/%pi - %date %time.orv");
    EXPECT_EQ(s.options.reportFilename, "/docs/%date %time %pi %ps.txt");
    EXPECT_EQ(s.options.reportTemplate, "orvane.otp");
    EXPECT_EQ(s.options.templateDialogDir, "/prog/");
    for (bool g : s.options.recordGroups) EXPECT_TRUE(g);
}

TEST_F(WorkspaceTest, WritesEveryKeyInTheLoadersOrderAndKeepsOtherSections) {
    WriteFileBytes(File(), "[kelmira]\nTop=99\n");
    WorkspaceState s = Defaults();
    Workspace::Write(File(), s, false, {});
    EXPECT_EQ(Keys("General"), kGeneralOrder);
    std::vector<std::string> groups;
    for (int n = 0; n <= 32; ++n) groups.push_back("GroupIndex" + std::to_string(n));
    EXPECT_EQ(Keys("Record"), groups);
    EXPECT_EQ(TIniFile(File()).ReadString("kelmira", "Top", ""), "99");
    // "Visible" is read, never written.
    EXPECT_FALSE(TIniFile(File()).ValueExists("General", "Visible"));
}

TEST_F(WorkspaceTest, ThresholdsAreWrittenInHundredths) {
    WorkspaceState s = Defaults();
    Workspace::Write(File(), s, false, {});
    const TIniFile ini(File());
    EXPECT_EQ(ini.ReadString("General", "Threshold1", ""), "165");
    EXPECT_EQ(ini.ReadString("General", "Threshold2", ""), "70");
    s.source.threshold1 = 1.07f;
    s.source.threshold2 = 0.29f;
    Workspace::Write(File(), s, false, {});
    EXPECT_EQ(TIniFile(File()).ReadString("General", "Threshold1", ""), "107");
    EXPECT_EQ(TIniFile(File()).ReadString("General", "Threshold2", ""), "29");
}

TEST_F(WorkspaceTest, EveryValueSurvivesAWriteAndARead) {
    WorkspaceState s = Defaults();
    s.top = 111;
    s.left = 222;
    s.source = {1, true, false, true, 1, "hw:1", 1.2f, 0.3f, "radio.example", "7000", 12, 200, 1, 1};
    s.playbackSpeed = -2;
    s.tuneTo = 205;
    s.playDialogFilterIndex = 4;
    s.recDialogFilterIndex = 2;
    s.playDialogDir = "/play/";
    s.recDialogDir = "/rec/";
    s.reportDir = "/rep/";
    s.streamHost = "stream.example";
    s.streamPort = "8000";
    OptionSettings& o = s.options;
    o.autoSave = o.piReset = o.piStop = o.showTotal = o.socketSync = o.addDateTime = o.timeMachine = false;
    o.timeoutReset = o.badAsCorrect = o.fileTypeOrv = o.fileTypeSmp = o.timeoutStop = o.confirmFrequency =
        o.autosaveReports = true;
    o.startNew = 1;
    o.signalTimeout = 3600;
    o.defaultFilename = "/r/%pi.orv";
    o.reportFilename = "/r/%ps.txt";
    o.reportTemplate = "/t/mine.otp";
    o.templateDialogDir = "/t/";
    o.name = "Ünal";
    o.location = "Köln";
    o.notes = "roof antenna";
    o.recordGroups.fill(false);
    o.recordGroups[0] = o.recordGroups[32] = true;
    Workspace::Write(File(), s, false, {"default", "hw:1"});

    const WorkspaceState r = Workspace::Read(File(), Defaults(), {"default", "hw:1"});
    EXPECT_EQ(r.top, 111);
    EXPECT_EQ(r.left, 222);
    EXPECT_EQ(r.source.srcNum, 1);
    EXPECT_TRUE(r.source.edge);
    EXPECT_FALSE(r.source.rdsEnc);
    EXPECT_TRUE(r.source.invert);
    EXPECT_EQ(r.source.audioInDevice, 1);
    EXPECT_FLOAT_EQ(r.source.threshold1, 1.2f);
    EXPECT_FLOAT_EQ(r.source.threshold2, 0.3f);
    EXPECT_EQ(r.source.host, "radio.example");
    EXPECT_EQ(r.source.port, "7000");
    EXPECT_EQ(r.source.comPort1, 12);
    EXPECT_EQ(r.source.comPort2, 200);
    EXPECT_EQ(r.source.connectionType, 1);
    EXPECT_EQ(r.source.deviceType, 1);
    EXPECT_EQ(r.playbackSpeed, -2);
    EXPECT_EQ(r.tuneTo, 205);
    EXPECT_EQ(r.playDialogFilterIndex, 4);
    EXPECT_EQ(r.recDialogFilterIndex, 2);
    EXPECT_EQ(r.playDialogDir, "/play/");
    EXPECT_EQ(r.recDialogDir, "/rec/");
    EXPECT_EQ(r.reportDir, "/rep/");
    EXPECT_EQ(r.streamHost, "stream.example");
    EXPECT_EQ(r.streamPort, "8000");
    const OptionSettings& q = r.options;
    EXPECT_FALSE(q.autoSave || q.piReset || q.piStop || q.showTotal || q.socketSync || q.addDateTime ||
                 q.timeMachine);
    EXPECT_TRUE(q.timeoutReset && q.badAsCorrect && q.fileTypeOrv && q.fileTypeSmp && q.timeoutStop &&
                q.confirmFrequency && q.autosaveReports);
    EXPECT_EQ(q.startNew, 1);
    EXPECT_EQ(q.signalTimeout, 3600);
    EXPECT_EQ(q.defaultFilename, "/r/%pi.orv");
    EXPECT_EQ(q.reportFilename, "/r/%ps.txt");
    EXPECT_EQ(q.reportTemplate, "/t/mine.otp");
    EXPECT_EQ(q.templateDialogDir, "/t/");
    EXPECT_EQ(q.name, "Ünal");
    EXPECT_EQ(q.location, "Köln");
    EXPECT_EQ(q.notes, "roof antenna");
    EXPECT_EQ(q.recordGroups, o.recordGroups);
}

TEST_F(WorkspaceTest, TheDeviceNameWinsOverTheStoredIndexIgnoringCase) {
    const std::vector<std::string> devices = {"default", "USB Audio", "hw:2"};
    WorkspaceState s = Defaults();
    s.source.audioInDevice = 1;
    Workspace::Write(File(), s, false, devices);
    EXPECT_EQ(TIniFile(File()).ReadString("General", "AudioInDeviceName", ""), "USB Audio");
    // The card moved to another place in the list: the name finds it.
    EXPECT_EQ(ReadBack("[General]\nAudioInDevice=1\nAudioInDeviceName=usb audio\n", {"default", "hw:2", "USB Audio"})
                  .source.audioInDevice,
              2);
    // A name that is gone leaves the stored index.
    EXPECT_EQ(ReadBack("[General]\nAudioInDevice=1\nAudioInDeviceName=Gone\n", devices).source.audioInDevice, 1);
    s.source.audioInDevice = -1;
    Workspace::Write(File(), s, false, devices);
    EXPECT_EQ(TIniFile(File()).ReadString("General", "AudioInDeviceName", ""), "(Default)");
    // Without a device list the stored index and name go back unchanged.
    const WorkspaceState unlisted = ReadBack("[General]\nAudioInDevice=4\nAudioInDeviceName=USB Audio\n");
    EXPECT_EQ(unlisted.source.audioInDevice, 4);
    Workspace::Write(File(), unlisted, false, {});
    EXPECT_EQ(TIniFile(File()).ReadString("General", "AudioInDevice", ""), "4");
    EXPECT_EQ(TIniFile(File()).ReadString("General", "AudioInDeviceName", ""), "USB Audio");
}

TEST_F(WorkspaceTest, AHostileWorkspaceIsClampedToEveryControlsRange) {
    // Each key with values below, above and beside its range, and what it loads as.
    struct Row {
        std::string key, value;
        int expected;
        int WorkspaceState::*field;
        int SourceSettings::*sourceField;
        int OptionSettings::*optionField;
    };
    const std::vector<Row> rows = {
        {"SrcNum", "-1", 0, nullptr, &SourceSettings::srcNum, nullptr},
        {"SrcNum", "4", 3, nullptr, &SourceSettings::srcNum, nullptr},
        {"SrcNum", "two", 3, nullptr, &SourceSettings::srcNum, nullptr},
        {"COMPort1", "0", 1, nullptr, &SourceSettings::comPort1, nullptr},
        {"COMPort1", "256", 255, nullptr, &SourceSettings::comPort1, nullptr},
        {"COMPort2", "-99999", 1, nullptr, &SourceSettings::comPort2, nullptr},
        {"COMPort2", "257", 256, nullptr, &SourceSettings::comPort2, nullptr},
        {"ConnectionType", "2", 1, nullptr, &SourceSettings::connectionType, nullptr},
        {"ConnectionType", "-1", 0, nullptr, &SourceSettings::connectionType, nullptr},
        {"DeviceType", "7", 1, nullptr, &SourceSettings::deviceType, nullptr},
        {"AudioInDevice", "-7", -1, nullptr, &SourceSettings::audioInDevice, nullptr},
        {"AudioInDevice", "5", 1, nullptr, &SourceSettings::audioInDevice, nullptr},
        {"PlaybackSpeed", "-4", -3, &WorkspaceState::playbackSpeed, nullptr, nullptr},
        {"PlaybackSpeed", "3", 2, &WorkspaceState::playbackSpeed, nullptr, nullptr},
        {"TuneTo", "-2", -1, &WorkspaceState::tuneTo, nullptr, nullptr},
        {"TuneTo", "206", 205, &WorkspaceState::tuneTo, nullptr, nullptr},
        {"TuneTo", "2147483647", 205, &WorkspaceState::tuneTo, nullptr, nullptr},
        {"PlayDialogFilterIndex", "0", 1, &WorkspaceState::playDialogFilterIndex, nullptr, nullptr},
        {"PlayDialogFilterIndex", "9", 4, &WorkspaceState::playDialogFilterIndex, nullptr, nullptr},
        {"RecDialogFilterIndex", "3", 2, &WorkspaceState::recDialogFilterIndex, nullptr, nullptr},
        {"SignalTimeout", "0", 3, nullptr, nullptr, &OptionSettings::signalTimeout},
        {"SignalTimeout", "-30", 3, nullptr, nullptr, &OptionSettings::signalTimeout},
        {"SignalTimeout", "3601", 3600, nullptr, nullptr, &OptionSettings::signalTimeout},
        {"SignalTimeout", "30s", 30, nullptr, nullptr, &OptionSettings::signalTimeout},
        {"StartNew", "2", 1, nullptr, nullptr, &OptionSettings::startNew},
        {"StartNew", "-1", 0, nullptr, nullptr, &OptionSettings::startNew},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.key + "=" + row.value);
        const WorkspaceState s = ReadBack("[General]\n" + row.key + "=" + row.value + "\n", {"default", "hw:1"});
        const int got = row.field ? s.*row.field : row.sourceField ? s.source.*row.sourceField
                                                                   : s.options.*row.optionField;
        EXPECT_EQ(got, row.expected);
    }
    // Thresholds as their spin edits allow: 100..200 and 0..100.
    for (const auto& [t1, t2, e1, e2] : std::vector<std::tuple<std::string, std::string, float, float>>{
             {"99", "-1", 1.0f, 0.0f}, {"201", "101", 2.0f, 1.0f}, {"x", "", 1.65f, 0.70f}}) {
        const WorkspaceState s = ReadBack("[General]\nThreshold1=" + t1 + "\nThreshold2=" + t2 + "\n");
        EXPECT_FLOAT_EQ(s.source.threshold1, e1) << t1;
        EXPECT_FLOAT_EQ(s.source.threshold2, e2) << t2;
    }
    // Texts are cut to what their edits hold.
    const WorkspaceState s = ReadBack("[General]\nPort=123456789\nName=" + std::string(30, 'n') +
                                      "\nNotes=" + std::string(70, 'o') + "\nHost=" + std::string(5000, 'h') + "\n");
    EXPECT_EQ(s.source.port, "12345");
    EXPECT_EQ(s.options.name, std::string(20, 'n'));
    EXPECT_EQ(s.options.notes, std::string(64, 'o'));
    EXPECT_EQ(s.source.host.size(), 4095u);
}

TEST_F(WorkspaceTest, NumbersFlagsHostsAndPortsIgnoreBlanksAroundThemAndFreeTextsKeepThem) {
    const WorkspaceState s = ReadBack("[General]\n"
                                      "SignalTimeout= 47\n"
                                      "SrcNum =\t1\t\n"
                                      "Invert=1 \n"
                                      "AutoSave = 0\n"
                                      "Host=  radio.example \n"
                                      "Port=\t4000 \n"
                                      "StreamHost = stream.example\n"
                                      "StreamPort = 8023\t\n"
                                      "Name= Ann \n"
                                      "Location= on the hill\n"
                                      "Notes=  two blanks \n"
                                      "[Record]\n"
                                      "GroupIndex3 = 0 \n");
    EXPECT_EQ(s.options.signalTimeout, 47);
    EXPECT_EQ(s.source.srcNum, 1);
    EXPECT_TRUE(s.source.invert);
    EXPECT_FALSE(s.options.autoSave);
    EXPECT_FALSE(s.options.recordGroups[3]);
    EXPECT_EQ(s.source.host, "radio.example");
    EXPECT_EQ(s.source.port, "4000");
    EXPECT_EQ(TcpPortNumber(s.source.port), 4000);
    EXPECT_EQ(s.streamHost, "stream.example");
    EXPECT_EQ(s.streamPort, "8023");
    EXPECT_EQ(s.options.name, " Ann ");
    EXPECT_EQ(s.options.location, " on the hill");
    EXPECT_EQ(s.options.notes, "  two blanks ");
    // A host of blanks alone is no host.
    EXPECT_EQ(ReadBack("[General]\nStreamHost= \t\n").streamHost, "");
}

TEST_F(WorkspaceTest, TheStoredSourceStaysWhileTheCommandLineOverridesIt) {
    WriteFileBytes(File(), "[General]\nSrcNum=1\nHost=stored.example\nPort=99\nConnectionType=0\nDeviceType=1\n");
    WorkspaceState s = Defaults();
    s.source.srcNum = 2;
    s.source.host = "OVERRIDE";
    s.source.port = "4000";
    s.source.connectionType = 1;
    s.source.deviceType = 0;
    s.source.comPort1 = 7;
    Workspace::Write(File(), s, true, {});
    const WorkspaceState r = Workspace::Read(File(), Defaults(), {});
    EXPECT_EQ(r.source.srcNum, 1);
    EXPECT_EQ(r.source.host, "stored.example");
    EXPECT_EQ(r.source.port, "99");
    EXPECT_EQ(r.source.connectionType, 0);
    EXPECT_EQ(r.source.deviceType, 1);
    EXPECT_EQ(r.source.comPort1, 7); // everything else is saved as usual
}

TEST_F(WorkspaceTest, AWriteProtectedWorkspaceIsLeftAlone) {
    const std::string old = "[General]\nTop=5\n";
    WriteFileBytes(File(), old);
    ASSERT_EQ(::chmod(File().c_str(), 0444), 0);
    EXPECT_THROW(Workspace::Write(File(), Defaults(), false, {}), EIniFileError);
    EXPECT_EQ(ReadFileBytes(File()), old);
    ::chmod(File().c_str(), 0644);
    EXPECT_THROW(Workspace::Write(dir.path().toStdString() + "/no/such/folder/w.owk", Defaults(), false, {}),
                 EIniFileError);
}

TEST(SourceSwitch, TakesHostAndPortFromTheLastUsableSwitch) {
    struct Case {
        std::vector<std::string> args;
        std::optional<std::pair<std::string, std::string>> expected;
    };
    const std::vector<Case> cases = {
        {{}, std::nullopt},
        {{"-C:SOC:host:4000"}, std::pair<std::string, std::string>{"HOST", "4000"}},
        {{"/c:soc:\"my.host\":23"}, std::pair<std::string, std::string>{"MY.HOST", "23"}},
        {{"-C:SOC:nocolon"}, std::nullopt},
        {{"-C:SOC:a:1", "-C:SOC:b:2"}, std::pair<std::string, std::string>{"B", "2"}},
        {{"-C:SOC:a:1", "-C:SOC:skipped"}, std::pair<std::string, std::string>{"A", "1"}},
        {{"-C:SOC:h:p:q"}, std::pair<std::string, std::string>{"H", "P:Q"}},
        {{"C:SOC:h:1", "-WS:x"}, std::nullopt},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? "" : c.args.front());
        const auto found = FindSourceSwitch(c.args);
        ASSERT_EQ(found.has_value(), c.expected.has_value());
        if (found) {
            EXPECT_EQ(found->host, c.expected->first);
            EXPECT_EQ(found->port, c.expected->second);
        }
    }
}

TEST(TcpPort, AnythingButADecimalInRangeIs23) {
    for (const auto& [text, port] : std::vector<std::pair<std::string, int>>{
             {"4000", 4000}, {"1", 1}, {"65535", 65535}, {"0", 23}, {"65536", 23}, {"99999", 23}, {"abc", 23},
             {"", 23}, {"-1", 23}, {" 80", 23}, {"80x", 23}, {"00080", 80}, {"123456", 23}})
        EXPECT_EQ(TcpPortNumber(text), port) << text;
}

TEST(PreBuffer, EntriesAreCountedInIntegers) {
    for (const auto& [seconds, entries] :
         std::vector<std::pair<int, int>>{{1, 12}, {10, 115}, {25, 286}, {50, 572}, {60, 686}})
        EXPECT_EQ(PreBufferEntries(seconds), entries) << seconds;
}

