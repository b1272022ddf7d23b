#pragma once
// The canvas on a QPainter: widgets in their paint event, QImage for saved
// pictures and tests. Its primitives are the one place the Windows pixel
// rules are drawn; the controls' canvas builds on them too.
#include "ICanvas.h"

#include <QFont>
#include <QString>

class QPainter;
class QImage;
class QRect;

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

    // The brush alone over right and bottom left out, whatever the pen and
    // mix mode; nothing with a clear brush.
    void FillRect(int left, int top, int right, int bottom);
    // The text primitives in a Qt font of the caller's (a widget's own
    // font), with the canvas's text colour, alignment, escapement and brush.
    void TextOut(int x, int y, const QString& text, const QFont& qfont);
    CanvasSize TextExtent(const QString& text, const QFont& qfont) const;

    static QFont ToQFont(const CanvasFont& font);

protected:
    void DrawLine(CanvasPoint from, CanvasPoint to) override;

private:
    void ApplyPen();
    void ApplyBrush();
    void ApplyMix();
    void FillBrush(const QRect& r);
    const QFont& CurrentFont();

    QPainter& painter_;
    QImage* image_;
    CanvasFont cachedFont_;
    QFont qfont_;
    bool fontValid_ = false;
};

} // namespace orvane
