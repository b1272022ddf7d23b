#include "TrackBarTick.h"

namespace orvane::controls {

TTrackBarTick::TTrackBarTick(QObject* parent)
    : TTrackBarElement(parent), picture_(new TGpPicture(this)), pictureDisabled_(new TGpPicture(this)) {
    font_.setFamily(QStringLiteral("Tahoma"));
    connect(picture_, &TGpPicture::OnChange, this, [this] { Changed(); });
    connect(pictureDisabled_, &TGpPicture::OnChange, this, [this] { Changed(); });
}

void TTrackBarTick::Assign(const TTrackBarElement* source) {
    const auto* s = dynamic_cast<const TTrackBarTick*>(source);
    if (!s) AssignError(source);
    SetColor(s->color_);
    SetColorDisabled(s->colorDisabled_);
    SetSize(s->size_);
    SetPosition(s->position_);
    SetStyle(s->style_);
    AssignPicture(picture_, s->picture_);
    AssignPicture(pictureDisabled_, s->pictureDisabled_);
    // The font with its colour: one assignment, one notice.
    const bool fontChanged = Change(font_, s->font_);
    const bool colourChanged = Change(fontColor_, s->fontColor_);
    if (fontChanged || colourChanged) Changed();
    SetShowText(s->showText_);
    SetLine3D(s->line3D_);
    showImageAtThumbOnly_ = s->showImageAtThumbOnly_;
    showImageAtSteps_ = s->showImageAtSteps_;
    SetSpacing(s->spacing_);
}

} // namespace orvane::controls
