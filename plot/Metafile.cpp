#include "Metafile.h"

#include "plotcommon.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace orvane::plot {

MetafileRecorder& Metafile() {
    static MetafileRecorder recorder;
    return recorder;
}

void MetafileRecorder::Open(const std::string& path) {
    path_ = path;
    words_.clear();
    totalWords_ = largest_ = 0;
    lastX_ = lastY_ = -1;
    open_ = true;
}

void MetafileRecorder::Word(std::vector<uint16_t>& out, int value) {
    if (value < 0 || value > 0xFFFF) throw PlotRangeError("metafile value out of range");
    out.push_back(static_cast<uint16_t>(value));
}

void MetafileRecorder::Record(uint16_t function, const std::vector<int>& params) {
    const size_t size = 3 + params.size();
    if (size > static_cast<size_t>(wmf::MaxRecordWords)) throw PlotRangeError("metafile record too long");
    std::vector<uint16_t> rec;
    rec.reserve(size);
    rec.push_back(static_cast<uint16_t>(size & 0xFFFF));
    rec.push_back(static_cast<uint16_t>(size >> 16));
    rec.push_back(function);
    for (int p : params) Word(rec, p);
    if (!open_) return;
    words_.insert(words_.end(), rec.begin(), rec.end());
    totalWords_ += static_cast<uint32_t>(size);
    largest_ = std::max<uint32_t>(largest_, static_cast<uint32_t>(size));
    if (function != wmf::MoveTo && function != wmf::LineTo) lastX_ = lastY_ = -1;
}

void MetafileRecorder::Colour(std::vector<int>& params, TColor colour) {
    const TColor rgb = ColorToRGB(colour);
    params.push_back((GetGValue(rgb) << 8) + GetRValue(rgb));
    params.push_back(GetBValue(rgb) + 512);
}

bool MetafileRecorder::Close() {
    if (!open_) return false;
    Record(wmf::Eof, {});
    open_ = false;
    const auto& st = Common();
    const int w = std::clamp(st.width, 0, 0x7FFF), h = std::clamp(st.height, 0, 0x7FFF);
    std::vector<uint16_t> head;
    // Placeable header: key, handle, bounds, units per inch, reserved, checksum.
    head = {static_cast<uint16_t>(wmf::PlaceableKey & 0xFFFF), static_cast<uint16_t>(wmf::PlaceableKey >> 16),
            0, 0, 0, static_cast<uint16_t>(w), static_cast<uint16_t>(h), 96, 0, 0};
    uint16_t sum = 0;
    for (uint16_t v : head) sum ^= v;
    head.push_back(sum);
    // Standard header: memory metafile, 9 words, version 3.0, size, objects,
    // largest record, no parameters.
    const uint32_t size = 9 + static_cast<uint32_t>(words_.size());
    const uint16_t standard[9] = {1, 9, 0x0300, static_cast<uint16_t>(size & 0xFFFF), static_cast<uint16_t>(size >> 16),
                                  5, static_cast<uint16_t>(largest_ & 0xFFFF), static_cast<uint16_t>(largest_ >> 16), 0};
    head.insert(head.end(), standard, standard + 9);
    FILE* f = std::fopen(path_.c_str(), "wb");
    if (!f) return false;
    auto put = [f](const std::vector<uint16_t>& v) {
        for (uint16_t x : v) {
            const unsigned char b[2] = {static_cast<unsigned char>(x & 0xFF), static_cast<unsigned char>(x >> 8)};
            if (std::fwrite(b, 1, 2, f) != 2) return false;
        }
        return true;
    };
    const bool ok = put(head) && put(words_);
    return std::fclose(f) == 0 && ok;
}

void MetafileRecorder::Comment(const std::string& text) {
    std::vector<int> p = {15, static_cast<int>(text.size())};
    for (size_t i = 0; i < text.size(); i += 2) {
        const int lo = static_cast<unsigned char>(text[i]);
        const int hi = i + 1 < text.size() ? static_cast<unsigned char>(text[i + 1]) : 0;
        p.push_back(lo | (hi << 8));
    }
    Record(wmf::Escape, p);
}

