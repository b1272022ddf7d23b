#include "plotgraph3d.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace orvane::plot {

View3DState& View3D() {
    static View3DState state;
    return state;
}

void Init3D() {
    auto& v = View3D();
    v.cross.assign(1, CrossPoint{0, 0, 0, -1.0f});
    v.crossOptions = 4;
    v.lastCount = 0;
    v.requestedPoints = -1;
    for (int i = 0; i < 25; ++i) {
        const double rad = i * 15 * M_PI / 180.0;
        v.sines[i] = static_cast<float>(std::sin(rad));
        v.cosines[i] = static_cast<float>(std::cos(rad));
    }
    v.lower = 0;
    v.upper = 0;
    SetColourScale({clBlack, clWhite}, 0, 1, false, 1);
    DefaultAxisNames3D();
}

void Reset3D() {
    auto& v = View3D();
    v.mode = false;
    v.viewSwitches = false;
    v.views.fill(ViewRecord3D{});
    Common().fillMode = 1;
    Common().shade = 0.5f;
    v.viewScale = 1.0f;
}

void SetAxisNames3D(const std::array<std::string, 3>& names, const std::array<std::string, 3>& negatives) {
    auto& v = View3D();
    static const char* letters[3] = {"X", "Y", "Z"};
    for (int i = 0; i < 3; ++i) {
        v.axes[i].name = names[i].empty() ? letters[i] : names[i];
        v.axes[i].negative = negatives[i].empty() ? std::string("-") + letters[i] : negatives[i];
        v.axes[i].divisions = 0;
        v.axes[i].box = v.axes[i].labels = false;
    }
}

void DefaultAxisNames3D() { SetAxisNames3D({"", "", ""}, {"", "", ""}); }

void SetFrameView3D(int frame, float low, float high) {
    if (frame < 1 || frame > 8) throw PlotRangeError("frame out of range");
    auto& r = View3D().views[frame - 1];
    r.zoomLow = low;
    r.zoomHigh = high;
    r.frame = frame;
}

void SetGraphBuffer3D(const Tbuftype& buffer) { View3D().buffer = buffer; }

void SetColourScale(const std::vector<TColor>& colours, float lower, float upper, bool logarithmic, int step) {
    auto& v = View3D();
    const size_t n = colours.size();
    if (n == 1) {
        v.scale.fill(colours[0]);
    } else if (n >= 256) {
        for (int i = 0; i < 256; ++i) v.scale[i] = colours[static_cast<size_t>(std::nearbyint(i * (n - 1) / 255.0))];
    } else if (n > 1) {
        for (int i = 0; i < 256; ++i) {
            const double pos = i * static_cast<double>(n - 1) / 255.0;
            const size_t lo = std::min(static_cast<size_t>(pos), n - 2);
            const int frac = static_cast<int>(std::nearbyint((pos - lo) * 256));
            v.scale[i] = MixColours(colours[lo], colours[lo + 1], 256 - frac, frac);
        }
        v.scale[0] = ColorToRGB(colours.front());
        v.scale[255] = ColorToRGB(colours.back());
    }
    for (int i = 0; i < 256; ++i) v.scaleSwapped[i] = SwapRedBlue(ColorToRGB(v.scale[i]));
    if (std::isfinite(lower) && std::isfinite(upper) && (lower != 0 || upper != 0)) {
        v.lower = std::min(lower, upper);
        v.upper = std::max(lower, upper);
    }
    v.logarithmic = logarithmic && v.lower > 0;
    if (v.upper <= v.lower) {
        if (v.logarithmic) {
            v.lower = v.lower / 1.4f;
            v.upper = v.lower * 2;
        } else {
            const float mid = v.lower;
            v.lower = mid - 0.5f;
            v.upper = mid + 0.5f;
        }
    }
    v.factor = v.logarithmic ? static_cast<float>(255.0 / (std::log(v.upper) - std::log(v.lower)))
                             : 255.0f / (v.upper - v.lower);
    v.step = std::max(step, 1);
    SetColourStep(v.step);
}

