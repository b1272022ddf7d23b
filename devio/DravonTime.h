#pragma once
// What the library times and waits with. The library asks its host process
// for the C symbol "OrvaneDravonTestTime" when it creates its data module; a
// host that defines it (the test programs do, to run the library on a fake
// clock) supplies the timers and the sleep, every other host gets Qt timers
// and a real sleep.
#include "Timer.h"

namespace orvane::dravon {

struct DravonTime {
    ITimerFactory* timers = nullptr;
    void (*sleep)(int ms) = nullptr;
};

} // namespace orvane::dravon

extern "C" {
typedef orvane::dravon::DravonTime* (*OrvaneDravonTestTimeFn)();
}
