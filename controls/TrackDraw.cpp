#include "TrackDraw.h"

#include <QFontMetrics>
#include <QPolygon>

#include <cmath>
#include <cstdint>

namespace orvane::controls {

namespace {

int Round(double v) { return static_cast<int>(std::nearbyint(v)); }

QPainterPath PolygonPath(const QPolygon& polygon) {
    QPainterPath path;
    path.setFillRule(Qt::OddEvenFill);
    path.addPolygon(QPolygonF(polygon));
    path.closeSubpath();
    return path;
}

void Line(TCanvas& canvas, TColor color, int x1, int y1, int x2, int y2) {
    canvas.PenColor = color;
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

// The polygon's fill clipped to it, its outline and a grip across its middle.
void FillPolygonThumb(TCanvas& canvas, const TRect& r, const QPolygon& polygon, TGradientDirection direction,
                      int steps, const TThumbColors& colors) {
    QPainter& p = canvas.Painter();
    p.save();
    p.setClipPath(PolygonPath(polygon), Qt::IntersectClip);
    if (colors.color != clNone && colors.colorTo != clNone)
        DrawGradient(canvas, colors.color, colors.colorTo, direction, r, steps);
    else if (colors.color != clNone)
        canvas.FillRect(r, ColorToRGB(colors.color));
    p.restore();
    const int n = static_cast<int>(polygon.size());
    if (colors.border != clNone)
        for (int i = 0; i < n; ++i)
            Line(canvas, ColorToRGB(colors.border), polygon[i].x(), polygon[i].y(), polygon[(i + 1) % n].x(),
                 polygon[(i + 1) % n].y());
    const int mx = (r.Left + r.Right) / 2, my = (r.Top + r.Bottom) / 2;
    if (colors.border != clNone) Line(canvas, ColorToRGB(colors.border), mx, my - 2, mx, my + 2);
    if (colors.light != clNone) Line(canvas, ColorToRGB(colors.light), mx + 1, my - 2, mx + 1, my + 2);
}

} // namespace

void DrawSteppedGradient(TCanvas& canvas, TColor from, TColor to, bool horizontal, const TRect& r, int steps) {
    const int n = steps <= 0 ? 1 : steps;
    const TColor a = ColorToRGB(from), b = ColorToRGB(to);
    const double g = horizontal ? double(r.Right - 1 - r.Left) / n : double(r.Bottom - 1 - r.Top) / n;
    for (int i = 0; i < n; ++i) {
        auto channel = [&](int s, int e) { return s + Round(double(i) * (e - s) / n); };
        const TColor c = RGB(channel(GetRValue(a), GetRValue(b)), channel(GetGValue(a), GetGValue(b)),
                             channel(GetBValue(a), GetBValue(b)));
        if (horizontal) {
            const int x = static_cast<uint16_t>(r.Left + Round(i * g));
            canvas.FillRect({x, r.Top, x + Round(g) + 1, r.Bottom}, c);
        } else {
            const int y = static_cast<uint16_t>(r.Top + Round(i * g));
            canvas.FillRect({r.Left, y, r.Right, y + Round(g) + 1}, c);
        }
    }
}

void DrawGradient(TCanvas& canvas, TColor from, TColor to, TGradientDirection direction, const TRect& r,
                  int steps) {
    switch (direction) {
    case gdHorizontal: DrawSteppedGradient(canvas, from, to, true, r, steps); break;
    case gdVertical: DrawSteppedGradient(canvas, from, to, false, r, steps); break;
    case gdHorizontalInOut: {
        const int mid = r.Left + r.Width() / 2;
        DrawSteppedGradient(canvas, from, to, true, {r.Left, r.Top, mid, r.Bottom}, steps);
        DrawSteppedGradient(canvas, to, from, true, {mid - 1, r.Top, r.Right, r.Bottom}, steps);
        break;
    }
    case gdVerticalInOut: {
        const int mid = r.Top + r.Height() / 2;
        DrawSteppedGradient(canvas, from, to, false, {r.Left, r.Top, r.Right, mid}, steps);
        DrawSteppedGradient(canvas, to, from, false, {r.Left, mid - 1, r.Right, r.Bottom}, steps);
        break;
    }
    }
}

void GetTextExtent(TCanvas&, const QFont& font, const QString& text, int& width, int& height) {
    const QFontMetrics fm(font);
    width = fm.horizontalAdvance(text);
    height = fm.height();
}

TColor BlendColor(TColor a, TColor b, int percent) {
    if (percent >= 100) return a;
    if (percent <= 0) return b;
    const TColor x = ColorToRGB(a), y = ColorToRGB(b);
    const double f = percent / 100.0;
    auto mix = [&](int ca, int cb) { return Round(f * ca + (1 - f) * cb); };
    return RGB(mix(GetRValue(x), GetRValue(y)), mix(GetGValue(x), GetGValue(y)), mix(GetBValue(x), GetBValue(y)));
}

void Draw3DFrame(TCanvas& canvas, const TRect& r, bool darkOutside, TColor light, TColor dark) {
    const TColor outer = ColorToRGB(darkOutside ? dark : light);
    const TColor inner = ColorToRGB(darkOutside ? light : dark);
    canvas.PenColor = outer;
    if (r.Height() > 2) {
        canvas.MoveTo(r.Left, r.Top);
        canvas.LineTo(r.Left, r.Bottom);
    }
    canvas.MoveTo(r.Left, r.Top);
    canvas.LineTo(r.Right, r.Top);
    canvas.MoveTo(r.Right - 2, r.Top);
    canvas.LineTo(r.Right - 2, r.Bottom - 2);
    canvas.LineTo(r.Left, r.Bottom - 2);
    canvas.PenColor = inner;
    canvas.MoveTo(r.Left + 1, r.Bottom - 1);
    canvas.LineTo(r.Right - 1, r.Bottom - 1);
    canvas.MoveTo(r.Right - 1, r.Bottom - 1);
    canvas.LineTo(r.Right - 1, r.Top - 1);
    canvas.MoveTo(r.Left + 1, r.Bottom - 1);
    canvas.LineTo(r.Left + 1, r.Top + 1);
    canvas.LineTo(r.Right - 2, r.Top + 1);
}

ARGB ToGdipColor(TColor color) {
    const TColor c = ColorToRGB(color);
    return 0xFF000000u | (ARGB(GetRValue(c)) << 16) | (ARGB(GetGValue(c)) << 8) | ARGB(GetBValue(c));
}

std::unique_ptr<TGPGraphicsPath> CreatePointerPath(const TRect& r, QPoint tip1, QPoint tip2, TTickMark ticks,
                                                   bool vertical) {
    auto path = std::make_unique<TGPGraphicsPath>();
    const bool near = ticks == tmTopLeft || ticks == tmBoth;  // top, or left
    const bool far = ticks == tmBottomRight || ticks == tmBoth; // bottom, or right
    std::vector<QPoint> pts;
    if (!vertical) {
        const int k = r.Width() / 2;
        const int top = near ? r.Top + k : r.Top, bottom = far ? r.Bottom - k : r.Bottom;
        pts.push_back({r.Left, top});
        if (near) pts.push_back(tip1);
        pts.push_back({r.Right, top});
        pts.push_back({r.Right, bottom});
        if (far) pts.push_back(tip2);
        pts.push_back({r.Left, bottom});
    } else {
        const int k = r.Height() / 2;
        const int left = near ? r.Left + k : r.Left, right = far ? r.Right - k : r.Right;
        pts.push_back({left, r.Top});
        pts.push_back({right, r.Top});
        if (far) pts.push_back(tip2);
        pts.push_back({right, r.Bottom});
        pts.push_back({left, r.Bottom});
        if (near) pts.push_back(tip1);
    }
    for (size_t i = 0; i < pts.size(); ++i) {
        const QPoint a = pts[i], b = pts[(i + 1) % pts.size()];
        path->AddLine(float(a.x()), float(a.y()), float(b.x()), float(b.y()));
    }
    path->CloseFigure();
    return path;
}

std::unique_ptr<TGPGraphicsPath> CreateRoundRectPath(int x, int y, int width, int height, int radius) {
    auto path = std::make_unique<TGPGraphicsPath>();
    if (radius <= 0) {
        // Arcs of no size are refused by the path; a square corner is a corner.
        path->AddLine(float(x), float(y), float(x + width), float(y));
        path->AddLine(float(x + width), float(y), float(x + width), float(y + height));
        path->AddLine(float(x + width), float(y + height), float(x), float(y + height));
        path->CloseFigure();
        return path;
    }
    const float d = float(2 * radius);
    const float l = float(x), t = float(y), r = float(x + width), b = float(y + height);
    path->AddArc(l, t, d, d, 180, 90);
    path->AddArc(r - d, t, d, d, 270, 90);
    path->AddArc(r - d, b - d, d, d, 0, 90);
    path->AddArc(l, b - d, d, d, 90, 90);
    path->CloseFigure();
    return path;
}


void DrawRoundRect(TGPGraphics& graphics, int x, int y, int width, int height, int radius, TColor color) {
    const std::unique_ptr<TGPGraphicsPath> path = CreateRoundRectPath(x, y, width, height, radius);
    const std::unique_ptr<TGPPen> pen(new TGPPen(ToGdipColor(color), 1));
    graphics.DrawPath(pen.get(), path.get());
}

void FillHalf(TGPGraphics& graphics, const TGPRectF& r, TColor color1, TColor color2, TGpGradient gradient,
              bool upper) {
    if (gradient != ggRadial) {
        const LinearGradientMode mode = gradient == ggVertical           ? LinearGradientModeVertical
                                        : gradient == ggDiagonalForward ? LinearGradientModeForwardDiagonal
                                                                        : LinearGradientModeBackwardDiagonal;
        const std::unique_ptr<TGPLinearGradientBrush> brush(
            new TGPLinearGradientBrush(r, ToGdipColor(color1), ToGdipColor(color2), mode));
        graphics.FillRectangle(brush.get(), r);
        return;
    }
    {
        const std::unique_ptr<TGPSolidBrush> solid(new TGPSolidBrush(ToGdipColor(upper ? color1 : color2)));
        graphics.FillRectangle(solid.get(), r);
    }
    const std::unique_ptr<TGPGraphicsPath> ellipse(new TGPGraphicsPath());
    const float top = upper ? r.Y - r.Height / 2 + 2 : r.Y;
    ellipse->AddEllipse(r.X, top, r.Width, r.Height);
    const std::unique_ptr<TGPPathGradientBrush> brush(new TGPPathGradientBrush(ellipse.get()));
    brush->SetCenterPoint({static_cast<int>(r.X + r.Width / 2), static_cast<int>(upper ? r.Y : r.Y + r.Height)});
    brush->SetCenterColor(ToGdipColor(upper ? color2 : color1));
    const ARGB surround = ToGdipColor(upper ? color1 : color2);
    int count = 1;
    brush->SetSurroundColors(&surround, count);
    graphics.FillRectangle(brush.get(), r);
}

void DrawShapeBorder(TGPGraphics& graphics, const TRect& r, TTrackButtonShape shape, bool vertical, TColor border,
                     TColor light) {
    const int w = r.Width(), h = r.Height();
    if (light != clNone) {
        if (shape == bsRound) {
            if (!vertical) DrawRoundRect(graphics, r.Left, r.Top + (h - w) / 2, w, w, w / 2, light);
            else DrawRoundRect(graphics, r.Left + (w - h) / 2, r.Top, h, h, h / 2, light);
        } else {
            DrawRoundRect(graphics, r.Left, r.Top, w, h, 0, light);
        }
    }
    if (border != clNone) {
        if (shape == bsRound) {
            // One pixel inside the light outline: (w - 2) x (h - 2).
            if (!vertical)
                DrawRoundRect(graphics, r.Left + 1, r.Top + (h - w) / 2 + 1, w - 2, w - 2, (w - 2) / 2, border);
            else
                DrawRoundRect(graphics, r.Left + (w - h) / 2 + 1, r.Top + 1, h - 2, h - 2, (h - 2) / 2, border);
        } else {
            DrawRoundRect(graphics, r.Left, r.Top, w, h, 0, border);
        }
    }
}

void DrawMirrorFill(TGPGraphics* graphics, TCanvas& canvas, const TRect& r, bool vertical,
                    TGpGradient gradientMirror, TGpGradient gradient, TColor mirrorTo, TColor mirror,
                    TColor colorTo, TColor color, TColor border, TColor light, TTrackButtonShape shape) {
    std::unique_ptr<TGPGraphics> own;
    if (!graphics) {
        own.reset(new TGPGraphics(&canvas.Painter()));
        graphics = own.get();
    }
    graphics->SetSmoothingMode(SmoothingModeAntiAlias);
    if (mirrorTo != clNone && mirror != clNone && colorTo != clNone && color != clNone) {
        const int h = r.Height();
        const TGPRectF lower{float(r.Left), float(r.Top + h / 2 - 1), float(r.Width()),
                             float(r.Bottom - (r.Top + h / 2 - 1))};
        FillHalf(*graphics, lower, mirrorTo, mirror, gradientMirror, false);
        const TGPRectF upper{float(r.Left), float(r.Top), float(r.Width()), float(r.Bottom - h / 2 + 1 - r.Top)};
        FillHalf(*graphics, upper, color, colorTo, gradient, true);
    }
    DrawShapeBorder(*graphics, r, shape, vertical, border, light);
}

void DrawFocusFrame(TCanvas& canvas, const TRect& r, TColor color) {
    const TPenStyle old = canvas.PenStyle;
    canvas.PenStyle = TPenStyle::psDot;
    canvas.PenColor = ColorToRGB(color);
    canvas.MoveTo(r.Left, r.Top);
    canvas.LineTo(r.Right, r.Top);
    canvas.LineTo(r.Right, r.Bottom);
    canvas.LineTo(r.Left, r.Bottom);
    canvas.LineTo(r.Left, r.Top);
    canvas.PenStyle = old;
}

void DrawTriangleThumb(TCanvas& canvas, const TRect& r, int kind, TGradientDirection direction, int steps,
                       const TThumbColors& colors) {
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    const int hw = (R - L) / 2, hh = (B - T) / 2;
    QPolygon poly;
    switch (kind) {
    case 0: poly << QPoint(L, B) << QPoint(L, T) << QPoint(R, T + hh); break;
    case 1: poly << QPoint(L, T + hh) << QPoint(R, T) << QPoint(R, B); break;
    case 2: poly << QPoint(L, B) << QPoint(L + hw, T) << QPoint(R, B); break;
    case 3: poly << QPoint(L, T) << QPoint(R, T) << QPoint(L + hw, B); break;
    default: poly << QPoint(L, T + hh) << QPoint(L + hw, T) << QPoint(R, T + hh) << QPoint(L + hw, B); break;
    }
    FillPolygonThumb(canvas, r, poly, direction, steps, colors);
}

void DrawPointerThumbRightUp(TCanvas& canvas, const TRect& r, bool rightUp, bool vertical,
                             TGradientDirection direction, int steps, const TThumbColors& colors) {
    const int L = r.Left, T = r.Top, R = r.Right, B = r.Bottom;
    QPolygon poly;
    if (!vertical) {
        // A body with its point at the right (or left) end, across the middle.
        const int k = (B - T) / 2, my = T + k;
        if (rightUp) poly << QPoint(L, T) << QPoint(R - k, T) << QPoint(R, my) << QPoint(R - k, B) << QPoint(L, B);
        else poly << QPoint(R, T) << QPoint(L + k, T) << QPoint(L, my) << QPoint(L + k, B) << QPoint(R, B);
    } else {
        const int k = (R - L) / 2, mx = L + k;
        if (rightUp) poly << QPoint(L, B) << QPoint(L, T + k) << QPoint(mx, T) << QPoint(R, T + k) << QPoint(R, B);
        else poly << QPoint(L, T) << QPoint(L, B - k) << QPoint(mx, B) << QPoint(R, B - k) << QPoint(R, T);
    }
    FillPolygonThumb(canvas, r, poly, direction, steps, colors);
}

void DrawPointerThumbLeftUp(TCanvas& canvas, const TRect& r, bool vertical, TGradientDirection direction,
                            int steps, const TThumbColors& colors) {
    DrawPointerThumbRightUp(canvas, r, false, vertical, direction, steps, colors);
}

} // namespace orvane::controls
