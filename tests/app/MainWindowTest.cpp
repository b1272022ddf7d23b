#include "AppFakes.h"
#include "OrvaneApp.h"
#include "GradButton.h"
#include "Unit1.h"
#include "StreamServer.h"
#include "ValueTable.h"
#include "about.h"
#include "dd.h"
#include "freq.h"
#include "opt.h"
#include "si.h"
#include "src.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QEventLoop>
#include <QFile>
#include <QLabel>
#include <QLocale>
#include <QMenu>
#include <QMenuBar>
#include <QStatusTipEvent>
#include <QTest>
#include <QStatusBar>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>

using namespace orvane;
using namespace orvane::test;

namespace {

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingPlugins::Seen().clear();
        RecordingPlugins::Forms() = nullptr;
    }
    void TearDown() override { RecordingPlugins::Forms() = nullptr; }

    TForm1& Start(std::vector<std::string> args = {}) {
        app = std::make_unique<OrvaneApp>(program.Env(std::move(args)));
        RecordingPlugins::Forms() = &app->Forms();
        app->CreateWindows();
        return *app->Forms().form1;
    }
    std::vector<std::string> Commands() const {
        std::vector<std::string> out;
        for (const auto& s : RecordingPlugins::Seen()) out.push_back(s.command);
        return out;
    }
    std::vector<std::string> CommandsWith(const std::string& prefix) const {
        return RecordingPlugins::CommandsWith(prefix);
    }

    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
};

} // namespace

TEST_F(MainWindowTest, CreatesTheWindowsInOrderAndTheOptionsDialogCompletesStartup) {
    TForm1& main = Start();
    const AppForms& f = app->Forms();
    ASSERT_TRUE(f.dsrc && f.about && f.fdd && f.dopt && f.fsi && f.dfreq);
    EXPECT_EQ(QCoreApplication::applicationName(), "Orvane");
    EXPECT_EQ(main.windowTitle(), "Orvane - default.owk");
    EXPECT_EQ(f.dsrc->windowTitle(), "Select RDS Source");
    EXPECT_EQ(f.about->windowTitle(), "About");
    EXPECT_EQ(f.fdd->windowTitle(), "Decoder Data");
    EXPECT_EQ(f.dopt->windowTitle(), "Options");
    EXPECT_EQ(f.fsi->windowTitle(), "Status Information");
    EXPECT_EQ(f.dfreq->windowTitle(), "Saving Report");

    // The workspace and the start-up's reset of the decoded data ran while
    // the options dialog was being created: the decoder-data window existed,
    // the options dialog and the status window did not yet.
    const auto& seen = RecordingPlugins::Seen();
    ASSERT_EQ(Commands(), (std::vector<std::string>{"LEFT", "TOP", "RIGHT", "BOTTOM", "OPENWORKSPACE", "RESETDATA"}));
    EXPECT_EQ(seen[4].parameter, main.WorkspaceFile());
    EXPECT_TRUE(seen[5].decoderDataExisted);
    EXPECT_FALSE(seen[5].optionsDialogExisted);
    EXPECT_FALSE(seen[5].statusWindowExisted);

    EXPECT_EQ(main.Plugins().State(), "justcreated");
    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceNone);
    EXPECT_EQ(main.ProgramFolder(), program.ProgramFolder());
    EXPECT_EQ(main.DataFolder(), std::string(qgetenv("XDG_DATA_HOME")) + "/orvane/");
    EXPECT_EQ(main.WorkspaceFile(), main.DataFolder() + "default.owk");
    EXPECT_TRUE(QFileInfo(QString::fromStdString(main.DataFolder())).isDir());
}

TEST_F(MainWindowTest, ClosingSendsExitBeforeResetDataThenFreesThePlugins) {
    TForm1& main = Start();
    RecordingPlugins::Seen().clear();
    main.close();
    EXPECT_EQ(Commands(), (std::vector<std::string>{"SAVEWORKSPACE", "EXIT", "RESETDATA"}));
    EXPECT_EQ(main.Plugins().State(), "exit");
    main.Plugins().SendCommandToAll("RESETDATA", "");
    EXPECT_EQ(Commands().size(), 3u);
}

