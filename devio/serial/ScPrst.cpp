#include "ScPrst.h"

namespace orvane {

void TScEventChars::Assign(const TScEventChars& other) {
    BeginUpdate();
    for (int i = 1; i <= 5; ++i) SetChar(i, other.chars_[i - 1]);
    EndUpdate();
}

void TScFlowControl::Assign(const TScFlowControl& o) {
    BeginUpdate();
    SetOutCtsFlow(o.outCtsFlow_);
    SetOutDsrFlow(o.outDsrFlow_);
    SetControlDtr(o.controlDtr_);
    SetControlRts(o.controlRts_);
    SetXonXoffOut(o.xonXoffOut_);
    SetXonXoffIn(o.xonXoffIn_);
    SetDsrSensitivity(o.dsrSensitivity_);
    SetTxContinueOnXoff(o.txContinueOnXoff_);
    EndUpdate();
}

void TScBuffers::Assign(const TScBuffers& o) {
    BeginUpdate();
    SetReadSize(o.readSize_);
    SetWriteSize(o.writeSize_);
    SetReadTimeout(o.readTimeout_);
    SetWriteTimeout(o.writeTimeout_);
    SetXonLimit(o.xonLimit_);
    SetXoffLimit(o.xoffLimit_);
    EndUpdate();
}

} // namespace orvane
