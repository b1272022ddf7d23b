#include "RecordingCanvas.h"

namespace orvane::test {

CanvasOp RecordingCanvas::Op(CanvasOp::Kind kind) const {
    CanvasOp op{kind, {}, pen, brush, mixMode, 0, {}, textAlign, font};
    return op;
}

void RecordingCanvas::DrawLine(CanvasPoint from, CanvasPoint to) {
    CanvasOp op = Op(CanvasOp::Line);
    op.points = {from, to};
    ops.push_back(op);
}

void RecordingCanvas::Rectangle(int l, int t, int r, int b) {
    CanvasOp op = Op(CanvasOp::Rect);
    op.points = {{l, t}, {r, b}};
    ops.push_back(op);
}

void RecordingCanvas::Ellipse(int l, int t, int r, int b) {
    CanvasOp op = Op(CanvasOp::Ellipse);
    op.points = {{l, t}, {r, b}};
    ops.push_back(op);
}

void RecordingCanvas::Polygon(const std::vector<CanvasPoint>& points) {
    CanvasOp op = Op(CanvasOp::Polygon);
    op.points = points;
    ops.push_back(op);
}

void RecordingCanvas::SetPixel(int x, int y, TColor colour) {
    CanvasOp op = Op(CanvasOp::Pixel);
    op.points = {{x, y}};
    op.colour = colour;
    ops.push_back(op);
    pixels[{x, y}] = colour;
}

TColor RecordingCanvas::GetPixel(int x, int y) const {
    const auto it = pixels.find({x, y});
    return it == pixels.end() ? background : it->second;
}

void RecordingCanvas::TextOut(int x, int y, const std::string& text) {
    CanvasOp op = Op(CanvasOp::Text);
    op.points = {{x, y}};
    op.text = text;
    ops.push_back(op);
}

CanvasSize RecordingCanvas::TextExtent(const std::string& text) {
    int chars = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80) ++chars;
    return {chars * kCharWidth, kCharHeight};
}

std::vector<CanvasOp> RecordingCanvas::Of(CanvasOp::Kind kind) const {
    std::vector<CanvasOp> out;
    for (const auto& op : ops)
        if (op.kind == kind) out.push_back(op);
    return out;
}

std::vector<std::string> RecordingCanvas::Texts() const {
    std::vector<std::string> out;
    for (const auto& op : ops)
        if (op.kind == CanvasOp::Text) out.push_back(op.text);
    return out;
}

const CanvasOp* RecordingCanvas::FindText(const std::string& text) const {
    for (const auto& op : ops)
        if (op.kind == CanvasOp::Text && op.text == text) return &op;
    return nullptr;
}

} // namespace orvane::test
