// The threaded timer on the real clock. The machine may be loaded (and the
// sanitizers slow it down), so the checks are about order and bounds, with
// generous margins, never about exact milliseconds.
#include "TickTimer.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QThread>
#include <QTimer>
#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

namespace orvane {
namespace {

using namespace std::chrono_literals;

// Lets slow machines be slow: a bound for "should have happened by now".
constexpr int kLate = 3000;

// Records when each tick came, in ms since the recorder's start.
struct Ticks {
    QElapsedTimer clock;
    std::vector<qint64> at;
    Ticks() { clock.start(); }
    void Restart() {
        at.clear();
        clock.restart();
    }
    void Record() { at.push_back(clock.elapsed()); }
    size_t Count() const { return at.size(); }
    bool WaitFor(size_t n, int timeoutMs = kLate) {
        return QTest::qWaitFor([&] { return at.size() >= n; }, timeoutMs);
    }
};

// Keeps the GUI thread busy without processing events.
void Busy(std::chrono::milliseconds d) { std::this_thread::sleep_for(d); }

TEST(ThreadedTimer, Defaults) {
    TThreadedTimer t;
    EXPECT_FALSE(t.Enabled());
    EXPECT_EQ(t.Interval(), 1000u);
    EXPECT_FALSE(t.AllowZero());
    EXPECT_EQ(t.ThreadPriority(), tpNormal);
    EXPECT_FALSE(t.OnTimer);
}

TEST(ThreadedTimer, DestroyingANeverEnabledTimerEndsItsThread) {
    QElapsedTimer c;
    c.start();
    for (int i = 0; i < 20; ++i) {
        TThreadedTimer t;
        t.SetInterval(10);
    }
    EXPECT_LT(c.elapsed(), kLate);
}

TEST(ThreadedTimer, NoTickWhileDisabled) {
    TThreadedTimer t;
    int n = 0;
    t.SetInterval(10);
    t.OnTimer = [&](TThreadedTimer*) { ++n; };
    QTest::qWait(100);
    EXPECT_EQ(n, 0);
}

TEST(ThreadedTimer, TicksOnTheGuiThreadWithTheTimerAsSender) {
    TThreadedTimer t;
    TThreadedTimer* sender = nullptr;
    bool onGui = false;
    t.SetInterval(20);
    t.OnTimer = [&](TThreadedTimer* s) {
        sender = s;
        onGui = QThread::currentThread() == QCoreApplication::instance()->thread();
    };
    t.SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return sender != nullptr; }, kLate));
    EXPECT_EQ(sender, &t);
    EXPECT_TRUE(onGui);
}

TEST(ThreadedTimer, FirstTickOneIntervalAfterEnabling) {
    TThreadedTimer t;
    Ticks ticks;
    t.SetInterval(150);
    t.OnTimer = [&](TThreadedTimer*) { ticks.Record(); };
    QTest::qWait(50);
    ticks.Restart();
    t.SetEnabled(true);
    ASSERT_TRUE(ticks.WaitFor(1));
    EXPECT_GE(ticks.at[0], 145);
    EXPECT_LT(ticks.at[0], 150 + kLate);
}

TEST(ThreadedTimer, PeriodIsIntervalPlusHandlerTime) {
    TThreadedTimer t;
    Ticks ticks;
    t.SetInterval(40);
    t.OnTimer = [&](TThreadedTimer*) {
        ticks.Record();
        Busy(60ms);
    };
    t.SetEnabled(true);
    ASSERT_TRUE(ticks.WaitFor(4));
    t.SetEnabled(false);
    for (size_t i = 1; i < ticks.Count(); ++i) EXPECT_GE(ticks.at[i] - ticks.at[i - 1], 95) << i;
    EXPECT_GE(ticks.at[0], 35);
}

