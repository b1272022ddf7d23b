// The settings table, text output, colours, region fill and primitives.
#include "PlotFixture.h"

#include <cmath>

namespace orvane::test {
namespace {

using namespace orvane::plot;

TEST_F(PlotTest, SettingsTableDefaults) {
    EXPECT_EQ(GetSettingValue(23), 1.0f);
    EXPECT_EQ(GetSettingValue(24), 0.6f);
    EXPECT_EQ(GetSettingInt(25), 0);
    EXPECT_EQ(GetSettingInt(45), 0);
    EXPECT_EQ(GetSettingInt(1), 1);
    EXPECT_EQ(GetSettingValue(7), -1.0f);
    EXPECT_EQ(GetSettingValue(0), -1.0f);
    EXPECT_EQ(GetSettingInt(0), -1);
    EXPECT_EQ(GetSettingValue(131), 2.0f);
    EXPECT_EQ(GetSettingValue(132), 1.0f);
    EXPECT_EQ(GetSettingValue(4), 0.0f); // "symbol exponent", the table's meaning of id 4
    EXPECT_EQ(GetSettingValue(122), 0.6f);
    EXPECT_THROW(GetSettingValue(133), PlotRangeError);
    EXPECT_THROW(GetSettingInt(-1), PlotRangeError);
    for (int scope : {1, 2, 3}) ResetSettingsScope(scope);
    ResetSetting(0);
    ResetSetting(500);
    ResetSetting(7);
    for (const auto& s : SettingsTable) EXPECT_EQ(GetSettingValue(s.id), s.value) << s.name;
    EXPECT_EQ(SettingsTable.size(), 39u);
    EXPECT_STREQ(SettingsTable[1].name, "legend breedte");
}

TEST_F(PlotTest, TextOutAlignedAndTheDrawingArea) {
    Start(200, 100, clWhite, clBlack);
    TextOutAligned(clRed, "abc", 10, 20, 0, 0);
    ASSERT_EQ(canvas.Of(CanvasOp::Text).size(), 1u);
    const CanvasOp t = canvas.Of(CanvasOp::Text)[0];
    EXPECT_EQ(t.points[0], (CanvasPoint{10, 20 - 13 / 2})); // centred: raised by H div 2, top-aligned
    EXPECT_EQ(t.textAlign, TA_CENTER | TA_TOP);
    EXPECT_EQ(t.font.color, clRed);
    EXPECT_EQ(Canvas()->textAlign, 0);
    TextOutAligned(-1, "x", 5, 5, -1, -1);
    EXPECT_EQ(canvas.Of(CanvasOp::Text)[1].textAlign, TA_RIGHT | TA_BOTTOM);
    EXPECT_EQ(canvas.Of(CanvasOp::Text)[1].font.color, clRed); // -1 keeps the colour
    // Anchors outside the canvas and empty texts draw nothing.
    canvas.Clear();
    TextOutAligned(clRed, "a", -1, 5, 1, 1);
    TextOutAligned(clRed, "a", 200, 5, 1, 1);
    TextOutAligned(clRed, "a", 5, 100, 1, 1);
    TextOutAligned(clRed, "", 5, 5, 1, 1);
    TextOutEx(clRed, "a|b", 5, 100, 1, 1, 0, 0, 0);
    EXPECT_TRUE(canvas.ops.empty());
    EXPECT_EQ(TextAlignFlags(1, 1), TA_LEFT | TA_TOP);
    EXPECT_EQ(TextAlignFlags(7, -1), TA_LEFT | TA_BOTTOM);
}

TEST_F(PlotTest, TextOutExLinesMarginsAndAngles) {
    Start(200, 100, clWhite, clBlack);
    // Three lines centred on the anchor, 0.95 H apart (0.75 H with option 2).
    struct Case {
        int options, step;
    };
    for (const Case c : {Case{0, 12}, Case{2, 10}}) {
        canvas.Clear();
        TextOutEx(clRed, "one|two|three", 100, 50, 0, 0, 0, 0, c.options);
        const auto lines = canvas.Of(CanvasOp::Text);
        ASSERT_EQ(lines.size(), 3u);
        const int T = 13 + 2 * c.step;
        for (int j = 0; j < 3; ++j) {
            EXPECT_EQ(lines[j].points[0], (CanvasPoint{100, 50 - T / 2 + j * c.step})) << j;
            EXPECT_EQ(lines[j].textAlign, TA_CENTER | TA_TOP);
        }
        EXPECT_EQ(lines[1].text, "two");
    }
    // The plain case: a margin of 3 pixels unless option 1.
    canvas.Clear();
    TextOutEx(clRed, "a", 10, 10, 1, 1, 0, 0, 0);
    TextOutEx(clRed, "a", 10, 10, 1, 1, 0, 0, 1);
    TextOutEx(clRed, "a", 50, 10, -1, 1, 0, 0, 0);
    const auto plain = canvas.Of(CanvasOp::Text);
    EXPECT_EQ(plain[0].points[0].x, 13);
    EXPECT_EQ(plain[1].points[0].x, 10);
    EXPECT_EQ(plain[2].points[0].x, 47);
    // Angles are taken modulo 360; the font turns and comes back.
    struct AngleCase {
        int angle, drawn;
    };
    for (const AngleCase a : {AngleCase{450, 90}, AngleCase{-90, 270}, AngleCase{720, 0}, AngleCase{-30, 330}}) {
        canvas.Clear();
        TextOutEx(clRed, "ab|c", 100, 50, 1, 1, 0, a.angle, 1);
        const auto rotated = canvas.Of(CanvasOp::Text);
        ASSERT_EQ(rotated.size(), 2u);
        EXPECT_EQ(rotated[0].font.escapement, a.drawn * 10) << a.angle;
        EXPECT_EQ(Canvas()->font.escapement, 0);
    }
    // At 90 degrees a second line below the first moves to its right... rotated
    // counter-clockwise, "below" becomes "to the right".
    canvas.Clear();
    TextOutEx(clRed, "ab|c", 100, 50, 1, 1, 0, 90, 1);
    const auto r = canvas.Of(CanvasOp::Text);
    EXPECT_EQ(r[0].points[0], (CanvasPoint{100, 50}));
    EXPECT_EQ(r[1].points[0], (CanvasPoint{112, 50}));
}

TEST_F(PlotTest, TextOutExBoxes) {
    Start(200, 100, clWhite, clBlack);
    TextOutEx(clRed, "ab|cd", 50, 50, 1, 1, 1, 0, 0);
    // Mode 1: a closed outline in the text colour around W x (T + 1).
    const auto lines = canvas.Of(CanvasOp::Line);
    ASSERT_EQ(lines.size(), 4u);
    const int W = 12 + 6, T = 13 + 12;
    EXPECT_EQ(lines[0].points, (std::vector<CanvasPoint>{{50, 50}, {50 + W, 50}}));
    EXPECT_EQ(lines[2].points[1], (CanvasPoint{50, 50 + T + 1}));
    EXPECT_EQ(lines[0].pen.color, clRed);
    canvas.Clear();
    TextOutEx(clRed, "ab", 50, 50, 1, 1, 3, 0, 0);
    const auto polys = canvas.Of(CanvasOp::Polygon);
    ASSERT_EQ(polys.size(), 1u);
    EXPECT_EQ(polys[0].brush.color, clWhite);
    EXPECT_EQ(polys[0].pen.color, clRed);
    EXPECT_EQ(canvas.Of(CanvasOp::Text)[0].brush.style, BrushStyle::Clear);
}

TEST_F(PlotTest, PlaceTickLabel) {
    Start(300, 200, clWhite, clBlack);
    int extent = -7;
    PlaceTickLabel(clRed, "", 1, 1, 50, 50, 90, extent);
    EXPECT_EQ(extent, -7);
    EXPECT_TRUE(canvas.ops.empty());
    // 90 degrees below an X axis: moved down by H div 6 only; extent w + H div 6.
    PlaceTickLabel(clRed, "100", 1, 1, 50, 50, 90, extent);
    EXPECT_EQ(extent, 18 + 2);
    auto t = canvas.Of(CanvasOp::Text);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].font.escapement, 900);
    // Right-aligned (horizontal -1), vertically centred, rotated about (50, 52).
    const int by = 52 - 13 / 2;
    EXPECT_EQ(t[0].points[0], (CanvasPoint{50 - (52 - by), 52}));
    // 30 degrees: right-aligned at its tick so it slants away from the axis.
    canvas.Clear();
    PlaceTickLabel(clRed, "100", 1, 1, 50, 50, 30, extent);
    EXPECT_EQ(extent, static_cast<int>(std::nearbyint(18 * 0.5 + 13 * std::cos(M_PI / 6))));
    t = canvas.Of(CanvasOp::Text);
    ASSERT_EQ(t.size(), 1u);
    EXPECT_EQ(t[0].textAlign & TA_CENTER, TA_RIGHT);
}

