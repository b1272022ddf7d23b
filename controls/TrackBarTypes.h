#pragma once
// The kinds the skinnable track bar and its element objects share, and the
// base of those elements: a settings object that tells its track bar of
// every visible change.
#include "Change.h"
#include "Gdi.h"

#include "GpPicture.h"

#include <QObject>

namespace orvane::controls {

class TCustomTrackBar;

enum TTrackBarOrientation { trHorizontal, trVertical };
enum TGradientDirection { gdHorizontal, gdVertical, gdHorizontalInOut, gdVerticalInOut };
enum TGpGradient { ggRadial, ggVertical, ggDiagonalForward, ggDiagonalBackward };
enum TThumbShape { tsPointer, tsRectangle, tsRoundRect, tsRound, tsLine, tsPointerLeftUp, tsPointerRightUp,
                   tsTriangle, tsTriangleLeft, tsTriangleRight };
enum TThumbPointer { tpLeft, tpCenter, tpRight };
enum TTickMark { tmBottomRight, tmTopLeft, tmBoth };
enum TTickStyle { tsNone, tsAuto, tsManual };
enum TMoveOnClick { mcStep, mcMove, mcMoveSlide };
enum TTrackButtonShape { bsRound, bsRectangle };
// The looks of the thumb and the end buttons: each state has its colours.
enum TElementState { esNormal, esHot, esDown, esDisabled };
struct TStateColours {
    TColor color, colorTo, mirror, mirrorTo, border;
};

// Writes a state's colours through an element's setters (the thumb and the
// end buttons name them alike); the disabled state is the thumb's own.
template <class E>
void SetStateColours(E& e, TElementState state, const TStateColours& c) {
    switch (state) {
    case esNormal:
        e.SetColor(c.color);
        e.SetColorTo(c.colorTo);
        e.SetColorMirror(c.mirror);
        e.SetColorMirrorTo(c.mirrorTo);
        e.SetBorderColor(c.border);
        break;
    case esHot:
        e.SetColorHot(c.color);
        e.SetColorHotTo(c.colorTo);
        e.SetColorMirrorHot(c.mirror);
        e.SetColorMirrorHotTo(c.mirrorTo);
        e.SetBorderColorHot(c.border);
        break;
    case esDown:
        e.SetColorDown(c.color);
        e.SetColorDownTo(c.colorTo);
        e.SetColorMirrorDown(c.mirror);
        e.SetColorMirrorDownTo(c.mirrorTo);
        e.SetBorderColorDown(c.border);
        break;
    case esDisabled: break;
    }
}

enum TLabelPosition { lpTopCenter, lpTopLeft, lpTopRight, lpBottomCenter, lpBottomLeft, lpBottomRight };

// Copies a picture's contents only when they differ, so an assignment that
// changes nothing announces nothing.
inline void AssignPicture(TGpPicture* to, const TGpPicture* from) {
    if (to->Empty() == from->Empty() && to->Data() == from->Data()) return;
    to->Assign(from);
}

class TTrackBarElement : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;
    // Copies a source of the same class; what else a source may be is the
    // element's own rule.
    virtual void Assign(const TTrackBarElement* source) = 0;
    TCustomTrackBar* Owner() const { return owner_; }
    void SetOwner(TCustomTrackBar* owner) { owner_ = owner; }

signals:
    void OnChange(QObject* sender);

protected:
    void Changed() { emit OnChange(this); }
    // A notifying property: a different value is stored and announced.
    template <class T, class U>
    void Set(T& field, const U& value) {
        if (Change(field, value)) Changed();
    }
    // The inherited assignment: classes that do not match cannot be assigned.
    [[noreturn]] void AssignError(const TTrackBarElement* source) const;
    bool Horizontal() const;

    TCustomTrackBar* owner_ = nullptr;
};

} // namespace orvane::controls

// A published property with a getter and a setter that notifies on change.
#define ORVANE_PROP(Type, Name, field)              \
    Type Name() const { return field; }             \
    void Set##Name(Type value) { Set(field, value); }
// A published plain field: written with no notification.
#define ORVANE_FIELD(Type, Name, field)             \
    Type Name() const { return field; }             \
    void Set##Name(Type value) { field = value; }
