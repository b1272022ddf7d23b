// The status window's whole paint pass (the scope of the stereo test signal
// through the plot library onto the 301 x 200 paint box); target: under 2 ms.
#include "PainterCanvas.h"
#include "ScopeSignal.h"
#include "StatusPlot.h"

#include <QGuiApplication>
#include <QImage>
#include <QPainter>
#include <benchmark/benchmark.h>

#include <cstdlib>

namespace {

void BM_StatusPaintPass(benchmark::State& state) {
    using namespace orvane;
    const ScopeSamples scope = test::StereoTestSignal();
    plot::Tdatatype left, right;
    plot::CreateDataArray(left, ScopeSamples::kCount, 1);
    plot::CreateDataArray(right, ScopeSamples::kCount, 1);
    QImage image(301, 200, QImage::Format_RGB32);
    for (auto _ : state) {
        QPainter painter(&image);
        PainterCanvas canvas(painter, &image);
        PaintStatusPlot(canvas, 301, 200, true, scope, left, right);
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_StatusPaintPass)->Unit(benchmark::kMicrosecond);

} // namespace

// Fonts need a GUI application.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
