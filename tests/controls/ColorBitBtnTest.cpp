#include "ColorBitBtn.h"

#include "Canvas.h"

#include <QApplication>
#include <QDialog>
#include <QSignalSpy>
#include <QTest>

#include <gtest/gtest.h>

using namespace orvane;
using namespace orvane::controls;

namespace {

constexpr TColor kFace = 14278368; // the dialogs' $D9DEE0
const QRgb kOlive = qRgb(128, 128, 0), kRed = qRgb(255, 0, 0), kGrey = qRgb(128, 128, 128),
           kBlue = qRgb(0, 0, 255);

QRgb Rgb(TColor c) { return ToQColor(c).rgb(); }

// Two 16 x 16 cells on olive: a red square in the up cell; a grey square and
// a blue dot in the disabled cell.
QImage TwoCellGlyph() {
    QImage g(32, 16, QImage::Format_RGB32);
    g.fill(kOlive);
    for (int y = 6; y < 10; ++y)
        for (int x = 6; x < 10; ++x) {
            g.setPixel(x, y, kRed);
            g.setPixel(16 + x, y, kGrey);
        }
    g.setPixel(16 + 12, 12, kBlue);
    return g;
}

QRect BoundsOf(const QImage& image, QRgb color, QRect area = {}) {
    if (area.isNull()) area = image.rect();
    QRect r;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixel(x, y) == color) r |= QRect(x, y, 1, 1);
    return r;
}

struct Button {
    TColorBitBtn b;
    Button() {
        b.resize(75, 25);
        b.SetColor(kFace);
    }
};

} // namespace

TEST(ColorBitBtn, CellCountFollowsTheGlyphShape) {
    struct Case {
        int w, h, before, after;
    };
    const Case cases[] = {{32, 16, 1, 2}, {96, 16, 1, 1}, {30, 16, 3, 3}, {64, 16, 1, 4}, {16, 16, 2, 1}};
    for (const Case& c : cases) {
        Button t;
        t.b.SetNumGlyphs(c.before);
        QImage g(c.w, c.h, QImage::Format_RGB32);
        g.fill(kOlive);
        t.b.SetGlyph(g);
        EXPECT_EQ(t.b.NumGlyphs(), c.after) << c.w << "x" << c.h;
        t.b.Render(); // any cell width, even one that does not divide evenly
    }
    Button t;
    t.b.SetNumGlyphs(5);
    EXPECT_EQ(t.b.NumGlyphs(), 4);
    t.b.SetMargin(3);
    t.b.SetMargin(-2);
    EXPECT_EQ(t.b.Margin(), 3);
    t.b.SetMargin(-1);
    EXPECT_EQ(t.b.Margin(), -1);
}

TEST(ColorBitBtn, NothingBreaksWithoutAGlyphOrSize) {
    Button t;
    t.b.setText("Go");
    EXPECT_FALSE(t.b.Render().isNull());
    t.b.SetGlyph(QImage());
    t.b.SetNumGlyphs(4);
    QImage thin(3, 16, QImage::Format_RGB32); // cells of width 0
    thin.fill(kOlive);
    t.b.SetGlyph(thin);
    t.b.resize(0, 0);
    EXPECT_FALSE(t.b.Render().isNull());
    EXPECT_EQ(t.b.GlyphObject().List(), nullptr);
}

