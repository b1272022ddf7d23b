// Which files become the workspace, through the real start-up and closing
// with the built group analyser, which saves its section through selvat into
// whatever workspace the host names.
#include "AppFakes.h"
#include "FileWrites.h"
#include "IniFile.h"
#include "OrvaneApp.h"
#include "RdsEncoder.h"
#include "SpinEdit.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "opt.h"

#include <QComboBox>
#include <QDir>
#include <QSpinBox>
#include <QLineEdit>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <memory>
#include <random>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

namespace {

// The ways a file can be named as the workspace.
enum class Road { OpenDialog, SaveAsDialog, Switch, Stored };

const char* RoadName(Road r) {
    switch (r) {
    case Road::OpenDialog: return "Open Workspace...";
    case Road::SaveAsDialog: return "Save Workspace As...";
    case Road::Switch: return "-WS:";
    case Road::Stored: return "WorkspaceFile of orvane.ini";
    }
    return "?";
}

constexpr Road kRoads[] = {Road::OpenDialog, Road::SaveAsDialog, Road::Switch, Road::Stored};

std::string Recording() {
    return "<recorder=\"Orvane\" date=\"2024-05-01\" time=\"13-05-09\" source=\"1\" name=\"Demo\">\r\n" +
           RecordingLines(StationGroups(0xC201, "ORVANE  ", 40), true, "\r\n");
}

// The sample format: a two-byte mark, then per group four blocks of word and
// check word, high byte first.
std::string SampleFile() {
    std::string bytes = "\xFF\x06";
    for (const Group& g : StationGroups(0xC201, "ORVANE  ", 40)) {
        const uint16_t words[4] = {g.a, g.b, g.c, g.d};
        const Offset offsets[4] = {Offset::A, Offset::B, IsVersionB(g.b) ? Offset::Cp : Offset::C, Offset::D};
        for (int k = 0; k < 4; ++k) {
            const auto check = static_cast<uint16_t>(EncodeBlock(words[k], offsets[k]) & 0x3FF);
            for (const uint16_t w : {words[k], check}) {
                bytes += static_cast<char>(w >> 8);
                bytes += static_cast<char>(w & 0xFF);
            }
        }
    }
    return bytes;
}

// Whether the bytes hold that line whole, whatever their line breaks.
bool HasLine(const std::string& bytes, const std::string& line) {
    for (size_t from = 0; from <= bytes.size();) {
        size_t end = bytes.find_first_of("\r\n", from);
        if (end == std::string::npos) end = bytes.size();
        if (bytes.compare(from, end - from, line) == 0) return true;
        from = end + 1;
    }
    return false;
}

std::string RandomBytes() {
    std::mt19937 rng(7);
    std::string bytes(3000, '\0');
    for (char& c : bytes) c = static_cast<char>(rng() & 0xFF);
    return bytes;
}

class WorkspaceEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(Folder() + "plugins");
        fs::copy_file(std::string(BUILT_PLUGIN_DIR) + "/kelmira.so", Folder() + "plugins/kelmira.so");
        fs::create_directories(Elsewhere());
        Clean();
    }
    void TearDown() override { program.reset(); }

    std::string Folder() const { return dir.path().toStdString() + "/orvane/"; }
    std::string Elsewhere() const { return dir.path().toStdString() + "/elsewhere/"; }
    static std::string Data() { return std::string(qgetenv("XDG_DATA_HOME")) + "/orvane/"; }
    void Clean() {
        QDir(QString::fromStdString(Data())).removeRecursively();
        QDir().mkpath(QString::fromStdString(Data()));
        modal = FakeModal{};
    }

    // The workspace in force before a file is named on the road: "studio.owk"
    // from the settings file, or for the settings file's own road the
    // default one. Each keeps its own signal time-out.
    std::string Before(Road road) const { return Data() + (road == Road::Stored ? "default.owk" : "studio.owk"); }
    static int BeforeTimeout(Road road) { return road == Road::Stored ? 40 : 45; }

    // Starts the program with file named as the workspace on that road, and
    // with the files of play on its command line.
    TForm1& StartWith(Road road, const std::string& file, std::vector<std::string> play = {}) {
        WriteFileBytes(Data() + "studio.owk", "[General]\nSignalTimeout=45\n");
        WriteFileBytes(Data() + "default.owk", "[General]\nSignalTimeout=40\n");
        WriteFileBytes(Data() + "orvane.ini",
                       "[General]\nWorkspaceFile=" + (road == Road::Stored ? file : Data() + "studio.owk") + "\n");
        if (road == Road::Switch) play.insert(play.begin(), "-WS:" + file);
        AppEnv env = system.Make(Folder() + "orvane", play);
        env.modal = &modal;
        env.clock = &time;
        env.timers = env.threadedTimers = &time;
        program = std::make_unique<OrvaneApp>(env);
        program->CreateWindows();
        TForm1& main = *program->Forms().form1;
        if (road == Road::OpenDialog) {
            modal.fileToOpen = file;
            main.OpenWorkspace1Click();
        } else if (road == Road::SaveAsDialog) {
            modal.fileToSave = file;
            main.SaveWorkspaceAs1Click();
        }
        return main;
    }
    int SignalTimeout() const { return program->Forms().dopt->SETMOUT->value(); }
    // Closes the program the ordinary way: the workspace is saved on exit.
    void Close() {
        program->Forms().form1->close();
        program.reset();
    }

    QTemporaryDir dir;
    SystemEnv system;
    FakeModal modal;
    FakeTime time;
    std::unique_ptr<OrvaneApp> program;
};

