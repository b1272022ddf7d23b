#pragma once
// The serial-port component: line settings as properties, open/close/read/
// write on a POSIX tty, an event thread and a write thread whose
// notifications reach the handlers on the GUI thread.
#include "GuiCall.h"
#include "ScClasses.h"
#include "ScLine.h"
#include "ScObjects.h"
#include "ScPrst.h"
#include "ScUtils.h"
#include "ThreadPriority.h"


#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <initializer_list>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvane {

class TScDisplay;
class TScCommEventThread;
class TScCommWriteThread;

class EScCommError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// A set of enumeration values, as the component's set-typed properties hold.
template <class E>
class TScSet {
public:
    constexpr TScSet() = default;
    constexpr TScSet(std::initializer_list<E> values) {
        for (E v : values) bits_ |= Bit(v);
    }
    constexpr bool Contains(E v) const { return bits_ & Bit(v); }
    constexpr TScSet& Include(E v) { bits_ |= Bit(v); return *this; }
    constexpr TScSet& Exclude(E v) { bits_ &= ~Bit(v); return *this; }
    constexpr bool Empty() const { return bits_ == 0; }
    constexpr bool operator==(const TScSet&) const = default;

private:
    static constexpr uint32_t Bit(E v) { return 1u << static_cast<unsigned>(v); }
    uint32_t bits_ = 0;
};

enum TScBaudrate {
    brUser, br110, br300, br600, br1200, br2400, br4800, br9600, br14400, br19200, br38400, br56000, br57600,
    br115200, br128000, br256000
};
enum TScParity { paNone, paOdd, paEven, paMark, paSpace };
enum TScDatabits { db4, db5, db6, db7, db8 };
enum TScStopbits { sb1, sb15, sb2 };
enum TScCommOption { coParityCheck, coErrorChar, coNullStrip };
enum TScCommEvent {
    ceBreak, ceCts, ceDsr, ceError, ceRing, ceRlsd, ceRxChar, ceTxEmpty, ceRxFlag, cePErr, ceRx80Full, ceEvent1,
    ceEvent2
};
using TScCommOptions = TScSet<TScCommOption>;
using TScCommEvents = TScSet<TScCommEvent>;
using TScPortInt = int;

// The bits of a communication event mask.
enum : uint32_t {
    EV_RXCHAR = 0x1, EV_RXFLAG = 0x2, EV_TXEMPTY = 0x4, EV_CTS = 0x8, EV_DSR = 0x10, EV_RLSD = 0x20,
    EV_BREAK = 0x40, EV_ERR = 0x80, EV_RING = 0x100, EV_PERR = 0x200, EV_RX80FULL = 0x400, EV_EVENT1 = 0x800,
    EV_EVENT2 = 0x1000
};
// The bits of the line's error mask.
enum : uint32_t { CE_RXOVER = 0x1, CE_OVERRUN = 0x2, CE_RXPARITY = 0x4, CE_FRAME = 0x8, CE_BREAK = 0x10,
                  CE_TXFULL = 0x100, CE_IOE = 0x400 };
// Escape function codes.
enum : int { SETXOFF = 1, SETXON = 2, SETRTS = 3, CLRRTS = 4, SETDTR = 5, CLRDTR = 6, SETBREAK = 8, CLRBREAK = 9 };

// The line's status: its queue counts.
struct TScComStat {
    uint32_t Flags = 0;
    uint32_t cbInQue = 0;
    uint32_t cbOutQue = 0;
};

// An object that takes the port's data and events in place of the handlers.
class IScCommConsumer {
public:
    virtual ~IScCommConsumer() = default;
    virtual bool Enabled() const { return true; }
    virtual void CommData(const char* data, int count) = 0;
    virtual void CommEvents(uint32_t mask) = 0;
};

using TNotifyEvent = std::function<void(TScComponent* sender)>;
using TScCommErrorEvent = std::function<void(TScComponent* sender, uint32_t errors)>;
using TScCommRxCharEvent = std::function<void(TScComponent* sender, int count)>;
using TScCommRxBufEvent = std::function<void(TScComponent* sender, const char* data, int count)>;

