#include "ScComm.h"

#include "ScDisplay.h"
#include "ScLine.h"

#include <QtGlobal>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <pthread.h>
#include <thread>
#include <unistd.h>

namespace orvane {

namespace {

constexpr const char* kWhileOpen = "Can't perform this operation while port is open";

std::function<void(const std::string&)>& ExceptionHandler() {
    static std::function<void(const std::string&)> handler;
    return handler;
}

void ApplyPriority(pid_t tid, TThreadPriority p) { ApplyThreadPriority(static_cast<int>(tid), p); }

std::string Format(const char* format, int code) {
    // The texts hold "%d" and "%s" in this order.
    std::string out;
    const std::string text = ScErrorText(code);
    bool numberDone = false, textDone = false;
    for (const char* p = format; *p; ++p) {
        if (p[0] == '%' && p[1] == 'd' && !numberDone) {
            out += std::to_string(code);
            numberDone = true;
            ++p;
        } else if (p[0] == '%' && p[1] == 's' && !textDone) {
            out += text;
            textDone = true;
            ++p;
        } else {
            out += *p;
        }
    }
    return out;
}

} // namespace

uint32_t ScBaudrateValue(TScBaudrate rate) {
    static constexpr uint32_t kRates[] = {0,     110,   300,   600,   1200,  2400,   4800,   9600,
                                          14400, 19200, 38400, 56000, 57600, 115200, 128000, 256000};
    return kRates[static_cast<int>(rate)];
}

uint32_t ScEventMask(TScCommEvents events) {
    static constexpr std::pair<TScCommEvent, uint32_t> kBits[] = {
        {ceBreak, EV_BREAK}, {ceCts, EV_CTS},         {ceDsr, EV_DSR},         {ceError, EV_ERR},
        {ceRing, EV_RING},   {ceRlsd, EV_RLSD},       {ceRxChar, EV_RXCHAR},   {ceTxEmpty, EV_TXEMPTY},
        {ceRxFlag, EV_RXFLAG}, {cePErr, EV_PERR},     {ceRx80Full, EV_RX80FULL}, {ceEvent1, EV_EVENT1},
        {ceEvent2, EV_EVENT2}};
    uint32_t mask = 0;
    for (const auto& [event, bit] : kBits)
        if (events.Contains(event)) mask |= bit;
    return mask;
}

// The event thread ----------------------------------------------------------------

// What both threads share: the owner, the thread and its priority.
class TScCommThread {
public:
    explicit TScCommThread(TScCustomComm& comm) : comm_(comm) {}
    virtual ~TScCommThread() = default;
    void Start(TThreadPriority priority, const char* name) {
        priority_ = priority;
        thread_ = std::thread([this, name] {
            pthread_setname_np(pthread_self(), name);
            tid_ = ::gettid();
            ApplyPriority(tid_, priority_);
            Execute();
        });
    }
    void SetPriority(TThreadPriority p) {
        priority_ = p;
        ApplyPriority(tid_.load(), p);
    }
    void Join() {
        if (thread_.joinable()) thread_.join();
    }

protected:
    virtual void Execute() = 0;
    TScCustomComm& comm_;
    std::atomic<bool> terminated_{false};

private:
    std::thread thread_;
    std::atomic<pid_t> tid_{0};
    std::atomic<TThreadPriority> priority_{tpNormal};
};

class TScCommEventThread : public TScCommThread {
public:
    using TScCommThread::TScCommThread;
    // Asks it to end and wakes its wait.
    void Terminate() {
        terminated_ = true;
        wake_.SetEvent();
    }
    void Wake() { wake_.SetEvent(); }

private:
    void Execute() override;
    int RxCountNow() const {
        int n = 0;
        return scline::InputQueue(comm_.handle_, n) == 0 ? n : 0;
    }

