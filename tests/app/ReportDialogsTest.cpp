// The report wiring of the main window, the decoder data window, the
// frequency dialog and the about box, in the running program.
#include "AppFakes.h"
#include "GroupRecord.h"
#include "IniFile.h"
#include "LinkLabel.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "ValueTable.h"
#include "veltutil.h"
#include "about.h"
#include "dd.h"
#include "freq.h"

#include <orvane/plugin.h>
#include <orvane/version.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QDir>
#include <QEnterEvent>
#include <QGroupBox>
#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QTest>
#include <QUrl>
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

namespace {

struct ReportOptions : IOptions {
    bool automatic = false;
    std::string fileName = "auto %pi.txt";
    bool SaveReportsAutomatically() const override { return automatic; }
    std::string ReportFileName() const override { return fileName; }
};

// A plug-in that answers "REQUEST" by writing its keys into the table it was
// given, as the group analyser refreshes its statistics.
struct AnsweringPlugin : IPluginLoader {
    static inline TValueTable* table = nullptr;
    static inline int requests = 0;
    static intptr_t Initialize(intptr_t, TValueTable* hostRef) {
        table = hostRef;
        return 0;
    }
    static void Command(const char* command, const char* parameter) {
        if (std::string(command) != "REQUEST" || std::string(parameter) != "DECODERDATA") return;
        ++requests;
        AddValue(*table, "Answer.Count", std::to_string(requests));
        AddValue(*table, "", "a value under no key");
        AddValue(*table, "Answer.Text", "<b>&</b>");
    }
    static const char* Name() { return "Answering"; }
    std::vector<std::string> List(const std::string&) override { return {"answering.so"}; }
    void* Open(const std::string&, std::string&) override { return &requests; }
    void* Symbol(void*, const char* name) override {
        const std::string n = name;
        if (n == "Initialize") return reinterpret_cast<void*>(&Initialize);
        if (n == "Command") return reinterpret_cast<void*>(&Command);
        if (n == "PluginName") return reinterpret_cast<void*>(&Name);
        return nullptr;
    }
    void Close(void*) override {}
};

class ReportDialogsTest : public ::testing::Test {
protected:
    TForm1& Start(AppEnv env) {
        app = std::make_unique<OrvaneApp>(std::move(env));
        app->CreateWindows();
        return *app->Forms().form1;
    }
    TForm1& Start() {
        AppEnv env = program.Env({}, false);
        AnsweringPlugin::requests = 0;
        env.pluginLoader = [] { return std::make_unique<AnsweringPlugin>(); };
        return Start(std::move(env));
    }
    TFDD& Fdd() { return *app->Forms().fdd; }
    std::vector<std::pair<std::string, std::string>> Rows() {
        std::vector<std::pair<std::string, std::string>> rows;
        for (int r = 0; r < Fdd().VLEDB->rowCount(); ++r)
            rows.emplace_back(Fdd().VLEDB->item(r, 0)->text().toStdString(),
                              Fdd().VLEDB->item(r, 1)->text().toStdString());
        return rows;
    }
    void SendStation(TForm1& main, int32_t pi) {
        for (int seg = 0; seg < 4; ++seg)
            main.SendRDSGroup(GroupRecord(pi, seg, 0xE0CD, ('A' + 2 * seg) << 8 | ('B' + 2 * seg)));
    }

    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
};

using Row = std::pair<std::string, std::string>;

TEST_F(ReportDialogsTest, FrequencyDialogListsNotSpecifiedThen87_5To108MHz) {
    Start();
    TDFREQ& f = *app->Forms().dfreq;
    ASSERT_EQ(f.CBFREQ->count(), 207);
    EXPECT_EQ(f.CBFREQ->itemText(0), "not specified");
    EXPECT_EQ(f.CBFREQ->itemText(1), "87.5 MHz");
    EXPECT_EQ(f.CBFREQ->itemText(6), "88.0 MHz");
    EXPECT_EQ(f.CBFREQ->itemText(206), "108.0 MHz");
    EXPECT_EQ(f.FrequencyText(), "not specified");
    EXPECT_TRUE(f.Button1->isDefault());
    EXPECT_EQ(f.Button1->text(), "Save");
}

// The style's menu-like popup ignores the item limit and runs the 207 items
// down the whole screen.
TEST_F(ReportDialogsTest, FrequencyListDropsDownSixteenItems) {
    Start();
    TDFREQ& f = *app->Forms().dfreq;
    f.show();
    f.CBFREQ->showPopup();
    QAbstractItemView* list = f.CBFREQ->view();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(list->window()));
    const int row = list->sizeHintForRow(0);
    ASSERT_GT(row, 0);
    const int rows = list->viewport()->height() / row;
    EXPECT_GE(rows, 15);
    EXPECT_LE(rows, 16);
    f.CBFREQ->hidePopup();
    f.hide();
}

