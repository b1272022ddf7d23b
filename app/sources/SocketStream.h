#pragma once
// Socket stream playback: the "Play Stream..." command, the client socket
// whose text the player takes one line per tick, and the coupling of the
// playback tick to the rate at which the server sends.
#include "Clock.h"
#include "FilePlayer.h"
#include "StreamLineBuffer.h"

#include <QAbstractSocket>
#include <QObject>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QTcpSocket;

namespace orvane {

// What the stream needs from the main window.
class ISocketStreamHost {
public:
    virtual ~ISocketStreamHost() = default;
    virtual void Show(const std::string& message) = 0; // the status line
    // "Socket streams: synchronize with the stream group rate"
    virtual bool SyncWithStreamRate() const = 0;
    // The main window's "RESET" and "EXIT" handling.
    virtual bool CommandsInGroup(std::string_view line) = 0;
    // An input box titled `caption`; false when cancelled.
    virtual bool InputQuery(const std::string& caption, const std::string& prompt, std::string& value) = 0;
    virtual void Message(const std::string& text) = 0; // a message box
};

class SocketStream final : public QObject, public IStreamInput {
    Q_OBJECT
public:
    static constexpr int kCloseWaitMs = 300;

    // sleep: the wait after closing; empty waits for real.
    SocketStream(ISocketStreamHost& host, FilePlayer& player, IClock& clock,
                 std::function<void(int)> sleep = {});
    ~SocketStream() override;

    // The menu "Play Stream...".
    void PlayLocation1Click();

    // The socket's events.
    void SockClient1Read();
    void SockClient1Disconnect();
    void SockClient1Error(int code);

    // IStreamInput
    void Open(const std::string& host, int port) override;
    void Close() override;
    std::string GetTCPLine() override { return buffer_.GetTCPLine(); }
    bool CommandsInGroup(std::string_view line) override { return host_.CommandsInGroup(line); }
    bool Drained() const override { return peerClosed_ && buffer_.Size() == 0; }

    // Tuning commands go to the server while a stream plays; false when no
    // connection takes them.
    bool Write(const std::string& text);
    bool Connected() const;

    // The values "Play Stream..." offers: workspace keys "StreamHost" and
    // "StreamPort".
    std::string streamHost = "localhost";
    std::string streamPort = "23";

    size_t BufferedCharacters() const { return buffer_.Size(); }

    // The Winsock number of a socket failure, as the status line shows it.
    static int ErrorNumber(QAbstractSocket::SocketError error);

private:
    bool PlayingStream() const { return player_.Playing() && player_.Kind() == kPlayStream; }
    void OnSocketError(QAbstractSocket::SocketError error);

    ISocketStreamHost& host_;
    FilePlayer& player_;
    IClock& clock_;
    std::function<void(int)> sleep_;
    QTcpSocket* socket_;
    StreamLineBuffer buffer_;
    std::optional<int64_t> lastStopMs_; // none: long ago
    bool peerClosed_ = false;
};

} // namespace orvane
