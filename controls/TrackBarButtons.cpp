#include "TrackBarButtons.h"

namespace orvane::controls {

TTrackBarButtons::TTrackBarButtons(QObject* parent)
    : TTrackBarElement(parent), minPicture_(new TGpPicture(this)), minPictureHot_(new TGpPicture(this)),
      minPictureDown_(new TGpPicture(this)), maxPicture_(new TGpPicture(this)),
      maxPictureHot_(new TGpPicture(this)), maxPictureDown_(new TGpPicture(this)) {
    // The state pictures are drawn as they are; only the end pictures size the buttons.
    connect(minPicture_, &TGpPicture::OnChange, this, &TTrackBarButtons::PictureChanged);
    connect(maxPicture_, &TGpPicture::OnChange, this, &TTrackBarButtons::PictureChanged);
}

void TTrackBarButtons::SetSize(int value) {
    if (minPicture_->Empty() && maxPicture_->Empty()) Set(size_, value);
}

void TTrackBarButtons::PictureChanged() {
    if (!(minPicture_->Empty() && maxPicture_->Empty()) && owner_) {
        TGpPicture* p = minPicture_->Empty() ? maxPicture_ : minPicture_;
        p->UpdateSize();
        size_ = Horizontal() ? p->Width() : p->Height();
    }
    Changed();
}

void TTrackBarButtons::Assign(const TTrackBarElement* source) {
    const auto* s = dynamic_cast<const TTrackBarButtons*>(source);
    if (!s) AssignError(source);
    SetBorderColor(s->borderColor_);
    SetBorderColorHot(s->borderColorHot_);
    SetBorderColorDown(s->borderColorDown_);
    SetColor(s->color_);
    SetColorTo(s->colorTo_);
    SetColorHot(s->colorHot_);
    SetColorHotTo(s->colorHotTo_);
    SetColorDown(s->colorDown_);
    SetColorDownTo(s->colorDownTo_);
    colorMirror_ = s->colorMirror_;
    colorMirrorTo_ = s->colorMirrorTo_;
    colorMirrorHot_ = s->colorMirrorHot_;
    colorMirrorHotTo_ = s->colorMirrorHotTo_;
    colorMirrorDown_ = s->colorMirrorDown_;
    colorMirrorDownTo_ = s->colorMirrorDownTo_;
    AssignPicture(minPicture_, s->minPicture_);
    AssignPicture(minPictureHot_, s->minPictureHot_);
    AssignPicture(minPictureDown_, s->minPictureDown_);
    AssignPicture(maxPicture_, s->maxPicture_);
    AssignPicture(maxPictureHot_, s->maxPictureHot_);
    AssignPicture(maxPictureDown_, s->maxPictureDown_);
    SetVisible(s->visible_);
    SetSize(s->size_);
    SetShape(s->shape_);
    repeatClick_ = s->repeatClick_;
    repeatPause_ = s->repeatPause_;
    SetRotateText(s->rotateText_);
    initRepeatPause_ = s->initRepeatPause_;
    SetSpacing(s->spacing_);
    step_ = s->step_;
}

TStateColours TTrackBarButtons::Colours(TElementState state) const {
    switch (state) {
    case esHot: return {colorHot_, colorHotTo_, colorMirrorHot_, colorMirrorHotTo_, borderColorHot_};
    case esDown: return {colorDown_, colorDownTo_, colorMirrorDown_, colorMirrorDownTo_, borderColorDown_};
    case esDisabled: break; // the buttons have no disabled look
    case esNormal: break;
    }
    return {color_, colorTo_, colorMirror_, colorMirrorTo_, borderColor_};
}

void TTrackBarButtons::SetColours(TElementState state, const TStateColours& c) {
    SetStateColours(*this, state, c); // the buttons have no disabled look
}

} // namespace orvane::controls
