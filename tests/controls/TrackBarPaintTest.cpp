#include "SeekTrackBar.h"

#include "Canvas.h"
#include "TrackBarFixtures.h"
#include "TrackDraw.h"

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::controls;

namespace {

QRgb Rgb(TColor c) { return ToQColor(ColorToRGB(c)).rgb() & 0xFFFFFF; }
QRgb At(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
int Alpha(const QImage& image, int x, int y) { return qAlpha(image.pixel(x, y)); }

// A bar with a thick, outline-free groove in plain colours, no ticks.
void PlainGroove(TSeekTrackBar& bar) {
    bar.resize(210, 30);
    bar.SetMax(100);
    bar.TickMark()->SetStyle(tsNone);
    bar.Slider()->SetSize(8);
    bar.Slider()->SetBorderColor(clNone);
    bar.Slider()->SetColor(clBlue);
    bar.Slider()->SetColorTo(clNone);
    bar.Thumb()->SetShowAtMinMax(true);
}

TEST(TrackBarPaint, TransparentByDefaultSoTheColoursAreNotUsed) {
    TSeekTrackBar bar;
    bar.SetColor(clRed);
    bar.SetColorTo(clYellow);
    QImage image = bar.Render();
    EXPECT_EQ(Alpha(image, 1, 1), 0);
    EXPECT_EQ(Alpha(image, 140, 5), 0);

    bar.SetTransparent(false);
    image = bar.Render();
    EXPECT_EQ(At(image, 0, 5), Rgb(clRed)); // a left-to-right gradient
    // The last of its 80 steps is one step short of yellow.
    EXPECT_EQ(qRed(At(image, 148, 5)), 255);
    EXPECT_GT(qGreen(At(image, 148, 5)), 240);
    bar.SetColorTo(clNone);
    image = bar.Render();
    EXPECT_EQ(At(image, 75, 2), Rgb(clRed)); // one colour: a plain fill
}

TEST(TrackBarPaint, CompletedPartRunsFromTheStartToTheThumb) {
    TSeekTrackBar bar;
    PlainGroove(bar);
    bar.SetPosition(50);
    const TRect s = bar.SliderRect();
    const TRect t = bar.ThumbRect();
    const int y = s.Top + s.Height() / 2;
    // Without a completed colour the whole groove is one fill.
    QImage image = bar.Render();
    EXPECT_EQ(At(image, s.Left + 2, y), Rgb(clBlue));
    EXPECT_EQ(At(image, s.Right - 2, y), Rgb(clBlue));

    // ColorCompleted alone: a plain fill up to the thumb's middle.
    bar.Slider()->SetColorCompleted(clRed);
    image = bar.Render();
    EXPECT_EQ(At(image, s.Left + 2, y), Rgb(clRed));
    EXPECT_EQ(At(image, t.Left - 1, y), Rgb(clRed));
    EXPECT_EQ(At(image, t.Right + 1, y), Rgb(clBlue));
    EXPECT_EQ(At(image, s.Right - 2, y), Rgb(clBlue));

    // With ColorCompletedTo: a gradient that ends in it at the thumb.
    bar.Slider()->SetColorCompletedTo(clLime);
    image = bar.Render();
    EXPECT_EQ(At(image, s.Left, y), Rgb(clRed));
    const QRgb nearThumb = At(image, t.Left - 1, y);
    EXPECT_GT(qGreen(nearThumb), 200);
    EXPECT_LT(qRed(nearThumb), 60);

    // At Min nothing is completed; at Max all of it is.
    bar.SetPosition(0);
    image = bar.Render();
    EXPECT_EQ(At(image, s.Right - 2, y), Rgb(clBlue));
    EXPECT_EQ(At(image, t.Right + 4, y), Rgb(clBlue));
    bar.SetPosition(100);
    image = bar.Render();
    EXPECT_NE(At(image, s.Left + 30, y), Rgb(clBlue));
}

TEST(TrackBarPaint, ThumbHidesAtTheEndsWithoutShowAtMinMax) {
    TSeekTrackBar bar;
    PlainGroove(bar);
    bar.Thumb()->SetShape(tsRectangle);
    bar.Thumb()->SetColor(clRed);
    bar.Thumb()->SetColorTo(clNone);
    auto thumbShown = [&] {
        const TRect t = bar.ThumbRect();
        const QImage image = bar.Render();
        return At(image, (t.Left + t.Right) / 2 - 2, (t.Top + t.Bottom) / 2 - 3) == Rgb(clRed);
    };
    for (int position : {0, 50, 100}) {
        bar.SetPosition(position);
        EXPECT_TRUE(thumbShown()) << position;
    }
    bar.Thumb()->SetShowAtMinMax(false);
    bar.SetPosition(0);
    EXPECT_FALSE(thumbShown());
    bar.SetPosition(100);
    EXPECT_FALSE(thumbShown());
    bar.SetPosition(50);
    EXPECT_TRUE(thumbShown());
}

TEST(TrackBarPaint, RatingRowsForMinZeroMaxFive) {
    TSeekTrackBar bar;
    bar.resize(3 * 10 + 6 + 5, 60);
    bar.Slider()->SetOffset(0);
    bar.SetMax(5);
    test::LoadPicture(bar.RateActive(), 10, 10, Qt::green);
    test::LoadPicture(bar.RateInActive(), 10, 10, Qt::gray);
    bar.SetPosition(4);
    const QImage image = bar.Render();
    const TRect t = bar.TrackRect();
    auto cell = [&](int column, int row) { return At(image, t.Left + column * 10 + 5, t.Top + row * 10 + 5); };
    const QRgb green = QColor(Qt::green).rgb() & 0xFFFFFF, grey = QColor(Qt::gray).rgb() & 0xFFFFFF;
    // Values 1 to 3 in the first row, 4 and 5 in the second.
    EXPECT_EQ(cell(0, 0), green);
    EXPECT_EQ(cell(1, 0), green);
    EXPECT_EQ(cell(2, 0), green);
    EXPECT_EQ(cell(0, 1), green);
    EXPECT_EQ(cell(1, 1), grey);
    EXPECT_EQ(Alpha(image, t.Left + 25, t.Top + 15), 0); // no sixth cell
    // No slider or thumb is drawn in rating mode.
    EXPECT_EQ(Alpha(image, t.Left + 5, t.Top + 35), 0);
}

TEST(TrackBarPaint, ASteppedGradientOfNoStepsDrawsOne) {
    QImage image(20, 6, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        TCanvas c(image);
        DrawSteppedGradient(c, clRed, clBlue, true, {0, 0, 20, 6}, 0);
    }
    for (int x : {0, 10, 19}) EXPECT_EQ(At(image, x, 3), Rgb(clRed)) << x;
}

TEST(TrackBarPaint, InOutHalvesShareAColumn) {
    // From 0 to 11: the first half is 0..5 (from -> to), the second 4..11 (to -> from).
    QImage image(12, 4, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        TCanvas c(image);
        DrawGradient(c, clRed, clBlue, gdHorizontalInOut, {0, 0, 11, 4}, 1);
    }
    for (int x = 0; x < 4; ++x) EXPECT_EQ(At(image, x, 1), Rgb(clRed)) << x;
    for (int x = 4; x < 11; ++x) EXPECT_EQ(At(image, x, 1), Rgb(clBlue)) << x;
    EXPECT_EQ(Alpha(image, 11, 1), 0);
}

TEST(TrackBarPaint, BlendsAtTheEndsAreExact) {
    EXPECT_EQ(BlendColor(0x123456, clWhite, 100), 0x123456u);
    EXPECT_EQ(BlendColor(0x123456, clWhite, 0), clWhite);
    EXPECT_EQ(BlendColor(RGB(200, 100, 0), RGB(0, 0, 0), 10), RGB(20, 10, 0));
    EXPECT_EQ(BlendColor(RGB(100, 0, 0), clWhite, 30), RGB(208, 178, 178));
}

TEST(TrackBarPaint, MirrorFillWithAMissingColourDrawsOnlyTheOutline) {
    QImage image(30, 30, QImage::Format_ARGB32);
    image.fill(Qt::transparent);
    {
        TCanvas c(image);
        DrawMirrorFill(nullptr, c, {0, 0, 30, 30}, false, ggVertical, ggVertical, clRed, clNone, clRed, clRed,
                       clBlack, clNone, bsRectangle);
    }
    EXPECT_EQ(Alpha(image, 15, 15), 0);
    EXPECT_GT(Alpha(image, 0, 15), 0);
    // With all four colours the halves are filled.
    image.fill(Qt::transparent);
    {
        TCanvas c(image);
        DrawMirrorFill(nullptr, c, {0, 0, 30, 30}, false, ggVertical, ggVertical, clBlue, clBlue, clRed, clRed,
                       clNone, clNone, bsRectangle);
    }
    EXPECT_EQ(At(image, 15, 5), Rgb(clRed));
    EXPECT_EQ(At(image, 15, 25), Rgb(clBlue));
}

} // namespace