TEST(ColorBitBtn, UpPressedAndDisabledCells) {
    Button t;
    t.b.SetGlyph(TwoCellGlyph());
    ASSERT_EQ(t.b.NumGlyphs(), 2);

    const QImage up = t.b.Render();
    const QRect red = BoundsOf(up, kRed);
    EXPECT_EQ(red.size(), QSize(4, 4));
    EXPECT_NEAR(red.center().x(), 37, 2); // centred without a caption
    EXPECT_TRUE(BoundsOf(up, kOlive).isEmpty()) << "transparent colour replaced by Color";
    EXPECT_EQ(up.pixel(red.left() - 3, red.top() - 3), Rgb(kFace));

    t.b.setDown(true);
    const QImage pressed = t.b.Render();
    EXPECT_EQ(BoundsOf(pressed, kRed), red.translated(1, 1)) << "up cell, moved by one pixel";
    EXPECT_EQ(pressed.pixel(0, 0), Rgb(clBtnShadow));
    t.b.setDown(false);

    t.b.setEnabled(false);
    const QImage disabled = t.b.Render();
    EXPECT_TRUE(BoundsOf(disabled, kRed).isEmpty());
    EXPECT_EQ(BoundsOf(disabled, Rgb(clBtnShadow), red.adjusted(-2, -2, 2, 2)), red);
    EXPECT_EQ(disabled.pixel(red.left() + 6, red.top() + 6), kBlue);
    EXPECT_TRUE(BoundsOf(disabled, kOlive).isEmpty());
}

TEST(ColorBitBtn, OneCellGlyphDisabledIsEmbossed) {
    Button t;
    QImage g = TwoCellGlyph().copy(0, 0, 16, 16);
    t.b.SetGlyph(g);
    ASSERT_EQ(t.b.NumGlyphs(), 1);
    const QRect red = BoundsOf(t.b.Render(), kRed);
    t.b.setEnabled(false);
    const QImage image = t.b.Render();
    EXPECT_EQ(BoundsOf(image, Rgb(clBtnShadow), red.adjusted(-2, -2, 2, 2)), red);
    EXPECT_EQ(image.pixel(red.right() + 1, red.bottom() + 1), Rgb(clBtnHighlight));
    EXPECT_EQ(image.pixel(red.left() - 1, red.top() - 1), Rgb(kFace));
}

TEST(ColorBitBtn, KindGlyphCellsOfEighteenAndNineteenPixels) {
    for (TColorBitBtnKind kind : {bkOK, bkCancel, bkAll}) {
        SCOPED_TRACE(kind);
        const QImage glyph = TColorBitBtn::KindGlyph(kind).convertToFormat(QImage::Format_RGB32);
        ASSERT_EQ(glyph.width(), 36);
        ASSERT_EQ(glyph.height(), kind == bkAll ? 19 : 18);
        Button t;
        t.b.SetGlyph(glyph);
        t.b.SetNumGlyphs(2);
        const QImage image = t.b.Render();
        // Inside the edges the client is 69 x 19; the glyph sits centred.
        const int gw = 18, gh = glyph.height();
        const int gx = 3 + (69 - gw + 1) / 2, gy = 3 + (19 - gh + 1) / 2;
        int differ = 0;
        for (int y = 0; y < gh; ++y)
            for (int x = 0; x < gw; ++x) {
                if (gy + y < 3 || gy + y >= 22) continue; // under the edges
                const QRgb cell = glyph.pixel(x, y);
                const QRgb want = cell == kOlive ? Rgb(kFace) : cell;
                if (image.pixel(gx + x, gy + y) != want) ++differ;
            }
        EXPECT_EQ(differ, 0);
    }
}

TEST(ColorBitBtn, ColourChangeRebuildsTheCellsOnTheNewFace) {
    Button t;
    t.b.SetGlyph(TwoCellGlyph());
    QImage image = t.b.Render();
    const QRect red = BoundsOf(image, kRed);
    EXPECT_EQ(image.pixel(red.left() - 2, red.top()), Rgb(kFace));
    ASSERT_NE(t.b.GlyphObject().List(), nullptr);
    t.b.SetColor(clYellow);
    EXPECT_EQ(t.b.GlyphObject().List(), nullptr) << "cached cells dropped";
    image = t.b.Render();
    EXPECT_EQ(image.pixel(red.left() - 2, red.top()), Rgb(clYellow));
    EXPECT_EQ(image.pixel(red.left(), red.top()), kRed);
}

