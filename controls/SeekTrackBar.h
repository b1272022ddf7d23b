#pragma once
// A skinnable track bar: an integer Position between Min and Max shown as a
// thumb on a slider groove, with optional tick marks, a value label, two end
// buttons and a drag hint, each drawn from colours or from pictures. With
// both rating pictures set it becomes a row of rating cells.
#include "Canvas.h"
#include "GpPicture.h"
#include "Timer.h"
#include "TrackBarButtons.h"
#include "TrackBarLabel.h"
#include "TrackBarSlider.h"
#include "TrackBarThumb.h"
#include "TrackBarTick.h"
#include "TrackBarTypes.h"
#include "TrackHintWindow.h"

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

namespace orvane::controls {

// Pictures drawn in place of tick lines, one per value.
class TTickImageList : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    std::vector<QImage> Images;
};

class TCustomTrackBar : public QWidget {
    Q_OBJECT
public:
    // timers: where the repeat timer comes from; null for real timers.
    explicit TCustomTrackBar(QWidget* parent = nullptr, ITimerFactory* timers = nullptr);
    ~TCustomTrackBar() override;

    int Min() const { return min_; }
    void SetMin(int value);
    int Max() const { return max_; }
    void SetMax(int value);
    int Position() const { return position_; }
    virtual void SetPosition(int value);
    int PageSize() const { return pageSize_; }
    void SetPageSize(int value) { pageSize_ = value; }
    TTrackBarOrientation Orientation() const { return orientation_; }
    void SetOrientation(TTrackBarOrientation value);

    TColor Color() const { return color_; }
    void SetColor(TColor value);
    TColor ColorTo() const { return colorTo_; }
    void SetColorTo(TColor value);
    TColor ColorDisabled() const { return colorDisabled_; }
    void SetColorDisabled(TColor value) { colorDisabled_ = value; }
    TColor ColorDisabledTo() const { return colorDisabledTo_; }
    void SetColorDisabledTo(TColor value) { colorDisabledTo_ = value; }
    TColor BorderColor() const { return borderColor_; }
    void SetBorderColor(TColor value);
    TColor BorderColorDisabled() const { return borderColorDisabled_; }
    void SetBorderColorDisabled(TColor value) { borderColorDisabled_ = value; }
    TGradientDirection Direction() const { return direction_; }
    void SetDirection(TGradientDirection value);
    TGpPicture* BackGround() const { return backGround_; }
    void SetBackGround(const TGpPicture* p) { backGround_->Assign(p); }
    TGpPicture* BackGroundDisabled() const { return backGroundDisabled_; }
    void SetBackGroundDisabled(const TGpPicture* p) { backGroundDisabled_->Assign(p); }
    bool BackGroundStretched() const { return backGroundStretched_; }
    void SetBackGroundStretched(bool value);
    bool Transparent() const { return transparent_; }
    void SetTransparent(bool value);
    TGpPicture* RateActive() const { return rateActive_; }
    void SetRateActive(const TGpPicture* p) { rateActive_->Assign(p); }
    TGpPicture* RateInActive() const { return rateInActive_; }
    void SetRateInActive(const TGpPicture* p) { rateInActive_->Assign(p); }
    TTrackBarSlider* Slider() const { return slider_; }
    void SetSlider(const TTrackBarSlider* value) { slider_->Assign(value); }
    TTrackBarThumb* Thumb() const { return thumb_; }
    void SetThumb(const TTrackBarThumb* value) { thumb_->Assign(value); }
    TTrackBarTick* TickMark() const { return tickMark_; }
    void SetTickMark(const TTrackBarTick* value) { tickMark_->Assign(value); }
    TTickImageList* TickImages() const { return tickImages_; }
    void SetTickImages(TTickImageList* value);
    TTrackBarButtons* Buttons() const { return buttons_; }
    void SetButtons(const TTrackBarButtons* value) { buttons_->Assign(value); }
    TTrackBarLabel* TrackLabel() const { return trackLabel_; }
    void SetTrackLabel(const TTrackBarLabel* value) { trackLabel_->Assign(value); }
    bool TrackHint() const { return trackHint_; }
    void SetTrackHint(bool value) { trackHint_ = value; }
    bool ShowFocus() const { return showFocus_; }
    void SetShowFocus(bool value) { showFocus_ = value; }
    TMoveOnClick MoveOnClick() const { return moveOnClick_; }
    void SetMoveOnClick(TMoveOnClick value) { moveOnClick_ = value; }
    QString Version() const;
    void SetVersion(const QString&) {}

