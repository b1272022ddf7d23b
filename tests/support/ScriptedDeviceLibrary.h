#pragma once
// A device library that answers from a script: replies wait in its queue,
// commands are kept in the order written, and the link is up while `up` says.
#include "DeviceLink.h"

#include <deque>
#include <string>
#include <vector>

namespace orvane::test {

class ScriptedLibrary final : public IDeviceLibrary {
public:
    bool connectAnswer = true;
    bool up = true;
    std::string setup;
    std::deque<std::string> replies;
    std::vector<std::string> written;
    int disconnects = 0;

    void ConnectionSetup(uint8_t kind, int32_t comPort, const std::string& host, int32_t tcpPort) override {
        setup = std::to_string(kind) + "|" + std::to_string(comPort) + "|" + host + "|" + std::to_string(tcpPort);
    }
    bool Connect() override { return connectAnswer; }
    void Disconnect() override { ++disconnects; }
    bool Connected() override { return up; }
    int32_t ReadBufferLength() override { return static_cast<int32_t>(replies.size()); }
    std::string ReadResponse() override {
        if (replies.empty()) return {};
        std::string r = replies.front();
        replies.pop_front();
        return r;
    }
    void WriteCommand(const std::string& c) override { written.push_back(c); }
};

} // namespace orvane::test