TEST(ColorBitBtn, ButtonsOfOneCellSizeShareOneListThatGoesWithThem) {
    {
        Button a, b;
        a.b.SetGlyph(TwoCellGlyph());
        b.b.SetGlyph(TwoCellGlyph());
        a.b.Render();
        b.b.Render();
        ASSERT_NE(TGlyphCache::Instance(), nullptr);
        EXPECT_EQ(a.b.GlyphObject().List(), b.b.GlyphObject().List());
        EXPECT_EQ(TGlyphCache::Instance()->ListCount(), 1);
        EXPECT_EQ(a.b.GlyphObject().List()->Count(), 2);
        b.b.setEnabled(false);
        b.b.Render();
        EXPECT_EQ(a.b.GlyphObject().List()->Count(), 3);
    }
    EXPECT_EQ(TGlyphCache::Instance(), nullptr);
}

TEST(GlyphList, FreedSlotsAreReused) {
    TGlyphList list(4, 4);
    QImage cell(4, 4, QImage::Format_RGB32);
    cell.fill(kOlive);
    EXPECT_EQ(list.Add(cell), 0);
    EXPECT_EQ(list.AddMasked(cell, clOlive), 1);
    EXPECT_EQ(qAlpha(list.Image(1).pixel(0, 0)), 0);
    list.Delete(0);
    list.Delete(0);
    EXPECT_EQ(list.Count(), 1);
    EXPECT_EQ(list.Add(cell), 0);
    EXPECT_EQ(list.Add(cell), 2);
}

TEST(ColorBitBtn, DisabledCaptionIsWhiteUnderGrey) {
    Button t;
    QFont f = t.b.font();
    f.setStyleStrategy(QFont::NoAntialias);
    t.b.setFont(f);
    t.b.setText("Close");
    t.b.setEnabled(false);
    const QImage image = t.b.Render();
    const QRect inside(4, 4, 67, 17);
    const QRect grey = BoundsOf(image, kGrey, inside), white = BoundsOf(image, qRgb(255, 255, 255), inside);
    ASSERT_FALSE(grey.isEmpty());
    EXPECT_EQ(white.right(), grey.right() + 1);
    EXPECT_EQ(white.bottom(), grey.bottom() + 1);
}

TEST(ColorBitBtn, KindSetsCaptionResultAndGlyphUntilChanged) {
    Button t;
    t.b.SetKind(bkOK);
    EXPECT_EQ(t.b.text(), "OK");
    EXPECT_EQ(t.b.ModalResult(), 1);
    EXPECT_TRUE(t.b.Default());
    EXPECT_EQ(t.b.NumGlyphs(), 2);
    EXPECT_EQ(t.b.Glyph().size(), QSize(36, 18));
    EXPECT_EQ(t.b.Kind(), bkOK);
    t.b.SetModalResult(0);
    EXPECT_EQ(t.b.Kind(), bkCustom);

    t.b.SetKind(bkNo);
    EXPECT_TRUE(t.b.Cancel());
    EXPECT_FALSE(t.b.Default());
    EXPECT_EQ(t.b.Kind(), bkNo);
    t.b.SetColor(clWhite);
    EXPECT_EQ(t.b.Kind(), bkCustom);
}

TEST(ColorBitBtn, DoubleClickActsAsTwoPresses) {
    Button t;
    t.b.show();
    QSignalSpy clicks(&t.b, &TColorBitBtn::OnClick);
    // What the window system delivers for a double click.
    QTest::mouseClick(&t.b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseDClick(&t.b, Qt::LeftButton, {}, QPoint(10, 10));
    QTest::mouseRelease(&t.b, Qt::LeftButton, {}, QPoint(10, 10));
    EXPECT_EQ(clicks.count(), 2);
}

TEST(ColorBitBtn, ModalResultClosesTheDialogAndEscapeClicksCancel) {
    QDialog dialog;
    auto* ok = new TColorBitBtn(&dialog);
    auto* cancel = new TColorBitBtn(&dialog);
    ok->SetKind(bkOK);
    cancel->SetKind(bkCancel);
    dialog.show();
    ok->click();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), 1);

    QSignalSpy cancelled(cancel, &TColorBitBtn::OnClick);
    dialog.show();
    QApplication::setActiveWindow(&dialog);
    ASSERT_TRUE(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(&dialog, Qt::Key_Escape);
    EXPECT_EQ(cancelled.count(), 1);
    EXPECT_EQ(dialog.result(), 2);
}

