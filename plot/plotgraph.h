#pragma once
// The plot library's graph unit: one current graph, drawn call by call in a
// paint handler. StartGraph opens a pass, SetFrame lays out a frame,
// DrawXAxis/DrawYAxis fix the scaling, PlotData draws data sets and EndGraph
// completes what is pending.
#include "plotcommon.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

namespace orvane::plot {

// A data set: [row][column] singles; column 0 the x values, row 0 the headers.
using Tdatatype = std::vector<std::vector<float>>;

struct AxisSub {
    bool drawn = false, logarithmic = false;
    TColor colour = 0;
    double low = 0, high = 0; // displayed range, multiplied by the direction
    double zoomLow = 0, zoomHigh = 1;
    double effectiveLow = 0, effectiveHigh = 1;
    float logRatio = 1.0f;
    float unitsPerPixel = 0;
    int pixelOrigin = 0, pixelLength = 0;
    int decimals = 0, stepDecimals = 0;
    float minSpan = 0, userStep = 0;
    int direction = 1;
};

struct ReadoutBinding {
    bool bound = false, enabled = false;
    int mode = 0, firstAxis = 0, firstColumn = 0;
    Tdatatype data;
};

struct FrameRecord {
    int left = 0, right = 0, top = 0, bottom = 0;
    double zoomXLow = 0, zoomXHigh = 1;
    float zoomYLow = 0, zoomYHigh = 1;
    int gridXMajor = 4, gridXMinor = 7, gridYMajor = 4, gridYMinor = 7;
    bool valid = false, unclipped = false, flag = false;
    std::array<AxisSub, 5> axes; // X, Y1..Y4
    ReadoutBinding readout;
};

struct AxisEntry {
    bool present = false;
    double low = 0, high = 0;
    bool logarithmic = false;
};

struct AxisRecord {
    bool valid = false;
    int left = 0, top = 0, right = 0, bottom = 0;
    std::array<AxisEntry, 5> axes;
};

struct PlotArea {
    int left = 0, bottom = 0, width = 0, height = 0;
    float aspect = 1.0f;
};

struct Tbuftype {
    int32_t zero = 0;
    int32_t frames = 0;
    int32_t width = 0, height = 0;
    uint8_t flags[4] = {0, 0, 0, 0};
    std::string formName;
};

struct legendtype {
    std::string text;
    TColor colour = 0;
    int kind = 0; // 0 line, 1 filled area, 2 and 3 symbol, 4 thick line, 5 bar
    uint8_t fill = 0;
    int penWidth = 0, style = 0;
    int dashOn = 0, dashPeriod = 0;
    TColor colour2 = 0, colour3 = 0;
};

struct SymbolRecord {
    int x = 0, y = 0;
    uint8_t kind = 0, size = 0, fill = 0, penWidth = 0, flag = 0;
    TColor colour = 0, fillColour = 0, colour2 = 0, colour3 = 0;
};

// ---- Graph state and drawing pass ----
void InitPlotLibrary();
// `ownerName` is the name of the form that owns the paint box.
void StartGraph(ICanvas& canvas, int width, int height, TColor back, TColor fore, float fontScale,
                const std::string& ownerName = {});
void ResetGraphState(TColor back, TColor fore, bool clearBackground, float fontScale);
void EndGraph();
void SetPenWidth(int width);

// Switches the library keeps; nothing in the program sets them.
void SetPrintingMode(ICanvas* printer); // nullptr: off
void SetSavingMode(bool on);           // records into Metafile() while on
void SetResolutionMultiplier(int m);
void SetCanvasOrigin(int x, int y);

// ---- Frames ----
void SetFrame(int x1, int x2, int y1, int y2, int leftMargin, int rightMargin, int topMargin, int bottomMargin,
              bool unclipped);
void ResetZoom(int frame);

// ---- Axes ----
void DrawXAxis(PlotColour colour, const std::string& caption, int grid, float min, float max, float step,
               float minSpan, bool logarithmic, bool fixedLabels);
void DrawYAxis(PlotColour colour, const std::string& caption, int kind, float min, float max, float step,
               float minSpan, bool grid, bool logarithmic, bool fixedLabels);

// ---- Data sets ----
void CreateDataArray(Tdatatype& data, int rows, int columns);
void PlotData(Tdatatype& data, int style, int readout);
// Data to canvas pixels through the current scaling.
int MapX(double x);
int MapY(double y);

// ---- Readout, legend, buffers ----
void AddLegendEntry(int kind, const std::string& text);
void DataReadoutText(int row, int column, std::string& text);
void FormatSignificant(int digits, std::string& text, float value);

// ---- State, for the windows that read it back ----
int Phase();
int FrameCount();
int CurrentFrame();
const FrameRecord& Frame(int n); // 1..8
const AxisRecord& Axes(int n);   // 0..8
PlotArea CurrentPlotArea();
TColor ContrastColour();
ICanvas* Canvas();
const std::vector<legendtype>& Legend();
const std::vector<legendtype>& LegendSlots();
const Tbuftype& GraphBuffer();
const std::vector<std::string>& Captions();

} // namespace orvane::plot
