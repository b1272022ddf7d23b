#include "WindowFit.h"

#include "FitInArea.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QEvent>
#include <QFontMetrics>
#include <QGuiApplication>
#include <QLayout>
#include <QMessageBox>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>
#include <QWindow>

namespace orvane {

void FitTabs(QTabWidget* tabs) {
    tabs->setUsesScrollButtons(false);
    tabs->setElideMode(Qt::ElideNone);
}

void LimitDropDown(QComboBox* combo, int rows) {
    combo->setStyleSheet("QComboBox { combobox-popup: 0; }");
    combo->setMaxVisibleItems(rows);
}

int TitleBarWidth(const QWidget* window) {
    QFont bold = window->font();
    bold.setBold(true);
    const QFontMetrics fm(bold);
    return fm.horizontalAdvance(window->windowTitle()) + 8 * (fm.height() + 4);
}

void CarryTitleBarWidth(QWidget* child) {
    const QWidget* window = child->window();
    const QLayout* layout = window->layout();
    const QMargins m = layout ? layout->contentsMargins() : QMargins();
    child->setMinimumWidth(TitleBarWidth(window) - m.left() - m.right());
}

void SetMessage(QMessageBox& box, const QString& title, const QString& text) {
    QString shown = text;
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    box.setWindowTitle(title);
    box.setText(shown);
    if (auto* buttons = box.findChild<QDialogButtonBox*>()) CarryTitleBarWidth(buttons);
}

QRect AvailableArea(const QWidget* window) {
    const QScreen* s = QGuiApplication::screenAt(window->frameGeometry().center());
    if (!s) s = window->screen();
    if (!s) s = QGuiApplication::primaryScreen();
    return s ? s->availableGeometry() : QRect();
}

namespace {

// Holds a stored position for a window until the window manager has framed
// it and it stays put. Before the frame is known, the frame Qt reports is the
// inside; some window managers put the inside where the frame was asked for,
// at mapping or again when they carry out a resize sent before they framed
// the window, each time a title bar higher than the stored position.
class FramePlacer final : public QObject {
public:
    static constexpr const char* kName = "orvane_frame_placer";
    FramePlacer(QWidget* window, QPoint topLeft) : QObject(window), window_(window), target_(topLeft) {
        setObjectName(kName);
        window->installEventFilter(this);
    }
    QPoint Target() const { return target_; }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched != window_) return false;
        const QEvent::Type t = e->type();
        if (t == QEvent::Hide && placedInFrame_) {
            Finish();
            return false;
        }
        // Not at Show: Qt itself puts a frame it knows already only after that.
        if (t != QEvent::Move && t != QEvent::Resize && t != QEvent::Paint) return false;
        const bool windowManagerMove = t == QEvent::Move && e->spontaneous();
        // A move the program makes itself is where it wants the window now;
        // one while shown but not yet placed in its frame is Qt putting the
        // frame round it.
        if (t == QEvent::Move && !e->spontaneous() && (placedInFrame_ || !window_->isVisible()))
            target_ = window_->pos();
        if (!window_->isVisible()) return false;
        if (!FrameKnown()) {
            // Moved by a window manager that draws no frame: where it is, it is placed.
            if (windowManagerMove) Finish();
        } else if (!placedInFrame_) {
            placedInFrame_ = true;
            PutBack();
        } else if (windowManagerMove && window_->frameGeometry().topLeft() != target_) {
            // The inside where the frame belongs is the window manager's doing;
            // any other move is the user's, and ends the watch.
            if (window_->geometry().topLeft() == target_) PutBack();
            else Finish();
        }
        return false;
    }

private:
    // The window manager has framed the window and Qt knows the frame.
    bool FrameKnown() const {
        const QWindow* w = window_->windowHandle();
        return w && !w->frameMargins().isNull();
    }
    void PutBack() {
        if (window_->frameGeometry().topLeft() != target_) window_->move(target_);
        KeepOnScreen(window_);
    }
    void Finish() {
        window_->removeEventFilter(this);
        setObjectName(QString());
        deleteLater();
    }

    QWidget* window_;
    QPoint target_;
    // The frame was put at the target once it was known.
    bool placedInFrame_ = false;
};

FramePlacer* PendingPlacer(const QWidget* window) {
    return window->findChild<FramePlacer*>(FramePlacer::kName, Qt::FindDirectChildrenOnly);
}

} // namespace

void PlaceFrameAt(QWidget* window, QPoint topLeft) {
    // Only the last placement counts.
    while (FramePlacer* earlier = PendingPlacer(window)) {
        window->removeEventFilter(earlier);
        delete earlier;
    }
    window->move(topLeft);
    KeepOnScreen(window);
    if (!window->isVisible()) new FramePlacer(window, window->pos());
}

QPoint FramePositionToStore(const QWidget* window) {
    const FramePlacer* pending = PendingPlacer(window);
    return pending && window->isVisible() ? pending->Target() : window->pos();
}

void KeepOnScreen(QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QPoint fitted = FitInArea(frame.topLeft(), frame.size(), AvailableArea(window));
    if (fitted != frame.topLeft()) window->move(fitted);
}

QString ElidedWithin(const QString& text, const QString& part, const QFontMetrics& metrics, int width) {
    const qsizetype at = text.indexOf(part);
    if (at < 0 || part.isEmpty() || metrics.horizontalAdvance(text) <= width) return text;
    const QString before = text.left(at), after = text.mid(at + part.size());
    // Kerning across the joins may add a pixel to the parts' sum.
    QString fitted;
    for (int room = width - metrics.horizontalAdvance(before + after); room >= 0; --room) {
        fitted = before + metrics.elidedText(part, Qt::ElideMiddle, room) + after;
        if (metrics.horizontalAdvance(fitted) <= width) break;
    }
    return fitted.isEmpty() ? before + QChar(0x2026) + after : fitted;
}

} // namespace orvane