TEST(ThreadedTimer, TicksNeverOverlap) {
    TThreadedTimer t;
    int inside = 0, maxInside = 0, n = 0;
    t.SetInterval(1);
    t.OnTimer = [&](TThreadedTimer*) {
        maxInside = std::max(maxInside, ++inside);
        QCoreApplication::processEvents(); // a handler that lets events run
        Busy(5ms);
        ++n;
        --inside;
    };
    t.SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return n >= 10; }, kLate));
    t.SetEnabled(false);
    EXPECT_EQ(maxInside, 1);
}

TEST(ThreadedTimer, IntervalChangedInsideOnTimer) {
    TThreadedTimer t;
    Ticks ticks;
    t.SetInterval(30);
    // Every tick sets the interval, as a decoder tick does: a long one after an
    // odd tick, a short one after an even tick.
    t.OnTimer = [&](TThreadedTimer* s) {
        ticks.Record();
        s->SetInterval(ticks.Count() % 2 ? 200 : 30);
        s->SetInterval(s->Interval()); // the same value again changes nothing
    };
    t.SetEnabled(true);
    ASSERT_TRUE(ticks.WaitFor(5, 2 * kLate));
    t.SetEnabled(false);
    EXPECT_EQ(t.Interval(), 200u); // set by the 5th tick
    for (size_t i = 1; i < ticks.Count(); ++i) {
        const qint64 gap = ticks.at[i] - ticks.at[i - 1];
        if (i % 2) EXPECT_GE(gap, 195) << i; // after a tick that set 200
        else EXPECT_GE(gap, 25) << i;
    }
}

TEST(ThreadedTimer, SettingTheSameIntervalDoesNotRestartTheWait) {
    TThreadedTimer t;
    Ticks ticks;
    t.SetInterval(400);
    t.OnTimer = [&](TThreadedTimer*) { ticks.Record(); };
    t.SetEnabled(true);
    QTest::qWait(200);
    t.SetInterval(400);
    t.SetEnabled(true); // already enabled: nothing either
    ASSERT_TRUE(ticks.WaitFor(1));
    EXPECT_GE(ticks.at[0], 395);
    EXPECT_LT(ticks.at[0], 590); // a restart at 200 ms would give at least 600
}

TEST(ThreadedTimer, ChangingTheIntervalRestartsTheWait) {
    TThreadedTimer t;
    Ticks ticks;
    t.SetInterval(300);
    t.OnTimer = [&](TThreadedTimer*) { ticks.Record(); };
    t.SetEnabled(true);
    QTest::qWait(200);
    const qint64 changedAt = ticks.clock.elapsed();
    t.SetInterval(250);
    ASSERT_TRUE(ticks.WaitFor(1));
    EXPECT_GE(ticks.at[0], changedAt + 245); // not at 300 ms after enabling
}

TEST(ThreadedTimer, IntervalZeroWithoutAllowZeroNeverTicks) {
    TThreadedTimer t;
    int n = 0;
    t.SetInterval(0);
    t.OnTimer = [&](TThreadedTimer*) { ++n; };
    t.SetEnabled(true);
    EXPECT_TRUE(t.Enabled());
    QTest::qWait(200);
    EXPECT_EQ(n, 0);
}

TEST(ThreadedTimer, IntervalZeroWithAllowZeroTicksBackToBackAndEventsStillRun) {
    TThreadedTimer t;
    int n = 0, inside = 0, maxInside = 0;
    t.SetInterval(0);
    t.SetAllowZero(true);
    t.OnTimer = [&](TThreadedTimer*) {
        maxInside = std::max(maxInside, ++inside);
        ++n;
        --inside;
    };
    bool timerFired = false;
    bool postedRan = false;
    t.SetEnabled(true);
    QTimer::singleShot(50, [&] { timerFired = true; });
    QMetaObject::invokeMethod(
        QCoreApplication::instance(), [&] { postedRan = true; }, Qt::QueuedConnection);
    // processEvents alone (no sleeping in between) while ticks flood in
    QElapsedTimer c;
    c.start();
    while (!(timerFired && postedRan && n >= 50) && c.elapsed() < kLate) QCoreApplication::processEvents();
    t.SetEnabled(false);
    EXPECT_TRUE(timerFired);
    EXPECT_TRUE(postedRan);
    EXPECT_GE(n, 50);
    EXPECT_EQ(maxInside, 1);
}