TColor ScaleColour(float value) {
    const auto& v = View3D();
    double f;
    if (v.logarithmic) f = value > 0 ? (std::log(value) - std::log(v.lower)) * v.factor : 0;
    else f = (value - v.lower) * v.factor;
    if (!std::isfinite(f)) f = 0;
    return v.scale[static_cast<size_t>(std::clamp(static_cast<int>(f), 0, 255))];
}

float TableSin(int degrees) {
    const int a = ((degrees % 360) + 360) % 360;
    if (a % 15 == 0) return View3D().sines[a / 15];
    return static_cast<float>(std::sin(a * M_PI / 180.0));
}

float TableCos(int degrees) {
    const int a = ((degrees % 360) + 360) % 360;
    if (a % 15 == 0) return View3D().cosines[a / 15];
    return static_cast<float>(std::cos(a * M_PI / 180.0));
}

void SetMissingValue(float marker) {
    View3D().missing = marker;
    View3D().missingSet = true;
}

namespace {
// The cell of a sorted (either direction) header list that holds v.
int FindCell(const std::vector<float>& axis, float v) {
    const int n = static_cast<int>(axis.size());
    if (n < 2) return 0;
    const bool up = axis[n - 1] >= axis[0];
    for (int i = 0; i < n - 1; ++i) {
        const float a = axis[i], b = axis[i + 1];
        if (up ? (v >= a && v <= b) : (v <= a && v >= b)) return i;
    }
    return n - 2;
}
} // namespace

float SurfaceValue(const Tdatatype& grid, float x, float y, bool smooth) {
    auto& v = View3D();
    // Rows hold y, columns hold x; row 0 and column 0 are the coordinates.
    const int rows = static_cast<int>(grid.size()) - 1;
    if (rows < 1 || grid[0].size() < 2) return 0;
    const int cols = static_cast<int>(grid[0].size()) - 1;
    std::vector<float> xs(cols), ys(rows);
    for (int c = 0; c < cols; ++c) xs[c] = grid[0][c + 1];
    for (int r = 0; r < rows; ++r) ys[r] = grid[r + 1].empty() ? 0 : grid[r + 1][0];
    auto clampTo = [](const std::vector<float>& axis, float val) {
        const auto [lo, hi] = std::minmax_element(axis.begin(), axis.end());
        return std::clamp(val, *lo, *hi);
    };
    x = clampTo(xs, x);
    y = clampTo(ys, y);
    const int c0 = FindCell(xs, x), r0 = FindCell(ys, y);
    // A one-row or one-column grid has no second corner in that direction.
    const int c1 = std::min(c0 + 1, cols - 1), r1 = std::min(r0 + 1, rows - 1);
    auto at = [&](int r, int c) {
        const auto& row = grid[r + 1];
        return static_cast<size_t>(c + 1) < row.size() ? row[c + 1] : 0.0f;
    };
    const float A = at(r0, c0), B = at(r0, c1), Cc = at(r1, c0), D = at(r1, c1);
    if (v.missingSet) {
        for (float corner : {A, B, Cc, D})
            if (corner == v.missing) return v.missing;
    }
    const float u = c1 != c0 && xs[c1] != xs[c0] ? (x - xs[c0]) / (xs[c1] - xs[c0]) : 0.0f;
    const float w = r1 != r0 && ys[r1] != ys[r0] ? (y - ys[r0]) / (ys[r1] - ys[r0]) : 0.0f;
    if (smooth) return A * (1 - u) * (1 - w) + B * u * (1 - w) + Cc * (1 - u) * w + D * u * w;
    float centre;
    const float ad = (A + D) / 2, bc = (B + Cc) / 2;
    switch (v.cellMode) {
    case 2: centre = ad; break;
    case 3: centre = bc; break;
    case 4: centre = std::max(ad, bc); break;
    case 5: centre = std::min(ad, bc); break;
    case 6: centre = ((r0 < v.divideRow) == (c0 < v.divideColumn)) ? ad : bc; break;
    case 7: centre = ((r0 < v.divideRow) == (c0 < v.divideColumn)) ? bc : ad; break;
    default: centre = (A + B + Cc + D) / 4; break;
    }
    // Linear inside the triangle (of the four the diagonals make) that holds (u, w).
    const float du = u - 0.5f, dw = w - 0.5f;
    float p1, p2; // the two corners of the triangle's outer edge
    float t;      // position along that edge
    float s;      // distance from the centre toward the edge, 0..1
    if (std::fabs(du) >= std::fabs(dw)) {
        if (du >= 0) { p1 = B; p2 = D; }
        else { p1 = A; p2 = Cc; }
        s = 2 * std::fabs(du);
        t = s > 0 ? 0.5f + dw / s : 0.5f;
    } else {
        if (dw >= 0) { p1 = Cc; p2 = D; }
        else { p1 = A; p2 = B; }
        s = 2 * std::fabs(dw);
        t = s > 0 ? 0.5f + du / s : 0.5f;
    }
    const float edge = p1 + (p2 - p1) * std::clamp(t, 0.0f, 1.0f);
    return centre + (edge - centre) * s;
}

