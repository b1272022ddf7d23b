#include "SyntheticCapture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace orvane::test {

std::string SyntheticCapture(double ifKHz, double pilotKHz, double toneHz, double toneKHz) {
    constexpr double kClockHz = 30e6;
    const double w = 2 * std::numbers::pi * 19000.0;
    const double wt = 2 * std::numbers::pi * toneHz;
    std::string periods;
    double phase = 0;  // IF cycles
    long count = 0, lastEdge = 0;
    while (periods.size() < 512) {
        const double t = count / kClockHz;
        const double left = std::sin(wt * t), right = 0.0;
        const double mpx = pilotKHz * std::sin(w * t) + toneKHz * ((left + right) / 2 + (left - right) / 2 * std::sin(2 * w * t));
        phase += (ifKHz + mpx) * 1000.0 / kClockHz;
        ++count;
        if (phase >= 1.0) {
            phase -= 1.0;
            periods.push_back(static_cast<char>(std::clamp(count - lastEdge, 1L, 255L)));
            lastEdge = count;
        }
    }
    return periods;
}

} // namespace orvane::test
