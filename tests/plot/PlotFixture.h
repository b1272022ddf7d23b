#pragma once
// A fresh plot library and a recording canvas for every test.
#include "RecordingCanvas.h"
#include "plotgraph.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace orvane::test {

class PlotTest : public ::testing::Test {
protected:
    void SetUp() override {
        plot::SetSavingMode(false);
        plot::SetPrintingMode(nullptr);
        plot::SetResolutionMultiplier(1);
        plot::InitPlotLibrary();
    }
    void Start(int width = 301, int height = 200, TColor back = clNavy, TColor fore = clBtnShadow) {
        plot::StartGraph(canvas, width, height, back, fore, 1.0f, "FSI");
        canvas.Clear();
    }
    // A white graph with both axes from 0 to `top`, the log cleared and the
    // pen red, ready for data.
    void AxesTo(int width, int height, int left, int right, int topMargin, int bottom, float xTop, float yTop) {
        Start(width, height, clWhite, clBlack);
        plot::SetFrame(0, 100, 0, 100, left, right, topMargin, bottom, false);
        plot::DrawXAxis(clBlack, "", 0, 0, xTop, 0, 0, false, true);
        plot::DrawYAxis(clBlack, "", 1, 0, yTop, 0, 0, false, false, true);
        canvas.Clear();
        plot::Canvas()->pen.color = clRed;
    }
    // Lines drawn in one colour, as from-to pairs.
    std::vector<CanvasOp> LinesIn(TColor colour) const {
        std::vector<CanvasOp> out;
        for (const auto& op : canvas.ops)
            if (op.kind == CanvasOp::Line && op.pen.color == colour) out.push_back(op);
        return out;
    }
    static plot::Tdatatype Series(const std::vector<std::pair<float, float>>& points) {
        plot::Tdatatype d;
        plot::CreateDataArray(d, static_cast<int>(points.size()), 1);
        for (size_t i = 0; i < points.size(); ++i) {
            d[i + 1][0] = points[i].first;
            d[i + 1][1] = points[i].second;
        }
        return d;
    }
    RecordingCanvas canvas;
};

} // namespace orvane::test