// A close asked for (a signal) while a box runs its own loop waits until the
// box has ended and its caller, which goes on using the window, has returned.
TEST_F(MainWindowTest, AnAskedCloseWaitsForTheCallerOfABoxThatIsUp) {
    TForm1& main = Start();
    std::vector<std::string> order;
    QObject::connect(&main, &TForm1::Closed, [&] { order.push_back("closed"); });
    QTimer::singleShot(0, [&] {
        QEventLoop box; // as a box's exec() runs it
        QTimer::singleShot(0, [&] { app->RequestClose(); });
        QTimer::singleShot(100, &box, &QEventLoop::quit);
        box.exec();
        order.push_back("box ended, plug-ins " + main.Plugins().State());
    });
    // Bounded: a close that never comes fails instead of hanging.
    bool timedOut = false;
    QTimer watchdog;
    watchdog.setSingleShot(true);
    QObject::connect(&watchdog, &QTimer::timeout, [&] {
        timedOut = true;
        QCoreApplication::exit(1);
    });
    watchdog.start(20000);
    EXPECT_EQ(app->Run(), 0);
    EXPECT_FALSE(timedOut) << "the program did not close";
    EXPECT_EQ(order, (std::vector<std::string>{"box ended, plug-ins justcreated", "closed"}));
    EXPECT_EQ(main.Plugins().State(), "exit");
}

TEST_F(MainWindowTest, FirstStartOpensTheSourceDialogOnlyWithoutSettingsFile) {
    for (bool settingsExist : {false, true}) {
        SCOPED_TRACE(settingsExist);
        program.modal.shown.clear();
        QFile settings(QString::fromStdString(std::string(qgetenv("XDG_DATA_HOME")) + "/orvane/orvane.ini"));
        if (settingsExist) {
            ASSERT_TRUE(settings.open(QIODevice::WriteOnly));
            settings.close();
        } else {
            settings.remove();
        }
        Start();
        program.time.Advance(499);
        EXPECT_TRUE(program.modal.shown.empty());
        program.time.Advance(1);
        program.time.Advance(5000); // once only
        if (settingsExist) EXPECT_TRUE(program.modal.shown.empty());
        else EXPECT_EQ(program.modal.shown, std::vector<std::string>{"DSRC"});
        app.reset();
        settings.remove();
    }
}

TEST_F(MainWindowTest, MovementFollowsTheRectangleSentWithTheWorkspace) {
    TForm1& main = Start();
    // Loading the workspace sent the rectangle before the window was shown.
    EXPECT_TRUE(main.RectangleSent());
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    const QPoint start = main.frameGeometry().topLeft();
    main.move(start + QPoint(20, 0));
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.frameGeometry().topLeft() == start + QPoint(20, 0); }, 2000));
    QCoreApplication::processEvents();
    RecordingPlugins::Seen().clear();

    main.SendWindowRect();
    const QRect r = main.frameGeometry();
    EXPECT_EQ(CommandsWith("LEFT").at(0), "LEFT " + std::to_string(r.left()));
    EXPECT_EQ(CommandsWith("TOP").at(0), "TOP " + std::to_string(r.top()));
    EXPECT_EQ(CommandsWith("RIGHT").at(0), "RIGHT " + std::to_string(r.left() + r.width()));
    EXPECT_EQ(CommandsWith("BOTTOM").at(0), "BOTTOM " + std::to_string(r.top() + r.height()));

    // The remembered position followed the first move, so only this one counts.
    main.move(main.pos() + QPoint(-7, 11));
    EXPECT_TRUE(QTest::qWaitFor([&] { return CommandsWith("MOVEY").size() == 1; }, 2000));
    EXPECT_EQ(CommandsWith("MOVE"), (std::vector<std::string>{"MOVEX -7", "MOVEY 11"}));
}

