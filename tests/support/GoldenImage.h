#pragma once
// Compares a rendered image with a reference PNG in the source tree. Fonts
// differ from system to system, so a few pixels may differ: the comparison
// fails when more than `maxDifferent` (a fraction) of the pixels differ by
// more than `channelTolerance` in some channel. With ORVANE_UPDATE_GOLDEN=1
// in the environment the reference is written instead (review it by eye).
#include <QImage>

#include <string>

namespace orvane::test {

struct GoldenResult {
    bool ok = false;
    std::string message;
};

GoldenResult CompareWithGolden(const QImage& image, const std::string& path, int channelTolerance = 40,
                               double maxDifferent = 0.02);

} // namespace orvane::test
