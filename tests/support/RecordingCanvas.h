#pragma once
// A canvas that draws nothing and logs every primitive with its coordinates
// and the pen, brush and font it was drawn with. Its text metrics are fixed:
// every character is 6 pixels wide and 13 high, so "0" is 6 x 13.
#include "ICanvas.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace orvane::test {

struct CanvasOp {
    enum Kind { Line, Rect, Ellipse, Polygon, Pixel, Text } kind;
    std::vector<CanvasPoint> points; // line: from, to; rect/ellipse: corners
    CanvasPen pen;
    CanvasBrush brush;
    int mixMode = R2_COPYPEN;
    TColor colour = 0; // pixel colour
    std::string text;
    int textAlign = 0;
    CanvasFont font;
};

class RecordingCanvas final : public ICanvas {
public:
    static constexpr int kCharWidth = 6, kCharHeight = 13;

    std::vector<CanvasOp> ops;
    // Pixels set so far, for GetPixel; unset pixels read as `background`.
    std::map<std::pair<int, int>, TColor> pixels;
    TColor background = clWhite;

    void Rectangle(int l, int t, int r, int b) override;
    void Ellipse(int l, int t, int r, int b) override;
    void Polygon(const std::vector<CanvasPoint>& points) override;
    void SetPixel(int x, int y, TColor colour) override;
    TColor GetPixel(int x, int y) const override;
    void TextOut(int x, int y, const std::string& text) override;
    CanvasSize TextExtent(const std::string& text) override;

    std::vector<CanvasOp> Of(CanvasOp::Kind kind) const;
    // Texts in drawing order.
    std::vector<std::string> Texts() const;
    const CanvasOp* FindText(const std::string& text) const;
    void Clear() { ops.clear(); pixels.clear(); }

protected:
    void DrawLine(CanvasPoint from, CanvasPoint to) override;

private:
    CanvasOp Op(CanvasOp::Kind kind) const;
};

} // namespace orvane::test
