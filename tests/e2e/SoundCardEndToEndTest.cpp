// Live RDS from the sound card through the real start-up path: a workspace
// that selects "Sound Card" and the test capture PCM, the capture thread, the
// slicer, the decoder tick and the display.
#include "AlsaCapturePcm.h"
#include "AppFakes.h"
#include "IniFile.h"
#include "OrvaneApp.h"
#include "RdsEncoder.h"
#include "RdsSignal.h"
#include "Unit1.h"
#include "opt.h"

#include <QCheckBox>
#include <QDir>
#include <QLabel>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

using namespace orvane;
using namespace orvane::test;
namespace fs = std::filesystem;

namespace {

class SoundCardEndToEnd : public ::testing::Test {
protected:
    void SetUp() override {
        AlsaCapturePcm::Instance();
        folder_ = dir_.path().toStdString() + "/orvane/";
        fs::create_directories(folder_ + "plugins");
        data_ = std::string(qgetenv("XDG_DATA_HOME")) + "/orvane/";
        QDir(QString::fromStdString(data_)).removeRecursively();
        fs::create_directories(data_);
    }
    void Workspace(int device, const std::string& deviceName) {
        TIniFile ini(data_ + "default.owk");
        ini.WriteInteger("General", "SrcNum", 1);
        ini.WriteInteger("General", "AudioInDevice", device);
        ini.WriteString("General", "AudioInDeviceName", deviceName);
        ini.UpdateFile();
    }
    std::unique_ptr<OrvaneApp> Start() {
        AppEnv env = system_.Make(folder_ + "orvane", {});
        env.modal = &modal_;
        auto program = std::make_unique<OrvaneApp>(env);
        program->CreateWindows();
        return program;
    }
    QTemporaryDir dir_;
    std::string folder_, data_;
    SystemEnv system_;
    FakeModal modal_;
};

TEST_F(SoundCardEndToEnd, ShowsPIPSAndGroupsFromTheDataAndClockLines) {
    BitStream bits;
    const auto groups = StationGroups(0x7827, "ORVANE  ", 24);
    for (const auto& g : groups) bits.Add(g);
    std::vector<int16_t> signal = StereoDataClock(bits.bits(), {});
    // The PCM repeats its last data after the file's end: end in silence.
    signal.resize(signal.size() + 2 * 44100, 0);
    AlsaCapturePcm::Instance().SetInput(signal);
    Workspace(-1, AlsaCapturePcm::kName); // the name picks the device

    auto program = Start();
    TForm1& main = *program->Forms().form1;
    main.show();
    EXPECT_TRUE(main.Slicer().WaveIn1().Active()) << main.Slicer().WaveIn1().ErrorText();
    const auto names = WaveInDeviceNames();
    EXPECT_EQ(names.at(main.Slicer().WaveIn1().WaveDevice()), AlsaCapturePcm::kName);
    EXPECT_EQ(main.Slicer().WaveIn1().FrameRate(), 44100);
    EXPECT_TRUE(main.Slicer().WaveIn1().Stereo());
    EXPECT_TRUE(main.Slicer().SoundCardWDT().Enabled());
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.LPS->text() == "ORVANE  "; }, 20000)) << main.LPS->text().toStdString();
    EXPECT_EQ(main.LPI->text(), "7827");
    EXPECT_GE(main.ShownGroupCount(), 4);
    // The display shows the count of the groups decoded, all but the few
    // before synchronisation.
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.LGR->text().toInt() >= 18; }, 20000)) << main.LGR->text().toStdString();
    EXPECT_LE(main.LGR->text().toInt(), static_cast<int>(groups.size()));
    main.close();
    EXPECT_FALSE(main.Slicer().WaveIn1().DeviceOpen());
}

// A workspace that keeps the sound card as source reconnects nothing, yet the
// running slicer takes its settings, and an encoder input gets a mono capture.
TEST_F(SoundCardEndToEnd, OpeningAWorkspaceGivesTheRunningSlicerItsSettings) {
    AlsaCapturePcm::Instance().SetInput(std::vector<int16_t>(2 * 44100, 0));
    Workspace(-1, AlsaCapturePcm::kName);
    const auto workspace = [&](const std::string& name, const std::string& general) {
        std::ofstream(data_ + name) << "[General]\nSrcNum=1\nAudioInDeviceName=" << AlsaCapturePcm::kName << "\n"
                                    << general;
        return data_ + name;
    };
    auto program = Start();
    TForm1& main = *program->Forms().form1;
    main.show();
    ASSERT_TRUE(main.Slicer().WaveIn1().Active()) << main.Slicer().WaveIn1().ErrorText();
    const uint32_t device = main.Slicer().WaveIn1().WaveDevice();

    modal_.fileToOpen = workspace("edge.owk", "Edge=1\nInvert=1\nThreshold1=180\nThreshold2=40\n");
    main.OpenWorkspace1Click();
    const SlicerSettings edge = main.Slicer().settings;
    EXPECT_TRUE(edge.fallingEdge);
    EXPECT_FALSE(edge.mono);
    EXPECT_TRUE(edge.invert);
    EXPECT_FLOAT_EQ(edge.t1, 1.80f);
    EXPECT_FLOAT_EQ(edge.t2, 0.40f);
    EXPECT_TRUE(main.Slicer().WaveIn1().Stereo());

    // An inverted encoder signal, decoded only by a mono capture that slices
    // with the workspace's settings.
    const auto groups = StationGroups(0x5A31, "ENCODER ", 24);
    BitStream bits;
    for (const auto& g : groups) bits.Add(g);
    SignalShape shape;
    shape.invert = true;
    shape.noise = 200;
    std::vector<int16_t> signal = MonoKeyedWave(bits.bits(), shape);
    signal.resize(signal.size() + 2 * 44100, 0);
    AlsaCapturePcm::Instance().SetInput(signal);
    modal_.fileToOpen = workspace("encoder.owk", "RDSEnc=1\nInvert=1\n");
    main.OpenWorkspace1Click();
    EXPECT_TRUE(main.Slicer().settings.mono);
    EXPECT_TRUE(main.Slicer().settings.invert);
    EXPECT_FALSE(main.Slicer().settings.fallingEdge);
    EXPECT_FALSE(main.Slicer().WaveIn1().Stereo());
    EXPECT_EQ(main.Slicer().WaveIn1().WaveDevice(), device);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.LPS->text() == "ENCODER "; }, 20000)) << main.LPS->text().toStdString();
    EXPECT_EQ(main.LPI->text(), "5A31");
    main.close();
}

