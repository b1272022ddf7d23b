#include "GradBand.h"

#include <QApplication>
#include <QPainter>

#include <gtest/gtest.h>

#include <cmath>

using namespace orvane;
using orvane::controls::TGradBand;

namespace {

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }

// The band colour of each row worked out in floating point, halves away
// from zero, as an independent check of the integer arithmetic.
QRgb ExpectedRow(int y, int h, int n, TColor from, TColor to) {
    int band = 0;
    for (int i = 0; i < n; ++i)
        if (std::lround(double(i) * h / n) <= y) band = i;
    auto channel = [&](int f, int t) { return f + int(std::lround(double(band) * (t - f) / (n - 1))); };
    return 0xFFFFFF & qRgb(channel(GetRValue(from), GetRValue(to)), channel(GetGValue(from), GetGValue(to)),
                channel(GetBValue(from), GetBValue(to)));
}

QImage Paint(TGradBand& band) { return band.grab().toImage(); }

} // namespace

TEST(GradBand, MainWindowBandStepsEvenlyOver127ColoursOn25Pixels) {
    TGradBand band;
    band.resize(288, 25);
    band.SetBeginColor(4333326);
    band.SetEndColor(clPurple);
    band.SetNumberOfColors(127);
    band.SetCaption(QString());
    const QImage image = Paint(band);
    for (int y = 0; y < 25; ++y) {
        SCOPED_TRACE(y);
        EXPECT_EQ(Pixel(image, 0, y), ExpectedRow(y, 25, 127, 4333326, clPurple));
        EXPECT_EQ(Pixel(image, 287, y), Pixel(image, 0, y)); // full width
    }
    // Band 0 and band 126 are empty on 25 pixels; on 254 each band is two
    // rows and the ends are the exact colours.
    band.resize(288, 254);
    const QImage tall = Paint(band);
    EXPECT_EQ(Pixel(tall, 0, 0), Rgb(4333326));
    EXPECT_EQ(Pixel(tall, 0, 1), Rgb(4333326));
    EXPECT_EQ(Pixel(tall, 0, 253), Rgb(clPurple));
    EXPECT_EQ(Pixel(tall, 0, 127), ExpectedRow(127, 254, 127, 4333326, clPurple));
}

TEST(GradBand, DirectionOneColourAndSystemColours) {
    TGradBand band;
    band.resize(40, 32);
    band.SetCaption(QString());
    band.SetNumberOfColors(2);
    // Defaults: grey to the button face, which resolves through the table.
    QImage image = Paint(band);
    EXPECT_EQ(Pixel(image, 5, 0), Rgb(8421504));
    EXPECT_EQ(Pixel(image, 5, 31), Rgb(ColorToRGB(clBtnFace)));

    band.SetBeginColor(clRed);
    band.SetEndColor(clBlue);
    band.SetFillDirection(controls::fdRightToLeft);
    image = Paint(band);
    EXPECT_EQ(Pixel(image, 5, 0), Rgb(clBlue));
    EXPECT_EQ(Pixel(image, 5, 31), Rgb(clRed));

    band.SetNumberOfColors(1);
    image = Paint(band);
    for (int y = 0; y < 32; ++y) EXPECT_EQ(Pixel(image, 20, y), Rgb(clBlue)) << y;
}

TEST(GradBand, CaptionIsWrittenTransparentlyAtItsPlace) {
    TGradBand band;
    band.resize(100, 30);
    band.SetBeginColor(clNavy);
    band.SetEndColor(clNavy);
    band.SetFontColor(clWhite);
    band.SetCaption(QString());
    const QImage plain = Paint(band);
    band.SetCaption(" ");
    EXPECT_EQ(Paint(band), plain) << "a blank caption leaves the gradient as it is";

    band.SetCaption("MMMM");
    band.SetTextLeft(40);
    band.SetTextTop(8);
    const QImage text = Paint(band);
    int changedLeft = 0, changedRight = 0, white = 0;
    for (int y = 0; y < 30; ++y)
        for (int x = 0; x < 100; ++x) {
            if (text.pixel(x, y) == plain.pixel(x, y)) continue;
            (x < 40 ? changedLeft : changedRight)++;
            if (Pixel(text, x, y) == 0xFFFFFF) ++white;
            EXPECT_GE(y, 8);
        }
    EXPECT_EQ(changedLeft, 0);
    EXPECT_GT(white, 0);
    EXPECT_EQ(Pixel(text, 99, 0), Pixel(plain, 99, 0)) << "no background box behind the text";
}

namespace {
struct PaintCounter : QObject {
    int paints = 0;
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::Paint) ++paints;
        return false;
    }
};
} // namespace

TEST(GradBand, ColoursPaintAtOnceWhileCountAndAutoSizeOnlyInvalidate) {
    TGradBand band;
    band.show();
    QApplication::processEvents();
    PaintCounter counter;
    band.installEventFilter(&counter);

    band.SetBeginColor(clRed);
    EXPECT_EQ(counter.paints, 1);
    band.SetNumberOfColors(12);
    band.SetAutoSize(true);
    EXPECT_EQ(counter.paints, 1);
    QApplication::processEvents();
    EXPECT_GE(counter.paints, 2);
    EXPECT_EQ(band.NumberOfColors(), 12);
    band.SetNumberOfColors(0);
    EXPECT_EQ(band.NumberOfColors(), 1);
}

TEST(GradBand, ZeroSizesPaintWithoutFailing) {
    for (QSize size : {QSize(0, 0), QSize(0, 25), QSize(400, 0), QSize(1, 1)}) {
        TGradBand band;
        band.resize(size);
        EXPECT_FALSE(band.Render().isNull());
    }
}
