#pragma once
// The five symmetric FIR filters of the capture processing, stored one after
// the other in one table (devio/FilterTable.cpp, printed by
// tools/design_filters.py).

namespace orvane::dravon {

constexpr int kFilterTableSize = 562;
extern const float kFilterTable[kFilterTableSize];

struct FilterSpan {
    int start;
    int taps;
    const float* Taps() const { return kFilterTable + start; }
};

constexpr FilterSpan kPeriodEqualiser{0, 15};  // periods, W mode off
constexpr FilterSpan kMpxNarrow{15, 258};      // MPX, W mode off
constexpr FilterSpan kAudioNarrow{273, 106};   // left and right, W mode off
constexpr FilterSpan kMpxWide{379, 130};       // MPX, W mode on
constexpr FilterSpan kAudioWide{509, 53};      // left and right, W mode on

} // namespace orvane::dravon