class TScCustomComm : public TScComponent {
public:
    explicit TScCustomComm(QObject* owner = nullptr);
    ~TScCustomComm() override;

    // Opening, closing, moving bytes.
    void Open();
    void Close();
    void Loaded();
    bool IsOpen() const { return handle_ >= 0; }
    int WriteBuf(const char* data, int count);
    bool WriteText(const std::string& text);
    int ReadBuf(char* buffer, int count);
    std::string ReadText();
    int InputQueueCount();
    void GetStatus(uint32_t& errors, TScComStat& stat);
    bool CheckErrors();

    // Line control.
    void EscapeFunction(int code);
    void SetDtr(bool on);
    void SetRts(bool on);

    // Properties.
    bool AutoOpen() const { return autoOpen_; }
    void SetAutoOpen(bool v) { autoOpen_ = v; }
    TScBaudrate Baudrate() const { return baudrate_; }
    void SetBaudrate(TScBaudrate v);
    TScParity Parity() const { return parity_; }
    void SetParity(TScParity v);
    TScDatabits Databits() const { return databits_; }
    void SetDatabits(TScDatabits v);
    TScStopbits Stopbits() const { return stopbits_; }
    void SetStopbits(TScStopbits v);
    TScEventChars& EventChars() { return eventChars_; }
    void SetEventChars(const TScEventChars& v) { eventChars_.Assign(v); }
    TScFlowControl& FlowControl() { return flowControl_; }
    void SetFlowControl(const TScFlowControl& v) { flowControl_.Assign(v); }
    TScCommOptions Options() const { return options_; }
    void SetOptions(TScCommOptions v);
    TScPortInt PortNum() const { return portNum_; }
    void SetPortNum(TScPortInt v);
    const std::string& DeviceName() const { return deviceName_; }
    void SetDeviceName(const std::string& v);
    TScCommEvents MonitorEvents() const { return monitorEvents_; }
    void SetMonitorEvents(TScCommEvents v);
    TScBuffers& Buffers() { return buffers_; }
    void SetBuffers(const TScBuffers& v);
    TThreadPriority EventPriority() const { return eventPriority_; }
    void SetEventPriority(TThreadPriority v);
    TThreadPriority WritePriority() const { return writePriority_; }
    void SetWritePriority(TThreadPriority v);
    bool DirectWrite() const { return directWrite_; }
    void SetDirectWrite(bool v);
    bool UpdateDCB() const { return updateDCB_; }
    void SetUpdateDCB(bool v);
    int32_t UserBaudrate() const { return userBaudrate_; }
    void SetUserBaudrate(int32_t v);
    TScDisplay* Display() const { return display_; }
    void SetDisplay(TScDisplay* display);
    std::string Version() const { return "2.0.0.0"; }
    void SetVersion(const std::string&) {}

    TNotifyEvent OnOpen, OnClose, OnCts, OnDsr, OnRlsd, OnRing, OnBreak, OnRxFlag, OnTxEmpty, OnPErr, OnRx80Full,
        OnEvent1, OnEvent2;
    TScCommErrorEvent OnError;
    TScCommRxCharEvent OnRxChar;
    TScCommRxBufEvent OnRxBuf;

    // The name the port is opened by: DeviceName with PortNum in its first "%d".
    std::string FormattedDeviceName() const;
    // The port's file descriptor, -1 while closed.
    int Handle() const { return handle_; }
    // What the line is set to when the device control block is applied.
    scline::Settings LineSettings() const;
    // The event mask computed at the last opening.
    uint32_t EventMask() const { return eventMask_; }
    bool EventThreadRunning() const { return eventThread_ != nullptr; }
    bool WriteThreadRunning() const { return writeThread_ != nullptr; }

    void AttachConsumer(IScCommConsumer* consumer);
    void DetachConsumer(IScCommConsumer* consumer);
    bool ConsumersEnabled() const { return consumersEnabled_; }
    void SetConsumersEnabled(bool on) { consumersEnabled_ = on; }
    // Whether thread notifications run on the GUI thread (true in this system).
    void SetSynchronize(bool on) { synchronize_ = on; }