    TScWaitEvent wake_;
};

void TScCommEventThread::Execute() {
    const uint32_t mask = comm_.eventMask_;
    const int fd = comm_.handle_;
    const bool watchRx = mask & (EV_RXCHAR | EV_RX80FULL);
    constexpr uint32_t kModemEvents = EV_CTS | EV_DSR | EV_RLSD | EV_RING;
    int lines = 0;
    bool watchModem = (mask & kModemEvents) && scline::GetModemLines(fd, lines) == 0;
    bool portGone = false;
    // The port reports arrivals, not a waiting count: while bytes are left
    // unread, a new arrival shows as more bytes read or waiting than the
    // handler was last told of.
    bool rxArmed = true;

    while (!terminated_) {
        int timeout = -1;
        auto atMost = [&timeout](int ms) { timeout = timeout < 0 ? ms : std::min(timeout, ms); };
        short portEvents = 0;
        if (watchRx) {
            if (rxArmed) portEvents |= POLLIN;
            else atMost(20);
        }
        if (watchModem) atMost(50);
        if (comm_.txPending_) atMost(10);
        // A hung-up port is left out: it would report its hang-up for ever.
        pollfd fds[2] = {{portGone ? -1 : fd, portEvents, 0}, {wake_.Handle(), POLLIN, 0}};
        const int r = ::poll(fds, 2, portGone ? -1 : timeout);
        if (r < 0 && errno != EINTR) break;
        if (terminated_) break;
        if (fds[1].revents) wake_.ResetEvent();

        uint32_t events = 0;
        if (!portGone && (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL))) {
            portGone = true;
            comm_.AddLineErrors(CE_IOE);
            events |= EV_ERR;
        }
        if (watchRx) {
            // Armed, the poll itself tells of an arrival; the count is asked
            // only where it is needed.
            const int waiting = rxArmed && !(mask & EV_RX80FULL) ? 0 : RxCountNow();
            const bool arrived = rxArmed ? (fds[0].revents & POLLIN) != 0
                                         : comm_.bytesRead_ + static_cast<uint64_t>(waiting) > comm_.rxTold_;
            if (arrived) {
                events |= EV_RXCHAR;
                if (waiting * 10 >= comm_.buffers_.ReadSize() * 8) events |= EV_RX80FULL;
            }
        }
        if (watchModem) {
            int now = 0;
            if (scline::GetModemLines(fd, now) != 0) {
                watchModem = false;
            } else {
                const int changed = now ^ lines;
                if (changed & scline::kCts) events |= EV_CTS;
                if (changed & scline::kDsr) events |= EV_DSR;
                if (changed & scline::kCarrier) events |= EV_RLSD;
                if (changed & lines & scline::kRing) events |= EV_RING; // trailing edge
                lines = now;
            }
        }
        if (comm_.txPending_) {
            int queued = 0;
            if (scline::OutputQueue(fd, queued) != 0 || queued == 0) {
                comm_.txPending_ = false;
                events |= EV_TXEMPTY;
            }
        }
        events &= mask;
        if (events == 0) continue;
        comm_.DispatchFromThread([this, events] { comm_.EventHandling(events); });
        if (watchRx && !portGone) rxArmed = RxCountNow() == 0;
    }
}

// The write thread ----------------------------------------------------------------

class TScCommWriteThread : public TScCommThread {
public:
    TScCommWriteThread(TScCustomComm& comm, size_t size) : TScCommThread(comm), buffer_(size) {}
    void Stop() { stop_.SetEvent(); }

    // Under the write lock: whether count more bytes fit, and appending them.
    bool Fits(int count) const { return fill_ + static_cast<size_t>(count) <= buffer_.size(); }
    void Append(const char* data, int count) {
        std::memcpy(buffer_.data() + fill_, data, static_cast<size_t>(count));
        fill_ += static_cast<size_t>(count);
        dataReady_.SetEvent();
    }

private:
    void Execute() override;
    void WritePass();
    // Removes n bytes from the front; answers whether the buffer is empty.
    bool Remove(size_t n);
    // Waits for the port to take more, a stop or a purge; false on a stop.
    bool WaitForRoom(bool portWritable, uint32_t ms);
    void AnswerPurge() {
        purgeRequest_.ResetEvent();
        purgeDone_.SetEvent();
    }

    std::vector<char> buffer_;
    size_t fill_ = 0; // under the write lock
    TScWaitEvent dataReady_, stop_, purgeRequest_, purgeDone_;
};

void TScCommWriteThread::Execute() {
    while (!terminated_) {
        pollfd fds[3] = {{stop_.Handle(), POLLIN, 0}, {purgeRequest_.Handle(), POLLIN, 0},
                         {dataReady_.Handle(), POLLIN, 0}};
        if (::poll(fds, 3, -1) < 0) {
            if (errno == EINTR) continue;
            break;
        }
        if (fds[0].revents) {
            terminated_ = true;
            break;
        }
        if (fds[1].revents) AnswerPurge();
        if (fds[2].revents) WritePass();
    }
}

