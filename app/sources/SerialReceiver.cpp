#include "SerialReceiver.h"

namespace orvane {

SerialReceiver::SerialReceiver(ISerialReceiverHost& host) : host_(host) {
    // The receiver circuit sends at 19,200 baud without flow control.
    comm_.SetBaudrate(br19200);
    comm_.OnRxChar = [this](TScComponent*, int count) { ScComm1RxChar(count); };
}

int SerialReceiver::LeadingOnesCount(uint8_t byte, bool& valid) {
    int ones = 0;
    while (ones < 8 && (byte & (0x80 >> ones))) ++ones;
    // A code is ones followed by zeros only.
    const uint8_t code = static_cast<uint8_t>(0xFF00 >> ones);
    valid = byte == code;
    return valid ? ones : 0;
}

void SerialReceiver::ScComm1RxChar(int /*count*/) {
    for (const char c : comm_.ReadText()) HandleByte(static_cast<uint8_t>(c));
}

void SerialReceiver::HandleByte(uint8_t byte) {
    lastByte_ = byte;
    const int level = LeadingOnesCount(byte, lastValid_);
    // A hysteresis of one step: the bit turns only on a jump of two levels.
    if (level > previousLevel_ + 1) bitState_ = 1;
    else if (level + 1 < previousLevel_) bitState_ = 0;
    host_.AddToDecoderBuffer(bitState_);
    previousLevel_ = level;
}

} // namespace orvane
