#include "StatusInfo.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orvane {

StatusInfo::StatusInfo(IStatusHost& host, IStatusView& view, IClock& clock)
    : host_(host), view_(view), clock_(clock) {}

const std::vector<std::string>& StatusInfo::KeyNames() {
    static const std::vector<std::string> names{
        "RDS Source", "COM Port", "Port opened", "Format expected", "Received bits per second",
        "Input signal characteristics", "Input sample", "Sample rate", "Received buffers per second",
        "Buffer size", "Delay due to buffering", "Peak signal level", "Peak signal level Left",
        "Peak signal level Right", "PLL balance", "Received ones per second", "Received zeros per second",
        "Last re-sync.", "Received bytes per second (ASCII)", "Groups per second"};
    return names;
}

int StatusInfo::SourceKey(const StatusReadings& r) {
    // Playing is part of the key, so leaving playback empties the list.
    return r.source + (r.encoderInput ? 100 : 0) + (r.playing ? 1000 : 0);
}

std::string StatusInfo::Fixed(double value, int decimals) { return plot::FormatFixed(value, decimals); }

bool StatusInfo::PeakLevel(int32_t peak, int& dB) {
    if (peak <= 300) return false;
    dB = static_cast<int>(std::trunc(20.0 * std::log10(peak / 65535.0)));
    return true;
}

void StatusInfo::Show() {
    plot::CreateDataArray(left_, ScopeSamples::kCount, 1);
    plot::CreateDataArray(right_, ScopeSamples::kCount, 1);
    sourceKey_ = SourceKey(host_.ReadStatus());
    view_.ClearRows();
    lastTickMs_ = clock_.MonotonicMs() - 3000;
    view_.SetWaitVisible(true);
    ticks_ = 0;
    Tick();
}

void StatusInfo::Hide() { view_.ClearRows(); }

void StatusInfo::Tick() {
    const StatusReadings r = host_.ReadStatus();
    // 1. Elapsed seconds, a real division of the whole milliseconds.
    const int64_t now = clock_.MonotonicMs();
    const double s = static_cast<double>(now - lastTickMs_) / 1000.0;
    lastTickMs_ = now;
    auto rate = [s](int32_t count) { return s > 0 ? count / s : 0.0; };
    // 2. A new source starts a new list.
    const int key = SourceKey(r);
    if (key != sourceKey_) view_.ClearRows();
    sourceKey_ = key;
    // 3. The source.
    std::string source;
    switch (r.source) {
    case kSourceSerial: source = "Serial COM Port"; break;
    case kSourceSoundCard: source = "Sound Card"; break;
    case kSourceDevice: source = r.deviceKind == 1 ? "RDS Encoder" : "FM Analyzer"; break;
    case kSourceNone: source = "(No Source)"; break;
    default: source = "(Unknown)"; break;
    }
    const bool live = !r.playing;
    if (!live) {
        source = "File";
        view_.SetScopeVisible(false);
    }
    view_.SetRow("RDS Source", source);
    // 4.
    if (live && r.source == kSourceSerial) {
        view_.SetRow("COM Port", "COM" + std::to_string(r.comPort));
        view_.SetRow("Port opened", r.portOpen ? "Yes" : "No");
    }
    // 5. While a file plays the scope stays hidden.
    if (live) {
        if (r.source == kSourceSoundCard) {
            if (!view_.ScopeVisible()) view_.SetScopeVisible(true);
            std::string format = r.encoderInput ? "RDS Encoder" : "Clock and Data";
            if (r.inverted) format += ", Inverted";
            view_.SetRow("Format expected", format);
        } else {
            view_.SetScopeVisible(false);
        }
    }
    // 6, 7.
    const double bitsPerSecond = rate(r.bits), onesPerSecond = rate(r.ones), groupsPerSecond = rate(r.groups),
                 buffersPerSecond = rate(r.buffers);
    const double balance = r.samples > 10 ? (r.balance * 0.4642) / r.samples : 0.0;
    // 8.
    host_.ZeroRateCounters();
    // 9. The first tick only restarts the counters.
    ticks_ = std::min(ticks_ + 1, 5);
    if (ticks_ == 1) return;
    if (ticks_ == 2) view_.SetWaitVisible(false);
    if (live) {
        // 10.
        if (r.source == kSourceSerial) {
            view_.SetRow("Received bits per second", Fixed(bitsPerSecond, 0));
            view_.SetRow("Input signal characteristics", r.inputGood ? "OK" : "Failed");
            char hex[8];
            std::snprintf(hex, sizeof hex, "0x%02X", static_cast<unsigned>(r.lastInputByte) & 0xFF);
            view_.SetRow("Input sample", hex);
            host_.ZeroSerialInput();
        }
        // 11.
        if (r.source == kSourceSoundCard) {
            view_.SetRow("Sample rate", std::to_string(r.frameRate) + " Hz");
            const bool enough = std::trunc(static_cast<double>(r.bufferSize) * buffersPerSecond) >= 35000;
            view_.SetRow("Received buffers per second",
                         Fixed(buffersPerSecond, 1) + " (" + (enough ? "OK" : "Failed") + ")");
            view_.SetRow("Buffer size", std::to_string(r.bufferSize) + " bytes");
            view_.SetRow("Delay due to buffering",
                         buffersPerSecond <= 0.1 ? "Unknown" : Fixed(1.0 / buffersPerSecond, 1) + " s");
            host_.ZeroPeaks();
            int dB = 0;
            if (r.encoderInput) {
                const int32_t p = std::max(r.peakLeft, r.peakRight);
                view_.SetRow("Peak signal level",
                             PeakLevel(p, dB) ? std::to_string(dB) + " dB (" +
                                                    (dB != 0 ? "OK" : "It's probably too much") + ")"
                                              : "Silence");
            } else {
                view_.SetRow("Peak signal level Left",
                             PeakLevel(r.peakLeft, dB) ? std::to_string(dB) + " dB (OK)" : "Silence");
                view_.SetRow("Peak signal level Right",
                             PeakLevel(r.peakRight, dB) ? std::to_string(dB) + " dB (OK)" : "Silence");
                view_.SetRow("PLL balance", Fixed(balance * 100, 2) + " %");
            }
            view_.SetRow("Received bits per second", std::to_string(r.bitRate));
            view_.RepaintScope();
        }
        // 12.
        if (r.source == kSourceSerial || r.source == kSourceSoundCard) {
            view_.SetRow("Received ones per second", Fixed(onesPerSecond, 0));
            const double bitRate = r.source == kSourceSoundCard ? r.bitRate : bitsPerSecond;
            view_.SetRow("Received zeros per second", Fixed(std::max(bitRate - onesPerSecond, 0.0), 0));
            view_.SetRow("Last re-sync.", r.lastResync);
        }
        // 13.
        if (r.source == kSourceDevice) view_.SetRow("Received bytes per second (ASCII)", Fixed(bitsPerSecond, 0));
    }
    // 14.
    view_.SetRow("Groups per second", Fixed(groupsPerSecond, 1));
}

} // namespace orvane
