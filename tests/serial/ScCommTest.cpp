// The component on a real pseudo-terminal: opening and closing, the texts of
// its refusals and failures, and the line settings as the tty holds them.
#include "ScLine.h"
#include "SerialFixture.h"

#include <QTemporaryDir>
#include <QTest>
#include <fstream>

using namespace orvane;
using namespace orvane::test;

using ScCommOpen = SerialFixture;

TEST_F(ScCommOpen, OpensClosesAndReopens) {
    int opened = 0, closed = 0;
    comm.OnOpen = [&](TScComponent*) { ++opened; };
    comm.OnClose = [&](TScComponent*) { ++closed; };
    for (int round = 0; round < 2; ++round) {
        comm.Open();
        ASSERT_TRUE(comm.IsOpen());
        EXPECT_GE(comm.Handle(), 0);
        EXPECT_TRUE(comm.EventThreadRunning());
        EXPECT_TRUE(comm.WriteThreadRunning());
        comm.Close();
        EXPECT_FALSE(comm.IsOpen());
        EXPECT_FALSE(comm.EventThreadRunning());
        EXPECT_FALSE(comm.WriteThreadRunning());
    }
    EXPECT_EQ(opened, 2);
    EXPECT_EQ(closed, 2);
    EXPECT_EQ(sleeps, (std::vector<int>{300, 300}));
    // Closing a closed port neither calls OnClose nor waits.
    comm.Close();
    EXPECT_EQ(closed, 2);
    EXPECT_EQ(sleeps.size(), 2u);
}

TEST_F(ScCommOpen, FailuresCarryTheirTexts) {
    TScComm missing;
    missing.SetDeviceName("/nonexistent/tty%d");
    missing.SetPortNum(3);
    EXPECT_EQ(Raised([&] { missing.Open(); }), "Specified device not found (/nonexistent/tty3).");
    EXPECT_FALSE(missing.IsOpen());

    missing.SetDeviceName("COM%d");
    missing.SetPortNum(200);
    EXPECT_EQ(Raised([&] { missing.Open(); }), "Specified device not found (/dev/ttyS199).");

    // A file that is no line cannot take a device control block.
    QTemporaryDir dir;
    const std::string plain = dir.path().toStdString() + "/plain";
    std::ofstream(plain) << "x";
    TScComm file;
    file.SetDeviceName(plain);
    EXPECT_EQ(Raised([&] { file.Open(); }), "Error writing dcb (25), Inappropriate ioctl for device");
    EXPECT_FALSE(file.IsOpen());
    file.SetUpdateDCB(false);
    EXPECT_EQ(Raised([&] { file.Open(); }), "Error setting timeouts (25), Inappropriate ioctl for device");
    EXPECT_FALSE(file.IsOpen());

    // Four data bits exist on no Linux line: the opening fails and closes.
    comm.SetDatabits(db4);
    EXPECT_EQ(Raised([&] { comm.Open(); }), "Error writing dcb (22), Invalid argument");
    EXPECT_FALSE(comm.IsOpen());
    comm.SetDatabits(db7);
    comm.Open();
    EXPECT_EQ(Raised([&] { comm.Open(); }), "Can't perform this operation while port is open");
    EXPECT_EQ(Raised([&] { comm.SetDatabits(db4); }), "Error writing dcb (22), Invalid argument");
}

// A rate of 0 hangs a real line up; the user rate it would come from is
// refused like any other setting the line cannot take.
TEST_F(ScCommOpen, AUserRateOfZeroIsRefused) {
    comm.SetBaudrate(brUser);
    ASSERT_EQ(comm.UserBaudrate(), 0);
    EXPECT_EQ(Raised([&] { comm.Open(); }), "Error writing dcb (22), Invalid argument");
    EXPECT_FALSE(comm.IsOpen());
    comm.SetUserBaudrate(-9600);
    EXPECT_EQ(Raised([&] { comm.Open(); }), "Error writing dcb (22), Invalid argument");
    EXPECT_FALSE(comm.IsOpen());

    comm.SetUserBaudrate(31250);
    comm.Open();
    EXPECT_EQ(Raised([&] { comm.SetUserBaudrate(0); }), "Error writing dcb (22), Invalid argument");
    comm.SetBaudrate(br9600);
    ASSERT_EQ(comm.UserBaudrate(), 0);
    EXPECT_EQ(Raised([&] { comm.SetBaudrate(brUser); }), "Error writing dcb (22), Invalid argument");
    // The line keeps the last rate it could take.
    scline::Settings line;
    ASSERT_EQ(scline::Read(comm.Handle(), line), 0);
    EXPECT_EQ(line.baud, 9600u);
}

