#pragma once
// What an FM analyser's "W" capture holds for a stereo broadcast: 512 period
// lengths, in counts of a 30 MHz clock, of an IF carrier of ifKHz
// frequency-modulated by an MPX of a pilot sin(wt) and a tone on the left
// channel only (L+R in base band, L-R on sin(2wt)); deviations in kHz.
#include <string>

namespace orvane::test {

std::string SyntheticCapture(double ifKHz, double pilotKHz, double toneHz, double toneKHz);

} // namespace orvane::test
