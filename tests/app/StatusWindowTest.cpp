// The status window in the running program: opened from the menu, ticking on
// the program's clock, closed by Escape, saved as a JPEG.
#include "AppFakes.h"
#include "OrvaneApp.h"
#include "RdsEncoder.h"
#include "RdsSignal.h"
#include "Unit1.h"
#include "si.h"

#include <QFile>
#include <QApplication>
#include <QLabel>
#include <QLayout>
#include <QStyle>
#include <QPushButton>
#include <QScreen>
#include <QTemporaryDir>
#include <QTest>
#include <QTreeWidget>
#include <gtest/gtest.h>

#include <cstdio>

#include <jpeglib.h>

using namespace orvane;
using namespace orvane::test;

namespace {

// Width and height of a JPEG file as libjpeg reads them; 0, 0 when it cannot.
std::pair<int, int> JpegSize(const std::string& path) {
    FILE* f = std::fopen(path.c_str(), "rb");
    if (!f) return {0, 0};
    jpeg_decompress_struct info;
    jpeg_error_mgr err;
    info.err = jpeg_std_error(&err);
    jpeg_create_decompress(&info);
    jpeg_stdio_src(&info, f);
    std::pair<int, int> size{0, 0};
    if (jpeg_read_header(&info, TRUE) == JPEG_HEADER_OK) {
        jpeg_start_decompress(&info);
        size = {static_cast<int>(info.output_width), static_cast<int>(info.output_height)};
        std::vector<unsigned char> row(info.output_width * info.output_components);
        while (info.output_scanline < info.output_height) {
            JSAMPROW r = row.data();
            jpeg_read_scanlines(&info, &r, 1);
        }
        jpeg_finish_decompress(&info);
    }
    jpeg_destroy_decompress(&info);
    std::fclose(f);
    return size;
}

class StatusWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        app = std::make_unique<OrvaneApp>(program.Env({}, false));
        app->CreateWindows();
        main = app->Forms().form1;
        fsi = app->Forms().fsi;
    }
    FakeProgram program;
    std::unique_ptr<OrvaneApp> app;
    TForm1* main = nullptr;
    TFSI* fsi = nullptr;
};

TEST_F(StatusWindowTest, OpensTicksAndCloses) {
    EXPECT_FALSE(fsi->Timer1->Enabled());
    EXPECT_EQ(fsi->Timer1->Interval(), 2972);
    main->MSIClick();
    EXPECT_TRUE(fsi->isVisible());
    EXPECT_EQ(fsi->windowTitle(), "Status Information");
    EXPECT_TRUE(fsi->Timer1->Enabled());
    EXPECT_EQ(fsi->RowNames(), (std::vector<std::string>{"RDS Source"}));
    EXPECT_EQ(fsi->RowValue("RDS Source"), "(No Source)");
    EXPECT_TRUE(fsi->LPW->isVisible());
    EXPECT_FALSE(fsi->PaintBox1->isVisible());
    EXPECT_GE(fsi->VLESI->columnWidth(0), 200);

    program.time.Advance(2972);
    EXPECT_FALSE(fsi->LPW->isVisible());
    EXPECT_EQ(fsi->RowValue("Groups per second"), "0.0");

    // The sound card shows the scope and its labels.
    main->SetSourceNumber(TForm1::kSourceSoundCard);
    program.time.Advance(2972);
    EXPECT_EQ(fsi->RowValue("RDS Source"), "Sound Card");
    EXPECT_TRUE(fsi->PaintBox1->isVisible());
    EXPECT_TRUE(fsi->LL->isVisible());
    EXPECT_EQ(fsi->PaintBox1->size(), QSize(301, 200));

    QTest::keyClick(fsi, Qt::Key_Escape);
    EXPECT_FALSE(fsi->isVisible());
    EXPECT_FALSE(fsi->Timer1->Enabled());
    EXPECT_EQ(fsi->VLESI->topLevelItemCount(), 0);
}

