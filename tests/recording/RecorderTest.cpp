// The recorder behind REC, STOP and the file-name button, driven through a
// fake main window and a manual clock.
#include "Recorder.h"

#include "FakeTime.h"
#include "FileName.h"
#include "GroupLineParser.h"
#include "GroupRecord.h"
#include "SampleFormat.h"
#include "TestFiles.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace orvane {
namespace {

using test::FakeTime;
using test::ReadFileBytes;

struct TestOptions : IOptions {
    bool addDateTime = true;
    bool timeMachine = true;
    std::set<int> unticked;
    std::string defaultName = "%pi - %date %time.orv";
    std::string name, location, notes;
    bool AddDateTime() const override { return addDateTime; }
    bool TimeMachineEnabled() const override { return timeMachine; }
    bool RecordGroupType(int index) const override { return !unticked.count(index); }
    std::string DefaultFileName() const override { return defaultName; }
    std::string RecorderName() const override { return name; }
    std::string RecorderLocation() const override { return location; }
    std::string RecorderNotes() const override { return notes; }
};

class FakeHost final : public IRecorderHost {
public:
    TestOptions options;
    std::string documents;
    bool playing = false;
    int source = 1;
    bool connected = true;
    std::string pi = "C201", ps = "ORVANE  ", frequency = "101.3";
    std::vector<std::string> messages, commands;
    int groupCount = -1;
    std::string dialogPick;
    int dialogFilter = 0;
    int dialogFilterShown = -1;
    std::string dialogFolder;

    void Show(const std::string& m) override { messages.push_back(m); }
    bool Playing() const override { return playing; }
    int SourceNumber() const override { return source; }
    bool SourceConnected() const override { return connected; }
    std::string PIText() const override { return pi; }
    std::string PSN() const override { return ps; }
    std::string SelectedFrequency() const override { return frequency; }
    const IOptions& Options() const override { return options; }
    const std::string& DocumentsFolder() const override { return documents; }
    void SendCommandToAll(const std::string& c, const std::string& p) override { commands.push_back(c + " " + p); }
    void ResetGroupCount() override { groupCount = 0; }
    void GrowGroupCount() override { ++groupCount; }
    std::string AskRecordingFileName(const std::string& folder, int& filter) override {
        dialogFolder = folder;
        dialogFilterShown = filter;
        filter = dialogFilter;
        return dialogPick;
    }
    void RecordingChanged() override {}
};

TRDSGroupRec Rec(int32_t a, int32_t b, int32_t c, int32_t d, int hundredths = 0) {
    return test::GroupRecord(a, b, c, d, hundredths);
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t from = 0;
    for (size_t eol; (eol = text.find("\r\n", from)) != std::string::npos; from = eol + 2)
        out.push_back(text.substr(from, eol - from));
    EXPECT_EQ(from, text.size()) << "every line ends in CR LF";
    return out;
}

class RecorderTest : public ::testing::Test {
protected:
    RecorderTest() {
        host.documents = dir.path().toStdString() + "/";
        time.SetLocal(LocalTime{2024, 5, 1, 13, 5, 9, 420});
        rec.AllocateRecBuffer(115); // as a workspace of 10 seconds does
    }
    std::vector<std::string> Files() const {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(dir.path().toStdString()))
            out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    std::string Path(const std::string& name) const { return host.documents + name; }

