#include "CaptureProcessor.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <numbers>

namespace orvane::dravon {
namespace {

constexpr float kDefaultIF = 323.0f;

// 30000 / period - IF, or 323 for a zero period; a period so short that the
// quotient is no finite single counts as zero as well.
float PeriodToMpx(float period, float ifValue) {
    if (period == 0.0f) return kDefaultIF;
    const float v = static_cast<float>(30000.0 / period - ifValue);
    return std::isfinite(v) ? v : kDefaultIF;
}

} // namespace

CaptureProcessor::CaptureProcessor() {
    for (int i = 0; i < kHannSize; ++i) {
        // The firmware's table uses 6.2832 for 2 pi, with the argument rounded to single.
        const float arg = static_cast<float>(i * 6.2832 / 16383.0);
        hann_[i] = static_cast<float>((1.0 - std::cos(static_cast<double>(arg))) * 0.5);
    }
}

void CaptureProcessor::Fir(const float* x, int n, float pad, FilterSpan f, std::vector<float>& out) {
    const int taps = f.taps;
    const int outN = std::max(0, n - taps / 2);
    out.assign(outN, 0.0f);
    if (outN == 0) return;
    const float* h = f.Taps();
    const int shift = (taps / 4) * 3;
    // Output j is the filter's sum at input position i = j + shift, over the
    // newest value first; positions outside the input hold the pad value.
    auto at = [&](int m) { return (m >= 0 && m < n) ? x[m] : pad; };
    for (int j = 0; j < outN; ++j) {
        const int i = j + shift;
        float y = 0.0f;
        if (i - (taps - 1) >= 0 && i < n) {
            const float* p = x + i;
            for (int k = 0; k < taps; ++k) y += p[-k] * h[k];
        } else {
            for (int k = 0; k < taps; ++k) y += at(i - k) * h[k];
        }
        out[j] = y;
    }
}

const std::vector<float>& CaptureProcessor::Twiddles(int bits) {
    if (static_cast<int>(cos_.size()) <= bits) {
        cos_.resize(bits + 1);
        sin_.resize(bits + 1);
    }
    auto& c = cos_[bits];
    if (c.empty()) {
        const int n = 1 << bits;
        auto& s = sin_[bits];
        c.resize(n);
        s.resize(n);
        for (int half = 1; half < n; half *= 2) {
            for (int k = 0; k < half; ++k) {
                const double angle = k * std::numbers::pi / half;
                c[half - 1 + k] = static_cast<float>(std::cos(angle));
                s[half - 1 + k] = static_cast<float>(std::sin(angle));
            }
        }
    }
    return c;
}

bool CaptureProcessor::Spectrum(const std::vector<float>& x, int phaseBin, int bits, int start) {
    valid_ = false;
    const int n = 1 << bits;
    if (start < 0 || static_cast<long>(x.size()) < static_cast<long>(start) + n) return false;
    const auto& cs = Twiddles(bits);
    const auto& sn = sin_[bits];
    u_.resize(n);
    for (int i = 0; i < n; ++i)
        u_[i] = hann_[static_cast<int>(static_cast<long>(i) * kHannSize / n)] * x[start + i];
    re_.resize(n);
    im_.assign(n, 0.0f);
    for (int i = 0; i < n; ++i) {
        int r = 0;
        for (int b = 0; b < bits; ++b)
            if (i & (1 << b)) r |= 1 << (bits - 1 - b);
        re_[i] = u_[r];
    }
    for (int half = 1; half < n; half *= 2) {
        for (int c = 0; c < n; c += 2 * half) {
            for (int k = 0; k < half; ++k) {
                const int a = c + k, d = a + half;
                const float co = cs[half - 1 + k], si = sn[half - 1 + k];
                const float tr = co * re_[d] - si * im_[d];
                const float ti = co * im_[d] + si * re_[d];
                re_[d] = re_[a] - tr;
                im_[d] = im_[a] - ti;
                re_[a] = re_[a] + tr;
                im_[a] = im_[a] + ti;
            }
        }
    }
    mag_.resize(n);
    for (int i = 0; i < n; ++i) mag_[i] = std::sqrt(re_[i] * re_[i] + im_[i] * im_[i]);
    if (phaseBin >= 0 && phaseBin < n) {
        // A silent bin has no phase; an arccos argument a rounding step past 1
        // would give NaN.
        const float m = mag_[phaseBin];
        if (m > 0.0f) {
            const float ratio = std::clamp(re_[phaseBin] / m, -1.0f, 1.0f);
            phase_ = std::acos(ratio);
            if (im_[phaseBin] < 0.0f) phase_ = static_cast<float>(2.0 * std::numbers::pi) - phase_;
        } else {
            phase_ = 0.0f;
        }
    }
    valid_ = true;
    return true;
}

CapturePeaks CaptureProcessor::Process(std::string_view value, bool wMode, float& ifValue, CaptureArrays& out) {
    if (!(ifValue >= 100.0f)) ifValue = kDefaultIF;
    const float IF = ifValue;

    P_.resize(value.size());
    for (size_t i = 0; i < value.size(); ++i) P_[i] = static_cast<unsigned char>(value[i]);
    if (!wMode) {
        std::vector<float> raw;
        raw.swap(P_);
        Fir(raw.data(), static_cast<int>(raw.size()), 30000.0f / IF, kPeriodEqualiser, P_);
    }
    const int nP = static_cast<int>(P_.size());

    float total = 0.0f;
    for (const float p : P_) total += p;

    // An odd capture can sum to little or nothing; the arrays then stay empty.
    const auto sizeOf = [](double v) { return static_cast<size_t>(std::max(0.0, std::trunc(v))); };
    A_.assign(sizeOf(std::trunc(total / 5.0) - 1.0), 0.0f);
    B_.assign(sizeOf(std::trunc(total / 10.0) + 1.0), 0.0f);
    C_.resize(2 * static_cast<size_t>(nP));
    for (int j = 0; j < nP; ++j) C_[2 * j] = C_[2 * j + 1] = P_[j] / 10.0f;

    // IF wave: a square wave of +-1, one sample per 5 counts, fractional at the edges.
    {
        float acc = 0.0f, t = 1.0f;
        size_t j = 0;
        for (size_t k = 0; k < A_.size() && j < C_.size(); ++k) {
            const float kk = static_cast<float>(k);
            if (acc + C_[j] - kk >= 1.0f) {
                A_[k] = t;
            } else {
                acc += C_[j];
                A_[k] = (acc - kk - 1.0f) * 2.0f * t;
                ++j;
                t = -t;
            }
        }
    }

    // MPX: one sample per 10 counts, each the frequency of the period in progress.
    if (nP > 0) {
        float acc = 0.0f;
        int j = 0;
        float v = PeriodToMpx(P_[0], IF);
        for (size_t l = 0; l < B_.size(); ++l) {
            if (j < nP && P_[j] / 10.0f + acc - static_cast<float>(l) < 1.0f) {
                acc += P_[j] / 10.0f;
                ++j;
                if (j < nP) v = PeriodToMpx(P_[j], IF);
            }
            B_[l] = v;
        }
    }

    // MPX spectrum: the sum of the first and last 4096 samples' spectra.
    if (Spectrum(B_, -1, 12, 0)) {
        for (int m = 0; m < 165; ++m) out.MPXFFT[m] = mag_[m];
        if (Spectrum(B_, -1, 12, static_cast<int>(B_.size()) - 4096))
            for (int m = 0; m < 165; ++m) out.MPXFFT[m] += mag_[m];
        for (float& f : out.MPXFFT) f = f > 10.0f ? static_cast<float>(20.0 * std::log10(f) - 103.5) : -70.0f;
    }

    Fir(B_.data(), static_cast<int>(B_.size()), 0.0f, wMode ? kMpxWide : kMpxNarrow, F_);
    const size_t scopeN = F_.size() / 6;
    for (size_t m = 0; m < out.MPXScope.size(); ++m) out.MPXScope[m] = m < scopeN ? F_[6 * m] : 0.0f;

    const int pilotBin = wMode ? 26 : 13;
    float pilot = -1.0f, phi = 0.0f;
    if (Spectrum(B_, pilotBin, 11, 500)) {
        pilot = mag_[pilotBin] * 2.0f;
        phi = phase_;
    }

    const int n = std::min(2100, static_cast<int>(F_.size() / 10) - 1);
    if (pilot > 2100.0f) {
        const double delta = wMode ? 1.5917413 : 0.7958691;
        const double offset = wMode ? -2.0 : -0.1;
        const float gain = wMode ? 2.4f : 2.1f;
        const double phi2 = 2.0 * phi;
        for (int i = 0; i <= n; ++i) {
            const float s = static_cast<float>(std::sin(i * delta - phi2 + offset));
            const float f = F_[10 * i];
            const float q = s * f * gain;
            right_[i] = (f - q) / 2.0f;
            left_[i] = (f + q) / 2.0f;
        }
    } else if (pilot > -1.0f) {
        for (int i = 0; i <= n; ++i) right_[i] = left_[i] = F_[10 * i] / 2.0f;
    }

    CapturePeaks peaks{0.0001f, 0.0001f, pilot};
    const FilterSpan audio = wMode ? kAudioWide : kAudioNarrow;
    const auto scope = [&](const std::array<float, kMatrixSize>& in, std::array<float, 182>& scopeOut, float& peak) {
        Fir(in.data(), kMatrixSize, 0.0f, audio, G_);
        for (size_t k = 0; k < scopeOut.size(); ++k) {
            scopeOut[k] = G_[2 * k];
            peak = std::max(peak, std::fabs(scopeOut[k]));
        }
    };
    scope(right_, out.RightScope, peaks.right);
    scope(left_, out.LeftScope, peaks.left);

    if (!wMode) {
        out.IFFFT.fill(-100.0f);
        const int base = static_cast<int>(std::trunc(IF / 1.465 - 116 + 0.5));
        const long lenA = static_cast<long>(A_.size());
        const auto addSpectrum = [&](long s) {
            if (!Spectrum(A_, -1, 12, static_cast<int>(s))) return;
            for (int o = 0; o <= 234; ++o) {
                const long bin = static_cast<long>(base) + o;
                if (bin < 0 || bin >= 4096) continue;
                const float m = mag_[bin];
                double v = m > 0.0f ? 20.0 * std::log10(m) : -100.0;
                if (o > 217) v -= (o - 217) / 4.0;
                out.IFFFT[o] = std::max(out.IFFFT[o], static_cast<float>(v));
            }
        };
        for (long s = 0; s + 4096 < lenA; s += 10000) addSpectrum(s);
        if (lenA > 4096) addSpectrum(lenA - 4096);
    }

    peaks.left = std::min(peaks.left, 150.0f);
    peaks.right = std::min(peaks.right, 150.0f);
    return peaks;
}

std::string FormatCaptureValue(float v) {
    if (!std::isfinite(v)) v = 0.0f;
    char buf[64];
    // One rounding of the single itself, to one decimal or, from a million
    // up, to seven significant digits; two roundings in a row would turn
    // -82.5500031 into a tie at -82.55 and then into -82.5.
    if (std::fabs(v) < 1e6f) {
        std::snprintf(buf, sizeof buf, "%.1f", static_cast<double>(v));
    } else {
        std::snprintf(buf, sizeof buf, "%.6e", static_cast<double>(v));
        // A whole number now, which a double holds and prints exactly.
        std::snprintf(buf, sizeof buf, "%.1f", std::strtod(buf, nullptr));
    }
    std::string s(buf);
    if (s == "-0.0") s = "0.0";
    return s;
}

std::string FormatCaptureList(const float* v, size_t n) {
    std::string s;
    s.reserve(n * 8);
    for (size_t i = 0; i < n; ++i) {
        if (i) s += "\r\n";
        s += FormatCaptureValue(v[i]);
    }
    return s;
}

} // namespace orvane::dravon
