#include "GradButton.h"

#include "Canvas.h"
#include "Change.h"

#include <QApplication>
#include <QEnterEvent>
#include <QFocusEvent>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMouseEvent>
#include <QPainter>
#include <QShortcutEvent>

#include <algorithm>
#include <cstdint>

namespace orvane::controls {

namespace {

// a * b / c with a 64-bit product, cut toward zero.
int T(int a, int b, int c) { return static_cast<int>(static_cast<int64_t>(a) * b / c); }

struct Ramp {
    int r0, g0, b0, dr, dg, db;
    // System colours are taken by their raw bits here, not resolved.
    Ramp(TColor begin, TColor end)
        : r0(GetRValue(begin)), g0(GetGValue(begin)), b0(GetBValue(begin)), dr(GetRValue(end) - r0),
          dg(GetGValue(end) - g0), db(GetBValue(end) - b0) {}
    TColor Step(int i, int n) const { return RGB(r0 + T(i, dr, n), g0 + T(i, dg, n), b0 + T(i, db, n)); }
};

} // namespace

TGradButton::TGradButton(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::TabFocus);
    resize(75, 25);
}

void TGradButton::SetColor(TColor& field, TColor value) {
    if (Change(field, value)) update();
}

void TGradButton::SetBtnFrameSize(int size) {
    if (size > width() / 2 - 5 || size > height() / 2 - 5) return;
    if (Change(btnFrameSize_, size)) update();
}

void TGradButton::Setgradstyle(Tgradstyle style) {
    if (Change(gradstyle_, style)) update();
}

void TGradButton::SetTextStyle(TTextStyle style) {
    if (Change(textStyle_, style)) update();
}

void TGradButton::SetTextShadeType(TShadeType type) {
    if (Change(textShadeType_, type)) update();
}

void TGradButton::SetJustification(TJustification justification) {
    if (Change(justification_, justification)) update();
}

void TGradButton::SetCaption(const QString& caption) {
    if (caption == caption_) return;
    caption_ = caption;
    GrabAccelerator();
    update();
}

void TGradButton::GrabAccelerator() {
    if (accelerator_) releaseShortcut(accelerator_);
    accelerator_ = 0;
    const QKeySequence key = QKeySequence::mnemonic(caption_);
    if (!key.isEmpty()) accelerator_ = grabShortcut(key);
}

void TGradButton::SetPresets(TPreset preset) {
    if (!designing_ || preset < psNone || preset > psBrass) return;
    struct Row {
        TColor disabled, begin, end;
        int size;
        const char* name;
        TColor font;
        bool bold;
        Tgradstyle style;
        TShadeType shade;
        TTextStyle text;
        TColor txtHilite, txtShadow, btnHilite, btnShadow;
    };
    static constexpr Row rows[] = {
        {0x808080, 0x800000, 0xFFFF00, 8, "MS Sans Serif", clBlack, false, gsVertCenter, stLight, tsRaised,
         clBtnHighlight, clBtnShadow, clBtnHighlight, clBtnShadow},
        {0x00BBBB, 0x00FFFF, 0x008080, 10, "Arial", 0x00BBBB, true, gsBVertical, stHeavy, tsRaised, 0xBFFFFF,
         0x007171, 0xB3FFFF, 0x616161},
        {0x008080, 0x000000, 0x00FF00, 8, "Courier", 0x008000, false, gsRectangle, stLight, tsRaised, 0xACFFAC,
         0x004000, clBtnHighlight, clBtnShadow},
        {0x808080, 0xCECECE, 0x5F5F5F, 10, "Times New Roman", clBlack, true, gsBVertical, stHeavy, tsInset,
         clBtnHighlight, clBtnShadow, 0xFFFFFF, 0x000000},
        {0x808080, 0x00FFFF, 0x0000FF, 8, "MS Sans Serif", 0x000040, true, gsBHorizontal, stHeavy, tsRaised,
         0xCFE7E6, 0x0058B0, clBtnHighlight, clBtnShadow},
        {0x008080, 0xCEFFFF, 0x92C2C2, 9, "Verdana", 0x000080, false, gsElliptic, stLight, tsNormal, 0xEFFFFF,
         0x92C2C2, 0xEFFFFF, 0x92C2C2},
    };
    const Row& r = rows[preset];
    disabledColor_ = r.disabled;
    beginColor_ = r.begin;
    endColor_ = r.end;
    QFont f(QString::fromLatin1(r.name), r.size);
    f.setBold(r.bold);
    setFont(f);
    fontColor_ = r.font;
    gradstyle_ = r.style;
    textShadeType_ = r.shade;
    textStyle_ = r.text;
    txtHiliteClr_ = r.txtHilite;
    txtShadowClr_ = r.txtShadow;
    btnHiliteClr_ = r.btnHilite;
    btnShadowClr_ = r.btnShadow;
    if (preset == psBrass) swapColors_ = false;
    presets_ = preset;
    update();
}

