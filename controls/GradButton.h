#pragma once
// A focusable push button drawn entirely by itself: a gradient in one of six
// styles, a 3-D frame that flips while pressed and a flat, raised or inset
// caption, like a physical key.
#include "Gdi.h"

#include <QImage>
#include <QString>
#include <QWidget>

namespace orvane {
class TCanvas;
}

namespace orvane::controls {

enum Tgradstyle { gsBHorizontal, gsBVertical, gsElliptic, gsRectangle, gsVertCenter, gsHorizCenter };
enum TTextStyle { tsNormal, tsRaised, tsInset };
enum TShadeType { stLight, stHeavy };
enum TJustification { jLeft, jCenter, jRight };
enum TPreset { psNone, psAmber, psTerminal, psSilver, psDawn, psBrass };

class TGradButton : public QWidget {
    Q_OBJECT
public:
    explicit TGradButton(QWidget* parent = nullptr);

    TColor DisabledColor() const { return disabledColor_; }
    void SetDisabledColor(TColor c) { SetColor(disabledColor_, c); }
    TColor BtnHiliteClr() const { return btnHiliteClr_; }
    void SetBtnHiliteClr(TColor c) { SetColor(btnHiliteClr_, c); }
    TColor BtnShadowClr() const { return btnShadowClr_; }
    void SetBtnShadowClr(TColor c) { SetColor(btnShadowClr_, c); }
    int BtnFrameSize() const { return btnFrameSize_; }
    // Ignored unless at most Width div 2 - 5 and Height div 2 - 5.
    void SetBtnFrameSize(int size);
    TColor TxtHiliteClr() const { return txtHiliteClr_; }
    void SetTxtHiliteClr(TColor c) { SetColor(txtHiliteClr_, c); }
    TColor TxtShadowClr() const { return txtShadowClr_; }
    void SetTxtShadowClr(TColor c) { SetColor(txtShadowClr_, c); }
    // While the button is held with SwapColors on, these read exchanged.
    TColor BeginColor() const { return beginColor_; }
    void SetBeginColor(TColor c) { SetColor(beginColor_, c); }
    TColor EndColor() const { return endColor_; }
    void SetEndColor(TColor c) { SetColor(endColor_, c); }
    bool SwapColors() const { return swapColors_; }
    void SetSwapColors(bool on) { swapColors_ = on; }
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool on) { showFocus_ = on; }
    Tgradstyle gradstyle() const { return gradstyle_; }
    void Setgradstyle(Tgradstyle style);
    TTextStyle TextStyle() const { return textStyle_; }
    void SetTextStyle(TTextStyle style);
    TShadeType TextShadeType() const { return textShadeType_; }
    void SetTextShadeType(TShadeType type);
    TJustification Justification() const { return justification_; }
    void SetJustification(TJustification justification);
    // Presets apply only while the form is designed; at run time writing
    // one changes nothing.
    TPreset Presets() const { return presets_; }
    void SetPresets(TPreset preset);
    bool Designing() const { return designing_; }
    void SetDesigning(bool on) { designing_ = on; }

    const QString& Caption() const { return caption_; }
    void SetCaption(const QString& caption);
    TColor FontColor() const { return fontColor_; }
    void SetFontColor(TColor c) { SetColor(fontColor_, c); }
    bool TabStop() const { return focusPolicy() != Qt::NoFocus; }
    void SetTabStop(bool on) { setFocusPolicy(on ? Qt::TabFocus : Qt::NoFocus); }

    // Up: shown raised; false while pressed.
    bool Up() const { return up_; }
    // The caption as drawn: single ampersands dropped, doubled ones halved.
    QString DisplayText() const;

    // What a click does, from the mouse, Enter or the accelerator.
    void Click();
    // The button as it paints.
    QImage Render() const;

signals:
    void OnClick();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseEnter();
    void OnMouseLeave();
    void OnEnter();
    void OnExit();
    void OnKeyDown(int key, Qt::KeyboardModifiers shift);
    void OnKeyPress(QChar key);
    void OnKeyUp(int key, Qt::KeyboardModifiers shift);

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void enterEvent(QEnterEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void SetColor(TColor& field, TColor value);
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void HeldCrossing(bool inside);
    void Exchange();
    void PaintGradient(TCanvas& canvas) const;
    void GrabAccelerator();

    TColor disabledColor_ = clGrayText;
    TColor btnHiliteClr_ = clBtnHighlight;
    TColor btnShadowClr_ = clBtnShadow;
    int btnFrameSize_ = 1;
    TColor txtHiliteClr_ = clBtnHighlight;
    TColor txtShadowClr_ = clBtnShadow;
    TColor beginColor_ = clNavy;
    TColor endColor_ = clAqua;
    bool swapColors_ = true;
    bool showFocus_ = true;
    Tgradstyle gradstyle_ = gsVertCenter;
    TTextStyle textStyle_ = tsRaised;
    TShadeType textShadeType_ = stLight;
    TPreset presets_ = psNone;
    TJustification justification_ = jCenter;
    bool designing_ = false;
    QString caption_;
    TColor fontColor_ = clBlack;

    bool up_ = true;
    // The left button went down on this button and is still held.
    bool leftHeld_ = false;
    bool heldInside_ = false;
    int accelerator_ = 0;
};

} // namespace orvane::controls
