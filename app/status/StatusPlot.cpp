#include "StatusPlot.h"

#include <algorithm>
#include <cmath>

namespace orvane {

void PaintStatusPlot(ICanvas& canvas, int width, int height, bool soundCard, const ScopeSamples& scope,
                     plot::Tdatatype& left, plot::Tdatatype& right) {
    constexpr size_t kRows = ScopeSamples::kCount + 1;
    if (left.size() < kRows || right.size() < kRows) return;
    plot::StartGraph(canvas, width, height, kStatusBack, kStatusFore, 1.0f, "FSI");
    if (soundCard) {
        int32_t hi = 0, lo = 0;
        for (int i = 0; i < ScopeSamples::kCount; ++i) {
            hi = std::max({hi, scope.left[i], scope.right[i]});
            lo = std::min({lo, scope.left[i], scope.right[i]});
        }
        const double c = std::trunc(std::max(hi, 1000) * 1.2);
        const double d = std::trunc(std::min(lo, -1000) * 1.2);
        // Row 0 is the header row: sample i goes to row i + 1.
        for (int i = 0; i < ScopeSamples::kCount; ++i) {
            left[i + 1][1] = static_cast<float>(scope.left[i] + c);
            right[i + 1][1] = static_cast<float>(scope.right[i] + d);
        }
        plot::SetFrame(0, 100, 0, 100, 5, 10, 3, 19, false);
        plot::DrawXAxis(clGray, "", 0, 0.0f, 300.0f, 0, 0, false, true);
        plot::DrawYAxis(clNavy, "", 2, static_cast<float>(2 * d), static_cast<float>(2 * c), 0, 0, false, false,
                        true);
        plot::SetPenWidth(1);
        if (ICanvas* pen = plot::Canvas()) pen->pen.color = clLime;
        plot::PlotData(left, 1, 2);
        if (ICanvas* pen = plot::Canvas()) pen->pen.color = clRed;
        plot::PlotData(right, 1, 2);
    }
    plot::EndGraph();
}

} // namespace orvane
