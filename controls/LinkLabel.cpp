#include "LinkLabel.h"

#include "Shell.h"

#include <QMouseEvent>
#include <QPointer>

namespace orvane::controls {

TLinkLabel::TLinkLabel(QWidget* parent, TNotifyEvent onClick)
    : QLabel(parent), focusFont_(QFont()), oldClick_(std::move(onClick)), savedFont_(font()),
      desktop_(std::make_unique<DesktopShell>()), shell_(desktop_.get()) {
    OnClick = [this](QObject* sender) { LinkClick(sender); };
}

TLinkLabel::~TLinkLabel() = default;

void TLinkLabel::SetLinkLook(const QColor& color) {
    setCursor(Qt::PointingHandCursor);
    QFont f = font();
    f.setUnderline(true);
    setFont(f);
    if (color.isValid()) {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, color);
        setPalette(p);
    }
    SetFocusFont(f);
    SetFocusColor(Qt::white);
}

void TLinkLabel::SetShell(IShell* shell) { shell_ = shell ? shell : desktop_.get(); }

void TLinkLabel::enterEvent(QEnterEvent* event) {
    QLabel::enterEvent(event);
    if (!inside_) {
        savedFont_ = font();
        savedOwnFont_ = testAttribute(Qt::WA_SetFont);
        savedPalette_ = palette();
        savedOwnPalette_ = testAttribute(Qt::WA_SetPalette);
        inside_ = true;
    }
    setFont(focusFont_);
    if (focusColor_.isValid()) {
        QPalette p = palette();
        p.setColor(QPalette::WindowText, focusColor_);
        setPalette(p);
    }
    if (OnMouseEnter) OnMouseEnter(this);
}

void TLinkLabel::leaveEvent(QEvent* event) {
    QLabel::leaveEvent(event);
    // A leave without an enter must not bring back a stale font.
    if (inside_) {
        inside_ = false;
        // A default-constructed font or palette resolves nothing, so the
        // label inherits from its parent again as it did before.
        setFont(savedOwnFont_ ? savedFont_ : QFont());
        setPalette(savedOwnPalette_ ? savedPalette_ : QPalette());
    }
    if (OnMouseLeave) OnMouseLeave(this);
}

void TLinkLabel::mousePressEvent(QMouseEvent* event) {
    // Accepted, so the release comes back to the label.
    pressed_ = event->button() == Qt::LeftButton;
    event->accept();
}

void TLinkLabel::mouseReleaseEvent(QMouseEvent* event) {
    const bool click = pressed_ && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint());
    pressed_ = false;
    QLabel::mouseReleaseEvent(event);
    if (click) Click();
}

void TLinkLabel::Click() {
    if (OnClick) OnClick(this);
}

void TLinkLabel::LinkClick(QObject* sender) {
    if (!link_.empty()) {
        const QPointer<QObject> from(sender);
        const auto failed = [this, from] {
            if (OnOpenFailed) OnOpenFailed(from);
        };
        try {
            shell_->Open(link_, std::string(), this, failed);
        } catch (...) {
            failed();
        }
    }
    if (oldClick_) oldClick_(sender);
}

} // namespace orvane::controls
