// The serial branch of connecting and disconnecting, on a pseudo-terminal
// linked as a COM port, and the sound-card branch on the test capture PCM.
#include "AlsaCapturePcm.h"
#include "FakeTime.h"
#include "PtyPeer.h"
#include "SourceManager.h"

#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using namespace orvane;
using namespace orvane::test;

namespace {

struct FakeHost : ISourceHost, ISourceSettings {
    std::vector<int> bits;
    std::vector<std::string> shown;
    bool tick = false;
    int stops = 0, resets = 0;
    int source = 0, port = 1;
    void AddToDecoderBuffer(uint8_t bit) override { bits.push_back(bit); }
    void Show(const std::string& m) override { shown.push_back(m); }
    void EnableDecoderTick(bool on) override { tick = on; }
    void StopRecording() override { ++stops; }
    void ResetDecodedData() override { ++resets; }
    int SourceNumber() const override { return source; }
    int SerialComPort() const override { return port; }
    // The sound card
    FakeTime time;
    DefaultOptions options;
    BitSlicer slicer{*this, time, time};
    int device = -1;
    SlicerSettings slicing;
    bool SoundCardIsSource() const override { return source == 1; }
    const IOptions& Options() const override { return options; }
    BitSlicer* SoundCard() override { return &slicer; }
    int AudioInDevice() const override { return device; }
    SlicerSettings SoundCardSettings() const override { return slicing; }
    DeviceSettings deviceLink;
    DeviceSettings DeviceLinkSettings() const override { return deviceLink; }
    int noSync = 0;
    void ShowNoSync() override { ++noSync; }
};

class SourceManagerTest : public ::testing::Test {
protected:
    SourceManagerTest() { ScSetUserDataFolder(dataFolder.path().toStdString()); }
    ~SourceManagerTest() override { ScSetUserDataFolder({}); }
    QTemporaryDir dataFolder;
    PtyPeer peer;
    FakeHost host;
    std::vector<int> sleeps;
    SourceManager sources{host, host, [this](int ms) { sleeps.push_back(ms); }};
};

} // namespace

TEST_F(SourceManagerTest, ConnectingOpensTheLinkedPortAndBytesBecomeBits) {
    peer.LinkAs(dataFolder.path().toStdString(), "COM3");
    host.port = 3;
    sources.Serial().HandleByte(0xC1); // something to clear
    sources.ConnectToSource();
    TScComm& port = sources.Serial().ScComm1();
    ASSERT_TRUE(port.IsOpen());
    EXPECT_EQ(port.FormattedDeviceName(), "COM3");
    EXPECT_EQ(port.Baudrate(), br19200);
    EXPECT_TRUE(host.tick);
    EXPECT_TRUE(host.shown.empty());
    EXPECT_EQ(sources.Serial().LastByte(), 0);
    EXPECT_FALSE(sources.Serial().LastByteValid());
    host.bits.clear();

    ASSERT_TRUE(peer.Write(std::string("\x00\xE0\xFF\xFE\x80", 5)));
    ASSERT_TRUE(QTest::qWaitFor([&] { return host.bits.size() == 5; }, 5000));
    EXPECT_EQ(host.bits, (std::vector<int>{0, 1, 1, 1, 0}));
    EXPECT_EQ(sources.Serial().LastByte(), 0x80);

    sources.DisconnectFromSource();
    EXPECT_FALSE(port.IsOpen());
    EXPECT_FALSE(host.tick);
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(host.resets, 1);
    EXPECT_EQ(sleeps, std::vector<int>{300});
}

TEST_F(SourceManagerTest, PortsAboveNineAreOpenedByTheirLongName) {
    struct Case {
        int port;
        const char* name;
    };
    for (const Case& c : {Case{9, "COM9"}, Case{12, "\\\\.\\COM12"}}) {
        peer.LinkAs(dataFolder.path().toStdString(), "COM" + std::to_string(c.port));
        host.port = c.port;
        sources.ConnectToSource();
        EXPECT_TRUE(sources.Serial().ScComm1().IsOpen()) << c.port;
        EXPECT_EQ(sources.Serial().ScComm1().FormattedDeviceName(), c.name);
        sources.DisconnectFromSource();
    }
    EXPECT_TRUE(host.shown.empty());
}

TEST_F(SourceManagerTest, APortThatCannotOpenIsToldAndTheTickStillRuns) {
    host.port = 200; // no link, no /dev/ttyS199
    sources.ConnectToSource();
    EXPECT_FALSE(sources.Serial().ScComm1().IsOpen());
    EXPECT_EQ(host.shown, std::vector<std::string>{"Connection error: Unable to open the COM port (COM200)!"});
    EXPECT_TRUE(host.tick);
    sources.DisconnectFromSource();
    EXPECT_TRUE(sleeps.empty()); // nothing was open, nothing to wait for
}

