#pragma once
// Forms find their controls by the names the handlers use.
#include <QObject>

#include <utility>

namespace orvane {

template <class Widget, class... Args>
Widget* Named(const char* name, Args&&... args) {
    auto* w = new Widget(std::forward<Args>(args)...);
    w->setObjectName(name);
    return w;
}

} // namespace orvane
