#include "dm1.h"

#include "ReplyFramer.h"

#include <algorithm>
#include <cstring>

namespace orvane::dravon {
namespace {

// Nothing may escape a timer tick or a socket event into the host's event loop.
template <class F>
void Guarded(F&& f) {
    try {
        f();
    } catch (...) {
    }
}

} // namespace

TDM::TDM(ITimerFactory& timers, std::function<void(int)> sleep, SerialFactory serial)
    : timerFactory_(timers), sleep_(std::move(sleep)), serialFactory_(std::move(serial)) {
    timerRxD_ = timerFactory_.Create(20, true);
    timerRxD_->OnTimer = [this] { Guarded([this] { TimerRxDTimer(); }); };
    timerReconnect_ = timerFactory_.Create(60000, true);
    timerReconnect_->OnTimer = [this] { Guarded([this] { TimerReconnectTimer(); }); };
    AddDevice();
}

TDM::~TDM() {
    for (int i = 0; i < DeviceCount(); ++i) {
        active_ = i;
        Guarded([this] { Disconnect(); });
    }
    for (auto& s : slots_) {
        s->sendTimer.reset();
        if (s->serial) Guarded([&] { s->serial->Close(); });
        s->serial.reset();
        s->socket->disconnect();
        s->socket->abort();
        s->socket.reset();
    }
    timerRxD_.reset();
    timerReconnect_.reset();
}

int TDM::AddDevice() {
    if (DeviceCount() >= kMaxSlots) return -1;
    const int tag = DeviceCount();
    auto s = std::make_unique<TDeviceProperties>();
    if (serialFactory_) s->serial = serialFactory_();
    s->socket = std::make_unique<QTcpSocket>();
    QTcpSocket* sock = s->socket.get();
    // Socket errors are silenced: whether the link is up shows only in Connected.
    QObject::connect(sock, &QTcpSocket::connected, sock, [this, tag] { Guarded([&] { SocketClientConnect(tag); }); });
    QObject::connect(sock, &QTcpSocket::disconnected, sock, [this, tag] { Guarded([&] { SocketClientDisconnect(tag); }); });
    QObject::connect(sock, &QTcpSocket::readyRead, sock, [this, tag] { Guarded([&] { SocketClientRead(tag); }); });
    s->sendTimer = timerFactory_.Create(100, true);
    s->sendTimer->OnTimer = [this, tag] { Guarded([&] { TimerTxDTimer(tag); }); };
    slots_.push_back(std::move(s));
    active_ = tag;
    return tag;
}

bool TDM::SetDevice(int index) {
    if (index < 0 || index >= DeviceCount()) return false;
    active_ = index;
    return true;
}

int TDM::CheckDevices() const {
    for (int i = 0; i < DeviceCount(); ++i)
        if (slots_[i]->responses.Unread() > 0) return i;
    return -1;
}

TDeviceProperties* TDM::Slot(int tag) {
    return tag >= 0 && tag < DeviceCount() ? slots_[tag].get() : nullptr;
}

TDeviceProperties* TDM::Active() { return Slot(active_); }

void TDM::RestartReconnect() {
    timerReconnect_->SetEnabled(false);
    timerReconnect_->SetEnabled(true);
}

void TDM::ConnectionSetup(uint8_t kind, int comPort, const std::string& host, int tcpPort) {
    TDeviceProperties* s = Active();
    if (!s || s->connected) return;
    // Only kind 1 is TCP; any other is a serial link in every step, closing included.
    s->kind = kind == kTcp ? kTcp : kSerial;
    s->host = QString::fromStdString(host);
    if (tcpPort >= 0 && tcpPort <= 65535) s->port = static_cast<quint16>(tcpPort);
    s->comPort = comPort;
    // The port component puts the number in place of "%d".
    s->deviceName = comPort < 10 ? "COM%d" : "\\\\.\\COM%d";
}

bool TDM::Connect() {
    TDeviceProperties* s = Active();
    if (!s) return false;
    s->responses.ClearUnread();
    s->keys.Clear();
    s->rx.Clear();
    RestartReconnect();
    if (s->connected) {
        Disconnect();
        sleep_(400);
    }
    if (s->kind == kTcp) {
        s->userDisconnected = false;
        if (s->socket->state() != QAbstractSocket::UnconnectedState) s->socket->abort();
        s->socket->connectToHost(s->host, s->port);
        return true;
    }
    if (!s->serial) return false;
    try {
        s->serial->Setup(s->comPort, s->deviceName);
        s->serial->Open();
    } catch (...) {
        s->connected = false;
        return false;
    }
    s->connected = true;
    return true;
}

void TDM::Disconnect() {
    TDeviceProperties* s = Active();
    if (!s) return;
    RestartReconnect();
    s->userDisconnected = true;
    // An open still in progress is cancelled too, so a late connect cannot
    // revive a slot the host closed.
    if (s->socket->state() != QAbstractSocket::UnconnectedState) s->socket->abort();
    if (!s->connected) return;
    s->connected = false;
    if (s->kind != kTcp && s->serial) Guarded([&] { s->serial->Close(); });
}

bool TDM::Connected() {
    const TDeviceProperties* s = Active();
    return s && s->connected;
}

void TDM::WriteCommand(std::string command) {
    if (TDeviceProperties* s = Active()) s->commands.Write(std::move(command));
}

int TDM::WriteBufferLength() {
    const TDeviceProperties* s = Active();
    return s ? s->commands.Length() : 0;
}

int TDM::ReadBufferLength() {
    const TDeviceProperties* s = Active();
    return s ? s->responses.Unread() : 0;
}

bool TDM::ReadResponse(std::string& text) {
    TDeviceProperties* s = Active();
    return s && s->responses.Take(text);
}

bool TDM::ReadValue(const std::string& key, std::string& value) {
    const TDeviceProperties* s = Active();
    const std::string* v = s ? s->keys.Find(key) : nullptr;
    if (!v) return false;
    value = *v;
    return true;
}

void TDM::ClearValues() {
    if (TDeviceProperties* s = Active()) {
        s->responses.ClearUnread();
        s->keys.Clear();
    }
}

int TDM::GetArray(const std::string& name, float* dest, int capacity) {
    const TDeviceProperties* s = Active();
    if (!s) return 0;
    const float* src = nullptr;
    int count = 0;
    const CaptureArrays& a = s->arrays;
    if (name == "MPXScope") src = a.MPXScope.data(), count = 701;
    else if (name == "MPXFFT") src = a.MPXFFT.data(), count = 165;
    else if (name == "IFFFT") src = a.IFFFT.data(), count = 235;
    else if (name == "LeftScope") src = a.LeftScope.data(), count = 182;
    else if (name == "RightScope") src = a.RightScope.data(), count = 182;
    count = std::min(count, capacity);
    if (src && count > 0) std::memcpy(dest, src, sizeof(float) * count);
    return src ? count : 0;
}

void TDM::TimerTxDTimer(int tag) {
    TDeviceProperties* s = Slot(tag);
    if (!s) return;
    int next = 30;
    const auto state = s->socket->state();
    const bool opening = s->kind == kTcp && !s->connected &&
                         (state == QAbstractSocket::HostLookupState || state == QAbstractSocket::ConnectingState);
    // While a TCP link is still opening the queue waits for it.
    if (!s->commands.Empty() && !opening) {
        const std::string command = s->commands.TakeFirst();
        if (s->connected) {
            if (s->kind == kTcp) s->socket->write(command.data(), static_cast<qint64>(command.size()));
            else if (s->serial) Guarded([&] { s->serial->WriteText(command); });
        }
        next = CommandQueue::NextInterval(command);
        s->commands.NoteSent(command);
    }
    s->sendTimer->SetInterval(next);
}

void TDM::TimerRxDTimer() {
    for (auto& slot : slots_) {
        TDeviceProperties& s = *slot;
        Guarded([&] {
            if (s.serial && s.serial->IsOpen()) {
                const std::string text = s.serial->ReadWaiting();
                if (!text.empty()) s.rx.Append(text);
            }
            s.rx.Cut(kFramesPerTick, [&](std::string_view key, std::string_view value) { FileFrame(s, key, value); });
        });
    }
}

void TDM::FileFrame(TDeviceProperties& s, std::string_view key, std::string_view value) {
    FileReply(s.responses, s.keys, key, value);
    if (key == "IF") s.IF = ParseIF(value);
    if (key == "W" && value.size() == CaptureProcessor::kCaptureBytes) {
        const CapturePeaks peaks = capture_.Process(value, s.commands.WMode(), s.IF, s.arrays);
        const CaptureArrays& a = s.arrays;
        s.keys.Set("MPXScope", FormatCaptureList(a.MPXScope.data(), a.MPXScope.size()));
        s.keys.Set("MPXFFT", FormatCaptureList(a.MPXFFT.data(), a.MPXFFT.size()));
        s.keys.Set("IFFFT", FormatCaptureList(a.IFFFT.data(), a.IFFFT.size()));
        s.keys.Set("LeftScope", FormatCaptureList(a.LeftScope.data(), a.LeftScope.size()));
        s.keys.Set("RightScope", FormatCaptureList(a.RightScope.data(), a.RightScope.size()));
        const std::string left = FormatCaptureValue(peaks.left), right = FormatCaptureValue(peaks.right);
        s.responses.Put("LeftPeak=" + left);
        s.keys.Set("LeftPeak", left);
        s.responses.Put("RightPeak=" + right);
        s.keys.Set("RightPeak", right);
    }
}

void TDM::TimerReconnectTimer() {
    for (int i = 0; i < DeviceCount(); ++i) {
        TDeviceProperties& s = *slots_[i];
        if (s.kind != kTcp || s.connected || s.userDisconnected ||
            s.socket->state() != QAbstractSocket::UnconnectedState)
            continue;
        const int was = active_;
        active_ = i;
        Guarded([this] { Connect(); });
        active_ = was;
    }
}

void TDM::SocketClientConnect(int tag) {
    if (TDeviceProperties* s = Slot(tag)) {
        s->connected = true;
        s->rx.Clear();
    }
}

void TDM::SocketClientDisconnect(int tag) {
    if (TDeviceProperties* s = Slot(tag)) s->connected = false;
}

void TDM::SocketClientRead(int tag) {
    TDeviceProperties* s = Slot(tag);
    if (!s) return;
    const QByteArray data = s->socket->readAll();
    // The same bound as a serial slot's: refusing new text while the old
    // waits would splice the frames on either side of what was refused.
    if (!data.isEmpty()) s->rx.Append(std::string_view(data.constData(), static_cast<size_t>(data.size())));
}

} // namespace orvane::dravon
