// The support classes: batched change notices, tick deadlines, waits and
// the forming of the device name.
#include "ScComm.h"
#include "ScObjects.h"
#include "ScPrst.h"
#include "ScUtils.h"

#include <gtest/gtest.h>

#include <cerrno>

using namespace orvane;

TEST(ScPersistent, ChangesInsideOneUpdateArriveOnceAtTheEnd) {
    TScFlowControl flow;
    int changes = 0;
    flow.SetOnChange([&](TScPersistent&) { ++changes; });
    flow.BeginUpdate();
    flow.SetXonXoffIn(true);
    flow.SetControlDtr(dtrEnabled);
    EXPECT_EQ(changes, 0);
    flow.EndUpdate();
    EXPECT_EQ(changes, 1);
    flow.SetXonXoffIn(true); // equal value: no notice
    EXPECT_EQ(changes, 1);
    flow.SetXonXoffIn(false);
    EXPECT_EQ(changes, 2);
}

TEST(ScDeadline, CountsAcrossTheTickWrap) {
    struct Case {
        uint32_t start, after;
        bool expired;
    };
    const Case cases[] = {
        {0xFFFFFFFFu - 10, 0xFFFFFFFFu - 10 + 1000, false}, // wraps: 1000 ms exactly, not yet
        {0xFFFFFFFFu - 10, 0xFFFFFFFFu - 10 + 1001, true},
        {0xFFFFFFFFu - 10, 5, false},                       // 16 ms after a wrap
        {100, 1100, false},
        {100, 1101, true},
    };
    for (const Case& c : cases) {
        uint32_t now = c.start;
        TScDeadline d([&] { return now; });
        d.Start(1000);
        now = c.after;
        EXPECT_EQ(d.Expired(), c.expired) << c.start << " -> " << c.after;
    }
}

TEST(ScObjects, EventsWaitAndAClosedHandleFails) {
    TScWaitEvent e;
    EXPECT_EQ(e.WaitFor(0), wrTimeout);
    e.SetEvent();
    EXPECT_EQ(e.WaitFor(0), wrSignaled);
    EXPECT_EQ(e.WaitFor(0), wrSignaled); // manual reset: stays signalled
    e.ResetEvent();
    EXPECT_EQ(e.WaitFor(0), wrTimeout);
    e.CloseHandle();
    EXPECT_EQ(e.WaitFor(0), wrError);
    EXPECT_EQ(e.LastError(), EBADF);
}

TEST(ScComm, DeviceNameTakesThePortInItsFirstPlaceholderOnly) {
    struct Case {
        const char* format;
        int port;
        const char* name;
    };
    const Case cases[] = {
        {"COM%d", 3, "COM3"},
        {"\\\\.\\COM%d", 12, "\\\\.\\COM12"},
        {"/dev/ttyUSB%d", 0, "/dev/ttyUSB0"},
        {"port%d-%d", 7, "port7-%d"},
        {"100%s%x%n", 1, "100%s%x%n"},
        {"%%d", 4, "%4"},
    };
    for (const Case& c : cases) {
        TScComm comm;
        comm.SetDeviceName(c.format);
        comm.SetPortNum(c.port);
        EXPECT_EQ(comm.FormattedDeviceName(), c.name) << c.format;
    }
}

TEST(ScComm, DefaultsAndEventMask) {
    TScComm comm;
    EXPECT_EQ(comm.Baudrate(), br1200);
    EXPECT_EQ(comm.Databits(), db8);
    EXPECT_EQ(comm.DeviceName(), "COM%d");
    EXPECT_EQ(comm.Buffers().ReadSize(), 4096);
    EXPECT_EQ(comm.Buffers().WriteTimeout(), 1000);
    EXPECT_EQ(comm.EventChars().XoffChar(), 19);
    EXPECT_EQ(comm.EventPriority(), tpNormal);
    EXPECT_EQ(comm.WritePriority(), tpHighest);
    comm.SetVersion("9");
    EXPECT_EQ(comm.Version(), "2.0.0.0");
    EXPECT_EQ(ScEventMask(comm.MonitorEvents()), EV_ERR | EV_RXCHAR | EV_TXEMPTY);
    EXPECT_EQ(ScEventMask({ceBreak, ceRing, ceEvent2}), EV_BREAK | EV_RING | EV_EVENT2);
    EXPECT_EQ(ScBaudrateValue(br56000), 56000u);
    EXPECT_EQ(ScBaudrateValue(br128000), 128000u);
}
