#pragma once
// Colour values as the forms and files store them, and MulDiv.
#include <QColor>

#include <cstdint>

namespace orvane {

// $00BBGGRR; a set high bit names a system colour by its index.
using TColor = uint32_t;

constexpr TColor RGB(int r, int g, int b) {
    return static_cast<TColor>((r & 0xFF) | ((g & 0xFF) << 8) | ((b & 0xFF) << 16));
}
constexpr int GetRValue(TColor c) { return static_cast<int>(c & 0xFF); }
constexpr int GetGValue(TColor c) { return static_cast<int>((c >> 8) & 0xFF); }
constexpr int GetBValue(TColor c) { return static_cast<int>((c >> 16) & 0xFF); }

constexpr TColor clBlack = 0x000000, clMaroon = 0x000080, clGreen = 0x008000, clOlive = 0x008080,
                 clNavy = 0x800000, clPurple = 0x800080, clTeal = 0x808000, clGray = 0x808080,
                 clSilver = 0xC0C0C0, clRed = 0x0000FF, clLime = 0x00FF00, clYellow = 0x00FFFF,
                 clBlue = 0xFF0000, clFuchsia = 0xFF00FF, clAqua = 0xFFFF00, clWhite = 0xFFFFFF;
constexpr TColor clNone = 0x1FFFFFFF, clDefault = 0x20000000;

constexpr TColor kSystemColor = 0x80000000;
constexpr TColor clActiveBorder = kSystemColor | 10, clWindow = kSystemColor | 5,
                 clWindowFrame = kSystemColor | 6, clWindowText = kSystemColor | 8,
                 clBtnFace = kSystemColor | 15, clBtnShadow = kSystemColor | 16,
                 clGrayText = kSystemColor | 17, clBtnText = kSystemColor | 18,
                 clBtnHighlight = kSystemColor | 20, cl3DDkShadow = kSystemColor | 21,
                 cl3DLight = kSystemColor | 22, clHighlight = kSystemColor | 13,
                 clHighlightText = kSystemColor | 14;

// System colours resolve through one fixed table, so every machine draws the
// same pixels; clNone and clDefault resolve to black.
TColor ColorToRGB(TColor color);
QColor ToQColor(TColor color);
TColor FromQColor(const QColor& color);

// a * b / c with a 64-bit product, rounded to the nearest with halves away
// from zero; -1 when c is 0 or the result does not fit in 32 bits.
int MulDiv(int a, int b, int c);

} // namespace orvane