TEST_F(MainWindowTest, StatusMessageGivesWayToHintsFiveSecondsAfterTheLastMessage) {
    TForm1& main = Start();
    auto hint = [&] {
        QStatusTipEvent tip("Program Identification");
        QCoreApplication::sendEvent(&main, &tip);
    };
    main.Show("Connection error!");
    hint();
    EXPECT_EQ(main.StatusText(), "Connection error!");
    program.time.Advance(3000);
    main.Show("Playback error: gone"); // restarts the five seconds
    program.time.Advance(4999);
    hint();
    EXPECT_EQ(main.StatusText(), "Playback error: gone");
    program.time.Advance(1);
    EXPECT_TRUE(main.AutoHint());
    hint();
    EXPECT_EQ(main.StatusText(), "Program Identification");

    main.Show("Sound card error!");
    EXPECT_FALSE(main.AutoHint());
    main.Show("");
    EXPECT_TRUE(main.AutoHint());
    EXPECT_EQ(main.StatusText(), "");
}

TEST_F(MainWindowTest, AStatusTextTooLongForTheLineShowsWholeInItsToolTip) {
    TForm1& main = Start();
    QStatusBar* bar = main.statusBar();
    const std::string longText =
        "Playback error: Unable to open the file " + std::string(40, 'x') + "/" + std::string(60, 'y') + ".orv";
    ASSERT_GT(bar->fontMetrics().horizontalAdvance(QString::fromStdString(longText)), bar->width());
    main.Show(longText);
    EXPECT_EQ(bar->toolTip().toStdString(), longText);
    // A text that fits needs none, nor does an empty line.
    main.Show("Normal speed");
    EXPECT_TRUE(bar->toolTip().isEmpty());
    main.Show(longText);
    main.Show("");
    EXPECT_TRUE(bar->toolTip().isEmpty());
}

TEST_F(MainWindowTest, MenuTableAndFrequencyList) {
    TForm1& main = Start();
    struct Item {
        const char* name;
        const char* caption;
        const char* shortcut;
    };
    const Item items[] = {
        {"PlayFile1", "Play File...", "Ctrl+P"},
        {"FileInformation1", "File Information...", "Ctrl+I"},
        {"PlayLocation1", "Play Stream...", ""},
        {"CreateReport1", "Create Report...", "Ctrl+R"},
        {"OpenWorkspace1", "Open Workspace...", ""},
        {"SaveWorkspace1", "Save Workspace", ""},
        {"SaveWorkspaceAs1", "Save Workspace As...", ""},
        {"Exit1", "Exit", ""},
        {"Data1", "Decoder Data...", ""},
        {"Clear1", "Reset Data", "Ctrl+N"},
        {"MSI", "Status Information...", ""},
        {"SelectRDSInput1", "Select RDS Source...", ""},
        {"Options1", "Options...", ""},
        {"OrvaneHelp1", "Orvane Help...", ""},
        {"About1", "About...", ""},
    };
    for (const Item& it : items) {
        SCOPED_TRACE(it.name);
        auto* a = main.findChild<QAction*>(it.name);
        ASSERT_NE(a, nullptr);
        EXPECT_EQ(a->text(), it.caption);
        EXPECT_EQ(a->shortcut().toString(), it.shortcut);
        // Every item leads to its window or action.
        EXPECT_TRUE(a->isEnabled());
    }
    ASSERT_EQ(main.CBFREQ->count(), 206);
    EXPECT_EQ(main.CBFREQ->itemText(0), "87.5");
    EXPECT_EQ(main.CBFREQ->itemText(125), "100.0");
    EXPECT_EQ(main.CBFREQ->itemText(205), "108.0");
}