TEST_F(ReportDialogsTest, DecoderDataShowsNothingForTheResetCommandEntry) {
    TForm1& main = Start(program.Env({}, false));
    ClearValueTable(main.ValueTable());
    Fdd().Button3Click();
    EXPECT_EQ(Fdd().VLEDB->rowCount(), 0);
    EXPECT_EQ(Fdd().LTR->text(), "Total records: 0    ");
}

TEST_F(ReportDialogsTest, DecoderDataRefreshAsksThePluginsFirstAndCountsTheRowsShown) {
    TForm1& main = Start();
    ClearValueTable(main.ValueTable());
    AddValue(main.ValueTable(), "PI", "D3C2");
    Fdd().Button3Click();
    EXPECT_EQ(AnsweringPlugin::requests, 1);
    EXPECT_EQ(Rows(), (std::vector<Row>{{"PI", "D3C2"}, {"Answer.Count", "1"}, {"Answer.Text", "<b>&</b>"}}));
    // "COMMAND" and the entry without a key are in the table but not shown.
    EXPECT_EQ(Fdd().LTR->text(), "Total records: 3    ");

    // Showing the window refreshes it.
    Fdd().show();
    EXPECT_EQ(AnsweringPlugin::requests, 2);
    EXPECT_EQ(Rows()[1], Row("Answer.Count", "2"));
    // Escape closes it, as "Close" does.
    QTest::keyClick(&Fdd(), Qt::Key_Escape);
    EXPECT_FALSE(Fdd().isVisible());
    EXPECT_EQ(Fdd().result(), QDialog::Accepted);
}

TEST_F(ReportDialogsTest, DecoderDataKeepsTheSelectedRowWhileTheListIsLongEnough) {
    TForm1& main = Start();
    for (int i = 0; i < 5; ++i) AddValue(main.ValueTable(), "K" + std::to_string(i), "v");
    Fdd().Button3Click(); // BERC, 5 keys and the plug-in's 2
    Fdd().VLEDB->selectRow(6);
    Fdd().Button3Click();
    EXPECT_EQ(Fdd().VLEDB->currentRow(), 6);

    ClearValueTable(main.ValueTable()); // two rows are left after the plug-in answers
    Fdd().Button3Click();
    EXPECT_EQ(Fdd().VLEDB->rowCount(), 2);
    EXPECT_TRUE(Fdd().VLEDB->selectedItems().isEmpty());
}

TEST_F(ReportDialogsTest, DecoderDataCapsTheCountInTheTableAndListsNothingForANegativeOne) {
    TForm1& main = Start(program.Env({}, false));
    TValueTable& table = main.ValueTable();
    for (int i = 1; i < 256; ++i) AddValue(table, "K" + std::to_string(i), std::to_string(i));
    table.Count = 100000;
    Fdd().Button3Click();
    EXPECT_EQ(table.Count, 256);
    EXPECT_EQ(Fdd().VLEDB->rowCount(), 255);
    EXPECT_EQ(Fdd().LTR->text(), "Total records: 255    ");

    table.Count = -5;
    Fdd().Button3Click();
    EXPECT_EQ(Fdd().VLEDB->rowCount(), 0);
    EXPECT_EQ(Fdd().LTR->text(), "Total records: 0    ");
}

TEST_F(ReportDialogsTest, DecoderDataSavesAnIniFileThatReadsBack) {
    TForm1& main = Start();
    AddValue(main.ValueTable(), "PS", "RADIO 1");
    AddValue(main.ValueTable(), "Multi", "line\r\nbreak");
    const std::string file = program.dir.path().toStdString() + "/data";
    program.modal.fileToSave = file; // no extension: the dialog adds ".txt"
    Fdd().Button1Click();
    TIniFile ini(file + ".txt");
    EXPECT_EQ(ini.ReadString("DecoderData", "PS", "?"), "RADIO 1");
    EXPECT_EQ(ini.ReadString("DecoderData", "Multi", "?"), "line  break");
    EXPECT_EQ(ini.ReadString("DecoderData", "COMMAND", "?"), "");
    EXPECT_FALSE(fs::exists(file));

    // Cancelled: nothing is written; unwritable: the status line says so.
    program.modal.fileToSave.clear();
    Fdd().Button1Click();
    fs::create_directories(program.dir.path().toStdString() + "/folder.txt");
    program.modal.fileToSave = program.dir.path().toStdString() + "/folder.txt";
    Fdd().Button1Click();
    EXPECT_EQ(main.StatusText(), "Can't write to the file, please remove write protection!");
}

