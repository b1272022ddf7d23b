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

// Waits for the window's first paint after it was placed while hidden.
class FramePlacer final : public QObject {
public:
    static constexpr const char* kName = "orvane_frame_placer";
    FramePlacer(QWidget* window, QPoint topLeft) : QObject(window), window_(window), topLeft_(topLeft) {
        setObjectName(kName);
        window->installEventFilter(this);
    }

protected:
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == window_ && e->type() == QEvent::Paint) {
            window_->removeEventFilter(this);
            deleteLater();
            if (window_->frameGeometry().topLeft() != topLeft_) window_->move(topLeft_);
            KeepOnScreen(window_);
        }
        return false;
    }

private:
    QWidget* window_;
    QPoint topLeft_;
};

} // namespace

void PlaceFrameAt(QWidget* window, QPoint topLeft) {
    // Only the last placement counts.
    for (QObject* earlier : window->findChildren<QObject*>(FramePlacer::kName, Qt::FindDirectChildrenOnly)) {
        window->removeEventFilter(earlier);
        delete earlier;
    }
    window->move(topLeft);
    KeepOnScreen(window);
    if (!window->isVisible()) new FramePlacer(window, window->pos());
}

void KeepOnScreen(QWidget* window) {
    const QRect frame = window->frameGeometry();
    const QPoint fitted = FitInArea(frame.topLeft(), frame.size(), AvailableArea(window));
    if (fitted != frame.topLeft()) window->move(fitted);
}

} // namespace orvane
