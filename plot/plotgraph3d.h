#pragma once
// The plot library's state for three-dimensional and surface graphs: axis
// names, per-frame view records, the colour scale, the surface value of a
// gridded data set and the cross-section sampler.
#include "plotgraph.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

namespace orvane::plot {

struct AxisName3D {
    std::string name, negative;
    int divisions = 0;
    bool box = false, labels = false;
};

struct ViewRecord3D {
    float zoomLow = 0, zoomHigh = 1;
    int frame = 0, flags = 0;
};

struct CrossPoint {
    float x = 0, y = 0, value = 0, distance = 0;
};

struct View3DState {
    bool mode = false; // three-dimensional mode of the graph
    std::array<AxisName3D, 3> axes;
    float viewScale = 1.0f;
    std::array<ViewRecord3D, 8> views{};
    bool viewSwitches = false;
    // Colour scale.
    std::array<TColor, 256> scale{};
    std::array<TColor, 256> scaleSwapped{};
    float lower = 0, upper = 1;
    bool logarithmic = false;
    float factor = 255.0f;
    int step = 1;
    // Missing values and the cell split.
    float missing = 0;
    bool missingSet = false;
    int cellMode = 4;
    int divideRow = 0, divideColumn = 0;
    // Cross-section.
    std::vector<CrossPoint> cross;
    int requestedPoints = -1;
    int crossOptions = 4;
    float lastX1 = 0, lastY1 = 0, lastX2 = 0, lastY2 = 0;
    int lastCount = 0;
    std::array<float, 25> sines{}, cosines{};
    Tbuftype buffer;
};

View3DState& View3D();

void Init3D();
void Reset3D();               // every graph reset
void DefaultAxisNames3D();    // every SetFrame
void SetFrameView3D(int frame, float low, float high); // raises the range error outside 1..8
void SetGraphBuffer3D(const Tbuftype& buffer);

void SetAxisNames3D(const std::array<std::string, 3>& names, const std::array<std::string, 3>& negatives);
// Spreads the colours over the 256 entries and sets the value range (a
// range of 0..0 keeps the stored one).
void SetColourScale(const std::vector<TColor>& colours, float lower, float upper, bool logarithmic, int step);
TColor ScaleColour(float value);
// Angles in whole degrees, taken modulo 360.
float TableSin(int degrees);
float TableCos(int degrees);

void SetMissingValue(float marker);
// The surface value at (x, y) of a gridded data set.
float SurfaceValue(const Tdatatype& grid, float x, float y, bool smooth);

// What the cross-section asks of the user: the point count, and the report.
struct CrossSectionUi {
    std::function<bool(const std::string& title, const std::string& prompt, std::string& answer)> ask;
    std::function<void(const std::string& text)> message;
    std::function<void(const std::string& title, const std::string& text)> warning;
};
// Samples the surface on the line between two points; false when no
// cross-section was made.
bool CrossSection(const Tdatatype& grid, float x1, float y1, float x2, float y2, int count, bool askUser,
                  const CrossSectionUi& ui);

} // namespace orvane::plot
