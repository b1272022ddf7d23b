#pragma once
// The plot library's common unit: the settings table, text output, colour
// operations and region fill, and the drawing primitives. Everything here
// draws on the canvas of the current graph, or, in saving mode, records into
// the metafile instead.
#include "ICanvas.h"

#include <array>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <vector>

namespace orvane::plot {

// The library's range error: a value out of range ends the current call.
class PlotRangeError : public std::range_error {
public:
    using std::range_error::range_error;
};

// A colour argument of the primitives and texts: a colour, or a negative
// value (-1) for "keep the current one". System colours have the top bit set
// and so count as negative here, as the library's callers expect.
using PlotColour = int32_t;

// ---- Settings table ----
struct setting {
    int32_t id;
    float value; // the default
    float min, max;
    int32_t flag;
    const char* name;
};
extern const std::array<setting, 39> SettingsTable;

void InitSettings();
void ResetSetting(int id);
void ResetSettingsScope(int scope);
float GetSettingValue(int id);
int GetSettingInt(int id);

// ---- Shared drawing state (set by the graph unit) ----
struct CommonState {
    ICanvas* canvas = nullptr;
    int multiplier = 1;
    int originX = 0, originY = 0;
    int width = 0, height = 0;        // canvas extent in device units
    int charWidth = 0, charHeight = 0; // of "0" in the label font
    TColor fore = clBlack, back = clWhite;
    bool saving = false;
    bool singleColour = false;
    TColor singleColourValue = clBlack;
    int fillMode = 1;   // 1 mask-pen fill, 2 shaded, 3+ dotted
    float shade = 0.5f;
    int fillOptions = 0; // bit value 2: always outline
    int textAngle = 0;  // of the rotated text being drawn
};
CommonState& Common();

// ---- Colours ----
int ChannelRed(TColor colour);
int ChannelGreen(TColor colour);
int ChannelBlue(TColor colour);
TColor MixColours(TColor a, TColor b, int weightA, int weightB);
TColor SwapRedBlue(TColor colour);
void SetColourStep(int step);
int QuantisedLevel(int level); // 0..255

// A device region: an ellipse in its bounds, or a polygon (alternate fill).
struct ShadeRegion {
    bool ellipse = false;
    int left = 0, top = 0, right = 0, bottom = 0; // bounds, end-exclusive
    std::vector<CanvasPoint> points;
    static ShadeRegion Ellipse(int l, int t, int r, int b);
    static ShadeRegion Polygon(const std::vector<CanvasPoint>& points);
    bool Contains(int x, int y) const;
    bool Empty() const { return right <= left || bottom <= top; }
};

void FillShape(int x, int y, int radius, const std::vector<CanvasPoint>& points);
void FillRegionShaded(const ShadeRegion& region, TColor colour);

// ---- Primitives ----
void SavePenBrush();
void RestorePenBrush();
void MovePenTo(int x, int y);
void PlotPixel(int x, int y, TColor colour);
void DrawRect(PlotColour pen, PlotColour fill, int x1, int y1, int x2, int y2);
void DrawPolygon(PlotColour pen, PlotColour fill, const std::vector<CanvasPoint>& points);
void DrawShadedPolygon(PlotColour pen, PlotColour fill, const std::vector<CanvasPoint>& points);
void DrawCircle(PlotColour pen, PlotColour fill, int x, int y, int radius);
void DrawLine(PlotColour pen, int x1, int y1, int x2, int y2);
void DrawOutline(PlotColour pen, PlotColour fill, const std::vector<CanvasPoint>& points, bool shaded);

// ---- Text output ----
int TextAlignFlags(int horizontal, int vertical);
void TextOutAligned(PlotColour colour, const std::string& text, int x, int y, int horizontal, int vertical);
void TextOutEx(PlotColour colour, const std::string& text, int x, int y, int horizontal, int vertical,
               int boxMode, int angle, int options);
void PlaceTickLabel(PlotColour colour, const std::string& text, int axisKind, int side, int x, int y, int angle,
                    int& extent);

// Fixed-point text with "." whatever the process locale; a negative zero
// is written "0" (or "0.00").
std::string FormatFixed(double value, int decimals);

// Halves to the even neighbour; values beyond the 32-bit range raise the
// range error.
int RoundInt(double v);

} // namespace orvane::plot
