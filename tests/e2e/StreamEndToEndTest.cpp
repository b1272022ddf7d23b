// The program started as a user starts it with a stream named on the command
// line, against a server that sends an encoder-made recording.
#include "OrvaneApp.h"
#include "RdsEncoder.h"
#include "StreamServer.h"
#include "TestFiles.h"
#include "TestPluginState.h"
#include "Unit1.h"
#include "ValueTable.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <dlfcn.h>
#include <filesystem>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

TEST(StreamEndToEnd, AStreamOnTheCommandLinePlaysIntoTheDisplayAndTheAnalyser) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/program/";
    fs::create_directories(folder + "plugins");
    fs::copy_file(std::string(BUILT_PLUGIN_DIR) + "/kelmira.so", folder + "plugins/kelmira.so");
    fs::copy_file(std::string(TEST_PLUGIN_DIR) + "/Test.so", folder + "plugins/recorder.so");

    const char ps[8] = {'O', 'N', ' ', 'T', 'H', 'E', ' ', 'N'};
    const auto groups = StationGroups(0x9E11, ps, 36);
    StreamServer server;
    ASSERT_TRUE(server.Listening());

    SystemEnv system;
    auto program = std::make_unique<OrvaneApp>(
        system.Make(folder + "orvane", {"stream:127.0.0.1:" + std::to_string(server.Port())}));
    program->CreateWindows();
    TForm1& main = *program->Forms().form1;
    const auto& plugins = main.Plugins().Plugins();
    ASSERT_EQ(plugins.size(), 2u);
    auto state = reinterpret_cast<TestPluginState* (*)()>(dlsym(plugins[1].module, "TestState"))();
    void* hold = dlopen((folder + "plugins/recorder.so").c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(hold, nullptr);
    main.show();
    ASSERT_TRUE(main.Playing());
    ASSERT_TRUE(server.WaitForClient());

    // Sent the way a server writes a log as it grows: a few lines at a time.
    const std::string text = RecordingLines(groups, true, "\r\n");
    for (size_t at = 0; at < text.size(); at += 300) server.Send(std::string_view(text).substr(at, 300));
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.ShownGroupCount() == 36; }, 30000));

    EXPECT_EQ(main.LPI->text().toStdString(), "9E11");
    EXPECT_EQ(main.LPS->text().toStdString(), "ON THE N");
    EXPECT_EQ(main.LGR->text().toStdString(), "36");
    EXPECT_EQ(ReadValue(main.ValueTable(), "PI"), "9E11");
    EXPECT_EQ(main.Player().HeaderLine(), "<URL=\"127.0.0.1:" + std::to_string(server.Port()) + "\">");
    ASSERT_EQ(state->groups.size(), groups.size());
    for (size_t i = 0; i < groups.size(); ++i) {
        EXPECT_EQ(state->groups[i].BlockA, groups[i].a);
        EXPECT_EQ(state->groups[i].BlockB, groups[i].b);
        EXPECT_EQ(state->groups[i].BlockC, groups[i].c);
        EXPECT_EQ(state->groups[i].BlockD, groups[i].d);
    }
    // The analyser's 4A dump lists every clock-time group of the stream.
    QWidget* analyser = main.findChild<QWidget*>("Form1");
    ASSERT_NE(analyser, nullptr);
    QWidget* memo = analyser->findChild<QWidget*>("Memo2");
    ASSERT_NE(memo, nullptr);
    const long clockGroups = std::count_if(groups.begin(), groups.end(), [](const Group& g) { return g.b >> 12 == 4; });
    EXPECT_EQ(memo->property("plainText").toString().count("B3C4"), clockGroups);

    // "EXIT" from the server closes the program.
    server.Send("EXIT\r\n");
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main.isVisible(); }, 30000));
    EXPECT_FALSE(main.Playing());
    program.reset();
    dlclose(hold);
}