TEST_F(WorkspaceEndToEnd, AFileOfOtherDataIsRefusedAndNeverWritten) {
    const struct {
        const char* what;
        std::string name, bytes;
    } files[] = {
        {"a recording", "demo.orv", Recording()},
        {"a sample file", "take.smp", SampleFile()},
        {"random bytes named as a workspace", "noise.owk", RandomBytes()},
    };
    for (const Road road : kRoads) {
        for (const auto& f : files) {
            SCOPED_TRACE(std::string(RoadName(road)) + ", " + f.what);
            Clean();
            const std::string path = Elsewhere() + f.name;
            WriteFileBytes(path, f.bytes);
            TForm1& main = StartWith(road, path);
            EXPECT_EQ(modal.messages,
                      std::vector<std::string>{"\"" + path + "\" is not a workspace file and is left as it is."});
            EXPECT_EQ(main.WorkspaceFile(), Before(road));
            EXPECT_EQ(main.windowTitle().toStdString(), "Orvane - " + fs::path(Before(road)).filename().string());
            EXPECT_EQ(SignalTimeout(), BeforeTimeout(road));
            Close();
            EXPECT_TRUE(ReadFileBytes(path) == f.bytes) << "written into";
            // The host and the analyser saved into the workspace in force.
            const TIniFile saved(Before(road));
            EXPECT_EQ(saved.ReadInteger("General", "SignalTimeout", 0), BeforeTimeout(road));
            EXPECT_TRUE(saved.SectionExists("kelmira"));
            EXPECT_EQ(TIniFile(Data() + "orvane.ini").ReadString("General", "WorkspaceFile", ""), Before(road));
        }
    }
}

TEST_F(WorkspaceEndToEnd, AWorkspaceEditedByHandOpensAndKeepsItsSettingsAndItsOwnLines) {
    // Each file keeps a signal time-out of 47 s and an analyser font of 12
    // points, among the lines a person writes into an ini file by hand.
    const struct {
        const char* what;
        std::string text;
        std::vector<std::string> odd; // lines that must stay as they stand
    } files[] = {
        {"a note line in a section",
         "[General]\nsettings for the car radio\nSignalTimeout=47\n[kelmira]\nFontSize=12\n",
         {"settings for the car radio"}},
        {"a key above the first section", "Owner=Ann\n[General]\nSignalTimeout=47\n[kelmira]\nFontSize=12\n",
         {"Owner=Ann"}},
        {"comments after the headers",
         "[General] ; for the car\r\nSignalTimeout=47\r\n[kelmira] ; small screen\r\nFontSize=12\r\n",
         {"[General] ; for the car", "[kelmira] ; small screen"}},
        {"blanks around numbers", "[General]\nSignalTimeout= 47\n[kelmira]\nFontSize=12 \n", {}},
    };
    for (const Road road : kRoads) {
        for (const auto& f : files) {
            SCOPED_TRACE(std::string(RoadName(road)) + ", " + f.what);
            Clean();
            const std::string path = Elsewhere() + "car.owk";
            WriteFileBytes(path, f.text);
            TForm1& main = StartWith(road, path);
            EXPECT_TRUE(modal.messages.empty());
            EXPECT_EQ(main.WorkspaceFile(), path);
            EXPECT_EQ(main.windowTitle(), "Orvane - car.owk");
            // Save As writes the workspace in force into the file; the other
            // roads open the file's own settings.
            const bool opened = road != Road::SaveAsDialog;
            EXPECT_EQ(SignalTimeout(), opened ? 47 : BeforeTimeout(road));
            main.SaveWorkspace1Click();
            Close();
            const std::string saved = ReadFileBytes(path);
            for (const std::string& line : f.odd) EXPECT_NE(saved.find(line), std::string::npos) << line;
            const TIniFile ini(path);
            EXPECT_EQ(ini.ReadInteger("General", "SignalTimeout", 0), opened ? 47 : BeforeTimeout(road));
            // Written as the program writes a number, blanks and all gone.
            const std::string timeout = "SignalTimeout=" + std::to_string(opened ? 47 : BeforeTimeout(road));
            EXPECT_TRUE(HasLine(saved, timeout)) << saved;
            if (opened) {
                EXPECT_EQ(ini.ReadInteger("kelmira", "FontSize", 0), 12);
            }
            EXPECT_EQ(TIniFile(Data() + "orvane.ini").ReadString("General", "WorkspaceFile", ""), path);
        }
    }
}

