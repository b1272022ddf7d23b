// The program with real plug-in libraries: the built group analyser and a
// test plug-in that records what the host hands it, playing a recording.
#include "GroupLineParser.h"
#include "OrvaneApp.h"
#include "RdsEncoder.h"
#include "TestFiles.h"
#include "TestPluginState.h"
#include "Unit1.h"
#include "ValueTable.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <dlfcn.h>
#include <filesystem>
#include <fstream>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

namespace {

} // namespace

TEST(PluginEndToEnd, EveryGroupReachesTheAnalyserAndTheRecordingPlugin) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/program/";
    fs::create_directories(folder + "plugins");
    fs::copy_file(std::string(BUILT_PLUGIN_DIR) + "/kelmira.so", folder + "plugins/kelmira.so");
    fs::copy_file(std::string(TEST_PLUGIN_DIR) + "/Test.so", folder + "plugins/recorder.so");

    const std::string file = dir.path().toStdString() + "/station.orv";
    const char ps[8] = {'P', 'L', 'U', 'G', ' ', 'I', 'N', 'S'};
    const auto groups = StationGroups(0x7827, ps, 36);
    WriteRecording(file, groups, false);

    SystemEnv system;
    auto program = std::make_unique<OrvaneApp>(system.Make(folder + "orvane", {file}));
    program->CreateWindows();
    TForm1& main = *program->Forms().form1;
    const auto& plugins = main.Plugins().Plugins();
    ASSERT_EQ(plugins.size(), 2u);
    EXPECT_EQ(plugins[0].displayName, "Group Analyzer");
    EXPECT_EQ(plugins[1].displayName, "recorder");
    auto state = reinterpret_cast<TestPluginState* (*)()>(dlsym(plugins[1].module, "TestState"))();
    EXPECT_EQ(state->table, &main.ValueTable());
    // Hold the test plug-in, so what it saw stays readable after the host unloads it.
    void* hold = dlopen((folder + "plugins/recorder.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(hold, nullptr);

    main.show();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main.LEND->isHidden(); }, 20000));
    ASSERT_EQ(state->groups.size(), groups.size());
    for (size_t i = 0; i < groups.size(); ++i) {
        EXPECT_EQ(state->groups[i].BlockB, groups[i].b);
        EXPECT_EQ(state->groups[i].BlockD, groups[i].d);
    }

    // The analyser's 4A dump lists every clock-time group, and its best
    // group sequence was published into the host's table.
    QWidget* analyser = main.findChild<QWidget*>("Form1");
    ASSERT_NE(analyser, nullptr);
    QWidget* memo = analyser->findChild<QWidget*>("Memo2");
    ASSERT_NE(memo, nullptr);
    const QString dump = memo->property("plainText").toString();
    const long clockGroups = std::count_if(groups.begin(), groups.end(), [](const Group& g) { return g.b >> 12 == 4; });
    EXPECT_EQ(dump.count("B3C4"), clockGroups) << dump.toStdString();
    QWidget* sequence = analyser->findChild<QWidget*>("RichEdit1");
    ASSERT_NE(sequence, nullptr);
    EXPECT_FALSE(sequence->property("plainText").toString().isEmpty());
    EXPECT_NE(ReadValue(main.ValueTable(), "GroupSequence"), "");

    main.close();
    const std::string workspace = main.WorkspaceFile();
    EXPECT_EQ(state->commands,
              (std::vector<std::string>{"LEFT 20", "TOP 20", "RIGHT " + std::to_string(20 + main.width()),
                                        "BOTTOM " + std::to_string(20 + main.height()), "OPENWORKSPACE " + workspace,
                                        "RESETDATA ", "RESETDATA ", "SAVEWORKSPACE " + workspace, "EXIT ",
                                        "RESETDATA "}));
    program.reset();
    dlclose(hold);
}
