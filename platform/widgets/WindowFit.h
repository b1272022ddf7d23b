#pragma once
// Windows sized from the fonts they draw and kept on the screen: the layouts
// were drawn for another system's fonts, so pixel sizes alone cut captions.
#include <QPoint>
#include <QRect>

class QComboBox;
class QFontMetrics;
class QMessageBox;
class QString;
class QTabWidget;
class QWidget;

namespace orvane {

// Every tab at its whole caption: no scroll arrows, no elided captions; the
// tab widget asks its window for the width of all tabs.
void FitTabs(QTabWidget* tabs);

// The width a title bar needs for the window's whole title: the text in the
// window's font, bold as window managers mostly draw it, beside an icon,
// three buttons and their spacing, about eight lines high in all. A narrow
// dialog's title would otherwise be cut by the window manager.
int TitleBarWidth(const QWidget* window);

// A child that spans its window's layout takes the title bar's width, less
// the layout's margins, as its minimum width: the window's layout then still
// grows to what its contents need. The window has its title by then.
void CarryTitleBarWidth(QWidget* child);

// Gives a message box its title and text. Qt sizes a message box to its text
// alone, so its row of buttons, which spans the box, carries the title bar's
// width. Lines break at CR, CR LF and LF alike, as Windows message boxes do;
// Qt breaks them only at LF.
void SetMessage(QMessageBox& box, const QString& title, const QString& text);

// `text` with `part`, which it holds, shortened in the middle until the whole
// is no wider than `width` in `metrics`; what stands around the part stays
// whole, so a message that names a long path keeps its own words.
QString ElidedWithin(const QString& text, const QString& part, const QFontMetrics& metrics, int width);

// The drop-down list shows `rows` items at a time. Qt's menu-like popup
// would ignore the limit and open a long list as tall as the screen.
void LimitDropDown(QComboBox* combo, int rows);

// The available area of the screen under the window's centre, else of the
// screen it belongs to, else of the primary screen; empty without a screen.
QRect AvailableArea(const QWidget* window);

// Moves a top-level window so that its whole frame, title bar included,
// lies inside AvailableArea (as FitInArea places it).
void KeepOnScreen(QWidget* window);

// Puts a top-level window's frame at `topLeft`, as a stored position means
// it, and keeps it on the screen. Some window managers place the inside of
// a window that was not shown yet there instead, so the frame would land a
// title bar higher and a stored position creep at every start: once the
// window manager has framed the window, its frame is put right.
void PlaceFrameAt(QWidget* window, QPoint topLeft);

// The frame position to store for a window: until the window manager has
// framed a window that PlaceFrameAt placed, the position it was given (the
// frame reported before is the inside's), then where its frame is.
QPoint FramePositionToStore(const QWidget* window);

} // namespace orvane
