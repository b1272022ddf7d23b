#pragma once
// The main window and the window's widgets as the status logic sees them.
#include "ScopeSignal.h"
#include "StatusInfo.h"

#include <string>
#include <utility>
#include <vector>

namespace orvane::test {

struct FakeStatusHost : IStatusHost {
    StatusReadings readings;
    ScopeSamples scope;
    int rateZeroings = 0, peakZeroings = 0, serialZeroings = 0;
    StatusReadings ReadStatus() const override { return readings; }
    void ZeroRateCounters() override {
        ++rateZeroings;
        readings.bits = readings.ones = readings.groups = readings.buffers = readings.balance = readings.samples = 0;
    }
    void ZeroPeaks() override {
        ++peakZeroings;
        readings.peakLeft = readings.peakRight = 0;
    }
    void ZeroSerialInput() override {
        ++serialZeroings;
        readings.lastInputByte = 0;
        readings.inputGood = false;
    }
    const ScopeSamples& Scope() const override { return scope; }
};

struct FakeStatusView : IStatusView {
    std::vector<std::pair<std::string, std::string>> rows;
    bool scopeVisible = true, waitVisible = false;
    int repaints = 0;
    void ClearRows() override { rows.clear(); }
    void SetRow(const std::string& name, const std::string& value) override {
        for (auto& r : rows)
            if (r.first == name) {
                r.second = value;
                return;
            }
        rows.emplace_back(name, value);
    }
    void SetScopeVisible(bool v) override { scopeVisible = v; }
    bool ScopeVisible() const override { return scopeVisible; }
    void SetWaitVisible(bool v) override { waitVisible = v; }
    void RepaintScope() override { ++repaints; }
    std::string Value(const std::string& name) const {
        for (const auto& r : rows)
            if (r.first == name) return r.second;
        return "<none>";
    }
    std::vector<std::string> Names() const {
        std::vector<std::string> out;
        for (const auto& r : rows) out.push_back(r.first);
        return out;
    }
};

} // namespace orvane::test
