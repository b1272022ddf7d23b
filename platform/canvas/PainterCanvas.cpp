#include "PainterCanvas.h"

#include <QFontMetrics>
#include <QImage>
#include <QPainter>
#include <QPolygon>

#include <cstdlib>

namespace orvane {

PainterCanvas::PainterCanvas(QPainter& painter, QImage* image) : painter_(painter), image_(image) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
}

QFont PainterCanvas::ToQFont(const CanvasFont& f) {
    QFont q(QString::fromStdString(f.name));
    q.setPointSize(f.size > 0 ? f.size : 8);
    q.setBold(f.bold);
    q.setItalic(f.italic);
    q.setUnderline(f.underline);
    q.setStrikeOut(f.strikeOut);
    if (!f.antialias) q.setStyleStrategy(QFont::NoAntialias);
    return q;
}

const QFont& PainterCanvas::CurrentFont() {
    if (!fontValid_ || cachedFont_.name != font.name || cachedFont_.size != font.size ||
        cachedFont_.bold != font.bold || cachedFont_.italic != font.italic ||
        cachedFont_.underline != font.underline || cachedFont_.strikeOut != font.strikeOut ||
        cachedFont_.antialias != font.antialias) {
        qfont_ = ToQFont(font);
        cachedFont_ = font;
        fontValid_ = true;
    }
    return qfont_;
}

void PainterCanvas::ApplyMix() {
    painter_.setCompositionMode(mixMode == R2_MASKPEN ? QPainter::RasterOp_SourceAndDestination
                                                      : QPainter::CompositionMode_SourceOver);
}

void PainterCanvas::ApplyPen() {
    if (pen.style == PenStyle::Clear) {
        painter_.setPen(Qt::NoPen);
        return;
    }
    QPen p(ToQColor(pen.color));
    p.setWidth(pen.width > 1 ? pen.width : 0); // 0: cosmetic, one pixel
    switch (pen.style) {
    case PenStyle::Dash: p.setStyle(Qt::DashLine); break;
    case PenStyle::Dot: p.setStyle(Qt::DotLine); break;
    case PenStyle::DashDot: p.setStyle(Qt::DashDotLine); break;
    case PenStyle::DashDotDot: p.setStyle(Qt::DashDotDotLine); break;
    default: p.setStyle(Qt::SolidLine); break;
    }
    p.setCapStyle(pen.width > 1 ? Qt::RoundCap : Qt::SquareCap);
    p.setJoinStyle(Qt::RoundJoin);
    painter_.setPen(p);
}

void PainterCanvas::ApplyBrush() {
    if (brush.style == BrushStyle::Clear) {
        painter_.setBrush(Qt::NoBrush);
        return;
    }
    Qt::BrushStyle s = Qt::SolidPattern;
    switch (brush.style) {
    case BrushStyle::Horizontal: s = Qt::HorPattern; break;
    case BrushStyle::Vertical: s = Qt::VerPattern; break;
    case BrushStyle::FDiagonal: s = Qt::FDiagPattern; break;
    case BrushStyle::BDiagonal: s = Qt::BDiagPattern; break;
    case BrushStyle::Cross: s = Qt::CrossPattern; break;
    case BrushStyle::DiagCross: s = Qt::DiagCrossPattern; break;
    default: break;
    }
    painter_.setBrush(QBrush(ToQColor(brush.color), s));
}

void PainterCanvas::DrawLine(CanvasPoint a, CanvasPoint b) {
    if (pen.style == PenStyle::Clear || a == b) return;
    ApplyMix();
    const bool dotted = pen.style == PenStyle::Dot;
    if (pen.width <= 1 && (pen.style == PenStyle::Solid || dotted)) {
        // Bresenham from a up to, not including, b: the last pixel is left
        // out. A dotted line sets every other pixel, starting with the first.
        const int dx = std::abs(b.x - a.x), dy = -std::abs(b.y - a.y);
        const int sx = a.x < b.x ? 1 : -1, sy = a.y < b.y ? 1 : -1;
        int err = dx + dy, x = a.x, y = a.y, n = 0;
        QPolygon points;
        points.reserve(std::max(dx, -dy));
        while (x != b.x || y != b.y) {
            if (!dotted || n++ % 2 == 0) points.append(QPoint(x, y));
            const int e2 = 2 * err;
            if (e2 >= dy) { err += dy; x += sx; }
            if (e2 <= dx) { err += dx; y += sy; }
        }
        painter_.setPen(QPen(ToQColor(pen.color), 0));
        painter_.drawPoints(points);
        return;
    }
    ApplyPen();
    painter_.drawLine(a.x, a.y, b.x, b.y);
}

