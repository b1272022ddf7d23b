#pragma once
// The component's sub-objects: event characters, flow control, buffers.
#include "ScClasses.h"

#include <cstdint>

namespace orvane {

using TScIntW = uint16_t;

class TScEventChars : public TScPersistent {
public:
    char XonChar() const { return chars_[0]; }
    char XoffChar() const { return chars_[1]; }
    char ErrorChar() const { return chars_[2]; }
    char EventChar() const { return chars_[3]; }
    char EofChar() const { return chars_[4]; }
    void SetXonChar(char c) { SetChar(1, c); }
    void SetXoffChar(char c) { SetChar(2, c); }
    void SetErrorChar(char c) { SetChar(3, c); }
    void SetEventChar(char c) { SetChar(4, c); }
    void SetEofChar(char c) { SetChar(5, c); }
    // index 1 Xon, 2 Xoff, 3 Error, 4 Event, 5 Eof
    void SetChar(int index, char c) {
        if (index >= 1 && index <= 5) Store(chars_[index - 1], c);
    }
    void Assign(const TScEventChars& other);

private:
    char chars_[5] = {17, 19, 0, 0, 0};
};

enum TScControlDtr { dtrDisabled, dtrEnabled, dtrHandshake };
enum TScControlRts { rtsDisabled, rtsEnabled, rtsHandshake, rtsToggle };

class TScFlowControl : public TScPersistent {
public:
    bool OutCtsFlow() const { return outCtsFlow_; }
    bool OutDsrFlow() const { return outDsrFlow_; }
    TScControlDtr ControlDtr() const { return controlDtr_; }
    TScControlRts ControlRts() const { return controlRts_; }
    bool XonXoffOut() const { return xonXoffOut_; }
    bool XonXoffIn() const { return xonXoffIn_; }
    bool DsrSensitivity() const { return dsrSensitivity_; }
    bool TxContinueOnXoff() const { return txContinueOnXoff_; }
    void SetOutCtsFlow(bool v) { Store(outCtsFlow_, v); }
    void SetOutDsrFlow(bool v) { Store(outDsrFlow_, v); }
    void SetControlDtr(TScControlDtr v) { Store(controlDtr_, v); }
    void SetControlRts(TScControlRts v) { Store(controlRts_, v); }
    void SetXonXoffOut(bool v) { Store(xonXoffOut_, v); }
    void SetXonXoffIn(bool v) { Store(xonXoffIn_, v); }
    void SetDsrSensitivity(bool v) { Store(dsrSensitivity_, v); }
    void SetTxContinueOnXoff(bool v) { Store(txContinueOnXoff_, v); }
    void Assign(const TScFlowControl& other);

private:
    bool outCtsFlow_ = false, outDsrFlow_ = false;
    TScControlDtr controlDtr_ = dtrDisabled;
    TScControlRts controlRts_ = rtsDisabled;
    bool xonXoffOut_ = false, xonXoffIn_ = false, dsrSensitivity_ = false, txContinueOnXoff_ = false;
};

class TScBuffers : public TScPersistent {
public:
    TScIntW ReadSize() const { return readSize_; }
    TScIntW WriteSize() const { return writeSize_; }
    TScIntW ReadTimeout() const { return readTimeout_; }
    TScIntW WriteTimeout() const { return writeTimeout_; }
    TScIntW XonLimit() const { return xonLimit_; }
    TScIntW XoffLimit() const { return xoffLimit_; }
    void SetReadSize(TScIntW v) { Store(readSize_, v); }
    void SetWriteSize(TScIntW v) { Store(writeSize_, v); }
    void SetReadTimeout(TScIntW v) { Store(readTimeout_, v); }
    void SetWriteTimeout(TScIntW v) { Store(writeTimeout_, v); }
    void SetXonLimit(TScIntW v) { Store(xonLimit_, v); }
    void SetXoffLimit(TScIntW v) { Store(xoffLimit_, v); }
    void Assign(const TScBuffers& other);

private:
    TScIntW readSize_ = 4096, writeSize_ = 2048, readTimeout_ = 1000, writeTimeout_ = 1000;
    TScIntW xonLimit_ = 1024, xoffLimit_ = 1024;
};

} // namespace orvane
