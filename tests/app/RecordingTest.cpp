// Recording and playback through the real main window: encoder-made groups
// go through the real fan-out into a recording and come back unchanged.
#include "AlsaCapturePcm.h"
#include "AppFakes.h"
#include "DeviceSimulator.h"
#include "DravonDevice.h"
#include "FileName.h"
#include "GroupLineParser.h"
#include "GroupRecord.h"
#include "PtyPeer.h"
#include "RadioGroup.h"
#include "RdsEncoder.h"
#include "SampleBytes.h"
#include "SampleFormat.h"
#include "ScriptedDeviceLibrary.h"
#include "SpinEdit.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "opt.h"
#include "src.h"
#include "CheckListBox.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QCoreApplication>
#include <QDropEvent>
#include <QLabel>
#include <QMimeData>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

using namespace orvane;
using namespace orvane::test;

namespace {

struct Options : IOptions {
    bool badAsCorrect = false;
    int onPIChange = 0;
    std::string name, location, notes;
    bool ConsiderBadBlocksAsCorrect() const override { return badAsCorrect; }
    int OnPIChangeItem() const override { return onPIChange; }
    std::string RecorderName() const override { return name; }
    std::string RecorderLocation() const override { return location; }
    std::string RecorderNotes() const override { return notes; }
};

// Stamps follow the index, so every line of a recording differs.
TRDSGroupRec Rec(int32_t a, int32_t b, int32_t c, int32_t d, int index = 0) {
    TRDSGroupRec g = GroupRecord(a, b, c, d, index % 100);
    g.Second = static_cast<uint8_t>(index / 100 % 60);
    return g;
}

// A station's groups from our encoder, with version B groups (C'), groups
// without block B and bad blocks among them; block A stays with the station
// or is missing, so the PI watch never sees another station.
std::vector<TRDSGroupRec> Mixed(uint16_t pi, int count) {
    const char ps[8] = {'R', 'O', 'U', 'N', 'D', 'T', 'R', 'P'};
    std::vector<TRDSGroupRec> out;
    int i = 0;
    for (const Group& e : StationGroups(pi, ps, count)) {
        TRDSGroupRec g = Rec(e.a, e.b, e.c, e.d, i);
        switch (i % 7) {
        case 1: g.BlockB = 0x0800 | (i & 3); g.BlockC = pi; break; // 0B: C' carries the PI
        case 3: g.BlockB = -1; break;
        case 4: g.BlockC = -1; g.BlockD = -1; break;
        case 5: g.BlockA = -1; break;
        case 6: g.BlockA = g.BlockB = g.BlockC = g.BlockD = -1; break;
        }
        out.push_back(g);
        ++i;
    }
    return out;
}

std::vector<std::string> Lines(const std::string& text) {
    std::vector<std::string> out;
    size_t from = 0;
    for (size_t eol; (eol = text.find("\r\n", from)) != std::string::npos; from = eol + 2)
        out.push_back(text.substr(from, eol - from));
    return out;
}

std::string Blocks(const TRDSGroupRec& g) { return GroupToLine(g, false); }

class RecordingTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingPlugins::Seen().clear();
        RecordingPlugins::Groups().clear();
        // No settings or workspace of an earlier test in this process.
        std::filesystem::remove_all(Data());
        Start();
        main().SetOptions(&options);
        std::filesystem::create_directories(Docs());
        std::filesystem::remove_all(Docs());
        std::filesystem::create_directories(Docs());
    }
    // deviceLibrary: the scripted one when null.
    void Start(IDeviceLibrary* deviceLibrary = nullptr) {
        AppEnv env = program.Env();
        env.deviceLibrary = deviceLibrary ? deviceLibrary : &library;
        app = std::make_unique<OrvaneApp>(env);
        app->CreateWindows();
    }
    // The user picks a source in the source dialog and presses OK; no sound
    // card input is chosen unless `more` chooses one.
    void SelectSource(int page, int comPort = 1, const std::function<void(TDSRC&)>& more = {}) {
        program.modal.onRun = [this, page, comPort, &more](QDialog&) {
            TDSRC& d = *app->Forms().dsrc;
            d.PageControl1->setCurrentIndex(page);
            d.SECOM1->setValue(comPort);
            d.CBINPUT->setCurrentIndex(-1);
            if (more) more(d);
            return int(QDialog::Accepted);
        };
        main().SelectRDSInput1Click();
        program.modal.onRun = nullptr;
        ASSERT_EQ(main().SourceNumber(), page);
    }
    static std::string Data() { return std::string(qgetenv("XDG_DATA_HOME")) + "/orvane/"; }
    TForm1& main() { return *app->Forms().form1; }
    std::string Docs() { return main().DocumentsFolder(); }
    std::string WriteText(const std::string& name, const std::vector<TRDSGroupRec>& groups,
                          const std::string& header = {}) {
        const std::string path = program.ProgramFolder() + name;
        std::string text = header.empty() ? "" : header + "\r\n";
        for (const auto& g : groups) text += GroupToLine(g, true) + "\r\n";
        WriteFileBytes(path, text);
        return path;
    }
    std::string WriteSample(const std::string& name, const std::vector<TRDSGroupRec>& groups, size_t trailer,
                            const std::string& location = "", const std::string& recorder = "") {
        const std::string bytes = SampleRecordBytes(groups) + SampleTrailerBytes(trailer, location, recorder);
        const std::string path = program.ProgramFolder() + name;
        WriteFileBytes(path, bytes);
        return path;
    }
    void PlayToTheEnd(const std::string& path) {
        main().Player().PlayFile(path);
        ASSERT_TRUE(main().Playing()) << path;
    }
    void RunToTheEnd() {
        for (int i = 0; i < 10000 && main().Playing(); ++i) program.time.Advance(78);
        ASSERT_FALSE(main().Playing());
    }
    std::vector<std::string> Recordings() {
        std::vector<std::string> out;
        for (const auto& e : std::filesystem::directory_iterator(Docs())) out.push_back(e.path().filename().string());
        std::sort(out.begin(), out.end());
        return out;
    }
    std::vector<std::string> SeenBlocks() {
        std::vector<std::string> out;
        for (const auto& g : RecordingPlugins::Groups()) out.push_back(Blocks(g));
        return out;
    }
    std::vector<std::string> FileWritten() {
        std::vector<std::string> out;
        for (const auto& s : RecordingPlugins::Seen())
            if (s.command == "FILEWRITTEN") out.push_back(s.parameter);
        return out;
    }

    FakeProgram program;
    Options options;
    ScriptedLibrary library;
    std::unique_ptr<DravonDevice> dravon; // the built device library, when a test loads it
    std::unique_ptr<OrvaneApp> app;
};

} // namespace

