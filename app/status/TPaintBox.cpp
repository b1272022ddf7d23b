#include "TPaintBox.h"

#include <QPainter>

namespace orvane {

void TPaintBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter_ = &painter;
    if (OnPaint) OnPaint();
    painter_ = nullptr;
}

} // namespace orvane
