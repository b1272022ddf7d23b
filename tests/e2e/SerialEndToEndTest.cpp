// Live RDS from a serial receiver: the real program, a pseudo-terminal linked
// as COM1, and a receiver circuit that sends encoder-made groups as level
// bytes at 3,000 bytes a second.
#include "AppFakes.h"
#include "IniFile.h"
#include "OrvaneApp.h"
#include "PtyPeer.h"
#include "RdsEncoder.h"
#include "Unit1.h"
#include "ValueTable.h"
#include "si.h"

#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <thread>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

namespace {

// One byte per bit, as the receiver circuit codes the data line's level.
std::string ReceiverBytes(const std::vector<uint8_t>& bits) {
    static const char kHigh[] = {'\xFF', '\xFE'}, kLow[] = {'\x00', '\x80'};
    std::string out;
    for (size_t i = 0; i < bits.size(); ++i) out += bits[i] ? kHigh[i % 2] : kLow[i % 2];
    return out;
}

// Sends the bytes at the line rate of a receiver sampling 3,000 times a second.
class ReceiverCircuit {
public:
    ReceiverCircuit(PtyPeer& peer, std::string bytes)
        : thread_([this, &peer, bytes = std::move(bytes)] {
              const auto start = std::chrono::steady_clock::now();
              for (size_t sent = 0; sent < bytes.size() && !stop_; sent += 30) {
                  if (!peer.Write(bytes.substr(sent, 30), 1000)) break;
                  std::this_thread::sleep_until(start + std::chrono::milliseconds(10 * (sent / 30 + 1)));
              }
              done_ = true;
          }) {}
    ~ReceiverCircuit() {
        stop_ = true;
        thread_.join();
    }
    bool Done() const { return done_; }

private:
    std::atomic<bool> stop_{false}, done_{false};
    std::thread thread_;
};

} // namespace

TEST(SerialEndToEnd, LivePIAndPSFromAReceiverOnCOM1) {
    QTemporaryDir dir;
    const std::string folder = dir.path().toStdString() + "/orvane/";
    fs::create_directories(folder);
    const std::string data = std::string(qgetenv("XDG_DATA_HOME")) + "/orvane/";
    QDir(QString::fromStdString(data)).removeRecursively();
    fs::create_directories(data);
    // The workspace selects the serial receiver on COM1, which leads to the line.
    {
        TIniFile workspace(data + "default.owk");
        workspace.WriteInteger("General", "SrcNum", 0);
        workspace.WriteInteger("General", "COMPort1", 1);
        workspace.UpdateFile();
    }
    PtyPeer peer;
    peer.LinkAs(data, "COM1");

    SystemEnv system;
    FakeModal modal;
    AppEnv env = system.Make(folder + "orvane", {});
    env.modal = &modal;
    env.sleep = [](int) {};
    OrvaneApp program(std::move(env));
    program.CreateWindows();
    TForm1& main = *program.Forms().form1;
    main.show();
    ASSERT_EQ(main.DataFolder(), data);
    EXPECT_EQ(main.SourceNumber(), TForm1::kSourceSerial);
    ASSERT_TRUE(main.Sources().Serial().ScComm1().IsOpen()) << main.StatusText().toStdString();

    const char ps[8] = {'S', 'E', 'R', 'I', 'A', 'L', ' ', '1'};
    BitStream stream(7);
    stream.Noise(37);
    for (const Group& g : StationGroups(0x4D21, ps, 40)) stream.Add(g);
    stream.Bits({1}); // ends on a high level, so the last byte is no zero
    const std::string bytes = ReceiverBytes(stream.bits());
    ASSERT_NE(bytes.back(), '\0');
    ReceiverCircuit circuit(peer, bytes);

    ASSERT_TRUE(QTest::qWaitFor([&] { return circuit.Done() && main.Ring().Pending() == 0; }, 20000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.ShownGroupCount() >= 38; }, 5000));
    EXPECT_EQ(main.LPI->text().toStdString(), "4D21");
    EXPECT_EQ(main.LPS->text().toStdString(), "SERIAL 1");
    EXPECT_EQ(main.LGR->text().toStdString(), std::to_string(main.ShownGroupCount()));
    EXPECT_LE(main.ShownGroupCount(), 40);
    EXPECT_EQ(ReadValue(main.ValueTable(), "PI"), "4D21");
    EXPECT_EQ(ReadValue(main.ValueTable(), "PS"), "SERIAL 1");
    EXPECT_EQ(main.Sources().Serial().LastByte(), static_cast<uint8_t>(bytes.back()));
    EXPECT_TRUE(main.Sources().Serial().LastByteValid());

    // The status window reads the line: its port, the last byte and whether it was a code.
    TFSI& status = *program.Forms().fsi;
    status.show();
    EXPECT_EQ(status.RowValue("COM Port"), "COM1");
    EXPECT_EQ(status.RowValue("Port opened"), "Yes");
    status.Timer1Timer(); // showing was the first tick; this one writes the figures
    char sample[8];
    std::snprintf(sample, sizeof sample, "0x%02X", static_cast<unsigned>(static_cast<uint8_t>(bytes.back())));
    EXPECT_EQ(status.RowValue("Input sample"), sample);
    EXPECT_EQ(status.RowValue("Input signal characteristics"), "OK");
    status.Timer1Timer(); // the byte and its flag were taken and cleared
    EXPECT_EQ(status.RowValue("Input sample"), "0x00");
    EXPECT_EQ(status.RowValue("Input signal characteristics"), "Failed");
    status.hide();

    // The adapter is pulled out: the line error is shown, the window goes on.
    peer.HangUp();
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return main.StatusText() == "Connection error: COM port line error (COM1)!"; }, 5000));
    main.Clear1Click();
    EXPECT_EQ(main.LPI->text().toStdString(), "----");
    bool ran = false;
    QMetaObject::invokeMethod(&main, [&] { ran = true; }, Qt::QueuedConnection);
    EXPECT_TRUE(QTest::qWaitFor([&] { return ran; }, 5000));
    main.close();
    EXPECT_FALSE(main.Sources().Serial().ScComm1().IsOpen());
    QDir(QString::fromStdString(data)).removeRecursively();
}
