// The main window's seeking bar through its real track bar: it follows a
// counted recording, a drag pauses and names the group, and the release
// continues there.
#include "AppFakes.h"
#include "GroupLineParser.h"
#include "OrvaneApp.h"
#include "SeekTrackBar.h"
#include "Unit1.h"

#include <QLabel>
#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <memory>

using namespace orvane;
using namespace orvane::controls;
using namespace orvane::test;

namespace {

class SeekingBarTest : public ::testing::Test {
protected:
    void SetUp() override {
        RecordingPlugins::Seen().clear();
        RecordingPlugins::Groups().clear();
        app = std::make_unique<OrvaneApp>(program.Env());
        app->CreateWindows();
        main().show();
    }
    TForm1& main() { return *app->Forms().form1; }

    // Groups numbered in blocks C and D, time-stamped a second apart.
    void PlayRecording(int count) {
        const std::string file = program.ProgramFolder() + "seek.orv";
        std::ofstream out(file, std::ios::binary);
        out << "<recorder=\"Orvane\">\r\n";
        for (int n = 0; n < count; ++n) {
            char line[64];
            std::snprintf(line, sizeof line, "C201 2400 %04X %04X @2024/05/01 %02d:%02d:%02d.00\r\n", n >> 16,
                          n & 0xFFFF, 10 + n / 3600, n / 60 % 60, n % 60);
            out << line;
        }
        out.close();
        program.modal.fileToOpen = file;
        main().PlayFile1Click();
    }
    int LastGroup() const {
        const TRDSGroupRec& g = RecordingPlugins::Groups().back();
        return uint16_t(g.BlockC) << 16 | uint16_t(g.BlockD);
    }
    // Every hint text the bar shows from now on goes to `hints` as well.
    void KeepHints(std::vector<QString>& hints) {
        TSeekTrackBar& atb = *main().ATB;
        const auto hint = atb.OnGetTrackHint;
        atb.OnGetTrackHint = [&hints, hint](TCustomTrackBar* sender, int position, QString& text) {
            hint(sender, position, text);
            hints.push_back(text);
        };
    }
    // Where the mouse must be for the bar to stand at value v.
    QPoint At(int v) {
        TSeekTrackBar& atb = *main().ATB;
        const TRect t = atb.ThumbRect();
        return {atb.TrackRect().Left + atb.PointerOffset() + atb.ThumbOffset(v), (t.Top + t.Bottom) / 2};
    }

    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
};

TEST_F(SeekingBarTest, DraggingTheBarSeeksTheRecording) {
    TSeekTrackBar& atb = *main().ATB;
    PlayRecording(1000);
    ASSERT_TRUE(main().Playing());
    EXPECT_FALSE(atb.isHidden());
    program.time.Advance(78 * 101); // the header line, then 100 groups
    EXPECT_EQ(main().ShownGroupCount(), 100);
    EXPECT_EQ(atb.Position(), 200 * 100 / 1000);

    std::vector<QString> hints;
    KeepHints(hints);
    const QPoint thumb = At(atb.Position());
    atb.MouseDown(Qt::LeftButton, {}, thumb.x(), thumb.y());
    EXPECT_EQ(main().TBSpeed->Position(), -3); // paused while held
    EXPECT_FALSE(main().LPAUSE->isHidden());
    atb.MouseMove({}, At(150).x(), thumb.y());
    ASSERT_EQ(atb.Position(), 150);
    // The hint names the group's time stamp: group 749 (0-based) plays next.
    ASSERT_EQ(hints.size(), 1u);
    EXPECT_EQ(hints[0], "2024/05/01 10:12:29.00");
    EXPECT_EQ(main().StatusText(), "C201 2400 0000 02ED @2024/05/01 10:12:29.00");
    const size_t before = RecordingPlugins::Groups().size();
    program.time.Advance(5000);
    EXPECT_EQ(RecordingPlugins::Groups().size(), before);

    atb.MouseUp(Qt::LeftButton, {}, At(150).x(), thumb.y());
    EXPECT_EQ(main().TBSpeed->Position(), 0);
    EXPECT_TRUE(main().LPAUSE->isHidden());
    program.time.Advance(78);
    EXPECT_EQ(LastGroup(), 999 * 150 / 200);
    EXPECT_EQ(main().ShownGroupCount(), 999 * 150 / 200 + 1);
    EXPECT_EQ(atb.Position(), 200 * (999 * 150 / 200 + 1) / 1000);

    // The stop hides the bar and puts it back at 0.
    main().Player().StopPlayingFile();
    EXPECT_TRUE(atb.isHidden());
    EXPECT_EQ(atb.Position(), 0);
}

TEST_F(SeekingBarTest, TheHintAndTheStatusLineNameOneGroup) {
    // Each group a second apart: two positions' groups never share a time.
    TSeekTrackBar& atb = *main().ATB;
    PlayRecording(1000);
    program.time.Advance(78 * 11);
    std::vector<QString> hints;
    KeepHints(hints);
    const QPoint thumb = At(atb.Position());
    atb.MouseDown(Qt::LeftButton, {}, thumb.x(), thumb.y());
    // One move per position, forward and back, as a hand drags.
    for (const int v : {37, 38, 120, 119, 200, 0, 1}) {
        hints.clear();
        atb.MouseMove({}, At(v).x(), thumb.y());
        ASSERT_EQ(atb.Position(), v);
        ASSERT_EQ(hints.size(), 1u) << v;
        const int group = 999 * v / 200;
        char stamp[32];
        std::snprintf(stamp, sizeof stamp, "2024/05/01 %02d:%02d:%02d.00", 10 + group / 3600, group / 60 % 60,
                      group % 60);
        EXPECT_EQ(hints[0], QString(stamp)) << v;
        EXPECT_TRUE(main().StatusText().endsWith(hints[0])) << v << ": " << main().StatusText().toStdString();
    }
    atb.MouseUp(Qt::LeftButton, {}, At(1).x(), thumb.y());
}

TEST_F(SeekingBarTest, FlatDisplayMakesTheBarOpaque) {
    EXPECT_TRUE(main().ATB->Transparent());
    main().ApplyFlatLCD(true);
    EXPECT_FALSE(main().ATB->Transparent());
}

} // namespace
