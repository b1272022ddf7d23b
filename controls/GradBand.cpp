#include "GradBand.h"

#include "Canvas.h"
#include "Change.h"

#include <QMouseEvent>
#include <QPainter>

#include <algorithm>

namespace orvane::controls {

TGradBand::TGradBand(QWidget* parent) : QWidget(parent) {
    font_ = font();
    font_.setBold(true);
    resize(400, 25);
}

// A colour, the direction and the caption show at once; the rest waits for
// the next paint.
void TGradBand::PaintNow() {
    repaint();
    update();
}

void TGradBand::SetBeginColor(TColor color) {
    if (Change(beginColor_, color)) PaintNow();
}

void TGradBand::SetEndColor(TColor color) {
    if (Change(endColor_, color)) PaintNow();
}

void TGradBand::SetFillDirection(TFillDirection direction) {
    if (Change(fillDirection_, direction)) PaintNow();
}

void TGradBand::SetNumberOfColors(int count) {
    if (Change(numberOfColors_, std::clamp(count, 1, 255))) update();
}

void TGradBand::SetAutoSize(bool on) {
    if (Change(autoSize_, on)) update();
}

void TGradBand::SetFont(const QFont& font) {
    if (Change(font_, font)) repaint();
}

void TGradBand::SetFontColor(TColor color) {
    if (Change(fontColor_, color)) repaint();
}

void TGradBand::SetCaption(const QString& caption) {
    if (Change(caption_, caption)) repaint();
}

void TGradBand::SetTextTop(int top) {
    if (Change(textTop_, top)) repaint();
}

void TGradBand::SetTextLeft(int left) {
    if (Change(textLeft_, left)) repaint();
}

QImage TGradBand::Render() const {
    const int w = width(), h = height(), n = numberOfColors_;
    QImage image(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    if (w <= 0 || h <= 0) return image;
    TCanvas canvas(image);
    TColor from = ColorToRGB(beginColor_), to = ColorToRGB(endColor_);
    if (fillDirection_ == fdRightToLeft) std::swap(from, to);
    const int dr = GetRValue(to) - GetRValue(from), dg = GetGValue(to) - GetGValue(from),
              db = GetBValue(to) - GetBValue(from);
    // Bands run from top to bottom whatever the direction's name says.
    for (int i = 0; i < n; ++i) {
        const TRect band{0, MulDiv(i, h, n), w, MulDiv(i + 1, h, n)};
        TColor color = from;
        if (n >= 2)
            color = RGB(GetRValue(from) + MulDiv(i, dr, n - 1), GetGValue(from) + MulDiv(i, dg, n - 1),
                        GetBValue(from) + MulDiv(i, db, n - 1));
        canvas.FillRect(band, color);
    }
    canvas.BrushStyle = TBrushStyle::bsClear;
    canvas.Font = font_;
    canvas.FontColor = fontColor_;
    if (!caption_.isEmpty()) canvas.TextOut(textLeft_, textTop_, caption_);
    return image;
}

void TGradBand::paintEvent(QPaintEvent*) {
    QPainter p(this);
    p.drawImage(0, 0, Render());
}

void TGradBand::mousePressEvent(QMouseEvent* event) {
    pressed_ = event->button() == Qt::LeftButton;
    const QPoint at = event->position().toPoint();
    emit OnMouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TGradBand::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit OnMouseMove(event->modifiers(), at.x(), at.y());
}

void TGradBand::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(at);
    if (event->button() == Qt::LeftButton) pressed_ = false;
    if (click) emit OnClick();
    emit OnMouseUp(event->button(), event->modifiers(), at.x(), at.y());
}

void TGradBand::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) emit OnDblClick();
}

} // namespace orvane::controls
