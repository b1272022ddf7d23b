#include "GpPicture.h"

#include "Canvas.h"
#include "GpWrap.h"

#include <QBuffer>
#include <QFile>

#include <memory>

namespace orvane::controls {

namespace {

bool Decodes(QByteArray bytes) {
    if (bytes.isEmpty()) return false;
    QBuffer stream(&bytes);
    stream.open(QIODevice::ReadOnly);
    TGPImage image(&stream);
    return image.GetWidth() > 0;
}

} // namespace

TGpPicture::TGpPicture(QObject* parent) : QObject(parent) {}

void TGpPicture::Assign(std::nullptr_t) {
    empty_ = true;
    data_.clear();
    width_ = height_ = 0;
    emit OnChange();
    emit OnClear();
}

void TGpPicture::Assign(const TGpPicture* source) {
    if (!source) {
        Assign(nullptr);
        return;
    }
    empty_ = true;
    data_ = source->data_;
    empty_ = data_.isEmpty();
    // Nothing to measure: the size must not stay that of the image before.
    if (empty_) width_ = height_ = 0;
    emit OnChange();
    UpdateSize();
}

void TGpPicture::AssignBitmap(const QImage& bitmap) {
    empty_ = true;
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    if (!bitmap.isNull() && bitmap.save(&buffer, "BMP")) {
        data_ = bytes;
        empty_ = false;
    } else {
        data_.clear();
        width_ = height_ = 0;
    }
    emit OnChange();
    UpdateSize();
}

void TGpPicture::Assign(const QImage& bitmap) { AssignBitmap(bitmap); }

void TGpPicture::Assign(const QPixmap& picture) { AssignBitmap(picture.toImage()); }

void TGpPicture::LoadFromFile(const QString& fileName) {
    QFile file(fileName);
    QByteArray bytes;
    if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
    // A file that holds no image, a cut-off one of no bytes included, is a
    // failed load like one that cannot be read: an empty picture of no size
    // rather than the old size with nothing to draw.
    const bool failed = !file.isOpen() || file.error() != QFileDevice::NoError || !Decodes(bytes);
    if (failed) {
        // Empty means no bytes: a copy of this picture must not bring the old image back.
        const bool changed = !empty_ || !data_.isEmpty();
        empty_ = true;
        data_.clear();
        width_ = height_ = 0;
        if (changed) emit OnChange();
        return;
    }
    data_ = bytes;
    empty_ = false;
    emit OnClear();
    UpdateSize();
    emit OnChange();
}

void TGpPicture::LoadFromStream(QIODevice* stream) {
    if (!stream) return;
    const QByteArray bytes = stream->readAll();
    // Bytes no decoder reads are a failed load, as from a file: no bytes
    // left for a copy to carry, and no size.
    if (Decodes(bytes)) {
        data_ = bytes;
        empty_ = false;
        UpdateSize();
    } else {
        data_.clear();
        empty_ = true;
        width_ = height_ = 0;
    }
    emit OnChange();
}

void TGpPicture::SaveToStream(QIODevice* stream) const {
    if (stream) stream->write(data_);
}

void TGpPicture::ReadData(QIODevice* stream) {
    if (!stream) return;
    data_ = stream->readAll();
    empty_ = false;
}

bool TGpPicture::UpdateSize() {
    if (empty_ || data_.isEmpty()) return false;
    QBuffer stream(&data_);
    stream.open(QIODevice::ReadOnly);
    std::unique_ptr<TGPImage> image(new TGPImage(&stream));
    width_ = image->GetWidth();
    height_ = image->GetHeight();
    return true;
}

void TGpPicture::Draw(TCanvas& canvas, const TRect& r) const {
    if (empty_ || data_.isEmpty()) return;
    QBuffer stream(const_cast<QByteArray*>(&data_));
    stream.open(QIODevice::ReadOnly);
    std::unique_ptr<TGPImage> image(new TGPImage(&stream));
    if (image->GetFormat() == ifBMP) {
        // Bitmaps have no alpha: their bottom-left colour is left out.
        QImage bitmap = image->Native()->convertToFormat(QImage::Format_ARGB32);
        const QRgb key = bitmap.pixel(0, bitmap.height() - 1);
        for (int y = 0; y < bitmap.height(); ++y)
            for (int x = 0; x < bitmap.width(); ++x)
                if (bitmap.pixel(x, y) == key) bitmap.setPixel(x, y, 0);
        canvas.StretchDraw(r, bitmap);
        return;
    }
    std::unique_ptr<TGPGraphics> graphics(new TGPGraphics(&canvas.Painter()));
    graphics->DrawImage(image.get(), r.Left, r.Top, r.Right - r.Left, r.Bottom - r.Top);
}

} // namespace orvane::controls