// A workspace that keeps the sound card but names another input device moves
// the capture there; opened after "Always use 44.1 kHz" was unticked, it
// captures at the slicer's own rate.
TEST_F(SoundCardEndToEnd, OpeningAWorkspaceMovesTheCaptureToTheDeviceAndRateInForce) {
    const auto station = [](uint16_t pi, const char* ps, int rate) {
        BitStream bits;
        for (const auto& g : StationGroups(pi, ps, 24)) bits.Add(g);
        SignalShape shape;
        shape.rate = rate;
        std::vector<int16_t> signal = StereoDataClock(bits.bits(), shape);
        signal.resize(signal.size() + 2 * static_cast<size_t>(rate), 0);
        return signal;
    };
    AlsaCapturePcm::Instance().SetInput(std::vector<int16_t>(2 * 44100, 0));
    AlsaCapturePcm::Instance().SetOtherInput(station(0x6B12, "SECOND  ", 44100));
    Workspace(-1, AlsaCapturePcm::kName);
    auto program = Start();
    TForm1& main = *program->Forms().form1;
    main.show();
    ASSERT_TRUE(main.Slicer().WaveIn1().Active()) << main.Slicer().WaveIn1().ErrorText();
    const auto names = WaveInDeviceNames();
    ASSERT_EQ(names.at(main.Slicer().WaveIn1().WaveDevice()), AlsaCapturePcm::kName);

    const std::string other = data_ + "other.owk";
    std::ofstream(other) << "[General]\nSrcNum=1\nAudioInDeviceName=" << AlsaCapturePcm::kOtherName << "\n";
    modal_.fileToOpen = other;
    main.OpenWorkspace1Click();
    ASSERT_TRUE(main.Slicer().WaveIn1().Active()) << main.Slicer().WaveIn1().ErrorText();
    EXPECT_EQ(names.at(main.Slicer().WaveIn1().WaveDevice()), AlsaCapturePcm::kOtherName);
    EXPECT_EQ(main.Slicer().WaveIn1().FrameRate(), 44100);
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.LPS->text() == "SECOND  "; }, 20000)) << main.LPS->text().toStdString();
    EXPECT_EQ(main.LPI->text(), "6B12");

    // A signal at the slicer's own rate decodes only from a capture at it.
    AlsaCapturePcm::Instance().SetOtherInput(station(0x6B13, "ELEVEN  ", 11025));
    program->Forms().dopt->CB441->setChecked(false);
    main.OpenWorkspace1Click();
    ASSERT_TRUE(main.Slicer().WaveIn1().Active()) << main.Slicer().WaveIn1().ErrorText();
    EXPECT_EQ(names.at(main.Slicer().WaveIn1().WaveDevice()), AlsaCapturePcm::kOtherName);
    EXPECT_EQ(main.Slicer().WaveIn1().FrameRate(), 11025);
    EXPECT_TRUE(main.Slicer().WaveIn1().Stereo());
    ASSERT_TRUE(QTest::qWaitFor([&] { return main.LPS->text() == "ELEVEN  "; }, 20000)) << main.LPS->text().toStdString();
    EXPECT_EQ(main.LPI->text(), "6B13");
    EXPECT_TRUE(main.StatusText().isEmpty()) << main.StatusText().toStdString();
    main.close();
}

TEST_F(SoundCardEndToEnd, CaptureThatDoesNotStartShowsSoundCardError) {
    // The PCM cannot open without its input file.
    fs::remove(AlsaCapturePcm::Instance().Folder() + "capture.raw");
    Workspace(-1, AlsaCapturePcm::kName); // the name picks the device
    auto program = Start();
    TForm1& main = *program->Forms().form1;
    EXPECT_EQ(main.StatusText(), "Sound card error!");
    EXPECT_FALSE(main.Slicer().WaveIn1().Active());
    // The watchdog tries again later, as it does when buffers stop.
    EXPECT_TRUE(main.Slicer().SoundCardWDT().Enabled());
    main.close();
    AlsaCapturePcm::Instance().SetInputBytes({});
}

TEST_F(SoundCardEndToEnd, NoInputChosenOpensNothing) {
    Workspace(-1, "(Default)");
    auto program = Start();
    TForm1& main = *program->Forms().form1;
    EXPECT_FALSE(main.Slicer().WaveIn1().DeviceOpen());
    EXPECT_EQ(main.Slicer().WaveIn1().FrameRate(), 11025); // as the window stores it
    EXPECT_FALSE(main.Slicer().SoundCardWDT().Enabled());
    EXPECT_TRUE(main.StatusText().isEmpty());
    main.close();
}

} // namespace
