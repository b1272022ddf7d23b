// The GUI-thread hand-off: calls from workers run on the GUI thread, and a
// cancel always frees the waiting worker.
#include "GuiCall.h"

#include <QCoreApplication>
#include <QTest>
#include <QThread>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <stdexcept>
#include <thread>

namespace orvane {
namespace {

using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

// A worker that makes one call through the channel; the test's GUI thread
// decides whether it processes events meanwhile.
struct Worker {
    Worker(GuiCall& call, std::function<void()> fn)
        : thread([this, &call, fn = std::move(fn)] {
              try {
                  result = call.Run(fn);
              } catch (const std::exception& e) {
                  error = e.what();
              }
              returnedAt = Clock::now();
              done = true;
          }) {}
    ~Worker() {
        if (thread.joinable()) thread.join();
    }
    std::atomic<bool> done{false};
    GuiCallResult result = GuiCallResult::Done;
    std::string error;
    Clock::time_point returnedAt;
    std::thread thread;
};

TEST(GuiCall, CallFromWorkerRunsOnGuiThread) {
    GuiCall call;
    std::atomic<bool> onGui{false};
    std::atomic<int> runs{0};
    Worker w(call, [&] {
        onGui = QThread::currentThread() == QCoreApplication::instance()->thread();
        ++runs;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.done.load(); }, 5000));
    w.thread.join();
    EXPECT_EQ(w.result, GuiCallResult::Done);
    EXPECT_EQ(runs, 1);
    EXPECT_TRUE(onGui);
}

TEST(GuiCall, WorkerWaitsUntilTheCallHasRun) {
    GuiCall call;
    std::atomic<bool> finished{false};
    std::atomic<bool> finishedBeforeReturn{false};
    std::thread t([&] {
        call.Run([&] {
            std::this_thread::sleep_for(50ms);
            finished = true;
        });
        finishedBeforeReturn = finished.load();
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return finished.load(); }, 5000));
    t.join();
    EXPECT_TRUE(finishedBeforeReturn);
}

TEST(GuiCall, OnTheGuiThreadTheCallRunsDirectly) {
    GuiCall call;
    EXPECT_TRUE(GuiCall::OnGuiThread());
    bool ran = false;
    EXPECT_EQ(call.Run([&] { ran = true; }), GuiCallResult::Done);
    EXPECT_TRUE(ran);
}

TEST(GuiCall, OffTheGuiThreadOnGuiThreadIsFalse) {
    std::atomic<bool> on{true};
    std::thread t([&] { on = GuiCall::OnGuiThread(); });
    t.join();
    EXPECT_FALSE(on);
}

TEST(GuiCall, CancelFromGuiThreadFreesTheWorkerAndDropsTheCall) {
    GuiCall call;
    std::atomic<int> runs{0};
    Worker w(call, [&] { ++runs; });
    std::this_thread::sleep_for(100ms); // the GUI thread is busy; the call stays queued
    const auto cancelledAt = Clock::now();
    call.Cancel();
    w.thread.join(); // would hang if the worker kept waiting
    EXPECT_EQ(w.result, GuiCallResult::Cancelled);
    EXPECT_LT(w.returnedAt - cancelledAt, 2s);
    QTest::qWait(50); // the queued event is delivered now, and drops the call
    EXPECT_EQ(runs, 0);
}

TEST(GuiCall, CancelFromAnotherThreadFreesTheWorker) {
    GuiCall call;
    std::atomic<int> runs{0};
    Worker w(call, [&] { ++runs; });
    std::this_thread::sleep_for(50ms);
    std::thread canceller([&] { call.Cancel(); });
    canceller.join();
    w.thread.join();
    EXPECT_EQ(w.result, GuiCallResult::Cancelled);
    QTest::qWait(50);
    EXPECT_EQ(runs, 0);
}

TEST(GuiCall, CancelFromInsideTheRunningCallFreesTheWorkerAtOnce) {
    GuiCall call;
    std::atomic<bool> workerReturnedDuringCall{false};
    Worker* worker = nullptr;
    Worker w(call, [&] {
        call.Cancel();
        // The worker no longer waits for this call: it returns while we still run.
        const auto until = Clock::now() + 3s;
        while (!worker->done && Clock::now() < until) std::this_thread::sleep_for(1ms);
        workerReturnedDuringCall = worker->done.load();
    });
    worker = &w;
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.done.load(); }, 5000));
    w.thread.join();
    EXPECT_EQ(w.result, GuiCallResult::Cancelled);
    EXPECT_TRUE(workerReturnedDuringCall);
}

TEST(GuiCall, CancelOffTheGuiThreadWaitsForARunningCall) {
    GuiCall call;
    std::atomic<bool> started{false}, finished{false}, finishedWhenCancelReturned{false};
    Worker w(call, [&] {
        started = true;
        std::this_thread::sleep_for(150ms);
        finished = true;
    });
    std::thread canceller([&] {
        while (!started) std::this_thread::sleep_for(1ms);
        call.Cancel();
        finishedWhenCancelReturned = finished.load();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.done.load(); }, 5000));
    canceller.join();
    w.thread.join();
    EXPECT_EQ(w.result, GuiCallResult::Cancelled);
    EXPECT_TRUE(finishedWhenCancelReturned);
}

TEST(GuiCall, CancelledUntilReset) {
    GuiCall call;
    call.Cancel();
    EXPECT_TRUE(call.IsCancelled());
    int runs = 0;
    EXPECT_EQ(call.Run([&] { ++runs; }), GuiCallResult::Cancelled); // GUI thread too
    {
        Worker w(call, [&] { ++runs; });
        w.thread.join();
        EXPECT_EQ(w.result, GuiCallResult::Cancelled);
    }
    QTest::qWait(20);
    EXPECT_EQ(runs, 0);

    call.Reset();
    EXPECT_FALSE(call.IsCancelled());
    Worker w(call, [&] { ++runs; });
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.done.load(); }, 5000));
    EXPECT_EQ(w.result, GuiCallResult::Done);
    EXPECT_EQ(runs, 1);
}

TEST(GuiCall, AnExceptionOfTheCallReachesTheWorker) {
    GuiCall call;
    Worker w(call, [] { throw std::runtime_error("boom"); });
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.done.load(); }, 5000));
    w.thread.join();
    EXPECT_EQ(w.error, "boom");
}

TEST(GuiCall, ManyWorkersAllCancelled) {
    GuiCall call;
    std::atomic<int> runs{0};
    std::vector<std::unique_ptr<Worker>> workers;
    for (int i = 0; i < 8; ++i) workers.push_back(std::make_unique<Worker>(call, [&] { ++runs; }));
    std::this_thread::sleep_for(50ms);
    call.Cancel();
    for (auto& w : workers) w->thread.join();
    QTest::qWait(20);
    // A worker that had not posted yet when the cancel came returns Cancelled too.
    for (auto& w : workers) EXPECT_EQ(w->result, GuiCallResult::Cancelled);
    EXPECT_EQ(runs, 0);
}

} // namespace
} // namespace orvane
