#pragma once
// The track bar's thumb: shape, size, pointer and the colours and pictures
// of its four states, each with a second "mirror" pair for glossy halves.
#include "GpPicture.h"
#include "TrackBarTypes.h"

namespace orvane::controls {

class TTrackBarThumb : public TTrackBarElement {
    Q_OBJECT
public:
    explicit TTrackBarThumb(QObject* parent = nullptr);
    // Any source other than a thumb is ignored.
    void Assign(const TTrackBarElement* source) override;

    ORVANE_PROP(TColor, BorderColor, borderColor_)
    ORVANE_PROP(TColor, BorderColorHot, borderColorHot_)
    ORVANE_PROP(TColor, BorderColorDown, borderColorDown_)
    ORVANE_PROP(TColor, BorderColorDisabled, borderColorDisabled_)
    ORVANE_PROP(TColor, Color, color_)
    ORVANE_PROP(TColor, ColorTo, colorTo_)
    ORVANE_PROP(TColor, ColorDown, colorDown_)
    ORVANE_PROP(TColor, ColorDownTo, colorDownTo_)
    ORVANE_PROP(TColor, ColorHot, colorHot_)
    ORVANE_PROP(TColor, ColorHotTo, colorHotTo_)
    ORVANE_PROP(TColor, ColorDisabled, colorDisabled_)
    ORVANE_PROP(TColor, ColorDisabledTo, colorDisabledTo_)
    ORVANE_PROP(TColor, ColorMirror, colorMirror_)
    ORVANE_PROP(TColor, ColorMirrorTo, colorMirrorTo_)
    ORVANE_FIELD(TColor, ColorMirrorHot, colorMirrorHot_)
    ORVANE_FIELD(TColor, ColorMirrorHotTo, colorMirrorHotTo_)
    ORVANE_FIELD(TColor, ColorMirrorDown, colorMirrorDown_)
    ORVANE_FIELD(TColor, ColorMirrorDownTo, colorMirrorDownTo_)
    ORVANE_PROP(TColor, ColorMirrorDisabled, colorMirrorDisabled_)
    ORVANE_PROP(TColor, ColorMirrorDisabledTo, colorMirrorDisabledTo_)
    ORVANE_PROP(TGpGradient, Gradient, gradient_)
    ORVANE_PROP(TGpGradient, GradientMirror, gradientMirror_)
    TGpPicture* Picture() const { return picture_; }
    void SetPicture(const TGpPicture* p) { picture_->Assign(p); }
    TGpPicture* PictureHot() const { return pictureHot_; }
    void SetPictureHot(const TGpPicture* p) { pictureHot_->Assign(p); }
    TGpPicture* PictureDown() const { return pictureDown_; }
    void SetPictureDown(const TGpPicture* p) { pictureDown_->Assign(p); }
    TGpPicture* PictureDisabled() const { return pictureDisabled_; }
    void SetPictureDisabled(const TGpPicture* p) { pictureDisabled_->Assign(p); }
    ORVANE_PROP(bool, ShowAtMinMax, showAtMinMax_)
    // Across the slider; follows Picture while it holds an image.
    int Size() const { return size_; }
    void SetSize(int value);
    // Along the slider; follows Picture while it holds an image.
    int Width() const { return width_; }
    void SetWidth(int value);
    ORVANE_PROP(TThumbShape, Shape, shape_)
    TThumbPointer ThumbPointer() const { return thumbPointer_; }
    // Stored only with the track bar's permission.
    void SetThumbPointer(TThumbPointer value);
    // The drawing style: 0 default, 1 alternative.
    ORVANE_PROP(int, Style, style_)
    int StepCount() const { return steps_; }

    // The colours of one state, read and written through the setters.
    TStateColours Colours(TElementState state) const;
    void SetColours(TElementState state, const TStateColours& c);

    // The pictures' change handler: the thumb takes Picture's dimensions.
    void PictureChanged();

private:
    TColor borderColor_ = 10317632;
    TColor borderColorHot_ = 10079963;
    TColor borderColorDown_ = 4548219;
    TColor borderColorDisabled_ = clBlack;
    TColor color_ = 15653832;
    TColor colorTo_ = 16178633;
    TColor colorDown_ = 7778289;
    TColor colorDownTo_ = 4296947;
    TColor colorHot_ = 15465983;
    TColor colorHotTo_ = 11332863;
    TColor colorDisabled_ = clBlack;
    TColor colorDisabledTo_ = clBlack;
    TColor colorMirror_ = 15586496;
    TColor colorMirrorTo_ = 16245200;
    TColor colorMirrorHot_ = 5888767;
    TColor colorMirrorHotTo_ = 10807807;
    TColor colorMirrorDown_ = 946929;
    TColor colorMirrorDownTo_ = 5021693;
    TColor colorMirrorDisabled_ = clBlack;
    TColor colorMirrorDisabledTo_ = clBlack;
    TGpGradient gradient_ = ggVertical;
    TGpGradient gradientMirror_ = ggRadial;
    TGpPicture* picture_;
    TGpPicture* pictureHot_;
    TGpPicture* pictureDown_;
    TGpPicture* pictureDisabled_;
    bool showAtMinMax_ = true;
    int size_ = 15;
    int width_ = 10;
    TThumbShape shape_ = tsPointer;
    TThumbPointer thumbPointer_ = tpCenter;
    int style_ = 0;
    int steps_ = 64;
};

} // namespace orvane::controls
