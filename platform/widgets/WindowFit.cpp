#include "WindowFit.h"

#include <QComboBox>
#include <QScreen>
#include <QTabBar>
#include <QTabWidget>
#include <QWidget>

#include <algorithm>

namespace orvane {

void FitTabs(QTabWidget* tabs) {
    tabs->setUsesScrollButtons(false);
    tabs->setElideMode(Qt::ElideNone);
}

void LimitDropDown(QComboBox* combo, int rows) {
    combo->setStyleSheet("QComboBox { combobox-popup: 0; }");
    combo->setMaxVisibleItems(rows);
}

void KeepOnScreen(QWidget* window) {
    const QScreen* screen = window->screen();
    if (!screen) return;
    const QRect area = screen->availableGeometry();
    const QRect frame = window->frameGeometry();
    if (area.contains(frame)) return;
    // The left and top edges win over the right and bottom ones: the caption
    // and the window's menu stay reachable.
    const int left = std::max(area.left(), std::min(frame.left(), area.right() + 1 - frame.width()));
    const int top = std::max(area.top(), std::min(frame.top(), area.bottom() + 1 - frame.height()));
    window->move(left, top);
}

} // namespace orvane
