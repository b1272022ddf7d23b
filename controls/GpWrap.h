#pragma once
// Wrapper classes over the drawing layer for anti-aliased paths, gradient
// brushes, clipping regions and images read from streams. Each owns one
// native object and keeps the status of its last failed call; none throws.
#include <QBrush>
#include <QByteArray>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPen>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

class QIODevice;
class QPaintDevice;

namespace orvane::controls {

enum GpStatus {
    Ok = 0, GenericError = 1, InvalidParameter = 2, OutOfMemory = 3, ObjectBusy = 4, InsufficientBuffer = 5,
    NotImplemented = 6, Win32Error = 7, WrongState = 8, Aborted = 9, FileNotFound = 10, ValueOverflow = 11,
    AccessDenied = 12, UnknownImageFormat = 13,
};
enum SmoothingMode { SmoothingModeDefault = 0, SmoothingModeHighSpeed = 1, SmoothingModeHighQuality = 2,
                     SmoothingModeNone = 3, SmoothingModeAntiAlias = 4 };
enum FillMode { FillModeAlternate = 0, FillModeWinding = 1 };
enum CombineMode { CombineModeReplace = 0, CombineModeIntersect = 1, CombineModeUnion = 2, CombineModeXor = 3,
                   CombineModeExclude = 4, CombineModeComplement = 5 };
enum LinearGradientMode { LinearGradientModeHorizontal = 0, LinearGradientModeVertical = 1,
                          LinearGradientModeForwardDiagonal = 2, LinearGradientModeBackwardDiagonal = 3 };
// Image format codes, read from the image's own bytes.
enum TImageFormat { ifUndefined = 0, ifMemoryBMP = 1, ifBMP = 2, ifEMF = 3, ifWMF = 4, ifJPEG = 5, ifPNG = 6,
                    ifGIF = 7, ifTIFF = 8, ifEXIF = 9, ifIcon = 10 };

using ARGB = uint32_t; // $AARRGGBB

struct TGPRectF {
    float X = 0, Y = 0, Width = 0, Height = 0;
};
struct TGPPoint {
    int X = 0, Y = 0;
};

// Angles in these calls count clockwise from the x axis, y pointing down;
// the one conversion to the painter's counter-clockwise degrees.
qreal ToPainterAngle(float clockwiseDegrees);

// Counted start-up: the first start starts, the last shut-down stops.
void GdiplusStartup();
void GdiplusShutdown();
bool GdiplusStarted();
// Started for the program's life: declared before its windows, so it ends
// after they are destroyed.
struct TGdiplusSession {
    TGdiplusSession() { GdiplusStartup(); }
    ~TGdiplusSession() { GdiplusShutdown(); }
    TGdiplusSession(const TGdiplusSession&) = delete;
    TGdiplusSession& operator=(const TGdiplusSession&) = delete;
};
// The format code of an image file's bytes.
TImageFormat ImageFormatOf(const QByteArray& bytes);

class TGdiplusBase {
public:
    // Creating a wrapper starts the layer when nothing has yet.
    static void* operator new(std::size_t size);
    static void operator delete(void* p) noexcept;
    virtual ~TGdiplusBase() = default;
    // The most recent failure; Ok until one happens.
    GpStatus GetLastStatus() const { return lastResult_; }

protected:
    GpStatus SetStatus(GpStatus status);
    GpStatus lastResult_ = Ok;
};

class TGPPen : public TGdiplusBase {
public:
    TGPPen(ARGB color, float width = 1.0f);
    const QPen* Native() const { return pen_ ? &*pen_ : nullptr; }

private:
    std::optional<QPen> pen_;
};

class TGPBrush : public TGdiplusBase {
public:
    const QBrush* Native() const { return brush_ ? &*brush_ : nullptr; }

protected:
    std::optional<QBrush> brush_;
};

class TGPSolidBrush : public TGPBrush {
public:
    explicit TGPSolidBrush(ARGB color);
};

class TGPLinearGradientBrush : public TGPBrush {
public:
    TGPLinearGradientBrush(const TGPRectF& rect, ARGB color1, ARGB color2, LinearGradientMode mode);
};

class TGPGraphicsPath : public TGdiplusBase {
public:
    explicit TGPGraphicsPath(FillMode fillMode = FillModeAlternate);
    GpStatus CloseFigure();
    GpStatus AddLine(float x1, float y1, float x2, float y2);
    GpStatus AddArc(float x, float y, float width, float height, float startAngle, float sweepAngle);
    GpStatus AddEllipse(float x, float y, float width, float height);
    const QPainterPath* Native() const { return &path_; }

private:
    QPainterPath path_;
    bool figureOpen_ = false;
};

class TGPPathGradientBrush : public TGPBrush {
public:
    explicit TGPPathGradientBrush(const TGPGraphicsPath* path);
    GpStatus SetCenterColor(ARGB color);
    int GetPointCount();
    // Passes count colours when the path has at least that many points;
    // count then holds how many were taken.
    GpStatus SetSurroundColors(const ARGB* colors, int& count);
    GpStatus SetCenterPoint(const TGPPoint& point);

private:
    void Rebuild();

    QPainterPath path_;
    bool valid_ = false;
    ARGB center_ = 0xFF000000;
    std::vector<ARGB> surround_{0xFFFFFFFF};
    std::optional<QPointF> centerPoint_;
};

class TGPRegion : public TGdiplusBase {
public:
    explicit TGPRegion(const TGPGraphicsPath* path);
    const QPainterPath* Native() const { return valid_ ? &path_ : nullptr; }

private:
    QPainterPath path_;
    bool valid_ = false;
};

class TGPImage : public TGdiplusBase {
public:
    // Reads the whole stream; the stream is used only during the call.
    TGPImage(QIODevice* stream, bool useICM = false);
    TImageFormat GetFormat();
    int GetWidth();
    int GetHeight();
    const QImage* Native() const { return valid_ ? &image_ : nullptr; }

private:
    QImage image_;
    TImageFormat format_ = ifUndefined;
    bool valid_ = false;
};

class TGPGraphics : public TGdiplusBase {
public:
    // On a painter that stays the caller's, or on a device of its own.
    explicit TGPGraphics(QPainter* painter);
    explicit TGPGraphics(QPaintDevice* device);
    ~TGPGraphics() override;
    GpStatus SetSmoothingMode(SmoothingMode mode);
    GpStatus DrawPath(const TGPPen* pen, const TGPGraphicsPath* path);
    GpStatus FillRectangle(const TGPBrush* brush, float x, float y, float width, float height);
    GpStatus FillRectangle(const TGPBrush* brush, const TGPRectF& rect);
    GpStatus DrawImage(const TGPImage* image, int x, int y, int width, int height);
    GpStatus SetClip(const TGPRegion* region, CombineMode mode = CombineModeReplace);
    GpStatus ResetClip();

private:
    std::unique_ptr<QPainter> own_;
    QPainter* painter_ = nullptr;
    bool smooth_ = false;
};

} // namespace orvane::controls
