#include "DeviceSimulator.h"

#include "RdsEncoder.h"

#include <QHostAddress>

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdio>

#include <unistd.h>

namespace orvane::test {
namespace {

// Longest first, so "1?W" is not taken for "?W" after a stray "1".
const char* const kCommands[] = {"1?W", "2?W", "?W", "?F", "?B", "?H", "?S", "?T", "?D", "?G",
                                 "*C", "*E", "*D", "*R"};

} // namespace

std::string DeviceFrame(const std::string& key, const std::string& value) {
    return key + ":\r\n" + value + "\r\n\r\n";
}

DeviceProtocol::DeviceProtocol(ITimerFactory& timers) : timers_(timers) {
    groupTimer_ = timers_.Create(88, false);
    groupTimer_->OnTimer = [this] { SendGroup(); };
}

DeviceProtocol::~DeviceProtocol() = default;

bool DeviceProtocol::Streaming() const { return groupTimer_->Enabled(); }

void DeviceProtocol::Receive(const std::string& bytes) {
    pending_ += bytes;
    size_t i = 0;
    while (i < pending_.size()) {
        // A frequency: digits followed by "*F".
        size_t d = i;
        while (d < pending_.size() && std::isdigit(static_cast<unsigned char>(pending_[d]))) ++d;
        if (d > i && pending_.compare(d, 2, "*F") == 0) {
            Command(pending_.substr(i, d + 2 - i));
            i = d + 2;
            continue;
        }
        if (d > i && d + 1 >= pending_.size()) break;  // a frequency still arriving
        // An RDS encoder's setting: "SETORV=" and a value, ended by a carriage return.
        if (pending_.compare(i, 7, "SETORV=") == 0) {
            const size_t cr = pending_.find('\r', i);
            if (cr == std::string::npos) break;
            Command(pending_.substr(i, cr - i));
            i = cr + 1;
            continue;
        }
        if (pending_.size() - i < 7 && std::string("SETORV=").compare(0, pending_.size() - i, pending_, i) == 0)
            break;  // the start of a setting still arriving
        bool matched = false;
        for (const char* c : kCommands) {
            const std::string cmd(c);
            if (pending_.compare(i, cmd.size(), cmd) == 0) {
                Command(cmd);
                i += cmd.size();
                matched = true;
                break;
            }
        }
        if (matched) continue;
        if (pending_.size() - i < 3 && (pending_[i] == '?' || pending_[i] == '*' || pending_[i] == '1' || pending_[i] == '2'))
            break;  // may be the start of a command still arriving
        ++i;
    }
    pending_.erase(0, i);
}

void DeviceProtocol::Command(const std::string& c) {
    commands_.push_back(c);
    if (!Send) return;
    if (c == "?F") {
        char mhz[32];
        std::snprintf(mhz, sizeof mhz, "%d.%02d", frequencyKHz / 1000, (frequencyKHz % 1000) / 10);
        Send(DeviceFrame("Frequency", mhz));
    } else if (c == "*R") {
        groupTimer_->SetEnabled(true);
    } else if (c == "*D") {
        groupTimer_->SetEnabled(false);
    } else if (c.size() > 2 && c.compare(c.size() - 2, 2, "*F") == 0) {
        frequencyKHz = std::stoi(c.substr(0, c.size() - 2));
    } else if (c.size() >= 2 && c.compare(c.size() - 2, 2, "?W") == 0) {
        char ifText[32];
        std::snprintf(ifText, sizeof ifText, "%06.2f", ifKHz);
        Send(DeviceFrame("IF", ifText) + DeviceFrame("W", SyntheticCapture(ifKHz, pilotKHz, toneHz, toneKHz)));
    }
}

void DeviceProtocol::SendGroup() {
    static const std::vector<Group> station = StationGroups(0x7827, "ORVANE  ", 64);
    const Group& g = station[groupsSent_ % station.size()];
    char line[32];
    std::snprintf(line, sizeof line, "%04X %04X %04X %04X", g.a, g.b, g.c, g.d);
    ++groupsSent_;
    if (Send) Send(DeviceFrame("G", line));
}

DeviceSimulator::DeviceSimulator(ITimerFactory& timers) : protocol_(timers) {
    protocol_.Send = [this](const std::string& bytes) { SendRaw(bytes); };
    QObject::connect(&server_, &QTcpServer::newConnection, &server_, [this] {
        while (QTcpSocket* s = server_.nextPendingConnection()) {
            ++accepted_;
            links_.push_back(s);
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] { protocol_.Receive(s->readAll().toStdString()); });
            QObject::connect(s, &QTcpSocket::disconnected, s, [this, s] {
                links_.erase(std::remove(links_.begin(), links_.end(), s), links_.end());
                s->deleteLater();
            });
        }
    });
}

DeviceSimulator::~DeviceSimulator() {
    for (QTcpSocket* s : links_) {
        s->disconnect();
        delete s;
    }
}

bool DeviceSimulator::Listen(uint16_t port) {
    if (!server_.listen(QHostAddress::LocalHost, port)) return false;
    port_ = server_.serverPort();
    return true;
}

void DeviceSimulator::Refuse() { server_.close(); }

void DeviceSimulator::DropLinks() {
    for (QTcpSocket* s : std::vector<QTcpSocket*>(links_)) s->abort();
}

void DeviceSimulator::SendRaw(const std::string& bytes) {
    for (QTcpSocket* s : links_) {
        s->write(bytes.data(), static_cast<qint64>(bytes.size()));
        s->flush();
    }
}

PtyDevice::PtyDevice(ITimerFactory& timers) : protocol_(timers) {
    protocol_.Send = [this](const std::string& bytes) { peer_.Write(bytes); };
}

size_t PtyDevice::Offer(const std::string& bytes) {
    if (peer_.HungUp() || bytes.empty()) return 0;
    const ssize_t w = ::write(peer_.MasterFd(), bytes.data(), bytes.size());
    return w > 0 ? static_cast<size_t>(w) : 0;
}

void PtyDevice::Poll() {
    const std::string in = peer_.Read();
    if (!in.empty()) protocol_.Receive(in);
}

} // namespace orvane::test
