#include "TrackHintWindow.h"

#include "Canvas.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>

namespace orvane::controls {

TTrackHintWindow::TTrackHintWindow(QWidget* owner)
    : QWidget(owner, Qt::ToolTip | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint |
                         Qt::WindowDoesNotAcceptFocus) {
    setAttribute(Qt::WA_ShowWithoutActivating);
    setFocusPolicy(Qt::NoFocus);
    QPalette p = palette();
    p.setColor(QPalette::Window, ToQColor(ColorToRGB(kSystemColor | 24))); // clInfoBk
    setPalette(p);
}

QRect TTrackHintWindow::Place(const QRect& at, int w, int h, const QRect& monitor) {
    int left = at.left(), top = at.top();
    int right = left + w + 16, bottom = top + h + 4;
    const int monRight = monitor.left() + monitor.width();
    const int monBottom = monitor.top() + monitor.height();
    if (right - monitor.left() > monitor.width()) {
        left = monRight - (right - left) - 2;
        right = left + w + 16;
    }
    if (bottom - monitor.top() > monitor.height()) {
        bottom = monBottom - 2;
        top = bottom - h - 4;
    }
    return QRect(left, top, right - left, bottom - top);
}

void TTrackHintWindow::ActivateHint(const QRect& rect, const QString& text) {
    text_ = text;
    const QFontMetrics fm(font());
    textWidth_ = fm.horizontalAdvance(text);
    textHeight_ = fm.height();
    QScreen* screen = QGuiApplication::screenAt(rect.topLeft());
    if (!screen) screen = QGuiApplication::primaryScreen();
    const QRect monitor = screen ? screen->geometry() : QRect(0, 0, 1 << 16, 1 << 16);
    setGeometry(Place(rect, textWidth_, textHeight_, monitor));
    show();
    raise();
    update();
}

QRect TTrackHintWindow::CalcHintRect(int, const QString&) const {
    const QFontMetrics fm(font());
    return QRect(0, 0, fm.horizontalAdvance(text_), fm.height());
}

void TTrackHintWindow::paintEvent(QPaintEvent*) {
    QImage image(size(), QImage::Format_ARGB32_Premultiplied);
    {
        TCanvas c(image);
        const TRect r{0, 0, width(), height()};
        c.FillRect(r, FromQColor(palette().color(QPalette::Window)));
        c.PenColor = ColorToRGB(cl3DLight);
        c.MoveTo(r.Left, r.Bottom - 2);
        c.LineTo(r.Left, r.Top);
        c.LineTo(r.Right - 1, r.Top);
        c.PenColor = ColorToRGB(cl3DDkShadow);
        c.MoveTo(r.Left, r.Bottom - 1);
        c.LineTo(r.Right - 1, r.Bottom - 1);
        c.LineTo(r.Right - 1, r.Top - 1);
        c.Font = font();
        c.FontColor = FromQColor(palette().color(QPalette::WindowText));
        c.BrushStyle = TBrushStyle::bsClear;
        TRect t = r;
        c.DrawText(text_, t, DT_CENTER | DT_VCENTER | DT_SINGLELINE | DT_NOPREFIX);
    }
    QPainter(this).drawImage(0, 0, image);
}

} // namespace orvane::controls
