#include "DeviceLink.h"

#include <QThread>

#include <cstdio>

namespace orvane {

DeviceLink::DeviceLink(IDeviceLinkHost& host, IDeviceLibrary* library, IClock& clock, ITimerFactory& timers,
                       std::function<void(int)> sleep)
    : host_(host), library_(library), clock_(clock), timer_(timers.Create(kPollInterval, false)),
      sleep_(std::move(sleep)), parser_(clock) {
    timer_->OnTimer = [this] { TimerDravonTimer(); };
}

DeviceLink::~DeviceLink() { timer_->OnTimer = nullptr; }

void DeviceLink::Wait(int ms) {
    if (sleep_) sleep_(ms);
    else QThread::msleep(static_cast<unsigned long>(ms));
}

bool DeviceLink::Connect(const DeviceSettings& s) {
    const uint8_t kind = s.connectionType == 1 ? 1 : 0;
    int32_t port = 23;
    if (!s.port.empty() && s.port.size() <= 9 &&
        s.port.find_first_not_of("0123456789") == std::string::npos)
        port = std::stoi(s.port);
    if (!library_) {
        host_.Show("Connection error!");
        return false;
    }
    library_->ConnectionSetup(kind, s.comPort, s.host, port);
    if (!library_->Connect()) {
        host_.Show("Connection error!");
        return false;
    }
    open_ = true;
    encoder_ = s.deviceType == 1;
    lastKeepAliveMs_.reset();
    // A TCP link is still connecting here; the library keeps the commands
    // until it is up.
    SendInitCommands();
    wasUp_ = everUp_ = library_->Connected();
    // The library opens a TCP link in the background and keeps its failure
    // to itself; only the time it takes tells.
    if (kind == 1 && !wasUp_) connectStartMs_ = clock_.MonotonicMs();
    else connectStartMs_.reset();
    address_ = s.host + ":" + std::to_string(port);
    timer_->SetInterval(kPollInterval);
    timer_->SetEnabled(true);
    host_.EnableNoSync(true);
    return true;
}

void DeviceLink::SendInitCommands() {
    if (encoder_) {
        library_->WriteCommand("\rSETORV=254\r");
    } else {
        library_->WriteCommand("*D");
        library_->WriteCommand("*R");
        library_->WriteCommand("?F");
    }
}

void DeviceLink::Disconnect() {
    host_.EnableNoSync(false);
    timer_->SetEnabled(false);
    if (library_) library_->Disconnect();
    open_ = false;
    connectStartMs_.reset();
}

void DeviceLink::TimerDravonTimer() {
    if (!library_) return;
    // A device that the library reconnected starts fresh: it needs the
    // commands that set it up once more.
    const bool up = library_->Connected();
    if (open_ && up && !wasUp_) {
        if (everUp_) SendInitCommands();
        everUp_ = true;
    }
    wasUp_ = up;
    if (up) {
        connectStartMs_.reset();
    } else if (connectStartMs_ && clock_.MonotonicMs() - *connectStartMs_ >= kConnectTimeoutMs) {
        // Said once; the library keeps trying every minute on its own. It
        // tells only that the link is down, not why (refused, timed out, no
        // route), so the words claim no cause.
        connectStartMs_.reset();
        host_.Show("TCP Error: no answer from " + address_ + " within " + std::to_string(kConnectTimeoutMs / 1000) +
                   " s");
    }

    while (library_->ReadBufferLength() >= 1) {
        const std::string reply = library_->ReadResponse();
        if (host_.PlaybackHoldsDevice()) return;
        host_.AddReceivedCharacters(static_cast<int>(reply.size()));
        const std::string_view r = reply;
        if (r.starts_with("G=")) {
            const std::string_view line = r.substr(2);
            if (host_.CommandsInGroup(line)) return;
            if (!parser_.GroupConvert(line)) continue;
            host_.RestartNoSync();
            host_.SendRDSGroup(parser_.Group());
            const int32_t waiting = library_->ReadBufferLength();
            if (waiting > 5) timer_->SetInterval(kBusyPollInterval);
            else if (waiting < 4) timer_->SetInterval(kPollInterval);
            return;
        }
        if (r.starts_with("Frequency=")) {
            if (const auto entry = FrequencyEntry(r.substr(10), host_.FrequencyEntries()))
                host_.SelectFrequency(*entry);
        }
    }
}

std::optional<int> DeviceLink::FrequencyEntry(std::string_view value, int entries) {
    std::string digits;
    for (size_t i = 0; i < value.size(); ++i) {
        if (value.substr(i, 3) == "MHz") {
            i += 2;
            continue;
        }
        const char c = value[i];
        if (c == '.' || c == ',' || c == ' ') continue;
        digits += c;
    }
    // A decimal integer with an optional sign; anything else is ignored.
    size_t at = (!digits.empty() && (digits[0] == '-' || digits[0] == '+')) ? 1 : 0;
    if (at >= digits.size() || digits.find_first_not_of("0123456789", at) != std::string::npos) return {};
    if (digits.size() - at > 9) return {};
    long number = std::stol(digits);
    const long entry = number / 10 - 875;
    if (entry < 0 || entry >= entries) return {};
    return static_cast<int>(entry);
}

std::string DeviceLink::FrequencyText(int entry) {
    char text[16];
    std::snprintf(text, sizeof text, "%06d", 87500 + 100 * entry);
    return text;
}

void DeviceLink::BBTUNEClick(int entry) {
    if (entry < 0) return;
    const std::string kHz = FrequencyText(entry);
    host_.SendTuneToPlugins(kHz);
    if (host_.DeviceSource() && !host_.StreamPlaying()) {
        host_.StopRecording();
        if (library_) {
            library_->WriteCommand(kHz + "*F");
            library_->WriteCommand("*D");
            library_->WriteCommand("*R");
        }
    } else if (host_.StreamPlaying()) {
        host_.StopRecording();
        host_.WriteToStream(kHz + "*F");
        host_.WriteToStream("*D");
        host_.WriteToStream("*R");
    } else {
        return;
    }
    Wait(kTuneWaitMs);
    host_.ResetDecodedData();
}

void DeviceLink::KeepAlive() {
    if (!open_ || !encoder_ || !library_) return;
    const int64_t now = clock_.MonotonicMs();
    if (lastKeepAliveMs_ && (now - *lastKeepAliveMs_) / 1000 <= 3) return;
    library_->WriteCommand("SETORV=100\r");
    lastKeepAliveMs_ = now;
}

} // namespace orvane
