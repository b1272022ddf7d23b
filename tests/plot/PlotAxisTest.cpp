// Axes, ticks and labels through the recording canvas (a "0" is 6 x 13).
#include "PlotFixture.h"

#include <cmath>
#include <map>

namespace orvane::test {
namespace {

using namespace orvane::plot;

class AxisTest : public PlotTest {
protected:
    // The status window's frame on its 301 x 200 paint box.
    void StatusFrame(int leftMargin = 5, int height = 200, int bottomMargin = 19) {
        Start(301, height, clNavy, clBtnShadow);
        SetFrame(0, 100, 0, 100, leftMargin, 10, 3, bottomMargin, false);
        canvas.Clear();
    }
    // Ticks: lines of the given length leaving the axis line at y.
    std::vector<int> VerticalTicks(int y, int length) const {
        std::vector<int> xs;
        for (const auto& op : canvas.Of(CanvasOp::Line))
            if (op.points[0].y == y && op.points[1].y == y + length && op.points[0].x == op.points[1].x)
                xs.push_back(op.points[0].x);
        return xs;
    }
    std::vector<int> HorizontalTicks(int x, int length) const {
        std::vector<int> ys;
        for (const auto& op : canvas.Of(CanvasOp::Line))
            if (op.points[0].x == x && op.points[1].x == x + length && op.points[0].y == op.points[1].y)
                ys.push_back(op.points[0].y);
        return ys;
    }
};

TEST_F(AxisTest, StatusWindowXAxis) {
    StatusFrame();
    DrawXAxis(clGray, "", 0, 0.0f, 300.0f, 0, 0, false, true);
    EXPECT_EQ(Phase(), 3);
    const auto& lines = canvas.Of(CanvasOp::Line);
    ASSERT_FALSE(lines.empty());
    // The axis line covers the plot's width inclusive (the end pixel is left out).
    EXPECT_EQ(lines[0].points, (std::vector<CanvasPoint>{{5, 181}, {292, 181}}));
    EXPECT_EQ(lines[0].pen.color, clGray);
    // Major ticks 6 long (round(6.5) to even), minor ticks 4 long (round(3.6)).
    EXPECT_EQ(VerticalTicks(181, 6), (std::vector<int>{5, 53, 100, 148, 196, 243, 291}));
    const auto minors = VerticalTicks(181, 4);
    EXPECT_EQ(minors.size(), 24u);
    EXPECT_EQ(std::vector<int>(minors.begin(), minors.begin() + 4), (std::vector<int>{15, 24, 34, 43}));
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"0", "50", "100", "150", "200", "250", "300"}));
    const int xs[] = {5, 53, 100, 148, 196, 243, 291};
    int i = 0;
    for (const auto& op : canvas.Of(CanvasOp::Text)) {
        EXPECT_EQ(op.points[0], (CanvasPoint{xs[i++], 187}));
        EXPECT_EQ(op.textAlign, TA_CENTER | TA_TOP);
        EXPECT_EQ(op.font.color, clGray);
        EXPECT_EQ(op.brush.style, BrushStyle::Clear);
    }
    const AxisSub& x = Frame(1).axes[0];
    EXPECT_TRUE(x.drawn);
    EXPECT_EQ(x.pixelOrigin, 5);
    EXPECT_EQ(x.pixelLength, 286);
    EXPECT_EQ(x.decimals, -1);
    EXPECT_TRUE(Axes(0).axes[0].present);
}

TEST_F(AxisTest, YAxisFromMinus2400To2400LabelsEvery1000) {
    StatusFrame(40);
    DrawXAxis(clGray, "", 0, 0, 300, 0, 0, false, true);
    canvas.Clear();
    DrawYAxis(clWhite, "", 1, -2400, 2400, 0, 0, false, false, true);
    EXPECT_EQ(Phase(), 4);
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"-2000", "-1000", "0", "1000", "2000"}));
    // Kind 1: ticks and labels to the left of the plot's left edge, each label
    // right-aligned and raised by half a character once.
    const CanvasOp* zero = canvas.FindText("0");
    ASSERT_TRUE(zero);
    const int y0 = 181 - 89; // the middle of 3..181
    EXPECT_EQ(zero->points[0], (CanvasPoint{40 - 2 - 6, y0 - 6}));
    EXPECT_EQ(zero->textAlign, TA_RIGHT | TA_TOP);
    EXPECT_EQ(HorizontalTicks(40, -6).size(), 5u);

    // Compact labels write the thousands with an exponent.
    StatusFrame(40);
    DrawXAxis(clGray, "", 0, 0, 300, 0, 0, false, true);
    canvas.Clear();
    DrawYAxis(clWhite, "", 1, -2400, 2400, 0, 0, false, false, false);
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"-2E3", "-1E3", "0", "1E3", "2E3"}));
}