    // Handlers whose answer comes back through their reference arguments.
    // A paint asks OnGetTickMarkText (with ShowText) and then OnDrawTick once
    // for each tick it draws, in each band in use, never once per value of
    // the range: a tick stands for the lowest value on its pixel that may be
    // drawn there (a multiple of ShowImageAtSteps; Position alone with
    // ShowImageAtThumbOnly). Without OnDrawTick and at every step, ticks
    // keep a free pixel between them. DefaultDraw false leaves a tick out.
    std::function<void(TCustomTrackBar*, TCanvas&, QPoint location, int position, TTickMark tickPos, int& length,
                       TColor& color, TColor& textColor, QString& text, bool& defaultDraw)>
        OnDrawTick;
    std::function<void(TCustomTrackBar*, int position, QString& hint)> OnGetTrackHint;
    std::function<void(TCustomTrackBar*, int position, QString& value)> OnGetTrackLabelText;
    std::function<void(TCustomTrackBar*, int index, QString& value)> OnGetTickMarkText;

    // The form loader: between the two, writes keep the size and pictures
    // are read without being measured; Loaded measures them.
    void BeginLoading() { loading_ = true; }
    void Loaded();
    bool Loading() const { return loading_; }

    // Sixteen colour schemes for thumb, buttons, slider outline and ticks.
    void ApplyStylePreset(uint8_t style);

    // Layout, client coordinates; an absent part is (-1, -1, -1, -1).
    TRect InnerRect() const;
    TRect MinButtonRect() const;
    TRect MaxButtonRect() const;
    TRect TrackRect() const;
    virtual void GetTickRect1(TRect& r) const;
    virtual void GetTickRect2(TRect& r) const;
    TRect SliderRect() const;
    virtual void GetThumbRect(TRect& r) const;
    TRect ThumbRect() const;
    TRect LabelRect(bool narrowed) const;
    int PointerOffset() const;
    // Thumb offset along the track for a value: rounded in extended precision;
    // a value outside the range counts as the end it passed.
    int ThumbOffset(int value) const;
    // The value under a point; Position when no value can be told.
    int ValueFromPoint(int x, int y) const;
    bool RatingMode() const { return !rateActive_->Empty() && !rateInActive_->Empty(); }
    // The rating cell of a value Min + 1 .. Max; (-1,-1,-1,-1) when it has none.
    TRect RateCell(int value) const;
    // How many values from Min + 1 on have a cell: only those are drawn.
    int64_t RateCellCount() const;
    // The value whose cell holds the point, or Min when there is none.
    int64_t RateValueAt(int x, int y) const;
    int TickTextHeight() const { return tickTextHeight_; }
    // What the last paint did with tick marks: the tick positions it looked
    // at, the ticks it drew (one per band) and the tick texts it wrote.
    struct TTickPaintCount {
        int64_t visited = 0, drawn = 0, texts = 0;
    };
    const TTickPaintCount& LastTickPaint() const { return tickPaint_; }

    // The control as it paints, over a transparent image.
    QImage Render() const;
    void Paint(TCanvas& canvas) const;

    // Input, as the widget's events deliver it; tests drive these directly.
    void MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void MouseLeave();
    void KeyDown(int key, Qt::KeyboardModifiers shift);
    void MouseWheel(bool up);
    bool Dragging() const { return dragging_; }
    bool ThumbHot() const { return thumbHot_; }
    bool ThumbDown() const { return thumbDown_; }
    bool MinButtonHot() const { return minButtonHot_; }
    bool MinButtonDown() const { return minButtonDown_; }
    bool MaxButtonHot() const { return maxButtonHot_; }
    bool MaxButtonDown() const { return maxButtonDown_; }
    bool PageClick() const { return pageClick_; }
    bool HintShown() const { return hintShown_; }
    TTrackHintWindow* HintWindow() const { return hintWindow_; }
    ITimer* RepeatTimer() const { return repeatTimer_.get(); }

