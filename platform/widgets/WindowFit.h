#pragma once
// Windows sized from the fonts they draw and kept on the screen: the layouts
// were drawn for another system's fonts, so pixel sizes alone cut captions.
class QComboBox;
class QTabWidget;
class QWidget;

namespace orvane {

// Every tab at its whole caption: no scroll arrows, no elided captions; the
// tab widget asks its window for the width of all tabs.
void FitTabs(QTabWidget* tabs);

// The drop-down list shows `rows` items at a time. Qt's menu-like popup
// would ignore the limit and open a long list as tall as the screen.
void LimitDropDown(QComboBox* combo, int rows);

// Moves a top-level window whose frame leaves the available area of its
// screen back inside it, as far as its size allows.
void KeepOnScreen(QWidget* window);

} // namespace orvane
