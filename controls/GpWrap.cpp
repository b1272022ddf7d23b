#include "GpWrap.h"

#include <QBuffer>
#include <QIODevice>
#include <QLinearGradient>
#include <QRadialGradient>

#include <algorithm>
#include <cmath>
#include <cstring>
#include <new>

namespace orvane::controls {

namespace {

int startups = 0;

QColor Color(ARGB c) { return QColor::fromRgba(c); }

} // namespace

qreal ToPainterAngle(float clockwiseDegrees) { return -static_cast<qreal>(clockwiseDegrees); }

void GdiplusStartup() { ++startups; }

void GdiplusShutdown() {
    if (startups > 0) --startups;
}

bool GdiplusStarted() { return startups > 0; }

TImageFormat ImageFormatOf(const QByteArray& b) {
    auto starts = [&](const char* magic, int n) { return b.size() >= n && std::memcmp(b.constData(), magic, n) == 0; };
    if (starts("\x89PNG\r\n\x1a\n", 8)) return ifPNG;
    if (starts("\xFF\xD8\xFF", 3)) return ifJPEG;
    if (starts("GIF87a", 6) || starts("GIF89a", 6)) return ifGIF;
    if (starts("BM", 2)) return ifBMP;
    if (starts("II*\0", 4) || starts("MM\0*", 4)) return ifTIFF;
    if (starts("\0\0\1\0", 4)) return ifIcon;
    if (starts("\xD7\xCD\xC6\x9A", 4) || starts("\1\0\x09\0", 4)) return ifWMF;
    if (starts("\1\0\0\0", 4) && b.size() >= 44 && std::memcmp(b.constData() + 40, " EMF", 4) == 0) return ifEMF;
    return ifUndefined;
}

// --- TGdiplusBase ---

void* TGdiplusBase::operator new(std::size_t size) {
    if (!GdiplusStarted()) GdiplusStartup();
    return ::operator new(size);
}

void TGdiplusBase::operator delete(void* p) noexcept { ::operator delete(p); }

GpStatus TGdiplusBase::SetStatus(GpStatus status) {
    if (status != Ok) lastResult_ = status;
    return status;
}

// --- pens and brushes ---

TGPPen::TGPPen(ARGB color, float width) {
    if (width < 0) {
        SetStatus(InvalidParameter);
        return;
    }
    pen_ = QPen(Color(color), width, Qt::SolidLine, Qt::FlatCap, Qt::MiterJoin);
}

TGPSolidBrush::TGPSolidBrush(ARGB color) { brush_ = QBrush(Color(color)); }

TGPLinearGradientBrush::TGPLinearGradientBrush(const TGPRectF& r, ARGB color1, ARGB color2,
                                               LinearGradientMode mode) {
    if (r.Width <= 0 || r.Height <= 0) {
        SetStatus(InvalidParameter);
        return;
    }
    QPointF from(r.X, r.Y), to(r.X + r.Width, r.Y);
    switch (mode) {
    case LinearGradientModeVertical: to = QPointF(r.X, r.Y + r.Height); break;
    case LinearGradientModeForwardDiagonal: to = QPointF(r.X + r.Width, r.Y + r.Height); break;
    case LinearGradientModeBackwardDiagonal:
        from = QPointF(r.X + r.Width, r.Y);
        to = QPointF(r.X, r.Y + r.Height);
        break;
    default: break;
    }
    QLinearGradient g(from, to);
    g.setColorAt(0, Color(color1));
    g.setColorAt(1, Color(color2));
    g.setSpread(QGradient::RepeatSpread); // tiled beyond the rectangle
    brush_ = QBrush(g);
}

// --- paths ---

TGPGraphicsPath::TGPGraphicsPath(FillMode fillMode) {
    path_.setFillRule(fillMode == FillModeWinding ? Qt::WindingFill : Qt::OddEvenFill);
}

GpStatus TGPGraphicsPath::CloseFigure() {
    if (figureOpen_) path_.closeSubpath();
    figureOpen_ = false;
    return Ok;
}

// Lines and arcs continue the open figure, joined to it by a straight line.
GpStatus TGPGraphicsPath::AddLine(float x1, float y1, float x2, float y2) {
    if (figureOpen_) path_.lineTo(x1, y1);
    else path_.moveTo(x1, y1);
    path_.lineTo(x2, y2);
    figureOpen_ = true;
    return Ok;
}

GpStatus TGPGraphicsPath::AddArc(float x, float y, float width, float height, float startAngle,
                                 float sweepAngle) {
    if (width <= 0 || height <= 0) return SetStatus(InvalidParameter);
    const QRectF box(x, y, width, height);
    if (!figureOpen_) path_.arcMoveTo(box, ToPainterAngle(startAngle));
    path_.arcTo(box, ToPainterAngle(startAngle), ToPainterAngle(sweepAngle));
    figureOpen_ = true;
    return Ok;
}

GpStatus TGPGraphicsPath::AddEllipse(float x, float y, float width, float height) {
    if (width <= 0 || height <= 0) return SetStatus(InvalidParameter);
    path_.addEllipse(QRectF(x, y, width, height));
    figureOpen_ = false;
    return Ok;
}

// --- path gradient ---

TGPPathGradientBrush::TGPPathGradientBrush(const TGPGraphicsPath* path) {
    if (!path || path->Native()->elementCount() == 0) {
        SetStatus(path ? OutOfMemory : InvalidParameter);
        return;
    }
    path_ = *path->Native();
    valid_ = true;
    Rebuild();
}

// A radial ramp from the centre point to the path's bounds stands for the
// path gradient: exact for ellipses, close for the rounded shapes drawn here.
void TGPPathGradientBrush::Rebuild() {
    if (!valid_) return;
    const QRectF b = path_.boundingRect();
    const QPointF c = centerPoint_.value_or(b.center());
    const qreal rx = std::max({c.x() - b.left(), b.right() - c.x(), 0.5});
    const qreal ry = std::max({c.y() - b.top(), b.bottom() - c.y(), 0.5});
    QRadialGradient g(QPointF(0, 0), 1);
    g.setColorAt(0, Color(center_));
    g.setColorAt(1, Color(surround_.front()));
    QBrush brush(g);
    QTransform t;
    t.translate(c.x(), c.y());
    t.scale(rx, ry);
    brush.setTransform(t);
    brush_ = brush;
}

GpStatus TGPPathGradientBrush::SetCenterColor(ARGB color) {
    if (!valid_) return SetStatus(InvalidParameter);
    center_ = color;
    Rebuild();
    return lastResult_;
}

int TGPPathGradientBrush::GetPointCount() {
    if (!valid_) {
        SetStatus(InvalidParameter);
        return 0;
    }
    return path_.elementCount();
}

GpStatus TGPPathGradientBrush::SetSurroundColors(const ARGB* colors, int& count) {
    const int points = GetPointCount();
    if (!colors || points <= 0 || count <= 0 || count > points) return SetStatus(InvalidParameter);
    surround_.assign(colors, colors + count);
    Rebuild();
    return Ok;
}

GpStatus TGPPathGradientBrush::SetCenterPoint(const TGPPoint& point) {
    if (!valid_) return SetStatus(InvalidParameter);
    centerPoint_ = QPointF(point.X, point.Y);
    Rebuild();
    return Ok;
}

// --- region ---

TGPRegion::TGPRegion(const TGPGraphicsPath* path) {
    if (!path) {
        SetStatus(InvalidParameter);
        return;
    }
    path_ = *path->Native();
    valid_ = true;
}

// --- image ---

TGPImage::TGPImage(QIODevice* stream, bool /*useICM: no colour management on this layer*/) {
    if (!stream) {
        SetStatus(InvalidParameter);
        return;
    }
    const QByteArray bytes = stream->readAll();
    if (!image_.loadFromData(bytes)) {
        SetStatus(UnknownImageFormat);
        return;
    }
    format_ = ImageFormatOf(bytes);
    valid_ = true;
}

TImageFormat TGPImage::GetFormat() {
    if (!valid_) {
        SetStatus(InvalidParameter);
        return ifUndefined;
    }
    return format_;
}

int TGPImage::GetWidth() {
    if (!valid_) {
        SetStatus(InvalidParameter);
        return 0;
    }
    return image_.width();
}

int TGPImage::GetHeight() {
    if (!valid_) {
        SetStatus(InvalidParameter);
        return 0;
    }
    return image_.height();
}

// --- graphics ---

TGPGraphics::TGPGraphics(QPainter* painter) : painter_(painter) {
    if (!painter_ || !painter_->isActive()) {
        painter_ = nullptr;
        SetStatus(InvalidParameter);
        return;
    }
    painter_->save(); // clip and hints set here go with this object
    painter_->setRenderHint(QPainter::Antialiasing, false);
}

TGPGraphics::TGPGraphics(QPaintDevice* device) {
    if (!device) {
        SetStatus(InvalidParameter);
        return;
    }
    own_ = std::make_unique<QPainter>();
    if (!own_->begin(device)) {
        own_.reset();
        SetStatus(GenericError);
        return;
    }
    painter_ = own_.get();
    painter_->save();
}

TGPGraphics::~TGPGraphics() {
    if (painter_) painter_->restore();
}

GpStatus TGPGraphics::SetSmoothingMode(SmoothingMode mode) {
    if (!painter_) return SetStatus(InvalidParameter);
    smooth_ = mode == SmoothingModeAntiAlias || mode == SmoothingModeHighQuality;
    painter_->setRenderHint(QPainter::Antialiasing, smooth_);
    return Ok;
}

GpStatus TGPGraphics::DrawPath(const TGPPen* pen, const TGPGraphicsPath* path) {
    if (!painter_ || !pen || !pen->Native() || !path) return SetStatus(InvalidParameter);
    painter_->strokePath(*path->Native(), *pen->Native());
    return Ok;
}

GpStatus TGPGraphics::FillRectangle(const TGPBrush* brush, float x, float y, float width, float height) {
    if (!painter_ || !brush || !brush->Native()) return SetStatus(InvalidParameter);
    painter_->fillRect(QRectF(x, y, width, height), *brush->Native());
    return Ok;
}

GpStatus TGPGraphics::FillRectangle(const TGPBrush* brush, const TGPRectF& r) {
    return FillRectangle(brush, r.X, r.Y, r.Width, r.Height);
}

GpStatus TGPGraphics::DrawImage(const TGPImage* image, int x, int y, int width, int height) {
    if (!painter_ || !image || !image->Native()) return SetStatus(InvalidParameter);
    painter_->setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_->drawImage(QRectF(x, y, width, height), *image->Native());
    return Ok;
}

GpStatus TGPGraphics::SetClip(const TGPRegion* region, CombineMode mode) {
    if (!painter_ || !region || !region->Native()) return SetStatus(InvalidParameter);
    const QPainterPath& path = *region->Native();
    // No clip stands for the infinite region.
    QPainterPath all;
    all.addRect(QRectF(-1e6, -1e6, 2e6, 2e6));
    const QPainterPath current = painter_->hasClipping() ? painter_->clipPath() : all;
    switch (mode) {
    case CombineModeReplace: painter_->setClipPath(path, Qt::ReplaceClip); break;
    case CombineModeIntersect: painter_->setClipPath(path, Qt::IntersectClip); break;
    case CombineModeUnion: painter_->setClipPath(current.united(path)); break;
    case CombineModeXor: painter_->setClipPath(current.united(path).subtracted(current.intersected(path))); break;
    case CombineModeExclude: painter_->setClipPath(current.subtracted(path)); break;
    case CombineModeComplement: painter_->setClipPath(path.subtracted(current)); break;
    default: return SetStatus(InvalidParameter);
    }
    return Ok;
}

GpStatus TGPGraphics::ResetClip() {
    if (!painter_) return SetStatus(InvalidParameter);
    painter_->setClipping(false);
    return Ok;
}

} // namespace orvane::controls