TEST_F(PlotTest, ColourOperations) {
    EXPECT_EQ(MixColours(clRed, clBlue, 1, 3), RGB(63, 0, 191));
    EXPECT_EQ(MixColours(0x123456, 0x654321, 0, 0), clBlack);
    EXPECT_EQ(MixColours(clRed, clBlue, -1, 3), clBlack);
    EXPECT_EQ(MixColours(clBtnShadow, clWhite, 1, 1), RGB(191, 191, 191));
    EXPECT_EQ(ChannelRed(0x123456), 0x56);
    EXPECT_EQ(ChannelGreen(0x123456), 0x34);
    EXPECT_EQ(ChannelBlue(0x123456), 0x12);
    EXPECT_EQ(ChannelRed(clBtnShadow), 0x80);
    EXPECT_EQ(SwapRedBlue(static_cast<TColor>(0x7F123456)), 0x563412);

    struct Case {
        int step, level, expected;
    };
    for (const Case c : {Case{0, 200, 200}, Case{1, 37, 37}, Case{300, 254, 0}, Case{300, 255, 255},
                         Case{64, 200, 192}, Case{64, 255, 192}, Case{64, 63, 0}}) {
        SetColourStep(c.step);
        EXPECT_EQ(QuantisedLevel(c.level), c.expected) << c.step << " " << c.level;
    }
    SetColourStep(1);
}