// Without the scope the panel below the list holds only "Please wait..." and
// the buttons; the list has the rest of the window.
TEST_F(StatusWindowTest, ThePanelShrinksToTheButtonsWithoutTheScope) {
    main->MSIClick();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fsi));
    const QSize size = fsi->size();
    for (int source : {TForm1::kSourceNone, TForm1::kSourceSoundCard, TForm1::kSourceSerial}) {
        SCOPED_TRACE(source);
        main->SetSourceNumber(source);
        program.time.Advance(2972);
        // The panel's layout first, then the window's.
        const QWidget* panel = fsi->Panel1;
        if (panel->layout()) panel->layout()->activate();
        fsi->layout()->activate();
        const QRect held = panel->childrenRect();
        const QMargins m = panel->layout() ? panel->layout()->contentsMargins() : QMargins();
        const int spacing = panel->style()->pixelMetric(QStyle::PM_LayoutVerticalSpacing);
        EXPECT_LE(panel->height() - held.height(), m.top() + m.bottom() + 2 * spacing);
        EXPECT_EQ(fsi->VLESI->geometry().bottom() + 1, panel->y());
        EXPECT_EQ(panel->geometry().bottom() + 1, fsi->height());
        EXPECT_EQ(fsi->size(), size);
        if (source == TForm1::kSourceSoundCard) EXPECT_GE(panel->height(), fsi->PaintBox1->height());
        else EXPECT_LT(panel->height(), fsi->PaintBox1->height());
    }
}

TEST_F(StatusWindowTest, OpensInsideTheScreen) {
    const QRect area = fsi->screen()->availableGeometry();
    fsi->move(area.right() - 100, area.bottom() - 100);
    main->MSIClick();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(fsi));
    EXPECT_TRUE(area.contains(fsi->frameGeometry()));
}

TEST_F(StatusWindowTest, SoundCardRowsAndScopeComeFromTheSlicer) {
    main->SetSourceNumber(TForm1::kSourceSoundCard);
    BitStream bits;
    for (const auto& g : StationGroups(0x7827, "STATUS  ", 6)) bits.Add(g);
    auto buffers = Buffers(StereoDataClock(bits.bits(), {}), 32768);
    for (int i = 0; i < 2; ++i) { // whole buffers only
        int32_t size = static_cast<int32_t>(buffers[static_cast<size_t>(i)].size());
        main->Slicer().WaveIn1BufferFilled(buffers[static_cast<size_t>(i)].data(), size);
    }
    const SlicerFigures f = main->Slicer().Figures();
    ASSERT_GT(f.bitRate, 0);
    main->MSIClick();
    program.time.Advance(2972); // the first tick after "Please wait..."
    EXPECT_EQ(fsi->RowValue("Received bits per second"), std::to_string(f.bitRate));
    EXPECT_NE(fsi->RowValue("Peak signal level Left"), "Silence");
    EXPECT_NE(fsi->RowValue("Peak signal level Right"), "Silence");
    // The tick zeroes the counters and the peaks it has shown.
    EXPECT_EQ(main->Slicer().Figures().buffers, 0);
    EXPECT_EQ(main->Slicer().Figures().peak1, 0);
    EXPECT_EQ(main->Slicer().Figures().bitRate, f.bitRate);
}

TEST_F(StatusWindowTest, GroupsCounterIsZeroedOnEveryTick) {
    main->MSIClick();
    for (int i = 0; i < 7; ++i) main->SendRDSGroup(TRDSGroupRec{});
    EXPECT_GT(main->GroupsThisSecond(), 0);
    program.time.Advance(2972);
    EXPECT_EQ(main->GroupsThisSecond(), 0);
    fsi->Button1Click();
    for (int i = 0; i < 3; ++i) main->SendRDSGroup(TRDSGroupRec{});
    main->MSIClick(); // the first tick restarts the count
    EXPECT_EQ(main->GroupsThisSecond(), 0);
}

TEST_F(StatusWindowTest, SaveWritesTheWindowAsJpeg) {
    QTemporaryDir dir;
    main->SetSourceNumber(TForm1::kSourceSoundCard);
    main->MSIClick();
    const std::string file = dir.filePath("status.jpg").toStdString();
    program.modal.fileToSave = file;
    fsi->Button2->click();
    EXPECT_EQ(JpegSize(file), std::make_pair(fsi->width(), fsi->height()));
    EXPECT_TRUE(program.modal.messages.empty());

    // Cancelled: nothing written.
    program.modal.fileToSave.clear();
    fsi->Button2Click();
    EXPECT_TRUE(program.modal.messages.empty());

    // A folder that does not exist: a message, no file.
    const std::string bad = dir.filePath("missing/status.jpg").toStdString();
    program.modal.fileToSave = bad;
    fsi->Button2Click();
    ASSERT_EQ(program.modal.messages.size(), 1u);
    EXPECT_NE(program.modal.messages[0].find(bad), std::string::npos);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(bad)));
}

} // namespace