TEST_F(RecordingTest, TextRoundTripThroughTheFanOut) {
    const auto groups = Mixed(0xC201, 60);
    PlayToTheEnd(WriteText("source.orv", groups));
    main().BBRECClick();
    ASSERT_TRUE(main().Recording());
    EXPECT_FALSE(main().LREC->isHidden());
    EXPECT_FALSE(main().LRFN->isHidden());
    RunToTheEnd();
    EXPECT_FALSE(main().Recording()) << "the end of the playback ends the recording";
    EXPECT_TRUE(main().LREC->isHidden());
    EXPECT_TRUE(main().LRFN->isHidden());

    const auto files = Recordings();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(FileWritten(), std::vector<std::string>{Docs() + files[0]});
    const auto lines = Lines(ReadFileBytes(Docs() + files[0]));
    ASSERT_EQ(lines.size(), groups.size() + 1);
    EXPECT_EQ(lines[0].substr(0, 19), "<recorder=\"Orvane\" ");
    for (size_t i = 0; i < groups.size(); ++i) EXPECT_EQ(lines[i + 1], GroupToLine(groups[i], true)) << i;
}

TEST_F(RecordingTest, SampleRoundTripThroughTheFanOut) {
    const auto groups = Mixed(0xD3C2, 60);
    const std::string trip = Docs() + "trip.smp";
    program.modal.fileToSave = Docs() + "trip";
    program.modal.saveFilter = 1;
    main().BBRECFNClick();
    EXPECT_EQ(main().LRFN->text().toStdString(), "trip.smp");
    PlayToTheEnd(WriteText("source.orv", groups));
    main().BBRECClick();
    RunToTheEnd();
    ASSERT_EQ(ReadFileBytes(trip).size(), 2 + 16 * groups.size() + 123);

    RecordingPlugins::Groups().clear();
    PlayToTheEnd(trip);
    EXPECT_EQ(main().Player().TotalGroups(), static_cast<int>(groups.size()));
    RunToTheEnd();
    std::vector<std::string> expected;
    for (const auto& g : groups) expected.push_back(Blocks(g));
    EXPECT_EQ(SeenBlocks(), expected);
}

TEST_F(RecordingTest, SampleFilesPlayEveryGroupWhateverTheirTrailer) {
    const auto groups = Mixed(0xC201, 20);
    for (size_t trailer : {size_t{123}, size_t{115}, size_t{0}}) {
        RecordingPlugins::Groups().clear();
        PlayToTheEnd(WriteSample("t" + std::to_string(trailer) + ".SMP", groups, trailer));
        EXPECT_EQ(main().Player().TotalGroups(), 20) << trailer;
        RunToTheEnd();
        EXPECT_EQ(RecordingPlugins::Groups().size(), groups.size()) << trailer;
    }
}

