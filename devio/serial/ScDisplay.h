#pragma once
// A control that can be attached to a serial port and hears of each batch of
// its events before the handlers run.
#include "ScControls.h"

namespace orvane {

class TScCustomComm;

class TScDisplay : public TScGraphicControl {
public:
    using TScGraphicControl::TScGraphicControl;
    // Called on the GUI thread with the port, before its events are dispatched.
    virtual void CommEvent(TScCustomComm& comm) = 0;
};

} // namespace orvane
