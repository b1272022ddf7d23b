// The drawing pass, frames, data sets, legend, readout and graph buffers.
#include "PlotFixture.h"

#include <cmath>
#include <limits>

namespace orvane::test {
namespace {

using namespace orvane::plot;

TEST_F(PlotTest, PlotDataAloneDrawsACompleteDefaultGraph) {
    plot::StartGraph(canvas, 400, 300, clWhite, clBlack, 1.0f);
    // The reset fills the canvas with the background, outlined in the foreground.
    ASSERT_FALSE(canvas.ops.empty());
    EXPECT_EQ(canvas.ops[0].kind, CanvasOp::Rect);
    EXPECT_EQ(canvas.ops[0].points, (std::vector<CanvasPoint>{{0, 0}, {400, 300}}));
    EXPECT_EQ(canvas.ops[0].brush.color, clWhite);
    canvas.Clear();

    Tdatatype d = Series({{0, 0}, {10, 5}, {20, 10}});
    PlotData(d, 1, 2);
    EXPECT_EQ(Phase(), 4);
    const PlotArea a = CurrentPlotArea();
    EXPECT_EQ(a.left, 35);
    EXPECT_EQ(a.width, 400 - 35 - 20);
    EXPECT_EQ(a.bottom, 300 - 35);
    EXPECT_EQ(a.height, 300 - 35 - 25);
    EXPECT_TRUE(canvas.FindText("X"));
    EXPECT_TRUE(canvas.FindText("Y1"));
    // The X axis is padded by a twentieth of the range on each side: -1 .. 21.
    EXPECT_EQ(Frame(1).axes[0].low, -1.0);
    EXPECT_EQ(Frame(1).axes[0].high, 21.0);
    EXPECT_EQ(Frame(1).axes[1].low, -0.5);
    EXPECT_EQ(Frame(1).axes[1].high, 10.5);
    // The data line runs from the mapped first point to the mapped last one.
    std::vector<CanvasOp> data;
    for (const auto& op : canvas.Of(CanvasOp::Line))
        if (op.points[0] == CanvasPoint{MapX(0), MapY(0)} || op.points[0] == CanvasPoint{MapX(10), MapY(5)})
            data.push_back(op);
    ASSERT_EQ(data.size(), 2u);
    EXPECT_EQ(data[1].points[1], (CanvasPoint{MapX(20), MapY(10)}));
    // The line leaves out its last pixel; the pass ends by painting it.
    canvas.Clear();
    EndGraph();
    ASSERT_EQ(canvas.Of(CanvasOp::Pixel).size(), 1u);
    EXPECT_EQ(canvas.Of(CanvasOp::Pixel)[0].points[0], (CanvasPoint{MapX(20), MapY(10)}));
}

TEST_F(PlotTest, NothingHappensOutsideAPass) {
    Tdatatype d = Series({{0, 0}, {1, 1}});
    PlotData(d, 1, 2);
    SetFrame(0, 100, 0, 100, 5, 5, 5, 5, false);
    DrawXAxis(clBlack, "X", 0, 0, 10, 0, 0, false, true);
    DrawYAxis(clBlack, "Y", 1, 0, 10, 0, 0, false, false, true);
    EndGraph();
    EXPECT_TRUE(canvas.ops.empty());
    EXPECT_EQ(Phase(), 0);

    Start();
    PlotData(d, 1, 2);
    EndGraph();
    const size_t drawn = canvas.ops.size();
    EXPECT_GT(drawn, 0u);
    // A closed pass takes nothing more, and a second EndGraph is harmless.
    EndGraph();
    PlotData(d, 1, 2);
    EXPECT_EQ(canvas.ops.size(), drawn);
}

TEST_F(PlotTest, PenWidthAndFontScale) {
    Start();
    SetPenWidth(0);
    SetPenWidth(-2);
    EXPECT_EQ(Canvas()->pen.width, 1);
    SetPenWidth(3);
    EXPECT_EQ(Canvas()->pen.width, 3);
    SetResolutionMultiplier(2);
    SetPenWidth(3);
    EXPECT_EQ(Canvas()->pen.width, 6);
    SetResolutionMultiplier(1);

    plot::StartGraph(canvas, 100, 100, clWhite, clBlack, 0.0f);
    EXPECT_EQ(Canvas()->font.size, 8);
    EXPECT_EQ(Canvas()->font.name, "Arial");
    plot::StartGraph(canvas, 100, 100, clWhite, clBlack, 2.0f);
    EXPECT_EQ(Canvas()->font.size, 16);
}

TEST_F(PlotTest, ContrastColourComplementsAnEqualBackground) {
    plot::StartGraph(canvas, 100, 100, 0x123456, 0x123456, 1.0f);
    EXPECT_EQ(ContrastColour(), static_cast<TColor>(~0x123456u));
    plot::StartGraph(canvas, 100, 100, clWhite, clRed, 1.0f);
    EXPECT_EQ(ContrastColour(), clRed);
}

TEST_F(PlotTest, FrameLayout) {
    struct Case {
        int x1, x2, y1, y2, l, r, t, b;
        bool valid;
        int left, width, bottom, height;
    };
    const Case cases[] = {
        {0, 100, 0, 100, 5, 10, 3, 19, true, 5, 286, 181, 178}, // the status window
        {100, 0, 0, 100, 5, 10, 3, 19, true, 5, 286, 181, 178}, // ends in either order
        {-20, 120, 0, 100, 0, 0, 0, 0, true, 0, 301, 200, 200}, // clamped to 0..100
        {50, 100, 50, 100, 0, 0, 0, 0, true, 150, 151, 200, 100}, // halves to even: 150.5 -> 150
        {150, 200, 0, 100, 0, 0, 0, 0, false, 452, -151, 200, 200}, // X1 stays above X2 = 100
        {0, 100, 0, 100, 200, 200, 0, 0, false, 200, -99, 200, 200}, // margins wider than the frame
    };
    for (const auto& c : cases) {
        Start();
        SetFrame(c.x1, c.x2, c.y1, c.y2, c.l, c.r, c.t, c.b, false);
        const PlotArea a = CurrentPlotArea();
        SCOPED_TRACE(testing::Message() << c.x1 << ".." << c.x2);
        EXPECT_EQ(Frame(1).valid, c.valid);
        EXPECT_EQ(a.left, c.left);
        EXPECT_EQ(a.width, c.width);
        EXPECT_EQ(a.bottom, c.bottom);
        EXPECT_EQ(a.height, c.height);
        EXPECT_EQ(Phase(), 2);
        EXPECT_EQ(Axes(0).valid, c.valid);
    }
    // An invalid frame takes no axes and no data.
    Start();
    SetFrame(150, 200, 0, 100, 0, 0, 0, 0, false);
    DrawXAxis(clBlack, "", 0, 0, 10, 0, 0, false, true);
    Tdatatype d = Series({{0, 0}, {1, 1}});
    PlotData(d, 1, 2);
    EXPECT_EQ(Phase(), 2);
    EXPECT_TRUE(canvas.ops.empty());
}

TEST_F(PlotTest, EightFramesAndNoNinth) {
    Start();
    for (int i = 0; i < 8; ++i) SetFrame(0, 100, 0, 100, 1, 1, 1, 1, false);
    EXPECT_EQ(FrameCount(), 8);
    EXPECT_TRUE(Frame(8).valid);
    DrawXAxis(clBlack, "", 0, 0, 10, 0, 0, false, true);
    EXPECT_EQ(Phase(), 3);
    canvas.Clear();
    SetFrame(0, 100, 0, 100, 1, 1, 1, 1, false);
    EXPECT_EQ(FrameCount(), 8);
    EXPECT_FALSE(Frame(8).valid);
    EXPECT_EQ(Phase(), 3); // the ninth call changes no phase
    DrawYAxis(clBlack, "", 1, 0, 10, 0, 0, false, false, true);
    EXPECT_TRUE(canvas.ops.empty());
    EXPECT_EQ(Phase(), 3);
}

TEST_F(PlotTest, ResetZoomKeepsTheFramesValid) {
    ResetZoom(9);
    ResetZoom(-1);
    ResetZoom(3);
    ResetZoom(0);
    for (int f = 1; f <= 8; ++f) {
        EXPECT_EQ(Frame(f).zoomXLow, 0.0);
        EXPECT_EQ(Frame(f).zoomXHigh, 1.0);
        EXPECT_EQ(Frame(f).zoomYHigh, 1.0f);
    }
}

TEST_F(PlotTest, CreateDataArrayNumbersRowsAndColumns) {
    Tdatatype d;
    CreateDataArray(d, 301, 1);
    ASSERT_EQ(d.size(), 302u);
    for (size_t r = 0; r < d.size(); ++r) {
        ASSERT_EQ(d[r].size(), 2u);
        EXPECT_EQ(d[r][0], static_cast<float>(r));
    }
    EXPECT_EQ(d[0][1], 1.0f);
    EXPECT_EQ(d[5][1], 0.0f);
}

TEST_F(PlotTest, DataSetsThatCannotBePlotted) {
    Tdatatype headerOnly;
    CreateDataArray(headerOnly, 0, 1);
    Tdatatype noColumns;
    CreateDataArray(noColumns, 5, 0);
    Tdatatype backwards = Series({{10, 1}, {0, 2}});
    Tdatatype allNaN = Series({{0, std::numeric_limits<float>::quiet_NaN()}, {1, INFINITY}});
    Tdatatype empty;
    struct Case {
        Tdatatype* data;
        int phase; // how far the automatic steps got
    };
    for (const Case c : {Case{&headerOnly, 1}, Case{&noColumns, 1}, Case{&empty, 1}, Case{&backwards, 2},
                         Case{&allNaN, 3}}) {
        Start();
        PlotData(*c.data, 1, 2);
        EXPECT_EQ(Phase(), c.phase);
        if (c.phase == 1) {
            EXPECT_TRUE(canvas.ops.empty());
        }
        EndGraph();
        EXPECT_TRUE(canvas.Of(CanvasOp::Pixel).empty()) << "no data line ended";
    }
}

TEST_F(PlotTest, NonFinitePointsAreSkippedNeverDrawn) {
    AxesTo(400, 300, 0, 0, 0, 0, 4, 4);
    Tdatatype d = Series({{0, 1}, {1, 2}, {2, std::nanf("")}, {3, 2}, {4, INFINITY}});
    PlotData(d, 1, 2);
    EndGraph();
    const auto lines = LinesIn(clRed);
    ASSERT_EQ(lines.size(), 1u); // 0 -> 1; the point after the gap starts a new line with no partner
    EXPECT_EQ(lines[0].points[0], (CanvasPoint{MapX(0), MapY(1)}));
    for (const auto& op : canvas.ops)
        for (const auto& p : op.points) {
            EXPECT_GE(p.x, -1);
            EXPECT_LE(p.x, 401);
        }
}

TEST_F(PlotTest, LinesAreClippedAtThePlotEdges) {
    AxesTo(301, 200, 5, 10, 3, 19, 10, 10);
    // From the middle straight up beyond the top, then wholly outside.
    Tdatatype d = Series({{5, 5}, {5, 20}, {8, 30}});
    PlotData(d, 1, 2);
    EndGraph();
    const auto lines = LinesIn(clRed);
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].points[0], (CanvasPoint{MapX(5), MapY(5)}));
    EXPECT_EQ(lines[0].points[1], (CanvasPoint{MapX(5), 3})); // ends on the top edge
    // The end on the edge is inside the plot area, so its pixel is painted.
    ASSERT_EQ(canvas.Of(CanvasOp::Pixel).size(), 1u);
    EXPECT_EQ(canvas.Of(CanvasOp::Pixel)[0].points[0], (CanvasPoint{MapX(5), 3}));
}