// A copy that was interrupted, or a disk that filled up, cuts the trailer
// anywhere; none of its bytes may come back as groups, not even as the
// blocks 0000 that "bad blocks as correct" would keep.
TEST_F(RecordingTest, ASampleFileWithACutTrailerPlaysOnlyItsGroups) {
    const auto groups = Mixed(0xC201, 20);
    for (bool badAsCorrect : {false, true}) {
        options.badAsCorrect = badAsCorrect;
        // Missing blocks are stored as zero words; C and D of them come back
        // as 0000 under the option.
        std::vector<std::string> expected;
        for (TRDSGroupRec g : groups) {
            if (badAsCorrect && g.BlockC < 0) g.BlockC = 0;
            if (badAsCorrect && g.BlockD < 0) g.BlockD = 0;
            expected.push_back(Blocks(g));
        }
        for (size_t cut : {0, 1, 16, 27, 47, 48, 49, 50, 70, 99, 100, 112, 114, 115, 122, 123}) {
            const std::string path = WriteSample("cut" + std::to_string(cut) + ".smp", groups, cut,
                                                 "Hamburg Ost", "J\xC3\xB6rg");
            RecordingPlugins::Groups().clear();
            PlayToTheEnd(path);
            EXPECT_EQ(main().Player().TotalGroups(), 20) << cut << " bad as correct " << badAsCorrect;
            RunToTheEnd();
            EXPECT_EQ(SeenBlocks(), expected) << cut << " bad as correct " << badAsCorrect;
        }
    }
    // The same trailer after no group at all: nothing to play, and so said.
    options.badAsCorrect = true;
    for (size_t cut : {50, 122}) {
        RecordingPlugins::Groups().clear();
        main().Player().PlayFile(WriteSample("none.smp", {}, cut, "Hamburg Ost", "Ann"));
        EXPECT_FALSE(main().Playing()) << cut;
        EXPECT_EQ(main().StatusText().toStdString(), "The file holds no groups") << cut;
        program.time.Advance(78 * 10);
        EXPECT_TRUE(SeenBlocks().empty()) << cut;
    }
}

// A trailer of another tool: its own text, then `zeros` zero bytes.
std::string ForeignTrailer(size_t size, size_t zeros) {
    static const std::string text = "Captured by another RDS tool, location unknown; ";
    std::string t;
    while (t.size() < size - zeros) t += text;
    t.resize(size - zeros);
    return t + std::string(zeros, '\0');
}

bool AllMissing(const TRDSGroupRec& g) {
    return !BlockValid(g.BlockA) && !BlockValid(g.BlockB) && !BlockValid(g.BlockC) && !BlockValid(g.BlockD);
}

