#include "Canvas.h"

#include <QFontMetrics>

#include <algorithm>
#include <cstdlib>

namespace orvane {

namespace {

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

int TextFlags(unsigned flags) {
    int f = Qt::TextSingleLine;
    f |= (flags & DT_CENTER) ? Qt::AlignHCenter : (flags & DT_RIGHT) ? Qt::AlignRight : Qt::AlignLeft;
    f |= (flags & DT_VCENTER) ? Qt::AlignVCenter : (flags & DT_BOTTOM) ? Qt::AlignBottom : Qt::AlignTop;
    if (!(flags & DT_NOPREFIX)) f |= Qt::TextShowMnemonic;
    return f;
}

} // namespace

TCanvas::TCanvas(QImage& image) : image_(image), painter_(&image) {
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

TCanvas::~TCanvas() { painter_.end(); }

void TCanvas::FillRect(const TRect& r) { FillRect(r, BrushColor); }

void TCanvas::FillRect(const TRect& r, TColor color) {
    if (r.IsEmpty()) return;
    painter_.fillRect(ToQRect(r), ToQColor(color));
}

void TCanvas::Rectangle(const TRect& r) {
    if (r.IsEmpty()) return;
    if (BrushStyle == TBrushStyle::bsSolid) FillRect(r, BrushColor);
    if (PenStyle == TPenStyle::psClear) return;
    MoveTo(r.Left, r.Top);
    LineTo(r.Right - 1, r.Top);
    LineTo(r.Right - 1, r.Bottom - 1);
    LineTo(r.Left, r.Bottom - 1);
    LineTo(r.Left, r.Top);
}

void TCanvas::Ellipse(const TRect& r) {
    if (r.IsEmpty()) return;
    painter_.save();
    painter_.setPen(Qt::NoPen);
    if (BrushStyle == TBrushStyle::bsSolid) painter_.setBrush(ToQColor(BrushColor));
    else painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(QRectF(r.Left, r.Top, r.Width(), r.Height()));
    painter_.restore();
}

void TCanvas::SetPixel(int x, int y, TColor color) { painter_.fillRect(QRect(x, y, 1, 1), ToQColor(color)); }

void TCanvas::LineTo(int x, int y) {
    if (PenStyle != TPenStyle::psClear) {
        // Bresenham from the pen position, leaving out the end point.
        int x0 = penX_, y0 = penY_;
        const int dx = std::abs(x - x0), sx = x0 < x ? 1 : -1;
        const int dy = -std::abs(y - y0), sy = y0 < y ? 1 : -1;
        int err = dx + dy, n = 0;
        while (x0 != x || y0 != y) {
            if (PenStyle == TPenStyle::psSolid || n % 2 == 0) SetPixel(x0, y0, PenColor);
            ++n;
            const int e2 = 2 * err;
            if (e2 >= dy) { err += dy; x0 += sx; }
            if (e2 <= dx) { err += dx; y0 += sy; }
        }
    }
    penX_ = x;
    penY_ = y;
}

void TCanvas::Frame3D(TRect& r, TColor top, TColor bottom, int width) {
    for (int i = 0; i < width; ++i) {
        if (r.IsEmpty()) break;
        const int right = r.Right - 1, low = r.Bottom - 1;
        // Top-left edges first; the bottom-right pass covers the two corners
        // where they meet.
        FillRect({r.Left, r.Top, r.Left + 1, r.Bottom}, top);
        FillRect({r.Left, r.Top, r.Right, r.Top + 1}, top);
        FillRect({right, r.Top, r.Right, r.Bottom}, bottom);
        FillRect({r.Left, low, r.Right, r.Bottom}, bottom);
        r.Inflate(-1, -1);
    }
}

void TCanvas::DrawEdgeRaised(TRect& r) {
    Frame3D(r, ColorToRGB(cl3DLight), ColorToRGB(cl3DDkShadow), 1);
    Frame3D(r, ColorToRGB(clBtnHighlight), ColorToRGB(clBtnShadow), 1);
}

void TCanvas::DrawFocusRect(const TRect& r) {
    if (r.IsEmpty()) return;
    painter_.save();
    painter_.setCompositionMode(QPainter::RasterOp_SourceXorDestination);
    const QColor white(255, 255, 255);
    auto dot = [&](int x, int y) { painter_.fillRect(QRect(x, y, 1, 1), white); };
    for (int x = r.Left; x < r.Right; x += 2) {
        dot(x, r.Top);
        if (r.Bottom - 1 > r.Top) dot(x, r.Bottom - 1);
    }
    for (int y = r.Top + 2; y < r.Bottom - 1; y += 2) {
        dot(r.Left, y);
        if (r.Right - 1 > r.Left) dot(r.Right - 1, y);
    }
    painter_.restore();
}

void TCanvas::TextOut(int x, int y, const QString& text) {
    const QFontMetrics fm(Font);
    const QRect cell(x, y, fm.horizontalAdvance(text), fm.height());
    if (BrushStyle == TBrushStyle::bsSolid) painter_.fillRect(cell, ToQColor(BrushColor));
    painter_.setFont(Font);
    painter_.setPen(ToQColor(FontColor));
    painter_.drawText(cell, Qt::AlignLeft | Qt::AlignTop | Qt::TextSingleLine, text);
}

int TCanvas::TextWidth(const QString& text) const { return QFontMetrics(Font).horizontalAdvance(text); }

int TCanvas::TextHeight(const QString&) const { return QFontMetrics(Font).height(); }

int TCanvas::DrawText(const QString& text, TRect& r, unsigned flags) {
    const QFontMetrics fm(Font);
    const int qtFlags = TextFlags(flags);
    if (flags & DT_CALCRECT) {
        const QRect b = fm.boundingRect(QRect(r.Left, r.Top, 0xFFFF, 0xFFFF), qtFlags & ~int(Qt::AlignHorizontal_Mask | Qt::AlignVertical_Mask), text);
        r.Right = r.Left + (text.isEmpty() ? 0 : b.width());
        r.Bottom = r.Top + fm.height();
        return fm.height();
    }
    if (BrushStyle == TBrushStyle::bsSolid) FillRect(r, BrushColor);
    painter_.setFont(Font);
    painter_.setPen(ToQColor(FontColor));
    painter_.drawText(ToQRect(r), qtFlags, text);
    return fm.height();
}

void TCanvas::Draw(int x, int y, const QImage& image) { painter_.drawImage(x, y, image); }

void TCanvas::StretchDraw(const TRect& r, const QImage& image) { painter_.drawImage(ToQRect(r), image); }

} // namespace orvane