TEST_F(AxisTest, ReversedAxisShowsTheTrueValues) {
    StatusFrame();
    DrawXAxis(clWhite, "", 0, 300, 0, 0, 0, false, true);
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"300", "250", "200", "150", "100", "50", "0"}));
    EXPECT_EQ(canvas.FindText("300")->points[0].x, 5);
    EXPECT_EQ(canvas.FindText("0")->points[0].x, 291);
    EXPECT_EQ(MapX(300), 5);
    EXPECT_EQ(MapX(0), 291);
}

TEST_F(AxisTest, CaptionAndUnitSuffix) {
    StatusFrame(5, 260, 60);
    DrawXAxis(clWhite, "Freq|Hz", 0, 0, 300, 0, 0, false, true);
    const auto texts = canvas.Texts();
    ASSERT_FALSE(texts.empty());
    EXPECT_EQ(texts.front(), "0Hz");
    EXPECT_EQ(texts[texts.size() - 2], "300Hz");
    // The caption, without the unit, centred under the plot beyond the labels.
    EXPECT_EQ(texts.back(), "Freq");
    const CanvasOp* caption = canvas.FindText("Freq");
    EXPECT_EQ(caption->points[0], (CanvasPoint{5 + 143, 200 + 6 + 13}));
    // Without "|" there is no suffix.
    StatusFrame(5, 260, 60);
    DrawXAxis(clWhite, "Time", 0, 0, 300, 0, 0, false, true);
    EXPECT_TRUE(canvas.FindText("0"));
    EXPECT_TRUE(canvas.FindText("Time"));
}

TEST_F(AxisTest, LogarithmicAxesAndTheirFallbacks) {
    StatusFrame();
    DrawXAxis(clWhite, "", 0, 1, 1000, 0, 0, true, false);
    EXPECT_TRUE(Frame(1).axes[0].logarithmic);
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"1", "10", "100", "1000"}));
    EXPECT_EQ(MapX(1), 5);
    EXPECT_EQ(MapX(10), 5 + 95); // a third of 286, halves to even
    EXPECT_EQ(MapX(1000), 291);
    // Log tick lengths: width of "0" + 1 for majors (1, 2, 5) and half of it + 1.
    EXPECT_EQ(VerticalTicks(181, 7).size(), 4u * 3 - 2);
    EXPECT_FALSE(VerticalTicks(181, 4).empty());

    struct Case {
        float min, max;
    };
    for (const Case c : {Case{0, 100}, Case{10, 15}, Case{-10, 100}}) {
        StatusFrame();
        DrawXAxis(clWhite, "", 0, c.min, c.max, 0, 0, true, true);
        EXPECT_FALSE(Frame(1).axes[0].logarithmic) << c.min << ".." << c.max;
        EXPECT_TRUE(Frame(1).axes[0].drawn);
        EXPECT_FALSE(canvas.Texts().empty());
    }
}

TEST_F(AxisTest, AxisInTheBackgroundColourOnlyScales) {
    StatusFrame();
    DrawXAxis(clGray, "", 0, 0, 300, 0, 0, false, true);
    canvas.Clear();
    DrawYAxis(clNavy, "Hidden", 2, -2400, 2400, 0, 0, true, false, true);
    EXPECT_TRUE(canvas.ops.empty());
    EXPECT_EQ(Phase(), 4);
    EXPECT_TRUE(Frame(1).axes[2].drawn);
    EXPECT_EQ(MapY(1200), 48); // 181 - 133.5, halves to even
    EXPECT_EQ(MapY(-1200), 136);
    // Colour -255 draws in the background colour and counts as visible.
    StatusFrame();
    DrawXAxis(-255, "", 0, 0, 300, 0, 0, false, true);
    EXPECT_FALSE(canvas.Of(CanvasOp::Line).empty());
    EXPECT_EQ(canvas.Of(CanvasOp::Line)[0].pen.color, clNavy);
}

