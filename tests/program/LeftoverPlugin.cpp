// A Qt-based plug-in that leaves its objects behind: a running timer with a
// slot of its own parented to the application, and a widget of a class of
// its own parented to the host's main window. Both go only when their parent
// does, which runs this library's code.
#include <orvane/plugin.h>

#include <QApplication>
#include <QTimer>
#include <QWidget>

#define EXPORT extern "C" __attribute__((visibility("default")))

namespace {

class Badge : public QWidget {
public:
    using QWidget::QWidget;
    int painted = 0;

protected:
    void paintEvent(QPaintEvent*) override { ++painted; }
};

} // namespace

EXPORT intptr_t Initialize(intptr_t appWindow, TValueTable*) {
    auto* ticks = new QTimer(QCoreApplication::instance());
    QObject::connect(ticks, &QTimer::timeout, [count = 0]() mutable { ++count; });
    ticks->start(20);
    new Badge(reinterpret_cast<QWidget*>(appWindow));
    return 0;
}
