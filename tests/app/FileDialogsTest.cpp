// The program's file dialogs: the folder and filter each one starts with, the
// folder it remembers, and the extension a typed name gets.
#include "AppFakes.h"
#include "IniFile.h"
#include "ModalRunner.h"
#include "OrvaneApp.h"
#include "Shell.h"
#include "Unit1.h"
#include "WindowFit.h"
#include "dd.h"
#include "si.h"

#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>
#include <fstream>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

namespace {

TEST(FilterExtension, TakesTheFirstPatternOfTheChosenFilter) {
    const std::string play =
        "Orvane file (*.orv);;Mervix or any ASCII file (*);;Kivo file (*.smp);;Tarn RDS Logger (*.log *.rds *.rawrds)";
    const struct {
        std::string filter;
        int index;
        std::string extension;
    } cases[] = {
        {"Orvane Workspace (*.owk)", 0, "owk"},
        {play, 0, "orv"},
        {play, 1, ""}, // any file: no extension to add
        {play, 2, "smp"},
        {play, 3, "log"},
        {"Text (*.txt *.log)", 0, "txt"},
        {"*.jpg", 0, "jpg"},
        {"All (*.*)", 0, ""},
        {"Odd (*.o?k)", 0, ""},
        {"Orvane Workspace (*.owk)", 5, "owk"}, // an index out of range means the first
    };
    for (const auto& c : cases) EXPECT_EQ(FilterExtension(c.filter, c.index), c.extension) << c.filter << c.index;

    const std::string ws = "Orvane Workspace (*.owk)";
    EXPECT_EQ(WithFilterExtension("/a/ws1", ws, 0), "/a/ws1.owk");
    EXPECT_EQ(WithFilterExtension("/a/ws1.txt", ws, 0), "/a/ws1.txt"); // an extension typed stays
    EXPECT_EQ(WithFilterExtension("/a.b/ws1", ws, 0), "/a.b/ws1.owk"); // a dot in the folder is no extension
    EXPECT_EQ(WithFilterExtension("", ws, 0), ""); // cancelled
    EXPECT_EQ(WithFilterExtension("/a/ws1", play, 1), "/a/ws1");
}

class FileDialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        QDir(QString::fromStdString(Data())).removeRecursively();
        QDir().mkpath(QString::fromStdString(Data()));
        // A fresh account: no documents folder yet.
        fs::remove_all(Docs());
        fs::create_directories(Elsewhere());
    }
    void TearDown() override { app.reset(); }

    static std::string Data() { return std::string(qgetenv("XDG_DATA_HOME")) + "/orvane/"; }
    static std::string Docs() { return std::string(qgetenv("XDG_DOCUMENTS_DIR")) + "/"; }
    std::string Elsewhere() const { return program.dir.path().toStdString() + "/elsewhere/"; }

    TForm1& Start() {
        app = std::make_unique<OrvaneApp>(program.Env({}, false));
        app->CreateWindows();
        return *app->Forms().form1;
    }
    // The workspace keys as the next save writes them.
    std::string SavedKey(TForm1& main, const std::string& key) {
        main.SaveWorkspace1Click();
        return TIniFile(main.WorkspaceFile()).ReadString("General", key, "?");
    }
    void Cancel() {
        program.modal.fileToOpen.clear();
        program.modal.fileToSave.clear();
    }

    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
};

TEST_F(FileDialogsTest, PlayOpensInTheStoredFolderWithTheStoredFilterAndStoresThePick) {
    TForm1& main = Start();
    Cancel();
    main.PlayFile1Click();
    EXPECT_EQ(program.modal.openFolder, Docs());
    EXPECT_TRUE(fs::is_directory(Docs()));
    EXPECT_EQ(program.modal.openFilterShown, 0);

    // The user picks a file in another folder under "Kivo file".
    const std::string file = Elsewhere() + "take.orv";
    std::ofstream(file) << "# nothing to play\n";
    program.modal.fileToOpen = file;
    program.modal.openFilter = 2;
    main.PlayFile1Click();
    EXPECT_EQ(main.Player().PlayedName(), file);
    Cancel();
    main.PlayFile1Click();
    EXPECT_EQ(program.modal.openFolder, Elsewhere());
    EXPECT_EQ(program.modal.openFilterShown, 2);
    EXPECT_EQ(SavedKey(main, "PlayDialogDir"), Elsewhere());
    EXPECT_EQ(SavedKey(main, "PlayDialogFilterIndex"), "3");

    // A workspace's stored folder and filter are where the dialog starts.
    const std::string other = program.dir.path().toStdString() + "/logs/";
    fs::create_directories(other);
    const std::string ws = Elsewhere() + "stored.owk";
    {
        TIniFile ini(ws);
        ini.WriteString("General", "PlayDialogDir", other);
        ini.WriteInteger("General", "PlayDialogFilterIndex", 4);
        ini.UpdateFile();
    }
    program.modal.fileToOpen = ws;
    main.OpenWorkspace1Click();
    Cancel();
    program.modal.openFilter = -1;
    main.PlayFile1Click();
    EXPECT_EQ(program.modal.openFolder, other);
    EXPECT_EQ(program.modal.openFilterShown, 3);
}