TEST(ThreadedTimer, AllowZeroAppliesToAnEnabledTimer) {
    TThreadedTimer t;
    int n = 0;
    t.SetInterval(0);
    t.OnTimer = [&](TThreadedTimer*) { ++n; };
    t.SetEnabled(true);
    QTest::qWait(50);
    EXPECT_EQ(n, 0);
    t.SetAllowZero(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return n >= 5; }, kLate));
    t.SetAllowZero(false);
    QTest::qWait(20);
    const int stopped = n;
    QTest::qWait(100);
    EXPECT_EQ(n, stopped);
}

TEST(ThreadedTimer, EnabledWithUnrunnableZeroIntervalStartsOnceTheIntervalChanges) {
    TThreadedTimer t;
    Ticks ticks;
    t.SetInterval(0);
    t.OnTimer = [&](TThreadedTimer*) { ticks.Record(); };
    t.SetEnabled(true); // reads true, but 0 cannot run
    QTest::qWait(50);
    EXPECT_EQ(ticks.Count(), 0u);
    ticks.Restart();
    t.SetInterval(60);
    EXPECT_TRUE(t.Enabled());
    ASSERT_TRUE(ticks.WaitFor(3));
    EXPECT_GE(ticks.at[0], 55);
}

TEST(ThreadedTimer, RepeatedZeroIntervalCyclesNeverLeaveTheTimerDead) {
    TThreadedTimer t;
    int n = 0;
    t.OnTimer = [&](TThreadedTimer*) { ++n; };
    t.SetInterval(0);
    t.SetEnabled(true);
    t.SetEnabled(false);
    t.SetEnabled(true);
    t.SetInterval(30);
    t.SetInterval(0);
    t.SetEnabled(false);
    t.SetInterval(20);
    t.SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return n >= 2; }, kLate));
}

TEST(ThreadedTimer, ExceptionsFromOnTimerAreSwallowedAndTickingGoesOn) {
    TThreadedTimer t;
    int n = 0;
    t.SetInterval(10);
    t.OnTimer = [&](TThreadedTimer*) {
        ++n;
        if (n % 2) throw std::runtime_error("handler failed");
        throw 42;
    };
    t.SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return n >= 4; }, kLate));
}

TEST(ThreadedTimer, DisablingDropsAPendingTick) {
    TThreadedTimer t;
    int n = 0;
    t.SetInterval(20);
    t.OnTimer = [&](TThreadedTimer*) { ++n; };
    t.SetEnabled(true);
    Busy(150ms); // the wait ends and the tick waits for the GUI thread
    t.SetEnabled(false);
    QTest::qWait(150);
    EXPECT_EQ(n, 0);
}

TEST(ThreadedTimer, AQueuedTickRunsWhenTheTimerIsEnabledByThenAndTheNextIsAFullIntervalLater) {
    // The tick was handed to the GUI thread before the disable and enable,
    // or the interval change; the timer is enabled when it gets there.
    for (bool intervalChange : {false, true}) {
        SCOPED_TRACE(intervalChange);
        TThreadedTimer t;
        Ticks ticks;
        t.SetInterval(120);
        t.OnTimer = [&](TThreadedTimer*) { ticks.Record(); };
        t.SetEnabled(true);
        Busy(250ms); // a tick is pending
        if (intervalChange) {
            t.SetInterval(130);
        } else {
            t.SetEnabled(false);
            t.SetEnabled(true);
        }
        QCoreApplication::processEvents();
        ASSERT_EQ(ticks.Count(), 1u);
        ASSERT_TRUE(ticks.WaitFor(2));
        EXPECT_GE(ticks.at[1] - ticks.at[0], 115);
    }
}

