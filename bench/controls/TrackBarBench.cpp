// Painting the main window's seeking bar: pictures for the thumb, a vertical
// gradient groove with its completed part, no ticks. Target: under 1 ms.
#include "SeekTrackBar.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QFile>

#include <climits>
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

// Tick paints of a 300-pixel bar over ranges far larger than the track:
// the cost follows the pixels, whatever the range, the steps and the
// handler. Each reports the tick positions it visited and the ticks drawn.
enum TickCase { kTextsAtLargeSteps, kEveryOtherValue, kEveryValue, kDrawTickHandler };

void BM_PaintTicksOfAHugeRange(benchmark::State& state) {
    TSeekTrackBar bar;
    bar.resize(300, 60);
    switch (static_cast<TickCase>(state.range(0))) {
    case kTextsAtLargeSteps:
        bar.SetMin(INT_MIN);
        bar.SetMax(INT_MAX);
        bar.TickMark()->SetShowImageAtSteps(10000);
        bar.TickMark()->SetShowText(true);
        state.SetLabel("full 32-bit range, steps 10000, texts");
        break;
    case kEveryOtherValue:
    case kEveryValue:
        bar.SetMax(20000000);
        bar.TickMark()->SetShowImageAtSteps(state.range(0) == kEveryOtherValue ? 2 : 0);
        bar.TickMark()->SetShowText(true);
        state.SetLabel(state.range(0) == kEveryOtherValue ? "0..20,000,000, steps 2, texts"
                                                          : "0..20,000,000, steps 0, texts");
        break;
    case kDrawTickHandler:
        bar.SetMin(INT_MIN);
        bar.SetMax(INT_MAX);
        state.SetLabel("full 32-bit range, OnDrawTick");
        break;
    }
    int64_t calls = 0;
    if (state.range(0) == kDrawTickHandler)
        bar.OnDrawTick = [&](TCustomTrackBar*, TCanvas&, QPoint, int, TTickMark, int&, TColor&, TColor&, QString&,
                             bool&) { ++calls; };
    for (auto _ : state) {
        QImage image = bar.Render();
        benchmark::DoNotOptimize(image.constBits());
    }
    state.counters["visited"] = double(bar.LastTickPaint().visited);
    state.counters["drawn"] = double(bar.LastTickPaint().drawn);
    state.counters["handler_calls"] = double(calls) / double(state.iterations());
}
BENCHMARK(BM_PaintTicksOfAHugeRange)
    ->Arg(kTextsAtLargeSteps)
    ->Arg(kEveryOtherValue)
    ->Arg(kEveryValue)
    ->Arg(kDrawTickHandler)
    ->Unit(benchmark::kMillisecond);

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
