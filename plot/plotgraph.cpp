#include "plotgraph.h"

#include "Metafile.h"
#include "plotgraph3d.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <limits>

namespace orvane::plot {

namespace {

constexpr int kMaxFrames = 8;
constexpr int kLoopCap = 10000; // no tick or step loop runs longer than this
const char* const kDefaultCaptions[5] = {"X", "Y1", "Y2", "Y3", "Y4"};
constexpr TColor kAutoAxisColours[5] = {0, 0x000000, 0x0000FF, 0xFF0000, 0x008000};

struct Scaling {
    double low = 0, high = 1;
    bool logarithmic = false;
    int origin = 0, length = 1;
    int direction = 1;
};

struct Symbol {
    bool defined = false;
    int kind = 1, size = 6, fill = 1;
    TColor colour = 0, fillColour = 0;
};

struct Graph {
    bool needsInit = true;
    ICanvas* paintCanvas = nullptr;
    ICanvas* printer = nullptr;
    bool saving = false;
    int paintWidth = 0, paintHeight = 0;
    std::string ownerName;
    TColor foreStart = 0, backStart = 0, contrast = 0;
    float fontScale = 1.0f;
    int phase = 0;
    int frameCount = 0, current = 0;
    std::array<FrameRecord, kMaxFrames + 1> frames; // 1..8
    std::array<AxisRecord, kMaxFrames + 1> axisRecords; // 0..8
    PlotArea area;
    int zoomedFrame = 0;
    std::vector<std::string> captions;
    std::vector<SymbolRecord> symbols;
    bool pendingPixel = false;
    CanvasPoint pending;
    TColor pendingColour = 0;
    std::vector<legendtype> legend, columnSlots;
    bool plainOutput = false;
    std::vector<Tbuftype> buffers;
    // Plot target: pixel mode (yAxis 0) or X with Y axis 1..4.
    int targetAxis = 0;
    Scaling sx, sy;
    Symbol symbol;
    // Line state.
    bool haveLast = false;
    CanvasPoint last;
    int thinning = -1; // off
    int dash = 0, dashPercent = 50;
    // Font override.
    int fontCount = 0, fontSize = 0;
    std::string fontName;
};

Graph& G() {
    static Graph g;
    return g;
}

CommonState& C() { return Common(); }

bool Open() { return G().phase > 0 && C().canvas != nullptr; }

FrameRecord* CurrentFrameRecord() {
    auto& g = G();
    if (g.current < 1 || g.current > kMaxFrames) return nullptr;
    return &g.frames[g.current];
}

double Finite(double v) { return std::isfinite(v) ? v : 0.0; }

int ClampRound(double v) { return static_cast<int>(std::nearbyint(std::clamp(Finite(v), -32768.0, 32767.0))); }

// A value already multiplied by the axis direction to a pixel.
int MapScaled(const Scaling& s, double v, bool vertical) {
    double f;
    if (s.logarithmic) {
        const double lo = std::min(s.low, s.high);
        if (v <= 0) v = lo / 2;
        f = std::log(v / s.low) / std::log(s.high / s.low);
    } else {
        f = (v - s.low) / (s.high - s.low);
    }
    const double p = vertical ? s.origin - s.length * f : s.origin + s.length * f;
    return ClampRound(p);
}

int MapWith(const Scaling& s, double v, bool vertical) {
    return MapScaled(s, s.logarithmic ? v : v * s.direction, vertical);
}

void DrawPendingPixel() {
    auto& g = G();
    if (!g.pendingPixel) return;
    g.pendingPixel = false;
    PlotPixel(g.pending.x, g.pending.y, g.pendingColour);
}

void DrawSymbol(const SymbolRecord& s) {
    ICanvas& c = *C().canvas;
    if (s.kind == 0 || s.size <= 1) {
        PlotPixel(s.x, s.y, s.colour);
        return;
    }
    c.pen.width = s.penWidth;
    c.pen.style = PenStyle::Solid;
    c.pen.color = s.colour;
    switch (s.fill) {
    case 0: c.brush.style = BrushStyle::Clear; break;
    case 1: c.brush.style = BrushStyle::Solid; c.brush.color = C().back; break;
    case 2: c.brush.style = BrushStyle::Solid; c.brush.color = s.colour; break;
    default: c.brush.style = BrushStyle::Solid; c.brush.color = s.fillColour; break;
    }
    const int x = s.x, y = s.y, h = s.size / 2, d = h + h / 2;
    auto tri = [&](std::vector<CanvasPoint> pts) { DrawPolygon(-1, -1, pts); };
    switch (s.kind) {
    case 1: DrawCircle(-1, -1, x, y, h); break;
    case 2: DrawRect(-1, -1, x - h, y - h, x + h + 1, y + h + 1); break;
    case 3: tri({{x - h, y + h}, {x + h, y + h}, {x, y - d}}); break;
    case 4: tri({{x - h, y - h}, {x + h, y - h}, {x, y + d}}); break;
    case 5: tri({{x - h, y + h}, {x - h, y - h}, {x + d, y}}); break;
    case 6: tri({{x + h, y + h}, {x + h, y - h}, {x - d, y}}); break;
    case 7:
        if (s.penWidth <= 1) {
            DrawLine(-1, x, y - h, x, y + h + 1);
            DrawLine(-1, x + h, y, x - h - 1, y);
        } else {
            DrawLine(-1, x, y - h, x, y + h);
            DrawLine(-1, x - h, y, x + h, y);
        }
        break;
    case 8:
        if (s.penWidth <= 1) {
            DrawLine(-1, x - h + 1, y - h + 1, x + h, y + h);
            DrawLine(-1, x + h - 1, y - h + 1, x - h, y + h);
        } else {
            DrawLine(-1, x - h, y - h, x + h, y + h);
            DrawLine(-1, x + h, y - h, x - h, y + h);
        }
        break;
    default: break;
    }
}

void FlushSymbols() {
    auto& g = G();
    if (g.symbols.empty() || !C().canvas) {
        g.symbols.clear();
        return;
    }
    SavePenBrush();
    for (const auto& s : g.symbols) DrawSymbol(s);
    RestorePenBrush();
    g.symbols.clear();
}

// Pending output: the end pixel of the last line, then the queued symbols.
void CompletePending() {
    if (!C().canvas) return;
    DrawPendingPixel();
    FlushSymbols();
}

void SetupLabelFont() {
    auto& g = G();
    ICanvas& c = *C().canvas;
    const int m = C().multiplier;
    c.font.name = g.fontName.empty() ? "Arial" : g.fontName;
    if (g.fontSize > 0 && g.fontCount >= 2) c.font.size = g.fontSize * m;
    else c.font.size = std::max(1, static_cast<int>(std::nearbyint(8.0 * g.fontScale * m)));
    c.font.escapement = 0;
    const CanvasSize z = c.TextExtent("0");
    C().charWidth = z.cx;
    C().charHeight = z.cy;
}

// ---- number texts ----
std::string Fixed(double v, int decimals) { return FormatFixed(v, std::clamp(decimals, 0, 20)); }

int DecimalsOfStep(double step, int fallback) {
    if (!(step > 0) || !std::isfinite(step)) return fallback;
    int d = 0;
    double s = step;
    while (d < 12 && std::fabs(s - std::nearbyint(s)) > 1e-6 * std::max(1.0, std::fabs(s))) {
        s *= 10;
        ++d;
    }
    return d;
}

std::string CompactLabel(double v, int decimals, float sci) {
    const char letter = GetSettingValue(4) <= 0 ? 'E' : 'e';
    if (sci != 0.0f) {
        const int n = static_cast<int>(std::trunc(std::fabs(sci)));
        const int dec = static_cast<int>(std::nearbyint((std::fabs(sci) - n) * 10));
        const double scaled = sci > 0 ? v / std::pow(10.0, n) : v * std::pow(10.0, n);
        return Fixed(scaled, dec) + letter + std::to_string(sci > 0 ? n : -n);
    }
    if (v == 0) return "0";
    if (decimals < -2) return Fixed(v / std::pow(10.0, -decimals), 0) + letter + std::to_string(-decimals);
    if (decimals <= 0) return Fixed(v, 0);
    if (std::fabs(v) <= 0.0095) {
        int k = 0;
        while (std::fabs(v) <= 1 && k < 400) {
            v *= 10;
            ++k;
        }
        return Fixed(v, std::max(decimals - k, 0)) + letter + "-" + std::to_string(k);
    }
    return Fixed(v, decimals);
}

// ---- nice steps ----
struct Steps {
    double major = 1, minor = 1;
    int decimals = 0;
};

Steps NiceSteps(double& low, double& high, double userStep, int rounding, int pitch, int length) {
    if (low > high) std::swap(low, high);
    Steps r;
    const int count = pitch > 0 ? length / pitch : length;
    double S = 0;
    if (userStep > 0 && std::isfinite(userStep)) {
        int e = 0;
        double s = userStep;
        for (int i = 0; i < 400 && s >= 7; ++i, ++e) s /= 10;
        for (int i = 0; i < 400 && s < 0.7; ++i, --e) s *= 10;
        S = (s <= 1.4 ? 1 : s <= 3.2 ? 2 : 5) * std::pow(10.0, e);
    }
    double shrink = 1;
    for (int attempt = 0; attempt < 64; ++attempt) {
        const double raw = shrink * (high - low) / (std::max(count, 1) + 0.000001);
        double norm = raw;
        int dec = 0;
        for (int i = 0; i < 400 && norm > 5; ++i, --dec) norm /= 10;
        for (int i = 0; i < 400 && norm < 0.5; ++i, ++dec) norm *= 10;
        const double unit = std::pow(10.0, -dec);
        if (norm < 1) {
            r.major = unit;
            r.minor = r.major / 5;
        } else if (norm < 2) {
            r.major = 2 * unit;
            r.minor = r.major / 4;
        } else {
            r.major = 5 * unit;
            r.minor = r.major / 5;
        }
        r.decimals = dec;
        int within = 0;
        const double first = std::trunc(low / r.major - 1) * r.major;
        for (int i = 0; i < kLoopCap; ++i) {
            const double p = (first + i * r.major - low) / (high - low) * length;
            if (p > length) break;
            if (p >= 0) ++within;
        }
        r.minor = std::max(r.minor, S);
        if (r.major < S) r.major = S;
        else if (r.major > 2.4 * r.minor && r.major < 2.6 * r.minor) r.major *= 2;
        if (within >= 2) break;
        shrink *= 0.8;
    }
    if (rounding == 1 || rounding == 2) {
        const double step = rounding == 2 ? r.major : r.minor;
        auto onTick = [&](double v) { return std::fabs(v / step - std::nearbyint(v / step)) < 1e-9; };
        if (!onTick(low) || !onTick(high)) {
            double nl = std::floor(low / step) * step;
            if (onTick(low) && low < 0) nl = low - step;
            double nh = std::ceil(high / step) * step;
            if (onTick(high) && high >= 0) nh = high + step;
            low = nl;
            high = nh;
        }
    }
    return r;
}

// ---- grid lines ----
void GridLine(bool vertical, int p, int pattern, const PlotArea& a) {
    if (pattern < 0) return;
    auto& st = C();
    if (vertical ? p == a.left : p == a.bottom) return;
    if (st.saving) {
        // The metafile draws its grid at the end of the axis.
        return;
    }
    const TColor colour = st.canvas->pen.color;
    if (pattern == 0) {
        if (vertical) DrawLine(-1, p, a.bottom, p, a.bottom - a.height);
        else DrawLine(-1, a.left, p, a.left + a.width, p);
        return;
    }
    const int m = st.multiplier;
    const int n = (vertical ? a.height : a.width) / m;
    for (int e = 0; e <= n; ++e) {
        if ((pattern & e) != 0) continue;
        if (vertical) PlotPixel(p, a.bottom - e * m, colour);
        else PlotPixel(a.left + e * m, p, colour);
    }
}

// ---- axes ----
struct AxisCall {
    bool isX = true;
    PlotColour colour = 0;
    std::string caption;
    int kind = 0;
    double min = 0, max = 0, step = 0, minSpan = 0;
    bool grid = false, logarithmic = false, fixedLabels = false;
};

int SubIndexOfKind(int kind) {
    switch (kind) {
    case 2: return 2;
    case 3: return 3;
    case 4: case 7: case 8: return 4;
    default: return 1;
    }
}

void DrawAxis(AxisCall a) {
    auto& g = G();
    auto& st = C();
    if (!Open()) return;
    CompletePending();
    FrameRecord* frame = CurrentFrameRecord();
    if (!std::isfinite(a.min) || !std::isfinite(a.max) || a.min == a.max || !frame || !frame->valid) return;
    if (a.isX && g.phase > 3) return;
    if (!a.isX && (a.kind < 0 || a.kind > 8)) return;
    if (a.kind == 0) a.kind = 1;
    const double spanCheck = a.max - a.min;
    if (!std::isfinite(spanCheck)) return;
    g.phase = a.isX ? 3 : 4;

    ICanvas& c = *st.canvas;
    const int m = st.multiplier;
    const int dir = a.min > a.max ? -1 : 1;
    bool logarithmic = a.logarithmic && a.min > 0 && a.max > 0;
    bool visible = true;
    TColor colour = static_cast<TColor>(a.colour);
    if (a.colour == -255) colour = st.back;
    else if (ColorToRGB(colour) == ColorToRGB(st.back)) {
        visible = false;
        colour = st.fore;
    }
    c.pen.color = colour;
    c.font.color = colour;
    c.brush.style = BrushStyle::Clear;
    const int sizeId = a.isX ? 23 : 43;
    const int majorLen = RoundInt(GetSettingValue(sizeId) * st.charWidth + 0.5);
    const int minorLen = RoundInt(GetSettingValue(sizeId + 1) * majorLen);
    const double minZoom = 1.0 / GetSettingValue(10);
    const double minLogRatio = GetSettingValue(11);
    const double relSpan = std::max(a.minSpan / (a.max - a.min), minZoom);

    const PlotArea area = g.area;
    const int top = area.bottom - area.height, right = area.left + area.width;
    int axisPos = area.bottom, side = 1;
    const int sub = a.isX ? 0 : SubIndexOfKind(a.kind);
    if (!a.isX) {
        switch (a.kind) {
        case 2: axisPos = area.left + m; side = 1; break;
        case 3: axisPos = right - m; side = -1; break;
        case 4: case 7: case 8: axisPos = right; side = 1; break;
        default: axisPos = area.left; side = -1; break;
        }
    }
    if (visible) {
        if (a.isX) DrawLine(-1, area.left, area.bottom, area.left + area.width + 1, area.bottom);
        else DrawLine(-1, axisPos, area.bottom, axisPos, area.bottom - area.height - 1);
    }
    if (st.saving) Metafile().ClearGrid();

    const std::string::size_type bar = a.caption.find('|');
    std::string caption = a.caption.substr(0, bar);
    const std::string suffix = bar == std::string::npos ? std::string() : a.caption.substr(bar + 1);
    const int length = a.isX ? area.width : area.height;
    const double zoomLow = a.isX ? frame->zoomXLow : frame->zoomYLow;
    const double zoomHigh = a.isX ? frame->zoomXHigh : frame->zoomYHigh;
    const int angle = GetSettingInt(a.isX ? 25 : 45);
    const int gridMajor = a.isX ? frame->gridXMajor : frame->gridYMajor;
    const int gridMinor = a.isX ? frame->gridXMinor : frame->gridYMinor;
    int widest = 0, tallest = 0;

    Scaling s;
    s.origin = a.isX ? area.left : area.bottom;
    s.length = length;
    double low = 0, high = 0;
    int decimals = 0;
    double unitsPerPixel = 0;
    float logRatio = 1.0f;

    auto pixel = [&](double v) { return MapScaled(s, v, !a.isX); };
    auto beyondFar = [&](int p) { return a.isX ? p > right : p < top; };
    auto beforeNear = [&](int p) { return a.isX ? p < area.left : p > area.bottom; };
    auto tick = [&](int p, int len) {
        if (!visible || len < 1) return;
        if (a.isX) DrawLine(-1, p, axisPos, p, axisPos + len);
        else DrawLine(-1, axisPos, p, axisPos + side * len, p);
    };
    auto grid = [&](int p, bool major) {
        if (!a.grid || !visible) return;
        if (st.saving) {
            if (p >= 0 && p <= 0xFFFF) (major ? Metafile().majorGrid : Metafile().minorGrid).push_back(static_cast<uint16_t>(p));
            return;
        }
        GridLine(a.isX, p, major ? gridMajor : gridMinor, area);
    };
    auto label = [&](int p, const std::string& text, int majorLength) {
        if (!visible || text.empty()) return;
        if (a.isX) {
            const int y = axisPos + m + majorLength - 1;
            if (angle != 0) {
                int extent = 0;
                PlaceTickLabel(-1, text, 1, 1, p, y, angle, extent);
                tallest = std::max(tallest, extent);
            } else {
                TextOutAligned(-1, text, p, y, 0, 1);
                tallest = std::max(tallest, st.charHeight);
            }
        } else {
            const int x = axisPos + side * (2 * m + majorLength);
            if (angle != 0) {
                int extent = 0;
                PlaceTickLabel(-1, text, 2, side, x, p, angle, extent);
                widest = std::max(widest, extent);
            } else {
                // Raised by half a character once: the label is top-aligned here.
                TextOutAligned(-1, text, x, p - st.charHeight / 2, side > 0 ? 1 : -1, 1);
                widest = std::max(widest, c.TextWidth(text));
            }
        }
    };

    if (logarithmic) {
        const double ratio = a.max / a.min;
        low = a.min * std::pow(ratio, zoomLow);
        high = a.min * std::pow(ratio, zoomHigh);
        if (std::max(low, high) / std::min(low, high) < minLogRatio) logarithmic = false;
    }
    int usedMajor = majorLen;
    if (logarithmic) {
        s.logarithmic = true;
        s.low = low;
        s.high = high;
        const double lo = std::min(low, high), hi = std::max(low, high);
        logRatio = static_cast<float>(hi / lo);
        const double fontSize = 8.0 * g.fontScale;
        const double density = (length * GetSettingValue(a.isX ? 22 : 42)) / std::log10(hi / lo) / (m * fontSize / 8.0);
        const int code = density > 250 ? 224 : density > 160 ? 123 : density > 100 ? 112 : density > 40 ? 12
                         : density > 7 ? 1 : 0;
        static const std::vector<int> sets[5] = {
            {10},
            {10, 20, 50},
            {10, 20, 30, 40, 50, 60, 70, 80, 90},
            {10, 12, 14, 16, 18, 20, 25, 30, 35, 40, 45, 50, 60, 70, 80, 90},
            {10, 11, 12, 13, 14, 15, 16, 17, 18, 19, 20, 22, 24, 26, 28, 30, 32, 34, 36, 38, 40, 42, 44, 46, 48,
             50, 55, 60, 65, 70, 75, 80, 85, 90, 95}};
        const auto& tickSet = sets[code % 10];
        const auto& majorSet = sets[(code / 10) % 10];
        const auto& labelSet = sets[code / 100];
        auto in = [](const std::vector<int>& set, int v) { return std::find(set.begin(), set.end(), v) != set.end(); };
        const int logMajor = st.charWidth + 1, logMinor = (st.charWidth + 1) / 2 + 1;
        usedMajor = logMajor;
        const char letter = GetSettingValue(4) <= 0 ? 'E' : 'e';
        const int eLow = static_cast<int>(std::floor(std::log10(lo))) - 1;
        const int eHigh = static_cast<int>(std::ceil(std::log10(hi))) + 1;
        for (int e = eLow; e <= eHigh && e - eLow < 700; ++e) {
            const double decade = std::pow(10.0, e);
            for (int mv : tickSet) {
                const double v = mv / 10.0 * decade;
                const int p = pixel(v);
                if (beyondFar(p) || beforeNear(p)) continue;
                const bool major = in(majorSet, mv);
                tick(p, major ? logMajor : logMinor);
                grid(p, major);
                if (!in(labelSet, mv) || (a.isX && (mv == 70 || mv == 90))) continue;
                std::string text;
                switch (e) {
                case 0: text = "1"; break;
                case 1: text = "10"; break;
                case 2: text = "100"; break;
                case 3: text = "1000"; break;
                case -1: text = "0.1"; break;
                case -2: text = "0.01"; break;
                default: text = std::string("1") + letter + std::to_string(e); break;
                }
                text[text.find('1')] = static_cast<char>('0' + mv / 10);
                label(p, text + suffix, logMajor);
            }
        }
        unitsPerPixel = (hi - lo) / std::max(length, 1);
    } else {
        s.logarithmic = false;
        s.direction = dir;
        const double lo0 = a.min * dir, hi0 = a.max * dir;
        low = lo0 + (hi0 - lo0) * zoomLow;
        high = lo0 + (hi0 - lo0) * zoomHigh;
        if (!(high > low)) {
            g.phase = a.isX ? 2 : g.phase; // nothing to scale
            return;
        }
        s.low = low;
        s.high = high;
        const int pitch = a.isX
            ? c.TextWidth(suffix) + RoundInt(st.charWidth * GetSettingValue(a.fixedLabels ? 20 : 21))
            : RoundInt(st.charHeight * GetSettingValue(40));
        double nl = low, nh = high;
        const Steps steps = NiceSteps(nl, nh, a.step, 0, pitch, length);
        decimals = std::min(steps.decimals, DecimalsOfStep(a.step, steps.decimals));
        unitsPerPixel = (high - low) / std::max(length, 1);
        const int divisions = std::max(1, RoundInt(steps.major / steps.minor));
        const double first = std::trunc(low / steps.major - 1) * steps.major;
        const float sci = GetSettingValue(a.isX ? 26 : 46);
        for (int i = 0; i < kLoopCap; ++i) {
            // Each tick from its index, so no error builds up along the axis.
            const double v = first + i * steps.major;
            const int p = MapScaled(s, v, !a.isX);
            if (beyondFar(p)) break;
            if (!beforeNear(p)) {
                tick(p, majorLen);
                std::string text;
                if (a.fixedLabels) text = Fixed(v * dir, std::max(decimals, 0));
                else text = CompactLabel(std::fabs(v) < steps.major / 2 ? 0.0 : v * dir, decimals, sci);
                label(p, text + suffix, majorLen);
                grid(p, true);
            }
            for (int f = 1; f < divisions; ++f) {
                const int pm = MapScaled(s, v + f * steps.minor, !a.isX);
                if (beyondFar(pm) || beforeNear(pm)) continue;
                tick(pm, minorLen);
                grid(pm, false);
            }
        }
    }
    if (st.saving && a.grid && visible)
        Metafile().DrawGridLines(a.isX, a.isX ? area.bottom : area.left, a.isX ? top : right);

    // Caption.
    if (!caption.empty() && visible) {
        if (a.isX) {
            TextOutAligned(-1, caption, area.left + area.width / 2, axisPos + usedMajor + tallest, 0, 1);
        } else {
            int raise = 0;
            if (caption[0] == '@') {
                caption.erase(0, 1);
                raise = st.charHeight;
            }
            const int y0 = top - st.charHeight / 2 - raise;
            const int W = widest, T = usedMajor, cw = st.charWidth;
            const int mid = area.bottom - area.height / 2;
            const bool flip = GetSettingInt(41) == 1;
            std::string stacked;
            for (size_t i = 0; i < caption.size(); ++i) {
                if (i) stacked += '|';
                stacked += caption[i];
            }
            switch (a.kind) {
            case 1: TextOutAligned(-1, caption, std::max(area.left - W - T, st.originX), y0, 1, -1); break;
            case 2: TextOutAligned(-1, caption, area.left, y0, 1, -1); break;
            case 3: TextOutAligned(-1, caption, right, y0, -1, -1); break;
            case 4: TextOutAligned(-1, caption, std::min(right + W + T, st.originX + st.width), y0, -1, -1); break;
            case 5: TextOutEx(-1, caption, area.left - W - T, mid, 0, flip ? 1 : -1, 0, flip ? -90 : 90, 1); break;
            case 6: TextOutEx(-1, stacked, area.left - W - T - cw, mid, 0, 0, 0, 0, 1); break;
            case 7: TextOutEx(-1, caption, right + W + T, mid, 0, flip ? -1 : 1, 0, flip ? -90 : 90, 1); break;
            case 8: TextOutEx(-1, stacked, right + W + T + cw, mid, 0, 0, 0, 0, 1); break;
            default: break;
            }
        }
    }

    // Record the scaling for the data and the readout.
    AxisSub& rec = frame->axes[sub];
    rec.drawn = true;
    rec.logarithmic = s.logarithmic;
    rec.colour = colour;
    rec.low = s.low;
    rec.high = s.high;
    rec.effectiveLow = zoomLow;
    rec.effectiveHigh = zoomHigh;
    rec.logRatio = logRatio;
    rec.unitsPerPixel = static_cast<float>(unitsPerPixel);
    rec.pixelOrigin = s.origin;
    rec.pixelLength = length;
    rec.decimals = decimals;
    rec.stepDecimals = DecimalsOfStep(a.step, 0);
    rec.minSpan = static_cast<float>(relSpan);
    rec.userStep = s.logarithmic ? 0.0f : static_cast<float>(a.step);
    rec.direction = s.direction;
    AxisEntry& entry = g.axisRecords[g.current].axes[sub];
    entry.present = true;
    entry.low = s.low;
    entry.high = s.high;
    entry.logarithmic = s.logarithmic;
    g.axisRecords[0] = g.axisRecords[g.current];
    if (a.isX) {
        g.sx = s;
    } else {
        g.sy = s;
        g.targetAxis = sub;
    }
    ResetSettingsScope(3);
}

// ---- plotting ----
bool SelectTarget(int yAxis) {
    auto& g = G();
    FrameRecord* f = CurrentFrameRecord();
    if (!f || !f->axes[0].drawn || !f->axes[yAxis].drawn) return false;
    auto load = [](const AxisSub& a, Scaling& s) {
        s.low = a.low;
        s.high = a.high;
        s.logarithmic = a.logarithmic;
        s.origin = a.pixelOrigin;
        s.length = a.pixelLength;
        s.direction = a.direction;
    };
    load(f->axes[0], g.sx);
    load(f->axes[yAxis], g.sy);
    g.targetAxis = yAxis;
    return true;
}

CanvasPoint MapPoint(double x, double y) {
    auto& g = G();
    if (g.targetAxis == 0) {
        const int m = C().multiplier;
        return {ClampRound(x * m) + C().originX, ClampRound(y * m) + C().originY};
    }
    return {MapWith(g.sx, x, false), MapWith(g.sy, y, true)};
}

bool Unclipped() {
    const FrameRecord* f = CurrentFrameRecord();
    return G().targetAxis == 0 || (f && f->unclipped) || View3D().mode;
}

bool InsidePlot(CanvasPoint p) {
    const PlotArea& a = G().area;
    return p.x >= a.left && p.x <= a.left + a.width && p.y >= a.bottom - a.height && p.y <= a.bottom;
}

void CanvasSegment(CanvasPoint a, CanvasPoint b) {
    auto& g = G();
    auto& st = C();
    ICanvas& c = *st.canvas;
    if (g.dash <= 0) {
        if (st.saving) {
            Metafile().PenUpToDate();
            Metafile().MoveTo(a.x, a.y);
            Metafile().LineTo(b.x, b.y);
        } else {
            c.MoveTo(a.x, a.y);
            c.LineTo(b.x, b.y);
        }
    } else {
        const int m = st.multiplier;
        const int period = std::max(g.dash * m, 1);
        int on = RoundInt(g.dashPercent / 100.0 * period);
        on = std::max(on, m);
        if (on >= period) on = period - m;
        const int dx = b.x - a.x, dy = b.y - a.y;
        const int n = std::max(std::abs(dx), std::abs(dy));
        int runStart = -1;
        for (int i = 0; i <= n; ++i) {
            const bool draw = i < n && (i % period) < on;
            if (draw && runStart < 0) runStart = i;
            if (!draw && runStart >= 0) {
                const CanvasPoint p{a.x + RoundInt(double(dx) * runStart / std::max(n, 1)),
                                    a.y + RoundInt(double(dy) * runStart / std::max(n, 1))};
                const CanvasPoint q{a.x + RoundInt(double(dx) * i / std::max(n, 1)),
                                    a.y + RoundInt(double(dy) * i / std::max(n, 1))};
                DrawLine(-1, p.x, p.y, q.x, q.y);
                runStart = -1;
            }
        }
    }
    // The last pixel of a polyline is painted at the next move or the end.
    if (g.pendingPixel && g.pending == a) g.pendingPixel = false;
    if (c.pen.width <= 1 && InsidePlot(b)) {
        g.pendingPixel = true;
        g.pending = b;
        g.pendingColour = c.pen.color;
    }
}

// Liang-Barsky against the plot area; false when nothing is left.
bool ClipSegment(double& x0, double& y0, double& x1, double& y1) {
    const PlotArea& a = G().area;
    const double xmin = a.left, xmax = a.left + a.width, ymin = a.bottom - a.height, ymax = a.bottom;
    double t0 = 0, t1 = 1;
    const double dx = x1 - x0, dy = y1 - y0;
    const double p[4] = {-dx, dx, -dy, dy};
    const double q[4] = {x0 - xmin, xmax - x0, y0 - ymin, ymax - y0};
    for (int i = 0; i < 4; ++i) {
        if (p[i] == 0) {
            if (q[i] < 0) return false;
            continue;
        }
        const double t = q[i] / p[i];
        if (p[i] < 0) t0 = std::max(t0, t);
        else t1 = std::min(t1, t);
        if (t0 > t1) return false;
    }
    const double nx0 = x0 + t0 * dx, ny0 = y0 + t0 * dy, nx1 = x0 + t1 * dx, ny1 = y0 + t1 * dy;
    x0 = nx0;
    y0 = ny0;
    x1 = nx1;
    y1 = ny1;
    return true;
}

void LineMove(double x, double y) {
    auto& g = G();
    DrawPendingPixel();
    const CanvasPoint p = MapPoint(x, y);
    if (Unclipped()) MovePenTo(p.x, p.y);
    g.last = p;
    g.haveLast = true;
}

void LineDraw(double x, double y) {
    auto& g = G();
    ICanvas& c = *C().canvas;
    const CanvasPoint p = MapPoint(x, y);
    if (!g.haveLast) {
        g.last = p;
        g.haveLast = true;
        return;
    }
    if (g.dash <= 0) c.pen.style = PenStyle::Solid;
    if (g.thinning >= 0) {
        const int dist = g.thinning == 0 ? c.pen.width : g.thinning;
        if (std::abs(p.x - g.last.x) < dist && std::abs(p.y - g.last.y) < dist) return;
    }
    const CanvasPoint from = g.last;
    g.last = p;
    if (Unclipped()) {
        CanvasSegment(from, p);
        return;
    }
    double x0 = from.x, y0 = from.y, x1 = p.x, y1 = p.y;
    if (!ClipSegment(x0, y0, x1, y1)) return;
    CanvasSegment({RoundInt(x0), RoundInt(y0)}, {RoundInt(x1), RoundInt(y1)});
}

void QueueSymbol(double x, double y, int kind) {
    auto& g = G();
    auto& st = C();
    const CanvasPoint p = MapPoint(x, y);
    int size = g.symbol.size;
    if (size == 0) size = st.canvas->font.size;
    if (size < 0 || (kind & 15) > 8) return;
    if (p.x < st.originX || p.x >= st.originX + st.width || p.y < st.originY || p.y >= st.originY + st.height) return;
    if (!Unclipped() && !InsidePlot(p)) return;
    SymbolRecord r;
    r.x = p.x;
    r.y = p.y;
    r.kind = static_cast<uint8_t>(kind & 15);
    r.size = static_cast<uint8_t>(std::min(size, 255));
    r.fill = static_cast<uint8_t>(std::clamp(g.symbol.fill, 0, 255));
    r.penWidth = static_cast<uint8_t>(std::clamp(st.canvas->pen.width, 0, 255));
    r.colour = st.canvas->pen.color;
    r.fillColour = g.symbol.fillColour;
    g.symbols.push_back(r);
    if (kind & 16) FlushSymbols();
}

void DrawBar(double x, double y, double width, TColor colour) {
    auto& st = C();
    ICanvas& c = *st.canvas;
    const CanvasPoint p1 = MapPoint(x - width / 2, 0), p2 = MapPoint(x + width / 2, y);
    const PlotArea& a = G().area;
    int l = std::min(p1.x, p2.x), r = std::max(p1.x, p2.x);
    int t = std::min(p1.y, p2.y), b = std::max(p1.y, p2.y);
    if (r == l) r = l + 1;
    l = std::max(l, a.left);
    r = std::min(r, a.left + a.width + 1);
    t = std::max(t, a.bottom - a.height);
    b = std::min(b, a.bottom + 1);
    if (r <= l || b <= t) return;
    const CanvasPen pen = c.pen;
    const CanvasBrush brush = c.brush;
    c.pen.style = PenStyle::Clear;
    c.brush.style = BrushStyle::Solid;
    c.brush.color = colour;
    if (st.saving) {
        Metafile().PenUpToDate();
        Metafile().BrushUpToDate();
        Metafile().Rectangle(l, t, r + 1, b + 1);
    } else {
        c.Rectangle(l, t, r + 1, b + 1);
    }
    c.pen = pen;
    c.brush = brush;
}

float Cell(const Tdatatype& d, size_t row, size_t col) {
    if (row >= d.size() || col >= d[row].size()) return std::numeric_limits<float>::quiet_NaN();
    return d[row][col];
}

bool MultiAxis(const Tdatatype& d, int columns) {
    if (columns < 2) return false;
    for (int c = 1; c <= columns; ++c) {
        const float h = Cell(d, 0, c);
        if (std::isfinite(h)) {
            const double r = std::nearbyint(h);
            if (r >= 1 && r <= 4) return true;
        }
    }
    return false;
}

bool PadRange(double lo, double hi, double& low, double& high) {
    if (!std::isfinite(lo) || !std::isfinite(hi) || hi < lo) return false;
    const double pad = hi > lo ? (hi - lo) / 20 : 1;
    low = lo - pad;
    high = hi + pad;
    return true;
}

void PlotColumn(Tdatatype& d, int column, int style, size_t firstRow, int symbolKind) {
    auto& g = G();
    auto& st = C();
    ICanvas& c = *st.canvas;
    const bool extended = Cell(d, 0, 0) > 0.5f;
    int dash = 0;
    if (extended) {
        auto setting = [&](int row) {
            const float v = Cell(d, row, column);
            return std::isfinite(v) ? static_cast<int>(std::nearbyint(std::clamp(v, -1e9f, 1e9f))) : 0;
        };
        style = setting(1);
        c.pen.color = setting(2);
        if (setting(3) > 0) c.pen.width = setting(3) * st.multiplier;
        dash = setting(4);
        symbolKind = setting(5);
        g.symbol.size = setting(6);
        g.symbol.fill = setting(7);
    }
    g.dash = dash;
    const size_t rows = d.size();
    const bool canDraw = g.targetAxis != 0 ? (CurrentFrameRecord() && CurrentFrameRecord()->axes[g.targetAxis].drawn)
                                           : true;
    if ((style == 0 || style == 1) && canDraw) {
        bool moved = false;
        for (size_t r = firstRow; r < rows; ++r) {
            const double x = Cell(d, r, 0), y = Cell(d, r, column);
            if (!std::isfinite(x) || !std::isfinite(y)) {
                moved = false; // a gap: the line resumes at the next point
                continue;
            }
            if (!moved) {
                LineMove(x, y);
                moved = true;
            } else {
                LineDraw(x, y);
            }
        }
    }
    if (style == 0 || style == 2) {
        for (size_t r = firstRow; r < rows; ++r) {
            const double x = Cell(d, r, 0), y = Cell(d, r, column);
            if (std::isfinite(x) && std::isfinite(y)) QueueSymbol(x, y, symbolKind);
        }
        CompletePending();
    }
    if (style >= 3 && style <= 5 && canDraw) {
        double width = 1;
        if (rows > firstRow + 1) width = Cell(d, firstRow + 1, 0) - Cell(d, firstRow, 0);
        if (!std::isfinite(width)) width = 1;
        if (style == 4) width *= 0.7;
        if (style == 5) width *= 0.4;
        for (size_t r = firstRow; r < rows; ++r) {
            const double x = Cell(d, r, 0), y = Cell(d, r, column);
            if (std::isfinite(x) && std::isfinite(y)) DrawBar(x, y, width, c.pen.color);
        }
    }
    const int legendKind = (style == 0 || style == 2) ? 2 : style == 1 ? 0 : 1;
    AddLegendEntry(legendKind, std::string(1, '\xFF') + std::to_string(column));
    if (extended) {
        c.pen.width = st.multiplier;
        c.pen.style = PenStyle::Solid;
        g.dash = 0;
    }
}

} // namespace

// ================================================================ pass

void InitPlotLibrary() {
    auto& g = G();
    InitSettings();
    Init3D();
    ResetZoom(0);
    g.needsInit = false;
    g.phase = 0;
    C().canvas = nullptr;
    C().multiplier = 1;
    C().originX = C().originY = 0;
    g.phase = 0;
    g.fontCount = 0;
    g.fontName.clear();
    g.fontSize = 0;
    g.buffers.assign(1, Tbuftype{});
    g.legend.clear();
}

void SetPrintingMode(ICanvas* printer) { G().printer = printer; }
void SetSavingMode(bool on) { G().saving = on; }
void SetResolutionMultiplier(int m) { C().multiplier = std::max(1, m); }
void SetCanvasOrigin(int x, int y) {
    C().originX = x;
    C().originY = y;
}

void StartGraph(ICanvas& canvas, int width, int height, TColor back, TColor fore, float fontScale,
                const std::string& ownerName) {
    auto& g = G();
    if (g.needsInit) InitPlotLibrary();
    g.paintCanvas = &canvas;
    g.paintWidth = width;
    g.paintHeight = height;
    g.ownerName = ownerName;
    if (g.printer || g.saving) {
        const CanvasFont keep = canvas.font;
        canvas.font.size = 16;
        canvas.font.bold = true;
        const std::string text = g.printer ? "PRINTING ..." : "SAVING ...";
        canvas.textAlign = 0;
        canvas.TextOut(width / 2 - canvas.TextWidth(text) / 2, height / 2 - 8, text);
        canvas.font = keep;
    }
    C().canvas = g.printer ? g.printer : &canvas;
    C().width = width * C().multiplier;
    C().height = height * C().multiplier;
    C().saving = g.saving && Metafile().IsOpen();
    ResetGraphState(back, fore, !g.saving, fontScale);
    if (C().saving) Metafile().Start(false);
}

void ResetGraphState(TColor back, TColor fore, bool clearBackground, float fontScale) {
    auto& g = G();
    auto& st = C();
    if (!st.canvas) return;
    ICanvas& c = *st.canvas;
    st.back = back;
    g.backStart = back;
    c.brush.color = back;
    c.brush.style = BrushStyle::Solid;
    st.fore = fore;
    g.foreStart = fore;
    c.pen.color = fore;
    c.pen.style = PenStyle::Solid;
    c.pen.width = st.multiplier;
    c.mixMode = R2_COPYPEN;
    g.contrast = fore == back ? static_cast<TColor>(~static_cast<uint32_t>(back)) : fore;
    if (clearBackground) {
        c.Rectangle(st.originX, st.originY, st.originX + st.width, st.originY + st.height);
    }
    g.fontScale = fontScale == 0.0f || !std::isfinite(fontScale) ? 1.0f : fontScale;
    SetupLabelFont();
    for (int i = 1; i <= kMaxFrames; ++i) {
        FrameRecord& f = g.frames[i];
        const double zxl = f.zoomXLow, zxh = f.zoomXHigh;
        const float zyl = f.zoomYLow, zyh = f.zoomYHigh;
        f = FrameRecord{};
        f.zoomXLow = zxl;
        f.zoomXHigh = zxh;
        f.zoomYLow = zyl;
        f.zoomYHigh = zyh;
    }
    for (auto& r : g.axisRecords) r = AxisRecord{};
    g.frameCount = 0;
    g.current = 0;
    g.symbols.clear();
    g.pendingPixel = false;
    g.legend.clear();
    g.columnSlots.clear();
    g.symbol = Symbol{};
    g.phase = 1;
    g.targetAxis = 0; // pixel mode
    g.haveLast = false;
    g.dash = 0;
    g.thinning = -1;
    c.pen.color = st.fore;
    st.singleColour = false;
    Reset3D();
    if (!g.printer && !g.saving) {
        if (g.buffers.empty()) g.buffers.assign(1, Tbuftype{});
        Tbuftype& b = g.buffers[0];
        b = Tbuftype{};
        b.width = st.width;
        b.height = st.height;
        b.formName = g.ownerName;
        SetGraphBuffer3D(b);
    }
    g.captions.assign(kDefaultCaptions, kDefaultCaptions + 5);
    ResetSettingsScope(1);
}

void EndGraph() {
    if (!Open()) return;
    CompletePending();
    // The pass is over: the canvas belongs to a paint event that is ending.
    G().phase = 0;
    C().canvas = nullptr;
}

void SetPenWidth(int width) {
    if (width > 0 && C().canvas) C().canvas->pen.width = width * C().multiplier;
}

// ================================================================ frames

void SetFrame(int x1, int x2, int y1, int y2, int leftMargin, int rightMargin, int topMargin, int bottomMargin,
              bool unclipped) {
    auto& g = G();
    auto& st = C();
    if (!Open()) return;
    if (g.frameCount >= kMaxFrames) {
        if (FrameRecord* f = CurrentFrameRecord()) f->valid = false;
        return;
    }
    CompletePending();
    ++g.frameCount;
    g.current = g.frameCount;
    if (!g.buffers.empty()) g.buffers[0].frames = g.frameCount;
    FrameRecord& f = g.frames[g.current];
    const int m = st.multiplier;
    if (x1 > x2) std::swap(x1, x2);
    x1 = std::max(x1, 0);
    x2 = std::min(x2, 100);
    if (y1 > y2) std::swap(y1, y2);
    y1 = std::max(y1, 0);
    y2 = std::min(y2, 100);
    f.left = RoundInt(x1 / 100.0 * st.width) + st.originX;
    f.right = RoundInt(x2 / 100.0 * st.width) + st.originX;
    f.top = RoundInt(y1 / 100.0 * st.height) + st.originY;
    f.bottom = RoundInt(y2 / 100.0 * st.height) + st.originY;
    const int64_t left = f.left + static_cast<int64_t>(leftMargin) * m;
    const int64_t right = f.right - static_cast<int64_t>(rightMargin) * m;
    const int64_t top = f.top + static_cast<int64_t>(topMargin) * m;
    const int64_t bottom = f.bottom - static_cast<int64_t>(bottomMargin) * m;
    g.area.left = RoundInt(static_cast<double>(left));
    g.area.bottom = RoundInt(static_cast<double>(bottom));
    g.area.width = RoundInt(static_cast<double>(right - left));
    g.area.height = RoundInt(static_cast<double>(bottom - top));
    f.valid = g.area.width > 0 && g.area.height > 0;
    g.area.aspect = g.area.height > 0 ? static_cast<float>(g.area.width) / g.area.height : 1.0f;
    View3D().mode = false;
    f.unclipped = unclipped && f.zoomXLow <= 0 && f.zoomXHigh >= 1 && f.zoomYLow <= 0 && f.zoomYHigh >= 1;
    f.readout = ReadoutBinding{};
    for (auto& a : f.axes) a.drawn = false;
    f.axes[0].pixelOrigin = g.area.left;
    f.axes[0].pixelLength = g.area.width;
    ICanvas& c = *st.canvas;
    c.pen.width = m;
    c.pen.style = PenStyle::Solid;
    c.brush.color = st.back;
    c.brush.style = BrushStyle::Solid;
    AxisRecord& ar = g.axisRecords[g.current];
    ar = AxisRecord{};
    ar.valid = f.valid;
    auto scaled = [&](int64_t v, int origin) { return RoundInt(static_cast<double>(v - origin) / m); };
    ar.left = scaled(left, st.originX);
    ar.top = scaled(top, st.originY);
    ar.right = scaled(right, st.originX);
    ar.bottom = scaled(bottom, st.originY);
    g.thinning = -1;
    g.dash = 0;
    st.fore = g.foreStart;
    st.back = g.backStart;
    st.singleColour = false;
    g.plainOutput = false;
    c.mixMode = R2_COPYPEN;
    if (st.saving) Metafile().MixMode(R2_COPYPEN);
    DefaultAxisNames3D();
    g.targetAxis = 0;
    g.haveLast = false;
    g.phase = 2;
    g.axisRecords[0] = ar;
    ResetSettingsScope(2);
}

void ResetZoom(int frame) {
    auto& g = G();
    if (frame < 0 || frame > kMaxFrames) return;
    auto reset = [&](int n) {
        FrameRecord& f = g.frames[n];
        f.zoomXLow = 0;
        f.zoomXHigh = 1;
        f.zoomYLow = 0;
        f.zoomYHigh = 1;
        for (auto& a : f.axes) {
            a.zoomLow = 0;
            a.zoomHigh = 1;
        }
        SetFrameView3D(n, 0.0f, 1.0f);
    };
    if (frame == 0) {
        for (int n = 1; n <= kMaxFrames; ++n) reset(n);
        g.zoomedFrame = 0;
    } else {
        reset(frame);
    }
}

// ================================================================ axes

void DrawXAxis(PlotColour colour, const std::string& caption, int grid, float min, float max, float step, float minSpan,
               bool logarithmic, bool fixedLabels) {
    DrawAxis({.isX = true, .colour = colour, .caption = caption, .min = min, .max = max, .step = step,
              .minSpan = minSpan, .grid = grid != 0, .logarithmic = logarithmic, .fixedLabels = fixedLabels});
}

void DrawYAxis(PlotColour colour, const std::string& caption, int kind, float min, float max, float step, float minSpan,
               bool grid, bool logarithmic, bool fixedLabels) {
    DrawAxis({.isX = false, .colour = colour, .caption = caption, .kind = kind, .min = min, .max = max,
              .step = step, .minSpan = minSpan, .grid = grid, .logarithmic = logarithmic,
              .fixedLabels = fixedLabels});
}

// ================================================================ data

void CreateDataArray(Tdatatype& data, int rows, int columns) {
    rows = std::max(rows, 0);
    columns = std::max(columns, 0);
    data.assign(rows + 1, std::vector<float>(columns + 1, 0.0f));
    for (int r = 0; r <= rows; ++r) data[r][0] = static_cast<float>(r);
    for (int c = 1; c <= columns; ++c) data[0][c] = static_cast<float>(c);
}

int MapX(double x) {
    const FrameRecord* f = CurrentFrameRecord();
    if (f && f->axes[0].drawn) return MapWith(G().sx, x, false);
    return MapPoint(x, 0).x;
}

int MapY(double y) {
    if (G().targetAxis != 0) return MapWith(G().sy, y, true);
    return MapPoint(0, y).y;
}

void PlotData(Tdatatype& d, int style, int readout) {
    auto& g = G();
    if (!Open() || View3D().mode || d.empty()) return;
    const size_t firstRow = Cell(d, 0, 0) > 0.5f ? 8 : 1;
    if (d.size() <= firstRow) return;
    const int columns = static_cast<int>(d[0].size()) - 1;
    if (columns < 1) return;
    const bool multi = MultiAxis(d, columns);
    const size_t lastRow = d.size() - 1;

    if (g.phase == 1) {
        SetFrame(0, 100, 0, 100, 35, 20, 25, 35, false);
        if (g.phase != 2) return;
    }
    if (g.phase == 2) {
        double low, high;
        if (!PadRange(Cell(d, firstRow, 0), Cell(d, lastRow, 0), low, high)) return;
        DrawXAxis(C().fore, g.captions[0], 0, static_cast<float>(low), static_cast<float>(high), 0, 0, false, false);
        if (g.phase != 3) return;
    }
    auto columnRange = [&](auto&& useColumn, double& lo, double& hi) {
        lo = std::numeric_limits<double>::infinity();
        hi = -lo;
        for (int c = 1; c <= columns; ++c) {
            if (!useColumn(c)) continue;
            for (size_t r = firstRow; r <= lastRow; ++r) {
                const float v = Cell(d, r, c);
                if (!std::isfinite(v)) continue;
                lo = std::min(lo, static_cast<double>(v));
                hi = std::max(hi, static_cast<double>(v));
            }
        }
    };
    auto headerAxis = [&](int c) {
        const float h = Cell(d, 0, c);
        if (!std::isfinite(h)) return 0;
        const double r = std::nearbyint(h);
        return r >= 1 && r <= 4 ? static_cast<int>(r) : 0;
    };
    if (!multi && g.phase == 3) {
        double lo, hi, low, high;
        columnRange([](int c) { return c == 1; }, lo, hi);
        if (!PadRange(lo, hi, low, high)) return;
        DrawYAxis(C().fore, g.captions[1], 1, static_cast<float>(low), static_cast<float>(high), 0, 0, false, false,
                  false);
        if (g.phase == 3) return;
    }
    if (multi) {
        for (int axis = 1; axis <= 4; ++axis) {
            FrameRecord* f = CurrentFrameRecord();
            if (!f || f->axes[axis].drawn) continue;
            double lo, hi, low, high;
            columnRange([&](int c) { return headerAxis(c) == axis; }, lo, hi);
            if (!(hi > lo) || !PadRange(lo, hi, low, high)) continue;
            DrawYAxis(kAutoAxisColours[axis], g.captions[axis], axis, static_cast<float>(low),
                      static_cast<float>(high), 0, 0, false, false, false);
        }
    }
    if (!g.symbol.defined) {
        g.symbol = Symbol{};
        g.symbol.defined = true;
    }
    g.symbols.clear();
    g.columnSlots.assign(columns + 1, legendtype{});

    FrameRecord* f = CurrentFrameRecord();
    int firstAxis = 0, firstColumn = 0;
    if (!multi) {
        if (g.targetAxis == 0 || (f && !f->axes[g.targetAxis].drawn)) {
            for (int a = 1; a <= 4 && f; ++a)
                if (f->axes[a].drawn && SelectTarget(a)) break;
        }
        firstAxis = g.targetAxis;
        firstColumn = 1;
        PlotColumn(d, 1, style, firstRow, g.symbol.kind);
    } else {
        int counters[5] = {0, 0, 0, 0, 0};
        for (int c = 1; c <= columns; ++c) {
            const int h = headerAxis(c);
            if (h == 0 || !SelectTarget(h)) continue;
            if (firstColumn == 0) {
                firstColumn = c;
                firstAxis = h;
            }
            PlotColumn(d, c, style, firstRow, ++counters[h]);
        }
    }
    if (f) {
        f->readout.bound = true;
        f->readout.enabled = (readout & 8) == 0;
        int mode = readout & 7;
        if (mode == 3 && !multi) mode = 2;
        f->readout.mode = mode;
        f->readout.firstAxis = firstAxis;
        f->readout.firstColumn = firstColumn;
        f->readout.data = d;
    }
}

// ================================================================ legend, readout

void AddLegendEntry(int kind, const std::string& text) {
    auto& g = G();
    auto& st = C();
    if (kind > 5 || kind < 0 || !st.canvas) return;
    ICanvas& c = *st.canvas;
    TColor colour;
    if (g.plainOutput) colour = st.fore;
    else {
        switch (kind) {
        case 1: colour = c.brush.color; break;
        case 2: case 3: colour = c.pen.color; break; // the symbols take the pen colour
        default: colour = c.pen.color; break;
        }
    }
    if (kind != 5 && ColorToRGB(colour) == ColorToRGB(st.back)) return;
    legendtype e;
    e.text = text;
    e.kind = kind;
    e.colour = colour;
    if (kind == 0 || kind == 4) {
        e.penWidth = c.pen.width;
        e.style = static_cast<int>(c.pen.style);
    }
    if (kind == 2 || kind == 3 || kind == 5) e.fill = static_cast<uint8_t>(std::clamp(g.symbol.fill, 0, 255));
    if (kind == 1 || kind == 5) e.style = static_cast<int>(c.brush.style);
    e.dashOn = g.dash;
    e.dashPeriod = g.dash;
    if (!text.empty() && static_cast<unsigned char>(text[0]) == 255) {
        const std::string digits = text.substr(1, 9);
        int column = 0;
        for (char ch : digits) {
            if (ch < '0' || ch > '9') break;
            column = column * 10 + (ch - '0');
        }
        // A slot outside the data set's columns is ignored.
        if (column > 0 && column < static_cast<int>(g.columnSlots.size())) {
            e.text = std::string(1, '\xFF');
            g.columnSlots[column] = e;
        }
        return;
    }
    for (const auto& l : g.legend)
        if (l.text == text && l.kind == kind) return;
    g.legend.push_back(e);
}

void FormatSignificant(int digits, std::string& text, float value) {
    const int d = std::clamp(digits, 1, 12);
    if (value == 0 || !std::isfinite(value)) {
        text = value == 0 ? "0" : (std::isnan(value) ? "NAN" : value > 0 ? "INF" : "-INF");
        return;
    }
    const double a = std::fabs(static_cast<double>(value));
    int k = static_cast<int>(std::trunc(std::clamp(std::log10(a), -400.0, 400.0)));
    if (a >= 1) ++k;
    std::string out;
    if (k > d + 1 || k < -1) {
        // Exponent notation from the single's own seven significant digits.
        char buf[64];
        const auto r = std::to_chars(buf, buf + sizeof buf, a, std::chars_format::scientific, 6);
        const std::string sci(buf, r.ptr);
        const size_t letter = sci.find('e');
        std::string mant = sci.substr(0, letter);
        const int exponent = std::atoi(sci.c_str() + letter + 1);
        while (mant.size() < 13) mant += '0';
        out = mant.substr(0, d + 1);
        out += GetSettingValue(4) <= 0 ? 'E' : 'e';
        if (exponent < 0) out += '-';
        const int e = std::abs(exponent) % 100;
        if (e / 10 != 0) out += static_cast<char>('0' + e / 10);
        out += static_cast<char>('0' + e % 10);
    } else {
        out = FormatFixed(std::fabs(value), std::max(d - k, 0));
        if (d < k) {
            int seen = 0;
            for (char& ch : out) {
                if (ch < '0' || ch > '9') break;
                if (++seen > d) ch = '0';
            }
        }
    }
    text = value < 0 ? "-" + out : out;
}

void DataReadoutText(int row, int column, std::string& text) {
    const FrameRecord* f = CurrentFrameRecord();
    text.clear();
    if (!f || !f->readout.bound) return;
    const Tdatatype& d = f->readout.data;
    if (row < 0 || static_cast<size_t>(row) >= d.size()) return;
    auto significant = [](float v) {
        std::string s;
        FormatSignificant(6, s, v);
        return s;
    };
    text = "N=" + std::to_string(row) + " X=" + significant(Cell(d, row, 0));
    if (f->readout.mode == 2) text += " Y=" + significant(Cell(d, row, f->readout.firstColumn));
    else if (f->readout.mode == 3) text += " / NY=" + std::to_string(column) + " Y=" + significant(Cell(d, row, column));
}

// ================================================================ state

int Phase() { return G().phase; }
int FrameCount() { return G().frameCount; }
int CurrentFrame() { return G().current; }
const FrameRecord& Frame(int n) { return G().frames[std::clamp(n, 0, kMaxFrames)]; }
const AxisRecord& Axes(int n) { return G().axisRecords[std::clamp(n, 0, kMaxFrames)]; }
PlotArea CurrentPlotArea() { return G().area; }
TColor ContrastColour() { return G().contrast; }
ICanvas* Canvas() { return C().canvas; }
const std::vector<legendtype>& Legend() { return G().legend; }
const std::vector<legendtype>& LegendSlots() { return G().columnSlots; }
const Tbuftype& GraphBuffer() {
    static const Tbuftype empty;
    return G().buffers.empty() ? empty : G().buffers[0];
}
const std::vector<std::string>& Captions() { return G().captions; }

namespace {
// The unit's initialisation.
struct Init {
    Init() { InitPlotLibrary(); }
} init;
} // namespace

} // namespace orvane::plot