TEST_F(FileDialogsTest, RecordingStoresTheFolderOfTheFileChosen) {
    TForm1& main = Start();
    program.modal.fileToSave = Elsewhere() + "take";
    program.modal.saveFilter = 0;
    main.BBRECFNClick();
    // It opened in the folder of the recording template, made for it.
    EXPECT_EQ(program.modal.saveFolder, Docs());
    EXPECT_TRUE(fs::is_directory(Docs()));
    EXPECT_EQ(main.LRFN->text(), "take.orv");
    EXPECT_EQ(main.DialogState().recDialogDir, Elsewhere());
    EXPECT_EQ(SavedKey(main, "RecDialogDir"), Elsewhere());
}

TEST_F(FileDialogsTest, WorkspaceDialogsStartInTheDataFolderThenWhereTheLastPickWas) {
    TForm1& main = Start();
    program.modal.fileToSave = Elsewhere() + "ws1";
    main.SaveWorkspaceAs1Click();
    EXPECT_EQ(program.modal.saveFolder, Data());
    // The name typed without an extension gets ".owk", so "Open Workspace..."
    // lists it.
    EXPECT_EQ(main.WorkspaceFile(), Elsewhere() + "ws1.owk");
    EXPECT_TRUE(fs::exists(Elsewhere() + "ws1.owk"));
    EXPECT_FALSE(fs::exists(Elsewhere() + "ws1"));
    EXPECT_EQ(main.windowTitle(), "Orvane - ws1.owk");
    Cancel();
    main.SaveWorkspaceAs1Click();
    EXPECT_EQ(program.modal.saveFolder, Elsewhere());

    main.OpenWorkspace1Click();
    EXPECT_EQ(program.modal.openFolder, Data());
    fs::copy_file(Elsewhere() + "ws1.owk", program.dir.path().toStdString() + "/ws2.owk");
    program.modal.fileToOpen = program.dir.path().toStdString() + "/ws2.owk";
    main.OpenWorkspace1Click();
    EXPECT_EQ(main.WorkspaceFile(), program.modal.fileToOpen);
    Cancel();
    main.OpenWorkspace1Click();
    EXPECT_EQ(program.modal.openFolder, program.dir.path().toStdString() + "/");
}

// The report, status-image and decoder-data dialogs on a fresh account: each
// starts in the documents folder, made for it, then where its last file went,
// and a name typed without an extension gets the filter's.
TEST_F(FileDialogsTest, SaveDialogsStartInTheDocumentsFolderThenWhereTheLastFileWent) {
    struct Case {
        const char* name;
        std::function<void()> click;
        const char* proposed; // the name the dialog proposes; nullptr: one made from the data
        const char* typed;
        const char* written;
        const char* workspaceKey; // the key that keeps the folder, nullptr when none does
        bool filled;              // the file written holds something (no template here: the report is empty)
    };
    const Case cases[] = {
        {"report", [this] { app->Forms().form1->CreateReport1Click(); }, nullptr, "report", "report.txt",
         "ReportDir", false},
        {"status image",
         [this] {
             app->Forms().form1->MSIClick();
             app->Forms().fsi->Button2Click();
         },
         "status.jpg", "shot", "shot.jpg", nullptr, true},
        {"decoder data", [this] { app->Forms().fdd->Button1Click(); }, "", "data", "data.txt", nullptr, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        app.reset();
        fs::remove_all(Docs());
        TForm1& main = Start();
        const auto startedIn = [&](const std::string& folder) {
            const std::string& at = program.modal.saveFolder;
            if (at.compare(0, folder.size(), folder) != 0) return false;
            const std::string name = at.substr(folder.size());
            return c.proposed ? name == c.proposed : !name.empty() && name.find('/') == std::string::npos;
        };
        Cancel();
        c.click();
        EXPECT_TRUE(startedIn(Docs())) << program.modal.saveFolder;
        EXPECT_TRUE(fs::is_directory(Docs()));

        program.modal.fileToSave = Elsewhere() + c.typed;
        c.click();
        EXPECT_TRUE(program.modal.messages.empty());
        ASSERT_TRUE(fs::exists(Elsewhere() + c.written));
        if (c.filled) {
            EXPECT_GT(fs::file_size(Elsewhere() + c.written), 0u);
        }
        EXPECT_FALSE(fs::exists(Elsewhere() + c.typed));
        if (c.workspaceKey) {
            EXPECT_EQ(SavedKey(main, c.workspaceKey), Elsewhere());
        }
        Cancel();
        c.click();
        EXPECT_TRUE(startedIn(Elsewhere())) << program.modal.saveFolder;
    }
}

// What the user does once a modal box of that kind is up, while the runner
// waits in it. It is looked for from the runner's own event loop, never from
// a loop nested in it; when none shows, the test fails and whatever modal
// window is up instead is closed, so the test cannot hang in it.
template <class Box>
void WhenUp(std::function<void(Box&)> user) {
    auto* timer = new QTimer(qApp);
    auto tries = std::make_shared<int>(0);
    QObject::connect(timer, &QTimer::timeout, [timer, user, tries] {
        auto* box = qobject_cast<Box*>(QApplication::activeModalWidget());
        const bool up = box && box->isVisible();
        if (!up && ++*tries <= 1000) return;
        timer->stop();
        timer->deleteLater();
        if (up) {
            user(*box);
            return;
        }
        ADD_FAILURE() << "no " << Box::staticMetaObject.className() << " showed";
        if (QWidget* w = QApplication::activeModalWidget()) w->close();
    });
    timer->start(10);
}

// The real dialog behind every open and save, driven through its widgets as
// a user would: the filter shown, the filter chosen and the default suffix.
class RealFileDialog : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(dir.isValid());
        QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    }
    void TearDown() override { QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false); }

    // Picks another filter in the list as the keyboard does.
    static void ChooseFilter(QFileDialog& dialog, Qt::Key key, int times = 1) {
        auto* combo = dialog.findChild<QComboBox*>("fileTypeCombo");
        ASSERT_NE(combo, nullptr);
        for (int i = 0; i < times; ++i) QTest::keyClick(combo, key);
    }
    static void TypeName(QFileDialog& dialog, const QString& name) {
        auto* edit = dialog.findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText(name);
    }
    std::string Folder() const { return dir.path().toStdString() + "/"; }

    QTemporaryDir dir;
    ExecModalRunner runner;
};