void MetafileRecorder::Start(bool drawFrame) {
    auto& st = Common();
    ICanvas& c = *st.canvas;
    const int m = st.multiplier;
    Comment("Orvane plot");
    Comment("drawn by the plot library");
    Record(wmf::SetMapMode, {8});
    Record(wmf::SetWindowOrg, {0, 0});
    Record(wmf::SetWindowExt, {st.height, st.width});
    std::vector<int> brush = {0};
    Colour(brush, st.back);
    brush.push_back(0);
    Record(wmf::CreateBrush, brush);
    Record(wmf::SelectObject, {0});
    std::vector<int> pen = {0, m, 0};
    Colour(pen, st.fore);
    pen.push_back(0);
    Record(wmf::CreatePen, pen);
    Record(wmf::SelectObject, {1});
    if (drawFrame) Record(wmf::Rectangle, {st.height, st.width, m / 2, m / 2});
    fontStyle_ = -2; // forces the font record
    FontUpToDate();
    for (TColor colour : {clRed, clLime}) {
        std::vector<int> p = {0, 1, 0};
        Colour(p, colour);
        p.push_back(0);
        Record(wmf::CreatePen, p);
        Record(wmf::SelectObject, {colour == clRed ? 3 : 4});
    }
    Record(wmf::SelectObject, {1});
    Record(wmf::SetBkMode, {1});
    penColour_ = st.fore;
    penStyle_ = 0;
    penWidth_ = m;
    brushColour_ = st.back;
    brushStyle_ = 0;
    textAlign_ = 0;
    (void)c;
}

void MetafileRecorder::PenUpToDate() {
    auto& st = Common();
    if (st.singleColour || !st.canvas) return;
    const CanvasPen& p = st.canvas->pen;
    const int style = static_cast<int>(p.style) & 0x7F;
    if (p.color == penColour_ && style == penStyle_ && p.width == penWidth_) return;
    Record(wmf::DeleteObject, {1});
    std::vector<int> params = {style, std::max(p.width, 0), 0};
    Colour(params, p.color);
    params.push_back(0);
    Record(wmf::CreatePen, params);
    Record(wmf::SelectObject, {1});
    penColour_ = p.color;
    penStyle_ = style;
    penWidth_ = p.width;
}

void MetafileRecorder::BrushUpToDate() {
    auto& st = Common();
    if (!st.canvas) return;
    const CanvasBrush& b = st.canvas->brush;
    const int style = static_cast<int>(b.style);
    if (b.color == brushColour_ && style == brushStyle_) return;
    Record(wmf::DeleteObject, {0});
    std::vector<int> params = {style > 1 ? 2 : style};
    Colour(params, b.color);
    params.push_back(style > 1 ? style - 2 : 0);
    Record(wmf::CreateBrush, params);
    Record(wmf::SelectObject, {0});
    brushColour_ = b.color;
    brushStyle_ = style;
}

void MetafileRecorder::FontUpToDate() {
    auto& st = Common();
    if (!st.canvas) return;
    ICanvas& c = *st.canvas;
    const CanvasFont& f = c.font;
    const int style = (f.bold ? 1 : 0) | (f.italic ? 2 : 0) | (f.underline ? 4 : 0) | (f.strikeOut ? 8 : 0);
    if (style == fontStyle_ && f.size == fontSize_ && f.name == fontName_ && st.textAngle == fontAngle_) {
        if (f.color != fontColour_) {
            std::vector<int> p;
            Colour(p, f.color);
            Record(wmf::SetTextColor, p);
            fontColour_ = f.color;
        }
    } else {
        Record(wmf::DeleteObject, {2});
        const CanvasSize metric = c.TextExtent("0");
        int a = ((st.textAngle % 180) + 180) % 180;
        if (a > 90) a = 180 - a;
        const int extra = RoundInt(metric.cy * a / 14.0 / 90.0);
        const int escapement = ((st.textAngle % 360) + 360) % 360 * 10;
        std::vector<int> p = {metric.cy, metric.cx, escapement, escapement, f.bold ? 700 : 400,
                              (f.italic ? 1 : 0) | ((f.underline ? 1 : 0) << 8), (f.strikeOut ? 1 : 0) | (1 << 8), 0,
                              GetSettingInt(1) == 1 ? 5 : 0};
        std::string name = f.name.substr(0, 31);
        name.push_back('\0');
        if (name.size() % 2) name.push_back('\0');
        for (size_t i = 0; i < name.size(); i += 2)
            p.push_back(static_cast<unsigned char>(name[i]) | (static_cast<unsigned char>(name[i + 1]) << 8));
        Record(wmf::CreateFont, p);
        Record(wmf::SetTextCharExtra, {extra});
        Record(wmf::SelectObject, {2});
        std::vector<int> colour;
        Colour(colour, f.color);
        Record(wmf::SetTextColor, colour);
        fontStyle_ = style;
        fontSize_ = f.size;
        fontName_ = f.name;
        fontColour_ = f.color;
        fontAngle_ = st.textAngle;
    }
    if (c.textAlign != textAlign_) {
        Record(wmf::SetTextAlign, {c.textAlign});
        textAlign_ = c.textAlign;
    }
}

