#pragma once
// A control's setter changes nothing for an equal value; this stores a
// different one and says so, so the setter repaints only then.
namespace orvane::controls {

template <class T, class U>
bool Change(T& field, const U& value) {
    if (field == value) return false;
    field = value;
    return true;
}

} // namespace orvane::controls
