#pragma once
// A label that opens its Link with the desktop shell when clicked and shows
// FocusFont while the mouse is over it.
#include <QColor>
#include <QFont>
#include <QLabel>
#include <QPalette>

#include <functional>
#include <memory>
#include <string>

namespace orvane {
class IShell;
}

namespace orvane::controls {

class TLinkLabel : public QLabel {
    Q_OBJECT
public:
    using TNotifyEvent = std::function<void(QObject* sender)>;

    // onClick is the click handler present before the label installs its
    // own; it runs after every click, once the link was handed to the shell.
    explicit TLinkLabel(QWidget* parent = nullptr, TNotifyEvent onClick = {});
    ~TLinkLabel() override;

    // The font shown while the mouse is over the label: a new default font
    // until one is set, whatever font the label inherits. Setting it copies
    // the font; later changes to the caller's object do not reach the label.
    const QFont& FocusFont() const { return focusFont_; }
    void SetFocusFont(const QFont& font) { focusFont_ = font; }
    // QFont carries no colour: the focus font's colour is kept beside it. An
    // invalid colour leaves the label's text colour as it is.
    const QColor& FocusColor() const { return focusColor_; }
    void SetFocusColor(const QColor& color) { focusColor_ = color; }

    // The look the program's forms give their links: a pointing hand,
    // underlined text in the given colour (the window-text colour when
    // invalid), white and underlined under the mouse.
    void SetLinkLook(const QColor& color = QColor());

    const std::string& Link() const { return link_; }
    void SetLink(const std::string& link) { link_ = link; }

    TNotifyEvent OnMouseEnter;
    TNotifyEvent OnMouseLeave;
    // Runs on a left click; the label's own handler unless a form replaces it.
    TNotifyEvent OnClick;
    // Runs when the desktop could not open the link, so the form can say
    // what to do instead of the click doing nothing; the desktop may tell
    // only after the click, once its opener has ended.
    TNotifyEvent OnOpenFailed;

    // The opener for links; null restores the desktop's. Not owned.
    void SetShell(IShell* shell);

    // What a click does: open the link, then the remembered handler.
    void Click();

protected:
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void LinkClick(QObject* sender);

    QFont focusFont_;
    QColor focusColor_;
    std::string link_;
    TNotifyEvent oldClick_;

    // What the label showed before the mouse came in; whether font and
    // palette were its own or inherited, so leaving restores exactly that.
    QFont savedFont_;
    bool savedOwnFont_ = false;
    QPalette savedPalette_;
    bool savedOwnPalette_ = false;
    bool inside_ = false;
    bool pressed_ = false;

    std::unique_ptr<IShell> desktop_;
    IShell* shell_ = nullptr;
};

} // namespace orvane::controls