void MetafileRecorder::MoveTo(int x, int y) {
    if (x == lastX_ && y == lastY_) return;
    Record(wmf::MoveTo, {y, x});
    lastX_ = x;
    lastY_ = y;
}

void MetafileRecorder::LineTo(int x, int y) {
    if (x == lastX_ && y == lastY_) return;
    Record(wmf::LineTo, {y, x});
    lastX_ = x;
    lastY_ = y;
}

void MetafileRecorder::Rectangle(int l, int t, int r, int b) { Record(wmf::Rectangle, {b, r, t, l}); }
void MetafileRecorder::Ellipse(int l, int t, int r, int b) { Record(wmf::Ellipse, {b, r, t, l}); }

void MetafileRecorder::Pixel(int x, int y, TColor colour) {
    std::vector<int> p;
    Colour(p, colour);
    p.push_back(y);
    p.push_back(x);
    Record(wmf::SetPixel, p);
}

void MetafileRecorder::Polygon(const std::vector<CanvasPoint>& points) {
    if (points.size() > 30) throw PlotRangeError("polygon too long for a metafile record");
    std::vector<int> p = {static_cast<int>(points.size())};
    for (const auto& pt : points) {
        p.push_back(pt.x);
        p.push_back(pt.y);
    }
    Record(wmf::Polygon, p);
}

namespace {
void PackText(std::vector<int>& p, const std::string& text) {
    std::string t = text;
    if (t.size() % 2) t.push_back(' ');
    for (size_t i = 0; i < t.size(); i += 2)
        p.push_back(static_cast<unsigned char>(t[i]) | (static_cast<unsigned char>(t[i + 1]) << 8));
}
} // namespace

void MetafileRecorder::TextOut(int x, int y, const std::string& text) {
    std::vector<int> p = {static_cast<int>(text.size())};
    PackText(p, text);
    p.push_back(y);
    p.push_back(x);
    Record(wmf::TextOut, p);
}

void MetafileRecorder::ExtTextOut(int x, int y, const std::string& text) {
    std::vector<int> p = {y, x, static_cast<int>(text.size()), 0};
    PackText(p, text);
    Record(wmf::ExtTextOut, p);
}

void MetafileRecorder::MixMode(int rop2) { Record(wmf::SetROP2, {rop2}); }

void MetafileRecorder::DrawGridLines(bool vertical, int a, int b) {
    auto& st = Common();
    if (!st.canvas || (majorGrid.empty() && minorGrid.empty())) return;
    CanvasPen& pen = st.canvas->pen;
    const TColor colour = pen.color;
    pen.style = PenStyle::Dot;
    auto lines = [&](const std::vector<uint16_t>& list) {
        for (uint16_t p : list) {
            if (vertical) {
                MoveTo(p, a);
                LineTo(p, b);
            } else {
                MoveTo(a, p);
                LineTo(b, p);
            }
        }
    };
    pen.color = MixColours(colour, st.back, 1, 3);
    PenUpToDate();
    lines(minorGrid);
    pen.color = colour;
    PenUpToDate();
    lines(majorGrid);
    pen.style = PenStyle::Solid;
    PenUpToDate();
}

} // namespace orvane::plot