TEST_F(PlotTest, SymbolsBarsAndASingleRow) {
    AxesTo(301, 200, 5, 10, 3, 19, 10, 10);
    Tdatatype one = Series({{5, 5}});
    PlotData(one, 1, 2); // a single point: a move only
    EXPECT_TRUE(LinesIn(clRed).empty());
    // Style 0: the line, then the default symbol (circle of size 6) on top.
    Tdatatype two = Series({{2, 2}, {4, 4}});
    PlotData(two, 0, 2);
    const auto circles = canvas.Of(CanvasOp::Ellipse);
    ASSERT_EQ(circles.size(), 2u);
    const int x = MapX(2), y = MapY(2);
    EXPECT_EQ(circles[0].points, (std::vector<CanvasPoint>{{x - 3, y - 3}, {x + 4, y + 4}}));
    EXPECT_EQ(circles[0].brush.color, clWhite); // fill mode 1: the background colour
    EXPECT_EQ(circles[0].pen.color, clRed);
    size_t lineIndex = 0, circleIndex = 0;
    for (size_t i = 0; i < canvas.ops.size(); ++i) {
        if (canvas.ops[i].kind == CanvasOp::Line && canvas.ops[i].pen.color == clRed) lineIndex = i;
        if (canvas.ops[i].kind == CanvasOp::Ellipse && !circleIndex) circleIndex = i;
    }
    EXPECT_LT(lineIndex, circleIndex);
    // A bar of a one-row data set is one unit wide, from 0 up to the value.
    canvas.Clear();
    PlotData(one, 3, 2);
    const auto bars = canvas.Of(CanvasOp::Rect);
    ASSERT_EQ(bars.size(), 1u);
    EXPECT_EQ(bars[0].points[0], (CanvasPoint{MapX(4.5), MapY(5)}));
    EXPECT_EQ(bars[0].points[1], (CanvasPoint{MapX(5.5) + 1, MapY(0) + 1}));
    EXPECT_EQ(bars[0].brush.color, clRed);
    EXPECT_EQ(bars[0].pen.style, PenStyle::Clear);
}

