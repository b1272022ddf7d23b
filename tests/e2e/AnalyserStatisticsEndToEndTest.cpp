// The real program plays a recording with a known mix of group types and ODA
// announcements; the analyser's statistics and the published keys show it.
#include "AnalyserProgram.h"
#include "RdsEncoder.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "ValueTable.h"

#include <QCoreApplication>
#include <QLabel>
#include "SeekTrackBar.h"
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

TEST(AnalyserEndToEnd, StatisticsShowTheMixOfTheRecording) {
    QTemporaryDir dir;
    AnalyserProgram program(dir);

    // Ten rounds of eleven groups, 0A 2A 0A 8A 0A 3A 0A 2A 0A 8A 3A, so the
    // statistics page, refreshed every eleventh group, ends on the whole mix.
    // The 3A groups announce TMC (AID CD46, in 8A) fourteen times, then RT+
    // (AID 4BD7, in 11A) six times.
    std::vector<Group> groups;
    const uint16_t pi = 0x7827, pty = 10 << 5;
    int announcements = 0;
    for (int round = 0; round < 10; ++round) {
        for (int k = 0; k < 11; ++k) {
            static const int types[11] = {0, 2, 0, 8, 0, 3, 0, 2, 0, 8, 3};
            const int type = types[k];
            if (type == 3) {
                const bool tmc = announcements++ < 14;
                groups.push_back({pi, static_cast<uint16_t>(0x3000 | pty | (tmc ? 16 : 22)), 0x0000,
                                  static_cast<uint16_t>(tmc ? 0xCD46 : 0x4BD7)});
            } else {
                groups.push_back({pi, static_cast<uint16_t>((type << 12) | pty | (k & 3)), 0xE0CD, 0x4142});
            }
        }
    }
    const std::string file = dir.path().toStdString() + "/mix.orv";
    WriteRecording(file, groups, true);

    ASSERT_TRUE(program.PlayToEnd(file));
    TForm1& main = program.Main();
    ASSERT_EQ(main.ShownGroupCount(), 110);

    // 50, 20, 20 and 20 of 110.
    const std::pair<const char*, const char*> shares[] = {
        {"0A", "45.5 %  (1/2.2)"}, {"2A", "18.2 %  (1/5.5)"}, {"3A", "18.2 %  (1/5.5)"},
        {"8A", "18.2 %  (1/5.5)"}, {"1A", "0.0 %"},           {"0B", "0.0 %"}};
    for (const auto& [type, text] : shares)
        EXPECT_EQ(ReadValue(main.ValueTable(), std::string("GroupStatistics.") + type + ".Proportion"), text) << type;

    // Against all 110 groups at the last announcement: 14 and 6.
    const std::pair<const char*, const char*> aids[] = {
        {"AIDStatistics.1.AID", "CD46"},  {"AIDStatistics.1.AppGroup", "8A"},
        {"AIDStatistics.1.Proportion", "12.7 %  (1/7.9)"},
        {"AIDStatistics.2.AID", "4BD7"},  {"AIDStatistics.2.AppGroup", "11A"},
        {"AIDStatistics.2.Proportion", "5.5 %  (1/18)"},
        {"AIDStatistics.3.AID", ""}};
    for (const auto& [key, text] : aids) EXPECT_EQ(ReadValue(main.ValueTable(), key), text) << key;

    QWidget* analyser = main.findChild<QWidget*>("Form1");
    ASSERT_NE(analyser, nullptr);
    auto* sga = analyser->findChild<QTableWidget*>("SGA");
    auto* sgaid = analyser->findChild<QTableWidget*>("SGAID");
    ASSERT_TRUE(sga && sgaid);
    EXPECT_EQ(sga->item(1, 1)->text().toStdString(), "45.5 %  (1/2.2)"); // 0A
    EXPECT_EQ(sga->item(3, 1)->text().toStdString(), "18.2 %  (1/5.5)"); // 2A
    EXPECT_EQ(sga->item(9, 1)->text().toStdString(), "18.2 %  (1/5.5)"); // 8A
    EXPECT_EQ(sga->item(1, 2)->text().toStdString(), "5.19"); // 45.45 % of 11.4183 groups/s
    EXPECT_EQ(sgaid->item(1, 0)->text().toStdString(), "CD46");
    EXPECT_EQ(sgaid->item(1, 3)->text().toStdString(), "8A");
    EXPECT_EQ(sgaid->item(2, 0)->text().toStdString(), "4BD7");
    EXPECT_EQ(sgaid->item(2, 1)->text().toStdString(), "5.5 %  (1/18)");
    main.close();
}
