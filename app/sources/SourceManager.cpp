#include "SourceManager.h"

namespace orvane {

SourceManager::SourceManager(ISourceHost& host, const ISourceSettings& settings, std::function<void(int)> sleep,
                             DeviceLink* device)
    : host_(host), settings_(settings), serial_(host), device_(device) {
    TScComm& port = serial_.ScComm1();
    if (sleep) port.SetSleep(std::move(sleep));
    // A line that fails (an adapter pulled out) is told once; the port stays
    // as it is until the source is connected again.
    port.OnError = [this](TScComponent*, uint32_t) {
        host_.Show("Connection error: COM port line error (COM" + std::to_string(connectedPort_) + ")!");
    };
    // The main program reports only through its status line.
    TScCustomComm::SetApplicationExceptionHandler([this](const std::string& m) { host_.Show(m); });
}

SourceManager::~SourceManager() {
    TScCustomComm::SetApplicationExceptionHandler({});
    try {
        serial_.ScComm1().Close();
    } catch (...) {
    }
}

void SourceManager::ConnectToSource() {
    switch (settings_.SourceNumber()) {
    case kSourceSerial: ConnectSerial(); break;
    case kSourceSoundCard: ConnectSoundCard(); break;
    case kSourceDevice:
        if (device_) device_->Connect(settings_.DeviceLinkSettings());
        else host_.Show("Connection error!");
        break;
    case kSourceNone: host_.ShowNoSync(); break;
    default: break;
    }
}

void SourceManager::ConnectSerial() {
    TScComm& port = serial_.ScComm1();
    const int number = settings_.SerialComPort();
    try {
        port.Close(); // a port still open from before takes no new name
        port.SetPortNum(number);
        port.SetDeviceName(number <= 9 ? "COM%d" : "\\\\.\\COM%d");
        connectedPort_ = number;
        port.Open();
    } catch (const std::exception&) {
        host_.Show("Connection error: Unable to open the COM port (COM" + std::to_string(number) + ")!");
    }
    try {
        port.SetDtr(true);
        port.SetRts(true);
    } catch (const std::exception& e) {
        host_.Show(e.what());
    }
    host_.EnableDecoderTick(true);
    serial_.ClearLastByte();
}

void SourceManager::ConnectSoundCard() {
    BitSlicer* slicer = host_.SoundCard();
    const int device = settings_.AudioInDevice();
    if (!slicer || device < 0) return; // no input chosen opens nothing
    slicer->ApplySettings(settings_.SoundCardSettings());
    // The capture raises nothing: whether it started shows in its state. The
    // watchdog runs either way and tries again when no buffers come.
    if (!slicer->Connect(device)) host_.Show("Sound card error!");
    host_.EnableDecoderTick(true);
}

bool SourceManager::Connected() const {
    switch (settings_.SourceNumber()) {
    case kSourceSerial: return serial_.ScComm1().IsOpen();
    case kSourceSoundCard: {
        const BitSlicer* slicer = host_.SoundCard();
        return slicer && slicer->Connected();
    }
    case kSourceDevice: return device_ && device_->Connected();
    default: return false;
    }
}

void SourceManager::DisconnectFromSource() { DisconnectFromSource(settings_.SourceNumber()); }

void SourceManager::DisconnectFromSource(int source) {
    // An open port is closed also when the number was changed under it.
    if (source == kSourceSerial || serial_.ScComm1().IsOpen()) {
        try {
            serial_.ScComm1().Close();
        } catch (...) {
        }
        host_.EnableDecoderTick(false);
    }
    if (source == kSourceSoundCard) {
        if (BitSlicer* slicer = host_.SoundCard()) slicer->Disconnect();
        host_.EnableDecoderTick(false);
    }
    if (device_ && (source == kSourceDevice || device_->Open())) device_->Disconnect();
    host_.StopRecording();
    host_.ResetDecodedData();
}

} // namespace orvane