bool TScCommWriteThread::WaitForRoom(bool portWritable, uint32_t ms) {
    // Slices keep a stalled port's deadline honest when ticks are replaced.
    const int slice = static_cast<int>(std::min<uint32_t>(ms, 50));
    pollfd fds[3] = {{stop_.Handle(), POLLIN, 0}, {purgeRequest_.Handle(), POLLIN, 0},
                     {portWritable ? comm_.handle_ : -1, POLLOUT, 0}};
    const int r = ::poll(fds, 3, slice);
    if (r > 0 && fds[0].revents) {
        terminated_ = true;
        return false;
    }
    if (r > 0 && fds[1].revents) AnswerPurge();
    return true;
}

void TScCommWriteThread::WritePass() {
    size_t count;
    const char* data;
    {
        std::lock_guard lk(comm_.writeLock_);
        count = fill_;
        data = buffer_.data();
    }
    if (count == 0) {
        std::lock_guard lk(comm_.writeLock_);
        if (fill_ == 0) dataReady_.ResetEvent();
        return;
    }
    // Only this thread removes bytes, so the front of the block holds still.
    TScDeadline deadline(comm_.ticks_);
    deadline.Start(comm_.buffers_.WriteTimeout());
    for (;;) {
        const ssize_t w = ::write(comm_.handle_, data, count);
        if (w > 0) {
            if (Remove(static_cast<size_t>(w))) comm_.GuardedHandleEvents(EV_TXEMPTY);
            return;
        }
        const int error = w < 0 ? errno : 0;
        if (error == EINTR) continue;
        const bool hardFailure = error != 0 && error != EAGAIN;
        if (deadline.Expired()) {
            // A line that takes nothing for WriteTimeout loses what waits.
            comm_.AddLineErrors(hardFailure ? CE_IOE : CE_TXFULL);
            Remove(count);
            comm_.GuardedHandleEvents(EV_ERR);
            return;
        }
        if (!WaitForRoom(!hardFailure, deadline.Remaining())) return;
    }
}

bool TScCommWriteThread::Remove(size_t n) {
    std::lock_guard lk(comm_.writeLock_);
    n = std::min(n, fill_);
    std::memmove(buffer_.data(), buffer_.data() + n, fill_ - n);
    fill_ -= n;
    const bool empty = fill_ == 0;
    if (empty) dataReady_.ResetEvent();
    else dataReady_.SetEvent();
    comm_.writeRoom_.notify_all();
    return empty;
}

// The component -------------------------------------------------------------------

TScCustomComm::TScCustomComm(QObject* owner) : TScComponent(owner), gui_(std::make_unique<GuiCall>()) {
    eventChars_.SetOnChange([this](TScPersistent&) { ApplyDCB(); });
    flowControl_.SetOnChange([this](TScPersistent&) { ApplyDCB(); });
    buffers_.SetOnChanging([this](TScPersistent&) { RefuseWhileOpen(); });
    buffers_.SetOnChange([this](TScPersistent&) {
        ApplyBuffers();
        ApplyDCB();
    });
}

TScCustomComm::~TScCustomComm() {
    destroying_ = true;
    try {
        Close();
    } catch (...) {
    }
    consumers_.clear();
    if (displayConnection_) QObject::disconnect(displayConnection_);
}

void TScCustomComm::SetApplicationExceptionHandler(std::function<void(const std::string&)> handler) {
    ExceptionHandler() = std::move(handler);
}

void TScCustomComm::HandleApplicationException(const std::string& message) {
    if (ExceptionHandler()) {
        try {
            ExceptionHandler()(message);
            return;
        } catch (...) {
        }
    }
    qWarning("%s", message.c_str());
}

void TScCustomComm::Guarded(const std::function<void()>& body) {
    try {
        body();
    } catch (const std::exception& e) {
        HandleApplicationException(e.what());
    } catch (...) {
        HandleApplicationException("Unknown exception in a serial port handler");
    }
}

void TScCustomComm::CallGuarded(const TNotifyEvent& handler) {
    if (handler) Guarded([&] { handler(this); });
}

void TScCustomComm::RaiseSystem(const char* format, int code) const { throw EScCommError(Format(format, code)); }

void TScCustomComm::RefuseWhileOpen() const {
    if (IsOpen()) throw EScCommError(kWhileOpen);
}

// Property setters --------------------------------------------------------------