// The endings a sample file may have after its records: a whole trailer of
// ours or of another tool, none at all, or either cut short at any length.
// Every record that has a good block plays, in order, and nothing that was
// not written does.
TEST_F(RecordingTest, SampleFilesLoseNoGroupAndGainNoneWhateverTheirEnding) {
    struct Case {
        std::string what;
        std::vector<TRDSGroupRec> groups;
        std::string ending;
        // An all-missing record is sixteen zero bytes, as the start of a
        // trailer is: those right before the ending may go with it.
        bool missingAtTheEndMayGo = false;
    };
    const auto station = Mixed(0xC201, 9);
    auto plus = [&](std::vector<TRDSGroupRec> more) {
        std::vector<TRDSGroupRec> g = station;
        g.insert(g.end(), more.begin(), more.end());
        return g;
    };
    const TRDSGroupRec missing = Rec(-1, -1, -1, -1);
    std::vector<Case> cases;
    for (size_t size : {size_t{115}, size_t{123}})
        for (size_t zeros : {0, 3, 11, 16, 19, 27, 43, 48, 51, 59, 64, 75, 99})
            cases.push_back({"another tool's trailer of " + std::to_string(size) + " ending in " +
                                 std::to_string(zeros) + " zeros",
                             station, ForeignTrailer(size, zeros)});
    for (size_t size : {size_t{115}, size_t{123}})
        for (size_t zeros : {0, 40})
            // Cut where the file's size fits a whole trailer: at other lengths
            // its bytes cannot be told from another tool's records.
            for (size_t cut = 3; cut < size; cut += 8) {
                const std::string what = "another tool's trailer of " + std::to_string(size) + " ending in " +
                                         std::to_string(zeros) + " zeros, cut to " + std::to_string(cut);
                const std::string ending = ForeignTrailer(size, zeros).substr(0, cut);
                cases.push_back({what, station, ending});
                cases.push_back({what + " after all-missing records", plus({missing, missing, missing}), ending, true});
            }
    {
        const std::vector<TRDSGroupRec> two(station.begin(), station.begin() + 2);
        for (size_t cut : {3, 19, 51, 67, 99})
            cases.push_back({"two groups, then another tool's trailer cut to " + std::to_string(cut), two,
                             ForeignTrailer(115, 0).substr(0, cut)});
    }
    cases.push_back({"a zero trailer of 115", station, std::string(115, '\0')});
    cases.push_back({"a zero trailer of 123", station, std::string(123, '\0')});
    cases.push_back({"no trailer", station, ""});
    for (int n = 1; n <= 5; ++n)
        cases.push_back({"no trailer after " + std::to_string(n) + " all-missing records",
                         plus(std::vector<TRDSGroupRec>(static_cast<size_t>(n), missing)), "", true});
    // A PI whose first byte could pass for the length of a trailer's location.
    for (int32_t pi : {0x0F12, 0x1234, 0x14FF, 0x0000}) {
        const std::string what = "no trailer, all-missing records, then PI " + QString::number(pi, 16).toStdString();
        cases.push_back({what, plus({missing, missing, missing, Rec(pi, 0x0400, 0xE10D, 0x4F52)}), ""});
        cases.push_back({what + " alone", plus({missing, missing, missing, Rec(pi, -1, -1, -1)}), ""});
    }
    const std::pair<std::string, std::string> fields[] = {
        {"Hamburg Ost", "J\xC3\xB6rg"}, {"", ""}, {std::string(20, 'L'), std::string(20, 'N')}};
    for (const auto& [location, name] : fields) {
        const SampleTrailer t = BuildSampleTrailer(location, name);
        // The fields begin at byte 48: shorter cuts are the same for all.
        for (size_t cut = location.empty() ? 0 : 49; cut <= t.size(); ++cut) {
            const std::string ending(reinterpret_cast<const char*>(t.data()), cut);
            const std::string what = "our trailer (\"" + location + "\") cut to " + std::to_string(cut);
            cases.push_back({what, station, ending});
            cases.push_back({what + " after all-missing records", plus({missing, missing, missing}), ending, true});
        }
    }

    for (bool badAsCorrect : {false, true}) {
        options.badAsCorrect = badAsCorrect;
        for (const Case& c : cases) {
            const std::string what = c.what + (badAsCorrect ? ", bad blocks as correct" : "");
            const std::string path = program.ProgramFolder() + "ending.smp";
            WriteFileBytes(path, SampleRecordBytes(c.groups) + c.ending);
            RecordingPlugins::Groups().clear();
            PlayToTheEnd(path);
            const int total = main().Player().TotalGroups();
            RunToTheEnd();
            // Missing blocks are stored as zero words; C and D of them come
            // back as 0000 under the option.
            std::vector<std::string> written;
            for (TRDSGroupRec g : c.groups) {
                if (badAsCorrect && g.BlockC < 0) g.BlockC = 0;
                if (badAsCorrect && g.BlockD < 0) g.BlockD = 0;
                written.push_back(Blocks(g));
            }
            const std::vector<std::string> seen = SeenBlocks();
            EXPECT_EQ(total, static_cast<int>(seen.size())) << what;
            if (!c.missingAtTheEndMayGo) {
                EXPECT_EQ(seen, written) << what;
                continue;
            }
            ASSERT_LE(seen.size(), written.size()) << what;
            EXPECT_TRUE(std::equal(seen.begin(), seen.end(), written.begin())) << what;
            for (size_t i = seen.size(); i < c.groups.size(); ++i)
                EXPECT_TRUE(AllMissing(c.groups[i])) << what << ": record " << i << " has a good block";
        }
    }
}

std::string Hex(std::string_view hex) {
    std::string out;
    for (size_t i = 0; i + 1 < hex.size(); i += 2) out += static_cast<char>(std::stoi(std::string(hex.substr(i, 2)), nullptr, 16));
    return out;
}

