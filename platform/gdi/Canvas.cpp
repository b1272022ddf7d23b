#include "Canvas.h"

#include "PainterCanvas.h"

#include <QFontMetrics>

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

TCanvas::TCanvas(QImage& image)
    : image_(image), painter_(&image), canvas_(std::make_unique<PainterCanvas>(painter_, &image)) {
    painter_.setRenderHint(QPainter::TextAntialiasing, true);
}

TCanvas::~TCanvas() { painter_.end(); }

PainterCanvas& TCanvas::Primitives() {
    PainterCanvas& c = *canvas_;
    c.pen.color = PenColor;
    c.pen.width = 1;
    c.pen.style = PenStyle == TPenStyle::psClear ? orvane::PenStyle::Clear
                  : PenStyle == TPenStyle::psDot ? orvane::PenStyle::Dot
                                                 : orvane::PenStyle::Solid;
    c.brush.color = BrushColor;
    c.brush.style = BrushStyle == TBrushStyle::bsClear ? orvane::BrushStyle::Clear : orvane::BrushStyle::Solid;
    c.font.color = FontColor;
    return c;
}

void TCanvas::FillRect(const TRect& r) { FillRect(r, BrushColor); }

void TCanvas::FillRect(const TRect& r, TColor color) {
    PainterCanvas& c = Primitives();
    c.brush = {color, orvane::BrushStyle::Solid};
    c.FillRect(r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::Rectangle(const TRect& r) {
    if (!r.IsEmpty()) Primitives().Rectangle(r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::Ellipse(const TRect& r) {
    if (r.IsEmpty()) return;
    PainterCanvas& c = Primitives();
    c.pen.style = orvane::PenStyle::Clear;
    c.Ellipse(r.Left, r.Top, r.Right, r.Bottom);
}

void TCanvas::SetPixel(int x, int y, TColor color) { canvas_->SetPixel(x, y, color); }

void TCanvas::MoveTo(int x, int y) { canvas_->MoveTo(x, y); }

void TCanvas::LineTo(int x, int y) { Primitives().LineTo(x, y); }

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

void TCanvas::TextOut(int x, int y, const QString& text) { Primitives().TextOut(x, y, text, Font); }

int TCanvas::TextWidth(const QString& text) const { return canvas_->TextExtent(text, Font).cx; }

int TCanvas::TextHeight(const QString& text) const { return canvas_->TextExtent(text, Font).cy; }

int TCanvas::DrawText(const QString& text, TRect& r, unsigned flags) {
    const QFontMetrics fm(Font, &image_);
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