TEST_F(AxisTest, AxisCallsThatAreRefused) {
    StatusFrame();
    DrawXAxis(clWhite, "", 0, 5, 5, 0, 0, false, true);   // empty range
    DrawXAxis(clWhite, "", 0, 0, NAN, 0, 0, false, true); // not finite
    DrawXAxis(clWhite, "", 0, -INFINITY, 1, 0, 0, false, true);
    EXPECT_EQ(Phase(), 2);
    DrawXAxis(clWhite, "", 0, 0, 10, 0, 0, false, true);
    DrawYAxis(clWhite, "", 9, 0, 10, 0, 0, false, false, true); // kind out of range
    DrawYAxis(clWhite, "", -1, 0, 10, 0, 0, false, false, true);
    EXPECT_EQ(Phase(), 3);
    DrawYAxis(clWhite, "", 0, 0, 10, 0, 0, false, false, true); // 0 counts as 1
    EXPECT_EQ(Phase(), 4);
    EXPECT_TRUE(Frame(1).axes[1].drawn);
    canvas.Clear();
    DrawXAxis(clWhite, "", 0, 0, 10, 0, 0, false, true); // after a Y axis
    EXPECT_TRUE(canvas.ops.empty());
    EXPECT_EQ(Phase(), 4);
    // A Y axis in a frame without an X axis still draws (no division by a missing width).
    StatusFrame();
    DrawYAxis(clWhite, "", 1, 0, 10, 0, 0, false, false, true);
    EXPECT_EQ(Phase(), 4);
}

TEST_F(AxisTest, UserStepIsTheSmallestMajorStep) {
    StatusFrame();
    DrawXAxis(clWhite, "", 0, 0, 300, 130, 0, false, true);
    // 130 rounds to 100 (1, 2 or 5 times a power of ten).
    EXPECT_EQ(canvas.Texts(), (std::vector<std::string>{"0", "100", "200", "300"}));
}

TEST_F(AxisTest, DottedGridLines) {
    StatusFrame();
    DrawXAxis(clWhite, "", 1, 0, 300, 0, 0, false, true);
    std::map<int, int> perColumn;
    for (const auto& op : canvas.Of(CanvasOp::Pixel)) ++perColumn[op.points[0].x];
    // No grid line on the plot's own left edge.
    EXPECT_EQ(perColumn.count(5), 0u);
    // Major lines: runs of four pixels on and four off over 0..178.
    int majors = 0, minors = 0;
    for (int e = 0; e <= 178; ++e) {
        if ((4 & e) == 0) ++majors;
        if ((7 & e) == 0) ++minors;
    }
    EXPECT_EQ(perColumn[53], majors);
    EXPECT_EQ(perColumn[15], minors);
    std::vector<int> ys;
    for (const auto& op : canvas.Of(CanvasOp::Pixel))
        if (op.points[0].x == 53 && op.points[0].y > 181 - 9) ys.push_back(op.points[0].y);
    EXPECT_EQ(ys, (std::vector<int>{181, 180, 179, 178, 173}));
}

TEST_F(AxisTest, LongAxisTicksDoNotDrift) {
    Start(3002, 100, clWhite, clBlack);
    SetFrame(0, 100, 0, 100, 1, 1, 1, 40, false);
    canvas.Clear();
    DrawXAxis(clBlack, "", 0, 0, 3, 0, 0, false, true);
    const auto ticks = VerticalTicks(60, 6);
    ASSERT_EQ(ticks.size(), 61u);
    // Tick i at exactly i x 0.05 mapped onto 3000 pixels.
    for (int i = 0; i < 61; ++i) EXPECT_EQ(ticks[i], 1 + 50 * i) << i;
    EXPECT_EQ(canvas.Texts().back(), "3.00");
}

} // namespace
} // namespace orvane::test
