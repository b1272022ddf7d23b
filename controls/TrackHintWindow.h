#pragma once
// The borderless hint the track bar shows beside the mouse while the thumb
// is dragged. It is a tool-tip window: shown without activation, it never
// takes the focus from the track bar.
#include <QRect>
#include <QString>
#include <QWidget>

namespace orvane::controls {

class TTrackHintWindow : public QWidget {
    Q_OBJECT
public:
    explicit TTrackHintWindow(QWidget* owner = nullptr);

    // The hint's screen rectangle for text of w x h pixels asked at `at`'s
    // top-left: text + 16 wide, text + 4 high, kept 2 pixels inside the
    // monitor's right and bottom edges.
    static QRect Place(const QRect& at, int w, int h, const QRect& monitor);

    void ActivateHint(const QRect& rect, const QString& text);
    // The current text's size in the window's font; the limit is not used.
    QRect CalcHintRect(int maxWidth, const QString& hint) const;
    const QString& Text() const { return text_; }
    int TextWidth() const { return textWidth_; }
    int TextHeight() const { return textHeight_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QString text_;
    int textWidth_ = 0, textHeight_ = 0;
};

} // namespace orvane::controls
