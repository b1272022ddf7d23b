#pragma once
// The main window's one live source: connecting and disconnecting it. The
// serial receiver (source 0) lives here, the sound card (source 1) is the
// host's bit slicer and the device link (source 2) the main window's.
#include "BitSlicer.h"
#include "DeviceLink.h"
#include "SerialReceiver.h"

#include <functional>
#include <string>

namespace orvane {

// The source settings, as the source dialog's controls hold them.
class ISourceSettings {
public:
    virtual ~ISourceSettings() = default;
    virtual int SourceNumber() const = 0;  // 0 serial, 1 sound card, 2 device link, 3 none
    virtual int SerialComPort() const = 0; // the serial receiver's COM port, 1..255
    virtual int AudioInDevice() const { return -1; } // CBINPUT's item, -1 none
    virtual SlicerSettings SoundCardSettings() const { return {}; }
    virtual DeviceSettings DeviceLinkSettings() const = 0;
};

class ISourceHost : public ISerialReceiverHost, public IBitSlicerHost {
public:
    // Both bit sources feed the one decoder ring.
    void AddToDecoderBuffer(uint8_t bit) override = 0;
    virtual BitSlicer* SoundCard() { return nullptr; }
    virtual void Show(const std::string& message) = 0; // the status line
    virtual void EnableDecoderTick(bool on) = 0;
    virtual void StopRecording() = 0;
    virtual void ResetDecodedData() = 0; // the complete reset
    virtual void ShowNoSync() = 0;       // the error-rate label: no source
};

class SourceManager {
public:
    static constexpr int kSourceSerial = 0, kSourceSoundCard = 1, kSourceDevice = 2, kSourceNone = 3;

    // sleep replaces the wait after closing a port (tests); empty waits.
    // device: the device link, null where there is none.
    SourceManager(ISourceHost& host, const ISourceSettings& settings, std::function<void(int)> sleep = {},
                  DeviceLink* device = nullptr);
    ~SourceManager();

    void ConnectToSource();
    // Closes the selected source, or the one given (the one that was running
    // when the selection has already changed).
    void DisconnectFromSource();
    void DisconnectFromSource(int source);
    // The selected source is up now: its port open, its capture running or
    // its device link connected.
    bool Connected() const;

    SerialReceiver& Serial() { return serial_; }

private:
    void ConnectSoundCard();

    ISourceHost& host_;
    const ISourceSettings& settings_;
    SerialReceiver serial_;
    DeviceLink* device_;
    int connectedPort_ = 0;

    void ConnectSerial();
};

} // namespace orvane
