// The event and write threads on a real pseudo-terminal: what reaches the
// handlers on the GUI thread, and that every stop ends its threads.
#include "ScDisplay.h"
#include "SerialFixture.h"

#include <QCoreApplication>
#include <QTest>

#include <dirent.h>
#include <fstream>
#include <thread>

using namespace orvane;
using namespace orvane::test;

namespace {

// The component's own threads, by the names it gives them. The whole task
// list would not do: a joined thread stays listed for a moment while the
// kernel reaps it, and other parts of the process may start helpers.
int SerialThreadCount() {
    int n = 0;
    if (DIR* d = ::opendir("/proc/self/task")) {
        while (dirent* e = ::readdir(d)) {
            if (e->d_name[0] == '.') continue;
            std::ifstream comm(std::string("/proc/self/task/") + e->d_name + "/comm");
            std::string name;
            if (std::getline(comm, name) && (name == "serial events" || name == "serial writes")) ++n;
        }
        ::closedir(d);
    }
    return n;
}

// Waits, without running the GUI thread's events, until count bytes wait.
bool AllWaiting(TScComm& comm, int count) {
    for (int i = 0; i < 5000; ++i) {
        if (comm.InputQueueCount() == count) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    return false;
}

} // namespace

using ScThreads = SerialFixture;

TEST_F(ScThreads, ABurstComesAsOneRxCharWithTheCountWaiting) {
    std::vector<int> counts;
    std::string received;
    comm.OnRxChar = [&](TScComponent*, int count) {
        counts.push_back(count);
        received += comm.ReadText();
    };
    comm.Open();
    // The GUI thread is busy here: the burst piles up before the handler runs.
    const std::string burst(500, 'B');
    ASSERT_TRUE(peer.Write(burst));
    ASSERT_TRUE(AllWaiting(comm, 500));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 500; }, 5000));
    EXPECT_EQ(counts, std::vector<int>{500});
    // Nothing further comes for bytes already read: the next call is the next arrival.
    ASSERT_TRUE(peer.Write("end"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received.size() == 503; }, 5000));
    EXPECT_EQ(counts, (std::vector<int>{500, 3}));
}

TEST_F(ScThreads, UnreadBytesAreReportedAgainOnlyWhenMoreArrive) {
    std::vector<int> counts;
    comm.OnRxChar = [&](TScComponent*, int count) { counts.push_back(count); };
    comm.Open();
    ASSERT_TRUE(peer.Write("abc"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return counts.size() == 1; }, 5000));
    ASSERT_TRUE(peer.Write("de"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return counts.size() == 2; }, 5000));
    EXPECT_EQ(counts, (std::vector<int>{3, 5}));
    EXPECT_EQ(comm.ReadText(), "abcde");
}

TEST_F(ScThreads, TxEmptyOnceAfterTheWriteThreadDrains) {
    int empty = 0;
    comm.OnTxEmpty = [&](TScComponent*) { ++empty; };
    comm.Open();
    EXPECT_EQ(comm.EventMask() & EV_TXEMPTY, 0u);
    ASSERT_TRUE(comm.WriteText("first"));
    EXPECT_EQ(peer.ReadCount(5, 5000), "first");
    ASSERT_TRUE(QTest::qWaitFor([&] { return empty == 1; }, 5000));
    ASSERT_TRUE(comm.WriteText("second"));
    EXPECT_EQ(peer.ReadCount(6, 5000), "second");
    ASSERT_TRUE(QTest::qWaitFor([&] { return empty == 2; }, 5000));
    EXPECT_EQ(empty, 2);
}

TEST_F(ScThreads, MoreThanTheWriteBufferHoldsEndsInTheOverflowText) {
    TScBuffers small;
    small.SetWriteSize(16);
    comm.SetBuffers(small);
    // Each look at the clock moves it on by 100 ms.
    uint32_t clock = 0xFFFFFF00u; // the wait spans the tick count's wrap
    int looks = 0;
    comm.SetTickSource([&] {
        ++looks;
        return clock += 100;
    });
    comm.Open();
    EXPECT_EQ(Raised([&] { comm.WriteBuf(std::string(17, 'x').data(), 17); }),
              "Output buffer is full. Please check comm status.");
    // Start plus at least ten looks of 100 ms before 1000 ms have passed.
    EXPECT_GE(looks, 11);
    EXPECT_EQ(comm.WriteBuf(std::string(16, 'y').data(), 16), 16);
    EXPECT_EQ(peer.ReadCount(16, 5000), std::string(16, 'y'));
}

TEST_F(ScThreads, AStalledWriteIsDroppedWithTheErrorEventAfterWriteTimeout) {
    std::vector<uint32_t> errors;
    int empty = 0;
    comm.OnError = [&](TScComponent*, uint32_t mask) { errors.push_back(mask); };
    comm.OnTxEmpty = [&](TScComponent*) { ++empty; };
    comm.Open();
    comm.EscapeFunction(SETXOFF); // the line takes nothing now
    ASSERT_TRUE(comm.WriteText("lost"));
    // Time passes while the write thread waits for the line.
    ASSERT_TRUE(QTest::qWaitFor([&] {
        ticks += 50;
        return !errors.empty();
    }, 5000));
    EXPECT_EQ(errors, std::vector<uint32_t>{CE_TXFULL});
    comm.EscapeFunction(SETXON);
    ASSERT_TRUE(comm.WriteText("kept"));
    EXPECT_EQ(peer.ReadCount(4, 5000), "kept");
    ASSERT_TRUE(QTest::qWaitFor([&] { return empty == 1; }, 5000));
}

