// The settings and the workspace through the real start-up and closing, with
// the built group analyser writing its own section beside the host's.
#include "AppFakes.h"
#include "IniFile.h"
#include "OrvaneApp.h"
#include "SpinEdit.h"
#include "Unit1.h"
#include "opt.h"

#include <QCheckBox>
#include <QDir>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

TEST(SettingsEndToEnd, ARestartFindsEverythingAsTheUserLeftIt) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/orvane/";
    fs::create_directories(folder + "plugins");
    fs::copy_file(std::string(BUILT_PLUGIN_DIR) + "/kelmira.so", folder + "plugins/kelmira.so");
    const std::string data = std::string(qgetenv("XDG_DATA_HOME")) + "/orvane/";
    QDir(QString::fromStdString(data)).removeRecursively();

    SystemEnv system;
    FakeModal modal; // the first start's source dialog must not block the test
    FakeTime time;
    auto start = [&] {
        AppEnv env = system.Make(folder + "orvane", {});
        env.modal = &modal;
        env.clock = &time;
        env.timers = env.threadedTimers = &time;
        auto program = std::make_unique<OrvaneApp>(env);
        program->CreateWindows();
        return program;
    };

    auto program = start();
    TForm1& main = *program->Forms().form1;
    main.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&main));
    // No settings file: the first start opens the source dialog.
    time.Advance(500);
    EXPECT_EQ(modal.shown, std::vector<std::string>{"DSRC"});
    main.move(150, 120);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.pos() == QPoint(150, 120); }, 2000));
    TDOPT& options = *program->Forms().dopt;
    options.CBSPI->setChecked(true);
    options.SETMOUT->setValue(90);
    main.close();
    program.reset();

    EXPECT_EQ(TIniFile(data + "orvane.ini").ReadSection("General"),
              (std::vector<std::string>{"WorkspaceFile", "HighPriority", "OnTop", "SuperPI", "FlatLCD", "Force441kHz",
                                        "BufferLength", "SoundCardBuffer"}));
    const TIniFile workspace(data + "default.owk");
    const auto general = workspace.ReadSection("General");
    ASSERT_FALSE(general.empty());
    EXPECT_EQ(general.front(), "Top");
    EXPECT_EQ(general.back(), "Notes");
    EXPECT_EQ(workspace.ReadSection("Record").size(), 33u);
    // The analyser's own section, written when it got "SAVEWORKSPACE".
    EXPECT_TRUE(workspace.SectionExists("kelmira"));
    EXPECT_TRUE(workspace.ValueExists("kelmira", "Top"));

    modal.shown.clear();
    program = start();
    TForm1& again = *program->Forms().form1;
    EXPECT_EQ(again.pos(), QPoint(150, 120));
    EXPECT_TRUE(program->Forms().dopt->CBSPI->isChecked());
    EXPECT_EQ(program->Forms().dopt->SETMOUT->value(), 90);
    time.Advance(500);
    EXPECT_TRUE(modal.shown.empty()); // the settings file exists now
    again.close();
    program.reset();
}