TEST_F(MainWindowTest, FrequencyListUsesAPointWhateverTheLocale) {
    const QLocale saved;
    QLocale::setDefault(QLocale(QLocale::German, QLocale::Germany));
    TForm1& main = Start();
    QLocale::setDefault(saved);
    EXPECT_EQ(main.CBFREQ->itemText(1), "87.6");
}

TEST_F(MainWindowTest, PluginItemsReachTheirPluginByIndex) {
    TForm1& main = Start();
    auto* plugins = main.findChild<QMenu*>("Plugins1");
    ASSERT_NE(plugins, nullptr);
    // Only the plug-in with a Command entry gets items.
    ASSERT_EQ(plugins->actions().size(), 1);
    EXPECT_EQ(plugins->actions()[0]->text(), "Recorder");
    RecordingPlugins::Seen().clear();
    plugins->actions()[0]->trigger();
    main.miShowHideClick(0);
    main.miShowHideClick(7); // no such plug-in: nothing happens
    EXPECT_EQ(Commands(), (std::vector<std::string>{"CONFIGURE", "SHOW"}));
}

TEST_F(MainWindowTest, APluginWhoseInitializeFailedGetsNoMenuItems) {
    RecordingPlugins::FailInitialize() = true;
    TForm1& main = Start();
    RecordingPlugins::FailInitialize() = false;
    EXPECT_EQ(main.StatusText().toStdString(), PluginHost::kLoadError);
    ASSERT_EQ(main.Plugins().Plugins().size(), 2u);
    EXPECT_FALSE(main.Plugins().Plugins()[0].initialised);
    EXPECT_TRUE(main.findChild<QMenu*>("Plugins1")->actions().isEmpty());
    for (const QAction* a : main.menuBar()->findChildren<QAction*>()) EXPECT_NE(a->text(), "Recorder");
}

TEST_F(MainWindowTest, HelpOpensTheManualOrSaysWhyNot) {
    TForm1& main = Start();
    main.OrvaneHelp1Click();
    EXPECT_TRUE(program.shell.opened.empty());
    EXPECT_EQ(program.modal.messages, std::vector<std::string>{"The manual " + program.ProgramFolder() +
                                                               "orvane.pdf is missing. \rInstall Orvane again "
                                                               "to get it back."});
    // The manual the build laid out, placed where an installed program has it.
    const QString built = qEnvironmentVariable("ORVANE_PROGRAM_DIR") + "/orvane.pdf";
    ASSERT_TRUE(QFile::copy(built, QString::fromStdString(program.ProgramFolder() + "orvane.pdf")))
        << built.toStdString();
    main.OrvaneHelp1Click();
    EXPECT_EQ(program.shell.opened, std::vector<std::string>{program.ProgramFolder() + "orvane.pdf"});
    EXPECT_EQ(program.modal.messages.size(), 1u) << "opened, so nothing more to say";
    // No PDF viewer on the desktop.
    program.shell.refuseOpen = true;
    main.OrvaneHelp1Click();
    ASSERT_EQ(program.modal.messages.size(), 2u);
    EXPECT_EQ(program.modal.messages.back(), "Can't start a PDF viewer for " + program.ProgramFolder() +
                                                 "orvane.pdf. \rOpen the manual with a PDF viewer of your choice.");
}

TEST(CommandLine, WhichArgumentIsAFileToPlay) {
    struct Case {
        std::vector<std::string> args;
        std::string file;
    };
    const Case cases[] = {
        {{}, ""},
        {{"-x"}, ""},
        {{"/WS:my.owk"}, ""},
        {{"/ws:my.owk"}, ""},
        {{"/c:soc:host:23"}, ""},
        {{"-C:SOC:host:23"}, ""},
        {{"a.orv", "b.orv"}, ""},
        {{"-WS:x", "a.orv"}, ""},
        {{"rec.orv"}, "rec.orv"},
        {{"/x"}, "/x"}, // on Linux an absolute path, not an option
        {{"/home/dx/rec.orv"}, "/home/dx/rec.orv"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.args.empty() ? std::string("(none)") : c.args[0]);
        EXPECT_EQ(CommandLineFile(c.args), c.file);
    }
}