TEST_F(PlotTest, MultiAxisDataSetsGetAnAxisPerHeader) {
    Start(400, 300, clWhite, clBlack);
    Tdatatype d;
    CreateDataArray(d, 3, 3);
    d[0][1] = 1;
    d[0][2] = 2;
    d[0][3] = 2;
    for (int r = 1; r <= 3; ++r) {
        d[r][1] = static_cast<float>(r);
        d[r][2] = static_cast<float>(100 * r);
        d[r][3] = static_cast<float>(50 * r);
    }
    PlotData(d, 1, 3);
    EXPECT_TRUE(Frame(1).axes[1].drawn);
    EXPECT_TRUE(Frame(1).axes[2].drawn);
    EXPECT_FALSE(Frame(1).axes[3].drawn);
    EXPECT_TRUE(canvas.FindText("Y2"));
    // Y2 spans both of its columns: 50 .. 300 padded by a twentieth.
    EXPECT_DOUBLE_EQ(Frame(1).axes[2].low, 50 - 12.5);
    EXPECT_DOUBLE_EQ(Frame(1).axes[2].high, 300 + 12.5);
    EXPECT_EQ(Frame(1).readout.mode, 3);
    // A one-column data set with header 1 stays single-axis.
    Start(400, 300, clWhite, clBlack);
    Tdatatype single = Series({{0, 1}, {1, 2}});
    PlotData(single, 1, 3);
    EXPECT_EQ(Frame(1).readout.mode, 2);
}

