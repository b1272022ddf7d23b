#pragma once
// The main window's one live source: connecting and disconnecting it. The
// serial receiver (source 0) lives here; the other sources join it.
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
};

class ISourceHost : public ISerialReceiverHost {
public:
    virtual void Show(const std::string& message) = 0; // the status line
    virtual void EnableDecoderTick(bool on) = 0;
    virtual void StopRecording() = 0;
    virtual void ResetDecodedData() = 0; // the complete reset
};

class SourceManager {
public:
    static constexpr int kSourceSerial = 0;

    // sleep replaces the wait after closing a port (tests); empty waits.
    SourceManager(ISourceHost& host, const ISourceSettings& settings, std::function<void(int)> sleep = {});
    ~SourceManager();

    void ConnectToSource();
    // Closes the selected source, or the one given (the one that was running
    // when the selection has already changed).
    void DisconnectFromSource();
    void DisconnectFromSource(int source);

    SerialReceiver& Serial() { return serial_; }

private:
    ISourceHost& host_;
    const ISourceSettings& settings_;
    SerialReceiver serial_;
    int connectedPort_ = 0;
};

} // namespace orvane