TEST_F(ScCommOpen, SettingsThatNeedAClosedPortAreRefusedWhileOpen) {
    comm.Open();
    const std::string name = comm.DeviceName();
    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<bool()> unchanged;
    };
    TScBuffers bigger;
    bigger.SetReadSize(8192);
    const Case cases[] = {
        {"PortNum", [&] { comm.SetPortNum(5); }, [&] { return comm.PortNum() == 0; }},
        {"DeviceName", [&] { comm.SetDeviceName("COM%d"); }, [&] { return comm.DeviceName() == name; }},
        {"MonitorEvents", [&] { comm.SetMonitorEvents({}); }, [&] { return !comm.MonitorEvents().Empty(); }},
        {"DirectWrite", [&] { comm.SetDirectWrite(true); }, [&] { return !comm.DirectWrite(); }},
        {"UpdateDCB", [&] { comm.SetUpdateDCB(false); }, [&] { return comm.UpdateDCB(); }},
        {"Buffers", [&] { comm.SetBuffers(bigger); }, [&] { return comm.Buffers().ReadSize() == 4096; }},
        {"Buffers.WriteSize", [&] { comm.Buffers().SetWriteSize(16); },
         [&] { return comm.Buffers().WriteSize() == 2048; }},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(Raised(c.change), "Can't perform this operation while port is open") << c.what;
        EXPECT_TRUE(c.unchanged()) << c.what;
    }
    comm.Close();
    for (const Case& c : cases) EXPECT_EQ(Raised(c.change), "") << c.what;
    EXPECT_EQ(comm.Buffers().ReadSize(), 8192);
}

// A pseudo-terminal keeps speed, stop bits and flow control but always
// reports eight data bits and no parity; those are checked in the settings
// the component hands to the line.
TEST_F(ScCommOpen, LineSettingsReachTheLineWhileOpenAndAtTheNextOpening) {
    scline::Settings line;
    comm.SetBaudrate(br19200);
    comm.SetParity(paEven); // stored only while closed
    EXPECT_EQ(comm.LineSettings().parity, scline::kEven);
    comm.Open();
    ASSERT_EQ(scline::Read(comm.Handle(), line), 0);
    EXPECT_EQ(line.baud, 19200u);

    struct Case {
        const char* what;
        std::function<void()> change;
        std::function<bool(const scline::Settings&)> holds;
        bool lineKeepsIt;
    };
    const Case cases[] = {
        {"odd baud rate", [&] { comm.SetBaudrate(br14400); }, [](auto& l) { return l.baud == 14400; }, true},
        {"256000", [&] { comm.SetBaudrate(br256000); }, [](auto& l) { return l.baud == 256000; }, true},
        {"user rate", [&] { comm.SetUserBaudrate(31250); }, [](auto& l) { return l.baud == 31250; }, true},
        {"1.5 stop bits", [&] { comm.SetStopbits(sb15); }, [](auto& l) { return l.twoStopBits; }, true},
        {"cts flow", [&] { comm.FlowControl().SetOutCtsFlow(true); }, [](auto& l) { return l.rtsCts; }, true},
        {"xon/xoff", [&] { comm.FlowControl().SetXonXoffIn(true); }, [](auto& l) { return l.xonIn; }, true},
        {"xon char", [&] { comm.EventChars().SetXonChar('Q'); }, [](auto& l) { return l.xonChar == 'Q'; }, true},
        {"parity check", [&] { comm.SetOptions({coParityCheck}); }, [](auto& l) { return l.parityCheck; }, true},
        {"mark", [&] { comm.SetParity(paMark); }, [](auto& l) { return l.parity == scline::kMark; }, false},
        {"space", [&] { comm.SetParity(paSpace); }, [](auto& l) { return l.parity == scline::kSpace; }, false},
        {"odd", [&] { comm.SetParity(paOdd); }, [](auto& l) { return l.parity == scline::kOdd; }, false},
        {"5 data bits", [&] { comm.SetDatabits(db5); }, [](auto& l) { return l.dataBits == 5; }, false},
    };
    for (const Case& c : cases) {
        c.change();
        EXPECT_TRUE(c.holds(comm.LineSettings())) << c.what;
        ASSERT_EQ(scline::Read(comm.Handle(), line), 0);
        if (c.lineKeepsIt) {
            EXPECT_TRUE(c.holds(line)) << c.what;
        }
    }
    EXPECT_EQ(comm.Baudrate(), brUser);
    comm.SetBaudrate(br9600);
    EXPECT_EQ(comm.UserBaudrate(), 0);

    // An equal value does not touch the line: what the line holds stays.
    scline::Settings other = comm.LineSettings();
    other.baud = 4800;
    ASSERT_EQ(scline::Apply(comm.Handle(), &other), 0);
    comm.SetBaudrate(br9600);
    ASSERT_EQ(scline::Read(comm.Handle(), line), 0);
    EXPECT_EQ(line.baud, 4800u);
}

TEST_F(ScCommOpen, WithoutUpdateDCBTheLineKeepsItsSettings) {
    scline::Settings before;
    before.baud = 4800;
    before.twoStopBits = true;
    before.xonIn = true;
    ASSERT_EQ(scline::Apply(peer.SlaveFd(), &before), 0);
    comm.SetUpdateDCB(false);
    comm.SetBaudrate(br115200);
    comm.Open();
    comm.SetStopbits(sb1);
    scline::Settings line;
    ASSERT_EQ(scline::Read(comm.Handle(), line), 0);
    EXPECT_EQ(line.baud, 4800u);
    EXPECT_TRUE(line.twoStopBits);
    EXPECT_TRUE(line.xonIn);
}

