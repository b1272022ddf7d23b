// The status window's paint pass against figures worked out by hand, and a
// golden image of the stereo test signal.
#include "GoldenImage.h"
#include "PainterCanvas.h"
#include "RecordingCanvas.h"
#include "StatusFakes.h"
#include "StatusPlot.h"

#include <QImage>
#include <QPainter>
#include <gtest/gtest.h>

#include <set>

namespace orvane::test {
namespace {

class StatusPlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        plot::InitPlotLibrary();
        plot::CreateDataArray(left, ScopeSamples::kCount, 1);
        plot::CreateDataArray(right, ScopeSamples::kCount, 1);
    }
    std::vector<CanvasOp> LinesIn(TColor colour) const {
        std::vector<CanvasOp> out;
        for (const auto& op : canvas.Of(CanvasOp::Line))
            if (op.pen.color == colour) out.push_back(op);
        return out;
    }
    RecordingCanvas canvas;
    ScopeSamples scope;
    plot::Tdatatype left, right;
};

TEST_F(StatusPlotTest, SilenceOnThe301By200PaintBox) {
    PaintStatusPlot(canvas, 301, 200, true, scope, left, right);
    // Background: the whole box in navy, outlined in the button shadow.
    ASSERT_FALSE(canvas.ops.empty());
    EXPECT_EQ(canvas.ops[0].kind, CanvasOp::Rect);
    EXPECT_EQ(canvas.ops[0].points, (std::vector<CanvasPoint>{{0, 0}, {301, 200}}));
    EXPECT_EQ(canvas.ops[0].brush.color, clNavy);
    EXPECT_EQ(canvas.ops[0].pen.color, clBtnShadow);
    // Plot area x 5..291, y 3..181.
    const plot::PlotArea a = plot::CurrentPlotArea();
    EXPECT_EQ(a.left, 5);
    EXPECT_EQ(a.width, 286);
    EXPECT_EQ(a.bottom, 181);
    EXPECT_EQ(a.height, 178);
    // X labels 0 .. 300 at y 187; the Y axis is in the background colour and draws nothing.
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"0", "50", "100", "150", "200", "250", "300"}));
    for (const auto& t : canvas.Of(CanvasOp::Text)) EXPECT_EQ(t.points[0].y, 187);
    std::vector<int> majors;
    for (const auto& op : LinesIn(clGray))
        if (op.points[0].y == 181 && op.points[1].y == 187) majors.push_back(op.points[0].x);
    EXPECT_EQ(majors, (std::vector<int>{5, 53, 100, 148, 196, 243, 291}));
    // Silence: the left trace flat at y 48 in lime, the right at y 136 in red
    // (133.5 and 44.5 pixels above the bottom, halves to even).
    const auto lime = LinesIn(clLime), red = LinesIn(clRed);
    ASSERT_FALSE(lime.empty());
    ASSERT_FALSE(red.empty());
    std::set<int> limeY, redY;
    for (const auto& op : lime) limeY.insert({op.points[0].y, op.points[1].y});
    for (const auto& op : red) redY.insert({op.points[0].y, op.points[1].y});
    EXPECT_EQ(limeY, std::set<int>{48});
    EXPECT_EQ(redY, std::set<int>{136});
    // Sample i sits in row i + 1 at x = i + 1; the last ones are clipped at x 300.
    EXPECT_EQ(lime.front().points[0].x, 6);
    EXPECT_EQ(lime.back().points[1].x, 291);
    EXPECT_EQ(left[0][1], 1.0f); // the header row is left alone
    EXPECT_EQ(left[1][1], 1200.0f);
    EXPECT_EQ(right[301][1], -1200.0f);
    EXPECT_EQ(plot::Phase(), 0); // the pass is closed
}

TEST_F(StatusPlotTest, ScaleFollowsTheLargestSample) {
    scope.left[10] = 5000;
    scope.right[20] = -3000;
    PaintStatusPlot(canvas, 301, 200, true, scope, left, right);
    // c = 6000, d = -3600: the Y axis runs from -7200 to 12000.
    EXPECT_EQ(plot::Frame(1).axes[2].low, -7200.0);
    EXPECT_EQ(plot::Frame(1).axes[2].high, 12000.0);
    EXPECT_EQ(left[11][1], 11000.0f);
    EXPECT_EQ(right[21][1], -6600.0f);
}

TEST_F(StatusPlotTest, OtherSourcesAndMissingDataSets) {
    PaintStatusPlot(canvas, 301, 200, false, scope, left, right);
    ASSERT_EQ(canvas.ops.size(), 1u); // the background only
    EXPECT_EQ(canvas.ops[0].kind, CanvasOp::Rect);
    canvas.Clear();
    plot::Tdatatype none;
    PaintStatusPlot(canvas, 301, 200, true, scope, none, none);
    EXPECT_TRUE(canvas.ops.empty());
}

TEST_F(StatusPlotTest, GoldenStereoTestSignal) {
    QImage image(301, 200, QImage::Format_RGB32);
    image.fill(Qt::black);
    {
        QPainter painter(&image);
        PainterCanvas c(painter, &image);
        PaintStatusPlot(c, 301, 200, true, StereoTestSignal(), left, right);
    }
    // Navy background; the left channel's high level (10000 + 12000) in lime
    // near the top, the clock's low level in red near the bottom.
    EXPECT_EQ(image.pixel(150, 100) & 0xFFFFFF, 0x000080u);
    // c = 12000 and d = -12000, so the axis spans -24000 .. 24000: the data
    // high (22000) lies at 181 - 178 x 46000 / 48000 = 10.4 -> 10.
    int limeRun = 0;
    for (int x = 5; x < 290; ++x) limeRun += (image.pixel(x, 10) & 0xFFFFFF) == 0x00FF00u;
    EXPECT_GT(limeRun, 50);
    // The clock low (-8000 - 12000) at 181 - 178 x 4000 / 48000 = 166.2 -> 166.
    int redRun = 0;
    for (int x = 5; x < 290; ++x) redRun += (image.pixel(x, 166) & 0xFFFFFF) == 0xFF0000u;
    EXPECT_GT(redRun, 50);
    const GoldenResult r = CompareWithGolden(image, std::string(ORVANE_GOLDEN_DIR) + "/stereo.png");
    EXPECT_TRUE(r.ok) << r.message;
}

} // namespace
} // namespace orvane::test
