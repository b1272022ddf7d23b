#include "GradButton.h"

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::controls;

namespace {

QRgb Pixel(const QImage& image, int x, int y) { return image.pixel(x, y) & 0xFFFFFF; }
QRgb Rgb(TColor c) { return ToQColor(c).rgb() & 0xFFFFFF; }

QFont PlainFont() {
    QFont f = QApplication::font();
    f.setPointSize(8);
    f.setBold(true);
    f.setStyleStrategy(QFont::NoAntialias); // pure colours to count
    return f;
}

// A gradient alone: no frame, no caption, no focus rectangle.
void Bare(TGradButton& b, int w, int h, Tgradstyle style) {
    b.resize(w, h);
    b.SetBtnFrameSize(0);
    b.Setgradstyle(style);
    b.SetBeginColor(RGB(200, 0, 40));
    b.SetEndColor(RGB(0, 250, 100));
}

QRect BoundsOf(const QImage& image, QRgb color) {
    QRect r;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            if (Pixel(image, x, y) == color) r |= QRect(x, y, 1, 1);
    return r;
}

} // namespace

TEST(GradButton, VertCenterMirrorsRowsWithEndColourOnTheMiddleRow) {
    TGradButton b;
    Bare(b, 75, 25, gsVertCenter);
    const QImage image = b.Render();
    for (int i = 0; i <= 12; ++i) {
        SCOPED_TRACE(i);
        // RGB(200 + trunc(i * -200 / 12), trunc(i * 250 / 12), 40 + trunc(i * 60 / 12))
        EXPECT_EQ(Pixel(image, 30, i), 0xFFFFFF & qRgb(200 + (i * -200) / 12, (i * 250) / 12, 40 + (i * 60) / 12));
        EXPECT_EQ(Pixel(image, 30, 24 - i), Pixel(image, 30, i));
        EXPECT_EQ(Pixel(image, 0, i), Pixel(image, 74, i));
    }
    EXPECT_EQ(Pixel(image, 30, 0), Rgb(RGB(200, 0, 40)));
    EXPECT_EQ(Pixel(image, 30, 12), Rgb(RGB(0, 250, 100)));
}

TEST(GradButton, EachGradientStyleRunsFromBeginToEnd) {
    const QRgb begin = Rgb(RGB(200, 0, 40)), end = Rgb(RGB(0, 250, 100));
    // Strips are a pixel each when the button is 256 pixels along them.
    struct Strip {
        Tgradstyle style;
        int w, h;
        QPoint first, last, across;
    };
    const Strip strips[] = {
        {gsBHorizontal, 256, 25, {0, 10}, {255, 10}, {7, 0}},
        {gsBVertical, 60, 256, {30, 0}, {30, 255}, {0, 7}},
        {gsHorizCenter, 60, 25, {0, 10}, {30, 10}, {59, 10}},
    };
    for (const Strip& c : strips) {
        SCOPED_TRACE(c.style);
        TGradButton b;
        Bare(b, c.w, c.h, c.style);
        const QImage image = b.Render();
        EXPECT_EQ(Pixel(image, c.first.x(), c.first.y()), begin);
        EXPECT_EQ(Pixel(image, c.last.x(), c.last.y()), end);
        // Strip 7 of 255: RGB(200 + trunc(7 * -200 / 255), trunc(7 * 250 / 255), 40 + trunc(7 * 60 / 255)).
        if (c.style != gsHorizCenter)
            EXPECT_EQ(Pixel(image, c.across.x(), c.across.y()), 0xFFFFFF & qRgb(195, 6, 41));
        else
            EXPECT_EQ(Pixel(image, c.across.x(), c.across.y()), begin);
    }
    // Concentric shapes: the edge near the begin colour, the middle near the end.
    for (Tgradstyle style : {gsRectangle, gsElliptic}) {
        SCOPED_TRACE(style);
        TGradButton b;
        Bare(b, 60, 25, style);
        const QImage image = b.Render();
        const QColor edge = QColor::fromRgb(Pixel(image, 0, 0)), mid = QColor::fromRgb(Pixel(image, 30, 12));
        EXPECT_GT(edge.red(), 150);
        EXPECT_LT(edge.green(), 60);
        EXPECT_LT(mid.red(), 20);
        EXPECT_GT(mid.green(), 230);
    }
}

TEST(GradButton, OnePixelHalfExtentPaintsTheBeginColour) {
    for (auto [w, h, style] : {std::tuple{30, 1, gsVertCenter}, std::tuple{1, 20, gsHorizCenter}}) {
        TGradButton b;
        Bare(b, 75, 25, style); // frame size 0 is accepted only while large
        b.resize(w, h);
        const QImage image = b.Render();
        EXPECT_EQ(Pixel(image, 0, 0), Rgb(RGB(200, 0, 40)));
        EXPECT_EQ(Pixel(image, w - 1, h - 1), Rgb(RGB(200, 0, 40)));
    }
}

