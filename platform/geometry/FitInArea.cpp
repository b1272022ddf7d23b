#include "FitInArea.h"

#include <algorithm>
#include <cstdint>

namespace orvane {

namespace {

// In 64 bits: a hand-edited position may be the largest integer.
int FitEdge(int64_t start, int64_t length, int64_t areaStart, int64_t areaLength) {
    start = std::min(start, areaStart + areaLength - length);
    return static_cast<int>(std::max(start, areaStart));
}

} // namespace

QPoint FitInArea(QPoint topLeft, QSize frame, const QRect& area) {
    if (area.isEmpty()) return topLeft;
    return QPoint(FitEdge(topLeft.x(), frame.width(), area.x(), area.width()),
                  FitEdge(topLeft.y(), frame.height(), area.y(), area.height()));
}

} // namespace orvane
