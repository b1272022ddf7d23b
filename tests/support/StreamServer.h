#pragma once
// A TCP stream server on the loopback interface, as a socket stream or a
// device link meets one: it sends text to its client and keeps what the
// client writes. Waits run the event loop until the condition holds.
#include <QObject>

#include <string>
#include <string_view>

class QTcpServer;
class QTcpSocket;

namespace orvane::test {

class StreamServer final : public QObject {
    Q_OBJECT
public:
    // Listens on a free port, or on `port` when it is given.
    explicit StreamServer(quint16 port = 0);
    ~StreamServer() override;

    quint16 Port() const;
    bool Listening() const;
    // Connections accepted so far.
    int Connections() const { return connections_; }
    bool WaitForClient(int connections = 1, int timeoutMs = 10000);
    // Sends to the current client at once.
    void Send(std::string_view text);
    // Closes the current client's connection from the server side.
    void CloseClient();
    bool WaitForClientGone(int timeoutMs = 10000);
    // What the clients wrote, all connections together.
    const std::string& Received() const { return received_; }
    bool WaitForReceived(std::string_view text, int timeoutMs = 10000);

    // A loopback port that nothing listens on at the moment of the call.
    static quint16 ClosedPort();

private:
    QTcpServer* server_;
    QTcpSocket* client_ = nullptr;
    int connections_ = 0;
    std::string received_;
};

} // namespace orvane::test
