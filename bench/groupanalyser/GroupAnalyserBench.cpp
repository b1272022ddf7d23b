// RDSGroup through the real plugins/kelmira.so with every dump window and
// the sequence window full, each group going to all four dump windows and
// the sequence; and with every view at work: a station's mix of groups
// (3A among them) through dump windows chosen by type and by mask, the
// full-content window taking every group, the statistics and ODA AID tables
// and the detector, with the statistics page or the full-content page in
// view. The fastest playback hands over a group every 10 ms; a group must
// cost well under 0.5 ms.
#include <orvane/plugin.h>
#include <orvane/valuetable.h>

#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QTimer>
#include <QAbstractScrollArea>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTabWidget>
#include <QTableWidget>

#include <benchmark/benchmark.h>

#include <dlfcn.h>
#include <time.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

namespace {

// Which views are at work, and which page is in view.
enum class TViews { DumpPage, AllStatisticsPage, AllFullContentPage };

struct Plugin {
    explicit Plugin(TViews views = TViews::DumpPage) : views(views) {
        const char* dir = std::getenv("ORVANE_PROGRAM_DIR");
        const std::string path = std::string(dir && *dir ? dir : ORVANE_DEFAULT_PROGRAM_DIR) + "/plugins/kelmira.so";
        handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
        if (!handle) {
            std::fprintf(stderr, "%s\n", dlerror());
            std::exit(2);
        }
        auto init = reinterpret_cast<TInitializeProc>(dlsym(handle, "Initialize"));
        Command = reinterpret_cast<TCommandProc>(dlsym(handle, "Command"));
        RDSGroup = reinterpret_cast<TRDSGroupProc>(dlsym(handle, "RDSGroup"));
        form = reinterpret_cast<QWidget*>(init(reinterpret_cast<intptr_t>(&host), table.get()));
        Command("OPENWORKSPACE", "/nonexistent/default.owk"); // default colours, window shown
        auto* pages = form->findChild<QTabWidget*>("PageControl1");
        if (views == TViews::DumpPage) {
            for (const char* cb : {"CB1", "CB2", "CB3", "CB4"}) form->findChild<QComboBox*>(cb)->setCurrentIndex(0);
            pages->setCurrentIndex(1); // the dump windows in view
        } else {
            // 0A by type, then masks 1 to 3 (B of types 0A/0B, C missing,
            // anything); the full-content window takes every type and mask.
            const int selectors[] = {0, 33, 34, 35};
            const char* const names[] = {"CB1", "CB2", "CB3", "CB4"};
            for (int k = 0; k < 4; ++k) form->findChild<QComboBox*>(names[k])->setCurrentIndex(selectors[k]);
            auto* masks = form->findChild<QTableWidget*>("SGMASK");
            masks->item(1, 1)->setText("0000????????????");
            masks->item(2, 2)->setText("-???????????????");
            form->findChild<QPushButton*>("Button7")->click();
            pages->setCurrentIndex(views == TViews::AllStatisticsPage ? 0 : 2);
        }
        QCoreApplication::processEvents();
    }
    ~Plugin() {
        Command("EXIT", "");
        dlclose(handle);
    }
    void Send(int n) {
        TRDSGroupRec g{};
        g.Hour = static_cast<uint8_t>(n / 3600 % 24);
        g.Minute = static_cast<uint8_t>(n / 60 % 60);
        g.Second = static_cast<uint8_t>(n % 60);
        g.BlockA = 0xD3C2;
        g.BlockB = 0x0410 | (n & 3); // 0A: every dump window and the sequence take it
        g.BlockC = 0xE0CD;
        g.BlockD = n & 0xFFFF;
        if (views != TViews::DumpPage) {
            // A station's mix: 0A, 2A, 0B, 4A, 8A, 14B, 3A, 0A, with now and
            // then a missing block; the 3A groups announce four AIDs.
            static const int32_t types[] = {0x0410, 0x2000, 0x0800, 0x4000, 0x8000, 0xE800, 0x3000, 0x0410};
            g.BlockB = types[n % 8] | (n & 3);
            if (n % 8 == 6) {
                g.BlockB = 0x3000 | (8 + 2 * (n / 8 % 4)); // 4A, 5A, 6A, 7A
                g.BlockC = 0;
                g.BlockD = 0xCD40 + n / 8 % 4;
            }
            if (n % 29 == 0) g.BlockC = -1;
            if (n % 31 == 0) g.BlockB = -1;
        }
        RDSGroup(&g);
    }
    int Lines(const char* window) const {
        return form->findChild<QAbstractScrollArea*>(window)->property("lineCount").toInt();
    }

