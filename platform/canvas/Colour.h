#pragma once
// Colours as the toolkit stores them: $00BBGGRR, a system colour by index
// with the high bit set, clNone for "not set".
#include <cstdint>

namespace orvane {

using TColor = int32_t;

constexpr TColor clNone = 0x1FFFFFFF;
constexpr TColor clDefault = 0x20000000;
constexpr TColor clBlack = 0x000000;
constexpr TColor clWhite = 0xFFFFFF;
constexpr TColor clRed = 0x0000FF;
constexpr TColor clLime = 0x00FF00;
constexpr TColor clBlue = 0xFF0000;
constexpr TColor clNavy = 0x800000;
constexpr TColor clGray = 0x808080;
constexpr TColor clGreen = 0x008000;

constexpr TColor SystemColour(int index) { return static_cast<TColor>(0x80000000u | static_cast<uint32_t>(index)); }
constexpr TColor clBtnFace = SystemColour(15);
constexpr TColor clBtnShadow = SystemColour(16);
constexpr TColor clWindow = SystemColour(5);
constexpr TColor clWindowText = SystemColour(8);
constexpr TColor clHighlight = SystemColour(13);
constexpr TColor clHighlightText = SystemColour(14);
constexpr TColor clBtnText = SystemColour(18);
constexpr TColor clBtnHighlight = SystemColour(20);

// The RGB value ($00BBGGRR) of a colour; system colours come from a fixed
// table of the classic Windows scheme, so drawings do not depend on the
// desktop theme. clNone and clDefault resolve to black.
TColor ColorToRGB(TColor colour);

constexpr int RedOf(TColor rgb) { return rgb & 0xFF; }
constexpr int GreenOf(TColor rgb) { return (rgb >> 8) & 0xFF; }
constexpr int BlueOf(TColor rgb) { return (rgb >> 16) & 0xFF; }
constexpr TColor RGBColour(int r, int g, int b) { return (r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16); }

} // namespace orvane