TEST_F(WorkspaceEndToEnd, AnEmptyOrNewFileBecomesANewWorkspace) {
    for (const Road road : kRoads) {
        const std::initializer_list<const char*> starts{"", "; my workspace, to be filled\n\n# by Orvane\n", nullptr};
        for (const char* start : starts) {
            const bool exists = start != nullptr;
            // The open dialog picks existing files only.
            if (road == Road::OpenDialog && !exists) continue;
            SCOPED_TRACE(std::string(RoadName(road)) +
                         (!exists ? ", a new name" : *start ? ", comments alone" : ", an empty file"));
            Clean();
            const std::string path = Elsewhere() + "fresh.owk";
            fs::remove(path);
            if (exists) WriteFileBytes(path, start);
            TForm1& main = StartWith(road, path);
            EXPECT_TRUE(modal.messages.empty());
            EXPECT_EQ(main.WorkspaceFile(), path);
            EXPECT_EQ(main.windowTitle(), "Orvane - fresh.owk");
            Close();
            const TIniFile saved(path);
            EXPECT_TRUE(saved.SectionExists("General"));
            EXPECT_TRUE(saved.SectionExists("Record"));
            EXPECT_TRUE(saved.SectionExists("kelmira"));
            EXPECT_EQ(TIniFile(Data() + "orvane.ini").ReadString("General", "WorkspaceFile", ""), path);
        }
    }
}

// Every key the analyser saves, none of them at its default.
std::string AnalyserSection() {
    std::string s = "[kelmira]\nTop=30\nLeft=10\nVisible=1\nGroupContent1=3\nGroupContent2=5\nGroupContent3=7\n"
                    "GroupContent4=9\nFontSize=11\nFontStyle=0\nFontName=DejaVu Sans Mono\n";
    const char* const masks[] = {"0000????????????", "1???????????????", "-???????????????"};
    for (int m = 1; m <= 3; ++m)
        for (int b = 2; b <= 4; ++b)
            s += "Mask" + std::to_string(m) + std::to_string(b) + "=" + masks[(m + b) % 3] + "\n";
    for (int n = 0; n <= 32; ++n) s += "Color" + std::to_string(n) + "=" + std::to_string(n * 4099 + 7) + "\n";
    for (int n = 0; n <= 35; ++n) s += "ShowGroup" + std::to_string(n) + "=" + (n % 3 == 0 ? "1" : "0") + "\n";
    return s + "BackgroudColor=2\nMaxLines=5000\nLimit=0\nPage=2\n";
}

std::map<std::string, std::string> SectionValues(const std::string& file, const std::string& section) {
    const auto pairs = TIniFile(file).ReadSectionValues(section);
    return {pairs.begin(), pairs.end()};
}

// The keys whose values differ, "key: saved, expected"; empty when none do.
// The window's place is only looked for: it is moved to fit the screen.
std::vector<std::string> Differences(std::map<std::string, std::string> saved,
                                     std::map<std::string, std::string> expected) {
    std::vector<std::string> out;
    for (const char* key : {"Top", "Left"}) {
        if (!saved.contains(key)) out.push_back(std::string(key) + " missing");
        saved.erase(key);
        expected.erase(key);
    }
    for (const auto& [key, value] : expected) {
        const auto it = saved.find(key);
        if (it == saved.end() || it->second != value)
            out.push_back(key + ": " + (it == saved.end() ? "(missing)" : it->second) + ", " + value);
    }
    if (saved.size() != expected.size()) out.push_back(std::to_string(saved.size()) + " keys saved");
    return out;
}

