#include "ScControls.h"

#include <QEvent>

namespace orvane {

void TScGraphicControl::SetAutoSize(bool on) {
    if (on == autoSize_) return;
    autoSize_ = on;
    AdjustSizeAndRedraw();
}

void TScGraphicControl::SetText(const QString& text) {
    if (text == text_) return;
    text_ = text;
    DoTextChanged();
}

void TScGraphicControl::Redraw() {
    if (!loading_ && updateCount_ == 0) update();
}

bool TScGraphicControl::ApplyBounds() {
    const QSize before = size();
    if (autoSize_) resize(AutoBounds());
    return size() != before;
}

void TScGraphicControl::AdjustSizeAndRedraw() {
    const bool sized = autoSize_ && align_ != alClient;
    if (!sized) {
        Redraw();
        return;
    }
    // A change of bounds repaints by itself.
    if (loading_ || !ApplyBounds()) Redraw();
}

void TScGraphicControl::ResizeAndRedraw() {
    if (loading_ || !ApplyBounds()) Redraw();
}

void TScGraphicControl::enterEvent(QEnterEvent* e) {
    QWidget::enterEvent(e);
    DoMouseEnter();
}

void TScGraphicControl::leaveEvent(QEvent* e) {
    QWidget::leaveEvent(e);
    DoMouseLeave();
}

void TScGraphicControl::changeEvent(QEvent* e) {
    QWidget::changeEvent(e);
    if (e->type() == QEvent::FontChange) DoFontChanged();
}

} // namespace orvane
