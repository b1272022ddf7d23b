#include "SocketStream.h"

#include "TcpErrors.h"

#include <QSignalBlocker>
#include <QTcpSocket>
#include <QThread>

#include <algorithm>
#include <cerrno>

namespace orvane {
namespace {

const char* const kCaption = "Play Socket Stream";

// The status line's number when a line grows past the whole buffer.
constexpr int kLineTooLong = 10000 + EMSGSIZE;

bool ValidHost(const std::string& host) {
    return !host.empty() && std::none_of(host.begin(), host.end(), [](char c) {
        const auto u = static_cast<unsigned char>(c);
        return u <= ' ' || u == 127;
    });
}

// Digits only, and empty passes: the connection then takes port 23.
bool ValidPort(const std::string& port) {
    if (port.empty()) return true;
    if (!std::all_of(port.begin(), port.end(), [](char c) { return c >= '0' && c <= '9'; })) return false;
    long value = 0;
    for (const char c : port) {
        value = value * 10 + (c - '0');
        if (value > 65535) return false;
    }
    return value >= 1;
}

} // namespace

SocketStream::SocketStream(ISocketStreamHost& host, FilePlayer& player, IClock& clock,
                           std::function<void(int)> sleep)
    : host_(host), player_(player), clock_(clock), sleep_(std::move(sleep)), socket_(new QTcpSocket(this)) {
    connect(socket_, &QTcpSocket::readyRead, this, [this] { SockClient1Read(); });
    connect(socket_, &QTcpSocket::disconnected, this, [this] { SockClient1Disconnect(); });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError e) { OnSocketError(e); });
}

SocketStream::~SocketStream() {
    const QSignalBlocker quiet(socket_);
    socket_->abort();
}

int SocketStream::ErrorNumber(QAbstractSocket::SocketError error) {
    switch (error) {
    case QAbstractSocket::ConnectionRefusedError: return 10061;
    case QAbstractSocket::SocketTimeoutError: return 10060;
    case QAbstractSocket::HostNotFoundError: return 11001;
    case QAbstractSocket::RemoteHostClosedError: return 10054;
    case QAbstractSocket::SocketAccessError: return 10000 + EACCES;
    case QAbstractSocket::SocketResourceError: return 10000 + EMFILE;
    case QAbstractSocket::NetworkError: return 10000 + ENETUNREACH;
    case QAbstractSocket::AddressInUseError: return 10000 + EADDRINUSE;
    case QAbstractSocket::SocketAddressNotAvailableError: return 10000 + EADDRNOTAVAIL;
    case QAbstractSocket::UnsupportedSocketOperationError: return 10000 + EOPNOTSUPP;
    case QAbstractSocket::TemporaryError: return 10000 + EAGAIN;
    default: return 10000 + EIO;
    }
}

void SocketStream::PlayLocation1Click() {
    std::string host = streamHost;
    if (!host_.InputQuery(kCaption, "Host", host)) return;
    streamHost = host;
    // A host that cannot be one is refused at once, not after a port was
    // typed in for nothing.
    if (!ValidHost(host)) {
        host_.Message("Invalid entry");
        return;
    }
    std::string port = streamPort;
    if (!host_.InputQuery(kCaption, "Port", port)) return;
    streamPort = port;
    if (!ValidPort(port)) {
        host_.Message("Invalid entry");
        return;
    }
    player_.PlayFile("stream:" + host + ":" + port);
}

void SocketStream::Open(const std::string& host, int port) {
    buffer_.Clear();
    peerClosed_ = false;
    {
        const QSignalBlocker quiet(socket_);
        socket_->abort();
    }
    socket_->connectToHost(QString::fromStdString(host), static_cast<quint16>(port));
}

void SocketStream::Close() {
    {
        const QSignalBlocker quiet(socket_);
        socket_->abort();
    }
    if (sleep_) sleep_(kCloseWaitMs);
    else QThread::msleep(kCloseWaitMs);
    lastStopMs_ = clock_.MonotonicMs();
}

bool SocketStream::Connected() const { return socket_->state() == QAbstractSocket::ConnectedState; }

bool SocketStream::Write(const std::string& text) {
    if (!Connected()) return false;
    return socket_->write(text.data(), static_cast<qint64>(text.size())) == static_cast<qint64>(text.size());
}

void SocketStream::SockClient1Read() {
    const QByteArray text = socket_->readAll();
    if (!PlayingStream()) return;
    if (buffer_.Append(std::string_view(text.constData(), static_cast<size_t>(text.size()))) ==
        StreamLineBuffer::AppendResult::Overflow)
        host_.Show(TcpErrorText(kLineTooLong));

    if (player_.SpeedPosition() != 0) return;
    if (host_.SyncWithStreamRate()) {
        if (buffer_.Size() > 16) player_.TimerPlaybackTimer();
    } else if (buffer_.Size() > 90) {
        player_.SetStreamInterval(65);
    } else if (buffer_.Size() < 50) {
        player_.SetStreamInterval(90);
    }
}

void SocketStream::SockClient1Disconnect() {
    if (!PlayingStream()) return;
    // The server's last line may lack its line end; the close ends it. The
    // lines already received still play before the playback stops.
    peerClosed_ = true;
    buffer_.Close();
    if (buffer_.Size() == 0) player_.StopPlayingFile();
}

void SocketStream::OnSocketError(QAbstractSocket::SocketError error) {
    // A server that closes the connection is not a failure: the disconnect
    // event ends the playback once the lines received have played.
    if (error == QAbstractSocket::RemoteHostClosedError) return;
    SockClient1Error(ErrorNumber(error));
}

void SocketStream::SockClient1Error(int code) {
    const bool playing = player_.Playing();
    if (!playing && (!lastStopMs_ || (clock_.MonotonicMs() - *lastStopMs_) / 1000 >= 3)) return;
    if (player_.Kind() != kPlayStream) return;
    host_.Show(TcpErrorText(code));
    // A connection that failed leaves nothing to play; stopped, "REPLAY"
    // can try again.
    if (playing) player_.StopPlayingFile();
}

} // namespace orvane