TEST_F(MainWindowTest, APluginCommandIsRelayedWithin200ms) {
    TForm1& main = Start();
    RecordingPlugins::Seen().clear();
    AddValue(main.ValueTable(), "COMMAND", "SHOWHIDE\r");
    program.time.Advance(199);
    EXPECT_TRUE(RecordingPlugins::Seen().empty());
    program.time.Advance(1);
    ASSERT_EQ(Commands(), std::vector<std::string>{"SHOWHIDE"});
    EXPECT_EQ(RecordingPlugins::Seen()[0].parameter, "");
    EXPECT_EQ(ReadValue(main.ValueTable(), "COMMAND"), "");
}

TEST_F(MainWindowTest, ControlLinesOfAGroupStreamResetOrClose) {
    TForm1& main = Start();
    main.show();
    main.SendRDSGroup(TRDSGroupRec{2024, 1, 1, 0, 0, 0, 0, 0, {0, 0}, 0x1234, 0x2000, 0, 0});
    ASSERT_EQ(main.LPI->text().toStdString(), "1234");
    RecordingPlugins::Seen().clear();
    EXPECT_FALSE(main.GroupLines().CommandsInGroup("1234 2000 0000 0000"));
    EXPECT_TRUE(main.GroupLines().CommandsInGroup("RESET"));
    EXPECT_EQ(main.LPI->text().toStdString(), "----");
    EXPECT_EQ(Commands(), std::vector<std::string>{"RESETDATA"});
    EXPECT_TRUE(main.isVisible());
    EXPECT_TRUE(main.GroupLines().CommandsInGroup("EXIT now"));
    // The caller's event returns first; the window closes right after.
    EXPECT_TRUE(main.isVisible());
    QCoreApplication::processEvents();
    EXPECT_FALSE(main.isVisible());
    EXPECT_EQ(Commands(), (std::vector<std::string>{"RESETDATA", "SAVEWORKSPACE", "EXIT", "RESETDATA"}));
}

TEST_F(MainWindowTest, PlayStreamAndTuneThroughTheStreamsSocket) {
    StreamServer server;
    ASSERT_TRUE(server.Listening());
    TForm1& main = Start();
    main.show();
    program.modal.inputs = {"127.0.0.1", std::to_string(server.Port())};
    main.findChild<QAction*>("PlayLocation1")->trigger();
    EXPECT_EQ(program.modal.prompts, (std::vector<std::string>{"Host=localhost", "Port=23"}));
    ASSERT_TRUE(server.WaitForClient());
    ASSERT_TRUE(main.Playing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.Stream().Connected(); }, 10000));

    server.Send("C201 0408 E0CD 4F52\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.LPI->text() == "C201"; }, 10000));
    RecordingPlugins::Seen().clear();
    main.CBFREQ->setCurrentIndex(0);
    main.BBTUNE->Click();
    ASSERT_TRUE(server.WaitForReceived("087500*F*D*R"));
    EXPECT_EQ(server.Received(), "087500*F*D*R");
    EXPECT_EQ(CommandsWith("TUNE"), std::vector<std::string>{"TUNE 087500"});
    EXPECT_EQ(main.LPI->text().toStdString(), "----"); // the complete reset
    const std::string workspace = main.WorkspaceFile();
    main.close();
    // The values offered next time are kept in the workspace.
    QFile saved(QString::fromStdString(workspace));
    ASSERT_TRUE(saved.open(QIODevice::ReadOnly));
    const QString text = QString::fromUtf8(saved.readAll());
    EXPECT_TRUE(text.contains("StreamHost=127.0.0.1")) << text.toStdString();
    EXPECT_TRUE(text.contains(QString("StreamPort=%1").arg(server.Port()))) << text.toStdString();
}