TEST_F(PlotTest, PrimitivesPixelRules) {
    Start(200, 100, clWhite, clBlack);
    // Pen -1 with fill $FF: a red rectangle with a red frame.
    DrawRect(-1, clRed, 1, 2, 10, 20);
    auto rect = canvas.Of(CanvasOp::Rect).back();
    EXPECT_EQ(rect.points, (std::vector<CanvasPoint>{{1, 2}, {10, 20}}));
    EXPECT_EQ(rect.pen.color, clRed);
    EXPECT_EQ(rect.brush.color, clRed);
    // Both -1: the pen and brush as they were.
    Canvas()->pen.color = clBlue;
    Canvas()->brush.color = clLime;
    DrawRect(-1, -1, 0, 0, 5, 5);
    rect = canvas.Of(CanvasOp::Rect).back();
    EXPECT_EQ(rect.pen.color, clBlue);
    EXPECT_EQ(rect.brush.color, clLime);
    // A circle outline of radius 3 about (10, 10): bounds (7, 7) to (14, 14).
    DrawCircle(clLime, -1, 10, 10, 3);
    const auto circle = canvas.Of(CanvasOp::Ellipse).back();
    EXPECT_EQ(circle.points, (std::vector<CanvasPoint>{{7, 7}, {14, 14}}));
    EXPECT_EQ(circle.pen.color, clLime);
    EXPECT_EQ(circle.brush.color, clLime); // the current brush
    // A pixel at multiplier 3: a filled square, pen width and brush kept.
    SetResolutionMultiplier(3);
    Canvas()->pen.width = 5;
    Canvas()->brush.style = BrushStyle::Clear;
    canvas.Clear();
    PlotPixel(20, 20, clRed);
    ASSERT_EQ(canvas.Of(CanvasOp::Rect).size(), 1u);
    const auto dot = canvas.Of(CanvasOp::Rect)[0];
    EXPECT_EQ(dot.points, (std::vector<CanvasPoint>{{19, 19}, {22, 22}}));
    EXPECT_EQ(dot.pen.width, 1);
    EXPECT_EQ(dot.brush.style, BrushStyle::Solid);
    EXPECT_EQ(Canvas()->pen.width, 5);
    EXPECT_EQ(Canvas()->brush.style, BrushStyle::Clear);
    SetResolutionMultiplier(1);
    // An outline with both colours -1 is closed in the foreground colour.
    canvas.Clear();
    DrawOutline(-1, -1, {{0, 0}, {10, 0}, {10, 10}}, false);
    const auto outline = canvas.Of(CanvasOp::Line);
    ASSERT_EQ(outline.size(), 3u);
    EXPECT_EQ(outline[2].points, (std::vector<CanvasPoint>{{10, 10}, {0, 0}}));
    for (const auto& l : outline) EXPECT_EQ(l.pen.color, clBlack);
}