// Files whose endings the size and the check words read one way only: a
// group with a sound block before something that looks like a trailer in
// part, trailer text that holds a check word by chance, and bytes a copy
// tool appended. Each plays exactly its groups.
TEST_F(RecordingTest, SampleFilesPlayWhatTheirEvidenceSays) {
    const TRDSGroupRec missing = Rec(-1, -1, -1, -1);
    const TRDSGroupRec full = Rec(0x14A3, 0x0408, 0xE20D, 0x4142);
    const TRDSGroupRec piOnly = Rec(0xC201, -1, -1, -1);
    const auto station = Mixed(0xC201, 5);
    auto with = [](std::vector<TRDSGroupRec> a, const std::vector<TRDSGroupRec>& b) {
        a.insert(a.end(), b.begin(), b.end());
        return a;
    };
    const std::string fullBytes = "14A3394004087AC0E20D020041423280";
    ASSERT_EQ(SampleRecordBytes({full}), Hex("FF06" + fullBytes));
    struct Case {
        std::string what;
        std::string file;
        std::vector<TRDSGroupRec> plays;
    };
    std::vector<Case> cases;
    // Three all-missing records and a group, then the first bytes of one
    // more: 0E where our trailer's address length would stand.
    for (const char* part : {"14A33940040E", "14A339400408", "14A3394004", "14A33940040E7A"})
        cases.push_back({std::string("a group before a record cut to ") + part,
                         Hex("FF06" + std::string(96, '0') + fullBytes + part), {missing, missing, missing, full}});
    // A group with only its PI before our trailer cut short.
    // The size fits a whole trailer, which would begin before the PI-only
    // group: the cut one begins after it, and the all-missing records go.
    cases.push_back({"a PI-only group and all-missing ones before our trailer cut to 59",
                     SampleRecordBytes(with(station, {piOnly, missing, missing, missing})) + SampleTrailerBytes(59),
                     with(station, {piOnly})});
    cases.push_back({"a PI-only group and all-missing ones before our trailer cut to 60",
                     SampleRecordBytes(with(station, {piOnly, missing, missing, missing})) + SampleTrailerBytes(60),
                     with(station, {piOnly, missing, missing, missing})});
    cases.push_back({"a PI-only group right before our trailer cut to 59",
                     SampleRecordBytes(with(station, {piOnly})) + SampleTrailerBytes(59), with(station, {piOnly})});
    cases.push_back({"a PI-only group, six all-missing ones and three zeros",
                     SampleRecordBytes({piOnly, missing, missing, missing, missing, missing, missing}) +
                         std::string(3, '\0'),
                     {piOnly}});
    // A location whose text holds block B's check word in its top ten bits.
    const std::string location = "%\\]e&e\"i=VxkqFvw";
    for (size_t cut = 64; cut <= 69; ++cut) {
        cases.push_back({"our trailer cut to " + std::to_string(cut) + " with a check word in its location",
                         SampleRecordBytes({}) + SampleTrailerBytes(cut, location), {}});
        cases.push_back({"groups, then our trailer cut to " + std::to_string(cut) + " with a check word in its location",
                         SampleRecordBytes(station) + SampleTrailerBytes(cut, location), station});
    }
    // A copy tool's padding after our whole trailer, or any bytes appended.
    for (size_t pad : {1, 7, 16, 100, 200})
        cases.push_back({"our whole trailer and " + std::to_string(pad) + " zero bytes",
                         SampleRecordBytes(station) + SampleTrailerBytes(123, "Hamburg Ost", "Ann") +
                             std::string(pad, '\0'),
                         station});
    // Another writer of our layout: "@" is printed text like any other.
    for (const auto& [address, product] : {std::pair{"info@radio.fr.", "Orvane"}, {"orvane.example", "Radio@Lab"}}) {
        const std::string what = std::string("our layout with ") + address + " and " + product;
        for (size_t cut : {84, 122})
            cases.push_back({what + ", cut to " + std::to_string(cut),
                             SampleRecordBytes(station) + SampleTrailerBytesOf(address, product, cut), station});
        cases.push_back({what + " and 7 zero bytes",
                         SampleRecordBytes(station) + SampleTrailerBytesOf(address, product) + std::string(7, '\0'),
                         station});
    }
    cases.push_back({"our whole trailer and a record appended",
                     SampleRecordBytes(station) + SampleTrailerBytes() + SampleRecordBytes({full}).substr(2), station});
    cases.push_back({"all-missing records, our whole trailer and zeros",
                     SampleRecordBytes(with(station, {missing, missing})) + SampleTrailerBytes() + std::string(41, '\0'),
                     with(station, {missing, missing})});

    for (const Case& c : cases) {
        const std::string path = program.ProgramFolder() + "evidence.smp";
        WriteFileBytes(path, c.file);
        RecordingPlugins::Groups().clear();
        main().Player().PlayFile(path);
        const int total = main().Player().TotalGroups();
        RunToTheEnd();
        std::vector<std::string> expected;
        for (const auto& g : c.plays) expected.push_back(Blocks(g));
        EXPECT_EQ(SeenBlocks(), expected) << c.what;
        EXPECT_EQ(total, static_cast<int>(expected.size())) << c.what;
    }
}

// Bytes without the sample header are refused; a file with no record says
// so in words.
TEST_F(RecordingTest, ASampleFileWithoutItsHeaderOrGroupsSaysSo) {
    std::string noise;
    uint32_t x = 12345;
    for (int i = 0; i < 3000; ++i) {
        x = x * 1103515245u + 12345u;
        noise += static_cast<char>(x >> 24);
    }
    noise[0] = 'R'; // anything but the header
    const struct {
        std::string what, bytes, status;
    } cases[] = {
        {"random bytes", noise, "Playback error: Invalid file format!"},
        {"a text file", "<recorder=\"Orvane\">\r\n0000 0000 0000 0000\r\n", "Playback error: Invalid file format!"},
        {"the header byte swapped", "\x06\xFF" + std::string(16 * 4, '\0'), "Playback error: Invalid file format!"},
        {"no byte", "", "The file holds no groups"},
        {"the header's first byte", "\xFF", "The file holds no groups"},
        {"the header alone", "\xFF\x06", "The file holds no groups"},
        {"the header and our trailer", SampleRecordBytes({}) + SampleTrailerBytes(), "The file holds no groups"},
    };
    for (const auto& c : cases) {
        const std::string path = program.ProgramFolder() + "refused.smp";
        WriteFileBytes(path, c.bytes);
        RecordingPlugins::Groups().clear();
        main().Player().PlayFile(path);
        EXPECT_FALSE(main().Playing()) << c.what;
        EXPECT_EQ(main().StatusText().toStdString(), c.status) << c.what;
        program.time.Advance(78 * 10);
        EXPECT_TRUE(RecordingPlugins::Groups().empty()) << c.what;
    }
}

