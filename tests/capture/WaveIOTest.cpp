#include "AlsaCapturePcm.h"
#include "WaveIO.h"

#include <gtest/gtest.h>

#include <QTest>

#include <algorithm>
#include <cstring>
#include <numeric>

namespace orvane {
namespace {

using test::AlsaCapturePcm;

// A ramp of 16-bit values, so every buffer's place in the stream shows.
std::vector<int16_t> Ramp(size_t n) {
    std::vector<int16_t> v(n);
    for (size_t i = 0; i < n; ++i) v[i] = static_cast<int16_t>(i * 7);
    return v;
}

class WaveInTest : public ::testing::Test {
protected:
    void SetUp() override {
        input_ = Ramp(200000);
        AlsaCapturePcm::Instance().SetInput(input_);
    }
    // Records every buffer handed on.
    void Record(TWaveIn& w) {
        w.OnBufferFilled = [this](void* buf, int32_t& size) {
            const auto* b = static_cast<const uint8_t*>(buf);
            got_.emplace_back(b, b + size);
            return true;
        };
    }
    bool WaitBuffers(size_t n) {
        return QTest::qWaitFor([&] { return got_.size() >= n; }, 10000);
    }
    std::vector<uint8_t> InputBytes(size_t from, size_t n) const {
        const auto* b = reinterpret_cast<const uint8_t*>(input_.data());
        return {b + from, b + from + n};
    }
    std::vector<int16_t> input_;
    std::vector<std::vector<uint8_t>> got_;
};

TEST(WaveIOProperties, SizesRoundToWholeFramesAndRangesClamp) {
    TWaveIn w;
    EXPECT_EQ(w.BufferSize(), 8192);
    EXPECT_EQ(w.NumBuffers(), 4);
    EXPECT_EQ(w.FrameRate(), 22050);
    EXPECT_FALSE(w.Stereo());
    EXPECT_EQ(w.Quantization(), 16);
    EXPECT_EQ(w.WaveDevice(), TWaveIO::kWaveMapper);

    w.SetStereo(true);
    w.SetBufferSize(100);
    EXPECT_EQ(w.BufferSize(), 512);
    w.SetBufferSize(1001);
    EXPECT_EQ(w.BufferSize(), 1000);
    w.SetStereo(false);
    w.SetQuantization(8);
    EXPECT_EQ(w.BufferSize(), 1001); // the requested size, in 1-byte frames

    struct { int32_t in, out; } buffers[] = {{1, 2}, {2, 2}, {3, 3}, {4, 4}, {9, 4}, {-5, 2}};
    for (auto c : buffers) {
        w.SetNumBuffers(c.in);
        EXPECT_EQ(w.NumBuffers(), c.out) << c.in;
    }
    struct { uint16_t in, out; } bits[] = {{12, 16}, {4, 8}, {8, 8}, {16, 16}, {0, 8}, {32, 16}};
    for (auto c : bits) {
        w.SetQuantization(c.in);
        EXPECT_EQ(w.Quantization(), c.out) << c.in;
    }

    w.SetQuantization(16);
    w.SetStereo(true);
    w.SetFrameRate(11025);
    EXPECT_EQ(w.Format().blockAlign, 4);
    EXPECT_EQ(w.Format().avgBytesPerSec, 44100u);
    EXPECT_EQ(w.Format().channels, 2);
    EXPECT_EQ(w.Format().formatTag, 1);
    EXPECT_TRUE(w.ErrorText().empty());
}

TEST_F(WaveInTest, DeviceListHoldsDefaultThenTheCapturePcms) {
    const auto names = WaveInDeviceNames();
    ASSERT_FALSE(names.empty());
    EXPECT_EQ(names[0], "default");
    EXPECT_NE(std::find(names.begin(), names.end(), AlsaCapturePcm::kName), names.end());
    for (const auto& n : names) EXPECT_LE(n.size(), 31u) << n;
}

TEST_F(WaveInTest, CapturesTheStreamInOrderThroughEveryBufferSize) {
    struct Case { bool stereo; int32_t request, effective; };
    for (Case c : {Case{true, 100, 512}, Case{true, 1001, 1000}, Case{false, 16384, 16384}, Case{true, 32768, 32768},
                   Case{true, 65536, 65536}, Case{false, 131072, 131072}}) {
        SCOPED_TRACE(c.request);
        got_.clear();
        TWaveIn w;
        Record(w);
        w.SetStereo(c.stereo);
        w.SetFrameRate(44100);
        w.SetBufferSize(c.request);
        ASSERT_EQ(w.BufferSize(), c.effective);
        w.StartCapture();
        ASSERT_TRUE(w.DeviceOpen()) << w.ErrorText();
        ASSERT_TRUE(WaitBuffers(3));
        w.StopImmediately();
        EXPECT_FALSE(w.DeviceOpen());
        EXPECT_FALSE(w.Active());
        for (size_t i = 0; i < 3; ++i) {
            ASSERT_EQ(got_[i].size(), static_cast<size_t>(c.effective));
            EXPECT_EQ(got_[i], InputBytes(i * static_cast<size_t>(c.effective), static_cast<size_t>(c.effective)))
                << "buffer " << i;
        }
        EXPECT_EQ(w.AcceptedCount(), static_cast<int32_t>(got_.size()));
        EXPECT_EQ(w.DeliveredCount(), static_cast<int32_t>(got_.size()));
    }
}

TEST_F(WaveInTest, StartStopRestartAndNotifications) {
    TWaveIn w;
    int starts = 0, stops = 0;
    w.OnStart = [&](void*) { ++starts; };
    w.OnStop = [&](void*) { ++stops; };
    Record(w);
    w.SetWaveDevice(0); // "default"
    w.StartCapture();
    ASSERT_TRUE(w.Active()) << w.ErrorText();
    EXPECT_EQ(w.QueuedCount(), 4);
    ASSERT_TRUE(WaitBuffers(2));
    w.StartCapture();
    EXPECT_EQ(w.ErrorText(), "Wave Input device is already open");
    EXPECT_TRUE(w.Active());
    w.StopImmediately();
    EXPECT_EQ(starts, 1);
    EXPECT_EQ(stops, 1);
    const size_t first = got_.size();
    QTest::qWait(20); // nothing late arrives after a stop
    EXPECT_EQ(got_.size(), first);

    w.StartCapture(); // the capture starts again from the file's start
    ASSERT_TRUE(w.Active()) << w.ErrorText();
    ASSERT_TRUE(WaitBuffers(first + 1));
    EXPECT_EQ(got_[first], InputBytes(0, 8192));
    EXPECT_EQ(w.DeliveredCount(), static_cast<int32_t>(got_.size() - first));
    w.StopImmediately();
    EXPECT_EQ(starts, 2);
    EXPECT_EQ(stops, 2);
}

TEST_F(WaveInTest, FormatChangesAreRefusedWhileOpen) {
    TWaveIn w;
    w.StartCapture();
    ASSERT_TRUE(w.DeviceOpen()) << w.ErrorText();
    w.SetBufferSize(65536);
    EXPECT_EQ(w.ErrorText(), "Cannot change the buffer size while the Wave Input device is open");
    w.SetNumBuffers(2);
    w.SetStereo(true);
    w.SetQuantization(8);
    w.SetFrameRate(11025);
    EXPECT_EQ(w.BufferSize(), 8192);
    EXPECT_EQ(w.NumBuffers(), 4);
    EXPECT_FALSE(w.Stereo());
    EXPECT_EQ(w.Quantization(), 16);
    EXPECT_EQ(w.FrameRate(), 22050);
    w.StopImmediately();
    w.SetNumBuffers(2);
    w.SetBufferSize(65536);
    EXPECT_EQ(w.NumBuffers(), 2);
    EXPECT_EQ(w.BufferSize(), 65536);
    Record(w);
    w.StartCapture();
    ASSERT_TRUE(WaitBuffers(1));
    EXPECT_EQ(got_[0].size(), 65536u);
    EXPECT_EQ(w.QueuedCount() + static_cast<int32_t>(got_.size()) - w.AcceptedCount(), 2);
}

TEST_F(WaveInTest, DeviceThatDoesNotExistLeavesItsTextAndOpensNothing) {
    TWaveIn w;
    w.SetWaveDevice(static_cast<uint32_t>(WaveInDeviceNames().size()));
    w.StartCapture();
    EXPECT_FALSE(w.DeviceOpen());
    EXPECT_FALSE(w.Active());
    EXPECT_FALSE(w.ErrorText().empty());
}

TEST_F(WaveInTest, WithoutHandlerEveryBufferIsAcceptedAndRequeued) {
    TWaveIn w;
    w.StartCapture();
    ASSERT_TRUE(QTest::qWaitFor([&] { return w.DeliveredCount() >= 6; }, 10000));
    EXPECT_EQ(w.AcceptedCount(), w.DeliveredCount());
    EXPECT_EQ(w.QueuedCount(), 4);
    EXPECT_TRUE(w.Active());
}

TEST_F(WaveInTest, StopAfterBuffersDrainsTheQueueUnhandled) {
    TWaveIn w;
    Record(w);
    int stops = 0;
    w.OnStop = [&](void*) { ++stops; };
    w.StartCapture();
    ASSERT_TRUE(WaitBuffers(1));
    w.StopAfterBuffers();
    const size_t handed = got_.size();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.DeviceOpen(); }, 10000));
    EXPECT_EQ(got_.size(), handed);
    EXPECT_EQ(w.QueuedCount(), 0);
    EXPECT_EQ(w.DeliveredCount(), static_cast<int32_t>(handed) + 4);
    EXPECT_EQ(stops, 1);
}

