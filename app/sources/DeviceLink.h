#pragma once
// The device link: an FM analyser or RDS encoder reached through the device
// library. Its poll turns "G=" replies into groups and "Frequency=" replies
// into the frequency list's selection; "Tune" sends the chosen frequency to
// the device, or to the socket stream while one plays.
#include "Clock.h"
#include "GroupLineParser.h"
#include "Timer.h"

#include <orvane/rdsgroup.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace orvane {

// The calls of the device library that the link makes, on its active slot.
class IDeviceLibrary {
public:
    virtual ~IDeviceLibrary() = default;
    // kind 0 serial (COM port), 1 TCP (host, port)
    virtual void ConnectionSetup(uint8_t kind, int32_t comPort, const std::string& host, int32_t tcpPort) = 0;
    virtual bool Connect() = 0;
    virtual void Disconnect() = 0;
    virtual bool Connected() = 0;
    virtual int32_t ReadBufferLength() = 0;
    // The oldest unread reply, key "=" value.
    virtual std::string ReadResponse() = 0;
    virtual void WriteCommand(const std::string& command) = 0;
};

// The device settings as the source dialog holds them.
struct DeviceSettings {
    int connectionType = 0; // 0 "RS232/USB", 1 "TCP/IP"
    int comPort = 1;
    std::string host = "localhost";
    std::string port = "23";
    int deviceType = 0; // 0 FM analyser, 1 RDS encoder
};

// What the link needs from the main window.
class IDeviceLinkHost {
public:
    virtual ~IDeviceLinkHost() = default;
    virtual void Show(const std::string& message) = 0; // the status line
    // A file or stream plays, or a playback ended and the data were not
    // reset since: device replies are dropped.
    virtual bool PlaybackHoldsDevice() const = 0;
    virtual void AddReceivedCharacters(int count) = 0;
    // "RESET" and "EXIT"; true when the line was one.
    virtual bool CommandsInGroup(std::string_view line) = 0;
    virtual void SendRDSGroup(const TRDSGroupRec& group) = 0;
    virtual void RestartNoSync() = 0;
    virtual void EnableNoSync(bool on) = 0;
    virtual int FrequencyEntries() const = 0; // CBFREQ's entries
    virtual void SelectFrequency(int entry) = 0;
    // Tuning
    virtual bool DeviceSource() const = 0; // the device link is the source
    virtual bool StreamPlaying() const = 0;
    virtual bool WriteToStream(const std::string& text) = 0;
    virtual void SendTuneToPlugins(const std::string& kHz) = 0;
    virtual void StopRecording() = 0;
    virtual void ResetDecodedData() = 0; // the complete reset
};

class DeviceLink {
public:
    static constexpr int kPollInterval = 88;
    static constexpr int kBusyPollInterval = 65;
    static constexpr int kTuneWaitMs = 200;
    // How long a TCP link may take to come up before the status line says
    // it did not.
    static constexpr int kConnectTimeoutMs = 10000;

    // sleep: the wait after tuning; empty waits for real.
    DeviceLink(IDeviceLinkHost& host, IDeviceLibrary* library, IClock& clock, ITimerFactory& timers,
               std::function<void(int)> sleep = {});
    ~DeviceLink();
    DeviceLink(const DeviceLink&) = delete;
    DeviceLink& operator=(const DeviceLink&) = delete;

    // The device-link branches of connecting and disconnecting the source.
    bool Connect(const DeviceSettings& settings);
    void Disconnect();
    // Connected as the source; a TCP link may still be coming up, and the
    // library keeps retrying one that went down.
    bool Open() const { return open_; }
    // Open and the library's link up now: replies can come.
    bool Connected() const { return open_ && library_ && library_->Connected(); }

    // The poll, on every tick of TimerDravon.
    void TimerDravonTimer();
    // "Tune" with the selected entry of the frequency list, -1 for none.
    void BBTUNEClick(int entry);
    // The encoder's keep-alive, on every tick of the command timer.
    void KeepAlive();

    ITimer& TimerDravon() { return *timer_; }

    // "087500" for entry 0: six digits, kHz.
    static std::string FrequencyText(int entry);
    // The entry a "Frequency=" value selects, or none.
    static std::optional<int> FrequencyEntry(std::string_view value, int entries);

private:
    void SendInitCommands();
    void Wait(int ms);

    IDeviceLinkHost& host_;
    IDeviceLibrary* library_;
    IClock& clock_;
    std::unique_ptr<ITimer> timer_;
    std::function<void(int)> sleep_;
    GroupLineParser parser_;
    bool open_ = false;
    bool encoder_ = false;
    bool wasUp_ = false;   // the library's link at the last look
    bool everUp_ = false;  // it has been up since Connect
    std::optional<int64_t> lastKeepAliveMs_;
    // A TCP link not up yet: when Connect started it, and host:port.
    std::optional<int64_t> connectStartMs_;
    std::string address_;
};

} // namespace orvane
