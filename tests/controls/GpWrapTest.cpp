#include "GpWrap.h"

#include <QBuffer>

#include <gtest/gtest.h>

#include <memory>

using namespace orvane::controls;

namespace {

QImage White(int w, int h) {
    QImage image(w, h, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::white);
    return image;
}

QByteArray Encoded(const QImage& image, const char* format) {
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, format);
    return bytes;
}

std::unique_ptr<TGPImage> Load(QByteArray bytes) {
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    return std::unique_ptr<TGPImage>(new TGPImage(&stream));
}

} // namespace

TEST(GpWrap, LastStatusKeepsTheMostRecentFailure) {
    QImage image = White(20, 20);
    TGPGraphics g(&image);
    TGPSolidBrush brush(0xFFFF0000);
    TGPGraphicsPath path;
    EXPECT_EQ(g.GetLastStatus(), Ok);
    EXPECT_EQ(g.DrawPath(nullptr, &path), InvalidParameter);
    EXPECT_EQ(g.FillRectangle(&brush, 0, 0, 5, 5), Ok);
    EXPECT_EQ(g.GetLastStatus(), InvalidParameter);
    TGPGraphics none(static_cast<QPainter*>(nullptr));
    EXPECT_EQ(none.GetLastStatus(), InvalidParameter);
    EXPECT_EQ(none.ResetClip(), InvalidParameter);
}

TEST(GpWrap, SurroundColoursNeedEnoughPoints) {
    TGPGraphicsPath path;
    path.AddLine(0, 0, 10, 0);
    path.AddLine(10, 10, 0, 10);
    TGPPathGradientBrush brush(&path);
    ASSERT_EQ(brush.GetPointCount(), 4);
    const ARGB colours[5] = {0xFF000000, 0xFF111111, 0xFF222222, 0xFF333333, 0xFF444444};
    int count = 5;
    EXPECT_EQ(brush.SetSurroundColors(colours, count), InvalidParameter);
    EXPECT_EQ(count, 5);
    EXPECT_EQ(brush.GetLastStatus(), InvalidParameter);
    count = 0;
    EXPECT_EQ(brush.SetSurroundColors(nullptr, count), InvalidParameter);
    count = 2;
    EXPECT_EQ(brush.SetSurroundColors(colours, count), Ok);
    EXPECT_EQ(count, 2);
}

TEST(GpWrap, ImagesFromStreamsWithTheirFormatCodes) {
    QImage source(7, 3, QImage::Format_ARGB32);
    source.fill(qRgba(10, 20, 30, 128));
    struct Case {
        const char* format;
        TImageFormat code;
    };
    for (const Case& c : {Case{"PNG", ifPNG}, Case{"BMP", ifBMP}, Case{"JPEG", ifJPEG}, Case{"ICO", ifIcon}}) {
        SCOPED_TRACE(c.format);
        const QByteArray bytes = Encoded(source, c.format);
        ASSERT_FALSE(bytes.isEmpty());
        auto image = Load(bytes);
        EXPECT_EQ(image->GetFormat(), c.code);
        EXPECT_EQ(image->GetWidth(), 7);
        EXPECT_EQ(image->GetHeight(), 3);
        EXPECT_EQ(image->GetLastStatus(), Ok);
    }
    // No GIF writer here: the smallest GIF, one pixel, by hand.
    auto gif = Load(QByteArray("GIF89a\x01\x00\x01\x00\x80\x00\x00\xff\xff\xff\x00\x00\x00"
                               ",\x00\x00\x00\x00\x01\x00\x01\x00\x00\x02\x02\x44\x01\x00;",
                               35));
    EXPECT_EQ(gif->GetFormat(), ifGIF);
    EXPECT_EQ(gif->GetWidth(), 1);

    auto broken = Load("not an image at all");
    EXPECT_EQ(broken->GetWidth(), 0);
    EXPECT_EQ(broken->GetHeight(), 0);
    EXPECT_EQ(broken->GetFormat(), ifUndefined);
    EXPECT_NE(broken->GetLastStatus(), Ok);
    QByteArray emf(44, '\0');
    emf[0] = 1;
    emf.replace(40, 4, " EMF");
    EXPECT_EQ(ImageFormatOf(emf), ifEMF);
    EXPECT_EQ(ImageFormatOf(QByteArray("\xD7\xCD\xC6\x9A\0\0", 6)), ifWMF);
    EXPECT_EQ(ImageFormatOf(QByteArray("II*\0", 4)), ifTIFF);
}

TEST(GpWrap, ArcsTurnClockwiseFromTheXAxis) {
    QImage image = White(41, 41);
    {
        TGPGraphics g(&image);
        g.SetSmoothingMode(SmoothingModeAntiAlias);
        TGPPen pen(0xFF000000, 3);
        TGPGraphicsPath path;
        path.AddArc(0, 0, 40, 40, 0, 90); // from three o'clock down to six
        EXPECT_EQ(g.DrawPath(&pen, &path), Ok);
    }
    auto dark = [&](int x, int y) { return qGray(image.pixel(x, y)) < 128; };
    EXPECT_TRUE(dark(34, 34)) << "lower right quarter";
    EXPECT_FALSE(dark(34, 6)) << "upper right quarter";
    EXPECT_FALSE(dark(6, 34));
}

TEST(GpWrap, BrushesAndClipping) {
    QImage image = White(40, 40);
    {
        TGPGraphics g(&image);
        TGPLinearGradientBrush ramp(TGPRectF{0, 0, 40, 10}, 0xFFFF0000, 0xFF0000FF, LinearGradientModeHorizontal);
        g.FillRectangle(&ramp, 0, 0, 40, 10);

        TGPGraphicsPath circle;
        circle.AddEllipse(0, 10, 30, 30);
        TGPRegion region(&circle);
        EXPECT_EQ(g.SetClip(&region), Ok);
        TGPSolidBrush green(0xFF00FF00);
        g.FillRectangle(&green, 0, 10, 40, 30);
        g.ResetClip();

        TGPGraphicsPath disc;
        disc.AddEllipse(30, 10, 10, 10);
        TGPPathGradientBrush glow(&disc);
        glow.SetCenterColor(0xFF000000);
        int one = 1;
        const ARGB white = 0xFFFFFFFF;
        glow.SetSurroundColors(&white, one);
        g.FillRectangle(&glow, 30, 10, 10, 10);
    }
    EXPECT_GT(qRed(image.pixel(1, 5)), 200);
    EXPECT_GT(qBlue(image.pixel(38, 5)), 200);
    EXPECT_EQ(image.pixel(15, 25), qRgb(0, 255, 0)) << "inside the clip";
    EXPECT_EQ(image.pixel(1, 11), qRgb(255, 255, 255)) << "outside the clip";
    EXPECT_EQ(image.pixel(35, 35), qRgb(255, 255, 255)) << "clip reset, nothing drawn there";
    EXPECT_LT(qGray(image.pixel(35, 15)), 60) << "centre colour";
    EXPECT_GT(qGray(image.pixel(30, 10)), 200) << "surround colour";
}

TEST(GpWrap, StartUpIsCountedAndWrappersStartIt) {
    while (GdiplusStarted()) GdiplusShutdown();
    std::unique_ptr<TGPPen> pen(new TGPPen(0xFF000000));
    EXPECT_TRUE(GdiplusStarted());
    GdiplusStartup();
    GdiplusShutdown();
    EXPECT_TRUE(GdiplusStarted()) << "the nested pair leaves the first start";
    GdiplusShutdown();
    EXPECT_FALSE(GdiplusStarted());
}