    QTemporaryDir dir;
    FakeTime time;
    FakeHost host;
    Recorder rec{host, time};
};

TEST(EncodeFileName, ExpandsPlaceholdersInAnyCaseFromOneReading) {
    const LocalTime t{2024, 5, 1, 23, 59, 59, 999};
    EXPECT_EQ(EncodeFileName("%PI - %Date %TIME.orv", t, "C201", "X"), "C201 - 2024-05-01 23-59-59.orv");
    EXPECT_EQ(EncodeFileName("%ps%pi%ps", t, "----", "A/B:C*"), "A_B_C_----A_B_C_");
    EXPECT_EQ(EncodeFileName("%ps", t, "", std::string("a\x01\"*?/\\#.%:|<>^z", 16)), "a______________z");
    // "%p" alone and unknown tags stay as they are.
    EXPECT_EQ(EncodeFileName("%p %x 100%", t, "C201", "X"), "%p %x 100%");
}

TEST(EncodeFileName, LeavesOutThePaddingBlanksAtTheEndOfPS) {
    const LocalTime t{2024, 5, 1, 23, 59, 59, 999};
    EXPECT_EQ(EncodeFileName("%date %time %pi %ps.txt", t, "C201", "DEMO FM "), "2024-05-01 23-59-59 C201 DEMO FM.txt");
    // Blanks before and inside the name stay; a blank PS gives nothing.
    EXPECT_EQ(EncodeFileName("[%ps]", t, "C201", " A  B   "), "[ A  B]");
    EXPECT_EQ(EncodeFileName("[%ps]", t, "C201", "        "), "[]");
}

TEST_F(RecorderTest, RecWithNoSourceAndNothingPlayingRecordsNothingAndSaysWhatToDo) {
    host.source = 3;
    rec.BBRECClick();
    EXPECT_FALSE(rec.Recording());
    EXPECT_TRUE(Files().empty());
    EXPECT_EQ(host.groupCount, -1);
    EXPECT_EQ(host.messages, std::vector<std::string>{"Nothing to record: select a source or play a file"});
    host.playing = true; // a playing file may be recorded without a source
    rec.BBRECClick();
    EXPECT_TRUE(rec.Recording());
}

TEST_F(RecorderTest, RecWithASourceThatIsNotConnectedRecordsNothingUnlessAFilePlays) {
    host.source = 0;
    host.connected = false;
    rec.BBRECClick();
    EXPECT_FALSE(rec.Recording());
    EXPECT_FALSE(rec.FileNameShown());
    EXPECT_TRUE(Files().empty());
    EXPECT_EQ(host.groupCount, -1);
    EXPECT_EQ(host.messages, std::vector<std::string>{Recorder::kSourceNotConnected});
    EXPECT_EQ(std::string(Recorder::kSourceNotConnected), "Nothing to record: the source is not connected");
    host.playing = true; // the file's groups are there to record
    rec.BBRECClick();
    EXPECT_TRUE(rec.Recording());
}

TEST_F(RecorderTest, TextRecordingHasHeaderAndLinesAndAppendsToAnExistingFile) {
    host.options.name = "Ann";
    host.options.notes = "say \"hi\"";
    rec.BBRECClick();
    ASSERT_TRUE(rec.Recording());
    const std::string file = Path("C201 - 2024-05-01 13-05-09.orv");
    EXPECT_EQ(rec.FileName(), file);
    EXPECT_EQ(rec.ShownFileName(), "C201 - 2024-05-01 13-05-09.orv");
    rec.SaveRDSGroup(Rec(0x2A01, 0x0408, 0xE10D, 0x4F52, 42));
    rec.SaveRDSGroup(Rec(0x2A01, -1, 0x10000, 0x4F52, 50));
    rec.BBSTOPClick();
    EXPECT_FALSE(rec.Recording());
    EXPECT_EQ(host.commands, std::vector<std::string>{"FILEWRITTEN " + file});

    rec.BBRECClick(); // same second, same name: appended
    host.options.addDateTime = false;
    rec.SaveRDSGroup(Rec(1, 2, 3, 4));
    rec.StopRecordingFile();

    const std::string header =
        "<recorder=\"Orvane\" date=\"2024-05-01\" time=\"13-05-09\" source=\"1\" name=\"Ann\" location=\"\" "
        "notes=\"say \"hi\"\">";
    EXPECT_EQ(Lines(ReadFileBytes(file)),
              (std::vector<std::string>{header, "2A01 0408 E10D 4F52 @2024/05/01 13:05:09.42",
                                        "2A01 ---- ---- 4F52 @2024/05/01 13:05:09.50", header,
                                        "0001 0002 0003 0004 @2024/05/01 13:05:09.00"}))
        << "the date-and-time option is read when the recording starts";
}

// The option edits limit name, location and notes to 20, 20 and 64
// characters, and the header cuts to the same counts: accented letters take
// two bytes each, but one character.
TEST_F(RecorderTest, HeaderNamesTheFrequencyOfADeviceLinkAndCutsLongFieldsByCharacters) {
    host.source = 2;
    struct Case {
        std::string name, location, notes;
        std::string nameOut, locationOut, notesOut;
    };
    const std::string notes64 = std::string(60, 'x') + "\xE2\x82\xAC\xC3\xA9\xF0\x9F\x93\xBB!"; // 64 characters
    const Case cases[] = {
        {"J\xC3\xB6rg \xC3\x9Cnterwald-Smith", "K\xC3\xB8" "benhavn \xC3\x98sterbro", notes64,
         "J\xC3\xB6rg \xC3\x9Cnterwald-Smith", "K\xC3\xB8" "benhavn \xC3\x98sterbro", notes64},
        {std::string(20, 'n') + "\xC3\xA9", "\xC3\xA9" + std::string(20, 'o'), notes64 + "more",
         std::string(20, 'n'), "\xC3\xA9" + std::string(19, 'o'), notes64},
        {std::string(19, 'n') + "\xC3\xA9", "Ost", std::string(63, 'x') + "\xE2\x82\xAC",
         std::string(19, 'n') + "\xC3\xA9", "Ost", std::string(63, 'x') + "\xE2\x82\xAC"},
        // A byte that is no character counts as one.
        {std::string(19, 'n') + "\xFF\xFF", "", "", std::string(19, 'n') + "\xFF", "", ""},
    };
    int second = 0;
    for (const Case& c : cases) {
        host.options.name = c.name;
        host.options.location = c.location;
        host.options.notes = c.notes;
        time.SetLocal(LocalTime{2024, 12, 31, 23, 59, second++, 999});
        rec.BBRECClick();
        rec.StopRecordingFile();
        const auto lines = Lines(ReadFileBytes(rec.FileName()));
        ASSERT_EQ(lines.size(), 1u) << c.name;
        EXPECT_EQ(lines[0], "<recorder=\"Orvane\" date=\"2024-12-31\" time=\"23-59-0" + std::to_string(second - 1) +
                                "\" source=\"2\" name=\"" + c.nameOut + "\" location=\"" + c.locationOut +
                                "\" notes=\"" + c.notesOut + "\" frequency=\"101.3\">");
    }
}

// A clock that moves on with every reading, from just before midnight.
class TickingClock final : public IClock {
public:
    LocalTime Now() const override {
        return reads_++ == 0 ? LocalTime{2024, 12, 31, 23, 59, 59, 999} : LocalTime{2025, 1, 1, 0, 0, 0, 0};
    }
    int64_t MonotonicMs() const override { return reads_; }

private:
    mutable int reads_ = 0;
};

TEST_F(RecorderTest, NameAndHeaderTakeOneReadingOfTheClock) {
    TickingClock clock;
    Recorder midnight(host, clock);
    midnight.BBRECClick();
    midnight.StopRecordingFile();
    EXPECT_EQ(midnight.FileName(), Path("C201 - 2024-12-31 23-59-59.orv"));
    const auto lines = Lines(ReadFileBytes(midnight.FileName()));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_NE(lines[0].find("date=\"2024-12-31\" time=\"23-59-59\""), std::string::npos) << lines[0];
}

TEST_F(RecorderTest, FilterSkipsUntickedTypesAndGroupsWithoutBlockB) {
    host.options.addDateTime = false;
    host.options.unticked = {kNoGroupType, 4}; // "----" and "2A"
    rec.BBRECClick();
    rec.SaveRDSGroup(Rec(1, 0x0408, 3, 4));  // 0A
    rec.SaveRDSGroup(Rec(1, 0x2000, 3, 4));  // 2A
    rec.SaveRDSGroup(Rec(1, -1, 3, 4));      // no B
    rec.SaveRDSGroup(Rec(1, 0x12345, 3, 4)); // B out of range counts as missing
    rec.SaveRDSGroup(Rec(1, 0x2800, 3, 4));  // 2B
    rec.StopRecordingFile();
    const auto lines = Lines(ReadFileBytes(rec.FileName()));
    EXPECT_EQ(std::vector<std::string>(lines.begin() + 1, lines.end()),
              (std::vector<std::string>{"0001 0408 0003 0004", "0001 2800 0003 0004"}));
}

TEST_F(RecorderTest, TimeMachineWritesAtMost114PreBufferedGroups) {
    host.options.addDateTime = false;
    ASSERT_EQ(rec.RecBufferSize(), 115);
    for (int i = 0; i < 200; ++i) rec.AddToRecBuffer(Rec(i, 0, 0, 0));
    EXPECT_EQ(rec.RecBufferLength(), 114);
    rec.BBRECClick();
    EXPECT_EQ(host.groupCount, 114) << "nothing plays: the pre-buffered groups count";
    rec.StopRecordingFile();
    const auto lines = Lines(ReadFileBytes(rec.FileName()));
    ASSERT_EQ(lines.size(), 115u);
    EXPECT_EQ(lines[1], "0056 0000 0000 0000"); // group 86, the oldest kept
    EXPECT_EQ(lines[114], "00C7 0000 0000 0000");
    EXPECT_EQ(rec.RecBufferLength(), 0);

    // While a file plays the shown count stays as it is.
    host.groupCount = 7;
    host.playing = true;
    for (int i = 0; i < 5; ++i) rec.AddToRecBuffer(Rec(i, 0, 0, 0));
    rec.BBRECClick();
    EXPECT_EQ(host.groupCount, 7);
    rec.StopRecordingFile();

    // Without the time machine the pre-buffer is not written.
    host.options.timeMachine = false;
    rec.SetTemplate("plain.orv");
    for (int i = 0; i < 5; ++i) rec.AddToRecBuffer(Rec(i, 0, 0, 0));
    rec.BBRECClick();
    rec.StopRecordingFile();
    EXPECT_EQ(Lines(ReadFileBytes(Path("plain.orv"))).size(), 1u);
}

TEST_F(RecorderTest, PreBufferHoldsOneGroupLessThanItsEntriesAndEmptiesOnAllocation) {
    for (int entries : {1, 2, 12, 686}) {
        rec.AllocateRecBuffer(entries);
        EXPECT_EQ(rec.RecBufferSize(), entries);
        for (int i = 0; i < 1000; ++i) rec.AddToRecBuffer(Rec(i, 0, 0, 0));
        EXPECT_EQ(rec.RecBufferLength(), entries - 1) << entries;
        if (entries > 1) {
            EXPECT_EQ(rec.ReadFromRecBuffer().BlockA, 1000 - (entries - 1)) << "the oldest kept";
        }
    }
    rec.AllocateRecBuffer(115);
    EXPECT_EQ(rec.RecBufferLength(), 0);
    rec.AddToRecBuffer(Rec(5, 0, 0, 0));
    rec.ClearRecBuffer();
    EXPECT_EQ(rec.RecBufferLength(), 0);
}

TEST_F(RecorderTest, SampleRecordingWritesHeaderRecordsAndTrailer) {
    rec.SetTemplate("%pi.SMP");
    host.options.location = "Ost";
    // The trailer's fields hold 20 bytes: the name loses its last two characters.
    host.options.name = "J\xC3\xB6rg \xC3\x9Cnterwald-Smith";
    rec.AddToRecBuffer(Rec(0x2A01, 0x0408, 0xE10D, 0x4F52));
    rec.BBRECClick();
    ASSERT_TRUE(rec.Recording());
    EXPECT_EQ(rec.Kind(), Recorder::kSample);
    rec.SaveRDSGroup(Rec(-1, -1, -1, -1));
    rec.BBSTOPClick();
    const std::string bytes = ReadFileBytes(Path("C201.SMP"));
    ASSERT_EQ(bytes.size(), 2u + 2 * 16 + 123);
    EXPECT_EQ(bytes.substr(0, 2), "\xFF\x06");
    EXPECT_EQ(bytes.substr(2, 16), std::string("\x2A\x01\x02\xC0\x04\x08\x7A\xC0\xE1\x0D\x5B\x00\x4F\x52\xB9\x00", 16));
    EXPECT_EQ(bytes.substr(18, 16), std::string(16, '\0'));
    const SampleTrailer t = BuildSampleTrailer("Ost", "J\xC3\xB6rg \xC3\x9Cnterwald-Smi");
    EXPECT_EQ(bytes.substr(34), std::string(t.begin(), t.end()));
    EXPECT_EQ(bytes.substr(34 + 90, 21), "\x14J\xC3\xB6rg \xC3\x9Cnterwald-Smi");
    EXPECT_EQ(host.commands, std::vector<std::string>{"FILEWRITTEN " + Path("C201.SMP")});
}

TEST_F(RecorderTest, TemplateNeverOverwritesASampleFileButAConfirmedPickDoes) {
    rec.SetTemplate("%pi.smp");
    test::WriteFileBytes(Path("C201.smp"), "keep");
    test::WriteFileBytes(Path("C201 (2).smp"), "keep too");
    rec.BBRECClick();
    rec.StopRecordingFile();
    EXPECT_EQ(rec.FileName(), Path("C201 (3).smp"));
    EXPECT_EQ(ReadFileBytes(Path("C201.smp")), "keep");
    EXPECT_EQ(ReadFileBytes(Path("C201 (2).smp")), "keep too");
    ASSERT_FALSE(host.messages.empty());
    EXPECT_NE(host.messages.back().find("C201 (3).smp"), std::string::npos) << host.messages.back();

    // The user picked the file in the save dialog, which asked first.
    host.dialogPick = Path("C201.orv");
    host.dialogFilter = 1;
    rec.BBRECFNClick();
    EXPECT_FALSE(rec.UseDefaultName());
    EXPECT_EQ(rec.ShownFileName(), "C201.smp");
    EXPECT_EQ(host.dialogFolder, host.documents);
    rec.BBRECClick();
    rec.StopRecordingFile();
    EXPECT_EQ(rec.FileName(), Path("C201.smp"));
    EXPECT_EQ(ReadFileBytes(Path("C201.smp")).size(), 2u + 123);
    EXPECT_TRUE(rec.UseDefaultName());
}

TEST_F(RecorderTest, FileNameButtonSetsTheExtensionByFilterAndStopForgetsThePick) {
    host.dialogPick = Path("mine.smp");
    host.dialogFilter = 0;
    rec.SetDialogFilterIndex(2);
    rec.BBRECFNClick();
    EXPECT_EQ(host.dialogFilterShown, 1) << "the filter kept by the workspace is shown first";
    EXPECT_EQ(rec.DialogFilterIndex(), 1);
    EXPECT_EQ(rec.ShownFileName(), "mine.orv");
    EXPECT_TRUE(rec.FileNameShown());
    rec.BBSTOPClick();
    EXPECT_TRUE(rec.UseDefaultName());
    EXPECT_FALSE(rec.FileNameShown());

    host.dialogPick.clear(); // cancelled
    rec.BBRECFNClick();
    EXPECT_TRUE(rec.UseDefaultName());

    host.options.defaultName = "/somewhere/else/%pi.orv";
    rec.BBRECFNClick();
    EXPECT_EQ(host.dialogFolder, "/somewhere/else/");
}

TEST_F(RecorderTest, AMissingDocumentsFolderIsMade) {
    host.documents += "Documents/";
    rec.BBRECClick();
    EXPECT_TRUE(rec.Recording());
    rec.StopRecordingFile();
    EXPECT_TRUE(std::filesystem::exists(rec.FileName()));
    EXPECT_EQ(FolderOf(rec.FileName()), host.documents);
}

TEST_F(RecorderTest, OpenAndWriteFailuresAreReportedAndEndTheRecording) {
    rec.SetTemplate("no/such/folder/x.orv");
    rec.BBRECClick();
    EXPECT_FALSE(rec.Recording());
    EXPECT_EQ(host.messages, std::vector<std::string>{Recorder::kWriteError});
    EXPECT_TRUE(host.commands.empty());

    // /dev/full opens and refuses every write.
    host.messages.clear();
    rec.SetTemplate("/dev/full");
    rec.BBRECClick();
    ASSERT_TRUE(rec.Recording());
    rec.SaveRDSGroup(Rec(1, 2, 3, 4));
    EXPECT_FALSE(rec.Recording());
    EXPECT_EQ(host.messages, std::vector<std::string>{Recorder::kWriteError});
    EXPECT_EQ(host.commands, std::vector<std::string>{"FILEWRITTEN /dev/full"});
}

} // namespace
} // namespace orvane
