#pragma once
// Turns one "W" capture (512 IF period lengths) into the MPX scope and
// spectrum, the IF spectrum and the left and right audio scopes with their
// peaks.
#include "FilterTable.h"

#include <array>
#include <string>
#include <string_view>
#include <vector>

namespace orvane::dravon {

// A slot's capture results; they keep their values from one capture to the
// next where a step does not run.
struct CaptureArrays {
    std::array<float, 701> MPXScope{};
    std::array<float, 165> MPXFFT{};  // positions 1..165
    std::array<float, 236> IFFFT{};
    std::array<float, 182> RightScope{};  // positions 1..182
    std::array<float, 182> LeftScope{};
};

struct CapturePeaks {
    float left = 0;
    float right = 0;
    float pilot = -1;  // -1 when the MPX was too short to measure it
};

class CaptureProcessor {
public:
    static constexpr size_t kCaptureBytes = 512;
    static constexpr int kHannSize = 16384;
    static constexpr int kMatrixSize = 2101;

    CaptureProcessor();

    // Processes one 512-byte value for a slot. An IF below 100 is first set to
    // 323 (and kept by the slot). Peaks are capped at 150.
    CapturePeaks Process(std::string_view value, bool wMode, float& ifValue, CaptureArrays& out);

    // FIR run: out has n - taps/2 values (none when n is smaller), shifted by
    // (taps/4)*3 samples.
    static void Fir(const float* x, int n, float pad, FilterSpan f, std::vector<float>& out);
    // Spectrum run of 2^bits points from x[start]; false (nothing changed but
    // the valid flag) when x is too short.
    bool Spectrum(const std::vector<float>& x, int phaseBin, int bits, int start);
    const std::vector<float>& Magnitudes() const { return mag_; }
    float Phase() const { return phase_; }
    float Hann(int i) const { return hann_[i]; }

private:
    const std::vector<float>& Twiddles(int bits);

    std::array<float, kHannSize> hann_;
    std::vector<float> mag_, re_, im_, u_;
    std::vector<std::vector<float>> cos_, sin_;  // per size exponent, every stage's k*pi/half
    float phase_ = 0;
    bool valid_ = false;
    std::vector<float> P_, A_, B_, C_, F_, G_;
    std::array<float, kMatrixSize> right_{}, left_{};
};

// One decimal, fixed notation, at most seven significant digits, "." as the
// decimal point.
std::string FormatCaptureValue(float v);
// Values joined by CR LF with no line end after the last.
std::string FormatCaptureList(const float* v, size_t n);

} // namespace orvane::dravon
