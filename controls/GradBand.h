#pragma once
// A band of a stepped two-colour gradient with one line of caption on it; the
// main window's display strips.
#include "Gdi.h"

#include <QFont>
#include <QImage>
#include <QString>
#include <QWidget>

namespace orvane::controls {

enum TFillDirection { fdLeftToRight, fdRightToLeft };

class TGradBand : public QWidget {
    Q_OBJECT
public:
    explicit TGradBand(QWidget* parent = nullptr);

    TColor BeginColor() const { return beginColor_; }
    void SetBeginColor(TColor color);
    TColor EndColor() const { return endColor_; }
    void SetEndColor(TColor color);
    TFillDirection FillDirection() const { return fillDirection_; }
    void SetFillDirection(TFillDirection direction);
    // 1..255; other values are brought into that range.
    int NumberOfColors() const { return numberOfColors_; }
    void SetNumberOfColors(int count);
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    const QFont& Font() const { return font_; }
    void SetFont(const QFont& font);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor color);
    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    int TextTop() const { return textTop_; }
    void SetTextTop(int top);
    int TextLeft() const { return textLeft_; }
    void SetTextLeft(int left);

    // The band as it paints: gradient, then the caption with a clear brush.
    QImage Render() const;

signals:
    void OnClick();
    void OnDblClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void PaintNow();

    TColor beginColor_ = 8421504;
    TColor endColor_ = clBtnFace;
    TFillDirection fillDirection_ = fdLeftToRight;
    int numberOfColors_ = 255;
    bool autoSize_ = false;
    QFont font_;
    TColor fontColor_ = clWindowText;
    QString caption_ = QStringLiteral("TGradBand");
    int textTop_ = 5;
    int textLeft_ = 12;
    bool pressed_ = false;
};

} // namespace orvane::controls