TEST(GradButton, FrameSizeLimitsAndCaptionAmpersands) {
    TGradButton b;
    b.resize(57, 25);
    b.SetBtnFrameSize(2);
    EXPECT_EQ(b.BtnFrameSize(), 2);
    b.SetBtnFrameSize(8);
    EXPECT_EQ(b.BtnFrameSize(), 2);
    b.SetBtnFrameSize(7);
    EXPECT_EQ(b.BtnFrameSize(), 7);
    b.resize(57, 20);
    b.SetBtnFrameSize(6);
    EXPECT_EQ(b.BtnFrameSize(), 7);
    b.SetBtnFrameSize(5);
    EXPECT_EQ(b.BtnFrameSize(), 5);

    const std::pair<const char*, const char*> captions[] = {
        {"&Reset", "Reset"}, {"Rock && Roll", "Rock & Roll"}, {"End&", "End&"}, {"", ""}, {"x", "x"}};
    for (auto [caption, shown] : captions) {
        b.SetCaption(caption);
        EXPECT_EQ(b.DisplayText(), QString(shown)) << caption;
    }
}

TEST(GradButton, CaptionPassesFollowTheTextStyleAndDisabledIsInset) {
    const TColor hilite = RGB(0, 255, 0), shadow = RGB(255, 255, 0), main = RGB(0, 0, 255),
                 disabled = RGB(255, 0, 0);
    TGradButton b;
    Bare(b, 75, 25, gsVertCenter);
    b.SetBeginColor(clBlack);
    b.SetEndColor(clBlack);
    b.setFont(PlainFont());
    b.SetCaption("MENU");
    b.SetTxtHiliteClr(hilite);
    b.SetTxtShadowClr(shadow);
    b.SetFontColor(main);
    b.SetDisabledColor(disabled);

    QImage image = b.Render(); // raised, light: highlight up-left, no shadow
    QRect m = BoundsOf(image, Rgb(main)), h = BoundsOf(image, Rgb(hilite));
    ASSERT_FALSE(m.isEmpty());
    EXPECT_EQ(h.left(), m.left() - 1);
    EXPECT_EQ(h.top(), m.top() - 1);
    EXPECT_TRUE(BoundsOf(image, Rgb(shadow)).isEmpty());
    EXPECT_TRUE(BoundsOf(image, Rgb(disabled)).isEmpty());

    b.SetTextShadeType(stHeavy); // raised, heavy: shadow down-right as well
    image = b.Render();
    EXPECT_EQ(BoundsOf(image, Rgb(shadow)).right(), BoundsOf(image, Rgb(main)).right() + 1);

    b.setEnabled(false); // inset whatever the style: shadow up-left, highlight down-right
    image = b.Render();
    const QRect d = BoundsOf(image, Rgb(disabled));
    ASSERT_FALSE(d.isEmpty());
    EXPECT_TRUE(BoundsOf(image, Rgb(main)).isEmpty());
    EXPECT_EQ(BoundsOf(image, Rgb(hilite)).right(), d.right() + 1);
    EXPECT_EQ(BoundsOf(image, Rgb(hilite)).bottom(), d.bottom() + 1);
    EXPECT_EQ(BoundsOf(image, Rgb(shadow)).left(), d.left() - 1);
    EXPECT_EQ(d, m) << "the main pass stays in place";
}

class GradButtonInput : public ::testing::Test {
protected:
    GradButtonInput() {
        window.resize(200, 100);
        button = new TGradButton(&window);
        other = new TGradButton(&window);
        button->setGeometry(10, 10, 75, 25);
        other->setGeometry(100, 10, 75, 25);
        button->SetBeginColor(clSilver);
        button->SetEndColor(clWhite);
        button->SetCaption("&Reset");
        window.show();
        QApplication::setActiveWindow(&window);
        EXPECT_TRUE(QTest::qWaitForWindowActive(&window));
        other->setFocus();
    }
    QWidget window;
    TGradButton* button;
    TGradButton* other;
};

TEST_F(GradButtonInput, PressShowsTheKeyDownAndAReleaseOverItClicks) {
    QSignalSpy clicks(button, &TGradButton::OnClick);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_FALSE(button->Up());
    EXPECT_EQ(button->BeginColor(), clWhite) << "colours exchanged while held";
    EXPECT_TRUE(button->hasFocus());
    const QImage pressed = button->Render();
    EXPECT_EQ(Pixel(pressed, 0, 0), Rgb(clBtnShadow));
    EXPECT_EQ(Pixel(pressed, 74, 24), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(pressed, 5, 12), Rgb(clSilver)) << "middle row shows the exchanged end colour";

    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_TRUE(button->Up());
    EXPECT_EQ(button->BeginColor(), clSilver);
    const QImage up = button->Render();
    EXPECT_EQ(Pixel(up, 0, 0), Rgb(clBtnHighlight));
    EXPECT_EQ(Pixel(up, 74, 24), Rgb(clBtnShadow));
}