    // Time and the wait after closing, replaceable so tests do not wait.
    void SetTickSource(TScDeadline::TickSource ticks) { ticks_ = std::move(ticks); }
    void SetSleep(std::function<void(int ms)> sleep) { sleep_ = std::move(sleep); }
    // Where the application reports an exception that left a handler; by
    // default a warning on the log.
    static void SetApplicationExceptionHandler(std::function<void(const std::string&)> handler);
    static void HandleApplicationException(const std::string& message);

protected:
    enum TOperation { opInsert, opRemove };
    virtual void Notification(QObject* component, TOperation operation);
    virtual void OpenHandle();
    virtual void StartThreads();
    virtual void HandleRxChar();
    virtual void HandleEvents(uint32_t mask);
    virtual void NotifyConsumerEvents(uint32_t mask);
    virtual void NotifyConsumerData(const char* data, int count);

private:
    friend class TScCommEventThread;
    friend class TScCommWriteThread;

    void RefuseWhileOpen() const;
    // A line setting: stored when it differs, then applied to an open port.
    template <class T, class V>
    void StoreAndApply(T& field, const V& value);
    // A setting that needs a closed port.
    template <class T, class V>
    void StoreWhileClosed(T& field, const V& value);
    void ApplyDCB();
    void ApplyBuffers() {}
    void StopThreads();
    // Runs the event handling for a thread: on the GUI thread when
    // synchronised; nothing escapes.
    void DispatchFromThread(std::function<void()> body);
    void EventHandling(uint32_t mask);
    void GuardedHandleEvents(uint32_t mask);
    void Guarded(const std::function<void()>& body);
    bool Enqueue(const char* data, int count);
    int DirectWriteBuf(const char* data, int count);
    void AddLineErrors(uint32_t errors) { lineErrors_.fetch_or(errors); }
    [[noreturn]] void RaiseSystem(const char* format, int code) const;
    void CallGuarded(const TNotifyEvent& handler);

    int handle_ = -1;
    TScCriticalSection writeLock_, statusLock_;
    std::unique_ptr<TScCommEventThread> eventThread_;
    std::unique_ptr<TScCommWriteThread> writeThread_;
    std::condition_variable_any writeRoom_;
    uint32_t eventMask_ = 0;
    TScBuffers buffers_;
    TScEventChars eventChars_;
    TScFlowControl flowControl_;
    std::vector<IScCommConsumer*> consumers_;
    bool consumersEnabled_ = true;
    bool synchronize_ = true;
    TScDisplay* display_ = nullptr;
    QMetaObject::Connection displayConnection_;
    std::unique_ptr<GuiCall> gui_;
    std::atomic<uint32_t> lineErrors_{0};
    std::atomic<bool> txPending_{false};
    std::atomic<uint64_t> bytesRead_{0}; // all bytes read since opening
    std::atomic<uint64_t> rxTold_{0};    // bytes read plus waiting when OnRxChar was last told
    bool destroying_ = false;
    TScDeadline::TickSource ticks_;
    std::function<void(int)> sleep_;

    bool autoOpen_ = false;
    TScBaudrate baudrate_ = br1200;
    TScParity parity_ = paNone;
    TScDatabits databits_ = db8;
    TScStopbits stopbits_ = sb1;
    TScCommOptions options_;
    TScPortInt portNum_ = 0;
    std::string deviceName_ = "COM%d";
    TScCommEvents monitorEvents_{ceError, ceRxChar, ceTxEmpty};
    TThreadPriority eventPriority_ = tpNormal;
    TThreadPriority writePriority_ = tpHighest;
    bool directWrite_ = false;
    bool updateDCB_ = true;
    int32_t userBaudrate_ = 0;
};

// The component as forms place it: the properties published, nothing added.
class TScComm : public TScCustomComm {
public:
    using TScCustomComm::TScCustomComm;
};

// The bits per second of a baud-rate value (brUser gives 0).
uint32_t ScBaudrateValue(TScBaudrate rate);
// The event mask of a set of events.
uint32_t ScEventMask(TScCommEvents events);

} // namespace orvane
