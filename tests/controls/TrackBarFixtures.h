#pragma once
// Pictures for the track bar tests: PNG bytes of a given size and colour.
#include "GpPicture.h"

#include <QBuffer>
#include <QColor>
#include <QImage>

namespace orvane::test {

inline QByteArray PngBytes(int w, int h, QColor color) {
    QImage image(w, h, QImage::Format_ARGB32);
    image.fill(color);
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    image.save(&buffer, "PNG");
    return bytes;
}

// As a form loads it: the bytes only, not yet measured, no change announced.
inline void ReadPicture(controls::TGpPicture* picture, int w, int h, QColor color = Qt::red) {
    QByteArray bytes = PngBytes(w, h, color);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    picture->ReadData(&buffer);
}

// As code loads it: measured, with its change announced.
inline void LoadPicture(controls::TGpPicture* picture, int w, int h, QColor color = Qt::red) {
    QByteArray bytes = PngBytes(w, h, color);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::ReadOnly);
    picture->LoadFromStream(&buffer);
}

} // namespace orvane::test
