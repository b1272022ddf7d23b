// The capture processing: the filter table against its design targets, the
// processing of odd captures, and the simulator's stereo capture through the
// built library.
#include "DravonLibrary.h"

#include "CaptureProcessor.h"
#include "FilterTable.h"

#include <algorithm>
#include <cmath>
#include <complex>
#include <numbers>
#include <random>

namespace orvane::test {
namespace {

using dravon::CaptureArrays;
using dravon::CaptureProcessor;
using dravon::FilterSpan;

double Gain(FilterSpan f, double frac) {
    std::complex<double> sum = 0;
    for (int k = 0; k < f.taps; ++k)
        sum += static_cast<double>(f.Taps()[k]) * std::polar(1.0, -2 * std::numbers::pi * frac * k);
    return std::abs(sum);
}

// The first frequency (x the sampling rate) where the gain falls below
// level dB relative to the gain at 0 Hz.
double Corner(FilterSpan f, double levelDb) {
    const double target = Gain(f, 0) * std::pow(10.0, levelDb / 20.0);
    double lo = 0;
    for (double x = 0; x <= 0.5; x += 1e-4) {
        if (Gain(f, x) < target) {
            double hi = x;
            for (int i = 0; i < 40; ++i) {
                const double mid = (lo + hi) / 2;
                (Gain(f, mid) < target ? hi : lo) = mid;
            }
            return hi;
        }
        lo = x;
    }
    return 1.0;
}

TEST(FilterTableTest, FiltersMeetTheirDesignRows) {
    const struct {
        FilterSpan span;
        int start, taps;
        float end;
        double dcGain, minus3, minus20;
    } rows[] = {
        {dravon::kMpxNarrow, 15, 258, -0.0004914975f, 1.0007, 0.0255, 0.0305},
        {dravon::kAudioNarrow, 273, 106, -0.002128492f, 1.0365, 0.05, 0.0595},
        {dravon::kMpxWide, 379, 130, -0.0004383292f, 1.0006, 0.051, 0.061},
        {dravon::kAudioWide, 509, 53, -0.002228596f, 1.0376, 0.1, 0.119},
    };
    int next = 15;
    for (const auto& r : rows) {
        SCOPED_TRACE(r.taps);
        EXPECT_EQ(r.span.start, r.start);
        EXPECT_EQ(r.span.taps, r.taps);
        EXPECT_EQ(r.span.start, next);  // the filters lie one after the other
        next = r.span.start + r.span.taps;
        const float* h = r.span.Taps();
        EXPECT_EQ(h[0], r.end);
        EXPECT_EQ(h[r.taps - 1], r.end);
        for (int k = 0; k < r.taps; ++k) ASSERT_EQ(h[k], h[r.taps - 1 - k]) << k;
        EXPECT_NEAR(Gain(r.span, 0), r.dcGain, 5e-5);
        EXPECT_NEAR(Corner(r.span, -3), r.minus3, 0.02 * r.minus3);
        EXPECT_NEAR(Corner(r.span, -20), r.minus20, 0.02 * r.minus20);
    }
    EXPECT_EQ(next, dravon::kFilterTableSize);
}

TEST(FilterTableTest, EqualiserRisesTo2p03AndFallsAtTheBandEdge) {
    const FilterSpan eq = dravon::kPeriodEqualiser;
    EXPECT_NEAR(Gain(eq, 0), 0.9971, 5e-5);
    double peak = 0, peakAt = 0;
    for (double x = 0; x <= 0.5; x += 1e-4)
        if (Gain(eq, x) > peak) peak = Gain(eq, x), peakAt = x;
    EXPECT_NEAR(peak, 2.03, 0.01);
    EXPECT_NEAR(peakAt, 0.3555, 0.02 * 0.3555);
    // Past the peak it falls to -3 dB of its gain at 0 Hz.
    double fall = peakAt;
    while (fall < 0.5 && Gain(eq, fall) > Gain(eq, 0) / std::sqrt(2.0)) fall += 1e-5;
    EXPECT_NEAR(fall, 0.444, 0.02 * 0.444);
}

TEST(CaptureProcessorTest, HannTableUsesTheDevicesConstant) {
    CaptureProcessor p;
    EXPECT_EQ(p.Hann(0), 0.0f);
    const float arg = static_cast<float>(8191 * 6.2832 / 16383.0);
    EXPECT_EQ(p.Hann(8191), static_cast<float>((1.0 - std::cos(static_cast<double>(arg))) * 0.5));
    // 6.2832 is a little more than 2 pi, so the last value is not quite 0.
    EXPECT_GT(p.Hann(16383), 0.0f);
    EXPECT_LT(p.Hann(16383), 1e-8f);
}

TEST(CaptureProcessorTest, FirShiftsByThreeQuartersOfHalfItsLength) {
    // An impulse comes out where the shifted taps put it: output j holds
    // the sum at input j + (T div 4) * 3.
    std::vector<float> x(600, 0.0f);
    x[300] = 1.0f;
    std::vector<float> y;
    const FilterSpan f = dravon::kAudioNarrow;  // 106 taps, shift 78
    CaptureProcessor::Fir(x.data(), static_cast<int>(x.size()), 0.0f, f, y);
    ASSERT_EQ(y.size(), 600u - 53u);
    for (int k = 0; k < f.taps; ++k) EXPECT_EQ(y[300 + k - 78], f.Taps()[k]) << k;
    // Too short an input gives no output at all.
    CaptureProcessor::Fir(x.data(), 40, 0.0f, f, y);
    EXPECT_TRUE(y.empty());
}

TEST(CaptureProcessorTest, SpectrumFindsAToneAndItsPhase) {
    CaptureProcessor p;
    std::vector<float> x(5000);
    for (size_t i = 0; i < x.size(); ++i) x[i] = static_cast<float>(std::cos(2 * std::numbers::pi * 13 * i / 2048.0));
    ASSERT_TRUE(p.Spectrum(x, 13, 11, 500));
    const auto& m = p.Magnitudes();
    EXPECT_EQ(std::max_element(m.begin(), m.begin() + 1024) - m.begin(), 13);
    EXPECT_NEAR(m[13], 512.0, 10.0);  // amplitude x N/4 under the Hann window
    EXPECT_TRUE(std::isfinite(p.Phase()));
    EXPECT_FALSE(p.Spectrum(x, 13, 12, 1000));  // 1000 + 4096 > 5000
    EXPECT_FALSE(p.Spectrum(x, -1, 11, -1));
    // A silent bin has phase 0, not NaN.
    std::vector<float> zero(2048, 0.0f);
    ASSERT_TRUE(p.Spectrum(zero, 5, 11, 0));
    EXPECT_EQ(p.Phase(), 0.0f);
}

bool AllFinite(const CaptureArrays& a) {
    const auto ok = [](const auto& arr) { return std::all_of(arr.begin(), arr.end(), [](float v) { return std::isfinite(v); }); };
    return ok(a.MPXScope) && ok(a.MPXFFT) && ok(a.IFFFT) && ok(a.LeftScope) && ok(a.RightScope);
}

TEST(CaptureProcessorTest, OddCapturesNeitherOverrunNorFileNaN) {
    std::mt19937 rng(7);
    const auto fill = [](unsigned char v) { return std::string(512, static_cast<char>(v)); };
    std::string random(512, '\0');
    for (char& c : random) c = static_cast<char>(rng() & 0xFF);
    std::string alternating(512, '\0');
    for (size_t i = 0; i < 512; ++i) alternating[i] = static_cast<char>(i % 2 ? 255 : 1);
    const std::string cases[] = {fill(0), fill(1), fill(2), fill(255), random, alternating,
                                 std::string(500, '\0') + fill(1).substr(0, 12)};
    for (const bool wMode : {false, true}) {
        for (const std::string& v : cases) {
            CaptureProcessor p;
            CaptureArrays a;
            float IF = 0;
            const auto peaks = p.Process(v, wMode, IF, a);
            EXPECT_EQ(IF, 323.0f);
            EXPECT_TRUE(AllFinite(a)) << wMode << " " << static_cast<int>(static_cast<unsigned char>(v[0]));
            EXPECT_TRUE(std::isfinite(peaks.left) && std::isfinite(peaks.right));
            EXPECT_LE(peaks.left, 150.0f);
            EXPECT_LE(peaks.right, 150.0f);
        }
    }
}

TEST(CaptureProcessorTest, StereoCaptureDecodesTheLeftTone) {
    CaptureProcessor p;
    CaptureArrays a;
    float IF = 323.45f;
    const auto peaks = p.Process(SyntheticCapture(323.45, 6.75, 2929.6875, 30.0), false, IF, a);
    EXPECT_GT(peaks.pilot, 2100.0f);
    EXPECT_GT(peaks.left, 4 * peaks.right);
    // The same MPX without its pilot is decoded as mono: both sides alike.
    CaptureProcessor mono;
    CaptureArrays b;
    const auto m = mono.Process(SyntheticCapture(323.45, 0.0, 2929.6875, 30.0), false, IF, b);
    EXPECT_GT(m.pilot, -1.0f);
    EXPECT_LE(m.pilot, 2100.0f);
    EXPECT_EQ(m.left, m.right);
}

TEST(CaptureProcessorTest, NumbersHaveOneDecimalAndSevenDigits) {
    const struct {
        float v;
        const char* want;
    } cases[] = {{150.0f, "150.0"}, {-70.0f, "-70.0"}, {0.04f, "0.0"}, {-0.04f, "0.0"},
                 {12.34f, "12.3"},  {1234567.8f, "1234568.0"}, {0.0001f, "0.0"},
                 // Rounded once: at seven digits first these would land on a tie
                 // and then round the wrong way.
                 {-82.5500031f, "-82.6"}, {82.5500031f, "82.6"},
                 // Exact ties go to the even digit.
                 {2.25f, "2.2"}, {-0.75f, "-0.8"},
                 // Past six integer digits the seventh significant digit is the last.
                 {12345678.0f, "12345680.0"}, {999999.94f, "999999.9"}};
    for (const auto& c : cases) EXPECT_EQ(dravon::FormatCaptureValue(c.v), c.want) << c.v;
    const float list[] = {1.0f, -2.5f, 3.25f};
    EXPECT_EQ(dravon::FormatCaptureList(list, 3), "1.0\r\n-2.5\r\n3.2");
}

// Every single below a million comes out as its exact value rounded once to
// one decimal, half to even.
TEST(CaptureProcessorTest, NumbersAreRoundedOnceFromTheSingle) {
    std::mt19937 random(20240611);
    std::uniform_real_distribution<float> spread(-200.0f, 200.0f);
    int wrong = 0;
    for (int i = 0; i < 200000; ++i) {
        // Values two decimals deep sit next to the ties that a second rounding breaks.
        float v = spread(random);
        if (i % 2) v = static_cast<float>(std::round(v * 100.0f) / 100.0);
        const double tenths = std::nearbyint(static_cast<double>(v) * 10.0);  // exact in a double
        const long long t = static_cast<long long>(std::fabs(tenths));
        const std::string want =
            (tenths < 0 ? "-" : "") + std::to_string(t / 10) + "." + std::to_string(t % 10);
        if (dravon::FormatCaptureValue(v) != want && ++wrong < 5)
            ADD_FAILURE() << v << ": " << dravon::FormatCaptureValue(v) << " instead of " << want;
    }
    EXPECT_EQ(wrong, 0);
}

class CaptureLibraryTest : public DravonTest {
protected:
    void SetUp() override {
        DravonTest::SetUp();
        ASSERT_TRUE(ConnectToSimulator());
    }
    // Asks the simulator for a capture and waits for its peaks.
    bool Capture(const char* command) {
        Drain();
        lib.WriteCommand(command);
        return Pump([&] { return lib.ReadBufferLength() >= 4; });
    }
};

TEST_F(CaptureLibraryTest, SimulatorCaptureGivesStereoScopesAndTheToneInTheSpectrum) {
    ASSERT_TRUE(Capture("1?W"));
    const std::vector<std::string> r = Drain();
    ASSERT_EQ(r.size(), 4u);
    EXPECT_EQ(r[0], "IF=323.45");
    EXPECT_EQ(r[1].substr(0, 2), "W=");
    EXPECT_EQ(r[1].size(), 2u + 512u);
    ASSERT_EQ(r[2].substr(0, 9), "LeftPeak=");
    ASSERT_EQ(r[3].substr(0, 10), "RightPeak=");
    const float left = lib.PCharToFloat(r[2].c_str() + 9), right = lib.PCharToFloat(r[3].c_str() + 10);
    EXPECT_GT(left, 4 * right);
    EXPECT_EQ(Value("LeftPeak"), r[2].substr(9));

    const std::vector<float> fft = Array("MPXFFT");
    ASSERT_EQ(fft.size(), 165u);
    // Bin 4 holds the tone: the strongest below the pilot's bins.
    EXPECT_EQ(std::max_element(fft.begin() + 2, fft.begin() + 20) - fft.begin(), 4);
    const std::vector<float> scope = Array("LeftScope");
    ASSERT_EQ(scope.size(), 182u);
    EXPECT_NEAR(*std::max_element(scope.begin(), scope.end(), [](float a, float b) { return std::fabs(a) < std::fabs(b); }),
                left, 0.051f);
    EXPECT_EQ(Array("MPXScope").size(), 701u);
    EXPECT_EQ(Array("IFFFT").size(), 235u);

    // The keys hold the same numbers as text, joined by CR LF.
    const std::string mpxfft = Value("MPXFFT");
    EXPECT_EQ(std::count(mpxfft.begin(), mpxfft.end(), '\n'), 164);
    const std::string ifText = Value("IFFFT");
    EXPECT_EQ(std::count(ifText.begin(), ifText.end(), '\n'), 235);
    EXPECT_EQ(ifText.substr(ifText.size() - 8), "\r\n-100.0");
}

TEST_F(CaptureLibraryTest, ShortAndLongWFramesAreFiledButNotProcessed) {
    for (const size_t n : {size_t{511}, size_t{513}}) {
        sim.SendRaw(DeviceFrame("W", std::string(n, 'x')));
        ASSERT_TRUE(Pump([&] { return lib.ReadBufferLength() >= 1; })) << n;
        Settle();
        time.Advance(100);
        EXPECT_EQ(Drain(), std::vector<std::string>{"W=" + std::string(n, 'x')}) << n;
        EXPECT_EQ(Value("W").size(), n);
        EXPECT_EQ(Value("MPXScope"), "");
    }
    const std::vector<float> scope = Array("MPXScope");
    EXPECT_TRUE(std::all_of(scope.begin(), scope.end(), [](float v) { return v == 0.0f; }));
}

TEST_F(CaptureLibraryTest, BadOrMissingIFCountsAs323) {
    const std::string w = SyntheticCapture(323.0, 6.75, 2929.6875, 30.0);
    const auto capture = [&](const std::string& ifFrame) {
        Drain();
        sim.SendRaw(ifFrame + DeviceFrame("W", w));
        EXPECT_TRUE(Pump([&] { return lib.ReadBufferLength() >= (ifFrame.empty() ? 3 : 4); }));
        return std::make_pair(Value("IFFFT"), Value("MPXScope"));
    };
    const auto none = capture("");  // no IF frame yet: 0 becomes 323
    EXPECT_EQ(capture(DeviceFrame("IF", "ab")), none);
    EXPECT_EQ(capture(DeviceFrame("IF", "3.3.00")), none);
    EXPECT_EQ(capture(DeviceFrame("IF", "323x00")), none);  // the fourth character is not read
    EXPECT_NE(capture(DeviceFrame("IF", "330.00")), none);
}

TEST_F(CaptureLibraryTest, WModeFollowsOneAndTwoAndSkipsTheIFSpectrum) {
    ASSERT_TRUE(Capture("1?W"));
    const std::string narrowIF = Value("IFFFT");
    const std::string narrowScope = Value("MPXScope");
    sim.Protocol().ifKHz = 330.0;  // a different IF spectrum, were it computed
    ASSERT_TRUE(Capture("2?W"));
    EXPECT_EQ(Value("IFFFT"), narrowIF);  // W mode on: no IF spectrum
    EXPECT_NE(Value("MPXScope"), narrowScope);
    ASSERT_TRUE(Capture("3?W"));  // ends in "?W" but leaves the mode on
    EXPECT_EQ(Value("IFFFT"), narrowIF);
    ASSERT_TRUE(Capture("1?W"));
    EXPECT_NE(Value("IFFFT"), narrowIF);
}

TEST_F(CaptureLibraryTest, PeaksAreCappedAt150) {
    // Periods that swing between 750 kHz and 120 kHz: far more than any
    // broadcast deviation.
    std::string w;
    while (w.size() < 512) w += std::string(50, static_cast<char>(40)) + std::string(8, static_cast<char>(250));
    w.resize(512);
    sim.SendRaw(DeviceFrame("IF", "323.00") + DeviceFrame("W", w));
    ASSERT_TRUE(Pump([&] { return lib.ReadBufferLength() >= 4; }));
    EXPECT_EQ(Value("LeftPeak"), "150.0");
    EXPECT_EQ(Value("RightPeak"), "150.0");
}

} // namespace
} // namespace orvane::test
