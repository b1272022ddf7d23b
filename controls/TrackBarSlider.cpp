#include "TrackBarSlider.h"

namespace orvane::controls {

TTrackBarSlider::TTrackBarSlider(QObject* parent)
    : TTrackBarElement(parent), picture_(new TGpPicture(this)), pictureDisabled_(new TGpPicture(this)),
      pictureCompleted_(new TGpPicture(this)), pictureCompletedDisabled_(new TGpPicture(this)) {
    for (TGpPicture* p : {picture_, pictureDisabled_, pictureCompleted_, pictureCompletedDisabled_})
        connect(p, &TGpPicture::OnChange, this, &TTrackBarSlider::PictureChanged);
}

void TTrackBarSlider::PictureChanged() {
    if (!picture_->Empty()) {
        picture_->UpdateSize();
        size_ = Horizontal() ? picture_->Height() : picture_->Width();
        SetBorderColor(clNone);
    }
    Changed();
}

void TTrackBarSlider::Assign(const TTrackBarElement* source) {
    const auto* s = dynamic_cast<const TTrackBarSlider*>(source);
    if (!s) AssignError(source);
    SetBorderColor(s->borderColor_);
    SetBorderColorDisabled(s->borderColorDisabled_);
    SetColor(s->color_);
    SetColorTo(s->colorTo_);
    SetColorDisabled(s->colorDisabled_);
    SetColorDisabledTo(s->colorDisabledTo_);
    SetColorCompletedTo(s->colorCompletedTo_);
    SetColorCompleted(s->colorCompleted_);
    SetColorCompletedDisabled(s->colorCompletedDisabled_);
    SetColorCompletedDisabledTo(s->colorCompletedDisabledTo_);
    SetSize(s->size_);
    rounded_ = s->rounded_;
    SetBorder3D(s->border3D_);
    SetVisible(s->visible_);
    AssignPicture(picture_, s->picture_);
    AssignPicture(pictureDisabled_, s->pictureDisabled_);
    pictureStretched_ = s->pictureStretched_;
    AssignPicture(pictureCompleted_, s->pictureCompleted_);
    AssignPicture(pictureCompletedDisabled_, s->pictureCompletedDisabled_);
    SetOffset(s->offset_);
}

} // namespace orvane::controls