TEST_F(WorkspaceEndToEnd, ASaveOrAnExitWritesTheWorkspaceAtMostTwiceAndKeepsEveryAnalyserValue) {
    const std::string path = Elsewhere() + "studio.owk";
    WriteFileBytes(path, "[General]\nSignalTimeout=47\n\n" + AnalyserSection());
    const auto stored = SectionValues(path, "kelmira");
    ASSERT_EQ(stored.size(), 92u);
    TForm1& main = StartWith(Road::Stored, path);
    ASSERT_EQ(main.WorkspaceFile(), path);

    FileWrites writes(path);
    main.SaveWorkspace1Click();
    EXPECT_LE(writes.Count(), 2);
    EXPECT_GE(writes.Count(), 1);
    // The analyser loaded every value and saved each one back.
    EXPECT_EQ(Differences(SectionValues(path, "kelmira"), stored), std::vector<std::string>{});
    EXPECT_EQ(TIniFile(path).ReadInteger("General", "SignalTimeout", 0), 47);

    // Settings changed since are what the exit writes.
    QWidget* analyser = main.findChild<QWidget*>("Form1");
    ASSERT_NE(analyser, nullptr);
    analyser->findChild<QComboBox*>("CB1")->setCurrentIndex(12);
    analyser->findChild<QSpinBox*>("SELINES")->setValue(6000);
    program->Forms().dopt->SETMOUT->setValue(52);
    writes.Reset();
    Close();
    EXPECT_LE(writes.Count(), 2);
    EXPECT_GE(writes.Count(), 1);
    auto expected = stored;
    expected["GroupContent1"] = "12";
    expected["MaxLines"] = "6000";
    EXPECT_EQ(Differences(SectionValues(path, "kelmira"), expected), std::vector<std::string>{});
    EXPECT_EQ(TIniFile(path).ReadInteger("General", "SignalTimeout", 0), 52);
}

// A workspace and a recording that an editor and the program of the original
// platform wrote: CR LF and Windows-1252. Through a start that plays the
// recording, REC and the exit, no letter is lost, and what is written is UTF-8.
TEST_F(WorkspaceEndToEnd, LettersOfFilesInWindows1252AreKeptThroughARecordingAndTheExit) {
    const std::string take = Elsewhere() + "take.orv";
    const std::string path = Elsewhere() + "koeln.owk";
    WriteFileBytes(path, "[General]\r\nName=M\xFCnchen Stra\xDF" "e\r\nLocation=K\xF6ln\r\n"
                         "Notes=Caf\xE9 \x80 5, \x93zitiert\x94\r\nDefaultFilename=" + take +
                         "\r\n[kelmira]\r\nFontName=Sch\xF6ne Schrift\r\n");
    const std::string played = Elsewhere() + "zuerich.orv";
    WriteFileBytes(played, "<recorder=\"Orvane\" date=\"2003-05-01\" time=\"13-05-09\" source=\"1\" name=\"J\xFCrgen\" "
                           "location=\"Z\xFCrich\">\r\n" +
                               RecordingLines(StationGroups(0xC201, "ORVANE  ", 40), true, "\r\n"));

    TForm1& main = StartWith(Road::Stored, path, {played});
    ASSERT_EQ(main.WorkspaceFile(), path);
    ASSERT_TRUE(main.Playing());
    const TDOPT& options = *program->Forms().dopt;
    EXPECT_EQ(options.ENAME->text().toStdString(), "München Straße");
    EXPECT_EQ(options.ELOC->text().toStdString(), "Köln");
    EXPECT_EQ(options.ENOTES->text().toStdString(), "Café € 5, “zitiert”");
    main.FileInformation1Click();
    ASSERT_FALSE(modal.messages.empty());
    EXPECT_NE(modal.messages.back().find("\nname: Jürgen \nlocation: Zürich"), std::string::npos)
        << modal.messages.back();

    main.BBRECClick();
    ASSERT_TRUE(main.Recording());
    Close();

    const std::string saved = ReadFileBytes(path);
    for (const char* line : {"Name=München Straße", "Location=Köln", "Notes=Café € 5, “zitiert”",
                             "FontName=Schöne Schrift"})
        EXPECT_TRUE(HasLine(saved, line)) << line << "\n" << saved;
    EXPECT_EQ(saved.find("\xEF\xBF\xBD"), std::string::npos) << saved;
    const std::string recorded = ReadFileBytes(take);
    const std::string header = recorded.substr(0, recorded.find("\r\n"));
    EXPECT_NE(header.find(" name=\"München Straße\" location=\"Köln\" notes=\"Café € 5, “zitiert”\">"),
              std::string::npos)
        << header;
}

} // namespace
