// The shipped report template, filled after the real program played an
// encoder-made recording with the group analyser loaded.
#include "AnalyserProgram.h"
#include "RdsEncoder.h"
#include "TestFiles.h"
#include "Unit1.h"
#include "ValueTable.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

TEST(ReportEndToEnd, ShippedTemplateHoldsWhatTheDecoderAndTheAnalyserPublished) {
    QTemporaryDir dir;
    AnalyserProgram program(dir);
    const char* shipped = std::getenv("ORVANE_PROGRAM_DIR");
    ASSERT_NE(shipped, nullptr);
    fs::copy_file(std::string(shipped) + "/orvane.otp", program.Folder() + "orvane.otp");

    // A station with PS, radiotext and clock groups, and every tenth group a
    // 3A announcing RT+ (AID 4BD7 in 11A). 171 groups end on a refresh of the
    // analyser's statistics, which comes every 57th group.
    auto groups = StationGroups(0x7827, "ORVANE 1", 171);
    for (size_t i = 9; i < groups.size(); i += 10) groups[i] = {0x7827, 0x3000 | (10 << 5) | 22, 0x0000, 0x4BD7};
    const std::string file = dir.path().toStdString() + "/station.orv";
    WriteRecording(file, groups, true);

    ASSERT_TRUE(program.PlayToEnd(file));
    TForm1& main = program.Main();

    const std::string report = dir.path().toStdString() + "/report.txt";
    main.Reports().SaveReport(report);
    const std::string text = ReadFileBytes(report);
    auto has = [&](const std::string& line) { return text.find(line + "\r\n") != std::string::npos; };
    EXPECT_TRUE(has("PI:                   7827")) << text;
    EXPECT_TRUE(has("PS:                   ORVANE 1")) << text;
    EXPECT_TRUE(has("Block error rate:     " + ReadValue(main.ValueTable(), "BER")));

    const TValueTable& table = main.ValueTable();
    const std::string share0A = ReadValue(table, "GroupStatistics.0A.Proportion");
    const std::string share3A = ReadValue(table, "GroupStatistics.3A.Proportion");
    ASSERT_FALSE(share0A.empty());
    EXPECT_TRUE(has(" 0A  " + share0A)) << text;
    EXPECT_TRUE(has(" 3A  " + share3A)) << text;
    EXPECT_TRUE(has(" 2A  " + ReadValue(table, "GroupStatistics.2A.Proportion"))) << text;
    EXPECT_TRUE(has("15B  0.0 %")) << text;
    ASSERT_EQ(ReadValue(table, "AIDStatistics.1.AID"), "4BD7");
    EXPECT_TRUE(has("4BD7  11A  " + ReadValue(table, "AIDStatistics.1.Proportion"))) << text;
    EXPECT_EQ(text.find('%', text.find("Written by")), std::string::npos);
    main.close();
}
