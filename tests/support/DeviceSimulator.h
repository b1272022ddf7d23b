#pragma once
// An FM analyser that speaks the device text protocol, reached over TCP (a
// QTcpServer on 127.0.0.1) or over a serial line (a pseudo-terminal). Beyond
// what the library and the program name it chooses: "*R" starts and "*D"
// stops a stream of "G" frames (a made-up station from the RDS encoder, one
// group per 88 ms); "NNNNNN*F" tunes to NNNNNN kHz; "?F" answers "Frequency"
// in MHz with two decimals; "?W", "1?W" and "2?W" answer an "IF" frame and a
// "W" capture of a synthetic stereo MPX (19 kHz pilot, a tone on the left
// channel only); an RDS encoder's "SETORV=" settings end at a carriage
// return; every other command is only recorded. Commands arrive with nothing
// between them, so they are cut from the byte stream by their known forms.
#include "PtyPeer.h"
#include "SyntheticCapture.h"
#include "Timer.h"

#include <QByteArray>
#include <QTcpServer>
#include <QTcpSocket>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvane::test {

// The protocol side, independent of the link: bytes in, bytes out.
class DeviceProtocol {
public:
    explicit DeviceProtocol(ITimerFactory& timers);
    ~DeviceProtocol();

    std::function<void(const std::string&)> Send;

    void Receive(const std::string& bytes);
    const std::vector<std::string>& Commands() const { return commands_; }
    bool Streaming() const;
    int GroupsSent() const { return groupsSent_; }
    // The IF the device reports, and the MPX it captures.
    double ifKHz = 323.45;
    double pilotKHz = 6.75;     // pilot deviation
    double toneHz = 2929.6875;  // bin 4 of the library's 4096-point MPX spectrum
    double toneKHz = 30.0;      // deviation of the left-channel tone
    int frequencyKHz = 98500;

private:
    void Command(const std::string& c);
    void SendGroup();

    ITimerFactory& timers_;
    std::unique_ptr<ITimer> groupTimer_;
    std::string pending_;
    std::vector<std::string> commands_;
    int groupsSent_ = 0;
};

// One reply frame: key ":" CR LF value CR LF CR LF.
std::string DeviceFrame(const std::string& key, const std::string& value);

class DeviceSimulator {
public:
    explicit DeviceSimulator(ITimerFactory& timers);
    ~DeviceSimulator();

    // Listens on 127.0.0.1 (on the given port, or any when 0).
    bool Listen(uint16_t port = 0);
    uint16_t Port() const { return port_; }
    // Stops listening: new connections are refused; open links stay.
    void Refuse();
    // Drops every open link at once.
    void DropLinks();
    // Sends bytes on every open link as they stand.
    void SendRaw(const std::string& bytes);
    int Links() const { return static_cast<int>(links_.size()); }
    int Accepted() const { return accepted_; }

    DeviceProtocol& Protocol() { return protocol_; }

private:
    QTcpServer server_;
    std::vector<QTcpSocket*> links_;
    DeviceProtocol protocol_;
    uint16_t port_ = 0;
    int accepted_ = 0;
};

// The same device at the far end of a serial line: the library opens the
// pseudo-terminal's slave side as "COMn".
class PtyDevice {
public:
    explicit PtyDevice(ITimerFactory& timers);
    // Makes "COMn" of the user data folder lead to this line.
    void LinkAs(const std::string& userDataFolder, const std::string& com) { peer_.LinkAs(userDataFolder, com); }
    // Reads what the library sent and answers it; call it while the test pumps.
    void Poll();
    // Sends bytes as they stand; false when the line had no room for them in time.
    bool SendRaw(const std::string& bytes) { return peer_.Write(bytes); }
    // Sends as much of bytes as the line takes now; the count sent.
    size_t Offer(const std::string& bytes);
    DeviceProtocol& Protocol() { return protocol_; }

private:
    PtyPeer peer_;
    DeviceProtocol protocol_;
};

} // namespace orvane::test