TEST_F(ScThreads, AHangUpIsReportedOnceAndCloseStillWorks) {
    std::vector<uint32_t> errors;
    comm.OnError = [&](TScComponent*, uint32_t mask) { errors.push_back(mask); };
    comm.Open();
    peer.HangUp();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !errors.empty(); }, 5000));
    // A write to the dead line fails for WriteTimeout, then is dropped as an I/O error.
    ASSERT_TRUE(comm.WriteText("gone"));
    ASSERT_TRUE(QTest::qWaitFor([&] {
        ticks += 50;
        return errors.size() == 2;
    }, 5000));
    EXPECT_EQ(errors, (std::vector<uint32_t>{CE_IOE, CE_IOE}));
    comm.Close();
    EXPECT_FALSE(comm.IsOpen());
}

TEST_F(ScThreads, CloseWhileBytesStreamIn) {
    std::atomic<bool> stop{false};
    int calls = 0;
    comm.OnRxChar = [&](TScComponent*, int) {
        ++calls;
        comm.ReadText();
    };
    comm.Open();
    std::thread sender([&] {
        const std::string chunk(64, 'S');
        while (!stop && peer.Write(chunk, 50)) std::this_thread::yield();
    });
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls >= 5; }, 5000));
    comm.Close();
    EXPECT_FALSE(comm.EventThreadRunning());
    const int after = calls;
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, after);
    stop = true;
    sender.join();
}

TEST_F(ScThreads, ClosingFromInsideAHandlerEndsTheThreads) {
    comm.OnRxChar = [&](TScComponent*, int) { comm.Close(); };
    comm.Open();
    ASSERT_TRUE(peer.Write("x"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return !comm.IsOpen(); }, 5000));
    EXPECT_FALSE(comm.EventThreadRunning());
}

TEST_F(ScThreads, AHundredOpenCloseCyclesLeaveNoThread) {
    ASSERT_EQ(SerialThreadCount(), 0);
    for (int i = 0; i < 100; ++i) {
        comm.Open();
        // A new thread takes its name when it first runs.
        ASSERT_TRUE(QTest::qWaitFor([] { return SerialThreadCount() == 2; }, 5000)) << "cycle " << i;
        comm.Close();
        EXPECT_FALSE(comm.EventThreadRunning() || comm.WriteThreadRunning());
        // Joined already; a thread left behind would stay listed for good.
        ASSERT_TRUE(QTest::qWaitFor([] { return SerialThreadCount() == 0; }, 5000)) << "cycle " << i;
    }
    EXPECT_EQ(sleeps.size(), 100u);
}

TEST_F(ScThreads, WithoutMonitorEventsNoEventThreadRuns) {
    int calls = 0;
    comm.OnRxChar = [&](TScComponent*, int) { ++calls; };
    comm.SetMonitorEvents({});
    comm.Open();
    EXPECT_FALSE(comm.EventThreadRunning());
    ASSERT_TRUE(peer.Write("abc"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return comm.InputQueueCount() == 3; }, 5000));
    QCoreApplication::processEvents();
    EXPECT_EQ(calls, 0);
}

TEST_F(ScThreads, AnExceptionFromAHandlerGoesToTheApplicationHandler) {
    std::vector<std::string> reported;
    TScCustomComm::SetApplicationExceptionHandler([&](const std::string& m) { reported.push_back(m); });
    int calls = 0;
    comm.OnRxChar = [&](TScComponent*, int) {
        ++calls;
        comm.ReadText();
        throw std::runtime_error("handler failed");
    };
    comm.Open();
    ASSERT_TRUE(peer.Write("1"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls == 1; }, 5000));
    ASSERT_TRUE(peer.Write("2"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls == 2; }, 5000));
    EXPECT_EQ(reported, (std::vector<std::string>{"handler failed", "handler failed"}));
    TScCustomComm::SetApplicationExceptionHandler({});
}

namespace {

struct CountingDisplay : TScDisplay {
    int events = 0;
    void CommEvent(TScCustomComm&) override { ++events; }
};

} // namespace

TEST_F(ScThreads, AnAttachedDisplayHearsEachBatchUntilItGoesAway) {
    auto* display = new CountingDisplay;
    comm.SetDisplay(display);
    std::string received;
    comm.OnRxChar = [&](TScComponent*, int) { received += comm.ReadText(); };
    comm.Open();
    ASSERT_TRUE(peer.Write("a"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == "a"; }, 5000));
    EXPECT_EQ(display->events, 1);
    delete display;
    EXPECT_EQ(comm.Display(), nullptr);
    ASSERT_TRUE(peer.Write("b"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return received == "ab"; }, 5000));
}

TEST_F(ScThreads, AnInputQueueFourFifthsFullIsReported) {
    TScBuffers buffers;
    buffers.SetReadSize(100);
    comm.SetBuffers(buffers);
    comm.SetMonitorEvents({ceRxChar, ceRx80Full});
    int full = 0;
    std::vector<int> counts;
    comm.OnRx80Full = [&](TScComponent*) { ++full; };
    comm.OnRxChar = [&](TScComponent*, int count) { counts.push_back(count); };
    comm.Open();
    ASSERT_TRUE(peer.Write(std::string(79, 'a')));
    ASSERT_TRUE(QTest::qWaitFor([&] { return counts.size() == 1; }, 5000));
    EXPECT_EQ(full, 0);
    ASSERT_TRUE(peer.Write("b"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return counts.size() == 2; }, 5000));
    EXPECT_EQ(counts, (std::vector<int>{79, 80}));
    EXPECT_EQ(full, 1);
}