TEST_F(RecordingTest, BadSampleBlocksFollowTheOption) {
    // Every check word broken: A and B are never kept, C and D only by the option.
    std::string bytes = "\xFF\x06";
    const uint16_t words[4] = {0xC201, 0x0408, 0xE10D, 0x4F52};
    for (int k = 0; k < 4; ++k) {
        const uint16_t check = static_cast<uint16_t>(BlockCRC(words[k], k, false) ^ 0x0040);
        for (uint16_t w : {words[k], check}) {
            bytes += static_cast<char>(w >> 8);
            bytes += static_cast<char>(w & 0xFF);
        }
    }
    bytes += std::string(16, '\0') + std::string(123, '\0');
    const std::string path = program.ProgramFolder() + "bad.smp";
    WriteFileBytes(path, bytes);
    for (bool option : {false, true}) {
        options.badAsCorrect = option;
        RecordingPlugins::Groups().clear();
        PlayToTheEnd(path);
        RunToTheEnd();
        EXPECT_EQ(SeenBlocks(), option ? (std::vector<std::string>{"---- ---- E10D 4F52", "---- ---- 0000 0000"})
                                       : (std::vector<std::string>{"---- ---- ---- ----", "---- ---- ---- ----"}));
    }
}

TEST_F(RecordingTest, PIChangeWithAnotherFileOptionMakesTwoFiles) {
    options.onPIChange = 1;
    std::vector<TRDSGroupRec> groups;
    for (int i = 0; i < 10; ++i) groups.push_back(Rec(0x1111, 0x0400, 0, 0x4142, i));
    for (int i = 10; i < 20; ++i) groups.push_back(Rec(0x2222, 0x0400, 0, 0x4344, i));
    PlayToTheEnd(WriteText("two.orv", groups));
    program.time.Advance(78 * 3); // the PI is known; the time machine has the first groups
    main().BBRECClick();
    RunToTheEnd();
    const auto files = Recordings();
    ASSERT_EQ(files.size(), 2u);
    EXPECT_EQ(files[0].substr(0, 4), "1111");
    EXPECT_EQ(files[1].substr(0, 4), "2222");
    // The first file ends with the group that began the change; the second
    // begins with the one that confirmed it.
    const auto first = Lines(ReadFileBytes(Docs() + files[0]));
    const auto second = Lines(ReadFileBytes(Docs() + files[1]));
    EXPECT_EQ(first.size(), 1 + 11u);
    ASSERT_EQ(second.size(), 1 + 9u);
    EXPECT_EQ(second[1], GroupToLine(groups[11], true));
    EXPECT_EQ(FileWritten().size(), 2u);

    // With the default option the recording just stops.
    options.onPIChange = 0;
    std::filesystem::remove_all(Docs());
    std::filesystem::create_directories(Docs());
    PlayToTheEnd(WriteText("two.orv", groups));
    main().BBRECClick();
    RunToTheEnd();
    EXPECT_EQ(Recordings().size(), 1u);
}

TEST_F(RecordingTest, RecordingWhilePlayingKeepsTheShownCount) {
    const auto groups = Mixed(0xC201, 10);
    PlayToTheEnd(WriteText("count.orv", groups));
    program.time.Advance(78 * 5);
    const std::string before = main().LGR->text().toStdString();
    ASSERT_EQ(before, "5 / 10");
    main().BBRECClick();
    EXPECT_EQ(main().LGR->text().toStdString(), before);
    main().BBSTOPClick();
    const auto files = Recordings();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_EQ(Lines(ReadFileBytes(Docs() + files[0])).size(), 1 + 5u) << "the pre-buffer holds what was played";
}

TEST_F(RecordingTest, FileInformationShowsTheRecordedHeader) {
    options.name = "Ann";
    options.location = "Ost";
    options.notes = "say \"hi\"";
    SelectSource(TForm1::kSourceDevice);
    main().CBFREQ->setCurrentIndex(10);
    main().BBRECClick();
    ASSERT_TRUE(main().Recording());
    main().SendRDSGroup(Rec(0xC201, 0x0400, 0, 0x4142));
    main().BBSTOPClick();
    SelectSource(TForm1::kSourceNone);
    const auto files = Recordings();
    ASSERT_EQ(files.size(), 1u);

    PlayToTheEnd(Docs() + files[0]);
    QAction* menu = main().findChild<QAction*>("FileInformation1");
    ASSERT_TRUE(menu && menu->isEnabled());
    menu->trigger();
    ASSERT_FALSE(program.modal.messages.empty());
    const std::string info = program.modal.messages.back();
    EXPECT_EQ(info.substr(0, files[0].size() + 1), files[0] + "\n");
    // The quote in the notes ends their value; the rest reads as one more field.
    EXPECT_NE(info.find("\nsource: 2 \nname: Ann \nlocation: Ost \nnotes: say  \nhi\"\" frequency: 88.5"),
              std::string::npos)
        << info;
    EXPECT_NE(info.find("\nrecorder: Orvane \ndate: "), std::string::npos) << info;

    // Without a header, and a sample file: nothing to show.
    PlayToTheEnd(WriteText("plain.orv", Mixed(0xC201, 3)));
    main().FileInformation1Click();
    EXPECT_EQ(program.modal.messages.back(), "No information.");
    PlayToTheEnd(WriteSample("s.smp", Mixed(0xC201, 3), 123));
    main().FileInformation1Click();
    EXPECT_EQ(program.modal.messages.back(), "No information.");
}

