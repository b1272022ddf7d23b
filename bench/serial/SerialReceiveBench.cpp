// The serial receive path, pseudo-terminal to decoder ring: what it costs at
// the line's full rate, and how a large burst is taken.
#include "DecoderRing.h"
#include "PtyPeer.h"
#include "SerialReceiver.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <benchmark/benchmark.h>

#include <atomic>
#include <chrono>
#include <ctime>
#include <thread>

namespace {

using namespace orvane;

double CpuSeconds(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<double>(ts.tv_sec) + static_cast<double>(ts.tv_nsec) * 1e-9;
}

struct RingHost : ISerialReceiverHost {
    DecoderRing ring;
    int64_t bits = 0;
    void AddToDecoderBuffer(uint8_t bit) override {
        ring.AddToDecoderBuffer(bit);
        ++bits;
    }
};

struct Line {
    test::PtyPeer peer;
    RingHost host;
    SerialReceiver receiver{host};
    int calls = 0;
    Line() {
        TScComm& port = receiver.ScComm1();
        port.SetDeviceName(peer.DevicePath());
        port.SetSleep([](int) {});
        port.OnRxChar = [this](TScComponent*, int count) {
            ++calls;
            receiver.ScComm1RxChar(count);
        };
        port.Open();
    }
};

// 1,920 bytes a second (19,200 baud, ten bits a byte), for three seconds,
// with the decoder tick draining the ring every 87 ms as the program does.
void BM_ReceiveAtLineRate(benchmark::State& state) {
    constexpr int kSeconds = 3, kRate = 1920;
    for (auto _ : state) {
        Line line;
        QTimer tick;
        QObject::connect(&tick, &QTimer::timeout, [&] {
            while (line.host.ring.Pending() > 0) line.host.ring.ReadFromDecoderBuffer();
        });
        tick.start(87);
        std::atomic<double> writerCpu{0};
        const double cpuBefore = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID);
        QElapsedTimer wall;
        wall.start();
        std::thread writer([&] {
            const double own = CpuSeconds(CLOCK_THREAD_CPUTIME_ID);
            const auto start = std::chrono::steady_clock::now();
            int sent = 0;
            for (int slot = 1; slot <= kSeconds * 100; ++slot) {
                const int due = kRate * slot / 100;
                line.peer.Write(std::string(static_cast<size_t>(due - sent), '\xF0'));
                sent = due;
                std::this_thread::sleep_until(start + std::chrono::milliseconds(10 * slot));
            }
            writerCpu = CpuSeconds(CLOCK_THREAD_CPUTIME_ID) - own;
        });
        QEventLoop loop;
        QTimer::singleShot(kSeconds * 1000 + 100, &loop, &QEventLoop::quit);
        loop.exec();
        writer.join();
        const double cpu = CpuSeconds(CLOCK_PROCESS_CPUTIME_ID) - cpuBefore - writerCpu;
        const double seconds = static_cast<double>(wall.elapsed()) / 1000.0;
        state.counters["cpu_percent_of_one_core"] = 100.0 * cpu / seconds;
        state.counters["bits_to_ring"] = static_cast<double>(line.host.bits);
        state.counters["rxchar_calls"] = line.calls;
    }
}
BENCHMARK(BM_ReceiveAtLineRate)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

// 64 kB written at once: the count of receive events that take it.
void BM_Burst64k(benchmark::State& state) {
    constexpr int kBurst = 65536;
    for (auto _ : state) {
        Line line;
        std::thread writer([&] { line.peer.Write(std::string(kBurst, '\xFF')); });
        QEventLoop loop;
        QTimer check; // the ring is drained as the decoder tick would
        QObject::connect(&check, &QTimer::timeout, [&] {
            while (line.host.ring.Pending() > 0) line.host.ring.ReadFromDecoderBuffer();
            if (line.host.bits >= kBurst) loop.quit();
        });
        check.start(5);
        QTimer::singleShot(10000, &loop, &QEventLoop::quit);
        loop.exec();
        writer.join();
        state.counters["bytes"] = static_cast<double>(line.host.bits);
        state.counters["rxchar_calls"] = line.calls;
        state.counters["bytes_per_call"] = static_cast<double>(line.host.bits) / std::max(line.calls, 1);
    }
}
BENCHMARK(BM_Burst64k)->Iterations(1)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
