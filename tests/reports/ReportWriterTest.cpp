// The report writer against a fake main window: the template search, HTML
// mode, the fixed fields and lists, failures, and when automatic reports are
// written.
#include "FakeTime.h"
#include "ReportWriter.h"
#include "TestFiles.h"
#include "ValueTable.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

namespace {

struct ReportOptions : IOptions {
    std::string fileName = "%date %time %pi %ps.txt", templ = "orvane.otp";
    bool automatic = false, confirm = false;
    std::string ReportFileName() const override { return fileName; }
    std::string ReportTemplate() const override { return templ; }
    bool SaveReportsAutomatically() const override { return automatic; }
    bool AlwaysConfirmFrequency() const override { return confirm; }
};

struct FakeHost : IReportHost {
    std::unique_ptr<TValueTable> table = std::make_unique<TValueTable>();
    ReportOptions options;
    std::vector<std::string> commands, messages;
    std::string programFolder, documentsFolder;
    std::string pi = "----", ps = "--------";
    bool playing = false, endShown = false;
    std::string frequency, confirmed = "not specified";
    int frequencyDialogs = 0;
    std::string askedFile, pickedFile;

    FakeHost() { ClearValueTable(*table); }
    TValueTable& ValueTable() override { return *table; }
    const IOptions& Options() const override { return options; }
    void SendCommandToAll(const std::string& c, const std::string& p) override { commands.push_back(c + " " + p); }
    void Show(const std::string& m) override { messages.push_back(m); }
    const std::string& ProgramFolder() const override { return programFolder; }
    const std::string& DocumentsFolder() const override { return documentsFolder; }
    std::string PIText() const override { return pi; }
    std::string PSN() const override { return ps; }
    bool Playing() const override { return playing; }
    bool PlaybackEndShown() const override { return endShown; }
    std::string FrequencyText() const override { return frequency; }
    void ConfirmFrequency() override {
        ++frequencyDialogs;
        confirmed = "99.9 MHz";
    }
    std::string ConfirmedFrequency() const override { return confirmed; }
    std::string AskReportFile(const std::string& initialFile) override {
        askedFile = initialFile;
        return pickedFile;
    }
};

class ReportWriterTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.programFolder = dir.path().toStdString() + "/program/";
        host.documentsFolder = dir.path().toStdString() + "/docs/";
        fs::create_directories(host.programFolder);
        fs::create_directories(host.documentsFolder);
        time.SetLocal({2024, 5, 1, 13, 5, 9, 420});
    }
    void Template(const std::string& text) { WriteFileBytes(host.programFolder + "orvane.otp", text); }
    std::string Report(const std::string& name = "r.txt") { return ReadFileBytes(host.documentsFolder + name); }
    void Set(const std::string& key, const std::string& value) { AddValue(*host.table, key, value); }

    QTemporaryDir dir;
    FakeTime time;
    FakeHost host;
    ReportWriter writer{host, time};
};