// Where the glyph and caption go, read from the drawing: the glyph by its red
// square, the caption by the bounds Draw reports. Gaps are measured along the
// layout from the glyph's edge of the client: edge to glyph, glyph to
// caption, caption to the far edge; across the layout both are centred.
TEST(ButtonGlyph, LayoutMarginAndSpacing) {
    struct Case {
        TButtonLayout layout;
        int margin, spacing;
    };
    const Case cases[] = {
        {blGlyphLeft, 4, 6},   {blGlyphRight, 4, 6},   {blGlyphTop, 2, 3},   {blGlyphBottom, 2, 3},
        {blGlyphLeft, -1, -1}, {blGlyphRight, -1, -1}, {blGlyphTop, -1, -1}, {blGlyphBottom, -1, -1},
        {blGlyphLeft, -1, 6},  {blGlyphRight, -1, 6},  {blGlyphTop, -1, 1},  {blGlyphBottom, -1, 1},
        {blGlyphLeft, 4, -1},  {blGlyphRight, 4, -1},  {blGlyphTop, 2, -1},  {blGlyphBottom, 2, -1},
    };
    const TRect client{10, 20, 110, 70};
    const int cw = client.Width(), ch = client.Height();
    TButtonGlyph glyph;
    glyph.SetGlyph(TwoCellGlyph().copy(0, 0, 16, 16));
    for (const Case& c : cases) {
        QImage image(130, 80, QImage::Format_RGB32);
        image.fill(Qt::white);
        TCanvas canvas(image);
        TRect text;
        glyph.Draw(canvas, client, text, kFace, bsUp, c.spacing, c.margin, c.layout, "Close", clBlack);
        const QRect red = BoundsOf(image, kRed);
        ASSERT_EQ(red.size(), QSize(4, 4)) << c.layout;
        const int gx = red.left() - 6 - client.Left, gy = red.top() - 6 - client.Top;
        const int tx = text.Left - client.Left, ty = text.Top - client.Top, tw = text.Width(), th = text.Height();
        ASSERT_GT(tw, 0);
        ASSERT_GT(th, 0);
        int lead = 0, mid = 0, tail = 0, glyphSide = 0, textSide = 0;
        switch (c.layout) {
        case blGlyphLeft:
            lead = gx, mid = tx - (gx + 16), tail = cw - (tx + tw);
            glyphSide = gy - (ch - 16 - gy), textSide = ty - (ch - th - ty);
            break;
        case blGlyphRight:
            lead = cw - (gx + 16), mid = gx - (tx + tw), tail = tx;
            glyphSide = gy - (ch - 16 - gy), textSide = ty - (ch - th - ty);
            break;
        case blGlyphTop:
            lead = gy, mid = ty - (gy + 16), tail = ch - (ty + th);
            glyphSide = gx - (cw - 16 - gx), textSide = tx - (cw - tw - tx);
            break;
        case blGlyphBottom:
            lead = ch - (gy + 16), mid = gy - (ty + th), tail = ty;
            glyphSide = gx - (cw - 16 - gx), textSide = tx - (cw - tw - tx);
            break;
        }
        const std::string what = "layout " + std::to_string(c.layout) + ", margin " + std::to_string(c.margin) +
                                 ", spacing " + std::to_string(c.spacing);
        // Centred across, the odd pixel going after.
        EXPECT_TRUE(glyphSide == 0 || glyphSide == 1) << what << ": " << glyphSide;
        EXPECT_TRUE(textSide == 0 || textSide == 1) << what << ": " << textSide;
        if (c.margin >= 0) {
            EXPECT_EQ(lead, c.margin) << what;
        }
        if (c.spacing >= 0) {
            EXPECT_EQ(mid, c.spacing) << what;
        }
        if (c.margin < 0 && c.spacing < 0) {
            // Three equal gaps, the division's remainder going to the last.
            EXPECT_EQ(mid, lead) << what;
            EXPECT_GE(tail - lead, 0) << what;
            EXPECT_LE(tail - lead, 2) << what;
        } else if (c.margin < 0) {
            EXPECT_LE(std::abs(lead - tail), 1) << what << ": glyph and caption centred together";
        } else if (c.spacing < 0) {
            EXPECT_LE(std::abs(mid - tail), 1) << what << ": caption centred in the rest";
        }
    }
}