TEST_F(PlotTest, FillShapeMasksAndShades) {
    Start(100, 100, clWhite, clBlack);
    canvas.Clear();
    FillShape(10, 10, 0, {});
    EXPECT_TRUE(canvas.ops.empty());
    Canvas()->pen.color = clBlack;
    Canvas()->brush.color = clRed;
    FillShape(10, 10, 3, {});
    // The mask pen (AND) fill, then the outline because the colours differ.
    ASSERT_EQ(canvas.Of(CanvasOp::Ellipse).size(), 2u);
    EXPECT_EQ(canvas.Of(CanvasOp::Ellipse)[0].mixMode, R2_MASKPEN);
    EXPECT_EQ(canvas.Of(CanvasOp::Ellipse)[1].mixMode, R2_COPYPEN);
    EXPECT_EQ(canvas.Of(CanvasOp::Ellipse)[1].brush.style, BrushStyle::Clear);
    EXPECT_EQ(Canvas()->brush.color, clRed);
    EXPECT_EQ(Canvas()->mixMode, R2_COPYPEN);

    // The shaded fill blends what lies beneath: shade 0.5 gives k = 4.
    Common().fillMode = 2;
    canvas.Clear();
    canvas.pixels[{5, 5}] = RGB(200, 100, 0);
    FillRegionShaded(ShadeRegion::Polygon({{0, 0}, {10, 0}, {10, 10}, {0, 10}}), RGB(255, 128, 64));
    auto expected = [](int v, int ch) { return ((v * 4 + 4 * 256) * ch) >> 11; };
    EXPECT_EQ(canvas.GetPixel(5, 5), RGB(expected(200, 255), expected(100, 128), expected(0, 64)));
    EXPECT_EQ(canvas.Of(CanvasOp::Pixel).size(), 100u);
    // The dotted fill sets every other pixel.
    Common().fillMode = 3;
    canvas.Clear();
    FillRegionShaded(ShadeRegion::Ellipse(0, 0, 4, 4), clRed);
    for (const auto& op : canvas.Of(CanvasOp::Pixel)) EXPECT_EQ((op.points[0].x + op.points[0].y) % 2, 1);
    EXPECT_FALSE(canvas.Of(CanvasOp::Pixel).empty());
    // Outside the drawing area, nothing.
    canvas.Clear();
    FillRegionShaded(ShadeRegion::Ellipse(200, 200, 210, 210), clRed);
    EXPECT_TRUE(canvas.ops.empty());
    Common().fillMode = 1;
}

} // namespace
} // namespace orvane::test
