#include "Canvas.h"
#include "Gdi.h"

#include <gtest/gtest.h>

#include <climits>

using namespace orvane;

TEST(MulDiv, RoundsHalvesAwayFromZero) {
    struct Case {
        int a, b, c, expected;
    };
    const Case cases[] = {
        {63, -31, 126, -16}, {63, 31, 126, 16},   {-63, 31, 126, -16}, {63, 31, -126, -16},
        {-63, -31, 126, 16}, {1, 1, 3, 0},        {2, 1, 3, 1},        {5, 25, 127, 1},
        {127, 25, 127, 25},  {0, 7, 9, 0},        {7, 9, 0, -1},       {INT_MAX, INT_MAX, INT_MAX, INT_MAX},
        {INT_MAX, 4, 2, -1}, {100000, 100000, 10, 1000000000},
    };
    for (const Case& c : cases) EXPECT_EQ(MulDiv(c.a, c.b, c.c), c.expected) << c.a << "*" << c.b << "/" << c.c;
}

TEST(Colors, SystemColoursResolveThroughTheTable) {
    EXPECT_EQ(ColorToRGB(clBtnFace), 13160660u);
    EXPECT_EQ(ColorToRGB(clBtnHighlight), clWhite);
    EXPECT_EQ(ColorToRGB(clBtnShadow), clGray);
    EXPECT_EQ(ColorToRGB(clPurple), 0x800080u);
    EXPECT_EQ(ToQColor(RGB(1, 2, 3)), QColor(1, 2, 3));
    EXPECT_EQ(FromQColor(QColor(10, 20, 30)), RGB(10, 20, 30));
}

namespace {
QImage Blank(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::black);
    return image;
}
bool White(const QImage& image, int x, int y) { return (image.pixel(x, y) & 0xFFFFFF) == 0xFFFFFF; }
} // namespace

TEST(Canvas, RectanglesAndLinesLeaveOutTheirEnd) {
    QImage image = Blank(10, 10);
    {
        TCanvas c(image);
        c.FillRect({2, 2, 5, 4}, clWhite);
        c.PenColor = clWhite;
        c.MoveTo(0, 8);
        c.LineTo(4, 8);
    }
    EXPECT_TRUE(White(image, 2, 2));
    EXPECT_TRUE(White(image, 4, 3));
    EXPECT_FALSE(White(image, 5, 3));
    EXPECT_FALSE(White(image, 4, 4));
    EXPECT_TRUE(White(image, 3, 8));
    EXPECT_FALSE(White(image, 4, 8));
}

TEST(Canvas, Frame3DPutsTheBottomColourOnTheTwoMeetingCorners) {
    QImage image = Blank(6, 5);
    TRect r{0, 0, 6, 5};
    {
        TCanvas c(image);
        c.Frame3D(r, clWhite, clRed, 2);
    }
    EXPECT_EQ(r, (TRect{2, 2, 4, 3}));
    const QRgb white = qRgb(255, 255, 255), red = qRgb(255, 0, 0), black = qRgb(0, 0, 0);
    EXPECT_EQ(image.pixel(0, 0), white);
    EXPECT_EQ(image.pixel(5, 0), red);
    EXPECT_EQ(image.pixel(0, 4), red);
    EXPECT_EQ(image.pixel(1, 1), white);
    EXPECT_EQ(image.pixel(4, 3), red);
    EXPECT_EQ(image.pixel(2, 2), black);
}

TEST(Canvas, FocusRectangleIsDottedAndUndoesItself) {
    QImage image = Blank(8, 6);
    const QImage before = image;
    {
        TCanvas c(image);
        c.DrawFocusRect({0, 0, 8, 6});
    }
    EXPECT_TRUE(White(image, 0, 0));
    EXPECT_FALSE(White(image, 1, 0));
    EXPECT_TRUE(White(image, 2, 0));
    EXPECT_FALSE(White(image, 3, 3)) << "inside stays";
    {
        TCanvas c(image);
        c.DrawFocusRect({0, 0, 8, 6});
    }
    EXPECT_EQ(image, before);
}
