#pragma once
// A canvas over an image that keeps the Windows pixel rules: rectangles and
// lines leave out their right and bottom edge, a pen outlines inside the
// rectangle, and text is placed by its top-left corner. Its primitives are
// the plot canvas's; the helpers above them are the controls' own.
#include "Gdi.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include <memory>

namespace orvane {

class PainterCanvas;

struct TRect {
    int Left = 0, Top = 0, Right = 0, Bottom = 0;
    int Width() const { return Right - Left; }
    int Height() const { return Bottom - Top; }
    bool IsEmpty() const { return Right <= Left || Bottom <= Top; }
    void Inflate(int dx, int dy) { Left -= dx; Top -= dy; Right += dx; Bottom += dy; }
    void Offset(int dx, int dy) { Left += dx; Top += dy; Right += dx; Bottom += dy; }
    bool operator==(const TRect&) const = default;
};

enum class TPenStyle { psSolid, psDot, psClear };
enum class TBrushStyle { bsSolid, bsClear };

// Text placement flags, as the system's rectangle text call takes them.
enum : unsigned {
    DT_LEFT = 0x0, DT_CENTER = 0x1, DT_RIGHT = 0x2, DT_VCENTER = 0x4, DT_BOTTOM = 0x8,
    DT_SINGLELINE = 0x20, DT_CALCRECT = 0x400, DT_NOPREFIX = 0x800,
};

class TCanvas {
public:
    // The image must outlive the canvas; it is painted while the canvas lives.
    explicit TCanvas(QImage& image);
    ~TCanvas();
    TCanvas(const TCanvas&) = delete;
    TCanvas& operator=(const TCanvas&) = delete;

    TColor PenColor = clBlack;
    TPenStyle PenStyle = TPenStyle::psSolid;
    TColor BrushColor = clWhite;
    TBrushStyle BrushStyle = TBrushStyle::bsSolid;
    QFont Font;
    TColor FontColor = clBlack;

    int Width() const { return image_.width(); }
    int Height() const { return image_.height(); }

    void FillRect(const TRect& r);
    void FillRect(const TRect& r, TColor color);
    // Outline in the pen (unless cleared), inside in the brush (unless cleared).
    void Rectangle(const TRect& r);
    // Inside in the brush (unless cleared) and never an outline, as the
    // gradient shading wants it.
    void Ellipse(const TRect& r);
    void MoveTo(int x, int y);
    // Draws up to, not including, (x, y).
    void LineTo(int x, int y);
    void SetPixel(int x, int y, TColor color);
    // Width nested one-pixel frames from the outside in, top and left in
    // top, bottom and right in bottom; r ends inside them.
    void Frame3D(TRect& r, TColor top, TColor bottom, int width);
    // The raised two-pixel button edge; r ends inside it.
    void DrawEdgeRaised(TRect& r);
    // Every other pixel of the outline inverted; drawing it twice removes it.
    void DrawFocusRect(const TRect& r);

    // Text at its top-left corner; a solid brush fills its cell first.
    void TextOut(int x, int y, const QString& text);
    int TextWidth(const QString& text) const;
    int TextHeight(const QString& text) const;
    // Text in r by the DT_ flags; "&" marks an accelerator unless
    // DT_NOPREFIX. With DT_CALCRECT r only takes the text's size. Returns
    // the text's height.
    int DrawText(const QString& text, TRect& r, unsigned flags);

    void Draw(int x, int y, const QImage& image);
    void StretchDraw(const TRect& r, const QImage& image);

    QPainter& Painter() { return painter_; }

private:
    // The primitives' canvas with this canvas's pen, brush and text colour.
    PainterCanvas& Primitives();

    QImage& image_;
    QPainter painter_;
    std::unique_ptr<PainterCanvas> canvas_;
};

} // namespace orvane
