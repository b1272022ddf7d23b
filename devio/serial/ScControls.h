#pragma once
// The base of the component family's visual controls: batched redraws and
// mouse, font and text notifications as events.
#include <QWidget>

#include <functional>

namespace orvane {

enum TScAlign { alNone, alTop, alBottom, alLeft, alRight, alClient };

class TScGraphicControl : public QWidget {
public:
    using TNotify = std::function<void(TScGraphicControl* sender)>;
    explicit TScGraphicControl(QWidget* parent = nullptr) : QWidget(parent) {}

    void BeginUpdate() { ++updateCount_; }
    void EndUpdate() {
        if (updateCount_ > 0) --updateCount_;
        if (updateCount_ == 0) Redraw();
    }
    int UpdateCount() const { return updateCount_; }
    // While the control is being read from a form it does not paint.
    void SetLoading(bool on) { loading_ = on; }
    bool Loading() const { return loading_; }
    bool AutoSize() const { return autoSize_; }
    void SetAutoSize(bool on);
    TScAlign Align() const { return align_; }
    void SetAlign(TScAlign a) { align_ = a; }
    const QString& Text() const { return text_; }
    void SetText(const QString& text);

    TNotify OnMouseEnter, OnMouseLeave, OnFontChanged, OnTextChanged;

    virtual void Redraw();
    virtual void AdjustSizeAndRedraw();
    virtual void ResizeAndRedraw();

protected:
    virtual void DoMouseEnter() { Fire(OnMouseEnter); }
    virtual void DoMouseLeave() { Fire(OnMouseLeave); }
    virtual void DoFontChanged() { Fire(OnFontChanged); }
    virtual void DoTextChanged() { Fire(OnTextChanged); }
    // The bounds an auto-sized control takes; the control's size hint by default.
    virtual QSize AutoBounds() const { return sizeHint(); }

    void enterEvent(QEnterEvent* e) override;
    void leaveEvent(QEvent* e) override;
    void changeEvent(QEvent* e) override;

private:
    void Fire(const TNotify& event) {
        if (event) event(this);
    }
    // Re-applies the bounds; whether they changed.
    bool ApplyBounds();

    int updateCount_ = 0;
    bool loading_ = false;
    bool autoSize_ = false;
    TScAlign align_ = alNone;
    QString text_;
};

} // namespace orvane