TEST_F(GradButtonInput, ReleaseOutsideRestoresWithoutAClick) {
    QSignalSpy clicks(button, &TGradButton::OnClick);
    QSignalSpy ups(button, &TGradButton::OnMouseUp);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(120, 60));
    EXPECT_EQ(clicks.count(), 0);
    EXPECT_EQ(ups.count(), 1);
    EXPECT_TRUE(button->Up());
    EXPECT_EQ(button->BeginColor(), clSilver);
    EXPECT_EQ(button->EndColor(), clWhite);
}

TEST_F(GradButtonInput, DraggingOffAndBackShowsUpThenPressed) {
    QSignalSpy downs(button, &TGradButton::OnMouseDown);
    QSignalSpy clicks(button, &TGradButton::OnClick);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    QEvent leave(QEvent::Leave);
    QApplication::sendEvent(button, &leave);
    EXPECT_TRUE(button->Up());
    EXPECT_EQ(button->BeginColor(), clSilver);
    QEnterEvent enter(QPointF(5, 5), QPointF(15, 15), QPointF(15, 15));
    QApplication::sendEvent(button, &enter);
    EXPECT_FALSE(button->Up());
    EXPECT_EQ(downs.count(), 2);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(button->BeginColor(), clSilver);
}

TEST_F(GradButtonInput, DraggingByMovesCountsEachCrossingOnce) {
    QSignalSpy downs(button, &TGradButton::OnMouseDown);
    QSignalSpy clicks(button, &TGradButton::OnClick);
    QTest::mousePress(button, Qt::LeftButton, {}, QPoint(20, 10));
    QTest::mouseMove(button, QPoint(100, 10));
    EXPECT_TRUE(button->Up());
    QEvent leave(QEvent::Leave); // the same crossing reported again
    QApplication::sendEvent(button, &leave);
    EXPECT_EQ(button->BeginColor(), clSilver);
    QTest::mouseMove(button, QPoint(30, 12));
    EXPECT_FALSE(button->Up());
    EXPECT_EQ(downs.count(), 2);
    QTest::mouseRelease(button, Qt::LeftButton, {}, QPoint(30, 12));
    EXPECT_EQ(clicks.count(), 1);
    EXPECT_EQ(button->BeginColor(), clSilver);
}

TEST_F(GradButtonInput, RightPressTakesFocusOnly) {
    QSignalSpy clicks(button, &TGradButton::OnClick);
    QTest::mousePress(button, Qt::RightButton, {}, QPoint(20, 10));
    EXPECT_TRUE(button->hasFocus());
    EXPECT_TRUE(button->Up());
    EXPECT_EQ(button->BeginColor(), clSilver);
    QTest::mouseRelease(button, Qt::RightButton, {}, QPoint(20, 10));
    EXPECT_EQ(clicks.count(), 0);
}

TEST_F(GradButtonInput, EnterAndTheAcceleratorClickAndLeaveTheColours) {
    QSignalSpy clicks(button, &TGradButton::OnClick);
    button->setFocus();
    QTest::keyClick(button, Qt::Key_Return);
    EXPECT_EQ(clicks.count(), 1);
    QTest::keyClick(button, Qt::Key_Space);
    EXPECT_EQ(clicks.count(), 1);

    other->setFocus();
    QTest::keyClick(other, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 2);
    EXPECT_EQ(button->BeginColor(), clSilver);
    EXPECT_TRUE(button->Up());

    button->setEnabled(false);
    QTest::keyClick(other, Qt::Key_R, Qt::AltModifier);
    EXPECT_EQ(clicks.count(), 2);
}

TEST_F(GradButtonInput, FocusRectangleShowsOnlyWithFocus) {
    button->setFocus();
    const QImage focused = button->Render();
    button->SetShowFocus(false);
    const QImage plain = button->Render();
    EXPECT_NE(focused.pixel(2, 12), plain.pixel(2, 12));
    EXPECT_EQ(focused.pixel(10, 12), plain.pixel(10, 12)) << "inside untouched";
    button->SetShowFocus(true);
    other->setFocus();
    EXPECT_EQ(button->Render(), plain);
}

TEST(GradButton, PresetsApplyOnlyWhileDesigning) {
    TGradButton b;
    b.SetPresets(psAmber);
    EXPECT_EQ(b.Presets(), psNone);
    EXPECT_EQ(b.BeginColor(), clNavy);
    b.SetDesigning(true);
    b.SetPresets(psBrass);
    EXPECT_EQ(b.Presets(), psBrass);
    EXPECT_EQ(b.gradstyle(), gsElliptic);
    EXPECT_EQ(b.BeginColor(), 0xCEFFFFu);
    EXPECT_FALSE(b.SwapColors());
    EXPECT_EQ(b.font().pointSize(), 9);
}

TEST(GradButton, ZeroSizesPaintWithoutFailing) {
    for (Tgradstyle style : {gsBHorizontal, gsBVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter}) {
        for (QSize size : {QSize(0, 0), QSize(0, 25), QSize(75, 0)}) {
            TGradButton b;
            b.Setgradstyle(style);
            b.SetCaption("&Go");
            b.resize(size);
            EXPECT_FALSE(b.Render().isNull()) << style;
        }
    }
}