    TViews views;
    QWidget host;
    std::unique_ptr<TValueTable> table = std::make_unique<TValueTable>();
    void* handle = nullptr;
    TCommandProc Command = nullptr;
    TRDSGroupProc RDSGroup = nullptr;
    QWidget* form = nullptr;
};

void Fill(Plugin& p, bool scrolling, int& n) {
    int prefill = 400; // well past the 34-line limit of every window
    if (scrolling) {
        // Scrolling mode with 80,000 lines in each window; the limit is set
        // above them so the windows stay full while the benchmark runs.
        p.form->findChild<QRadioButton*>("RBNOLIMIT")->click();
        p.form->findChild<QSpinBox*>("SELINES")->setValue(999999);
        prefill = 80000;
    }
    for (; n < prefill; ++n) p.Send(n);
    QCoreApplication::processEvents();
}

// The cost of the call alone.
void Run(benchmark::State& state, bool scrolling, TViews views = TViews::DumpPage) {
    Plugin p(views);
    int n = 0;
    Fill(p, scrolling, n);
    std::chrono::nanoseconds spent{0};
    for (auto _ : state) {
        const auto t0 = std::chrono::steady_clock::now();
        p.Send(n++);
        spent += std::chrono::steady_clock::now() - t0;
    }
    state.counters["memo_lines"] = p.Lines("Memo1");
    state.counters["sequence_lines"] = p.Lines("RichEdit1");
    state.counters["full_lines"] = p.Lines("RichEdit2");
    state.counters["us_per_group"] =
        static_cast<double>(spent.count()) * 1e-3 / static_cast<double>(std::max<benchmark::IterationCount>(1, state.iterations()));
}

double ProcessCpuSeconds() {
    timespec ts{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

// The fastest playback: a group every 10 ms with the event loop running in
// between, so every redraw the groups cause is paid for too. Each iteration
// is 100 ms of playback; the counter is process CPU time per group.
void RunPaced(benchmark::State& state, bool scrolling, TViews views = TViews::DumpPage) {
    Plugin p(views);
    int n = 0;
    Fill(p, scrolling, n);
    double cpu = 0;
    long groups = 0;
    for (auto _ : state) {
        const double c0 = ProcessCpuSeconds();
        for (int k = 0; k < 10; ++k) {
            p.Send(n++);
            ++groups;
            QEventLoop loop;
            QTimer::singleShot(10, Qt::PreciseTimer, &loop, &QEventLoop::quit);
            loop.exec();
        }
        cpu += ProcessCpuSeconds() - c0;
    }
    state.counters["cpu_us_per_group"] = cpu * 1e6 / static_cast<double>(std::max(1L, groups));
}

void BM_RDSGroup_LimitToWindow(benchmark::State& s) { Run(s, false); }
void BM_RDSGroup_Scrolling80000(benchmark::State& s) { Run(s, true); }
void BM_Playback100PerSecond_LimitToWindow(benchmark::State& s) { RunPaced(s, false); }
void BM_Playback100PerSecond_Scrolling80000(benchmark::State& s) { RunPaced(s, true); }
void BM_RDSGroup_AllViews_StatisticsPage(benchmark::State& s) { Run(s, false, TViews::AllStatisticsPage); }
void BM_RDSGroup_AllViews_FullContentPage(benchmark::State& s) { Run(s, false, TViews::AllFullContentPage); }
void BM_RDSGroup_AllViews_Scrolling80000(benchmark::State& s) { Run(s, true, TViews::AllFullContentPage); }
void BM_Playback100PerSecond_AllViews_StatisticsPage(benchmark::State& s) { RunPaced(s, false, TViews::AllStatisticsPage); }
void BM_Playback100PerSecond_AllViews_FullContentPage(benchmark::State& s) { RunPaced(s, false, TViews::AllFullContentPage); }

} // namespace

BENCHMARK(BM_RDSGroup_LimitToWindow)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RDSGroup_Scrolling80000)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK(BM_Playback100PerSecond_LimitToWindow)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();
BENCHMARK(BM_Playback100PerSecond_Scrolling80000)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();
BENCHMARK(BM_RDSGroup_AllViews_StatisticsPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RDSGroup_AllViews_FullContentPage)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_RDSGroup_AllViews_Scrolling80000)->Unit(benchmark::kMicrosecond)->Iterations(20000);
BENCHMARK(BM_Playback100PerSecond_AllViews_StatisticsPage)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();
BENCHMARK(BM_Playback100PerSecond_AllViews_FullContentPage)->Unit(benchmark::kMillisecond)->Iterations(30)->UseRealTime();

// No QApplication exists in a benchmark binary unless it makes one.
int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
