#pragma once
// The part of the serial port component that a slot uses: open and close by
// COM number and device name, a text write, and a poll of waiting bytes.
// Failures are exceptions.
#include <memory>
#include <string>

namespace orvane::dravon {

class ISerialLine {
public:
    virtual ~ISerialLine() = default;
    // 19,200 baud, 8N1, no flow control, DTR and RTS off.
    virtual void Setup(int portNum, const std::string& deviceName) = 0;
    virtual void Open() = 0;
    virtual void Close() = 0;
    virtual bool IsOpen() const = 0;
    // Reads every byte waiting in the input queue; empty when none or closed.
    virtual std::string ReadWaiting() = 0;
    virtual void WriteText(const std::string& text) = 0;
};

} // namespace orvane::dravon
