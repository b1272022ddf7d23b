#pragma once
// The groove along which the track bar's thumb moves.
#include "GpPicture.h"
#include "TrackBarTypes.h"

namespace orvane::controls {

class TTrackBarSlider : public TTrackBarElement {
    Q_OBJECT
public:
    explicit TTrackBarSlider(QObject* parent = nullptr);
    void Assign(const TTrackBarElement* source) override;

    ORVANE_PROP(TColor, BorderColor, borderColor_)
    ORVANE_PROP(TColor, BorderColorDisabled, borderColorDisabled_)
    ORVANE_PROP(TColor, Color, color_)
    ORVANE_PROP(TColor, ColorTo, colorTo_)
    ORVANE_PROP(TColor, ColorDisabled, colorDisabled_)
    ORVANE_PROP(TColor, ColorDisabledTo, colorDisabledTo_)
    ORVANE_PROP(TColor, ColorCompleted, colorCompleted_)
    ORVANE_PROP(TColor, ColorCompletedTo, colorCompletedTo_)
    ORVANE_PROP(TColor, ColorCompletedDisabled, colorCompletedDisabled_)
    ORVANE_PROP(TColor, ColorCompletedDisabledTo, colorCompletedDisabledTo_)
    ORVANE_PROP(TGradientDirection, Direction, direction_)
    TGpPicture* Picture() const { return picture_; }
    void SetPicture(const TGpPicture* p) { picture_->Assign(p); }
    TGpPicture* PictureDisabled() const { return pictureDisabled_; }
    void SetPictureDisabled(const TGpPicture* p) { pictureDisabled_->Assign(p); }
    TGpPicture* PictureCompleted() const { return pictureCompleted_; }
    void SetPictureCompleted(const TGpPicture* p) { pictureCompleted_->Assign(p); }
    TGpPicture* PictureCompletedDisabled() const { return pictureCompletedDisabled_; }
    void SetPictureCompletedDisabled(const TGpPicture* p) { pictureCompletedDisabled_->Assign(p); }
    ORVANE_PROP(bool, PictureStretched, pictureStretched_)
    ORVANE_PROP(int, Size, size_)
    ORVANE_PROP(bool, Border3D, border3D_)
    ORVANE_PROP(bool, Rounded, rounded_)
    ORVANE_PROP(bool, Visible, visible_)
    ORVANE_PROP(int, Offset, offset_)
    int StepCount() const { return steps_; }

    // The pictures' change handler: the groove follows Picture's size.
    void PictureChanged();

private:
    TColor borderColor_ = 12752500;
    TColor borderColorDisabled_ = clBlack;
    TColor color_ = clWhite;
    TColor colorTo_ = clBlack;
    TColor colorDisabled_ = clBlack;
    TColor colorDisabledTo_ = clBlack;
    TColor colorCompleted_ = clNone;
    TColor colorCompletedTo_ = clNone;
    TColor colorCompletedDisabled_ = clNone;
    TColor colorCompletedDisabledTo_ = clNone;
    TGradientDirection direction_ = gdHorizontal;
    TGpPicture* picture_;
    TGpPicture* pictureDisabled_;
    TGpPicture* pictureCompleted_;
    TGpPicture* pictureCompletedDisabled_;
    bool pictureStretched_ = false;
    int size_ = 2;
    bool border3D_ = true;
    bool rounded_ = false;
    bool visible_ = true;
    int offset_ = 10;
    int steps_ = 20;
};

} // namespace orvane::controls
