// How the track bar paints itself: background, label, slider, ticks, thumb
// and end buttons, or the rating cells.
#include "Canvas.h"
#include "SeekTrackBar.h"
#include "TrackDraw.h"

#include <QPainterPath>
#include <QTransform>

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace orvane::controls {

namespace {

const TRect kAbsent{-1, -1, -1, -1};
// A rounded groove has corner ellipses of 7 x 7 pixels.
constexpr double kSliderCorner = 3.5;

QRect ToQRect(const TRect& r) { return QRect(r.Left, r.Top, r.Width(), r.Height()); }

// A picture at its own size with its top-left at (x, y).
void DrawPicture(TCanvas& canvas, const TGpPicture* picture, int x, int y) {
    const_cast<TGpPicture*>(picture)->UpdateSize();
    picture->Draw(canvas, {x, y, x + picture->Width(), y + picture->Height()});
}

// Both colours: a gradient; one: a plain fill of the first; none: nothing.
void FillColours(TCanvas& canvas, TColor from, TColor to, TGradientDirection direction, const TRect& r,
                 int steps) {
    if (from != clNone && to != clNone) DrawGradient(canvas, from, to, direction, r, steps);
    else if (from != clNone) canvas.FillRect(r, ColorToRGB(from));
}

TGradientDirection FromGpGradient(TGpGradient g) {
    switch (g) {
    case ggRadial: return gdHorizontal;
    case ggVertical: return gdVertical;
    case ggDiagonalForward: return gdHorizontalInOut;
    case ggDiagonalBackward: return gdVerticalInOut;
    }
    return gdVertical;
}

void Line(TCanvas& canvas, TColor color, int x1, int y1, int x2, int y2) {
    canvas.PenColor = ColorToRGB(color);
    canvas.MoveTo(x1, y1);
    canvas.LineTo(x2, y2);
}

// A rounded outline in the canvas's pixel rules (end-exclusive box).
void RoundOutline(TCanvas& canvas, const TRect& r, double radius, TColor color) {
    QPainter& p = canvas.Painter();
    p.save();
    p.setRenderHint(QPainter::Antialiasing, false);
    p.setPen(QPen(ToQColor(color), 1));
    p.setBrush(Qt::NoBrush);
    p.drawRoundedRect(QRectF(r.Left, r.Top, r.Width() - 1, r.Height() - 1), radius, radius);
    p.restore();
}

QPainterPath RoundedPath(const TRect& r, double radius) {
    QPainterPath path;
    path.addRoundedRect(QRectF(r.Left, r.Top, r.Width(), r.Height()), radius, radius);
    return path;
}

} // namespace

QImage TCustomTrackBar::Render() const {
    QImage image(std::max(1, width()), std::max(1, height()), QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    TCanvas canvas(image);
    Paint(canvas);
    return image;
}

void TCustomTrackBar::Paint(TCanvas& canvas) const {
    // The transparent underlay is the parent's own painting: the widget
    // leaves its background unfilled, so only the control's layers go here.
    PaintBackground(canvas);
    if (RatingMode()) {
        PaintRating(canvas);
        return;
    }
    PaintLabel(canvas);
    DrawSlider(canvas);
    PaintTicks(canvas);
    DrawThumb(canvas);
    if (buttons_->Visible()) {
        PaintButton(canvas, false);
        PaintButton(canvas, true);
    }
    if (hasFocus() && showFocus_) DrawFocusFrame(canvas, {0, 0, width() - 1, height() - 1}, clBlack);
}

void TCustomTrackBar::PaintBackground(TCanvas& canvas) const {
    const bool enabled = isEnabled();
    const TGpPicture* picture = enabled || backGroundDisabled_->Empty() ? backGround_ : backGroundDisabled_;
    const TColor from = enabled ? color_ : colorDisabled_;
    const TColor to = enabled ? colorTo_ : colorDisabledTo_;
    const TColor border = enabled ? borderColor_ : borderColorDisabled_;
    const TRect client{0, 0, width(), height()};
    if (!picture->Empty()) {
        if (backGroundStretched_) {
            const_cast<TGpPicture*>(picture)->UpdateSize();
            QImage own(std::max(1, picture->Width()), std::max(1, picture->Height()),
                       QImage::Format_ARGB32_Premultiplied);
            own.fill(Qt::transparent);
            {
                TCanvas c(own);
                picture->Draw(c, {0, 0, own.width(), own.height()});
            }
            canvas.StretchDraw(client, own);
        } else {
            DrawPicture(canvas, picture, 0, 0);
        }
    } else if (!transparent_) {
        if (from != clNone && to != clNone) DrawGradient(canvas, from, to, direction_, client, 80);
        else if (from != clNone) canvas.FillRect(client, ColorToRGB(from));
    }
    if (border != clNone && borderWidth_ >= 1) {
        const TColor c = ColorToRGB(border);
        for (int i = 0; i < borderWidth_; ++i) {
            TRect r = client;
            r.Inflate(-i, -i);
            canvas.PenColor = c;
            canvas.BrushStyle = TBrushStyle::bsClear;
            canvas.Rectangle(r);
        }
        canvas.BrushStyle = TBrushStyle::bsSolid;
    }
}

void TCustomTrackBar::PaintLabel(TCanvas& canvas) const {
    if (!trackLabel_->Visible()) return;
    QString text;
    GetLabelText(text);
    canvas.Font = trackLabel_->Font();
    canvas.FontColor = ColorToRGB(trackLabel_->FontColor());
    canvas.BrushStyle = TBrushStyle::bsClear;
    TRect r = LabelRect(true);
    const TLabelPosition pos = trackLabel_->Position();
    if (orientation_ == trHorizontal) {
        unsigned flags = DT_SINGLELINE | DT_NOPREFIX;
        if (pos == lpTopCenter || pos == lpBottomCenter) flags |= DT_CENTER;
        else if (pos == lpTopLeft || pos == lpBottomLeft) flags |= DT_LEFT;
        else flags |= DT_RIGHT;
        flags |= (pos == lpTopCenter || pos == lpTopLeft || pos == lpTopRight) ? DT_VCENTER : DT_BOTTOM;
        canvas.DrawText(text, r, flags);
    } else {
        // Turned a quarter clockwise-back so that it reads upward from Top.
        QPainter& p = canvas.Painter();
        p.save();
        p.translate(r.Left + 3, r.Top);
        p.rotate(-90);
        p.setFont(trackLabel_->Font());
        p.setPen(ToQColor(ColorToRGB(trackLabel_->FontColor())));
        p.drawText(0, QFontMetrics(trackLabel_->Font()).ascent(), text);
        p.restore();
    }
    canvas.BrushStyle = TBrushStyle::bsSolid;
}

void TCustomTrackBar::DrawSlider(TCanvas& canvas) const {
    if (RatingMode() || slider_->Size() <= 0 || !slider_->Visible()) return;
    const bool enabled = isEnabled();
    const TTrackBarSlider& s = *slider_;
    const TGpPicture* picture = enabled || s.PictureDisabled()->Empty() ? s.Picture() : s.PictureDisabled();
    const TGpPicture* completedPicture = enabled ? s.PictureCompleted() : s.PictureCompletedDisabled();
    const TColor border = enabled ? s.BorderColor() : s.BorderColorDisabled();
    const TColor from = enabled ? s.Color() : s.ColorDisabled();
    const TColor to = enabled ? s.ColorTo() : s.ColorDisabledTo();
    const TColor cFrom = enabled ? s.ColorCompleted() : s.ColorCompletedDisabled();
    const TColor cTo = enabled ? s.ColorCompletedTo() : s.ColorCompletedDisabledTo();

    const TRect slider = SliderRect();
    const bool completed = !(cFrom == clNone && completedPicture->Empty());
    TRect done = kAbsent, rest = slider;
    if (completed) {
        const TRect thumb = ThumbRect();
        if (orientation_ == trHorizontal) {
            const int split = thumb.Left + thumb_->Width() / 2;
            done = {slider.Left, slider.Top, split, slider.Bottom};
            rest = {split - 1, slider.Top, slider.Right, slider.Bottom};
        } else {
            const int split = thumb.Bottom - thumb_->Width() / 2;
            done = {slider.Left, split, slider.Right, slider.Bottom};
            rest = {slider.Left, slider.Top, slider.Right, split + 1};
        }
        if (position_ <= min_) {
            done = kAbsent;
            rest = slider;
        } else if (position_ >= max_) {
            done = slider;
            rest = kAbsent;
        }
    }

    QPainter& p = canvas.Painter();
    if (picture->Empty()) {
        p.save();
        if (s.Rounded()) p.setClipPath(RoundedPath(slider, kSliderCorner), Qt::IntersectClip);
        if (done != kAbsent) FillColours(canvas, cFrom, cTo, s.Direction(), done, s.StepCount());
        if (rest != kAbsent) FillColours(canvas, from, to, s.Direction(), rest, s.StepCount());
        p.restore();
    } else {
        auto place = [&](const TGpPicture* pic, const TRect& part) {
            if (pic->Empty() || part == kAbsent) return;
            if (s.PictureStretched()) {
                pic->Draw(canvas, part);
            } else if (part.Left > 0 && part.Right > 0) {
                p.save();
                p.setClipRect(ToQRect(part), Qt::IntersectClip);
                DrawPicture(canvas, pic, slider.Left, slider.Top);
                p.restore();
            }
        };
        place(completedPicture, done);
        place(picture, rest);
    }

    if (border == clNone) return;
    if (s.Rounded()) {
        RoundOutline(canvas, slider, kSliderCorner, ColorToRGB(border));
        if (s.Border3D()) {
            TRect inner = slider;
            inner.Inflate(-1, -1);
            RoundOutline(canvas, inner, kSliderCorner, clWhite);
        }
    } else if (s.Border3D()) {
        Draw3DFrame(canvas, slider, true, BlendColor(border, clWhite, 10), border);
    } else {
        canvas.PenColor = ColorToRGB(border);
        canvas.BrushStyle = TBrushStyle::bsClear;
        canvas.Rectangle(slider);
        canvas.BrushStyle = TBrushStyle::bsSolid;
    }
}

void TCustomTrackBar::PaintTicks(TCanvas& canvas) const {
    const TTrackBarTick& tm = *tickMark_;
    tickPaint_ = {};
    if (RatingMode() || tm.Size() <= 0 || tm.Style() != tsAuto) return;
    TRect band1, band2;
    GetTickRect1(band1);
    GetTickRect2(band2);
    const TRect track = TrackRect();
    const bool horizontal = orientation_ == trHorizontal;
    const bool useBand1 = tm.Position() == tmTopLeft || tm.Position() == tmBoth;
    const bool useBand2 = tm.Position() == tmBottomRight || tm.Position() == tmBoth;
    int64_t last = max_;
    if (!OnDrawTick && !tm.ShowText()) {
        const TRect& b = tm.Position() == tmTopLeft ? band1 : band2;
        const int bandStart = horizontal ? b.Left : b.Top;
        last = std::min<int64_t>(max_, int64_t(min_) + (std::max(width(), height()) - 2 * bandStart) / 2);
    }
    const int len = horizontal ? track.Width() : track.Height();
    const double perValue = last == min_ ? 0.0 : double(len - GetThumbWidth()) / double(last - min_);
    const TColor color = isEnabled() ? tm.Color() : tm.ColorDisabled();
    const int textH = tm.ShowText() ? tickTextHeight_ : 0;
    const int steps = tm.ShowImageAtSteps();
    auto offsetOf = [&](int64_t v) { return static_cast<int>(std::nearbyint(double(v - min_) * perValue)); };

    // The range may hold billions of values and the track a few hundred
    // pixels, so a paint visits tick positions by pixel, never by value:
    // the first value that lands on a new pixel is the one drawn there.
    // Without a handler and at every step, a tick needs two pixels past the
    // one before; otherwise each pixel takes the first value that may be
    // drawn on it. At the thumb only, no tick is drawn before the thumb's,
    // so nothing stands in its way, whatever shares its pixel.
    const bool spaced = !OnDrawTick && steps == 1;
    int64_t first = min_, stride = 1, count = last - int64_t(min_) + 1;
    if (tm.ShowImageAtThumbOnly()) {
        const bool onStep = steps <= 1 || position_ % steps == 0;
        first = position_;
        count = position_ >= min_ && position_ <= last && onStep ? 1 : 0;
    } else if (!spaced && steps > 1) {
        const int64_t r = ((int64_t(min_) % steps) + steps) % steps;
        first = r == 0 ? int64_t(min_) : int64_t(min_) + (steps - r);
        stride = steps;
        count = first > last ? 0 : (last - first) / steps + 1;
    }
    auto at = [&](int64_t i) { return first + i * stride; };
    // Offsets only ever grow (or, on a track shorter than the thumb, only
    // ever shrink) with the value, so the next tick is found by halving.
    const int direction = perValue < 0 ? -1 : 1;
    auto beyond = [&](int64_t i, int previous) {
        const int offset = offsetOf(at(i));
        return spaced ? offset > previous + 1 : (offset - previous) * direction >= 1;
    };
    auto nextIndex = [&](int64_t i, int previous) -> int64_t {
        if (i + 1 >= count) return count;
        if (beyond(i + 1, previous)) return i + 1;
        int64_t lo = i + 1, hi = count - 1;
        if (!beyond(hi, previous)) return count;
        while (hi - lo > 1) {
            const int64_t mid = lo + (hi - lo) / 2;
            if (beyond(mid, previous)) hi = mid;
            else lo = mid;
        }
        return hi;
    };
    for (int64_t index = 0; index < count;) {
        const int64_t value = at(index);
        const int v = static_cast<int>(value);
        const int offset = offsetOf(value);
        ++tickPaint_.visited;
        index = nextIndex(index, offset);
        for (int band = 1; band <= 2; ++band) {
            if ((band == 1 && !useBand1) || (band == 2 && !useBand2)) continue;
            const TRect& b = band == 1 ? band1 : band2;
            bool draw = true;
            int length = tm.Size();
            TColor lineColor = color, textColor = tm.FontColor();
            QString text;
            if (tm.ShowText()) {
                text = QString::number(v);
                if (OnGetTickMarkText) OnGetTickMarkText(const_cast<TCustomTrackBar*>(this), v, text);
            }
            // The tick's foot: band 1 at its outer edge, band 2 at its inner
            // one, which are both the band's top (or left) edge.
            const QPoint foot = horizontal ? QPoint(b.Left + offset, b.Top) : QPoint(b.Left, b.Bottom - offset);
            if (OnDrawTick)
                OnDrawTick(const_cast<TCustomTrackBar*>(this), canvas, foot, v, band == 1 ? tmTopLeft : tmBottomRight,
                           length, lineColor, textColor, text, draw);
            if (tm.ShowImageAtThumbOnly() && v != position_) draw = false;
            if (tm.ShowImageAtSteps() > 1 && v % tm.ShowImageAtSteps() != 0) draw = false;
            if (!draw) continue;
            ++tickPaint_.drawn;
            if (!tickImages_ || tickImages_->Images.empty()) {
                if (horizontal) {
                    const int y0 = band == 1 ? b.Top + textH : b.Top;
                    const int x = b.Left + offset;
                    Line(canvas, lineColor, x, y0, x, y0 + length);
                    if (tm.Line3D()) Line(canvas, BlendColor(lineColor, clWhite, 10), x + 1, y0, x + 1, y0 + length);
                } else {
                    const int x0 = band == 1 ? b.Left + textH : b.Left;
                    const int y = b.Bottom - offset;
                    Line(canvas, lineColor, x0, y, x0 + length, y);
                    if (tm.Line3D()) Line(canvas, BlendColor(lineColor, clWhite, 10), x0, y + 1, x0 + length, y + 1);
                }
            } else {
                const auto& images = tickImages_->Images;
                const QImage& img = images[v >= 0 && size_t(v) < images.size() ? size_t(v) : 0];
                QImage shown = isEnabled() ? img : img.convertToFormat(QImage::Format_Grayscale8);
                if (horizontal) canvas.Draw(b.Left + offset - shown.width() / 2, b.Top, shown);
                else canvas.Draw(b.Left, b.Bottom - offset - shown.height() / 2, shown);
            }
            if (tm.ShowText()) {
                ++tickPaint_.texts;
                canvas.Font = tm.Font();
                canvas.FontColor = ColorToRGB(textColor);
                canvas.BrushStyle = TBrushStyle::bsClear;
                const int tw = canvas.TextWidth(text), th = canvas.TextHeight(text);
                if (horizontal) {
                    const int x = b.Left + offset - tw / 2;
                    const int y = band == 1 ? b.Top + tickTextPad_ - tickTextHeight_ + textH : b.Bottom - textH + tickTextPad_;
                    canvas.TextOut(x, y, text);
                } else {
                    // Beside the tick, TickTextPad from its line: before band 1's
                    // ticks (which start textH inside the band), after band 2's.
                    const int y = b.Bottom - offset;
                    const int before = b.Left + textH - tickTextPad_; // right edge of a band-1 text
                    const int after = b.Left + tm.Size() + tickTextPad_; // left edge of a band-2 text
                    if (!tm.RotateFontVert()) {
                        canvas.TextOut(band == 1 ? before - tw : after, y - th / 2, text);
                    } else {
                        // Turned a quarter: band 1 reads upward, band 2 downward; the
                        // text's height now lies across the bar, its width along it.
                        QPainter& p = canvas.Painter();
                        p.save();
                        if (band == 1) {
                            p.translate(before - th, y + tw / 2);
                            p.rotate(-90);
                        } else {
                            p.translate(after + th, y - tw / 2);
                            p.rotate(90);
                        }
                        canvas.TextOut(0, 0, text);
                        p.restore();
                    }
                }
                canvas.BrushStyle = TBrushStyle::bsSolid;
            }
        }
    }
}

void TCustomTrackBar::DrawThumb(TCanvas& canvas) const {
    const TTrackBarThumb& t = *thumb_;
    if (RatingMode() || t.Size() < 1) return;
    if (!t.ShowAtMinMax() && (position_ == min_ || position_ == max_)) return;
    const TRect r = ThumbRect();
    const TElementState state = !isEnabled() ? esDisabled : thumbDown_ ? esDown : thumbHot_ ? esHot : esNormal;
    const TStateColours c = t.Colours(state);
    const TColor border = c.border, color = c.color, colorTo = c.colorTo, mirror = c.mirror, mirrorTo = c.mirrorTo;
    const TGpPicture* picture = state == esDisabled ? t.PictureDisabled()
                                : state == esDown   ? t.PictureDown()
                                : state == esHot    ? t.PictureHot()
                                                    : t.Picture();
    if (picture->Empty()) picture = t.Picture();
    if (!picture->Empty()) {
        DrawPicture(canvas, picture, r.Left, r.Top);
        return;
    }
    const bool horizontal = orientation_ == trHorizontal;
    const TGradientDirection direction = FromGpGradient(t.Gradient());
    const TThumbColors colours{color, colorTo, border, clWhite};
    QPainter& p = canvas.Painter();

    auto fill = [&](const QPainterPath& clip) {
        p.save();
        p.setClipPath(clip, Qt::IntersectClip);
        if (color != clNone && colorTo != clNone) {
            if (mirror == clNone || mirrorTo == clNone) {
                DrawGradient(canvas, color, colorTo, direction, r, t.StepCount());
            } else {
                std::unique_ptr<TGPGraphics> g(new TGPGraphics(&p));
                DrawMirrorFill(g.get(), canvas, r, !horizontal, t.GradientMirror(), t.Gradient(), mirrorTo, mirror,
                               colorTo, color, clNone, clNone, bsRectangle);
            }
        } else if (color != clNone) {
            canvas.FillRect(r, ColorToRGB(color));
        }
        p.restore();
    };
    auto grip = [&] {
        if (border == clNone) return;
        const int mx = r.Left + r.Width() / 2, my = r.Top + r.Height() / 2;
        if (horizontal) {
            const int l = r.Height() / 2 - 2;
            Line(canvas, border, mx, my - l / 2, mx, my - l / 2 + l);
        } else {
            const int l = r.Width() / 2 - 2;
            Line(canvas, border, mx - l / 2, my, mx - l / 2 + l, my);
        }
    };

    switch (t.Shape()) {
    case tsPointer: {
        const TTickMark ticks = tickMark_->Position();
        const QPoint tip1 = horizontal ? QPoint(r.Left + r.Width() / 2, r.Top) : QPoint(r.Left, r.Top + r.Height() / 2);
        const QPoint tip2 = horizontal ? QPoint(r.Left + r.Width() / 2, r.Bottom) : QPoint(r.Right, r.Top + r.Height() / 2);
        const std::unique_ptr<TGPGraphicsPath> path = CreatePointerPath(r, tip1, tip2, ticks, !horizontal);
        fill(*path->Native());
        if (border != clNone) {
            const QPolygonF poly = path->Native()->toFillPolygon();
            for (int i = 0; i + 1 < poly.size(); ++i)
                Line(canvas, border, int(poly[i].x()), int(poly[i].y()), int(poly[i + 1].x()), int(poly[i + 1].y()));
            if (horizontal) Line(canvas, clWhite, r.Left + 1, r.Top + 1, r.Left + 1, r.Bottom - r.Width() / 2);
            else Line(canvas, clWhite, r.Left + 1, r.Top + 1, r.Right - r.Height() / 2, r.Top + 1);
        }
        grip();
        break;
    }
    case tsRectangle:
    case tsRoundRect:
    case tsRound: {
        const int radius = t.Shape() == tsRectangle ? 1 : t.Shape() == tsRoundRect ? 8 : t.Size() / 2;
        fill(RoundedPath(r, radius));
        if (border != clNone) {
            if (t.Shape() == tsRound) {
                RoundOutline(canvas, r, radius, ColorToRGB(border));
            } else {
                RoundOutline(canvas, r, radius, clWhite);
                TRect in = r;
                in.Inflate(-1, -1);
                RoundOutline(canvas, in, radius, ColorToRGB(border));
                if (t.Shape() == tsRectangle) {
                    in.Inflate(-1, -1);
                    canvas.PenColor = clWhite;
                    canvas.BrushStyle = TBrushStyle::bsClear;
                    canvas.Rectangle(in);
                    canvas.BrushStyle = TBrushStyle::bsSolid;
                }
            }
        }
        grip();
        break;
    }
    case tsLine: {
        if (t.Style() != 0) break;
        const int m = (horizontal ? r.Width() : r.Height()) / 2;
        const TColor lines[4] = {colorTo, color, BlendColor(color, clWhite, 60), BlendColor(color, clWhite, 10)};
        for (int i = 0; i < 4; ++i) {
            if (lines[i] == clNone) continue;
            if (horizontal) Line(canvas, lines[i], r.Left + m - 1 + i, r.Top, r.Left + m - 1 + i, r.Bottom);
            else Line(canvas, lines[i], r.Left, r.Top + m - 1 + i, r.Right, r.Top + m - 1 + i);
        }
        break;
    }
    case tsPointerLeftUp: DrawPointerThumbLeftUp(canvas, r, !horizontal, direction, t.StepCount(), colours); break;
    case tsPointerRightUp:
        DrawPointerThumbRightUp(canvas, r, true, !horizontal, direction, t.StepCount(), colours);
        break;
    case tsTriangle:
    case tsTriangleLeft:
    case tsTriangleRight: {
        const TTickMark ticks = tickMark_->Position();
        int kind;
        if (t.Shape() == tsTriangle) {
            if (horizontal) kind = ticks == tmTopLeft ? 2 : ticks == tmBottomRight ? 3 : 5;
            else kind = ticks == tmTopLeft ? 0 : ticks == tmBottomRight ? 1 : 4;
        } else if (t.Shape() == tsTriangleLeft) {
            kind = horizontal ? 0 : 2;
        } else {
            kind = horizontal ? 1 : 3;
        }
        DrawTriangleThumb(canvas, r, kind, direction, t.StepCount(), colours);
        break;
    }
    }
}

void TCustomTrackBar::PaintButton(TCanvas& canvas, bool maxEnd) const {
    const TTrackBarButtons& b = *buttons_;
    const bool down = maxEnd ? maxButtonDown_ : minButtonDown_;
    const bool hot = maxEnd ? maxButtonHot_ : minButtonHot_;
    const TRect r = maxEnd ? MaxButtonRect() : MinButtonRect();
    const TGpPicture* picture = down  ? (maxEnd ? b.MaxPictureDown() : b.MinPictureDown())
                                : hot ? (maxEnd ? b.MaxPictureHot() : b.MinPictureHot())
                                      : (maxEnd ? b.MaxPicture() : b.MinPicture());
    const TStateColours c = b.Colours(down ? esDown : hot ? esHot : esNormal);
    const TColor border = c.border, color = c.color, colorTo = c.colorTo, mirror = c.mirror, mirrorTo = c.mirrorTo;
    QPainter& p = canvas.Painter();
    const bool horizontal = orientation_ == trHorizontal;
    if (!picture->Empty()) {
        p.save();
        if (horizontal) p.setClipRect(ToQRect(r), Qt::IntersectClip);
        DrawPicture(canvas, picture, r.Left, r.Top);
        p.restore();
        return;
    }
    const int size = b.Size();
    const TColor light = BlendColor(border, clWhite, 30);
    {
        p.save();
        std::unique_ptr<TGPGraphics> g(new TGPGraphics(&p));
        if (b.Shape() == bsRound) {
            const TRect square = horizontal
                                     ? TRect{r.Left, r.Top + (r.Height() - size) / 2, r.Left + size,
                                             r.Top + (r.Height() - size) / 2 + size}
                                     : TRect{r.Left + (r.Width() - size) / 2, r.Top,
                                             r.Left + (r.Width() - size) / 2 + size, r.Top + size};
            const std::unique_ptr<TGPGraphicsPath> path =
                CreateRoundRectPath(square.Left, square.Top, size, size, size / 2);
            const std::unique_ptr<TGPRegion> region(new TGPRegion(path.get()));
            g->SetClip(region.get(), CombineModeIntersect);
            DrawMirrorFill(g.get(), canvas, square, !horizontal, b.GradientMirror(), b.Gradient(), mirrorTo, mirror,
                           colorTo, color, clNone, clNone, bsRound);
            g->ResetClip();
            DrawShapeBorder(*g, square, bsRound, !horizontal, border, light);
        } else {
            DrawMirrorFill(g.get(), canvas, r, !horizontal, b.GradientMirror(), b.Gradient(), mirrorTo, mirror,
                           colorTo, color, border, light, bsRectangle);
        }
        g.reset();
        p.restore();
    }
    // The glyph: a minus, or a plus, outlined in the state's colour.
    const int cx = r.Left + r.Width() / 2, cy = r.Top + r.Height() / 2;
    const bool turn = !horizontal && b.RotateText();
    auto bar = [&](int w, int h) {
        if (turn) std::swap(w, h);
        const TRect g{cx - w / 2, cy - h / 2, cx - w / 2 + w, cy - h / 2 + h};
        canvas.PenColor = ColorToRGB(color);
        canvas.BrushStyle = TBrushStyle::bsClear;
        canvas.Rectangle(g);
        canvas.BrushStyle = TBrushStyle::bsSolid;
        TRect in = g;
        in.Inflate(-1, -1);
        canvas.FillRect(in, ColorToRGB(border));
    };
    int w = size / 2 - 4;
    if (maxEnd && w % 2 != 0) ++w;
    bar(w + 4, 4);
    if (maxEnd) bar(3, w + 4);
}

void TCustomTrackBar::PaintRating(TCanvas& canvas) const {
    // Only the values that have a cell: Max may lie billions beyond them.
    const int64_t count = RateCellCount();
    for (int64_t i = 0; i < count; ++i) {
        const int v = static_cast<int>(int64_t(min_) + 1 + i);
        const TRect cell = RateCell(v);
        if (cell == kAbsent || cell.Left <= 0 || cell.Bottom <= 0) continue;
        DrawPicture(canvas, v <= position_ ? rateActive_ : rateInActive_, cell.Left, cell.Top);
    }
}

} // namespace orvane::controls
