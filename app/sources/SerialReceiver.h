#pragma once
// The serial receiver bit source: a receiver circuit samples the RDS data
// line and sends one byte per sample, its level coded as a run of leading one
// bits; every byte gives one bit for the decoder ring.
#include "ScComm.h"

#include <cstdint>
#include <string>

namespace orvane {

class ISerialReceiverHost {
public:
    virtual ~ISerialReceiverHost() = default;
    virtual void AddToDecoderBuffer(uint8_t bit) = 0;
};

class SerialReceiver {
public:
    explicit SerialReceiver(ISerialReceiverHost& host);

    // The level of a byte: 0x00 0, 0x80 1, 0xC0 2 ... 0xFF 8; any other byte
    // is no code and counts as level 0.
    static int LeadingOnesCount(uint8_t byte, bool& valid);

    // The port's receive event: handles every byte waiting, in order.
    void ScComm1RxChar(int count);
    void HandleByte(uint8_t byte);

    // What the status window shows of the line.
    int LastByte() const { return lastByte_; }
    bool LastByteValid() const { return lastValid_; }
    void ClearLastByte() {
        lastByte_ = 0;
        lastValid_ = false;
    }

    TScComm& ScComm1() { return comm_; }
    const TScComm& ScComm1() const { return comm_; }

private:
    ISerialReceiverHost& host_;
    TScComm comm_;
    int previousLevel_ = 0;
    uint8_t bitState_ = 0;
    int lastByte_ = 0;
    bool lastValid_ = false;
};

} // namespace orvane