TEST_F(PlotTest, LegendEntries) {
    Start(301, 200, clWhite, clBlack);
    Canvas()->pen.color = clRed;
    AddLegendEntry(0, "Left");
    AddLegendEntry(0, "Left");
    AddLegendEntry(9, "Ignored");
    ASSERT_EQ(Legend().size(), 1u);
    EXPECT_EQ(Legend()[0].colour, clRed);
    // A series in the background colour gets no entry; its slot stays empty.
    Canvas()->pen.color = clWhite;
    AddLegendEntry(0, "Hidden");
    EXPECT_EQ(Legend().size(), 1u);
    SetFrame(0, 100, 0, 100, 5, 5, 5, 5, false);
    DrawXAxis(clBlack, "", 0, 0, 1, 0, 0, false, true);
    DrawYAxis(clBlack, "", 1, 0, 3, 0, 0, false, false, true);
    Tdatatype d = Series({{0, 1}, {1, 2}});
    Canvas()->pen.color = clWhite;
    PlotData(d, 1, 2);
    ASSERT_EQ(LegendSlots().size(), 2u);
    EXPECT_TRUE(LegendSlots()[1].text.empty());
    Canvas()->pen.color = clLime;
    PlotData(d, 1, 2);
    PlotData(d, 1, 2);
    EXPECT_EQ(LegendSlots()[1].text, "\xFF");
    EXPECT_EQ(LegendSlots()[1].colour, clLime);
    EXPECT_EQ(Legend().size(), 1u);
    // A slot number beyond the data set's columns is ignored, not written.
    AddLegendEntry(0, "\xFF" "99");
    EXPECT_EQ(LegendSlots().size(), 2u);
}

