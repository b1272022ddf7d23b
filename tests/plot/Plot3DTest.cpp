// The three-dimensional view state, colour scale, surface value and cross-section.
#include "PlotFixture.h"
#include "plotgraph3d.h"

#include <cmath>

namespace orvane::test {
namespace {

using namespace orvane::plot;

class View3DTest : public PlotTest {
protected:
    void SetUp() override {
        PlotTest::SetUp();
        View3D().missingSet = false;
        View3D().cellMode = 4;
        View3D().crossOptions = 4;
        View3D().requestedPoints = -1;
    }
    // A 2 x 2 grid over x 0..10 and y 0..20.
    static Tdatatype Grid(float a, float b, float c, float d) {
        Tdatatype g = {{0, 0, 10}, {0, a, b}, {20, c, d}};
        return g;
    }
    CrossSectionUi Ui() {
        CrossSectionUi ui;
        ui.ask = [this](const std::string& title, const std::string& prompt, std::string& answer) {
            asked.push_back(title + "|" + prompt);
            answer = reply;
            return !cancel;
        };
        ui.message = [this](const std::string& text) { messages.push_back(text); };
        ui.warning = [this](const std::string& title, const std::string& text) {
            messages.push_back(title + ": " + text);
        };
        return ui;
    }
    std::vector<std::string> asked, messages;
    std::string reply;
    bool cancel = false;
};

TEST_F(View3DTest, InitialisationAndResets) {
    EXPECT_EQ(View3D().cross.size(), 1u);
    EXPECT_EQ(View3D().cross[0].distance, -1.0f);
    EXPECT_EQ(View3D().axes[2].name, "Z");
    EXPECT_EQ(View3D().axes[0].negative, "-X");
    EXPECT_EQ(View3D().scale[0], clBlack);
    EXPECT_EQ(View3D().scale[255], clWhite);
    // Entry 128 lies 128/255 of the way: 129/256 of white.
    EXPECT_EQ(View3D().scale[128], RGB(128, 128, 128));
    SetAxisNames3D({"East", "", ""}, {"", "South", ""});
    EXPECT_EQ(View3D().axes[0].name, "East");
    EXPECT_EQ(View3D().axes[1].name, "Y");
    EXPECT_EQ(View3D().axes[1].negative, "South");
    Common().fillMode = 3;
    Start();
    EXPECT_EQ(Common().fillMode, 1);
    EXPECT_EQ(Common().shade, 0.5f);
    EXPECT_EQ(View3D().buffer.width, 301);
    SetFrame(0, 100, 0, 100, 1, 1, 1, 1, false);
    EXPECT_EQ(View3D().axes[0].name, "X");
    EXPECT_THROW(SetFrameView3D(9, 0, 1), PlotRangeError);
    EXPECT_THROW(SetFrameView3D(0, 0, 1), PlotRangeError);
}

TEST_F(View3DTest, AnglesAreTakenModulo360) {
    EXPECT_EQ(TableSin(450), TableSin(90));
    EXPECT_EQ(TableSin(-90), -1.0f);
    EXPECT_EQ(TableCos(360), 1.0f);
    EXPECT_EQ(TableCos(-720), 1.0f);
    EXPECT_NEAR(TableSin(37), std::sin(37 * M_PI / 180), 1e-6);
}

TEST_F(View3DTest, ColourScaleRanges) {
    SetColourScale({clRed}, 0, 10, false, 1);
    EXPECT_EQ(View3D().scale[77], clRed);
    SetColourScale({clBlack, clWhite}, 10, 0, false, 1); // sorted
    EXPECT_EQ(View3D().lower, 0.0f);
    EXPECT_EQ(View3D().upper, 10.0f);
    EXPECT_EQ(ScaleColour(10), clWhite);
    EXPECT_EQ(ScaleColour(-5), clBlack);
    SetColourScale({clBlack, clWhite}, -1, 10, true, 1); // log needs a positive lower end
    EXPECT_FALSE(View3D().logarithmic);
    SetColourScale({clBlack, clWhite}, 4, 4, false, 0); // an empty range is widened, step at least 1
    EXPECT_EQ(View3D().lower, 3.5f);
    EXPECT_EQ(View3D().upper, 4.5f);
    EXPECT_EQ(View3D().step, 1);
    SetColourScale({clBlack, clWhite}, 0, 1, false, 1);
}

TEST_F(View3DTest, SurfaceValue) {
    const Tdatatype g = Grid(0, 10, 20, 30);
    EXPECT_FLOAT_EQ(SurfaceValue(g, 5, 10, true), 15);
    EXPECT_FLOAT_EQ(SurfaceValue(g, 0, 0, true), 0);
    EXPECT_FLOAT_EQ(SurfaceValue(g, 100, 100, true), 30); // clamped into the grid
    EXPECT_FLOAT_EQ(SurfaceValue(g, 10, 0, false), 10);   // a corner
    // Cell mode 4: the centre takes the larger diagonal mean.
    const Tdatatype saddle = Grid(0, 10, 10, 0);
    EXPECT_FLOAT_EQ(SurfaceValue(saddle, 5, 10, false), 10);
    View3D().cellMode = 5;
    EXPECT_FLOAT_EQ(SurfaceValue(saddle, 5, 10, false), 0);
    // A one-row grid and a marker for missing values.
    const Tdatatype row = {{0, 0, 10}, {0, 1, 3}};
    EXPECT_FLOAT_EQ(SurfaceValue(row, 5, 0, true), 2);
    SetMissingValue(-999);
    EXPECT_FLOAT_EQ(SurfaceValue(Grid(0, -999, 0, 0), 5, 10, true), -999);
    EXPECT_FLOAT_EQ(SurfaceValue({}, 1, 1, true), 0);
}

TEST_F(View3DTest, CrossSection) {
    const Tdatatype g = Grid(0, 10, 20, 30);
    ASSERT_TRUE(CrossSection(g, 0, 0, 10, 20, 1, false, Ui()));
    ASSERT_EQ(View3D().cross.size(), 2u); // one point made two
    EXPECT_FLOAT_EQ(View3D().cross[1].value, 30);
    EXPECT_FLOAT_EQ(View3D().cross[1].distance, std::hypot(10.0f, 20.0f));
    EXPECT_EQ(messages, (std::vector<std::string>{"Cross-section of 2 points created"}));
    messages.clear();
    ASSERT_TRUE(CrossSection(g, 0, 0, 40, 0, 5, false, Ui()));
    EXPECT_EQ(View3D().cross.size(), 5u);
    EXPECT_FLOAT_EQ(View3D().cross[2].x, 20);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Cross section: Cross-section of 5 points created but some\n"
                           "points may have fallen outside the surface");
    // Asking the user for the count.
    View3D().crossOptions = 6;
    reply = "3";
    ASSERT_TRUE(CrossSection(g, 0, 0, 10, 0, 9, true, Ui()));
    EXPECT_EQ(View3D().cross.size(), 3u);
    EXPECT_EQ(asked, (std::vector<std::string>{
                         "Create cross-setction|How many data points in the cross-section array?"}));
    reply = "many";
    EXPECT_FALSE(CrossSection(g, 0, 0, 10, 0, 9, true, Ui()));
    cancel = true;
    reply = "4";
    EXPECT_FALSE(CrossSection(g, 0, 0, 10, 0, 9, true, Ui()));
    EXPECT_EQ(View3D().cross.size(), 3u);
}

TEST_F(View3DTest, CrossSectionOfDegenerateGrids) {
    // Rows without a coordinate are no part of the surface's extent.
    struct Case {
        const char* name;
        Tdatatype grid;
        float y1, y2;
        bool inside;
    };
    const Case cases[] = {
        {"no rows", {}, 0, 0, false},
        {"an empty header", {{}}, 0, 0, false},
        {"only the header", {{0, 0, 10}}, 0, 0, false},
        {"no x coordinates", {{0}, {0, 1}, {20, 2}}, 0, 20, false},
        {"one empty data row", {{0, 0, 10}, {}}, 0, 0, false},
        {"only empty data rows", {{0, 0, 10}, {}, {}}, 0, 0, false},
        {"first data row empty", {{0, 0, 10}, {}, {20, 1, 2}}, 20, 20, true},
        {"first data row empty, two more", {{0, 0, 10}, {}, {20, 1, 2}, {30, 3, 4}}, 20, 35, true},
        {"coordinates but no values", {{0, 0, 10}, {0}, {20}}, 0, 20, true},
    };
    for (const Case& c : cases) {
        messages.clear();
        ASSERT_TRUE(CrossSection(c.grid, 0, c.y1, 10, c.y2, 4, false, Ui())) << c.name;
        ASSERT_EQ(View3D().cross.size(), 4u) << c.name;
        for (const CrossPoint& p : View3D().cross) EXPECT_TRUE(std::isfinite(p.value)) << c.name;
        ASSERT_EQ(messages.size(), 1u) << c.name;
        EXPECT_EQ(messages[0] == "Cross-section of 4 points created", c.inside) << c.name << ": " << messages[0];
    }
}

} // namespace
} // namespace orvane::test
