#pragma once
// The status window's paint pass: the two sound-card channels, left in the
// upper half in lime and right in the lower half in red.
#include "ICanvas.h"
#include "StatusInfo.h"

namespace orvane {

constexpr TColor kStatusBack = clNavy;
constexpr TColor kStatusFore = clBtnShadow;

// The whole pass on a paint box of width x height. Before the window has
// made its data sets, nothing is drawn.
void PaintStatusPlot(ICanvas& canvas, int width, int height, bool soundCard, const ScopeSamples& scope,
                     plot::Tdatatype& left, plot::Tdatatype& right);

} // namespace orvane
