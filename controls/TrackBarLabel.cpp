#include "TrackBarLabel.h"

namespace orvane::controls {

TTrackBarLabel::TTrackBarLabel(QObject* parent) : TTrackBarElement(parent) {
    font_.setFamily(QStringLiteral("Tahoma"));
}

void TTrackBarLabel::Assign(const TTrackBarElement* source) {
    const auto* s = dynamic_cast<const TTrackBarLabel*>(source);
    if (!s) AssignError(source);
    visible_ = s->visible_;
    format_ = s->format_;
    // The font with its colour: one assignment, one notice.
    const bool fontChanged = Change(font_, s->font_);
    const bool colourChanged = Change(fontColor_, s->fontColor_);
    if (fontChanged || colourChanged) Changed();
    SetPosition(s->position_);
}

QString TTrackBarLabel::FormatValue(int value) const {
    // The format's own text is never taken as a format of another kind:
    // only "%d" (and "%%") are read; anything else stands as written.
    QString out;
    bool used = false;
    for (qsizetype i = 0; i < format_.size(); ++i) {
        const QChar c = format_[i];
        if (c == '%' && i + 1 < format_.size()) {
            const QChar n = format_[i + 1];
            if (n == '%') {
                out += '%';
                ++i;
                continue;
            }
            if ((n == 'd' || n == 'D') && !used) {
                out += QString::number(value);
                used = true;
                ++i;
                continue;
            }
        }
        out += c;
    }
    return out;
}

} // namespace orvane::controls