TEST_F(ReportWriterTest, FillsTableKeysAndFixedFieldsAndTellsThePlugins) {
    Template("%PI% %ps%\r\n%date% %time%\r\nreset %rsdate% %rstime%\r\n%BER% of %BERC%\r\n");
    writer.DataReset({2024, 4, 30, 23, 59, 58, 0});
    Set("PI", "D3C2");
    Set("PS", "RADIO 1 ");
    Set("BER", "12 %");
    Set("BERC", "7 %");
    writer.SaveReport("r.txt");
    EXPECT_EQ(Report(), "D3C2 RADIO 1 \r\n2024/05/01 13:05:09\r\nreset 2024/04/30 23:59:58\r\n12 % of 7 %\r\n");
    const std::string path = host.documentsFolder + "r.txt";
    EXPECT_EQ(host.commands, (std::vector<std::string>{"REQUEST DECODERDATA", "FILEWRITTEN " + path}));
    EXPECT_TRUE(writer.ReportWritten());
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(ReportWriterTest, HtmlTemplateEscapesValuesPlainTextKeepsThem) {
    Set("RT", "Tom & Jerry <live>");
    Set("AF.MethodB.1", "<1>");
    Template("<html><body>%RT%\n%af.methodb%</body></html>");
    writer.SaveReport("r.html");
    EXPECT_EQ(Report("r.html"), "<html><body>Tom &amp; Jerry &lt;live&gt;\r\nList  1 = &lt;1&gt;</body></html>\r\n");

    Template("%RT%\n%af.methodb%");
    writer.SaveReport("r.txt");
    EXPECT_EQ(Report(), "Tom & Jerry <live>\r\nList  1 = <1>\r\n");
}

TEST_F(ReportWriterTest, ListsAndHistories) {
    Template("[%af.methodb%]\n[%ps.history%]\n[%rt.history%]\n[%pty.history%]");
    writer.SaveReport("empty.txt");
    // No AF keys and no histories: every list is empty.
    EXPECT_EQ(Report("empty.txt"), "[]\r\n[]\r\n[]\r\n[]\r\n");

    for (int n = 1; n <= 10; ++n) Set("AF.MethodB." + std::to_string(n), "AF" + std::to_string(n));
    Set("AF.MethodB.12", "after a gap, not listed");
    Set("PS.History.1", "FIRST");
    Set("PS.History.2", "SECOND");
    Set("RT.History.1", "only text");
    Set("PTY.History.2", "no entry 1, none listed");
    writer.SaveReport("r.txt");
    std::string af;
    for (int n = 1; n <= 10; ++n) af += (n > 1 ? "\r\n" : "") + std::string(n < 10 ? "List  " : "List ") +
                                       std::to_string(n) + " = AF" + std::to_string(n);
    EXPECT_EQ(Report(), "[" + af + "]\r\n[SECOND\r\nFIRST]\r\n[only text]\r\n[]\r\n");
}

TEST_F(ReportWriterTest, FrequencyField) {
    Template("%frequency%");
    writer.SaveReport("none.txt");
    EXPECT_EQ(Report("none.txt"), "not specified\r\n");

    host.frequency = "101.3";
    writer.SaveReport("main.txt");
    EXPECT_EQ(Report("main.txt"), "101.3 MHz\r\n");

    // With confirmation the dialog's own choice counts, shown or not.
    host.options.confirm = true;
    writer.SaveReport("dialog.txt");
    EXPECT_EQ(Report("dialog.txt"), "not specified\r\n");
    EXPECT_EQ(host.frequencyDialogs, 0);
}

TEST_F(ReportWriterTest, TemplateSearch) {
    WriteFileBytes(host.programFolder + "mine.otp", "bare %PI%");
    fs::create_directories(dir.path().toStdString() + "/elsewhere");
    const std::string absolute = dir.path().toStdString() + "/elsewhere/t.otp";
    WriteFileBytes(absolute, "absolute %PI%");
    Set("PI", "1234");

    host.options.templ = "mine.otp";
    writer.SaveReport("bare.txt");
    EXPECT_EQ(Report("bare.txt"), "bare 1234\r\n");

    host.options.templ = absolute;
    writer.SaveReport("abs.txt");
    EXPECT_EQ(Report("abs.txt"), "absolute 1234\r\n");

    // A name with a folder part is not looked for in the program folder.
    WriteFileBytes(host.programFolder + "t.otp", "wrong one");
    host.options.templ = "elsewhere/t.otp";
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(dir.path()));
    writer.SaveReport("relative.txt");
    QDir::setCurrent(before);
    EXPECT_EQ(Report("relative.txt"), "absolute 1234\r\n");
}

TEST_F(ReportWriterTest, RelativeNameLandsInTheDocumentsFolderWithoutChangingTheCurrentFolder) {
    Template("x");
    const QString before = QDir::currentPath();
    writer.SaveReport("rel.txt");
    EXPECT_EQ(QDir::currentPath(), before);
    EXPECT_EQ(Report("rel.txt"), "x\r\n");
    EXPECT_FALSE(fs::exists(before.toStdString() + "/rel.txt"));
}

TEST_F(ReportWriterTest, AMissingDocumentsFolderIsMadeForAutomaticAndManualReports) {
    Template("%PI%");
    Set("PI", "D3C2");
    host.pi = "D3C2";
    host.options.automatic = true;
    host.options.fileName = "auto.txt";
    host.documentsFolder += "Documents/";
    writer.DataReset(time.Now());
    writer.ChkReport();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Report("auto.txt"), "D3C2\r\n");

    fs::remove_all(host.documentsFolder);
    host.pickedFile = host.documentsFolder + "manual.txt";
    writer.CreateReport1Click();
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(Report("manual.txt"), "D3C2\r\n");

    // Only the documents folder is made: another missing folder still fails.
    host.pickedFile = dir.path().toStdString() + "/elsewhere/r.txt";
    writer.CreateReport1Click();
    EXPECT_EQ(host.messages, std::vector<std::string>{ReportWriter::kCannotWrite});
    EXPECT_FALSE(fs::exists(dir.path().toStdString() + "/elsewhere"));
}

TEST_F(ReportWriterTest, MissingTemplateWritesAnEmptyReportButNeverReplacesAFileUnasked) {
    host.options.templ = "gone.otp";
    writer.SaveReport("new.txt");
    EXPECT_EQ(host.messages, std::vector<std::string>{"Cannot find the report template file (gone.otp)!"});
    ASSERT_TRUE(fs::exists(host.documentsFolder + "new.txt"));
    EXPECT_EQ(Report("new.txt"), "");

    // An automatic report onto an existing file leaves the file alone.
    WriteFileBytes(host.documentsFolder + "kept.txt", "earlier report");
    host.commands.clear();
    writer.SaveReport("kept.txt");
    EXPECT_EQ(Report("kept.txt"), "earlier report");
    EXPECT_EQ(host.commands, std::vector<std::string>{"REQUEST DECODERDATA"});

    // The save dialog asked: the user chose to replace it.
    writer.SaveReport("kept.txt", true);
    EXPECT_EQ(Report("kept.txt"), "");
}

