// The controls' canvas draws through the plot canvas's primitives: the same
// pixel rules on both, checked here where the two could part again.
#include "Canvas.h"
#include "PainterCanvas.h"

#include <QPainter>

#include <gtest/gtest.h>

#include <functional>

using namespace orvane;

namespace {

QImage White(int w, int h) {
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    return image;
}

QRect BoundsOf(const QImage& image, TColor colour) {
    const QRgb want = ToQColor(colour).rgb();
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (image.pixel(x, y) == want) r |= QRect(x, y, 1, 1);
    return r;
}

QImage ViaControls(int w, int h, const std::function<void(TCanvas&)>& draw) {
    QImage image = White(w, h);
    TCanvas c(image);
    draw(c);
    return image;
}

QImage ViaPlot(int w, int h, const std::function<void(PainterCanvas&)>& draw) {
    QImage image = White(w, h);
    QPainter p(&image);
    PainterCanvas c(p, &image);
    draw(c);
    return image;
}

} // namespace

TEST(CanvasPrimitives, ShapesWithoutAPenFillOnePixelShort) {
    const QImage image = ViaControls(30, 12, [](TCanvas& c) {
        c.PenStyle = TPenStyle::psClear;
        c.PenColor = clRed;
        c.BrushColor = clBlue;
        c.Rectangle({2, 2, 8, 6});
        c.BrushColor = clLime;
        c.Ellipse({10, 0, 20, 10});
    });
    EXPECT_EQ(BoundsOf(image, clBlue), QRect(2, 2, 5, 3));
    // The ellipse's outline is Qt's curve; its reach is the rule.
    const QRect ellipse = BoundsOf(image, clLime);
    EXPECT_TRUE(QRect(10, 0, 9, 9).contains(ellipse)) << ellipse.right() << "," << ellipse.bottom();
    EXPECT_EQ(ellipse.right(), 18);
    EXPECT_EQ(ellipse.bottom(), 8);
    EXPECT_TRUE(BoundsOf(image, clRed).isNull()) << "a cleared pen draws nothing";
}

TEST(CanvasPrimitives, DottedLinesSetEveryOtherPixelOnBothCanvases) {
    const QImage controls = ViaControls(12, 8, [](TCanvas& c) {
        c.PenStyle = TPenStyle::psDot;
        c.PenColor = clRed;
        c.MoveTo(0, 1);
        c.LineTo(10, 1);
        c.BrushStyle = TBrushStyle::bsClear;
        c.Rectangle({0, 3, 7, 8});
    });
    const QImage plot = ViaPlot(12, 8, [](PainterCanvas& c) {
        c.pen = {clRed, 1, PenStyle::Dot};
        c.MoveTo(0, 1);
        c.LineTo(10, 1);
        c.brush.style = BrushStyle::Clear;
        c.Rectangle(0, 3, 7, 8);
    });
    const QRgb red = qRgb(255, 0, 0);
    for (int x = 0; x <= 10; ++x) EXPECT_EQ(controls.pixel(x, 1) == red, x % 2 == 0 && x < 10) << x;
    EXPECT_EQ(controls.pixel(0, 3), red);
    EXPECT_NE(controls.pixel(1, 3), red);
    EXPECT_EQ(controls.pixel(6, 3), red);
    EXPECT_NE(controls.pixel(3, 5), red) << "the inside stays";
    EXPECT_EQ(plot, controls);
}

TEST(CanvasPrimitives, ControlsAndPlotCanvasDrawTheSamePixels) {
    const QImage controls = ViaControls(80, 40, [](TCanvas& c) {
        c.PenColor = clRed;
        c.BrushColor = clBlue;
        c.Rectangle({2, 2, 20, 12});
        c.BrushStyle = TBrushStyle::bsClear;
        c.Rectangle({22, 2, 30, 9});
        c.PenColor = clNavy;
        c.MoveTo(0, 39);
        c.LineTo(33, 14);
        c.SetPixel(79, 39, clFuchsia);
        c.BrushStyle = TBrushStyle::bsSolid;
        c.BrushColor = clYellow;
        c.Font = PainterCanvas::ToQFont(CanvasFont{.name = "DejaVu Sans", .size = 9});
        c.FontColor = clMaroon;
        c.TextOut(36, 4, "Ag&y");
    });
    const QImage plot = ViaPlot(80, 40, [](PainterCanvas& c) {
        c.pen.color = clRed;
        c.brush.color = clBlue;
        c.Rectangle(2, 2, 20, 12);
        c.brush.style = BrushStyle::Clear;
        c.Rectangle(22, 2, 30, 9);
        c.pen.color = clNavy;
        c.MoveTo(0, 39);
        c.LineTo(33, 14);
        c.SetPixel(79, 39, clFuchsia);
        c.brush = {clYellow, BrushStyle::Solid};
        c.font.name = "DejaVu Sans";
        c.font.size = 9;
        c.font.color = clMaroon;
        c.TextOut(36, 4, "Ag&y");
    });
    EXPECT_FALSE(BoundsOf(controls, clMaroon).isNull()) << "the text was drawn";
    EXPECT_EQ(BoundsOf(controls, clNavy), QRect(0, 15, 33, 25)) << "the line leaves out its end";
    EXPECT_EQ(plot, controls);
}

TEST(CanvasPrimitives, FillRectTakesTheBrushAloneAndCopies) {
    QImage image = White(10, 10);
    image.fill(QColor(0x40, 0xFF, 0x80));
    {
        QPainter p(&image);
        PainterCanvas c(p, &image);
        c.mixMode = R2_MASKPEN;
        c.pen.color = clRed;
        c.brush.color = RGB(0xF0, 0x0F, 0xFF);
        c.FillRect(1, 1, 4, 3);
        c.brush.style = BrushStyle::Clear;
        c.FillRect(5, 5, 9, 9);
    }
    EXPECT_EQ(BoundsOf(image, RGB(0xF0, 0x0F, 0xFF)), QRect(1, 1, 3, 2));
    EXPECT_TRUE(BoundsOf(image, clRed).isNull());
    EXPECT_EQ(image.pixel(6, 6), qRgb(0x40, 0xFF, 0x80)) << "a clear brush fills nothing";
}
