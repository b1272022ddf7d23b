#pragma once
// Writes an image as a baseline JPEG through libjpeg.
#include <QImage>

#include <string>

namespace orvane {

// False, with `error` set, when the file cannot be written.
bool WriteJpeg(const QImage& image, const std::string& path, int quality, std::string& error);

} // namespace orvane
