// The track bar's sixteen colour schemes.
#include "SeekTrackBar.h"

namespace orvane::controls {

namespace {

using StateColours = TStateColours;

// Thumb and buttons take the same colours for a state.
void Both(TTrackBarThumb& t, TTrackBarButtons& b, TElementState state, const StateColours& c) {
    t.SetColours(state, c);
    b.SetColours(state, c);
}
void Vertical(TTrackBarThumb& t, TTrackBarButtons& b) {
    t.SetGradient(ggVertical);
    t.SetGradientMirror(ggVertical);
    b.SetGradient(ggVertical);
    b.SetGradientMirror(ggVertical);
}

const StateColours kSharedHot{13432063, 11332863, 5888767, 9556223, 10079963};
const StateColours kSharedDown{7778289, 4296947, 946929, 5021693, 4548219};
const StateColours kSetHot{15465983, 11332863, 5888767, 10807807, 10079963};
const StateColours kOwnHot{14678013, 7987195, 7987195, 14678013, 3457776};
const StateColours kOwnDown{6670325, 9102591, 9102591, 6670325, 2914498};

} // namespace

void TCustomTrackBar::ApplyStylePreset(uint8_t style) {
    // Common to every style.
    slider_->SetOffset(10);
    for (TGpPicture* p : {slider_->Picture(), slider_->PictureDisabled(), slider_->PictureCompleted(),
                          slider_->PictureCompletedDisabled()})
        p->Assign(nullptr);
    slider_->SetPictureStretched(false);
    tickMark_->Picture()->Assign(nullptr);
    tickMark_->PictureDisabled()->Assign(nullptr);
    tickMark_->SetPosition(tmBottomRight);
    for (TGpPicture* p : {thumb_->Picture(), thumb_->PictureHot(), thumb_->PictureDown(), thumb_->PictureDisabled()})
        p->Assign(nullptr);
    thumb_->SetShape(tsPointer);
    buttons_->SetSpacing(2);

    TTrackBarThumb& t = *thumb_;
    TTrackBarButtons& b = *buttons_;
    TColor sliderColour = clNone;
    if (style == 0 || style == 1 || style == 2 || style == 7) {
        Both(t, b, esHot, kSharedHot);
        Both(t, b, esDown, kSharedDown);
        Vertical(t, b);
    }
    switch (style) {
    case 0:
        t.SetColours(esNormal, {15653832, 16178633, 15586496, 16245200, 14727579});
        b.SetColours(esNormal, {16706781, 16374724, 16706781, 14854529, 10248507});
        sliderColour = 12752500;
        break;
    case 1:
        Both(t, b, esNormal, {15586496, 15128792, 15586496, 13152947, 9598070});
        sliderColour = 9598070;
        break;
    case 2:
        Both(t, b, esNormal, {13627626, 13627626, 13627626, 9224369, 9224369});
        sliderColour = 9224369;
        break;
    case 7:
        Both(t, b, esNormal, {16777215, 14675440, 14675440, 14675440, 10070188});
        sliderColour = 9598070;
        break;
    case 3:
    case 4:
    case 5:
    case 9: {
        static const StateColours kSets[] = {{16777215, 13226453, 16777215, 13226453, 0},
                                             {15653832, 16178633, 15586496, 16245200, 14727579},
                                             {14671574, 15000283, 14144974, 15197664, 12631218},
                                             {15987697, 16119283, 15657703, 16316406, 13421257}};
        static const TColor kSliders[] = {9598070, 12752500, 12631218, 13421257};
        const int i = style == 9 ? 3 : style - 3;
        Both(t, b, esNormal, kSets[i]);
        Both(t, b, esHot, kSetHot);
        Both(t, b, esDown, kSharedDown);
        Vertical(t, b);
        sliderColour = kSliders[i];
        break;
    }
    case 6:
        Both(t, b, esNormal, {16777215, 12179676, 12179676, 12179676, 12179676});
        Both(t, b, esHot, {15717318, 15717318, 15717318, 15717318, clHighlight});
        Both(t, b, esDown, {11899524, 11899524, 11899524, 11899524, clHighlight});
        Vertical(t, b);
        sliderColour = 9598070;
        break;
    case 10:
    case 11:
    case 12:
    case 13:
    case 14:
    case 15: {
        struct Row {
            TColor color, colorTo, buttonMirror, buttonMirrorTo, border;
            StateColours hot, down;
            TColor slider;
        };
        static const Row kRows[] = {
            {16776697, 16642263, 16776697, 16642263, 16703386, {16776697, 16775920, clNone, clNone, 16703386},
             {16710128, 16642263, clNone, clNone, 16703386}, 16703386},
            {16575452, 16571329, 16575452, 16571329, 13542013, {16645114, 16643051, clNone, clNone, 14922381},
             {16575452, 16571329, clNone, clNone, 13542013}, 13542013},
            {clBtnFace, clBtnFace, clBtnFace, clBtnFace, 0, {12632256, 12632256, clNone, clNone, 0},
             {clHighlight, clHighlight, clNone, clNone, 0}, 0},
            {16710905, 15391181, 15391181, 15391181, 10060659, kOwnHot, kOwnDown, 10060659},
            {16645370, 16645370, 16645370, 16645370, 9734527, kOwnHot, kOwnDown, 9734527},
            {13224393, 8421504, 8421504, 8421504, 2500134, kOwnHot, kOwnDown, 2500134},
        };
        const Row& row = kRows[style - 10];
        t.SetColours(esNormal, {row.color, row.colorTo, clNone, clNone, row.border});
        b.SetColours(esNormal, {row.color, row.colorTo, row.buttonMirror, row.buttonMirrorTo, row.border});
        Both(t, b, esHot, row.hot);
        Both(t, b, esDown, row.down);
        Vertical(t, b);
        sliderColour = row.slider;
        break;
    }
    default: break; // 8 and above 15: the common part only
    }
    if (style <= 15 && style != 8) {
        slider_->SetBorderColor(sliderColour);
        tickMark_->SetColor(slider_->BorderColor());
    }
    update();
}

} // namespace orvane::controls