TEST_F(ScCommOpen, EventCharsAreIndependentAndBatchedInAssign) {
    TScEventChars chars;
    chars.SetEofChar(26);
    EXPECT_EQ(chars.EventChar(), 0);
    chars.SetEventChar('\n');
    EXPECT_EQ(chars.EofChar(), 26);
    EXPECT_EQ(chars.EventChar(), '\n');
    int changes = 0;
    comm.EventChars().SetOnChange([&](TScPersistent&) { ++changes; });
    comm.SetEventChars(chars);
    EXPECT_EQ(changes, 1);
    EXPECT_EQ(comm.EventChars().EofChar(), 26);
    EXPECT_EQ(comm.EventChars().EventChar(), '\n');
}

TEST_F(ScCommOpen, ReadAndWriteOfAClosedOrQuietPort) {
    EXPECT_FALSE(comm.WriteText("abc"));
    char buf[4];
    EXPECT_EQ(comm.ReadBuf(buf, 4), 0);
    EXPECT_EQ(comm.InputQueueCount(), 0);
    comm.Open();
    EXPECT_EQ(comm.ReadText(), "");
    ASSERT_TRUE(peer.Write("xyz"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return comm.InputQueueCount() == 3; }, 5000));
    EXPECT_EQ(comm.ReadText(), "xyz");
    EXPECT_TRUE(comm.WriteText("hello"));
    EXPECT_EQ(peer.ReadCount(5, 5000), "hello");
}

TEST_F(ScCommOpen, DirectWriteReachesTheLineAndReportsAnEmptyTransmitter) {
    comm.SetDirectWrite(true);
    int empty = 0;
    comm.OnTxEmpty = [&](TScComponent*) { ++empty; };
    comm.Open();
    EXPECT_FALSE(comm.WriteThreadRunning());
    EXPECT_EQ(comm.EventMask() & EV_TXEMPTY, EV_TXEMPTY);
    EXPECT_EQ(comm.WriteBuf("direct", 6), 6);
    EXPECT_EQ(peer.ReadCount(6, 5000), "direct");
    EXPECT_TRUE(QTest::qWaitFor([&] { return empty == 1; }, 5000));
}

TEST_F(ScCommOpen, LineControlAndItsRefusals) {
    TScComm closed;
    closed.SetDtr(true); // closed, no handshake: nothing happens
    closed.FlowControl().SetControlDtr(dtrHandshake);
    EXPECT_EQ(Raised([&] { closed.SetDtr(true); }),
              "DTR line updates not allowed when flowcontrol is set to Handshake.");
    for (TScControlRts rts : {rtsHandshake, rtsToggle}) {
        closed.FlowControl().SetControlRts(rts);
        EXPECT_EQ(Raised([&] { closed.SetRts(false); }),
                  "RTS line updates not allowed when flowcontrol is set to Handshake or Toggle.");
    }
    comm.FlowControl().SetControlDtr(dtrEnabled);
    comm.Open();
    // A pseudo-terminal has no modem lines; asking for them counts as done.
    EXPECT_EQ(Raised([&] {
                  comm.SetDtr(true);
                  comm.SetRts(true);
                  comm.SetDtr(false);
              }),
              "");
    EXPECT_EQ(Raised([&] { comm.EscapeFunction(99); }), "Error calling comm function (22), Invalid argument");
}

TEST_F(ScCommOpen, ComPortNamesLeadToTheirLinks) {
    const std::string folder = ScUserDataFolder();
    ASSERT_FALSE(folder.empty());
    peer.LinkAs(folder, "COM12");
    struct Case {
        const char* format;
        int port;
        const char* formatted;
    };
    const Case cases[] = {{"COM%d", 12, "COM12"}, {"\\\\.\\COM%d", 12, "\\\\.\\COM12"}};
    for (const Case& c : cases) {
        TScComm port;
        port.SetSleep([](int) {});
        port.SetDeviceName(c.format);
        port.SetPortNum(c.port);
        EXPECT_EQ(port.FormattedDeviceName(), c.formatted);
        EXPECT_EQ(Raised([&] { port.Open(); }), "") << c.format;
        EXPECT_TRUE(port.IsOpen());
    }
    EXPECT_EQ(ScResolvePortName("COM3", "/nowhere"), "/dev/ttyS2");
    EXPECT_EQ(ScResolvePortName("\\\\.\\COM12", folder), folder + "ports/COM12");
    EXPECT_EQ(ScResolvePortName("/dev/ttyUSB0", folder), "/dev/ttyUSB0");
}

TEST_F(ScCommOpen, LoadedOpensOnlyWithAutoOpen) {
    comm.Loaded();
    EXPECT_FALSE(comm.IsOpen());
    comm.SetAutoOpen(true);
    comm.Loaded();
    EXPECT_TRUE(comm.IsOpen());
}