QString TGradButton::DisplayText() const {
    QString out;
    const qsizetype n = caption_.size();
    for (qsizetype i = 0; i + 1 < n; ++i)
        if (caption_[i] != u'&' || caption_[i + 1] == u'&') out += caption_[i];
    if (n > 0) out += caption_[n - 1];
    return out;
}

void TGradButton::Exchange() { std::swap(beginColor_, endColor_); }

void TGradButton::PaintGradient(TCanvas& c) const {
    const int w = c.Width(), h = c.Height();
    const Ramp ramp(beginColor_, endColor_);
    switch (gradstyle_) {
    case gsBHorizontal:
        for (int i = 0; i <= 255; ++i) c.FillRect({T(i, w, 256), 0, T(i + 1, w, 256), h}, ramp.Step(i, 255));
        break;
    case gsBVertical:
        for (int i = 0; i <= 255; ++i) c.FillRect({0, T(i, h, 256), w, T(i + 1, h, 256)}, ramp.Step(i, 255));
        break;
    case gsElliptic: {
        const int x0 = -(w / 3), x1 = w + w / 3, y0 = -(h / 3), y1 = h + h / 3;
        const int dx = x1 - x0, dy = y1 - y0;
        for (int i = 0; i <= 50; ++i) {
            c.BrushColor = ramp.Step(i, 50);
            c.Ellipse({x0 + dx * i / 100, y0 + dy * i / 100, x1 - dx * i / 100, y1 - dy * i / 100});
        }
        break;
    }
    case gsRectangle: {
        double x1 = 0, y1 = 0, x2 = w + 2, y2 = h + 2;
        const double sx = w / 2.0 / 255, sy = h / 2.0 / 255;
        for (int i = 0; i <= 255; ++i) {
            x1 += sx;
            x2 -= sx;
            y1 += sy;
            y2 -= sy;
            c.FillRect({static_cast<int>(x1), static_cast<int>(y1), static_cast<int>(x2), static_cast<int>(y2)},
                       ramp.Step(i, 255));
        }
        break;
    }
    case gsVertCenter:
    case gsHorizCenter: {
        const bool rows = gradstyle_ == gsVertCenter;
        const int extent = rows ? h : w, half = extent / 2;
        // A button one pixel across has no half to interpolate over.
        if (half == 0) {
            c.FillRect({0, 0, w, h}, ramp.Step(0, 1));
            break;
        }
        for (int i = 0; i <= half; ++i) {
            const TColor color = ramp.Step(i, half);
            const int mirror = extent - 1 - i;
            if (rows) {
                c.FillRect({0, i, w, i + 1}, color);
                c.FillRect({0, mirror, w, mirror + 1}, color);
            } else {
                c.FillRect({i, 0, i + 1, h}, color);
                c.FillRect({mirror, 0, mirror + 1, h}, color);
            }
        }
        break;
    }
    }
}

QImage TGradButton::Render() const {
    const int w = std::max(width(), 1), h = std::max(height(), 1);
    QImage image(w, h, QImage::Format_RGB32);
    image.fill(Qt::white);
    TCanvas c(image);
    c.Font = font();
    c.FontColor = fontColor_;
    PaintGradient(c);

    c.BrushStyle = TBrushStyle::bsClear;
    TRect frame{0, 0, w, h};
    if (up_) c.Frame3D(frame, btnHiliteClr_, btnShadowClr_, btnFrameSize_);
    else c.Frame3D(frame, btnShadowClr_, btnHiliteClr_, btnFrameSize_);
    const int p = up_ ? 0 : 1;

    const QString shown = DisplayText();
    const int tw = c.TextWidth(shown), th = c.TextHeight(caption_);
    const int y = (h - th) / 2 + p;
    int x = (w - tw) / 2 + p;
    unsigned align = DT_CENTER;
    if (justification_ == jLeft) {
        x = p + 2;
        align = DT_LEFT;
    } else if (justification_ == jRight) {
        x = w + p - tw - 2;
        align = DT_RIGHT;
    }
    auto pass = [&](TColor color, int d) {
        c.FontColor = color;
        TRect r{x + d, y + d, x + d, y + d};
        c.DrawText(caption_, r, DT_CALCRECT | DT_SINGLELINE);
        c.DrawText(caption_, r, align | DT_SINGLELINE);
    };
    const bool enabled = isEnabled();
    const TTextStyle style = enabled ? textStyle_ : tsInset;
    const bool heavy = textShadeType_ == stHeavy;
    switch (style) {
    case tsNormal:
        pass(fontColor_, 0);
        break;
    case tsRaised:
        pass(txtHiliteClr_, -1);
        if (heavy) pass(txtShadowClr_, 1);
        pass(fontColor_, 0);
        break;
    case tsInset:
        if (heavy) pass(txtShadowClr_, -1);
        pass(txtHiliteClr_, 1);
        pass(enabled ? fontColor_ : disabledColor_, 0);
        break;
    }
    c.BrushStyle = TBrushStyle::bsSolid;

    if (!designing_ && showFocus_ && hasFocus()) c.DrawFocusRect({2, 2, w - 2, h - 2});
    return image;
}

void TGradButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawImage(0, 0, Render());
}

void TGradButton::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    emit OnMouseDown(button, shift, x, y);
    if (up_ && button == Qt::LeftButton) {
        up_ = false;
        if (swapColors_) Exchange();
    }
    setFocus(Qt::MouseFocusReason);
    repaint();
}

void TGradButton::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    emit OnMouseUp(button, shift, x, y);
    if (!up_) {
        if (swapColors_) Exchange();
        up_ = true;
        repaint();
    }
}

void TGradButton::Click() {
    if (!up_) {
        if (swapColors_) Exchange();
        up_ = true;
    }
    // The up look shows before the handler runs.
    repaint();
    emit OnClick();
}

void TGradButton::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton) leftHeld_ = heldInside_ = true;
    const QPoint at = event->position().toPoint();
    MouseDown(event->button(), event->modifiers(), at.x(), at.y());
}

void TGradButton::mouseReleaseEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    const bool left = event->button() == Qt::LeftButton;
    const bool click = left && leftHeld_ && rect().contains(at);
    if (left) leftHeld_ = false;
    if (click) Click();
    MouseUp(event->button(), event->modifiers(), at.x(), at.y());
}

void TGradButton::mouseMoveEvent(QMouseEvent* event) {
    const QPoint at = event->position().toPoint();
    emit OnMouseMove(event->modifiers(), at.x(), at.y());
    // While the mouse is grabbed the crossing may come as moves only.
    if (leftHeld_) HeldCrossing(rect().contains(at));
}

// Dragging off a held button shows it up, dragging back shows it pressed;
// each crossing counts once, however it is reported.
void TGradButton::HeldCrossing(bool inside) {
    if (inside == heldInside_) return;
    heldInside_ = inside;
    if (inside) MouseDown(Qt::LeftButton, Qt::NoModifier, 0, 0);
    else MouseUp(Qt::LeftButton, Qt::NoModifier, 0, 0);
}

void TGradButton::enterEvent(QEnterEvent*) {
    if (leftHeld_) HeldCrossing(true);
    emit OnMouseEnter();
}

void TGradButton::leaveEvent(QEvent*) {
    if (leftHeld_) HeldCrossing(false);
    emit OnMouseLeave();
}

void TGradButton::keyPressEvent(QKeyEvent* event) {
    emit OnKeyDown(event->key(), event->modifiers());
    if (!event->text().isEmpty()) emit OnKeyPress(event->text().at(0));
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) Click();
}

void TGradButton::keyReleaseEvent(QKeyEvent* event) { emit OnKeyUp(event->key(), event->modifiers()); }

void TGradButton::focusInEvent(QFocusEvent*) {
    emit OnEnter();
    if (!designing_) update();
}

void TGradButton::focusOutEvent(QFocusEvent*) {
    emit OnExit();
    if (!designing_) update();
}

void TGradButton::changeEvent(QEvent* event) {
    if (event->type() == QEvent::EnabledChange || event->type() == QEvent::FontChange) update();
    QWidget::changeEvent(event);
}

bool TGradButton::event(QEvent* event) {
    if (event->type() == QEvent::Shortcut) {
        auto* shortcut = static_cast<QShortcutEvent*>(event);
        if (shortcut->shortcutId() == accelerator_ && accelerator_ != 0) {
            if (isEnabled()) Click();
            return true;
        }
    }
    return QWidget::event(event);
}

} // namespace orvane::controls