TEST_F(SourceManagerTest, AnUnpluggedLineIsToldOnce) {
    peer.LinkAs(dataFolder.path().toStdString(), "COM1");
    sources.ConnectToSource();
    ASSERT_TRUE(sources.Serial().ScComm1().IsOpen());
    peer.HangUp();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !host.shown.empty(); }, 5000));
    EXPECT_EQ(host.shown, std::vector<std::string>{"Connection error: COM port line error (COM1)!"});
    sources.DisconnectFromSource();
    EXPECT_FALSE(sources.Serial().ScComm1().IsOpen());
}

TEST_F(SourceManagerTest, OtherSourcesLeaveTheSerialPortAlone) {
    host.source = 3;
    sources.ConnectToSource();
    EXPECT_FALSE(sources.Serial().ScComm1().IsOpen());
    EXPECT_FALSE(host.tick);
    sources.DisconnectFromSource();
    EXPECT_EQ(host.resets, 1);
}

TEST_F(SourceManagerTest, SoundCardStartsOnTheChosenInputAndStopsAtOnce) {
    AlsaCapturePcm::Instance().SetInput(std::vector<int16_t>(4096, 0));
    const auto names = WaveInDeviceNames();
    host.source = 1;
    host.device = static_cast<int>(std::find(names.begin(), names.end(), AlsaCapturePcm::kName) - names.begin());
    host.slicing.mono = true;
    host.slicing.t1 = 1.5f;
    sources.ConnectToSource();
    TWaveIn& capture = host.slicer.WaveIn1();
    EXPECT_TRUE(capture.Active()) << capture.ErrorText();
    EXPECT_EQ(capture.WaveDevice(), static_cast<uint32_t>(host.device));
    EXPECT_FALSE(capture.Stereo());
    EXPECT_EQ(host.slicer.settings.t1, 1.5f);
    EXPECT_TRUE(host.slicer.SoundCardWDT().Enabled());
    EXPECT_TRUE(host.tick);
    EXPECT_TRUE(host.shown.empty());
    EXPECT_FALSE(sources.Serial().ScComm1().IsOpen());
    EXPECT_TRUE(sources.Connected());

    sources.DisconnectFromSource();
    EXPECT_FALSE(sources.Connected());
    EXPECT_FALSE(capture.DeviceOpen());
    EXPECT_FALSE(host.slicer.SoundCardWDT().Enabled());
    EXPECT_FALSE(host.tick);
    EXPECT_EQ(host.stops, 1);
    EXPECT_EQ(host.resets, 1);
}

TEST_F(SourceManagerTest, SoundCardThatDoesNotStartIsTold) {
    AlsaCapturePcm::Instance();
    host.source = 1;
    host.device = static_cast<int>(WaveInDeviceNames().size()); // no such device
    sources.ConnectToSource();
    EXPECT_EQ(host.shown, std::vector<std::string>{"Sound card error!"});
    EXPECT_FALSE(host.slicer.WaveIn1().Active());
    EXPECT_FALSE(sources.Connected()) << "no capture runs";
    // The watchdog tries again; the tick waits for its bits.
    EXPECT_TRUE(host.slicer.SoundCardWDT().Enabled());
    EXPECT_TRUE(host.tick);
}

// Up means capturing now: an input that fails to open is down until the
// watchdog's next try finds it working.
TEST_F(SourceManagerTest, SoundCardIsUpOnlyWhileItsCaptureRuns) {
    AlsaCapturePcm& pcm = AlsaCapturePcm::Instance();
    pcm.SetBrokenOpens(false);
    const auto names = WaveInDeviceNames();
    host.source = 1;
    host.device = static_cast<int>(std::find(names.begin(), names.end(), AlsaCapturePcm::kBrokenName) - names.begin());
    ASSERT_LT(host.device, static_cast<int>(names.size()));
    sources.ConnectToSource();
    EXPECT_EQ(host.shown, std::vector<std::string>{"Sound card error!"});
    EXPECT_FALSE(sources.Connected());
    host.time.Advance(BitSlicer::kWatchdogMs);
    EXPECT_FALSE(sources.Connected()) << "the watchdog's try fails too";

    pcm.SetBrokenOpens(true);
    host.time.Advance(BitSlicer::kWatchdogMs);
    EXPECT_TRUE(host.slicer.WaveIn1().Active()) << host.slicer.WaveIn1().ErrorText();
    EXPECT_TRUE(sources.Connected());
    sources.DisconnectFromSource();
    EXPECT_FALSE(sources.Connected());
    pcm.SetBrokenOpens(false);
}

TEST_F(SourceManagerTest, SoundCardWithNoInputChosenOpensNothing) {
    host.source = 1;
    host.device = -1;
    sources.ConnectToSource();
    EXPECT_FALSE(host.slicer.WaveIn1().DeviceOpen());
    EXPECT_FALSE(host.slicer.SoundCardWDT().Enabled());
    EXPECT_FALSE(host.tick);
    EXPECT_TRUE(host.shown.empty());
}
