#include "ScCommLine.h"

namespace orvane::dravon {

ScCommLine::ScCommLine(std::function<void(int)> sleep) {
    port_.SetAutoOpen(false);
    port_.SetBaudrate(br19200);
    port_.SetDirectWrite(true);
    port_.SetSleep(std::move(sleep));
}

void ScCommLine::Setup(int portNum, const std::string& deviceName) {
    port_.SetPortNum(portNum);
    port_.SetDeviceName(deviceName);
}

} // namespace orvane::dravon