template <class T, class V>
void TScCustomComm::StoreAndApply(T& field, const V& value) {
    if (field == value) return;
    field = value;
    ApplyDCB();
}

template <class T, class V>
void TScCustomComm::StoreWhileClosed(T& field, const V& value) {
    RefuseWhileOpen();
    field = value;
}

void TScCustomComm::SetBaudrate(TScBaudrate v) {
    if (v == baudrate_) return;
    baudrate_ = v;
    if (v != brUser) userBaudrate_ = 0;
    ApplyDCB();
}

void TScCustomComm::SetUserBaudrate(int32_t v) {
    if (v == userBaudrate_) return;
    userBaudrate_ = v;
    baudrate_ = brUser;
    ApplyDCB();
}

void TScCustomComm::SetParity(TScParity v) { StoreAndApply(parity_, v); }

void TScCustomComm::SetDatabits(TScDatabits v) { StoreAndApply(databits_, v); }

void TScCustomComm::SetStopbits(TScStopbits v) { StoreAndApply(stopbits_, v); }

void TScCustomComm::SetOptions(TScCommOptions v) { StoreAndApply(options_, v); }

void TScCustomComm::SetPortNum(TScPortInt v) { StoreWhileClosed(portNum_, v); }

void TScCustomComm::SetDeviceName(const std::string& v) { StoreWhileClosed(deviceName_, v); }

void TScCustomComm::SetMonitorEvents(TScCommEvents v) { StoreWhileClosed(monitorEvents_, v); }

void TScCustomComm::SetBuffers(const TScBuffers& v) {
    RefuseWhileOpen();
    buffers_.Assign(v);
}

void TScCustomComm::SetDirectWrite(bool v) { StoreWhileClosed(directWrite_, v); }

void TScCustomComm::SetUpdateDCB(bool v) { StoreWhileClosed(updateDCB_, v); }

void TScCustomComm::SetEventPriority(TThreadPriority v) {
    if (v == eventPriority_) return;
    eventPriority_ = v;
    if (eventThread_) eventThread_->SetPriority(v);
}

void TScCustomComm::SetWritePriority(TThreadPriority v) {
    if (v == writePriority_) return;
    writePriority_ = v;
    if (writeThread_) writeThread_->SetPriority(v);
}

void TScCustomComm::SetDisplay(TScDisplay* display) {
    if (displayConnection_) QObject::disconnect(displayConnection_);
    display_ = display;
    if (display)
        displayConnection_ = QObject::connect(display, &QObject::destroyed, this,
                                              [this](QObject* gone) { Notification(gone, opRemove); });
}

void TScCustomComm::Notification(QObject* component, TOperation operation) {
    if (operation == opRemove && component == static_cast<QObject*>(display_)) {
        display_ = nullptr;
        displayConnection_ = {};
    }
}

void TScCustomComm::AttachConsumer(IScCommConsumer* consumer) {
    if (consumer && std::find(consumers_.begin(), consumers_.end(), consumer) == consumers_.end())
        consumers_.push_back(consumer);
}

void TScCustomComm::DetachConsumer(IScCommConsumer* consumer) {
    consumers_.erase(std::remove(consumers_.begin(), consumers_.end(), consumer), consumers_.end());
}

std::string TScCustomComm::FormattedDeviceName() const {
    // A user's text: only the first "%d" takes the number; every other "%"
    // stays as it stands.
    std::string name = deviceName_;
    const size_t at = name.find("%d");
    if (at != std::string::npos) name.replace(at, 2, std::to_string(portNum_));
    return name;
}

// The line settings -----------------------------------------------------------------

scline::Settings TScCustomComm::LineSettings() const {
    scline::Settings line;
    // A negative user rate is no rate either; the line refuses 0.
    line.baud = baudrate_ == brUser ? static_cast<uint32_t>(std::max(userBaudrate_, 0)) : ScBaudrateValue(baudrate_);
    line.dataBits = 4 + static_cast<int>(databits_);
    static constexpr scline::Parity kParity[] = {scline::kNone, scline::kOdd, scline::kEven, scline::kMark,
                                                 scline::kSpace};
    line.parity = kParity[parity_];
    // One and a half stop bits exist on no Linux line; two come closest.
    line.twoStopBits = stopbits_ != sb1;
    line.rtsCts = flowControl_.OutCtsFlow() || flowControl_.ControlRts() == rtsHandshake;
    line.xonOut = flowControl_.XonXoffOut();
    line.xonIn = flowControl_.XonXoffIn();
    line.xonChar = eventChars_.XonChar();
    line.xoffChar = eventChars_.XoffChar();
    line.parityCheck = options_.Contains(coParityCheck);
    return line;
}

