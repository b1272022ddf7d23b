#pragma once
// The two optional buttons at the ends of the track bar that step the
// position down and up, repeating while held.
#include "GpPicture.h"
#include "TrackBarTypes.h"

namespace orvane::controls {

class TTrackBarButtons : public TTrackBarElement {
    Q_OBJECT
public:
    explicit TTrackBarButtons(QObject* parent = nullptr);
    void Assign(const TTrackBarElement* source) override;

    ORVANE_PROP(TColor, BorderColor, borderColor_)
    ORVANE_PROP(TColor, BorderColorHot, borderColorHot_)
    ORVANE_PROP(TColor, BorderColorDown, borderColorDown_)
    ORVANE_PROP(TColor, Color, color_)
    ORVANE_PROP(TColor, ColorTo, colorTo_)
    ORVANE_PROP(TColor, ColorHot, colorHot_)
    ORVANE_PROP(TColor, ColorHotTo, colorHotTo_)
    ORVANE_PROP(TColor, ColorDown, colorDown_)
    ORVANE_PROP(TColor, ColorDownTo, colorDownTo_)
    ORVANE_FIELD(TColor, ColorMirror, colorMirror_)
    ORVANE_FIELD(TColor, ColorMirrorTo, colorMirrorTo_)
    ORVANE_FIELD(TColor, ColorMirrorHot, colorMirrorHot_)
    ORVANE_FIELD(TColor, ColorMirrorHotTo, colorMirrorHotTo_)
    ORVANE_FIELD(TColor, ColorMirrorDown, colorMirrorDown_)
    ORVANE_FIELD(TColor, ColorMirrorDownTo, colorMirrorDownTo_)
    ORVANE_PROP(TGpGradient, Gradient, gradient_)
    ORVANE_PROP(TGpGradient, GradientMirror, gradientMirror_)
    TGpPicture* MinPicture() const { return minPicture_; }
    void SetMinPicture(const TGpPicture* p) { minPicture_->Assign(p); }
    TGpPicture* MinPictureHot() const { return minPictureHot_; }
    void SetMinPictureHot(const TGpPicture* p) { minPictureHot_->Assign(p); }
    TGpPicture* MinPictureDown() const { return minPictureDown_; }
    void SetMinPictureDown(const TGpPicture* p) { minPictureDown_->Assign(p); }
    TGpPicture* MaxPicture() const { return maxPicture_; }
    void SetMaxPicture(const TGpPicture* p) { maxPicture_->Assign(p); }
    TGpPicture* MaxPictureHot() const { return maxPictureHot_; }
    void SetMaxPictureHot(const TGpPicture* p) { maxPictureHot_->Assign(p); }
    TGpPicture* MaxPictureDown() const { return maxPictureDown_; }
    void SetMaxPictureDown(const TGpPicture* p) { maxPictureDown_->Assign(p); }
    ORVANE_FIELD(int, InitRepeatPause, initRepeatPause_)
    ORVANE_FIELD(int, RepeatPause, repeatPause_)
    ORVANE_FIELD(bool, RepeatClick, repeatClick_)
    ORVANE_PROP(bool, RotateText, rotateText_)
    ORVANE_PROP(bool, Visible, visible_)
    int Size() const { return size_; }
    // Ignored while either end picture holds an image.
    void SetSize(int value);
    ORVANE_PROP(TTrackButtonShape, Shape, shape_)
    ORVANE_PROP(int, Spacing, spacing_)
    ORVANE_FIELD(int, Step, step_)

    // The colours of one state, read and written through the setters.
    TStateColours Colours(TElementState state) const;
    void SetColours(TElementState state, const TStateColours& c);

    // The end pictures' change handler: the buttons take their size from them.
    void PictureChanged();

private:
    TColor borderColor_ = 9262895;
    TColor borderColorHot_ = 10079963;
    TColor borderColorDown_ = 4548219;
    TColor color_ = 15653832;
    TColor colorTo_ = 16178633;
    TColor colorHot_ = 15465983;
    TColor colorHotTo_ = 11332863;
    TColor colorDown_ = 7778289;
    TColor colorDownTo_ = 4296947;
    TColor colorMirror_ = 15586496;
    TColor colorMirrorTo_ = 16245200;
    TColor colorMirrorHot_ = 5888767;
    TColor colorMirrorHotTo_ = 10807807;
    TColor colorMirrorDown_ = 946929;
    TColor colorMirrorDownTo_ = 5021693;
    TGpGradient gradient_ = ggVertical;
    TGpGradient gradientMirror_ = ggVertical;
    TGpPicture* minPicture_;
    TGpPicture* minPictureHot_;
    TGpPicture* minPictureDown_;
    TGpPicture* maxPicture_;
    TGpPicture* maxPictureHot_;
    TGpPicture* maxPictureDown_;
    int initRepeatPause_ = 400;
    int repeatPause_ = 100;
    bool repeatClick_ = true;
    bool rotateText_ = true;
    bool visible_ = false;
    int size_ = 20;
    TTrackButtonShape shape_ = bsRound;
    int spacing_ = 2;
    int step_ = 1;
};

} // namespace orvane::controls