// An 18 x 18 cell whose top and bottom rows are red, on olive.
QImage EdgedCell() {
    QImage g(36, 18, QImage::Format_RGB32);
    g.fill(kOlive);
    for (int x = 1; x < 18; ++x) {
        g.setPixel(x, 0, kRed);
        g.setPixel(x, 17, kRed);
    }
    return g;
}

TEST(ColorBitBtn, SizeHintHoldsFrameGlyphAndCaption) {
    struct Case {
        const char* caption;
        int pointSize;
        TButtonLayout layout;
    } cases[] = {{"OK", 8, blGlyphLeft}, {"Cancel", 8, blGlyphLeft}, {"Close", 14, blGlyphLeft}, {"OK", 8, blGlyphTop}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.caption);
        TColorBitBtn b;
        b.SetColor(kFace);
        b.setText(c.caption);
        QFont f = b.font();
        f.setFamily("MS Sans Serif");
        f.setPointSize(c.pointSize);
        b.setFont(f);
        b.SetGlyph(EdgedCell());
        b.SetNumGlyphs(2);
        b.SetLayout(c.layout);
        b.SetDefault(true);

        const QFontMetrics fm(b.font());
        const int frame = 2 * TColorBitBtn::kFrameWidth;
        const QSize hint = b.sizeHint();
        if (c.layout == blGlyphLeft) {
            EXPECT_GE(hint.height(), frame + 18);
            EXPECT_GE(hint.height(), frame + fm.height());
            EXPECT_GE(hint.width(), frame + 18 + b.Spacing() + fm.horizontalAdvance(c.caption));
        } else {
            EXPECT_GE(hint.height(), frame + 18 + b.Spacing() + fm.height());
        }
        EXPECT_EQ(b.minimumSizeHint(), hint);

        // At that size, up and pressed, neither the raised frame nor the
        // focus rectangle (4 pixels in) touches the glyph or the caption.
        b.resize(hint);
        for (bool down : {false, true}) {
            b.setDown(down);
            const QImage shot = b.Render();
            const QRect glyph = BoundsOf(shot, kRed);
            ASSERT_FALSE(glyph.isNull());
            const QRect inside = QRect(QPoint(0, 0), hint).adjusted(5, 5, -5, -5);
            EXPECT_TRUE(inside.contains(glyph)) << down << " glyph rows " << glyph.top() << ".." << glyph.bottom()
                                                << " of " << hint.height();
        }
    }
}

TEST(ColorBitBtn, SizeHintFollowsTheGlyph) {
    TColorBitBtn b;
    b.setText("OK");
    const int without = b.sizeHint().height();
    QImage tall(40, 40, QImage::Format_RGB32);
    tall.fill(kOlive);
    b.SetGlyph(tall); // one 40-pixel cell
    EXPECT_GE(b.sizeHint().height(), 2 * TColorBitBtn::kFrameWidth + 40);
    EXPECT_GT(b.sizeHint().height(), without);
}