    // Asked by the thumb before it takes a new pointer; may alter it.
    virtual bool CanChangeThumbPointer(TTrackBarThumb* thumb, TThumbPointer& value);

signals:
    void OnChange();
    void OnMouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseMove(Qt::KeyboardModifiers shift, int x, int y);
    void OnMouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y);

protected:
    virtual void ButtonRepeat();
    virtual bool CanPageClick() const { return true; }
    virtual void GetLabelText(QString& text) const;
    virtual TTrackBarSlider* CreateSlider();
    virtual bool CanDragThumb() const { return true; }
    virtual bool IsInRange(int value) const { return min_ <= value && value <= max_; }
    virtual int GetMinValue() const { return min_; }
    virtual int GetMaxValue() const { return max_; }
    virtual bool HasLabelTextHandler() const { return static_cast<bool>(OnGetTrackLabelText); }
    virtual void StepDown();
    virtual void StepUp();
    virtual void PageStepTowardClick();
    virtual int GetThumbWidth() const { return thumb_->Width(); }
    virtual void DrawSlider(TCanvas& canvas) const;
    virtual void DrawThumb(TCanvas& canvas) const;
    virtual void InvalidateLabel();

    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void ElementChanged();
    void TickChanged();
    void MeasureTickText();
    void StartRepeatTimer();
    void InvalidateRect(const TRect& r);
    void PaintBackground(TCanvas& canvas) const;
    void PaintLabel(TCanvas& canvas) const;
    void PaintTicks(TCanvas& canvas) const;
    void PaintButton(TCanvas& canvas, bool maxEnd) const;
    void PaintRating(TCanvas& canvas) const;
    void ShowHint(int value);
    // A sum worked out in 64 bits, brought back into Min..Max when it
    // leaves the 32-bit range.
    int Saturated(int64_t value) const;
    // Cell size and how many cells fit to a row and down the track.
    struct RateGrid {
        int cw = 0, ch = 0;
        int64_t cols = 0, rows = 0;
    };
    RateGrid RateLayout() const;
    bool Inside(const TRect& r, int x, int y) const;

    std::unique_ptr<ITimerFactory> ownTimers_;
    ITimerFactory* timers_;

    int min_ = 0, max_ = 10, position_ = 0, pageSize_ = 1;
    TTrackBarOrientation orientation_ = trHorizontal;
    TColor color_ = clNone, colorTo_ = clNone, colorDisabled_ = clNone, colorDisabledTo_ = clNone;
    TColor borderColor_ = clNone, borderColorDisabled_ = clNone;
    TGradientDirection direction_ = gdHorizontal;
    TGpPicture* backGround_;
    TGpPicture* backGroundDisabled_;
    bool backGroundStretched_ = false;
    bool transparent_ = true;
    TGpPicture* rateActive_;
    TGpPicture* rateInActive_;
    TTrackBarSlider* slider_ = nullptr;
    TTrackBarThumb* thumb_ = nullptr;
    TTrackBarTick* tickMark_ = nullptr;
    QPointer<TTickImageList> tickImages_;
    TTrackBarButtons* buttons_ = nullptr;
    TTrackBarLabel* trackLabel_ = nullptr;
    bool trackHint_ = false;
    bool showFocus_ = false;
    TMoveOnClick moveOnClick_ = mcStep;

    int borderWidth_ = 1;
    int margin_ = 2;
    int tickTextPad_ = 2;
    int tickTextHeight_ = 0;
    bool dragging_ = false, thumbHot_ = false, thumbDown_ = false;
    bool minButtonHot_ = false, minButtonDown_ = false, maxButtonHot_ = false, maxButtonDown_ = false;
    bool pageClick_ = false;
    QPoint clickPoint_;
    bool captured_ = false; // a mouse button went down here and is held
    std::unique_ptr<ITimer> repeatTimer_;
    int lastHintValue_ = -1;
    TTrackHintWindow* hintWindow_ = nullptr;
    bool hintShown_ = false;
    bool loading_ = false;
    mutable TTickPaintCount tickPaint_;
};

// The published face of the track bar; it adds no behaviour.
class TSeekTrackBar : public TCustomTrackBar {
    Q_OBJECT
public:
    using TCustomTrackBar::TCustomTrackBar;
};

} // namespace orvane::controls