TEST_F(ReportWriterTest, ATargetThatCannotBeWrittenShowsTheMessageAndTellsNoPlugin) {
    Template("x");
    // Permission bits do not stop root, who runs these tests in containers:
    // a folder in the way and a missing folder stop everyone.
    fs::create_directories(host.documentsFolder + "taken.txt");
    for (const std::string& name : {std::string("taken.txt"), host.documentsFolder + "no/such/folder/r.txt"}) {
        host.commands.clear();
        host.messages.clear();
        writer.SaveReport(name);
        EXPECT_EQ(host.messages, std::vector<std::string>{"Can't write to the file, please remove write protection!"})
            << name;
        EXPECT_EQ(host.commands, std::vector<std::string>{"REQUEST DECODERDATA"}) << name;
    }
}

TEST_F(ReportWriterTest, AutomaticReportOncePerResetAndOnlyWhenDue) {
    Template("%PI%");
    host.options.fileName = "auto %pi.txt";
    host.pi = "D3C2";
    Set("PI", "D3C2");
    const std::string file = host.documentsFolder + "auto D3C2.txt";

    // Straight after creation no report is due.
    writer.ChkReport();
    EXPECT_FALSE(fs::exists(file));

    writer.DataReset(time.Now());
    writer.ChkReport(); // the option is off
    EXPECT_FALSE(fs::exists(file));

    host.options.automatic = true;
    struct Blocker {
        const char* name;
        std::function<void(FakeHost&)> set;
    };
    const Blocker blockers[] = {
        {"no PI", [](FakeHost& h) { h.pi = "----"; }},
        {"playing", [](FakeHost& h) { h.playing = true; }},
        {"playback just ended", [](FakeHost& h) { h.endShown = true; }},
    };
    for (const auto& b : blockers) {
        b.set(host);
        writer.ChkReport();
        EXPECT_TRUE(fs::is_empty(host.documentsFolder)) << b.name;
        host.pi = "D3C2";
        host.playing = host.endShown = false;
    }

    writer.ChkReport();
    EXPECT_EQ(ReadFileBytes(file), "D3C2\r\n");
    fs::remove(file);
    writer.ChkReport(); // written already since the last reset
    EXPECT_FALSE(fs::exists(file));

    writer.DataReset(time.Now());
    writer.ChkReport();
    EXPECT_TRUE(fs::exists(file));
}

TEST_F(ReportWriterTest, CreateReportAsksForTheFileAndRemembersItsFolder) {
    Template("%frequency% %PI%");
    Set("PI", "D3C2");
    host.pi = "D3C2";
    host.ps = "A/B:C";
    host.options.fileName = "/some/where/%pi %ps.txt";

    host.pickedFile.clear();
    writer.CreateReport1Click();
    // The dialog opens in the documents folder on the file-name part expanded.
    EXPECT_EQ(host.askedFile, host.documentsFolder + "D3C2 A_B_C.txt");
    EXPECT_TRUE(host.commands.empty()); // cancelled: nothing more

    fs::create_directories(dir.path().toStdString() + "/picked");
    const std::string picked = dir.path().toStdString() + "/picked/mine.txt";
    WriteFileBytes(picked, "replaced after the dialog asked");
    host.pickedFile = picked;
    host.options.confirm = true;
    writer.CreateReport1Click();
    EXPECT_EQ(host.frequencyDialogs, 1);
    EXPECT_EQ(ReadFileBytes(picked), "99.9 MHz D3C2\r\n");
    EXPECT_EQ(writer.ReportFolder(), dir.path().toStdString() + "/picked/");

    writer.CreateReport1Click();
    EXPECT_EQ(host.askedFile, dir.path().toStdString() + "/picked/D3C2 A_B_C.txt");
}

TEST_F(ReportWriterTest, ShippedTemplatesFillWithoutLeftOverFields) {
    const std::string shipped = std::getenv("ORVANE_PROGRAM_DIR") ? std::getenv("ORVANE_PROGRAM_DIR") : "";
    ASSERT_FALSE(shipped.empty());
    for (const char* name : {"orvane.otp", "orvane-html.otp"}) {
        const std::string text = ReadFileBytes(shipped + "/" + name);
        ASSERT_FALSE(text.empty()) << name;
        EXPECT_EQ(text.find('\n'), text.find("\r\n") + 1) << name; // CR LF line ends
        host.options.templ = shipped + "/" + name;
        Set("PI", "D3C2");
        writer.SaveReport("shipped.txt");
        const std::string report = Report("shipped.txt");
        EXPECT_NE(report.find("D3C2"), std::string::npos) << name;
        EXPECT_EQ(report.find('%'), std::string::npos) << name;
        EXPECT_TRUE(host.messages.empty()) << name;
    }
}

} // namespace
