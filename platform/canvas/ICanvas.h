#pragma once
// A device context with the Windows pixel rules: lines leave out their last
// pixel, rectangles and ellipses leave out their right and bottom edges, a
// width-1 pen is one pixel wide. The pen, brush and font are the canvas's
// own state, changed by assignment and used by the next primitive.
#include "Gdi.h"

#include <string>
#include <vector>

namespace orvane {

struct CanvasPoint {
    int x = 0, y = 0;
    bool operator==(const CanvasPoint&) const = default;
};

struct CanvasSize {
    int cx = 0, cy = 0;
};

enum class PenStyle : int { Solid = 0, Dash = 1, Dot = 2, DashDot = 3, DashDotDot = 4, Clear = 5 };
enum class BrushStyle : int { Solid = 0, Clear = 1, Horizontal = 2, Vertical = 3, FDiagonal = 4,
                              BDiagonal = 5, Cross = 6, DiagCross = 7 };

// Raster operations of the mix mode.
constexpr int R2_MASKPEN = 9;
constexpr int R2_COPYPEN = 13;

// Text alignment flags.
constexpr int TA_LEFT = 0, TA_RIGHT = 2, TA_CENTER = 6, TA_TOP = 0, TA_BOTTOM = 8;

struct CanvasPen {
    TColor color = clBlack;
    int width = 1;
    PenStyle style = PenStyle::Solid;
};

struct CanvasBrush {
    TColor color = clWhite;
    BrushStyle style = BrushStyle::Solid;
};

struct CanvasFont {
    std::string name = "Arial";
    int size = 8; // points
    bool bold = false, italic = false, underline = false, strikeOut = false;
    TColor color = clWindowText;
    int escapement = 0; // tenths of a degree, counter-clockwise
    bool antialias = true;
};

class ICanvas {
public:
    virtual ~ICanvas() = default;

    CanvasPen pen;
    CanvasBrush brush;
    CanvasFont font;
    int textAlign = TA_LEFT | TA_TOP;
    int mixMode = R2_COPYPEN;

    void MoveTo(int x, int y) { pos_ = {x, y}; }
    CanvasPoint PenPos() const { return pos_; }
    // Draws from the pen position to (x, y), which is left out; the pen
    // position becomes (x, y).
    void LineTo(int x, int y) {
        DrawLine(pos_, {x, y});
        pos_ = {x, y};
    }

    virtual void Rectangle(int left, int top, int right, int bottom) = 0;
    virtual void Ellipse(int left, int top, int right, int bottom) = 0;
    virtual void Polygon(const std::vector<CanvasPoint>& points) = 0;
    virtual void SetPixel(int x, int y, TColor colour) = 0;
    virtual TColor GetPixel(int x, int y) const = 0;
    // One line of text at (x, y) by textAlign, rotated by font.escapement
    // about that point; the cell is filled with the brush unless the brush
    // is clear.
    virtual void TextOut(int x, int y, const std::string& text) = 0;
    virtual CanvasSize TextExtent(const std::string& text) = 0;
    int TextWidth(const std::string& text) { return TextExtent(text).cx; }
    int TextHeight(const std::string& text) { return TextExtent(text).cy; }

protected:
    virtual void DrawLine(CanvasPoint from, CanvasPoint to) = 0;

private:
    CanvasPoint pos_;
};

} // namespace orvane