TEST_F(WaveInTest, HandlerThatRefusesEveryBufferClosesTheDeviceAfterTheQueue) {
    TWaveIn w;
    int calls = 0;
    w.OnBufferFilled = [&](void*, int32_t&) { return ++calls, false; };
    w.StartCapture();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.DeviceOpen(); }, 10000));
    EXPECT_EQ(calls, 4);
    EXPECT_EQ(w.AcceptedCount(), 0);
}

TEST_F(WaveInTest, StopOrRestartFromInsideTheHandler) {
    TWaveIn w;
    int calls = 0;
    w.OnBufferFilled = [&](void*, int32_t&) {
        if (++calls == 2) {
            w.StopImmediately();
            w.StartCapture(); // a new capture; the old one's hand-offs are dropped
        } else if (calls == 5) {
            w.StopImmediately();
        }
        return true;
    };
    w.StartCapture();
    ASSERT_TRUE(QTest::qWaitFor([&] { return calls >= 5; }, 10000));
    EXPECT_FALSE(w.DeviceOpen());
    QTest::qWait(20);
    EXPECT_EQ(calls, 5);
}

TEST_F(WaveInTest, DestroyingWhileRecordingStopsTheThreadFirst) {
    int stops = 0;
    {
        TWaveIn w;
        Record(w);
        w.OnStop = [&](void*) { ++stops; };
        w.StartCapture();
        ASSERT_TRUE(WaitBuffers(1));
    }
    EXPECT_EQ(stops, 1);
    const size_t n = got_.size();
    QTest::qWait(20);
    EXPECT_EQ(got_.size(), n);
}

} // namespace
} // namespace orvane
