#pragma once
// A slot's serial line on the port component: 19,200 baud, direct writes,
// every other property as the component builds it (8N1, no flow control,
// DTR and RTS off). Replies are polled by the receive tick.
#include "ScComm.h"
#include "SerialLine.h"

#include <functional>

namespace orvane::dravon {

class ScCommLine final : public ISerialLine {
public:
    explicit ScCommLine(std::function<void(int)> sleep);
    void Setup(int portNum, const std::string& deviceName) override;
    void Open() override { port_.Open(); }
    void Close() override { port_.Close(); }
    bool IsOpen() const override { return port_.IsOpen(); }
    std::string ReadWaiting() override { return port_.ReadText(); }
    void WriteText(const std::string& text) override { port_.WriteText(text); }

private:
    TScComm port_;
};

} // namespace orvane::dravon
