#include "SeekTrackBar.h"

#include "TrackBarFixtures.h"

#include <gtest/gtest.h>

#include <stdexcept>

using namespace orvane;
using namespace orvane::controls;

namespace {

// Counts the change notices of one element.
struct Notices {
    explicit Notices(TTrackBarElement* e) { QObject::connect(e, &TTrackBarElement::OnChange, [this] { ++count; }); }
    int count = 0;
};

TEST(TrackBarTick, ChangesOnlyOnADifferentValueAndCopiesByItsRules) {
    TTrackBarTick tick;
    Notices n(&tick);
    tick.SetSize(4);
    tick.SetColor(clBlack);
    tick.SetPosition(tmBottomRight);
    EXPECT_EQ(n.count, 0); // the defaults again

    TTrackBarTick source;
    source.SetColor(clRed);
    source.SetSize(7);
    source.SetStyle(tsNone);
    source.SetRotateFontVert(false);
    source.SetShowImageAtSteps(5);
    test::LoadPicture(source.Picture(), 4, 4);
    tick.Assign(&source);
    // Colour, size, style and the picture: one notice each.
    EXPECT_EQ(n.count, 4);
    EXPECT_EQ(tick.Color(), clRed);
    EXPECT_EQ(tick.Size(), 7);
    EXPECT_EQ(tick.Style(), tsNone);
    EXPECT_EQ(tick.ShowImageAtSteps(), 5);
    EXPECT_FALSE(tick.Picture()->Empty());
    EXPECT_TRUE(tick.RotateFontVert()); // not copied

    // A copy that differs only in the two step fields stores them silently.
    TTrackBarTick only;
    only.Assign(&tick);
    Notices m(&only);
    tick.SetShowImageAtThumbOnly(true);
    tick.SetShowImageAtSteps(3);
    only.Assign(&tick);
    EXPECT_EQ(m.count, 0);
    EXPECT_TRUE(only.ShowImageAtThumbOnly());
    EXPECT_EQ(only.ShowImageAtSteps(), 3);

    // Classes that do not match cannot be assigned.
    TTrackBarSlider slider;
    EXPECT_THROW(tick.Assign(&slider), std::invalid_argument);
}

TEST(TrackBarSlider, APictureSizesTheGrooveAndRemovesItsOutline) {
    TSeekTrackBar bar;
    TTrackBarSlider* s = bar.Slider();
    Notices n(s);
    test::LoadPicture(s->PictureCompleted(), 30, 5);
    EXPECT_EQ(s->Size(), 2);
    EXPECT_EQ(s->BorderColor(), TColor(12752500));
    EXPECT_GE(n.count, 1);

    test::LoadPicture(s->Picture(), 30, 6);
    EXPECT_EQ(s->Size(), 6);
    EXPECT_EQ(s->BorderColor(), clNone);
    s->SetSize(9); // not tied to the picture
    EXPECT_EQ(s->Size(), 9);

    bar.SetOrientation(trVertical);
    test::LoadPicture(s->Picture(), 7, 30);
    EXPECT_EQ(s->Size(), 7);

    TTrackBarSlider other;
    other.SetDirection(gdVerticalInOut);
    other.SetColorCompleted(clRed);
    s->Assign(&other);
    EXPECT_EQ(s->Direction(), gdHorizontal); // not copied
    EXPECT_EQ(s->ColorCompleted(), clRed);
}

TEST(TrackBarThumb, ThumbRulesForMirrorsPointersAndAssign) {
    TSeekTrackBar bar;
    TTrackBarThumb* t = bar.Thumb();
    // The defaults leave the disabled colours black.
    for (TColor c : {t->BorderColorDisabled(), t->ColorDisabled(), t->ColorDisabledTo(), t->ColorMirrorDisabled(),
                     t->ColorMirrorDisabledTo()})
        EXPECT_EQ(c, clBlack);
    Notices n(t);
    t->SetColorMirrorHot(clRed);
    t->SetColorMirrorHotTo(clRed);
    t->SetColorMirrorDown(clRed);
    t->SetColorMirrorDownTo(clRed);
    EXPECT_EQ(n.count, 0);
    EXPECT_EQ(t->ColorMirrorHot(), clRed);
    t->SetColorMirror(clRed);
    EXPECT_EQ(n.count, 1);

    // A pointer change needs the track bar; a free thumb keeps its own.
    t->SetThumbPointer(tpLeft);
    EXPECT_EQ(t->ThumbPointer(), tpLeft);
    TTrackBarThumb loose;
    loose.SetThumbPointer(tpRight);
    EXPECT_EQ(loose.ThumbPointer(), tpCenter);

    // Anything but a thumb is ignored without an error.
    TTrackBarSlider slider;
    const TColor before = t->Color();
    t->Assign(&slider);
    EXPECT_EQ(t->Color(), before);

    TTrackBarThumb other;
    other.SetShowAtMinMax(false);
    other.SetColor(clLime);
    other.SetSize(12);
    t->Assign(&other);
    EXPECT_EQ(t->Color(), clLime);
    EXPECT_EQ(t->Size(), 12);
    EXPECT_TRUE(t->ShowAtMinMax()); // not copied

    // With a picture the dimensions follow it, across and along the bar.
    test::LoadPicture(t->Picture(), 16, 9);
    EXPECT_EQ(t->Width(), 16);
    EXPECT_EQ(t->Size(), 9);
    t->SetWidth(30);
    EXPECT_EQ(t->Width(), 16);
    bar.SetOrientation(trVertical);
    t->PictureChanged();
    EXPECT_EQ(t->Width(), 9);
    EXPECT_EQ(t->Size(), 16);
}

TEST(TrackBarButtons, OnlyTheEndPicturesSizeAndNotify) {
    TSeekTrackBar bar;
    TTrackBarButtons* b = bar.Buttons();
    Notices n(b);
    test::LoadPicture(b->MinPictureHot(), 30, 30);
    test::LoadPicture(b->MaxPictureDown(), 30, 30);
    EXPECT_EQ(n.count, 0);
    EXPECT_EQ(b->Size(), 20);
    b->SetSize(24);
    EXPECT_EQ(b->Size(), 24);

    test::LoadPicture(b->MaxPicture(), 26, 11);
    EXPECT_EQ(b->Size(), 26);
    b->SetSize(12); // ignored while a picture is loaded
    EXPECT_EQ(b->Size(), 26);
    EXPECT_GE(n.count, 1);

    TTrackBarButtons other;
    other.SetGradient(ggRadial);
    other.SetStep(5);
    other.SetColor(clRed);
    b->Assign(&other);
    EXPECT_EQ(b->Gradient(), ggVertical); // not copied
    EXPECT_EQ(b->Step(), 5);
    EXPECT_EQ(b->Color(), clRed);
}

TEST(TrackBarLabel, FormatComparesWithItsCase) {
    TTrackBarLabel label;
    Notices n(&label);
    label.SetFormat("Pos: %d");
    EXPECT_EQ(n.count, 0);
    label.SetFormat("POS: %d");
    EXPECT_EQ(n.count, 1);
    EXPECT_EQ(label.FormatValue(42), "POS: 42");
    label.SetFormat("%d%% of %s");
    EXPECT_EQ(label.FormatValue(7), "7% of %s");

    TTrackBarLabel other;
    other.SetSpacing(9);
    other.SetPosition(lpBottomRight);
    label.Assign(&other);
    EXPECT_EQ(label.Spacing(), 4); // not copied
    EXPECT_EQ(label.Position(), lpBottomRight);
}

TEST(TrackBarPresets, StyleEightClearsPicturesAndKeepsEveryColour) {
    TSeekTrackBar bar;
    test::LoadPicture(bar.Thumb()->Picture(), 10, 10);
    test::LoadPicture(bar.Slider()->Picture(), 10, 10);
    test::LoadPicture(bar.TickMark()->Picture(), 10, 10);
    test::LoadPicture(bar.Buttons()->MinPicture(), 10, 10);
    bar.TickMark()->SetPosition(tmBoth);
    bar.Thumb()->SetShape(tsRound);
    bar.Thumb()->SetColor(clRed);
    bar.Slider()->SetBorderColor(clAqua);
    bar.ApplyStylePreset(8);
    EXPECT_TRUE(bar.Thumb()->Picture()->Empty());
    EXPECT_TRUE(bar.Slider()->Picture()->Empty());
    EXPECT_TRUE(bar.TickMark()->Picture()->Empty());
    EXPECT_FALSE(bar.Buttons()->MinPicture()->Empty()); // the buttons' pictures stay
    EXPECT_EQ(bar.TickMark()->Position(), tmBottomRight);
    EXPECT_EQ(bar.Thumb()->Shape(), tsPointer);
    EXPECT_EQ(bar.Thumb()->Color(), clRed);
    EXPECT_EQ(bar.Slider()->BorderColor(), clAqua);
}

TEST(TrackBarPresets, StyleFourIsTheSeekingBarsThumb) {
    TSeekTrackBar bar;
    bar.ApplyStylePreset(4);
    const TTrackBarThumb& t = *bar.Thumb();
    EXPECT_EQ(t.Color(), 15653832u);
    EXPECT_EQ(t.ColorTo(), 16178633u);
    EXPECT_EQ(t.ColorMirror(), 15586496u);
    EXPECT_EQ(t.ColorMirrorTo(), 16245200u);
    EXPECT_EQ(t.ColorHot(), 15465983u);
    EXPECT_EQ(t.ColorHotTo(), 11332863u);
    EXPECT_EQ(t.ColorMirrorHot(), 5888767u);
    EXPECT_EQ(t.ColorMirrorHotTo(), 10807807u);
    EXPECT_EQ(t.ColorDown(), 7778289u);
    EXPECT_EQ(t.ColorDownTo(), 4296947u);
    EXPECT_EQ(t.ColorMirrorDown(), 946929u);
    EXPECT_EQ(t.ColorMirrorDownTo(), 5021693u);
    EXPECT_EQ(t.BorderColor(), 14727579u);
    EXPECT_EQ(t.GradientMirror(), ggVertical);
    EXPECT_EQ(bar.Buttons()->Color(), 15653832u);
    EXPECT_EQ(bar.Slider()->BorderColor(), 12752500u);
}

TEST(TrackBarPresets, TicksTakeTheSliderOutlineColour) {
    for (int style = 0; style <= 15; ++style) {
        if (style == 8) continue;
        TSeekTrackBar bar;
        bar.ApplyStylePreset(static_cast<uint8_t>(style));
        EXPECT_EQ(bar.TickMark()->Color(), bar.Slider()->BorderColor()) << style;
        EXPECT_NE(bar.Slider()->BorderColor(), clNone) << style;
        EXPECT_EQ(bar.Slider()->Offset(), 10);
    }
    TSeekTrackBar bar;
    bar.Slider()->SetBorderColor(clRed);
    bar.ApplyStylePreset(200); // beyond the table: the common part only
    EXPECT_EQ(bar.Slider()->BorderColor(), clRed);
    // Styles 10 and up give the thumb no mirror, the buttons their own.
    bar.ApplyStylePreset(13);
    EXPECT_EQ(bar.Thumb()->ColorMirror(), clNone);
    EXPECT_EQ(bar.Buttons()->ColorMirror(), 15391181u);
    EXPECT_EQ(bar.Thumb()->ColorMirrorHot(), 7987195u);
}

} // namespace
