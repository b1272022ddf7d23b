#pragma once
// The canvas on a QPainter: widgets in their paint event, QImage for saved
// pictures and tests.
#include "ICanvas.h"

#include <QFont>

class QPainter;
class QImage;

namespace orvane {

class PainterCanvas final : public ICanvas {
public:
    // `image`, when given, is the painter's device; pixels are read from it.
    explicit PainterCanvas(QPainter& painter, QImage* image = nullptr);

    void Rectangle(int left, int top, int right, int bottom) override;
    void Ellipse(int left, int top, int right, int bottom) override;
    void Polygon(const std::vector<CanvasPoint>& points) override;
    void SetPixel(int x, int y, TColor colour) override;
    TColor GetPixel(int x, int y) const override;
    void TextOut(int x, int y, const std::string& text) override;
    CanvasSize TextExtent(const std::string& text) override;

    static QFont ToQFont(const CanvasFont& font);

protected:
    void DrawLine(CanvasPoint from, CanvasPoint to) override;

private:
    void ApplyPen();
    void ApplyBrush();
    void ApplyMix();
    const QFont& CurrentFont();

    QPainter& painter_;
    QImage* image_;
    CanvasFont cachedFont_;
    QFont qfont_;
    bool fontValid_ = false;
};

} // namespace orvane