TEST_F(PlotTest, FormatSignificant) {
    struct Case {
        int digits;
        float value;
        const char* text;
    };
    const Case cases[] = {
        {6, 1234567.0f, "1234560"}, {6, 0.000123f, "1.23000E-4"}, {6, 0.0f, "0"},
        {6, -2.5f, "-2.50000"},     {3, 12.0f, "12.0"},          {6, 5e12f, "5.00000E12"},
        {0, 7.0f, "7"},             {99, 1.5f, "1.50000000000"}, {2, 123.0f, "120"},
        {6, 0.05f, "0.0500000"},
    };
    for (const auto& c : cases) {
        std::string text;
        FormatSignificant(c.digits, text, c.value);
        EXPECT_EQ(text, c.text) << c.digits << " " << c.value;
    }
}

TEST_F(PlotTest, ReadoutDescribesARow) {
    Start(301, 200, clWhite, clBlack);
    Tdatatype d = Series({{1.5f, 2.25f}, {3, 4}});
    PlotData(d, 1, 2);
    std::string text;
    DataReadoutText(1, 1, text);
    EXPECT_EQ(text, "N=1 X=1.50000 Y=2.25000");
    DataReadoutText(7, 1, text);
    EXPECT_EQ(text, "");
    DataReadoutText(-1, 1, text);
    EXPECT_EQ(text, "");
}

TEST_F(PlotTest, GraphBufferDescribesTheSurface) {
    Start(301, 200);
    EXPECT_EQ(GraphBuffer().width, 301);
    EXPECT_EQ(GraphBuffer().height, 200);
    EXPECT_EQ(GraphBuffer().formName, "FSI");
    EXPECT_EQ(GraphBuffer().frames, 0);
    SetFrame(0, 100, 0, 100, 1, 1, 1, 1, false);
    EXPECT_EQ(GraphBuffer().frames, 1);
    EXPECT_EQ(Captions(), (std::vector<std::string>{"X", "Y1", "Y2", "Y3", "Y4"}));
}

} // namespace
} // namespace orvane::test