void PainterCanvas::FillBrush(const QRect& r) {
    ApplyBrush();
    painter_.fillRect(r, painter_.brush());
}

void PainterCanvas::FillRect(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top || brush.style == BrushStyle::Clear) return;
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    FillBrush(QRect(left, top, right - left, bottom - top));
}

void PainterCanvas::Rectangle(int left, int top, int right, int bottom) {
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    ApplyMix();
    const bool noPen = pen.style == PenStyle::Clear;
    // Without a pen the fill stops one pixel short on the right and bottom.
    if (brush.style != BrushStyle::Clear)
        FillBrush(QRect(left, top, right - left - (noPen ? 1 : 0), bottom - top - (noPen ? 1 : 0)));
    if (noPen) return;
    if (pen.width <= 1 && (pen.style == PenStyle::Solid || pen.style == PenStyle::Dot)) {
        // The outline is the four lines a pen would draw round it.
        const int r = right - 1, b = bottom - 1;
        DrawLine({left, top}, {r, top});
        DrawLine({r, top}, {r, b});
        DrawLine({r, b}, {left, b});
        DrawLine({left, b}, {left, top});
        return;
    }
    ApplyPen();
    painter_.setBrush(Qt::NoBrush);
    painter_.drawRect(QRect(left, top, right - left - 1, bottom - top - 1));
}

void PainterCanvas::Ellipse(int left, int top, int right, int bottom) {
    if (right < left) std::swap(left, right);
    if (bottom < top) std::swap(top, bottom);
    if (right - left < 1 || bottom - top < 1) return;
    ApplyMix();
    ApplyPen();
    ApplyBrush();
    painter_.drawEllipse(QRect(left, top, right - left - 1, bottom - top - 1));
}

void PainterCanvas::Polygon(const std::vector<CanvasPoint>& points) {
    if (points.size() < 2) return;
    QPolygon poly;
    for (const auto& p : points) poly.append(QPoint(p.x, p.y));
    ApplyMix();
    ApplyPen();
    ApplyBrush();
    painter_.drawPolygon(poly, Qt::OddEvenFill);
}

void PainterCanvas::SetPixel(int x, int y, TColor colour) {
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.setPen(QPen(ToQColor(colour), 0));
    painter_.drawPoint(x, y);
}

TColor PainterCanvas::GetPixel(int x, int y) const {
    if (!image_ || !image_->valid(x, y)) return clNone;
    const QRgb c = image_->pixel(x, y);
    return FromQColor(QColor(c));
}

CanvasSize PainterCanvas::TextExtent(const std::string& text) {
    return TextExtent(QString::fromStdString(text), CurrentFont());
}

CanvasSize PainterCanvas::TextExtent(const QString& text, const QFont& qfont) const {
    const QFontMetrics fm(qfont, painter_.device());
    return {fm.horizontalAdvance(text), fm.height()};
}

void PainterCanvas::TextOut(int x, int y, const std::string& text) {
    TextOut(x, y, QString::fromStdString(text), CurrentFont());
}

void PainterCanvas::TextOut(int x, int y, const QString& s, const QFont& f) {
    if (s.isEmpty()) return;
    const QFontMetrics fm(f, painter_.device());
    const int w = fm.horizontalAdvance(s), h = fm.height();
    const int h_align = textAlign & TA_CENTER;
    int dx = 0;
    if (h_align == TA_CENTER) dx = -w / 2;
    else if (h_align == TA_RIGHT) dx = -w;
    const int dy = (textAlign & TA_BOTTOM) ? -h : 0;
    painter_.save();
    painter_.setCompositionMode(QPainter::CompositionMode_SourceOver);
    painter_.translate(x, y);
    if (font.escapement != 0) painter_.rotate(-font.escapement / 10.0);
    if (brush.style != BrushStyle::Clear) painter_.fillRect(QRect(dx, dy, w, h), ToQColor(brush.color));
    painter_.setFont(f);
    painter_.setPen(ToQColor(font.color));
    painter_.drawText(dx, dy + fm.ascent(), s);
    painter_.restore();
}

} // namespace orvane
