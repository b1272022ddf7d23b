#pragma once
#include <QPoint>
#include <QRect>
#include <QSize>

namespace orvane {

// Where a window frame of that size, wanted at `topLeft`, lies wholly inside
// `area` (a screen's available area, which panels may make start right of
// or below 0,0). Each edge moves only as far as it must; a frame larger than
// the area keeps its left and top edges on it, so the caption and the
// window's menu stay reachable. An empty area changes nothing.
QPoint FitInArea(QPoint topLeft, QSize frame, const QRect& area);

} // namespace orvane
