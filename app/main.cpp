#include "GpWrap.h"
#include "OrvaneApp.h"
#include "SockLib.h"
#include "TerminationSignals.h"
#include "Unit1.h"

#include <QApplication>
#include <QSocketNotifier>

namespace {

orvane::SockLibUnit sockLib;

} // namespace

int main(int argc, char** argv) {
    // SIGTERM and SIGINT close the main window the ordinary way, so the
    // workspace is saved and plug-ins see "EXIT". The handler is in place
    // before Qt and the windows are made: a signal that comes before any
    // message loop runs waits in the pipe instead of killing the program.
    orvane::TerminationSignals terminate;

    QApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

    const orvane::controls::TGdiplusSession gdiplus;
    orvane::SystemEnv system;
    orvane::OrvaneApp program(system.Make(QCoreApplication::applicationFilePath().toStdString(), args));

    // Watched before the windows are made: a box shown while they are (a
    // refused workspace) runs its own loop, and the signal must end it too.
    if (terminate.Caught()) {
        auto* notifier = new QSocketNotifier(terminate.ReadFd(), QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, [&] {
            if (!terminate.Drain()) return;
            system.modal.CancelAll();
            program.RequestClose();
        });
    }
    program.CreateWindows();
    return program.Run();
}