void TScCustomComm::ApplyDCB() {
    if (!IsOpen() || !updateDCB_) return;
    const scline::Settings line = LineSettings();
    int error = scline::Apply(handle_, &line);
    if (error == 0) {
        // DTR and RTS follow their control settings, as a device control block sets them.
        int raise = 0, lower = 0;
        if (flowControl_.ControlDtr() == dtrEnabled) raise |= scline::kDtr;
        if (flowControl_.ControlDtr() == dtrDisabled) lower |= scline::kDtr;
        if (flowControl_.ControlRts() == rtsEnabled) raise |= scline::kRts;
        if (flowControl_.ControlRts() == rtsDisabled) lower |= scline::kRts;
        error = scline::SetModemLines(handle_, raise, lower);
    }
    if (error) RaiseSystem("Error writing dcb (%d), %s", error);
}

// Opening and closing -------------------------------------------------------------

void TScCustomComm::OpenHandle() {
    const std::string name = FormattedDeviceName();
    const std::string path = ScResolvePortName(name, ScUserDataFolder());
    const int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        const int code = errno;
        if (code == ENOENT) throw EScCommError("Specified device not found (" + path + ").");
        throw EScCommError("Can't open specified device " + path + Format(" (Error %d, %s)", code));
    }
    // No sharing: a second open of the device fails while we hold it.
    if (int code = scline::SetExclusive(fd, true)) {
        ::close(fd);
        throw EScCommError("Can't open specified device " + path + Format(" (Error %d, %s)", code));
    }
    handle_ = fd;
}

void TScCustomComm::Open() {
    RefuseWhileOpen();
    OpenHandle();
    if (!IsOpen()) return;
    try {
        ApplyDCB();
        ApplyBuffers();
        // Raw, and reads return at once with whatever is waiting.
        if (int error = scline::Apply(handle_, nullptr)) RaiseSystem("Error setting timeouts (%d), %s", error);
        eventMask_ = ScEventMask(monitorEvents_);
        if (!directWrite_) eventMask_ &= ~EV_TXEMPTY;
        lineErrors_ = 0;
        txPending_ = false;
        gui_->Reset();
        StartThreads();
    } catch (...) {
        StopThreads();
        scline::SetExclusive(handle_, false);
        ::close(handle_);
        handle_ = -1;
        throw;
    }
    CallGuarded(OnOpen);
}

void TScCustomComm::StartThreads() {
    if (eventMask_ != 0) {
        auto t = std::make_unique<TScCommEventThread>(*this);
        t->Start(eventPriority_, "serial events");
        eventThread_ = std::move(t);
    }
    if (!directWrite_) {
        auto t = std::make_unique<TScCommWriteThread>(*this, buffers_.WriteSize());
        t->Start(writePriority_, "serial writes");
        writeThread_ = std::move(t);
    }
}

void TScCustomComm::StopThreads() {
    {
        std::lock_guard lk(statusLock_);
        if (eventThread_) eventThread_->Terminate();
        if (writeThread_) writeThread_->Stop();
        // A thread waiting for the GUI thread returns at once.
        gui_->Cancel();
    }
    // Joined outside the lock: a thread's own read may be waiting for it.
    if (eventThread_) eventThread_->Join();
    if (writeThread_) writeThread_->Join();
    eventThread_.reset();
    {
        std::lock_guard lk(writeLock_);
        writeThread_.reset();
    }
    writeRoom_.notify_all();
}

void TScCustomComm::Close() {
    if (!IsOpen()) return;
    StopThreads();
    {
        std::lock_guard lk(statusLock_);
        scline::SetExclusive(handle_, false);
        ::close(handle_);
        handle_ = -1;
    }
    if (!destroying_) CallGuarded(OnClose);
    if (sleep_) sleep_(300);
    else std::this_thread::sleep_for(std::chrono::milliseconds(300));
}

void TScCustomComm::Loaded() {
    if (autoOpen_) Open();
}

// Moving bytes ------------------------------------------------------------------------

int TScCustomComm::WriteBuf(const char* data, int count) {
    if (!IsOpen() || count <= 0) return 0;
    if (directWrite_) return DirectWriteBuf(data, count);
    if (!Enqueue(data, count)) throw EScCommError("Output buffer is full. Please check comm status.");
    return count;
}

