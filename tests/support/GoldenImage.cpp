#include "GoldenImage.h"

#include <QDir>
#include <QFileInfo>

#include <cstdlib>
#include <sstream>

namespace orvane::test {

GoldenResult CompareWithGolden(const QImage& image, const std::string& path, int channelTolerance,
                               double maxDifferent) {
    const QString file = QString::fromStdString(path);
    const char* update = std::getenv("ORVANE_UPDATE_GOLDEN");
    if (update && std::string(update) == "1") {
        QDir().mkpath(QFileInfo(file).absolutePath());
        return {image.save(file, "PNG"), "reference written: " + path};
    }
    QImage golden;
    if (!golden.load(file)) return {false, "no reference image " + path};
    const QImage a = image.convertToFormat(QImage::Format_RGB32);
    const QImage b = golden.convertToFormat(QImage::Format_RGB32);
    if (a.size() != b.size()) return {false, "size differs from " + path};
    long different = 0;
    for (int y = 0; y < a.height(); ++y) {
        const QRgb* ra = reinterpret_cast<const QRgb*>(a.constScanLine(y));
        const QRgb* rb = reinterpret_cast<const QRgb*>(b.constScanLine(y));
        for (int x = 0; x < a.width(); ++x) {
            if (std::abs(qRed(ra[x]) - qRed(rb[x])) > channelTolerance ||
                std::abs(qGreen(ra[x]) - qGreen(rb[x])) > channelTolerance ||
                std::abs(qBlue(ra[x]) - qBlue(rb[x])) > channelTolerance)
                ++different;
        }
    }
    const long allowed = static_cast<long>(maxDifferent * a.width() * a.height());
    std::ostringstream m;
    m << different << " pixels differ from " << path << " (at most " << allowed << " allowed)";
    return {different <= allowed, m.str()};
}

} // namespace orvane::test
