#pragma once
// Whether and where the track bar writes its position beside the slider.
#include "TrackBarTypes.h"

#include <QFont>
#include <QString>

namespace orvane::controls {

class TTrackBarLabel : public TTrackBarElement {
    Q_OBJECT
public:
    explicit TTrackBarLabel(QObject* parent = nullptr);
    void Assign(const TTrackBarElement* source) override;

    ORVANE_PROP(bool, Visible, visible_)
    ORVANE_PROP(TLabelPosition, Position, position_)
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font) { Set(font_, font); }
    // The font's colour: the colour of the label text.
    ORVANE_PROP(TColor, FontColor, fontColor_)
    // Applied to the position as its single integer argument ("%d").
    const QString& Format() const { return format_; }
    void SetFormat(const QString& format) { Set(format_, format); }
    ORVANE_PROP(int, Spacing, spacing_)

    // Format with its integer conversion filled in.
    QString FormatValue(int value) const;

private:
    bool visible_ = false;
    TLabelPosition position_ = lpTopCenter;
    QFont font_;
    TColor fontColor_ = clWindowText;
    QString format_ = QStringLiteral("Pos: %d");
    int spacing_ = 4;
};

} // namespace orvane::controls
