// The QPainter canvas keeps the Windows pixel rules; golden images of graphs.
#include "GoldenImage.h"
#include "PainterCanvas.h"
#include "PlotFixture.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>

#include <cmath>

namespace orvane::test {
namespace {

using namespace orvane::plot;

class PainterTest : public PlotTest {
protected:
    PainterTest() : image(40, 30, QImage::Format_RGB32) { image.fill(Qt::white); }
    TColor At(int x, int y) const {
        const QRgb c = image.pixel(x, y);
        return RGB(qRed(c), qGreen(c), qBlue(c));
    }
    QImage image;
};

TEST_F(PainterTest, LinesLeaveOutTheirLastPixel) {
    {
        QPainter p(&image);
        PainterCanvas c(p, &image);
        c.pen.color = clRed;
        c.MoveTo(2, 5);
        c.LineTo(8, 5);
        c.MoveTo(0, 10);
        c.LineTo(5, 15);
        c.MoveTo(20, 20);
        c.LineTo(20, 20); // nothing at all
    }
    for (int x = 2; x < 8; ++x) EXPECT_EQ(At(x, 5), clRed) << x;
    EXPECT_EQ(At(8, 5), clWhite);
    EXPECT_EQ(At(1, 5), clWhite);
    EXPECT_EQ(At(4, 14), clRed);
    EXPECT_EQ(At(5, 15), clWhite);
    EXPECT_EQ(At(20, 20), clWhite);
}

TEST_F(PainterTest, RectanglesAndEllipsesLeaveOutRightAndBottom) {
    {
        QPainter p(&image);
        PainterCanvas c(p, &image);
        c.pen.color = clRed;
        c.brush.color = clBlue;
        c.Rectangle(2, 2, 6, 5);
        c.pen.color = clBtnShadow; // a system colour
        c.brush.style = BrushStyle::Clear;
        c.Ellipse(10, 10, 17, 17);
    }
    for (int x = 2; x <= 5; ++x) {
        EXPECT_EQ(At(x, 2), clRed);
        EXPECT_EQ(At(x, 4), clRed);
    }
    EXPECT_EQ(At(3, 3), clBlue);
    EXPECT_EQ(At(6, 3), clWhite);
    EXPECT_EQ(At(3, 5), clWhite);
    EXPECT_EQ(At(16, 13), RGB(128, 128, 128));
    EXPECT_EQ(At(17, 13), clWhite);
    EXPECT_EQ(At(13, 13), clWhite); // clear brush: the inside stays
}

TEST_F(PainterTest, MaskPenAndsTheColours) {
    image.fill(QColor(0x40, 0xFF, 0x80));
    {
        QPainter p(&image);
        PainterCanvas c(p, &image);
        c.pen.color = RGB(0xF0, 0x0F, 0xFF);
        c.brush.color = RGB(0xF0, 0x0F, 0xFF);
        c.mixMode = R2_MASKPEN;
        c.Rectangle(0, 0, 10, 10);
        c.mixMode = R2_COPYPEN;
        c.SetPixel(20, 20, clBlack);
        EXPECT_EQ(c.GetPixel(20, 20), clBlack);
        EXPECT_EQ(c.GetPixel(400, 20), clNone);
    }
    EXPECT_EQ(At(5, 5), RGB(0x40 & 0xF0, 0xFF & 0x0F, 0x80 & 0xFF));
    EXPECT_EQ(At(15, 5), RGB(0x40, 0xFF, 0x80));
}

TEST_F(PainterTest, TextMetricsComeFromTheFont) {
    QPainter p(&image);
    PainterCanvas c(p, &image);
    c.font.name = "Arial";
    c.font.size = 8;
    const QFontMetrics fm(PainterCanvas::ToQFont(c.font), &image);
    EXPECT_EQ(c.TextWidth("0123"), fm.horizontalAdvance("0123"));
    EXPECT_EQ(c.TextHeight("0"), fm.height());
    EXPECT_GT(c.TextWidth("0"), 0);
}

// Tests render through the library into an image and compare with the references.
QImage RenderAxesGraph() {
    QImage img(301, 200, QImage::Format_RGB32);
    img.fill(Qt::white);
    QPainter p(&img);
    PainterCanvas c(p, &img);
    plot::StartGraph(c, 301, 200, clWhite, clBlack, 1.0f);
    SetFrame(0, 100, 0, 100, 45, 15, 15, 40, false);
    DrawXAxis(clBlack, "Time|s", 1, 0, 10, 0, 0, false, true);
    DrawYAxis(clBlue, "Level", 1, -2400, 2400, 0, 0, true, false, true);
    Tdatatype d;
    CreateDataArray(d, 101, 1);
    for (int r = 1; r <= 101; ++r) {
        d[r][0] = (r - 1) / 10.0f;
        d[r][1] = 2000.0f * std::sin((r - 1) / 10.0f);
    }
    SetPenWidth(1);
    c.pen.color = clRed;
    PlotData(d, 0, 2);
    EndGraph();
    return img;
}

TEST_F(PainterTest, GoldenAxesAndLabels) {
    const QImage img = RenderAxesGraph();
    // The pixel rules hold in the real drawing too: the X axis line ends at
    // the plot's right edge, the data line is red.
    EXPECT_EQ(img.pixel(100, 160) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(45 + 241, 160) & 0xFFFFFF, 0u);
    EXPECT_EQ(img.pixel(45 + 242, 160) & 0xFFFFFF, 0xFFFFFFu);
    const GoldenResult r = CompareWithGolden(img, std::string(ORVANE_GOLDEN_DIR) + "/axes.png");
    EXPECT_TRUE(r.ok) << r.message;
}

} // namespace
} // namespace orvane::test
