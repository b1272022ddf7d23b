#pragma once
// The device library's data module: up to 255 device slots, one of them
// active, driven by a 20 ms receive tick, one send timer per slot and a 60 s
// reconnect timer. Every export of the library acts through it.
#include "CaptureProcessor.h"
#include "CommandQueue.h"
#include "ReplyFramer.h"
#include "SerialLine.h"
#include "Timer.h"
#include "ValueStore.h"

#include <QObject>
#include <QString>
#include <QTcpSocket>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvane::dravon {

enum : uint8_t { kSerial = 0, kTcp = 1 };

struct TDeviceProperties {
    std::unique_ptr<ISerialLine> serial;
    std::unique_ptr<QTcpSocket> socket;
    std::unique_ptr<ITimer> sendTimer;
    bool connected = false;
    ReceiveText rx;  // received, not yet framed
    CaptureArrays arrays;
    uint8_t kind = kSerial;
    CommandQueue commands;  // with the W mode
    ResponseRing responses;
    KeyTable keys;
    float IF = 0;
    bool userDisconnected = false;
    QString host;
    quint16 port = 0;
    int comPort = 0;
    std::string deviceName;
};

class TDM {
public:
    static constexpr int kMaxSlots = 255;

    using SerialFactory = std::function<std::unique_ptr<ISerialLine>()>;
    TDM(ITimerFactory& timers, std::function<void(int)> sleep, SerialFactory serial);
    ~TDM();
    TDM(const TDM&) = delete;
    TDM& operator=(const TDM&) = delete;

    int AddDevice();
    bool SetDevice(int index);
    int ActiveDevice() const { return active_; }
    int DeviceCount() const { return static_cast<int>(slots_.size()); }
    int CheckDevices() const;
    TDeviceProperties* Active();

    void ConnectionSetup(uint8_t kind, int comPort, const std::string& host, int tcpPort);
    bool Connect();
    void Disconnect();
    bool Connected();

    void WriteCommand(std::string command);
    int WriteBufferLength();
    int ReadBufferLength();
    bool ReadResponse(std::string& text);
    bool ReadValue(const std::string& key, std::string& value);
    void ClearValues();
    // The named capture array of the active slot; count 0 for an unknown name.
    int GetArray(const std::string& name, float* dest, int capacity);

    // The timers' handlers.
    void TimerRxDTimer();
    void TimerTxDTimer(int tag);
    void TimerReconnectTimer();

private:
    TDeviceProperties* Slot(int tag);
    void SocketClientConnect(int tag);
    void SocketClientDisconnect(int tag);
    void SocketClientRead(int tag);
    void RestartReconnect();
    void FileFrame(TDeviceProperties& s, std::string_view key, std::string_view value);

    ITimerFactory& timerFactory_;
    std::function<void(int)> sleep_;
    SerialFactory serialFactory_;
    std::unique_ptr<ITimer> timerRxD_;
    std::unique_ptr<ITimer> timerReconnect_;
    CaptureProcessor capture_;
    int active_ = 0;
    std::vector<std::unique_ptr<TDeviceProperties>> slots_;
};

} // namespace orvane::dravon
