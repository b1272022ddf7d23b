#include "Gdi.h"

#include <array>
#include <cstdlib>
#include <limits>

namespace orvane {

namespace {

// The classic Windows scheme: the button face is $C8D0D4, which the forms
// also name directly as 13160660.
constexpr std::array<TColor, 31> kSystemColors = {
    RGB(212, 208, 200), // 0 scroll bar
    RGB(58, 110, 165),  // 1 background
    RGB(10, 36, 106),   // 2 active caption
    RGB(128, 128, 128), // 3 inactive caption
    RGB(212, 208, 200), // 4 menu
    RGB(255, 255, 255), // 5 window
    RGB(0, 0, 0),       // 6 window frame
    RGB(0, 0, 0),       // 7 menu text
    RGB(0, 0, 0),       // 8 window text
    RGB(255, 255, 255), // 9 caption text
    RGB(212, 208, 200), // 10 active border
    RGB(212, 208, 200), // 11 inactive border
    RGB(128, 128, 128), // 12 application work space
    RGB(10, 36, 106),   // 13 highlight
    RGB(255, 255, 255), // 14 highlight text
    RGB(212, 208, 200), // 15 button face
    RGB(128, 128, 128), // 16 button shadow
    RGB(128, 128, 128), // 17 grey text
    RGB(0, 0, 0),       // 18 button text
    RGB(212, 208, 200), // 19 inactive caption text
    RGB(255, 255, 255), // 20 button highlight
    RGB(64, 64, 64),    // 21 3-D dark shadow
    RGB(212, 208, 200), // 22 3-D light
    RGB(0, 0, 0),       // 23 info text
    RGB(255, 255, 225), // 24 info background
    RGB(181, 181, 181), // 25 unused
    RGB(0, 0, 128),     // 26 hot light
    RGB(166, 202, 240), // 27 gradient active caption
    RGB(192, 192, 192), // 28 gradient inactive caption
    RGB(10, 36, 106),   // 29 menu highlight
    RGB(212, 208, 200), // 30 menu bar
};

} // namespace

TColor ColorToRGB(TColor color) {
    if (color & kSystemColor) {
        const TColor index = color & 0xFF;
        return index < kSystemColors.size() ? kSystemColors[index] : clBlack;
    }
    if (color == clNone || color == clDefault) return clBlack;
    return color & 0xFFFFFF;
}

QColor ToQColor(TColor color) {
    const TColor c = ColorToRGB(color);
    return QColor(GetRValue(c), GetGValue(c), GetBValue(c));
}

TColor FromQColor(const QColor& color) { return RGB(color.red(), color.green(), color.blue()); }

int MulDiv(int a, int b, int c) {
    if (c == 0) return -1;
    const int64_t p = static_cast<int64_t>(a) * b;
    int64_t q = p / c;
    const int64_t r = p % c;
    // Half or more of the divisor left over rounds away from zero.
    if (2 * std::llabs(r) >= std::llabs(static_cast<int64_t>(c))) q += ((p < 0) != (c < 0)) ? -1 : 1;
    if (q > std::numeric_limits<int>::max() || q < std::numeric_limits<int>::min()) return -1;
    return static_cast<int>(q);
}

} // namespace orvane
