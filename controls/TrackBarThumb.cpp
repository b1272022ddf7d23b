#include "TrackBarThumb.h"

#include "SeekTrackBar.h"

namespace orvane::controls {

TTrackBarThumb::TTrackBarThumb(QObject* parent)
    : TTrackBarElement(parent), picture_(new TGpPicture(this)), pictureHot_(new TGpPicture(this)),
      pictureDown_(new TGpPicture(this)), pictureDisabled_(new TGpPicture(this)) {
    for (TGpPicture* p : {picture_, pictureHot_, pictureDown_, pictureDisabled_})
        connect(p, &TGpPicture::OnChange, this, &TTrackBarThumb::PictureChanged);
}

void TTrackBarThumb::SetSize(int value) {
    if (picture_->Empty()) Set(size_, value);
}

void TTrackBarThumb::SetWidth(int value) {
    if (picture_->Empty()) Set(width_, value);
}

void TTrackBarThumb::SetThumbPointer(TThumbPointer value) {
    if (value == thumbPointer_ || !owner_) return;
    if (!owner_->CanChangeThumbPointer(this, value)) return;
    thumbPointer_ = value;
    Changed();
}

void TTrackBarThumb::PictureChanged() {
    if (!picture_->Empty() && owner_) {
        picture_->UpdateSize();
        if (Horizontal()) {
            size_ = picture_->Height();
            width_ = picture_->Width();
        } else {
            width_ = picture_->Height();
            size_ = picture_->Width();
        }
    }
    Changed();
}

void TTrackBarThumb::Assign(const TTrackBarElement* source) {
    const auto* s = dynamic_cast<const TTrackBarThumb*>(source);
    if (!s) return;
    borderColor_ = s->borderColor_;
    color_ = s->color_;
    colorTo_ = s->colorTo_;
    borderColorHot_ = s->borderColorHot_;
    colorHot_ = s->colorHot_;
    colorHotTo_ = s->colorHotTo_;
    steps_ = s->steps_;
    borderColorDown_ = s->borderColorDown_;
    colorDown_ = s->colorDown_;
    colorDownTo_ = s->colorDownTo_;
    borderColorDisabled_ = s->borderColorDisabled_;
    colorDisabled_ = s->colorDisabled_;
    colorDisabledTo_ = s->colorDisabledTo_;
    colorMirror_ = s->colorMirror_;
    colorMirrorTo_ = s->colorMirrorTo_;
    colorMirrorHot_ = s->colorMirrorHot_;
    colorMirrorHotTo_ = s->colorMirrorHotTo_;
    colorMirrorDown_ = s->colorMirrorDown_;
    colorMirrorDownTo_ = s->colorMirrorDownTo_;
    colorMirrorDisabled_ = s->colorMirrorDisabled_;
    colorMirrorDisabledTo_ = s->colorMirrorDisabledTo_;
    gradient_ = s->gradient_;
    gradientMirror_ = s->gradientMirror_;
    AssignPicture(picture_, s->picture_);
    AssignPicture(pictureHot_, s->pictureHot_);
    AssignPicture(pictureDown_, s->pictureDown_);
    AssignPicture(pictureDisabled_, s->pictureDisabled_);
    SetWidth(s->width_);
    SetShape(s->shape_);
    SetStyle(s->style_);
    SetSize(s->size_);
    SetThumbPointer(s->thumbPointer_);
}

TStateColours TTrackBarThumb::Colours(TElementState state) const {
    switch (state) {
    case esHot: return {colorHot_, colorHotTo_, colorMirrorHot_, colorMirrorHotTo_, borderColorHot_};
    case esDown: return {colorDown_, colorDownTo_, colorMirrorDown_, colorMirrorDownTo_, borderColorDown_};
    case esDisabled:
        return {colorDisabled_, colorDisabledTo_, colorMirrorDisabled_, colorMirrorDisabledTo_, borderColorDisabled_};
    case esNormal: break;
    }
    return {color_, colorTo_, colorMirror_, colorMirrorTo_, borderColor_};
}

void TTrackBarThumb::SetColours(TElementState state, const TStateColours& c) {
    if (state != esDisabled) {
        SetStateColours(*this, state, c);
        return;
    }
    SetColorDisabled(c.color);
    SetColorDisabledTo(c.colorTo);
    SetColorMirrorDisabled(c.mirror);
    SetColorMirrorDisabledTo(c.mirrorTo);
    SetBorderColorDisabled(c.border);
}

} // namespace orvane::controls