TEST(ThreadedTimer, DisablingInsideOnTimerStopsTicking) {
    TThreadedTimer t;
    int n = 0;
    t.SetInterval(10);
    t.OnTimer = [&](TThreadedTimer* s) {
        ++n;
        s->SetEnabled(false);
    };
    t.SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return n >= 1; }, kLate));
    QTest::qWait(100);
    EXPECT_EQ(n, 1);
    t.SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return n >= 2; }, kLate));
}

TEST(ThreadedTimer, DestroyWhileATickWaitsForTheGuiThread) {
    int n = 0;
    auto t = std::make_unique<TThreadedTimer>();
    t->SetInterval(10);
    t->OnTimer = [&](TThreadedTimer*) { ++n; };
    t->SetEnabled(true);
    Busy(150ms); // the wait thread now waits in the hand-off
    QElapsedTimer c;
    c.start();
    t.reset();
    EXPECT_LT(c.elapsed(), kLate);
    QTest::qWait(50); // the queued tick is delivered to nothing
    EXPECT_EQ(n, 0);
}

TEST(ThreadedTimer, DestroyFromAGuiThreadCallWhileATickWaits) {
    int n = 0;
    auto t = std::make_unique<TThreadedTimer>();
    t->SetInterval(10);
    t->OnTimer = [&](TThreadedTimer*) { ++n; };
    bool destroyed = false;
    // A call on the GUI thread that keeps it busy until the wait thread has
    // handed its tick off, then destroys the timer.
    QTimer::singleShot(0, [&] {
        t->SetEnabled(true);
        Busy(150ms);
        t.reset();
        destroyed = true;
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return destroyed; }, kLate));
    QTest::qWait(50);
    EXPECT_EQ(n, 0);
}

TEST(ThreadedTimer, DestroyFromInsideOnTimer) {
    int n = 0;
    auto t = std::make_unique<TThreadedTimer>();
    t->SetInterval(10);
    t->OnTimer = [&](TThreadedTimer*) {
        ++n;
        t.reset();
    };
    t->SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return !t; }, kLate));
    QTest::qWait(50);
    EXPECT_EQ(n, 1);
}

TEST(ThreadedTimer, ThreadPriorityIsStoredAndTickingGoesOn) {
    TThreadedTimer t;
    int n = 0;
    t.SetThreadPriority(tpHighest); // may be refused by the system; never fails
    EXPECT_EQ(t.ThreadPriority(), tpHighest);
    t.SetThreadPriority(tpLower);
    EXPECT_EQ(t.ThreadPriority(), tpLower);
    t.SetInterval(10);
    t.OnTimer = [&](TThreadedTimer*) { ++n; };
    t.SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return n >= 2; }, kLate));
}

TEST(ThreadedTimer, FactoryMakesInjectableTimers) {
    ThreadedTimerFactory factory;
    int n = 0;
    std::unique_ptr<ITimer> t = factory.Create(20, false);
    t->OnTimer = [&] { ++n; };
    EXPECT_EQ(t->Interval(), 20);
    EXPECT_FALSE(t->Enabled());
    QTest::qWait(60);
    EXPECT_EQ(n, 0);
    t->SetEnabled(true);
    ASSERT_TRUE(QTest::qWaitFor([&] { return n >= 2; }, kLate));
    t->SetInterval(-5);
    EXPECT_EQ(t->Interval(), 0);
    t->SetEnabled(false);
    t.reset();

    std::unique_ptr<ITimer> self = factory.Create(10, true);
    self->OnTimer = [&] { self.reset(); }; // destroyed from its own tick
    ASSERT_TRUE(QTest::qWaitFor([&] { return !self; }, kLate));
}

} // namespace
} // namespace orvane