TEST_F(RealFileDialog, SaveTakesTheSuffixOfTheFilterChosenAndReportsThatFilter) {
    const std::string filter = "Orvane file (*.orv);;Kivo file (*.smp)";
    const struct {
        int shown;
        Qt::Key key; // the user moves to the other filter
        QString shownFilter, suffixBefore, suffixAfter;
        std::string written;
        int chosen;
    } cases[] = {
        {1, Qt::Key_Up, "Kivo file (*.smp)", "smp", "orv", "take.orv", 0},
        {0, Qt::Key_Down, "Orvane file (*.orv)", "orv", "smp", "take.smp", 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.written);
        QString shownFilter, suffixBefore, suffixAfter;
        WhenUp<QFileDialog>([&](QFileDialog& dialog) {
            shownFilter = dialog.selectedNameFilter();
            suffixBefore = dialog.defaultSuffix();
            ChooseFilter(dialog, c.key);
            suffixAfter = dialog.defaultSuffix();
            TypeName(dialog, "take");
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        int index = c.shown;
        const std::string file = runner.SaveFile(nullptr, filter, Folder(), index);
        EXPECT_EQ(shownFilter, c.shownFilter);
        EXPECT_EQ(suffixBefore, c.suffixBefore);
        EXPECT_EQ(suffixAfter, c.suffixAfter);
        EXPECT_EQ(file, Folder() + c.written);
        EXPECT_EQ(index, c.chosen);
    }
}

TEST_F(RealFileDialog, OpenShowsTheStoredFilterAndReportsTheOneChosen) {
    const std::string play =
        "Orvane file (*.orv);;Mervix or any ASCII file (*);;Kivo file (*.smp);;Tarn RDS Logger (*.log *.rds *.rawrds)";
    std::ofstream(Folder() + "a.smp") << "x";
    const struct {
        int shown;
        QString shownFilter;
        int downs; // filters the user moves down
        int chosen;
    } cases[] = {
        {3, "Tarn RDS Logger (*.log *.rds *.rawrds)", 0, 3},
        {7, "Orvane file (*.orv)", 2, 2}, // a stored index out of range shows the first
        {-1, "Orvane file (*.orv)", 1, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.shown);
        QString shownFilter;
        WhenUp<QFileDialog>([&](QFileDialog& dialog) {
            shownFilter = dialog.selectedNameFilter();
            ChooseFilter(dialog, Qt::Key_Down, c.downs);
            TypeName(dialog, "a.smp");
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        int index = c.shown;
        EXPECT_EQ(runner.OpenFile(nullptr, play, Folder(), index), Folder() + "a.smp");
        EXPECT_EQ(shownFilter, c.shownFilter);
        EXPECT_EQ(index, c.chosen);
    }
    // Cancelled, the filter index stays as it was.
    WhenUp<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    int index = 2;
    EXPECT_EQ(runner.OpenFile(nullptr, play, Folder(), index), "");
    EXPECT_EQ(index, 2);
}

} // namespace

TEST(MessageBox, BreaksItsLinesAtEveryLineEnd) {
    QString shown;
    WhenUp<QMessageBox>([&](QMessageBox& box) {
        shown = box.text();
        box.accept();
    });
    ExecModalRunner runner;
    runner.Message(nullptr, "Can't start a web browser. \rEnter the address\r\nin a browser.\nThanks");
    EXPECT_EQ(shown, "Can't start a web browser. \nEnter the address\nin a browser.\nThanks");
}

TEST(InputQuery, IsWideEnoughForItsTitleAndGivesBackWhatWasTyped) {
    int width = 0, needed = 0;
    WhenUp<QInputDialog>([&](QInputDialog& dialog) {
        QFont bold = dialog.font();
        bold.setBold(true);
        needed = QFontMetrics(bold).horizontalAdvance(dialog.windowTitle()) + 7 * QFontMetrics(bold).height();
        width = dialog.width();
        dialog.setTextValue("localhost");
        dialog.accept();
    });
    ExecModalRunner runner;
    std::string value = "old";
    ASSERT_TRUE(runner.InputQuery(nullptr, "Play Socket Stream", "Host", value));
    EXPECT_EQ(value, "localhost");
    EXPECT_GE(width, needed);

    // Cancelled, the value stays as it was.
    QString shown;
    WhenUp<QInputDialog>([&](QInputDialog& dialog) {
        shown = dialog.textValue();
        dialog.setTextValue("elsewhere");
        dialog.reject();
    });
    EXPECT_FALSE(runner.InputQuery(nullptr, "Play Socket Stream", "Port", value));
    EXPECT_EQ(shown, "localhost") << "the dialog starts with the value";
    EXPECT_EQ(value, "localhost");
}

// "Invalid entry" alone is narrower than the title bar "Orvane" needs.
TEST(MessageBox, IsAsWideAsItsTitleBarNeeds) {
    QString title;
    int width = 0, needed = 0;
    WhenUp<QMessageBox>([&](QMessageBox& box) {
        title = box.windowTitle();
        needed = TitleBarWidth(&box);
        width = box.width();
        box.accept();
    });
    ExecModalRunner runner;
    runner.Message(nullptr, "Invalid entry");
    EXPECT_EQ(title, "Orvane");
    EXPECT_GE(width, needed);
}

// The program is closing: the boxes up go, nested ones too, and any box asked
// for later is cancelled without showing, so none holds the close up.
TEST(ModalRunner, CancelAllEndsTheBoxesUpAndEveryLaterOne) {
    // Bounded: boxes CancelAll leaves up are closed after a while, so the
    // fault fails the test instead of hanging it.
    bool leftUp = false;
    QTimer watchdog;
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            leftUp = true;
            w->close();
        }
        watchdog.setInterval(10);
    });
    watchdog.start(20000);
    ExecModalRunner runner;
    bool innerEnded = false;
    WhenUp<QInputDialog>([&](QInputDialog& dialog) {
        dialog.setTextValue("typed");
        WhenUp<QMessageBox>([&](QMessageBox&) { runner.CancelAll(); });
        runner.Message(&dialog, "inner");
        innerEnded = true;
    });
    std::string value = "old";
    EXPECT_FALSE(runner.InputQuery(nullptr, "Play Socket Stream", "Host", value));
    watchdog.stop();
    EXPECT_FALSE(leftUp) << "CancelAll left a box up";
    EXPECT_TRUE(innerEnded);
    EXPECT_EQ(value, "old");

    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, true);
    QStringList shown;
    QTimer guard;
    QObject::connect(&guard, &QTimer::timeout, [&] {
        if (QWidget* w = QApplication::activeModalWidget()) {
            shown << w->metaObject()->className();
            w->close();
        }
    });
    guard.start(10);
    int filterIndex = 0;
    EXPECT_EQ(runner.OpenFile(nullptr, "Any file (*)", "/", filterIndex), "");
    EXPECT_EQ(runner.SaveFile(nullptr, "Any file (*)", "/", filterIndex), "");
    EXPECT_FALSE(runner.InputQuery(nullptr, "Play Socket Stream", "Port", value));
    QDialog dialog;
    EXPECT_EQ(runner.Run(dialog), QDialog::Rejected);
    runner.Message(nullptr, "later");
    QCoreApplication::setAttribute(Qt::AA_DontUseNativeDialogs, false);
    EXPECT_TRUE(shown.isEmpty()) << shown.join(", ").toStdString();
}
