#include "SeekTrackBar.h"

#include "Canvas.h"
#include "TrackBarFixtures.h"
#include "TrackDraw.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>

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

namespace {

// Pixels close to a pure colour, the cores of glyphs and fills.
struct Box {
    int left = INT_MAX, top = INT_MAX, right = -1, bottom = -1, count = 0;
    int Width() const { return right - left + 1; }
    int Height() const { return bottom - top + 1; }
};
Box PixelsOf(const QImage& image, QColor colour) {
    Box b;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QColor c = QColor::fromRgba(image.pixel(x, y));
            if (c.alpha() < 200 || std::abs(c.red() - colour.red()) > 60 || std::abs(c.green() - colour.green()) > 60 ||
                std::abs(c.blue() - colour.blue()) > 60)
                continue;
            b.left = std::min(b.left, x);
            b.right = std::max(b.right, x);
            b.top = std::min(b.top, y);
            b.bottom = std::max(b.bottom, y);
            ++b.count;
        }
    return b;
}

QFont BigFont() {
    QFont f(QStringLiteral("Tahoma"));
    f.setPixelSize(16);
    f.setBold(true);
    return f;
}

TEST(TrackBarPaint, TickAndLabelTextsTakeTheirFontColours) {
    for (const TTrackBarOrientation o : {trHorizontal, trVertical}) {
        TSeekTrackBar bar;
        bar.SetOrientation(o);
        bar.resize(o == trHorizontal ? QSize(200, 90) : QSize(120, 200));
        bar.SetMax(2);
        bar.TickMark()->SetShowText(true);
        bar.TickMark()->SetRotateFontVert(false);
        bar.TickMark()->SetFont(BigFont());
        bar.TrackLabel()->SetVisible(true);
        bar.TrackLabel()->SetFont(BigFont());
        // Both start in the window text colour.
        EXPECT_EQ(bar.TickMark()->FontColor(), clWindowText);
        EXPECT_EQ(bar.TrackLabel()->FontColor(), clWindowText);
        QImage image = bar.Render();
        EXPECT_EQ(PixelsOf(image, Qt::red).count, 0);
        EXPECT_EQ(PixelsOf(image, Qt::blue).count, 0);

        bar.TickMark()->SetFontColor(clRed);
        bar.TrackLabel()->SetFontColor(clBlue);
        image = bar.Render();
        // The tick texts "0", "1", "2" beside the ticks, the label on its own band.
        const Box ticks = PixelsOf(image, Qt::red), label = PixelsOf(image, Qt::blue);
        EXPECT_GT(ticks.count, 10) << o;
        EXPECT_GT(label.count, 10) << o;
        TRect band;
        bar.GetTickRect2(band);
        if (o == trHorizontal) {
            EXPECT_GE(ticks.top, band.Bottom - bar.TickTextHeight()) << o;
            EXPECT_LT(label.bottom, bar.TrackRect().Top) << o;
        } else {
            EXPECT_GE(ticks.left, band.Left + bar.TickMark()->Size()) << o;
            EXPECT_LT(label.right, bar.TrackRect().Left) << o;
        }
    }
}

TEST(TrackBarPaint, AssigningAFontCarriesItsColourInOneNotice) {
    TTrackBarTick tick, source;
    source.SetFontColor(clRed);
    int notices = 0;
    QObject::connect(&tick, &TTrackBarElement::OnChange, [&] { ++notices; });
    tick.Assign(&source);
    EXPECT_EQ(tick.FontColor(), clRed);
    EXPECT_EQ(notices, 1);
    tick.Assign(&source);
    EXPECT_EQ(notices, 1);

    TTrackBarLabel label, from;
    from.SetFontColor(clBlue);
    from.SetFont(BigFont());
    notices = 0;
    QObject::connect(&label, &TTrackBarElement::OnChange, [&] { ++notices; });
    label.Assign(&from);
    EXPECT_EQ(label.FontColor(), clBlue);
    EXPECT_EQ(notices, 1);
}

TEST(TrackBarPaint, VerticalTickTextsStandBesideTheirTicks) {
    struct Case {
        TTickMark side;
        bool rotate;
    };
    for (const Case c : {Case{tmTopLeft, false}, Case{tmBottomRight, false}, Case{tmTopLeft, true},
                         Case{tmBottomRight, true}}) {
        SCOPED_TRACE(::testing::Message() << "band " << (c.side == tmTopLeft ? 1 : 2) << " rotated " << c.rotate);
        TSeekTrackBar bar;
        bar.SetOrientation(trVertical);
        bar.resize(140, 240);
        bar.SetMax(2);
        bar.Slider()->SetVisible(false);
        bar.Thumb()->SetSize(0);
        bar.TickMark()->SetPosition(c.side);
        bar.TickMark()->SetSize(10);
        bar.TickMark()->SetShowText(true);
        bar.TickMark()->SetRotateFontVert(c.rotate);
        bar.TickMark()->SetFont(BigFont());
        bar.TickMark()->SetFontColor(clRed);
        bar.TickMark()->SetColor(clLime);
        // One text only, at the middle tick.
        bar.OnGetTickMarkText = [](TCustomTrackBar*, int v, QString& text) { text = v == 1 ? "WWW" : ""; };
        const QImage image = bar.Render();
        const Box text = PixelsOf(image, Qt::red), lines = PixelsOf(image, Qt::green);
        ASSERT_GT(text.count, 10);
        ASSERT_GT(lines.count, 3);
        TRect band;
        if (c.side == tmTopLeft) bar.GetTickRect1(band);
        else bar.GetTickRect2(band);
        const int pad = 2;
        const int middleTick = band.Bottom - (band.Bottom - band.Top - 1) / 2; // the tick of value 1, give or take
        if (c.rotate) {
            EXPECT_GT(text.Height(), text.Width()); // turned a quarter
        } else {
            EXPECT_GT(text.Width(), text.Height());
        }
        EXPECT_NEAR((text.top + text.bottom) / 2, middleTick, 5);
        if (c.side == tmTopLeft) {
            // Right-aligned, TickTextPad before the tick lines.
            EXPECT_EQ(lines.left, band.Left + bar.TickTextHeight());
            EXPECT_LT(text.right, lines.left - pad + 1);
            EXPECT_GE(text.right, lines.left - pad - 6);
        } else {
            EXPECT_EQ(lines.right, band.Left + 10 - 1);
            EXPECT_GE(text.left, lines.right + 1 + pad);
            EXPECT_LE(text.left, lines.right + 1 + pad + 6);
        }
    }
}

TEST(TrackBarPaint, ARoundedGrooveHasCornersOfSevenPixels) {
    TSeekTrackBar bar;
    PlainGroove(bar);
    bar.Slider()->SetSize(14);
    bar.Slider()->SetRounded(true);
    bar.Thumb()->SetSize(0);
    const TRect s = bar.SliderRect();
    const QImage image = bar.Render();
    // A pixel of a corner is filled when its centre lies in the corner's
    // circle of diameter 7.
    for (int j = 0; j < 4; ++j)
        for (int i = 0; i < 4; ++i) {
            const double dx = 3.5 - (i + 0.5), dy = 3.5 - (j + 0.5);
            const bool inside = dx * dx + dy * dy <= 3.5 * 3.5;
            EXPECT_EQ(Alpha(image, s.Left + i, s.Top + j) > 128, inside) << i << "," << j;
            EXPECT_EQ(Alpha(image, s.Right - 1 - i, s.Bottom - 1 - j) > 128, inside) << i << "," << j;
        }
}

} // namespace
