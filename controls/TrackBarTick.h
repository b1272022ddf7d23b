#pragma once
// How the track bar's tick marks look; it draws nothing itself.
#include "GpPicture.h"
#include "TrackBarTypes.h"

#include <QFont>

namespace orvane::controls {

class TTrackBarTick : public TTrackBarElement {
    Q_OBJECT
public:
    explicit TTrackBarTick(QObject* parent = nullptr);
    void Assign(const TTrackBarElement* source) override;

    ORVANE_PROP(TColor, Color, color_)
    ORVANE_PROP(TColor, ColorDisabled, colorDisabled_)
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font) { Set(font_, font); }
    // The font's colour: the colour of the tick texts.
    ORVANE_PROP(TColor, FontColor, fontColor_)
    ORVANE_PROP(bool, Line3D, line3D_)
    TGpPicture* Picture() const { return picture_; }
    void SetPicture(const TGpPicture* p) { picture_->Assign(p); }
    TGpPicture* PictureDisabled() const { return pictureDisabled_; }
    void SetPictureDisabled(const TGpPicture* p) { pictureDisabled_->Assign(p); }
    ORVANE_PROP(TTickMark, Position, position_)
    ORVANE_PROP(bool, RotateFontVert, rotateFontVert_)
    ORVANE_PROP(TTickStyle, Style, style_)
    ORVANE_PROP(bool, ShowText, showText_)
    ORVANE_PROP(bool, ShowImageAtThumbOnly, showImageAtThumbOnly_)
    ORVANE_PROP(int, ShowImageAtSteps, showImageAtSteps_)
    ORVANE_PROP(int, Spacing, spacing_)
    ORVANE_PROP(int, Size, size_)

private:
    TColor color_ = clBlack;
    TColor colorDisabled_ = clBlack;
    QFont font_;
    TColor fontColor_ = clWindowText;
    bool line3D_ = false;
    TGpPicture* picture_;
    TGpPicture* pictureDisabled_;
    TTickMark position_ = tmBottomRight;
    bool rotateFontVert_ = true;
    TTickStyle style_ = tsAuto;
    bool showText_ = false;
    bool showImageAtThumbOnly_ = false;
    int showImageAtSteps_ = 1;
    int spacing_ = 8;
    int size_ = 4;
};

} // namespace orvane::controls
