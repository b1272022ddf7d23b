#pragma once
// Records the plot library's drawing as Windows metafile records while a
// graph is drawn in saving mode, and writes them as a placeable metafile.
#include "ICanvas.h"

#include <cstdint>
#include <string>
#include <vector>

namespace orvane::plot {

namespace wmf {
constexpr uint16_t SetMapMode = 0x0103, SetWindowOrg = 0x020B, SetWindowExt = 0x020C,
                   CreateBrush = 0x02FC, CreatePen = 0x02FA, CreateFont = 0x02FB, SelectObject = 0x012D,
                   DeleteObject = 0x01F0, SetTextColor = 0x0209, SetTextAlign = 0x012E,
                   SetTextCharExtra = 0x0108, SetBkMode = 0x0102, SetROP2 = 0x0104, MoveTo = 0x0214,
                   LineTo = 0x0213, Rectangle = 0x041B, Ellipse = 0x0418, SetPixel = 0x041F, Polygon = 0x0324,
                   TextOut = 0x0521, Escape = 0x0626, ExtTextOut = 0x0A32, Eof = 0x0000;
constexpr uint32_t PlaceableKey = 0x9AC6CDD7u;
constexpr int MaxRecordWords = 64;
} // namespace wmf

class MetafileRecorder {
public:
    // Collects records for `path`; Close() writes the headers and the records.
    void Open(const std::string& path);
    bool IsOpen() const { return open_; }
    // Writes the file; false when it could not be written.
    bool Close();

    // One record: the function and its parameter words, each 0..65535.
    void Record(uint16_t function, const std::vector<int>& params);

    // The records that begin a recording (banner comments, mapping, objects).
    void Start(bool drawFrame);
    void PenUpToDate();
    void BrushUpToDate();
    void FontUpToDate();
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Rectangle(int left, int top, int right, int bottom);
    void Ellipse(int left, int top, int right, int bottom);
    void Pixel(int x, int y, TColor colour);
    void Polygon(const std::vector<CanvasPoint>& points);
    void TextOut(int x, int y, const std::string& text);
    // The extended text-out record without clipping rectangle or spacing.
    void ExtTextOut(int x, int y, const std::string& text);
    void MixMode(int rop2);
    void Comment(const std::string& text);

    // Grid positions that an axis collects while it draws ticks.
    std::vector<uint16_t> majorGrid, minorGrid;
    void ClearGrid() { majorGrid.clear(); minorGrid.clear(); }
    // Dotted grid lines: vertical from (p, a) to (p, b), else horizontal.
    void DrawGridLines(bool vertical, int a, int b);

    uint32_t TotalWords() const { return totalWords_; }
    uint32_t LargestRecord() const { return largest_; }

private:
    void Word(std::vector<uint16_t>& out, int value);
    void Colour(std::vector<int>& params, TColor colour);

    bool open_ = false;
    std::string path_;
    std::vector<uint16_t> words_;
    uint32_t totalWords_ = 0, largest_ = 0;
    // What the metafile's objects hold now.
    TColor penColour_ = -1, brushColour_ = -1, fontColour_ = -1;
    int penStyle_ = -1, penWidth_ = -1, brushStyle_ = -1;
    std::string fontName_;
    int fontSize_ = -1, fontStyle_ = -1, fontAngle_ = -1, textAlign_ = 0;
    int lastX_ = -1, lastY_ = -1;
};

MetafileRecorder& Metafile();

} // namespace orvane::plot
