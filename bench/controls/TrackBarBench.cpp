// Painting the main window's seeking bar: pictures for the thumb, a vertical
// gradient groove with its completed part, no ticks. Target: under 1 ms.
#include "SeekTrackBar.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>

#include <cstdlib>

namespace {

using namespace orvane;
using namespace orvane::controls;

void Read(TGpPicture* picture, const char* name) {
    QFile file(QStringLiteral(ORVANE_SEEKBAR_DIR "/%1.png").arg(QLatin1String(name)));
    if (file.open(QIODevice::ReadOnly)) picture->ReadData(&file);
}

void BM_PaintSeekingBar(benchmark::State& state) {
    TSeekTrackBar bar;
    bar.BeginLoading();
    bar.setGeometry(8, 100, 288, 22);
    Read(bar.Thumb()->Picture(), "Thumb");
    Read(bar.Thumb()->PictureHot(), "ThumbHot");
    Read(bar.Thumb()->PictureDown(), "ThumbDown");
    bar.Slider()->SetOffset(4);
    bar.Slider()->SetSize(6);
    bar.Slider()->SetDirection(gdVertical);
    bar.Slider()->SetColor(8421504);
    bar.Slider()->SetColorTo(clWhite);
    bar.Slider()->SetColorCompleted(4333326);
    bar.Slider()->SetColorCompletedTo(clPurple);
    bar.Slider()->SetBorderColor(4333326);
    bar.TickMark()->SetStyle(tsNone);
    bar.SetMax(200);
    bar.Loaded();
    if (bar.Thumb()->Width() != 20) state.SkipWithError("the thumb picture was not found");
    int position = 0;
    for (auto _ : state) {
        bar.SetPosition(position = (position + 7) % 201);
        QImage image = bar.Render();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["target_ms"] = 1;
}
BENCHMARK(BM_PaintSeekingBar)->Unit(benchmark::kMicrosecond);

// A rating bar whose range is far larger than the cells that fit: the paint
// costs the cells drawn, not the values in the range.
void BM_PaintRatingBarOfAHugeRange(benchmark::State& state) {
    TSeekTrackBar bar;
    bar.resize(150, 26);
    for (TGpPicture* p : {bar.RateActive(), bar.RateInActive()}) {
        QImage cell(10, 10, QImage::Format_ARGB32);
        cell.fill(p == bar.RateActive() ? Qt::green : Qt::gray);
        p->Assign(cell);
    }
    bar.SetMax(static_cast<int>(state.range(0)));
    bar.SetPosition(5);
    for (auto _ : state) {
        QImage image = bar.Render();
        benchmark::DoNotOptimize(image.constBits());
    }
}
BENCHMARK(BM_PaintRatingBarOfAHugeRange)->Arg(10)->Arg(100000000)->Unit(benchmark::kMicrosecond);

} // namespace

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
