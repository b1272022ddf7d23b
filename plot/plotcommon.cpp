#include "plotcommon.h"

#include "Metafile.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <limits>

namespace orvane::plot {

int RoundInt(double v) {
    if (!std::isfinite(v)) throw PlotRangeError("value out of range");
    const double r = std::nearbyint(v);
    if (r < std::numeric_limits<int32_t>::min() || r > std::numeric_limits<int32_t>::max())
        throw PlotRangeError("value out of range");
    return static_cast<int>(r);
}

std::string FormatFixed(double value, int decimals) {
    if (!std::isfinite(value)) value = 0;
    char buf[400];
    const auto r = std::to_chars(buf, buf + sizeof buf, value, std::chars_format::fixed, std::clamp(decimals, 0, 40));
    std::string s(buf, r.ec == std::errc() ? r.ptr : buf);
    if (s.size() > 1 && s[0] == '-' && s.find_first_not_of("-0.") == std::string::npos) s.erase(0, 1);
    return s;
}

CommonState& Common() {
    static CommonState state;
    return state;
}

// ---------------------------------------------------------------- settings

const std::array<setting, 39> SettingsTable = {{
    {1, 1, 0, 1, 1, "antialias font"},
    {2, 20, 10, 100, 1, "legend breedte"},
    {3, 0, 0, 1, 1, "mode colour scale"},
    {4, 0, 0, 1, 1, "symbol exponent"},
    {5, 0, 0, 1, 1, "disable zoom autoredraw"},
    {10, 1000, 1, 100000, 0, "max zoom depth"},
    {11, 2, 1, 100, 0, "min log ratio"},
    {20, 5, 1, 100, 0, "label dist X float"},
    {21, 8, 1, 100, 0, "label dist X exp"},
    {22, 1, 0.2f, 5, 0, "fineness log X"},
    {23, 1, 0, 3, 0, "major ticsize X"},
    {24, 0.6f, 0, 1, 0, "minor ticsize X"},
    {25, 0, -90, 90, 1, "angle text X"},
    {26, 0, 0, 0, 0, "format sci labels X"},
    {40, 2, 1, 100, 0, "label dist Y"},
    {41, 0, 0, 1, 1, "rotate vert caption Y"},
    {42, 1, 0.2f, 5, 0, "fineness log Y"},
    {43, 1, 0, 3, 0, "major ticsize Y"},
    {44, 0.6f, 0, 1, 0, "minor ticsize Y"},
    {45, 0, -90, 90, 1, "angle text Y"},
    {46, 0, 0, 0, 0, "format sci labels Y"},
    {60, 2, 1, 100, 0, "label dist R"},
    {61, 20, 1, 1000, 0, "max zoom depth R"},
    {62, 1, 0.1f, 10, 0, "fineness grid polar"},
    {63, 1, 0, 3, 0, "major ticsize R"},
    {64, 0.6f, 0, 1, 0, "minor ticsize R"},
    {66, 0, 0, 0, 0, "format sci labels R"},
    {100, 5, 1, 100, 0, "label dist X 1"},
    {101, 2, 1, 100, 0, "label dist X 2"},
    {102, 1, 0, 3, 0, "ticsize X"},
    {110, 5, 1, 100, 0, "label dist Y 1"},
    {111, 2, 1, 100, 0, "label dist Y 2"},
    {112, 1, 0, 3, 0, "ticsize Y"},
    {120, 5, 1, 100, 0, "label dist Z 1"},
    {121, 2, 1, 100, 0, "label dist Z 2"},
    {122, 0.6f, 0, 3, 0, "ticsize Z"},
    {130, 5, 1, 100, 0, "label dist R 1"},
    {131, 2, 1, 100, 0, "label dist R 2"},
    {132, 1, 0, 3, 0, "ticsize R"},
}};

namespace {
struct SettingsState {
    int highestId = 0;
    std::vector<float> values;
    std::vector<uint8_t> markers;
    std::vector<uint8_t> index;
    int scope = 0;
    bool built = false;
};
SettingsState& Settings() {
    static SettingsState s;
    return s;
}
constexpr int kSlots = static_cast<int>(SettingsTable.size()) + 1;

std::array<int, 256>& QuantTable() {
    static std::array<int, 256> table{};
    return table;
}
} // namespace

void InitSettings() {
    auto& s = Settings();
    s.highestId = 0;
    for (const auto& r : SettingsTable) s.highestId = std::max(s.highestId, static_cast<int>(r.id));
    s.values.assign(kSlots, 0.0f);
    for (int k = 1; k < kSlots; ++k) s.values[k] = SettingsTable[k - 1].value;
    s.markers.assign(kSlots, 255);
    s.index.assign(s.highestId + 1, 0);
    for (int k = 1; k < kSlots; ++k) s.index[SettingsTable[k - 1].id] = static_cast<uint8_t>(k);
    ResetSetting(0);
    s.values[0] = -1.0f;
    s.built = true;
    SetColourStep(1);
}

void ResetSetting(int id) {
    auto& s = Settings();
    if (id == 0) {
        s.scope = 0;
        return;
    }
    if (id < 1 || id > s.highestId) return;
    const int slot = s.index[id];
    if (slot == 0) return;
    s.values[slot] = SettingsTable[slot - 1].value;
    s.markers[slot] = 255;
}

void ResetSettingsScope(int scope) {
    auto& s = Settings();
    for (int k = 1; k < kSlots; ++k) {
        if ((scope == s.scope && s.markers[k] == 255) || static_cast<int8_t>(s.markers[k]) == scope)
            s.values[k] = SettingsTable[k - 1].value;
    }
}

float GetSettingValue(int id) {
    auto& s = Settings();
    if (!s.built) InitSettings();
    if (id < 0 || id > s.highestId) throw PlotRangeError("setting id out of range");
    return s.values[s.index[id]];
}

int GetSettingInt(int id) { return static_cast<int>(std::nearbyint(GetSettingValue(id))); }

// ---------------------------------------------------------------- colours

int ChannelRed(TColor c) { return GetRValue(ColorToRGB(c)); }
int ChannelGreen(TColor c) { return GetGValue(ColorToRGB(c)); }
int ChannelBlue(TColor c) { return GetBValue(ColorToRGB(c)); }

TColor MixColours(TColor a, TColor b, int wa, int wb) {
    if (wa < 0 || wb < 0 || (wa == 0 && wb == 0)) return clBlack;
    const int64_t sum = static_cast<int64_t>(wa) + wb;
    auto mix = [&](int ca, int cb) {
        return static_cast<int>((static_cast<int64_t>(wa) * ca + static_cast<int64_t>(wb) * cb) / sum);
    };
    return RGB(mix(ChannelRed(a), ChannelRed(b)), mix(ChannelGreen(a), ChannelGreen(b)),
                     mix(ChannelBlue(a), ChannelBlue(b)));
}

TColor SwapRedBlue(TColor c) {
    const uint32_t u = static_cast<uint32_t>(c);
    return static_cast<TColor>(((u & 0xFF) << 16) | (u & 0xFF00) | ((u >> 16) & 0xFF));
}

void SetColourStep(int step) {
    step = std::clamp(step, 1, 255);
    auto& table = QuantTable();
    const bool rounding = Settings().built && GetSettingValue(3) != 0.0f;
    for (int i = 0; i < 256; ++i) {
        if (step == 1) table[i] = i;
        else if (rounding)
            table[i] = std::min(255, static_cast<int>(std::nearbyint(static_cast<double>(i) / step)) * step);
        else table[i] = step * (i / step);
    }
}

int QuantisedLevel(int level) { return QuantTable()[std::clamp(level, 0, 255)]; }

ShadeRegion ShadeRegion::Ellipse(int l, int t, int r, int b) {
    ShadeRegion g;
    g.ellipse = true;
    g.left = std::min(l, r);
    g.right = std::max(l, r);
    g.top = std::min(t, b);
    g.bottom = std::max(t, b);
    return g;
}

ShadeRegion ShadeRegion::Polygon(const std::vector<CanvasPoint>& points) {
    ShadeRegion g;
    g.points = points;
    if (points.size() < 3) return g;
    g.left = g.right = points[0].x;
    g.top = g.bottom = points[0].y;
    for (const auto& p : points) {
        g.left = std::min(g.left, p.x);
        g.right = std::max(g.right, p.x);
        g.top = std::min(g.top, p.y);
        g.bottom = std::max(g.bottom, p.y);
    }
    return g;
}

bool ShadeRegion::Contains(int x, int y) const {
    if (x < left || x >= right || y < top || y >= bottom) return false;
    const double px = x + 0.5, py = y + 0.5;
    if (ellipse) {
        const double cx = (left + right) / 2.0, cy = (top + bottom) / 2.0;
        const double rx = (right - left) / 2.0, ry = (bottom - top) / 2.0;
        const double dx = (px - cx) / rx, dy = (py - cy) / ry;
        return dx * dx + dy * dy <= 1.0;
    }
    bool inside = false; // alternate (even-odd) filling
    for (size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
        const auto& a = points[i];
        const auto& b = points[j];
        if ((a.y > py) != (b.y > py) && px < (b.x - a.x) * (py - a.y) / double(b.y - a.y) + a.x) inside = !inside;
    }
    return inside;
}

void FillRegionShaded(const ShadeRegion& region, TColor colour) {
    auto& st = Common();
    if (!st.canvas || region.Empty()) return;
    const uint32_t u = static_cast<uint32_t>(colour);
    const int r = u & 0xFF, g = (u >> 8) & 0xFF, b = (u >> 16) & 0xFF;
    const int k = std::clamp(static_cast<int>(std::nearbyint(st.shade * 8.0)), 0, 8);
    int left = region.left, top = region.top, right = region.right - 1, bottom = region.bottom - 1;
    const int areaRight = st.originX + st.width - 1, areaBottom = st.originY + st.height - 1;
    if (right < st.originX || left > areaRight || bottom < st.originY || top > areaBottom) return;
    left = std::max(left, st.originX);
    top = std::max(top, st.originY);
    right = std::min(right, areaRight);
    bottom = std::min(bottom, areaBottom);
    if (static_cast<int64_t>(right - left + 1) * 3 > 32768) throw PlotRangeError("scan line too long");
    ICanvas& c = *st.canvas;
    for (int y = top; y <= bottom; ++y) {
        for (int x = left; x <= right; ++x) {
            if (!region.Contains(x, y)) continue;
            if (st.fillMode == 2) {
                const TColor under = c.GetPixel(x, y);
                if (under == clNone) continue;
                auto blend = [k](int v, int ch) { return ((v * k + (8 - k) * 256) * ch) >> 11; };
                c.SetPixel(x, y, RGB(blend(GetRValue(under), r), blend(GetGValue(under), g), blend(GetBValue(under), b)));
            } else if ((x + y) % 2 != 0) {
                c.SetPixel(x, y, colour);
            }
        }
    }
}

void FillShape(int x, int y, int radius, const std::vector<CanvasPoint>& points) {
    auto& st = Common();
    if (!st.canvas) return;
    const bool circle = points.size() < 2;
    if (circle && radius <= 0) return;
    ICanvas& c = *st.canvas;
    const TColor fill = c.brush.color;
    const bool outline = fill != c.pen.color || (st.fillOptions & 2) != 0;
    const int l = x - radius, t = y - radius, r = x + radius + 1, b = y + radius + 1;
    auto shape = [&](auto&& ellipse, auto&& polygon) {
        if (circle) ellipse();
        else polygon();
    };
    if (st.saving) {
        auto& mf = Metafile();
        mf.PenUpToDate();
        mf.BrushUpToDate();
        mf.MixMode(R2_MASKPEN);
        shape([&] { mf.Ellipse(l, t, r, b); }, [&] { mf.Polygon(points); });
        mf.MixMode(R2_COPYPEN);
        if (outline) {
            c.brush.style = BrushStyle::Clear;
            mf.BrushUpToDate();
            shape([&] { mf.Ellipse(l, t, r, b); }, [&] { mf.Polygon(points); });
            c.brush.style = BrushStyle::Solid;
        }
        return;
    }
    bool filled = false;
    if (st.fillMode >= 2) {
        const ShadeRegion region = circle ? ShadeRegion::Ellipse(l, t, r, b) : ShadeRegion::Polygon(points);
        if (!region.Empty()) {
            FillRegionShaded(region, fill);
            filled = true;
        }
    }
    if (!filled) {
        // Mask pen: the colours beneath are multiplied by the fill, channel by channel.
        c.mixMode = R2_MASKPEN;
        shape([&] { c.Ellipse(l, t, r, b); }, [&] { c.Polygon(points); });
        c.mixMode = R2_COPYPEN;
    }
    if (outline) {
        c.brush.style = BrushStyle::Clear;
        shape([&] { c.Ellipse(l, t, r, b); }, [&] { c.Polygon(points); });
        c.brush.style = BrushStyle::Solid;
    }
    c.brush.color = fill;
}

// ---------------------------------------------------------------- primitives

namespace {
CanvasPen& SparePen() {
    static CanvasPen p;
    return p;
}
CanvasBrush& SpareBrush() {
    static CanvasBrush b;
    return b;
}
// The colour rule of rectangles and polygons.
void ApplyFillColours(ICanvas& c, PlotColour pen, PlotColour fill) {
    if (fill >= 0) {
        c.brush.color = fill;
        c.pen.color = pen < 0 ? fill : pen;
    }
}
} // namespace

void SavePenBrush() {
    if (!Common().canvas) return;
    SparePen() = Common().canvas->pen;
    SpareBrush() = Common().canvas->brush;
}

void RestorePenBrush() {
    if (!Common().canvas) return;
    Common().canvas->pen = SparePen();
    Common().canvas->brush = SpareBrush();
}

void MovePenTo(int x, int y) {
    auto& st = Common();
    if (!st.canvas) return;
    if (st.saving) Metafile().MoveTo(x, y);
    else st.canvas->MoveTo(x, y);
}

void PlotPixel(int x, int y, TColor colour) {
    auto& st = Common();
    if (!st.canvas) return;
    const int m = st.multiplier;
    if (m > 1) {
        // One data pixel stays one visible dot at any multiplier.
        SavePenBrush();
        st.canvas->pen.width = 1;
        st.canvas->brush.style = BrushStyle::Solid;
        const int h = m / 2;
        DrawRect(colour, colour, x - h, y - h, x - h + m, y - h + m);
        RestorePenBrush();
        return;
    }
    if (st.saving) Metafile().Pixel(x, y, colour);
    else st.canvas->SetPixel(x, y, colour);
}

void DrawRect(PlotColour pen, PlotColour fill, int x1, int y1, int x2, int y2) {
    auto& st = Common();
    if (!st.canvas) return;
    ApplyFillColours(*st.canvas, pen, fill);
    if (st.saving) {
        Metafile().PenUpToDate();
        Metafile().BrushUpToDate();
        Metafile().Rectangle(x1, y1, x2, y2);
    } else {
        st.canvas->Rectangle(x1, y1, x2, y2);
    }
}

void DrawPolygon(PlotColour pen, PlotColour fill, const std::vector<CanvasPoint>& points) {
    auto& st = Common();
    if (!st.canvas) return;
    ApplyFillColours(*st.canvas, pen, fill);
    if (st.saving) {
        Metafile().PenUpToDate();
        Metafile().BrushUpToDate();
        Metafile().Polygon(points);
    } else {
        st.canvas->Polygon(points);
    }
}

void DrawShadedPolygon(PlotColour pen, PlotColour fill, const std::vector<CanvasPoint>& points) {
    if (!Common().canvas) return;
    ApplyFillColours(*Common().canvas, pen, fill);
    FillShape(0, 0, 0, points);
}

void DrawCircle(PlotColour pen, PlotColour fill, int x, int y, int radius) {
    auto& st = Common();
    if (!st.canvas) return;
    ApplyFillColours(*st.canvas, pen, fill);
    if (fill < 0 && pen >= 0) st.canvas->pen.color = pen;
    const int l = x - radius, t = y - radius, r = x + radius + 1, b = y + radius + 1;
    if (st.saving) {
        Metafile().PenUpToDate();
        Metafile().BrushUpToDate();
        Metafile().Ellipse(l, t, r, b);
    } else {
        st.canvas->Ellipse(l, t, r, b);
    }
}

void DrawLine(PlotColour pen, int x1, int y1, int x2, int y2) {
    auto& st = Common();
    if (!st.canvas) return;
    if (pen >= 0) st.canvas->pen.color = pen;
    if (st.saving) {
        Metafile().PenUpToDate();
        Metafile().MoveTo(x1, y1);
        Metafile().LineTo(x2, y2);
    } else {
        st.canvas->MoveTo(x1, y1);
        st.canvas->LineTo(x2, y2);
    }
}

void DrawOutline(PlotColour pen, PlotColour fill, const std::vector<CanvasPoint>& points, bool shaded) {
    auto& st = Common();
    if (!st.canvas || points.empty()) return;
    ICanvas& c = *st.canvas;
    if (pen < 0 && fill < 0) pen = st.fore;
    if (fill < 0) {
        c.pen.color = pen;
        if (st.saving) {
            auto& mf = Metafile();
            mf.PenUpToDate();
            mf.MoveTo(points[0].x, points[0].y);
            for (size_t i = 1; i < points.size(); ++i) mf.LineTo(points[i].x, points[i].y);
            mf.LineTo(points[0].x, points[0].y);
        } else {
            c.MoveTo(points[0].x, points[0].y);
            for (size_t i = 1; i < points.size(); ++i) c.LineTo(points[i].x, points[i].y);
            c.LineTo(points[0].x, points[0].y);
        }
        return;
    }
    c.brush.color = fill;
    c.pen.color = pen < 0 ? fill : pen;
    if (shaded) DrawShadedPolygon(-1, -1, points);
    else DrawPolygon(-1, -1, points);
}

// ---------------------------------------------------------------- text

namespace {
bool OutsideArea(int x, int y) {
    const auto& st = Common();
    return x < st.originX || x >= st.originX + st.width || y < st.originY || y >= st.originY + st.height;
}

struct Rotation {
    int cx = 0, cy = 0;
    float s = 0.0f, c = 1.0f;
    void Apply(int& px, int& py) const {
        const double dx = cx - px, dy = cy - py;
        px = cx - RoundInt(dy * s + dx * c);
        py = cy - RoundInt(dy * c - dx * s);
    }
};
} // namespace

int TextAlignFlags(int horizontal, int vertical) {
    int flags = horizontal == -1 ? TA_RIGHT : horizontal == 0 ? TA_CENTER : TA_LEFT;
    if (vertical == -1) flags |= TA_BOTTOM;
    return flags;
}

void TextOutAligned(PlotColour colour, const std::string& text, int x, int y, int horizontal, int vertical) {
    auto& st = Common();
    if (!st.canvas || text.empty() || OutsideArea(x, y)) return;
    ICanvas& c = *st.canvas;
    if (vertical == 0) {
        y -= st.charHeight / 2;
        vertical = 1;
    }
    c.textAlign = TextAlignFlags(horizontal, vertical);
    if (st.singleColour) c.font.color = st.singleColourValue;
    else if (colour >= 0) c.font.color = colour;
    if (st.saving) {
        Metafile().FontUpToDate();
        Metafile().TextOut(x, y, text);
    } else {
        c.TextOut(x, y, text);
    }
    c.textAlign = 0;
}

void TextOutEx(PlotColour colour, const std::string& text, int x, int y, int horizontal, int vertical, int boxMode,
               int angle, int options) {
    auto& st = Common();
    if (!st.canvas) return;
    ICanvas& c = *st.canvas;
    const int m = st.multiplier;
    if (angle == 0 && (boxMode & 3) == 0 && text.find('|') == std::string::npos) {
        if (options & 4) colour = -1;
        if (!(options & 1)) {
            if (horizontal == 1) x += 3 * m;
            else if (horizontal == -1) x -= 3 * m;
        }
        TextOutAligned(colour, text, x, y, horizontal, vertical);
        return;
    }
    if (text.empty() || OutsideArea(x, y)) return;
    angle %= 360;
    if (angle < 0) angle += 360;
    Rotation rot{x, y, 0.0f, 1.0f};
    if (angle != 0) {
        const double rad = angle * M_PI / 180.0;
        rot.s = static_cast<float>(std::sin(rad));
        rot.c = static_cast<float>(std::cos(rad));
    }
    const int H = st.charHeight;
    const int step = RoundInt((options & 2) ? 0.75 * H : 0.95 * H);
    const int margin = (options & 1) ? 0 : 3 * m;
    std::vector<std::string> lines;
    for (size_t start = 0;;) {
        const size_t bar = text.find('|', start);
        lines.push_back(text.substr(start, bar == std::string::npos ? std::string::npos : bar - start));
        if (bar == std::string::npos) break;
        start = bar + 1;
    }
    const int n = static_cast<int>(lines.size());
    const int T = H + (n - 1) * step;
    int widest = 0;
    for (const auto& l : lines) widest = std::max(widest, c.TextWidth(l));
    const int W = widest + 2 * margin;
    int bx = x, by = y;
    if (horizontal == 0) bx -= W / 2;
    else if (horizontal < 0) bx -= W;
    if (vertical == 0) by -= T / 2;
    else if (vertical < 0) by -= T;
    c.pen.width = m;
    std::vector<CanvasPoint> box = {{bx, by}, {bx + W, by}, {bx + W, by + T + 1}, {bx, by + T + 1}};
    for (auto& p : box) rot.Apply(p.x, p.y);
    const TColor textColour = st.singleColour ? st.singleColourValue : colour < 0 ? c.font.color : colour;
    const TColor outlineColour = (options & 4) ? c.pen.color : textColour;
    const TColor fillColour = (options & 4) ? c.brush.color : st.back;
    switch (boxMode & 3) {
    case 1: DrawOutline(outlineColour, -1, box, false); break;
    case 2: DrawOutline(fillColour, fillColour, box, false); break;
    case 3: DrawOutline(outlineColour, fillColour, box, false); break;
    default: break;
    }
    if (!(options & 4)) c.font.color = textColour;
    c.brush.style = BrushStyle::Clear;
    const CanvasFont previous = c.font;
    if (angle != 0) {
        c.font.escapement = angle * 10;
        c.font.antialias = GetSettingInt(1) == 1;
        st.textAngle = angle;
    }
    c.textAlign = TextAlignFlags(horizontal, 1);
    if (st.saving) Metafile().FontUpToDate();
    const int lineX = horizontal == 1 ? x + margin : horizontal == -1 ? x - margin : x;
    for (int j = 0; j < n; ++j) {
        int px = lineX, py = by + j * step;
        if (angle != 0) rot.Apply(px, py);
        if (st.saving) Metafile().TextOut(px, py, lines[j]);
        else c.TextOut(px, py, lines[j]);
    }
    if (angle != 0) {
        const TColor keep = c.font.color;
        c.font = previous;
        c.font.color = keep;
    }
    st.textAngle = 0;
    c.textAlign = 0;
}

void PlaceTickLabel(PlotColour colour, const std::string& text, int axisKind, int side, int x, int y, int angle,
                    int& extent) {
    auto& st = Common();
    if (!st.canvas || text.empty()) return;
    const int w = st.canvas->TextWidth(text), H = st.charHeight;
    const double rad = angle * M_PI / 180.0;
    const float s = static_cast<float>(std::sin(std::fabs(rad)));
    const float c = static_cast<float>(std::cos(rad));
    const bool right = std::abs(angle) == 90;
    if (axisKind == 1) {
        int64_t yy = y + static_cast<int64_t>(side) * RoundInt(H * c / 2.0);
        if (right) yy += static_cast<int64_t>(side) * (H / 6);
        TextOutEx(colour, text, x, RoundInt(static_cast<double>(yy)), angle > 0 ? -side : side, 0, 0, angle, 1);
        extent = RoundInt(w * s + H * c) + (right ? H / 6 : 0);
        return;
    }
    if (angle == 90) TextOutEx(colour, text, x, y, 0, side, 0, 90, 1);
    else if (angle == -90) TextOutEx(colour, text, x, y, 0, -side, 0, -90, 1);
    else TextOutEx(colour, text, x + side * RoundInt(H * s / 2.0), y, side, 0, 0, angle, 1);
    extent = RoundInt(w * c + H * s);
}

} // namespace orvane::plot