TEST_F(RecordingTest, DroppedFilesPlayTheLastOne) {
    const std::string a = WriteText("a.orv", Mixed(0xC201, 5));
    const std::string b = WriteSample("b.smp", Mixed(0xC201, 5), 123);
    QMimeData mime;
    mime.setUrls({QUrl::fromLocalFile(QString::fromStdString(a)), QUrl::fromLocalFile(QString::fromStdString(b))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    enter.setAccepted(false);
    QCoreApplication::sendEvent(&main(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(&main(), &drop);
    EXPECT_TRUE(main().Playing());
    EXPECT_EQ(main().Player().PlayedName(), b);

    QMimeData web;
    web.setUrls({QUrl("https://example.org/x.orv")});
    QDragEnterEvent remote(QPoint(5, 5), Qt::CopyAction, &web, Qt::LeftButton, Qt::NoModifier);
    remote.setAccepted(false);
    QCoreApplication::sendEvent(&main(), &remote);
    EXPECT_FALSE(remote.isAccepted());
}

TEST_F(RecordingTest, TheOptionsDialogsRecordingControlsDriveTheRecorder) {
    TDOPT& dialog = *app->Forms().dopt;
    main().SetOptions(&dialog);
    dialog.CBADDT->setChecked(false);
    dialog.CLBGREC->SetChecked(kNoGroupType, false);
    dialog.ENAME->setText("Ann");
    dialog.CBTMEN->setChecked(false);
    SelectSource(TForm1::kSourceDevice);
    main().SendRDSGroup(Rec(0xC201, 0x0400, 1, 2)); // pre-buffered, but the time machine is off
    main().BBRECClick();
    main().SendRDSGroup(Rec(0xC201, 0x0400, 3, 4));
    main().SendRDSGroup(Rec(0xC201, -1, 5, 6)); // "----" unticked
    main().BBSTOPClick();
    const auto files = Recordings();
    ASSERT_EQ(files.size(), 1u);
    const auto lines = Lines(ReadFileBytes(Docs() + files[0]));
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_NE(lines[0].find(" source=\"2\" name=\"Ann\" "), std::string::npos) << lines[0];
    EXPECT_EQ(lines[1], "C201 0400 0003 0004");
}

TEST_F(RecordingTest, TheWorkspaceKeepsTheRecordingDialogsFilter) {
    app.reset(); // saves the workspace it loaded
    WriteFileBytes(Data() + "default.owk", "[General]\nRecDialogFilterIndex=2\n");
    Start();
    program.modal.fileToSave = Docs() + "x";
    program.modal.saveFilter = 0;
    main().BBRECFNClick();
    EXPECT_EQ(program.modal.saveFilterShown, 1) << "\"Kivo file (*.smp)\" is shown first";
    EXPECT_EQ(main().LRFN->text().toStdString(), "x.orv");
    main().SaveWorkspace();
    EXPECT_NE(ReadFileBytes(Data() + "default.owk").find("RecDialogFilterIndex=1"), std::string::npos);
}

TEST_F(RecordingTest, RecWithNoSourceSaysOnTheStatusLineWhatToDo) {
    main().SetSourceNumber(TForm1::kSourceNone);
    main().BBRECClick();
    EXPECT_FALSE(main().Recording());
    EXPECT_EQ(main().StatusText().toStdString(), "Nothing to record: select a source or play a file");
    EXPECT_TRUE(main().statusBar()->toolTip().isEmpty()) << "the whole text shows on the line";
    EXPECT_TRUE(main().LREC->isHidden());
}

// A source that is selected but did not open has nothing to record: REC
// writes no file, not even a header, and says why.
TEST_F(RecordingTest, RecWithASourceThatDidNotOpenWritesNothingAndSaysSo) {
    // COM7 leads nowhere in the fake program; the device library refuses.
    library.connectAnswer = false;
    struct Case {
        int source;
        std::string opening; // what connecting said; empty: nothing
    };
    const Case cases[] = {
        {TForm1::kSourceSerial, "Connection error: Unable to open the COM port (COM7)!"},
        {TForm1::kSourceSoundCard, ""}, // no input chosen opens nothing
        {TForm1::kSourceDevice, "Connection error!"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        main().Show("");
        SelectSource(c.source, 7);
        EXPECT_EQ(main().StatusText().toStdString(), c.opening);
        main().BBRECClick();
        EXPECT_FALSE(main().Recording());
        EXPECT_EQ(main().StatusText().toStdString(), Recorder::kSourceNotConnected);
        EXPECT_TRUE(main().statusBar()->toolTip().isEmpty()) << "the whole text shows on the line";
        EXPECT_TRUE(main().LREC->isHidden());
        EXPECT_TRUE(main().LRFN->isHidden());
        EXPECT_TRUE(Recordings().empty());
        EXPECT_TRUE(FileWritten().empty());
    }

    // The same REC records once the port opens.
    PtyPeer line;
    line.LinkAs(main().DataFolder(), "COM8");
    SelectSource(TForm1::kSourceSerial, 8);
    main().BBRECClick();
    ASSERT_TRUE(main().Recording());
    main().BBSTOPClick();
    const auto files = Recordings();
    ASSERT_EQ(files.size(), 1u);
    EXPECT_NE(ReadFileBytes(Docs() + files[0]).find(" source=\"0\" "), std::string::npos);
}

// Opened is not up: a TCP device that never answers and a sound card whose
// capture did not start send nothing either, so REC writes no file and says
// why; once the same source is up, REC records from it.
TEST_F(RecordingTest, RecFromASourceThatIsDownWritesNothingAndRecordsOnceItIsUp) {
    app.reset();
    AlsaCapturePcm& pcm = AlsaCapturePcm::Instance(); // before the source dialog lists the inputs
    pcm.SetInput(std::vector<int16_t>(2 * 44100, 0));
    pcm.SetBrokenOpens(false);
    dravon = DravonDevice::Load(std::string(qgetenv("ORVANE_PROGRAM_DIR")) + "/libdravon.so");
    ASSERT_TRUE(dravon) << "the built device library";
    Start(dravon.get());
    main().SetOptions(&options);

    DeviceSimulator device(program.time);
    ASSERT_TRUE(device.Listen());
    const uint16_t port = device.Port();
    device.Refuse();
    const auto tcp = [port](TDSRC& d) {
        d.RGCONTYPE->SetItemIndex(1);
        d.EHOST->setText("127.0.0.1");
        d.EPORT->setText(QString::number(port));
    };
    const auto input = [](const char* name) {
        return [name](TDSRC& d) { d.CBINPUT->setCurrentIndex(d.CBINPUT->findText(name)); };
    };

    struct Case {
        int source;
        std::function<void(TDSRC&)> down, up;
        std::string said;    // what the source said while down
        std::string header;  // the recording's source field once up
    };
    const Case cases[] = {
        {TForm1::kSourceDevice, tcp, tcp,
         "TCP Error: no answer from 127.0.0.1:" + std::to_string(port) + " within 10 s", " source=\"2\" "},
        {TForm1::kSourceSoundCard, input(AlsaCapturePcm::kBrokenName), input(AlsaCapturePcm::kName),
         "Sound card error!", " source=\"1\" "},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.source);
        std::filesystem::remove_all(Docs());
        std::filesystem::create_directories(Docs());
        main().Show("");
        SelectSource(c.source, 1, c.down);
        // The device link tells its silence only after its wait.
        for (int t = 0; t <= DeviceLink::kConnectTimeoutMs; t += 500) {
            QCoreApplication::processEvents();
            program.time.Advance(500);
        }
        EXPECT_EQ(main().StatusText().toStdString(), c.said);
        for (int press = 0; press < 2; ++press) { // REC, STOP, REC: no file either time
            main().BBRECClick();
            EXPECT_FALSE(main().Recording());
            EXPECT_EQ(main().StatusText().toStdString(), Recorder::kSourceNotConnected);
            EXPECT_TRUE(main().LREC->isHidden());
            main().BBSTOPClick();
        }
        EXPECT_TRUE(Recordings().empty());
        EXPECT_TRUE(FileWritten().empty());

        const bool fromDevice = c.source == TForm1::kSourceDevice;
        if (fromDevice) {
            ASSERT_TRUE(device.Listen(port));
        }
        SelectSource(c.source, 1, c.up);
        ASSERT_TRUE(QTest::qWaitFor([&] { return main().Sources().Connected(); }, 5000));
        main().BBRECClick();
        ASSERT_TRUE(main().Recording());
        if (fromDevice) {
            // The device's groups reach the file.
            ASSERT_TRUE(QTest::qWaitFor(
                [&] {
                    program.time.Advance(DeviceLink::kPollInterval);
                    return main().ShownGroupCount() >= 2;
                },
                5000));
        }
        main().BBSTOPClick();
        const auto files = Recordings();
        ASSERT_EQ(files.size(), 1u);
        const auto lines = Lines(ReadFileBytes(Docs() + files[0]));
        ASSERT_FALSE(lines.empty());
        EXPECT_NE(lines[0].find(c.header), std::string::npos) << lines[0];
        if (fromDevice) {
            EXPECT_GE(lines.size(), 3u);
        }
        RecordingPlugins::Seen().clear();
    }
}
