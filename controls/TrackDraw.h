#pragma once
// Drawing helpers of the skinnable track bar: stepped gradients, glossy
// two-half fills, colour blends, outlines and the thumb shapes, all drawn on
// the canvas adapter so they keep the Windows pixel rules.
#include "Canvas.h"
#include "GpWrap.h"
#include "TrackBarTypes.h"

#include <QFont>
#include <QPoint>
#include <QString>

#include <memory>

namespace orvane::controls {

// n steps (0 counts as 1) from `from` to `to`, left to right or top to bottom.
void DrawSteppedGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r, int steps);
void DrawGradient(TCanvas& canvas, TColor from, TColor to, TGradientDirection direction, const TRect& r,
                  int steps);
// The text's size in `font`; the canvas keeps its own font.
void GetTextExtent(TCanvas& canvas, const QFont& font, const QString& text, int& width, int& height);
// a x percent + b x (100 - percent), per channel.
TColor BlendColor(TColor a, TColor b, int percent);
// dark outside and light inside when `darkOutside`, else the reverse.
void Draw3DFrame(TCanvas& canvas, const TRect& r, bool darkOutside, TColor light, TColor dark);
ARGB ToGdipColor(TColor color);
std::unique_ptr<TGPGraphicsPath> CreatePointerPath(const TRect& r, QPoint tip1, QPoint tip2, TTickMark ticks,
                                                   bool vertical);
std::unique_ptr<TGPGraphicsPath> CreateRoundRectPath(int x, int y, int width, int height, int radius);
void DrawRoundRect(TGPGraphics& graphics, int x, int y, int width, int height, int radius, TColor color);
void FillHalf(TGPGraphics& graphics, const TGPRectF& r, TColor color1, TColor color2, TGpGradient gradient,
              bool upper);
void DrawShapeBorder(TGPGraphics& graphics, const TRect& r, TTrackButtonShape shape, bool vertical, TColor border,
                     TColor light);
// Upper half colour -> colorTo, lower half mirrorTo -> mirror, then the
// outline; graphics may be null, then one is made on the canvas.
void DrawMirrorFill(TGPGraphics* graphics, TCanvas& canvas, const TRect& r, bool vertical,
                    TGpGradient gradientMirror, TGpGradient gradient, TColor mirrorTo, TColor mirror,
                    TColor colorTo, TColor color, TColor border, TColor light, TTrackButtonShape shape);
// Every other pixel of the outline in `color`.
void DrawFocusFrame(TCanvas& canvas, const TRect& r, TColor color);

struct TThumbColors {
    TColor color, colorTo, border, light;
};
// kind 0..5: the triangles and diamond of the polygon thumbs.
void DrawTriangleThumb(TCanvas& canvas, const TRect& r, int kind, TGradientDirection direction, int steps,
                       const TThumbColors& colors);
// A pointer toward the right (or up on vertical bars); rightUp false points left.
void DrawPointerThumbRightUp(TCanvas& canvas, const TRect& r, bool rightUp, bool vertical,
                             TGradientDirection direction, int steps, const TThumbColors& colors);
void DrawPointerThumbLeftUp(TCanvas& canvas, const TRect& r, bool vertical, TGradientDirection direction,
                            int steps, const TThumbColors& colors);

} // namespace orvane::controls