int TScCustomComm::DirectWriteBuf(const char* data, int count) {
    std::lock_guard lk(writeLock_);
    TScDeadline deadline(ticks_);
    deadline.Start(buffers_.WriteTimeout());
    int done = 0;
    while (done < count) {
        const ssize_t w = ::write(handle_, data + done, static_cast<size_t>(count - done));
        if (w > 0) {
            done += static_cast<int>(w);
            continue;
        }
        if (w < 0 && errno == EINTR) continue;
        if (w < 0 && errno != EAGAIN) {
            if (done == 0) RaiseSystem("Write error (%d), %s", errno);
            break;
        }
        // What the line took is gone; the caller learns how much.
        if (deadline.Expired()) break;
        pollfd p{handle_, POLLOUT, 0};
        ::poll(&p, 1, static_cast<int>(std::min<uint32_t>(deadline.Remaining(), 50)));
    }
    if (done > 0 && (eventMask_ & EV_TXEMPTY) && eventThread_) {
        txPending_ = true;
        eventThread_->Wake();
    }
    return done;
}

bool TScCustomComm::Enqueue(const char* data, int count) {
    TScDeadline deadline(ticks_);
    deadline.Start(buffers_.WriteTimeout());
    std::unique_lock lk(writeLock_);
    for (;;) {
        if (!writeThread_) return false;
        // Buffered and new bytes are tested together, under the one lock.
        if (writeThread_->Fits(count)) {
            writeThread_->Append(data, count);
            return true;
        }
        if (deadline.Expired()) return false;
        writeRoom_.wait_for(lk, std::chrono::milliseconds(std::min<uint32_t>(deadline.Remaining(), 20) + 1));
    }
}

bool TScCustomComm::WriteText(const std::string& text) {
    return WriteBuf(text.data(), static_cast<int>(text.size())) == static_cast<int>(text.size());
}

int TScCustomComm::ReadBuf(char* buffer, int count) {
    if (!IsOpen() || count <= 0) return 0;
    std::lock_guard lk(statusLock_);
    if (!IsOpen()) return 0;
    for (;;) {
        // The line is set to answer at once with what is waiting.
        const ssize_t r = ::read(handle_, buffer, static_cast<size_t>(count));
        if (r >= 0) {
            bytesRead_ += static_cast<uint64_t>(r);
            return static_cast<int>(r);
        }
        if (errno == EINTR) continue;
        if (errno == EAGAIN || errno == EIO) return 0; // nothing waiting; a hung-up line is reported as an event
        RaiseSystem("Read error (%d), %s", errno);
    }
}

std::string TScCustomComm::ReadText() {
    const int waiting = InputQueueCount();
    if (waiting <= 0) return {};
    std::string text(static_cast<size_t>(waiting), '\0');
    text.resize(static_cast<size_t>(ReadBuf(text.data(), waiting)));
    return text;
}

int TScCustomComm::InputQueueCount() {
    if (!IsOpen()) return 0;
    // The input count alone: called for every arrival, it skips the rest of
    // the status. Errors stay for CheckErrors to report.
    std::lock_guard lk(statusLock_);
    if (!IsOpen()) return 0;
    int in = 0;
    if (int error = scline::InputQueue(handle_, in)) {
        if (error != EIO) RaiseSystem("Error retrieving statistics (%d), %s", error);
        AddLineErrors(CE_IOE);
        return 0;
    }
    return std::max(in, 0);
}

void TScCustomComm::GetStatus(uint32_t& errors, TScComStat& stat) {
    std::lock_guard lk(statusLock_);
    errors = 0;
    stat = {};
    if (!IsOpen()) return;
    // A line that went away (a USB adapter pulled out) is a line error, not a failed call.
    const int in = InputQueueCount();
    // Not every device counts its output queue; none then counts as empty.
    int out = 0;
    if (scline::OutputQueue(handle_, out) != 0) out = 0;
    stat.cbInQue = static_cast<uint32_t>(in);
    stat.cbOutQue = static_cast<uint32_t>(std::max(out, 0));
    errors = lineErrors_.exchange(0);
}

bool TScCustomComm::CheckErrors() {
    uint32_t errors;
    TScComStat stat;
    GetStatus(errors, stat);
    if (errors != 0 && OnError) Guarded([&] { OnError(this, errors); });
    return errors != 0;
}

// Event handling ---------------------------------------------------------------------

