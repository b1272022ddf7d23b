#include "StreamServer.h"

#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

namespace orvane::test {

StreamServer::StreamServer(quint16 port) : server_(new QTcpServer(this)) {
    connect(server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* s = server_->nextPendingConnection()) {
            if (client_) client_->abort();
            client_ = s;
            ++connections_;
            connect(s, &QTcpSocket::readyRead, this, [this, s] {
                const QByteArray data = s->readAll();
                received_.append(data.constData(), static_cast<size_t>(data.size()));
            });
            connect(s, &QTcpSocket::disconnected, this, [this, s] {
                if (client_ == s) client_ = nullptr;
                s->deleteLater();
            });
        }
    });
    server_->listen(QHostAddress::LocalHost, port);
}

StreamServer::~StreamServer() {
    if (client_) client_->abort();
}

quint16 StreamServer::Port() const { return server_->serverPort(); }

bool StreamServer::Listening() const { return server_->isListening(); }

bool StreamServer::WaitForClient(int connections, int timeoutMs) {
    return QTest::qWaitFor([&] { return connections_ >= connections && client_; }, timeoutMs);
}

void StreamServer::Send(std::string_view text) {
    if (!client_) return;
    client_->write(text.data(), static_cast<qint64>(text.size()));
    client_->flush();
}

void StreamServer::CloseClient() {
    if (client_) client_->disconnectFromHost();
}

bool StreamServer::WaitForClientGone(int timeoutMs) {
    return QTest::qWaitFor([&] { return client_ == nullptr; }, timeoutMs);
}

bool StreamServer::WaitForReceived(std::string_view text, int timeoutMs) {
    return QTest::qWaitFor([&] { return received_.find(text) != std::string::npos; }, timeoutMs);
}

quint16 StreamServer::ClosedPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

} // namespace orvane::test