bool CrossSection(const Tdatatype& grid, float x1, float y1, float x2, float y2, int count, bool askUser,
                  const CrossSectionUi& ui) {
    auto& v = View3D();
    int n = v.requestedPoints > 0 ? v.requestedPoints : count;
    if ((v.crossOptions & 2) && askUser) {
        std::string answer = std::to_string(n);
        if (!ui.ask || !ui.ask("Create cross-setction", "How many data points in the cross-section array?", answer))
            return false;
        char* end = nullptr;
        const long asked = std::strtol(answer.c_str(), &end, 10);
        if (answer.empty() || *end != '\0') return false;
        n = static_cast<int>(std::clamp(asked, 0L, 1000000L));
    }
    n = std::max(n, 2); // a section needs both ends
    v.cross.assign(n, CrossPoint{});
    for (int i = 0; i < n; ++i) {
        const float f = static_cast<float>(i) / (n - 1);
        CrossPoint& p = v.cross[i];
        p.x = x1 + (x2 - x1) * f;
        p.y = y1 + (y2 - y1) * f;
        const float value = SurfaceValue(grid, p.x, p.y, false);
        p.value = v.missingSet && value == v.missing ? 0.0f : value;
        p.distance = std::hypot(p.x - x1, p.y - y1);
    }
    v.lastX1 = x1;
    v.lastY1 = y1;
    v.lastX2 = x2;
    v.lastY2 = y2;
    v.lastCount = n;
    if (v.crossOptions & 4) {
        // The surface's extent: the x header and the y of every row that has one.
        std::vector<float> ys;
        for (size_t r = 1; r < grid.size(); ++r)
            if (!grid[r].empty()) ys.push_back(grid[r][0]);
        bool inside = !ys.empty() && grid[0].size() >= 2;
        if (inside) {
            const auto [xlo, xhi] = std::minmax_element(grid[0].begin() + 1, grid[0].end());
            const auto [ylo, yhi] = std::minmax_element(ys.begin(), ys.end());
            const float hx = grid[0].size() > 2 ? std::fabs(grid[0][2] - grid[0][1]) / 2 : 0;
            const float hy = ys.size() > 1 ? std::fabs(ys[1] - ys[0]) / 2 : 0;
            for (auto [px, py] : {std::pair{x1, y1}, std::pair{x2, y2}})
                if (px < *xlo - hx || px > *xhi + hx || py < *ylo - hy || py > *yhi + hy) inside = false;
        }
        const std::string text = "Cross-section of " + std::to_string(n) + " points created";
        if (inside) {
            if (ui.message) ui.message(text);
        } else if (ui.warning) {
            ui.warning("Cross section", text + " but some\npoints may have fallen outside the surface");
        }
    }
    return true;
}

} // namespace orvane::plot
