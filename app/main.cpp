#include "GpWrap.h"
#include "OrvaneApp.h"
#include "SockLib.h"
#include "Unit1.h"

#include <QApplication>
#include <QSocketNotifier>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

namespace {

orvane::SockLibUnit sockLib;

int signalPipe[2] = {-1, -1};

void OnTerminate(int) {
    const char c = 1;
    [[maybe_unused]] ssize_t n = ::write(signalPipe[1], &c, 1);
}

} // namespace

int main(int argc, char** argv) {
    // SIGTERM and SIGINT close the main window the ordinary way, so the
    // workspace is saved and plug-ins see "EXIT". The handler is in place
    // before Qt and the windows are made: a signal during start-up waits in the
    // pipe until the main window exists, instead of killing the program.
    const bool signalsCaught = ::socketpair(AF_UNIX, SOCK_STREAM, 0, signalPipe) == 0;
    if (signalsCaught) {
        struct sigaction sa {};
        sa.sa_handler = OnTerminate;
        sigemptyset(&sa.sa_mask);
        sa.sa_flags = SA_RESTART;
        sigaction(SIGTERM, &sa, nullptr);
        sigaction(SIGINT, &sa, nullptr);
    }

    QApplication app(argc, argv);
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) args.emplace_back(argv[i]);

    const orvane::controls::TGdiplusSession gdiplus;
    orvane::SystemEnv system;
    orvane::OrvaneApp program(system.Make(QCoreApplication::applicationFilePath().toStdString(), args));
    program.CreateWindows();

    if (signalsCaught) {
        auto* notifier = new QSocketNotifier(signalPipe[0], QSocketNotifier::Read, &app);
        QObject::connect(notifier, &QSocketNotifier::activated, [&program] {
            char c;
            [[maybe_unused]] ssize_t n = ::read(signalPipe[0], &c, 1);
            program.Forms().form1->close();
        });
    }
    return program.Run();
}