void TScCustomComm::DispatchFromThread(std::function<void()> body) {
    try {
        if (synchronize_) gui_->Run(std::move(body));
        else body();
    } catch (...) {
        // The body guards itself; nothing may end a thread.
    }
}

void TScCustomComm::EventHandling(uint32_t mask) {
    if (display_) Guarded([&] { display_->CommEvent(*this); });
    // Each step is guarded alone: a failing receive handler must not cost
    // the events that came with it.
    if (mask & EV_RXCHAR) Guarded([&] { HandleRxChar(); });
    mask &= ~EV_RXCHAR;
    if (mask) Guarded([&] { HandleEvents(mask); });
}

void TScCustomComm::GuardedHandleEvents(uint32_t mask) {
    DispatchFromThread([this, mask] { Guarded([&] { HandleEvents(mask); }); });
}

void TScCustomComm::HandleRxChar() {
    const int count = InputQueueCount();
    if (count <= 0) return;
    rxTold_ = bytesRead_ + static_cast<uint64_t>(count);
    if (!consumers_.empty()) {
        std::vector<char> block(static_cast<size_t>(count));
        const int got = ReadBuf(block.data(), count);
        NotifyConsumerData(block.data(), got);
    } else if (OnRxChar) {
        OnRxChar(this, count);
    }
}

void TScCustomComm::HandleEvents(uint32_t mask) {
    if (mask & EV_ERR) CheckErrors();
    if (!consumers_.empty()) NotifyConsumerEvents(mask);
    const std::pair<uint32_t, TNotifyEvent*> order[] = {
        {EV_RXFLAG, &OnRxFlag}, {EV_CTS, &OnCts},   {EV_DSR, &OnDsr},         {EV_RING, &OnRing},
        {EV_RLSD, &OnRlsd},     {EV_TXEMPTY, &OnTxEmpty}, {EV_BREAK, &OnBreak}, {EV_PERR, &OnPErr},
        {EV_RX80FULL, &OnRx80Full}, {EV_EVENT1, &OnEvent1}, {EV_EVENT2, &OnEvent2}};
    for (const auto& [bit, handler] : order)
        if ((mask & bit) && *handler) (*handler)(this);
}

void TScCustomComm::NotifyConsumerEvents(uint32_t mask) {
    if (!consumersEnabled_) return;
    for (IScCommConsumer* c : std::vector<IScCommConsumer*>(consumers_))
        if (c->Enabled()) c->CommEvents(mask);
}

void TScCustomComm::NotifyConsumerData(const char* data, int count) {
    if (consumersEnabled_)
        for (IScCommConsumer* c : std::vector<IScCommConsumer*>(consumers_))
            if (c->Enabled()) c->CommData(data, count);
    if (OnRxBuf) OnRxBuf(this, data, count);
}

// Line control -----------------------------------------------------------------------

void TScCustomComm::EscapeFunction(int code) {
    if (!IsOpen()) return;
    int error = 0;
    switch (code) {
    case SETDTR: error = scline::SetModemLines(handle_, scline::kDtr, 0); break;
    case CLRDTR: error = scline::SetModemLines(handle_, 0, scline::kDtr); break;
    case SETRTS: error = scline::SetModemLines(handle_, scline::kRts, 0); break;
    case CLRRTS: error = scline::SetModemLines(handle_, 0, scline::kRts); break;
    case SETXOFF: error = scline::SetOutputFlow(handle_, false); break;
    case SETXON: error = scline::SetOutputFlow(handle_, true); break;
    case SETBREAK: error = scline::SetBreak(handle_, true); break;
    case CLRBREAK: error = scline::SetBreak(handle_, false); break;
    default: error = EINVAL; break;
    }
    if (error) RaiseSystem("Error calling comm function (%d), %s", error);
}

void TScCustomComm::SetDtr(bool on) {
    if (flowControl_.ControlDtr() == dtrHandshake)
        throw EScCommError("DTR line updates not allowed when flowcontrol is set to Handshake.");
    EscapeFunction(on ? SETDTR : CLRDTR);
}

void TScCustomComm::SetRts(bool on) {
    if (flowControl_.ControlRts() == rtsHandshake || flowControl_.ControlRts() == rtsToggle)
        throw EScCommError("RTS line updates not allowed when flowcontrol is set to Handshake or Toggle.");
    EscapeFunction(on ? SETRTS : CLRRTS);
}

} // namespace orvane