TEST_F(ReportDialogsTest, AutomaticReportBeforeEveryResetAndAtClose) {
    ReportOptions options;
    options.automatic = true;
    TForm1& main = Start(program.Env({}, false));
    main.SetOptions(&options);
    WriteFileBytes(main.ProgramFolder() + "orvane.otp", "%PI% %PS%");
    fs::create_directories(main.DocumentsFolder());
    const std::string report = main.DocumentsFolder() + "auto D3C2.txt";

    main.Clear1Click(); // no PI yet
    EXPECT_FALSE(fs::exists(main.DocumentsFolder() + "auto ----.txt"));
    SendStation(main, 0xD3C2);
    main.Clear1Click();
    EXPECT_EQ(ReadFileBytes(report), "D3C2 ABCDEFGH\r\n") << main.StatusText().toStdString();

    // The reset made the next report due: closing writes it.
    fs::remove(report);
    SendStation(main, 0xD3C2);
    main.close();
    EXPECT_EQ(ReadFileBytes(report), "D3C2 ABCDEFGH\r\n");
}

TEST_F(ReportDialogsTest, CreateReportFromTheMenuWithTheChosenFile) {
    program.time.SetLocal({2024, 5, 1, 13, 5, 9, 0});
    TForm1& main = Start(program.Env({}, false));
    WriteFileBytes(main.ProgramFolder() + "orvane.otp", "%PI% on %frequency%");
    SendStation(main, 0x1234);
    main.CBFREQ->setCurrentIndex(main.CBFREQ->findText("101.3"));
    const std::string file = program.dir.path().toStdString() + "/chosen.txt";
    program.modal.fileToSave = file;
    main.CreateReport1Click();
    EXPECT_EQ(ReadFileBytes(file), "1234 on 101.3 MHz\r\n");
    // The dialog opened in the documents folder on the default name expanded.
    EXPECT_EQ(program.modal.saveFolder, main.DocumentsFolder() + "2024-05-01 13-05-09 1234 ABCDEFGH.txt");
}

TEST_F(ReportDialogsTest, TheOptionsDialogDrivesReportsAndTheWorkspaceKeepsTheirFolder) {
    const std::string root = program.dir.path().toStdString();
    fs::create_directories(root + "/templates");
    WriteFileBytes(root + "/templates/mine.otp", "mine %PI%");
    // The user data folder of the fake program, as the settings tests find it.
    const std::string data = GetDataFolder(false, true, program.ProgramFolder() + "orvane");
    WriteFileBytes(data + "default.owk", "[General]\nReportDir=" + root + "/reports/\nAutosaveReports=1\n"
                                         "ReportFilename=auto %pi.txt\nReportTemplate=" + root +
                                         "/templates/mine.otp\n");
    TForm1& main = Start(program.Env({}, false));
    fs::create_directories(main.DocumentsFolder());
    SendStation(main, 0xD3C2);
    main.Clear1Click();
    EXPECT_EQ(ReadFileBytes(main.DocumentsFolder() + "auto D3C2.txt"), "mine D3C2\r\n");

    // The save dialog starts in the workspace's folder; the folder of the
    // report saved by hand goes back into the workspace.
    SendStation(main, 0xD3C2);
    fs::create_directories(root + "/picked");
    program.modal.fileToSave = root + "/picked/by hand.txt";
    main.CreateReport1Click();
    EXPECT_EQ(program.modal.saveFolder.rfind(root + "/reports/", 0), 0u) << program.modal.saveFolder;
    EXPECT_EQ(ReadFileBytes(root + "/picked/by hand.txt"), "mine D3C2\r\n");
    main.SaveWorkspace();
    EXPECT_EQ(TIniFile(main.WorkspaceFile()).ReadString("General", "ReportDir", ""), root + "/picked/");
}

TEST_F(ReportDialogsTest, MainWindowAndAboutBoxShowOurIcon) {
    TForm1& main = Start();
    EXPECT_FALSE(main.windowIcon().isNull());
    ASSERT_NE(app->Forms().about->ProgramIcon->pixmap().isNull(), true);
}

