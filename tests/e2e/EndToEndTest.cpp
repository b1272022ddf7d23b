// The program as a user starts it, in-process: the real environment, the real
// start-up path, a recording named on the command line.
#include "GroupLineParser.h"
#include "OrvaneApp.h"
#include "RdsEncoder.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "ValueTable.h"

#include <QCoreApplication>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <fstream>

using namespace orvane;
using namespace orvane::test;

TEST(EndToEnd, PlaysARecordingNamedOnTheCommandLine) {
    QTemporaryDir dir;
    const std::string file = dir.path().toStdString() + "/station.orv";
    const char ps[8] = {'E', '2', 'E', ' ', 'T', 'E', 'S', 'T'};
    const auto groups = StationGroups(0x5ABC, ps, 40);
    WriteRecording(file, groups, true, "<recorder=\"Orvane\" date=\"2024-05-01\" time=\"13-05-09\" source=\"1\">");

    SystemEnv system;
    OrvaneApp program(system.Make(QCoreApplication::applicationFilePath().toStdString(), {file}));
    program.CreateWindows();
    TForm1& main = *program.Forms().form1;
    main.show();
    ASSERT_TRUE(main.Playing());
    ASSERT_TRUE(QTest::qWaitFor([&] { return !main.LEND->isHidden(); }, 20000));

    EXPECT_EQ(main.LPI->text().toStdString(), "5ABC");
    EXPECT_EQ(main.LPS->text().toStdString(), "E2E TEST");
    EXPECT_EQ(main.LGR->text().toStdString(), "40 / 40");
    EXPECT_EQ(main.ShownGroupCount(), 40);
    EXPECT_EQ(ReadValue(main.ValueTable(), "PI"), "5ABC");
    EXPECT_EQ(ReadValue(main.ValueTable(), "PS"), "E2E TEST");
    EXPECT_EQ(ReadValue(main.ValueTable(), "BER"), "0 %");
    EXPECT_EQ(main.Player().HeaderLine().substr(0, 18), "<recorder=\"Orvane\"");
    main.close();
}

// The demo recording that the manual's first steps play lies in the program
// folder, so an installed program has it too.
TEST(EndToEnd, PlaysTheDemoRecordingOfTheProgramFolder) {
    const std::string demo = qEnvironmentVariable("ORVANE_PROGRAM_DIR").toStdString() + "/samples/demo.orv";
    ASSERT_EQ(ReadFileBytes(demo).substr(0, 18), "<recorder=\"Orvane\"") << demo;
    SystemEnv system;
    OrvaneApp program(system.Make(QCoreApplication::applicationFilePath().toStdString(), {demo}));
    program.CreateWindows();
    TForm1& main = *program.Forms().form1;
    main.show();
    ASSERT_TRUE(main.Playing());
    EXPECT_TRUE(QTest::qWaitFor([&] { return main.LPS->text() == "ORVANE  "; }, 20000)) << main.LPS->text().toStdString();
    EXPECT_EQ(main.LPI->text().toStdString(), "C201");
    main.close();
}
