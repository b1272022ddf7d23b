#pragma once
// The offscreen screen a test binary runs on. A binary that defines this
// function gets that screen instead of the usual 1280 x 1024 one at 0,0; a
// screen whose area starts below or right of 0,0 is what a desktop with a
// top or left panel leaves to windows.
#include <QRect>

namespace orvane::test {
QRect TestScreen() __attribute__((weak));
}
