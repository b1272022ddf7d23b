#include "SeekTrackBar.h"

#include "Canvas.h"

#include <QCursor>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>

#include <climits>
#include <cmath>
#include <cstdlib>
#include <stdexcept>

namespace orvane::controls {

namespace {

const TRect kAbsent{-1, -1, -1, -1};

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

} // namespace

void TTrackBarElement::AssignError(const TTrackBarElement* source) const {
    throw std::invalid_argument(std::string("Cannot assign a ") +
                                (source ? source->metaObject()->className() : "nil") + " to a " +
                                metaObject()->className());
}

bool TTrackBarElement::Horizontal() const { return !owner_ || owner_->Orientation() == trHorizontal; }

TCustomTrackBar::TCustomTrackBar(QWidget* parent, ITimerFactory* timers)
    : QWidget(parent), timers_(timers), backGround_(new TGpPicture(this)),
      backGroundDisabled_(new TGpPicture(this)), rateActive_(new TGpPicture(this)),
      rateInActive_(new TGpPicture(this)) {
    if (!timers_) {
        ownTimers_ = std::make_unique<QtTimerFactory>();
        timers_ = ownTimers_.get();
    }
    resize(150, 26);
    setFocusPolicy(Qt::StrongFocus);
    setMouseTracking(true);
    for (TGpPicture* p : {backGround_, backGroundDisabled_, rateActive_, rateInActive_})
        connect(p, &TGpPicture::OnChange, this, [this] { update(); });

    slider_ = CreateSlider();
    slider_->setParent(this);
    thumb_ = new TTrackBarThumb(this);
    tickMark_ = new TTrackBarTick(this);
    buttons_ = new TTrackBarButtons(this);
    trackLabel_ = new TTrackBarLabel(this);
    for (TTrackBarElement* e : std::initializer_list<TTrackBarElement*>{slider_, thumb_, buttons_, trackLabel_}) {
        e->SetOwner(this);
        connect(e, &TTrackBarElement::OnChange, this, &TCustomTrackBar::ElementChanged);
    }
    tickMark_->SetOwner(this);
    connect(tickMark_, &TTrackBarElement::OnChange, this, &TCustomTrackBar::TickChanged);
    hintWindow_ = new TTrackHintWindow(this);
    trackHint_ = false; // the control's ShowHint at creation
}

TCustomTrackBar::~TCustomTrackBar() {
    // A list among our own children dies after this part of us: it must
    // find no handler left to call back.
    if (tickImages_) disconnect(tickImages_, nullptr, this, nullptr);
    if (repeatTimer_) repeatTimer_->OnTimer = nullptr;
    repeatTimer_.reset();
}

TTrackBarSlider* TCustomTrackBar::CreateSlider() { return new TTrackBarSlider(this); }

QString TCustomTrackBar::Version() const { return QStringLiteral("%1.%2.%3.%4").arg(2).arg(1).arg(0).arg(0); }

void TCustomTrackBar::ElementChanged() { update(); }

void TCustomTrackBar::TickChanged() {
    MeasureTickText();
    update();
}

void TCustomTrackBar::MeasureTickText() {
    tickTextHeight_ = QFontMetrics(tickMark_->Font()).height() + 2 * tickTextPad_; // the height of "gh"
}

void TCustomTrackBar::Loaded() {
    loading_ = false;
    MeasureTickText();
    buttons_->PictureChanged();
    thumb_->PictureChanged();
}

void TCustomTrackBar::SetMin(int value) {
    if (!Change(min_, value)) return;
    if (position_ < min_) SetPosition(min_);
    update();
}

void TCustomTrackBar::SetMax(int value) {
    if (!Change(max_, value)) return;
    if (position_ > max_) SetPosition(max_);
    update();
}

void TCustomTrackBar::SetOrientation(TTrackBarOrientation value) {
    if (!Change(orientation_, value)) return;
    if (!loading_) resize(height(), width());
    update();
}

void TCustomTrackBar::SetColor(TColor value) {
    if (Change(color_, value)) update();
}
void TCustomTrackBar::SetColorTo(TColor value) {
    if (Change(colorTo_, value)) update();
}
void TCustomTrackBar::SetBorderColor(TColor value) {
    if (Change(borderColor_, value)) update();
}
void TCustomTrackBar::SetDirection(TGradientDirection value) {
    if (Change(direction_, value)) update();
}
void TCustomTrackBar::SetBackGroundStretched(bool value) {
    if (Change(backGroundStretched_, value)) update();
}
void TCustomTrackBar::SetTransparent(bool value) {
    if (Change(transparent_, value)) update();
}

void TCustomTrackBar::SetTickImages(TTickImageList* value) {
    if (tickImages_ == value) return;
    if (tickImages_) disconnect(tickImages_, nullptr, this, nullptr);
    tickImages_ = value;
    if (value)
        connect(value, &QObject::destroyed, this, [this] {
            tickImages_ = nullptr;
            update();
        });
    update();
}

bool TCustomTrackBar::CanChangeThumbPointer(TTrackBarThumb*, TThumbPointer&) { return true; }

// Position -------------------------------------------------------------------------------

void TCustomTrackBar::SetPosition(int value) {
    // Compared before clamping: a value beyond the end the position already
    // sits at still announces a change.
    if (value == position_) return;
    value = std::clamp(value, min_, std::max(min_, max_));
    const TRect oldThumb = ThumbRect();
    const int old = position_;
    position_ = value;
    const TRect newThumb = ThumbRect();

    if (RatingMode()) {
        // Only values that have a cell: the range itself may span billions.
        const int64_t lo = std::max<int64_t>(std::min(old, value), int64_t(min_) + 1);
        const int64_t hi = std::min<int64_t>(std::max(old, value), int64_t(min_) + RateCellCount());
        for (int64_t v = lo; v <= hi; ++v) InvalidateRect(RateCell(static_cast<int>(v)));
    } else {
        TRect a = oldThumb, b = newThumb;
        a.Inflate(1, 1);
        b.Inflate(1, 1);
        InvalidateRect(a);
        InvalidateRect(b);
        if (slider_->ColorCompleted() != clNone || !slider_->PictureCompleted()->Empty()) InvalidateRect(SliderRect());
        if (tickMark_->ShowImageAtThumbOnly()) {
            const TRect track = TrackRect();
            for (const TRect& t : {oldThumb, newThumb}) {
                if (orientation_ == trHorizontal) InvalidateRect({t.Left, track.Top, t.Right, track.Bottom});
                else InvalidateRect({track.Left, t.Top, track.Right, t.Bottom});
            }
        }
        InvalidateLabel();
    }
    emit OnChange();
}

void TCustomTrackBar::InvalidateRect(const TRect& r) {
    if (r.Right > r.Left && r.Bottom > r.Top) update(ToQRect(r));
}

int TCustomTrackBar::Saturated(int64_t value) const {
    if (value > INT_MAX) return std::max(min_, max_);
    if (value < INT_MIN) return min_;
    return static_cast<int>(value);
}

void TCustomTrackBar::StepDown() {
    if (position_ > min_) SetPosition(Saturated(int64_t(position_) - buttons_->Step()));
}

void TCustomTrackBar::StepUp() {
    if (position_ < max_) SetPosition(Saturated(int64_t(position_) + buttons_->Step()));
}

void TCustomTrackBar::GetLabelText(QString& text) const {
    text = trackLabel_->FormatValue(position_);
    if (OnGetTrackLabelText) OnGetTrackLabelText(const_cast<TCustomTrackBar*>(this), position_, text);
}

// Layout ---------------------------------------------------------------------------------

TRect TCustomTrackBar::InnerRect() const {
    TRect r{0, 0, width(), height()};
    r.Inflate(-(borderWidth_ + margin_), -(borderWidth_ + margin_));
    return r;
}

TRect TCustomTrackBar::MinButtonRect() const {
    const TRect in = InnerRect();
    const int s = buttons_->Size();
    if (orientation_ == trHorizontal) return {in.Left, in.Top, in.Left + s, in.Bottom};
    return {in.Left, in.Bottom - s, in.Right, in.Bottom};
}

TRect TCustomTrackBar::MaxButtonRect() const {
    const TRect in = InnerRect();
    const int s = buttons_->Size();
    if (orientation_ == trHorizontal) return {in.Right - s, in.Top, in.Right, in.Bottom};
    return {in.Left, in.Top, in.Right, in.Top + s};
}

static bool TopLabel(TLabelPosition p) { return p == lpTopCenter || p == lpTopLeft || p == lpTopRight; }

TRect TCustomTrackBar::TrackRect() const {
    TRect r = InnerRect();
    int shift = slider_->Offset();
    if (trackLabel_->Visible() && TopLabel(trackLabel_->Position())) {
        const TRect l = LabelRect(false);
        shift += (orientation_ == trHorizontal ? l.Height() : l.Width()) + 1;
    }
    if (orientation_ == trHorizontal) r.Top += shift;
    else r.Left += shift;
    if (buttons_->Visible()) {
        const int sp = buttons_->Spacing();
        if (orientation_ == trHorizontal) {
            r.Left = MinButtonRect().Right + sp;
            r.Right = MaxButtonRect().Left - sp;
        } else {
            r.Bottom = MinButtonRect().Top - sp;
            r.Top = MaxButtonRect().Bottom + sp;
        }
    }
    return r;
}

void TCustomTrackBar::GetTickRect1(TRect& r) const {
    const TTickMark pos = tickMark_->Position();
    if (tickMark_->Style() == tsNone || !(pos == tmTopLeft || pos == tmBoth)) {
        r = kAbsent;
        return;
    }
    const TRect t = TrackRect();
    const int p = PointerOffset();
    const int thick = tickMark_->Size() + (tickMark_->ShowText() ? tickTextHeight_ : 0);
    if (orientation_ == trHorizontal) r = {t.Left + p, t.Top, t.Right - p, t.Top + thick};
    else r = {t.Left, t.Top + p, t.Left + thick, t.Bottom - p};
}

TRect TCustomTrackBar::SliderRect() const {
    if (!slider_->Visible() || slider_->Size() <= 0) return kAbsent;
    const TRect t = TrackRect();
    TRect band1;
    GetTickRect1(band1);
    const bool horizontal = orientation_ == trHorizontal;
    int start = horizontal ? t.Top : t.Left;
    if (band1 != kAbsent) start = (horizontal ? band1.Bottom : band1.Right) + tickMark_->Spacing();
    if (horizontal) return {t.Left, start, t.Right, start + slider_->Size()};
    return {start, t.Top, start + slider_->Size(), t.Bottom};
}

void TCustomTrackBar::GetTickRect2(TRect& r) const {
    const TTickMark pos = tickMark_->Position();
    if (tickMark_->Style() == tsNone || !(pos == tmBottomRight || pos == tmBoth)) {
        r = kAbsent;
        return;
    }
    const TRect t = TrackRect();
    const bool horizontal = orientation_ == trHorizontal;
    const int p = PointerOffset();
    const int thick = tickMark_->Size() + (tickMark_->ShowText() ? tickTextHeight_ : 0);
    const TRect slider = SliderRect();
    TRect band1;
    GetTickRect1(band1);
    int start = horizontal ? t.Top : t.Left;
    if (slider != kAbsent)
        start = (horizontal ? slider.Bottom : slider.Right) - (slider_->Border3D() ? 1 : 0) + tickMark_->Spacing();
    else if (band1 != kAbsent)
        start = (horizontal ? band1.Bottom : band1.Right) + 2 * tickMark_->Spacing();
    if (horizontal) r = {t.Left + p, start, t.Right - p, start + thick};
    else r = {start, t.Top + p, start + thick, t.Bottom - p};
}

int TCustomTrackBar::PointerOffset() const {
    const int w = thumb_->Width();
    if (w <= 0) return 0;
    switch (thumb_->ThumbPointer()) {
    case tpLeft: return 0;
    case tpCenter: return w / 2;
    case tpRight: return w;
    }
    return 0;
}

int TCustomTrackBar::ThumbOffset(int value) const {
    if (max_ == min_) return 0;
    const TRect t = TrackRect();
    const int len = orientation_ == trHorizontal ? t.Width() : t.Height();
    // A value outside the range (the old position while the range changes)
    // stands at the end it passed: beyond it the offset leaves the int range.
    value = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
    // Extended precision as the placement has always been worked out: a
    // double lands on the other side of a half in a few positions.
    const long double fraction = static_cast<long double>(int64_t(value) - min_) /
                                 static_cast<long double>(int64_t(max_) - min_);
    return static_cast<int>(std::nearbyintl(static_cast<long double>(len - GetThumbWidth()) * fraction));
}

void TCustomTrackBar::GetThumbRect(TRect& r) const {
    const TRect t = TrackRect();
    const bool horizontal = orientation_ == trHorizontal;
    const int w = thumb_->Width(), size = thumb_->Size();
    const int offset = ThumbOffset(position_);
    if (horizontal) {
        r.Left = t.Left + offset;
        r.Right = r.Left + w;
    } else {
        r.Bottom = t.Bottom - offset;
        r.Top = r.Bottom - w;
    }
    const TRect slider = SliderRect();
    TRect band1, band2;
    GetTickRect1(band1);
    GetTickRect2(band2);
    int start;
    if (slider != kAbsent) {
        const int sStart = horizontal ? slider.Top : slider.Left;
        const int sThick = horizontal ? slider.Height() : slider.Width();
        start = sStart + sThick / 2 - size / 2;
    } else if (tickMark_->Style() == tsNone) {
        start = horizontal ? t.Top : t.Left;
    } else if (tickMark_->Position() == tmBottomRight) {
        start = horizontal ? band2.Top : band2.Left;
    } else {
        start = (horizontal ? band1.Top : band1.Left) + tickMark_->Spacing() - size / 2;
    }
    int end = start + size;
    if (thumb_->Shape() == tsLine && thumb_->Picture()->Empty()) {
        const TRect in = InnerRect();
        start = horizontal ? in.Top : in.Left;
        end = (horizontal ? height() : width()) - borderWidth_;
    }
    if (horizontal) {
        r.Top = start;
        r.Bottom = end;
    } else {
        r.Left = start;
        r.Right = end;
    }
}

TRect TCustomTrackBar::ThumbRect() const {
    TRect r;
    GetThumbRect(r);
    return r;
}

TRect TCustomTrackBar::LabelRect(bool narrowed) const {
    QString text;
    GetLabelText(text);
    if (text.isEmpty() && HasLabelTextHandler()) text = QStringLiteral("Pos");
    const QFontMetrics fm(trackLabel_->Font());
    const int h = fm.height(), w = fm.horizontalAdvance(text);
    const TRect in = InnerRect();
    const bool horizontal = orientation_ == trHorizontal;
    const TLabelPosition pos = trackLabel_->Position();
    const int thick = h + trackLabel_->Spacing();
    TRect r = in;
    if (TopLabel(pos)) {
        const int start = (horizontal ? in.Top : in.Left) + slider_->Offset();
        if (horizontal) r = {in.Left, start, in.Right, start + thick};
        else r = {start, in.Top, start + thick, in.Bottom};
    } else {
        TRect band2;
        GetTickRect2(band2);
        int start;
        if (band2 != kAbsent) start = (horizontal ? band2.Bottom : band2.Right) + 1;
        else if (SliderRect() != kAbsent) start = (horizontal ? SliderRect().Bottom : SliderRect().Right) + 1;
        else start = horizontal ? TrackRect().Top : TrackRect().Left;
        if (horizontal) r = {in.Left, start, in.Right, start + thick};
        else r = {start, in.Top, start + thick, in.Bottom};
    }
    if (!narrowed) return r;
    const bool left = pos == lpTopLeft || pos == lpBottomLeft;
    const bool right = pos == lpTopRight || pos == lpBottomRight;
    if (horizontal) {
        if (left) r.Right = r.Left + w + 5;
        else if (right) r.Left = r.Right - w - 5;
        else {
            r.Left = r.Left + (r.Width() - w) / 2;
            r.Right = r.Left + w + 5;
        }
    } else {
        // Rotated text runs upward from the lower end, which Top names.
        int lo = r.Bottom, hi = r.Top;
        if (left) hi = lo - w - 5;
        else if (right) lo = hi + w + 5;
        else {
            lo = r.Bottom - (r.Height() - w) / 2;
            hi = lo - w - 5;
        }
        r.Top = lo;
        r.Bottom = hi;
    }
    return r;
}

void TCustomTrackBar::InvalidateLabel() {
    if (!trackLabel_->Visible()) return;
    TRect r = LabelRect(!HasLabelTextHandler());
    if (orientation_ == trHorizontal) {
        r.Left -= 5;
        r.Right += 5;
    } else {
        if (r.Top > r.Bottom) std::swap(r.Top, r.Bottom);
        r.Top += 10;
        r.Bottom -= 10;
    }
    InvalidateRect(r);
}

int TCustomTrackBar::ValueFromPoint(int x, int y) const {
    const TRect t = TrackRect();
    const int w = thumb_->Width();
    long double offset, length;
    if (orientation_ == trHorizontal) {
        offset = x - t.Left - PointerOffset();
        length = t.Width() - w;
    } else {
        offset = t.Bottom - w - y;
        length = t.Height() - w;
    }
    // A track no longer than the thumb maps no point to a value.
    if (length <= 0) return position_;
    const long double v = offset / length * (static_cast<long double>(int64_t(max_) - min_)) + min_;
    const long double clamped = std::clamp(std::nearbyintl(v), static_cast<long double>(min_),
                                           static_cast<long double>(std::max(min_, max_)));
    const int value = static_cast<int>(clamped);
    return IsInRange(value) ? value : position_;
}

TCustomTrackBar::RateGrid TCustomTrackBar::RateLayout() const {
    RateGrid g;
    g.cw = std::max(rateActive_->Width(), rateInActive_->Width());
    g.ch = std::max(rateActive_->Height(), rateInActive_->Height());
    if (g.cw <= 0 || g.ch <= 0) return g;
    const TRect t = TrackRect();
    // A row holds every cell that ends inside the track, and at least one;
    // rows go on while they start inside it.
    g.cols = std::max<int64_t>(1, t.Width() / g.cw);
    g.rows = t.Bottom < t.Top ? 0 : int64_t(t.Bottom - t.Top) / g.ch + 1;
    return g;
}

int64_t TCustomTrackBar::RateCellCount() const {
    const RateGrid g = RateLayout();
    return std::clamp<int64_t>(g.cols * g.rows, 0, std::max<int64_t>(0, int64_t(max_) - min_));
}

TRect TCustomTrackBar::RateCell(int value) const {
    const int64_t index = int64_t(value) - min_ - 1;
    if (index < 0 || value > max_ || index >= RateCellCount()) return kAbsent;
    const RateGrid g = RateLayout();
    const TRect t = TrackRect();
    const int x = t.Left + static_cast<int>(index % g.cols) * g.cw;
    const int y = t.Top + static_cast<int>(index / g.cols) * g.ch;
    return {x, y, x + g.cw, y + g.ch};
}

int64_t TCustomTrackBar::RateValueAt(int x, int y) const {
    const RateGrid g = RateLayout();
    const TRect t = TrackRect();
    if (g.cw <= 0 || g.ch <= 0 || x < t.Left || y < t.Top) return min_;
    const int64_t col = (x - t.Left) / g.cw, row = (y - t.Top) / g.ch;
    if (col >= g.cols || row >= g.rows) return min_;
    const int64_t index = row * g.cols + col;
    return index < RateCellCount() ? int64_t(min_) + 1 + index : min_;
}

bool TCustomTrackBar::Inside(const TRect& r, int x, int y) const {
    return x >= r.Left && x < r.Right && y >= r.Top && y < r.Bottom;
}

// Input ----------------------------------------------------------------------------------

void TCustomTrackBar::StartRepeatTimer() {
    if (!repeatTimer_) {
        repeatTimer_ = timers_->Create(buttons_->InitRepeatPause(), false);
        repeatTimer_->OnTimer = [this] {
            // A timer slot: a step that fails stops the repeat and goes no further.
            try {
                ButtonRepeat();
            } catch (...) {
                repeatTimer_->SetEnabled(false);
            }
        };
    }
    repeatTimer_->SetInterval(buttons_->InitRepeatPause());
    repeatTimer_->SetEnabled(true);
}

void TCustomTrackBar::ButtonRepeat() {
    repeatTimer_->SetInterval(buttons_->RepeatPause());
    if (!captured_) return;
    if (pageClick_) PageStepTowardClick();
    else if (minButtonDown_) StepDown();
    else if (maxButtonDown_) StepUp();
    else repeatTimer_->SetEnabled(false);
}

void TCustomTrackBar::PageStepTowardClick() {
    const TRect t = TrackRect();
    const int len = orientation_ == trHorizontal ? t.Width() : t.Height();
    const double p = max_ == min_ ? 0.0 : double(len - GetThumbWidth()) / (double(max_) - min_);
    const int offset = static_cast<int>(std::nearbyint(double(int64_t(position_) - min_) * p));
    if (orientation_ == trHorizontal) {
        const int thumbX = t.Left + offset;
        int cx = clickPoint_.x();
        if (cx < thumbX) cx -= PointerOffset();
        if (p <= std::abs(cx - thumbX))
            SetPosition(Saturated(cx < thumbX ? int64_t(position_) - pageSize_ : int64_t(position_) + pageSize_));
    } else {
        const int thumbY = t.Bottom - offset;
        int cy = clickPoint_.y();
        if (cy >= thumbY) cy += PointerOffset();
        if (p <= std::abs(cy - thumbY))
            SetPosition(Saturated(cy < thumbY ? int64_t(position_) + pageSize_ : int64_t(position_) - pageSize_));
    }
}

void TCustomTrackBar::MouseDown(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    emit OnMouseDown(button, shift, x, y);
    if (!hasFocus() && focusPolicy() != Qt::NoFocus) setFocus(Qt::MouseFocusReason);
    captured_ = true;
    const bool inMin = buttons_->Visible() && Inside(MinButtonRect(), x, y);
    const bool inMax = buttons_->Visible() && Inside(MaxButtonRect(), x, y);
    const TRect thumb = ThumbRect();
    const bool inThumb = Inside(thumb, x, y);
    if (!RatingMode() && button == Qt::LeftButton && !inThumb && moveOnClick_ != mcStep && !inMin && !inMax) {
        SetPosition(ValueFromPoint(x, y));
        if (moveOnClick_ == mcMoveSlide) thumbDown_ = dragging_ = true;
        return;
    }
    if (button != Qt::LeftButton || RatingMode()) return;
    if (!inThumb) {
        TRect grown = TrackRect();
        grown.Inflate(4, 4);
        if (Inside(grown, x, y) && CanPageClick()) {
            pageClick_ = true;
            clickPoint_ = QPoint(x, y);
            PageStepTowardClick();
            StartRepeatTimer();
        } else if (buttons_->Visible()) {
            if (inMin && !minButtonDown_) {
                minButtonDown_ = true;
                InvalidateRect(MinButtonRect());
                if (buttons_->RepeatClick()) StartRepeatTimer();
            } else if (inMax && !maxButtonDown_) {
                maxButtonDown_ = true;
                InvalidateRect(MaxButtonRect());
                if (buttons_->RepeatClick()) StartRepeatTimer();
            }
        }
    } else if (CanDragThumb()) {
        dragging_ = thumbDown_ = true;
        InvalidateRect(thumb);
    }
}

void TCustomTrackBar::ShowHint(int value) {
    lastHintValue_ = value;
    QString text = QString::number(value);
    if (OnGetTrackHint) OnGetTrackHint(this, value, text);
    QPalette p = hintWindow_->palette();
    p.setColor(QPalette::Window, ToQColor(kSystemColor | 24)); // clInfoBk
    hintWindow_->setPalette(p);
    const QPoint at = QCursor::pos() + QPoint(10, 0);
    const QFontMetrics fm(hintWindow_->font());
    const QRect bounds = fm.boundingRect(QRect(0, 0, 100, 0xFFFF), Qt::TextWordWrap, text);
    hintWindow_->ActivateHint(QRect(at, bounds.size()), text);
    hintShown_ = true;
}

void TCustomTrackBar::MouseMove(Qt::KeyboardModifiers shift, int x, int y) {
    emit OnMouseMove(shift, x, y);
    if (RatingMode()) return;
    if (dragging_) {
        const int v = ValueFromPoint(x, y);
        if (v != position_ && trackHint_ && v != lastHintValue_) ShowHint(v);
        pageClick_ = false;
        SetPosition(v);
        return;
    }
    if (buttons_->Visible()) {
        const TRect minR = MinButtonRect(), maxR = MaxButtonRect();
        const bool inMin = Inside(minR, x, y), inMax = Inside(maxR, x, y);
        if (inMin && !minButtonHot_) {
            minButtonHot_ = true;
            InvalidateRect(minR);
        } else if (!inMin && minButtonHot_) {
            minButtonHot_ = minButtonDown_ = false;
            InvalidateRect(minR);
        }
        if (inMax && !maxButtonHot_) {
            maxButtonHot_ = true;
            InvalidateRect(maxR);
        } else if (!inMax && maxButtonHot_) {
            maxButtonHot_ = maxButtonDown_ = false;
            InvalidateRect(maxR);
        }
    }
    const TRect thumb = ThumbRect();
    const bool inThumb = Inside(thumb, x, y) && CanDragThumb();
    if (inThumb && !thumbHot_) {
        thumbHot_ = true;
        InvalidateRect(thumb);
    } else if (!inThumb && thumbHot_) {
        thumbHot_ = thumbDown_ = false;
        InvalidateRect(thumb);
    }
}

void TCustomTrackBar::MouseUp(Qt::MouseButton button, Qt::KeyboardModifiers shift, int x, int y) {
    if (repeatTimer_) repeatTimer_->SetEnabled(false);
    pageClick_ = false;
    captured_ = false;
    if (RatingMode()) {
        if (button == Qt::LeftButton) {
            // Cells do not overlap: the one under the point is the first hit.
            const int64_t hit = RateValueAt(x, y);
            const bool found = hit > min_;
            if (found) SetPosition(static_cast<int>(hit));
            const TRect first = min_ < max_ ? RateCell(min_ + 1) : kAbsent;
            if (!found && first.Left >= 0 && x >= first.Left - 4 && x < first.Left && y >= first.Top &&
                y < first.Bottom)
                SetPosition(min_);
        }
    } else if (button == Qt::LeftButton) {
        if (hintShown_) {
            hintWindow_->hide();
            hintShown_ = false;
        }
        dragging_ = false;
        if (thumbDown_) {
            thumbDown_ = false;
            const TRect thumb = ThumbRect();
            if (!Inside(thumb, x, y)) thumbHot_ = false;
            InvalidateRect(thumb);
        }
        if (buttons_->Visible()) {
            if (Inside(MinButtonRect(), x, y) && minButtonDown_) {
                minButtonDown_ = false;
                InvalidateRect(MinButtonRect());
                StepDown();
            } else if (Inside(MaxButtonRect(), x, y) && maxButtonDown_) {
                maxButtonDown_ = false;
                InvalidateRect(MaxButtonRect());
                StepUp();
            }
        }
    }
    emit OnMouseUp(button, shift, x, y);
}

void TCustomTrackBar::MouseLeave() {
    if (minButtonHot_ || minButtonDown_) {
        minButtonHot_ = minButtonDown_ = false;
        InvalidateRect(MinButtonRect());
    }
    if (maxButtonHot_ || maxButtonDown_) {
        maxButtonHot_ = maxButtonDown_ = false;
        InvalidateRect(MaxButtonRect());
    }
    if ((thumbHot_ || thumbDown_) && !dragging_) {
        thumbHot_ = thumbDown_ = false;
        InvalidateRect(ThumbRect());
    }
}

void TCustomTrackBar::KeyDown(int key, Qt::KeyboardModifiers shift) {
    if (shift & Qt::ShiftModifier) return;
    const bool horizontal = orientation_ == trHorizontal;
    switch (key) {
    case Qt::Key_PageUp: SetPosition(Saturated(int64_t(position_) + pageSize_)); break;
    case Qt::Key_PageDown: SetPosition(Saturated(int64_t(position_) - pageSize_)); break;
    case Qt::Key_End: SetPosition(horizontal ? GetMaxValue() : GetMinValue()); break;
    case Qt::Key_Home: SetPosition(horizontal ? GetMinValue() : GetMaxValue()); break;
    case Qt::Key_Up:
    case Qt::Key_Right:
        if (position_ < max_) SetPosition(position_ + 1);
        break;
    case Qt::Key_Left:
    case Qt::Key_Down:
        if (position_ > min_) SetPosition(position_ - 1);
        break;
    default: break;
    }
}

void TCustomTrackBar::MouseWheel(bool up) {
    if (up) {
        if (position_ < max_) SetPosition(position_ + 1);
    } else if (position_ > min_) {
        SetPosition(position_ - 1);
    }
}

// Qt events ------------------------------------------------------------------------------

void TCustomTrackBar::mousePressEvent(QMouseEvent* e) {
    MouseDown(e->button(), e->modifiers(), e->position().toPoint().x(), e->position().toPoint().y());
}
void TCustomTrackBar::mouseMoveEvent(QMouseEvent* e) {
    MouseMove(e->modifiers(), e->position().toPoint().x(), e->position().toPoint().y());
}
void TCustomTrackBar::mouseReleaseEvent(QMouseEvent* e) {
    MouseUp(e->button(), e->modifiers(), e->position().toPoint().x(), e->position().toPoint().y());
}
void TCustomTrackBar::leaveEvent(QEvent* e) {
    MouseLeave();
    QWidget::leaveEvent(e);
}
void TCustomTrackBar::keyPressEvent(QKeyEvent* e) { KeyDown(e->key(), e->modifiers()); }
void TCustomTrackBar::wheelEvent(QWheelEvent* e) {
    if (e->angleDelta().y() != 0) MouseWheel(e->angleDelta().y() > 0);
    e->accept();
}
void TCustomTrackBar::focusInEvent(QFocusEvent* e) {
    update();
    QWidget::focusInEvent(e);
}
void TCustomTrackBar::focusOutEvent(QFocusEvent* e) {
    update();
    QWidget::focusOutEvent(e);
}
void TCustomTrackBar::changeEvent(QEvent* e) {
    if (e->type() == QEvent::EnabledChange) update();
    QWidget::changeEvent(e);
}

void TCustomTrackBar::paintEvent(QPaintEvent*) {
    const QImage image = Render();
    QPainter(this).drawImage(0, 0, image);
}

} // namespace orvane::controls