TEST_F(ReportDialogsTest, AboutBoxLinksOpenTheFoldersAsFileUrls) {
    // A folder name that a hand-made "file:///" link would break.
    const std::string folder = program.dir.path().toStdString() + "/odd #1 100% [x]/";
    fs::create_directories(folder);
    AppEnv env = program.Env({}, false);
    env.programPath = folder + "orvane";
    TForm1& main = Start(std::move(env));
    TAboutBox& about = *app->Forms().about;
    EXPECT_EQ(about.ProductName->text(), "Orvane");
    EXPECT_TRUE(about.ProductName->font().bold());
    EXPECT_EQ(about.Version->text(), "RDS Decoder and Analyser");
    // The version of the build, as the manual names it.
    EXPECT_EQ(about.Comments->text(), "Version " ORVANE_VERSION);

    const std::pair<controls::TLinkLabel*, std::string> links[] = {
        {about.URL2, folder}, {about.URL3, main.DataFolder()}, {about.URL4, folder + "plugins/"}};
    EXPECT_NE(main.DataFolder(), folder);
    for (const auto& [label, path] : links) {
        EXPECT_EQ(label->text().toStdString(), path);
        EXPECT_FALSE(label->isHidden()) << path;
        program.shell.opened.clear();
        label->Click();
        ASSERT_EQ(program.shell.opened.size(), 1u) << path;
        const QUrl url(QString::fromStdString(program.shell.opened[0]), QUrl::StrictMode);
        EXPECT_TRUE(url.isValid()) << program.shell.opened[0];
        EXPECT_EQ(url.scheme(), "file");
        EXPECT_EQ(url.toLocalFile().toStdString(), path);
    }
}

// A desktop with no file manager or browser set up: the click says what
// could not be opened and what to do instead.
TEST_F(ReportDialogsTest, AboutBoxLinksThatNothingOpensSaySo) {
    TForm1& main = Start();
    TAboutBox& about = *app->Forms().about;
    about.URL4->Click();
    EXPECT_TRUE(program.modal.messages.empty());
    program.shell.refuseOpen = true;
    const std::pair<controls::TLinkLabel*, std::string> links[] = {
        {about.URL2, "Can't start a file manager for " + main.ProgramFolder() +
                         ". \rOpen the folder with a file manager of your choice."},
        {about.URL4, "Can't start a file manager for " + main.ProgramFolder() +
                         "plugins/. \rOpen the folder with a file manager of your choice."},
        {about.URL1, "Can't start a web browser for https://www.orvane.org. \rEnter the address in a browser of your "
                     "choice."}};
    for (const auto& [label, message] : links) {
        program.modal.messages.clear();
        program.shell.opened.clear();
        label->Click();
        EXPECT_EQ(program.shell.opened.size(), 1u);
        EXPECT_EQ(program.modal.messages, std::vector<std::string>{message});
    }
}

TEST_F(ReportDialogsTest, AboutBoxLinksLookLikeLinks) {
    Start();
    TAboutBox& about = *app->Forms().about;
    about.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&about));
    const QColor windowText = about.GroupBox1->palette().color(QPalette::WindowText);
    const std::pair<controls::TLinkLabel*, QColor> links[] = {
        {about.URL1, QColor(Qt::blue)}, {about.URL2, windowText}, {about.URL3, windowText}, {about.URL4, windowText}};
    for (const auto& [label, colour] : links) {
        SCOPED_TRACE(label->objectName().toStdString());
        EXPECT_EQ(label->cursor().shape(), Qt::PointingHandCursor);
        EXPECT_TRUE(label->font().underline());
        EXPECT_EQ(label->palette().color(QPalette::WindowText), colour);
        // Under the mouse: white and underlined; then back.
        QTest::mouseMove(label, label->rect().center());
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(label, &enter);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), QColor(Qt::white));
        EXPECT_TRUE(label->font().underline());
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(label, &leave);
        EXPECT_EQ(label->palette().color(QPalette::WindowText), colour);
    }
    // The picture a reviewer looks at.
    if (const char* out = std::getenv("ORVANE_WRITE_SCREENSHOTS")) {
        EXPECT_TRUE(about.grab().save(QDir(out).filePath("about-box.png")));
    }
}

TEST_F(ReportDialogsTest, AboutBoxHidesTheUserDataLinkWhenItIsTheProgramFolder) {
    // The user data folder is <XDG_DATA_HOME>/<program folder's name>.
    const std::string saved = std::getenv("XDG_DATA_HOME");
    setenv("XDG_DATA_HOME", program.dir.path().toUtf8().constData(), 1);
    TForm1& main = Start(program.Env({}, false));
    setenv("XDG_DATA_HOME", saved.c_str(), 1);
    ASSERT_EQ(main.DataFolder(), main.ProgramFolder());
    TAboutBox& about = *app->Forms().about;
    EXPECT_TRUE(about.URL3->isHidden());
    EXPECT_FALSE(about.URL2->isHidden());
    EXPECT_FALSE(about.URL4->isHidden());
}

TEST_F(ReportDialogsTest, AboutBoxClosesOnEscape) {
    Start();
    TAboutBox& about = *app->Forms().about;
    about.show();
    QTest::keyClick(&about, Qt::Key_Escape);
    EXPECT_FALSE(about.isVisible());
    EXPECT_EQ(about.result(), QDialog::Accepted);
}

} // namespace