namespace orvane::test {
namespace {

using namespace orvane::plot;

// A data set with an extended header: rows 1 to 7 of column 1 hold its plot
// settings, the data starts at row 8.
Tdatatype Extended(int style, TColor colour, int width, int dash, int kind, int size, int fill,
                   const std::vector<std::pair<float, float>>& points) {
    Tdatatype d;
    CreateDataArray(d, 7 + static_cast<int>(points.size()), 1);
    d[0][0] = 1;
    const int settings[7] = {style, static_cast<int>(colour), width, dash, kind, size, fill};
    for (int r = 1; r <= 7; ++r) d[r][1] = static_cast<float>(settings[r - 1]);
    for (size_t i = 0; i < points.size(); ++i) {
        d[8 + i][0] = points[i].first;
        d[8 + i][1] = points[i].second;
    }
    return d;
}

TEST_F(PlotTest, SymbolShapes) {
    struct Case {
        int kind;
        CanvasOp::Kind op;
        std::vector<CanvasPoint> points; // relative to the symbol's centre, size 6 (s 3, d 4)
    };
    const Case cases[] = {
        {2, CanvasOp::Rect, {{-3, -3}, {4, 4}}},
        {3, CanvasOp::Polygon, {{-3, 3}, {3, 3}, {0, -4}}},
        {4, CanvasOp::Polygon, {{-3, -3}, {3, -3}, {0, 4}}},
        {5, CanvasOp::Polygon, {{-3, 3}, {-3, -3}, {4, 0}}},
        {6, CanvasOp::Polygon, {{3, 3}, {3, -3}, {-4, 0}}},
        {7, CanvasOp::Line, {{0, -3}, {0, 4}}},   // with a 1-pixel pen the ends are inclusive
        {8, CanvasOp::Line, {{-2, -2}, {3, 3}}},
    };
    for (const auto& c : cases) {
        AxesTo(301, 200, 5, 10, 3, 19, 10, 10);
        Tdatatype d = Extended(2, clBlue, 1, 0, c.kind, 6, 2, {{5, 5}});
        PlotData(d, 0, 2);
        const auto ops = canvas.Of(c.op);
        ASSERT_FALSE(ops.empty()) << c.kind;
        const int x = MapX(5), y = MapY(5);
        std::vector<CanvasPoint> rel;
        for (const auto& p : ops[0].points) rel.push_back({p.x - x, p.y - y});
        EXPECT_EQ(rel, c.points) << c.kind;
        EXPECT_EQ(ops[0].pen.color, clBlue);
        if (c.op != CanvasOp::Line) {
            EXPECT_EQ(ops[0].brush.color, clBlue) << "fill mode 2: the symbol colour";
        }
    }
}

TEST_F(PlotTest, ExtendedHeaderDashesAndRestoresThePen) {
    AxesTo(301, 200, 5, 10, 3, 19, 300, 10);
    // A horizontal line over 100 pixels, dashes of 10: 5 on, 5 off.
    Tdatatype d = Extended(1, clBlue, 1, 10, 0, 0, 0, {{100, 5}, {200, 5}});
    PlotData(d, 1, 2);
    const auto dashes = LinesIn(clBlue);
    const int x0 = MapX(100), y = MapY(5);
    ASSERT_EQ(dashes.size(), 10u);
    for (size_t i = 0; i < dashes.size(); ++i) {
        EXPECT_EQ(dashes[i].points[0], (CanvasPoint{x0 + 10 * static_cast<int>(i), y})) << i;
        EXPECT_EQ(dashes[i].points[1].x - dashes[i].points[0].x, 5);
    }
    EXPECT_EQ(Canvas()->pen.width, 1);
    EXPECT_EQ(Canvas()->pen.style, PenStyle::Solid);
    // Width 3 from the header: a line of a 3-pixel pen, no end pixel of its own.
    canvas.Clear();
    Tdatatype wide = Extended(1, clBlue, 3, 0, 0, 0, 0, {{100, 7}, {200, 7}});
    PlotData(wide, 1, 2);
    ASSERT_EQ(LinesIn(clBlue).size(), 1u);
    EXPECT_EQ(LinesIn(clBlue)[0].pen.width, 3);
    EndGraph();
    // Only the dashed line's end, painted before the next line moved.
    const auto pixels = canvas.Of(CanvasOp::Pixel);
    ASSERT_EQ(pixels.size(), 1u);
    EXPECT_EQ(pixels[0].points[0], (CanvasPoint{MapX(200), y}));
}

} // namespace
} // namespace orvane::test
