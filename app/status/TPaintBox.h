#pragma once
// A paint box: a plain widget whose owner paints it in its OnPaint handler,
// with the paint event's painter at hand.
#include <QWidget>

#include <functional>

class QPainter;

namespace orvane {

class TPaintBox : public QWidget {
    Q_OBJECT
public:
    using QWidget::QWidget;
    std::function<void()> OnPaint;
    // The painter of the paint event running now, else nullptr.
    QPainter* Painter() const { return painter_; }

protected:
    void paintEvent(QPaintEvent* e) override;

private:
    QPainter* painter_ = nullptr;
};

} // namespace orvane
