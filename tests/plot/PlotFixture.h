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
