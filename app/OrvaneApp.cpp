#include "OrvaneApp.h"

#include "Unit1.h"
#include "about.h"
#include "dd.h"
#include "freq.h"
#include "opt.h"
#include "si.h"
#include "src.h"
#include "veltutil.h"

#include <QApplication>
#include <QThread>
#include <QTimer>

#include <sys/resource.h>

namespace orvane {

OrvaneApp::OrvaneApp(AppEnv env) : env_(std::move(env)) {}

OrvaneApp::~OrvaneApp() {
    // The dialogs are children of the main window and go with it.
    main_.reset();
}

void OrvaneApp::CreateWindows() {
    QCoreApplication::setApplicationName("Orvane");
    main_ = std::make_unique<TForm1>(env_, forms_);
    forms_.form1 = main_.get();
    forms_.dsrc = new TDSRC(*main_);
    forms_.about = new TAboutBox(*main_);
    forms_.fdd = new TFDD(*main_);
    forms_.dopt = new TDOPT(*main_);
    forms_.fsi = new TFSI(*main_, env_);
    forms_.dfreq = new TDFREQ(*main_);
}

int OrvaneApp::Run() {
    // Asked to close during the start-up: the windows are complete now, so the
    // close is the ordinary one, and there is nothing left to run.
    if (closeRequested_) {
        main_->close();
        return 0;
    }
    // A workspace may keep the main window hidden, leaving the plug-ins' windows.
    if (main_->StartVisible()) main_->show();
    // The loop ends when the main window's close has run, shown or not: a
    // hidden window's close never counts as the last window closing, and the
    // windows still up (a plug-in's) hold nothing the program needs.
    QGuiApplication::setQuitOnLastWindowClosed(false);
    QObject::connect(main_.get(), &TForm1::Closed, qApp, [] { QCoreApplication::exit(0); });
    running_ = true;
    return QApplication::exec();
}

void OrvaneApp::RequestClose() {
    closeRequested_ = true;
    if (!running_) return;
    // A box's caller is still on the stack until its loop has ended; closing
    // under it would free what it goes on to use.
    QTimer::singleShot(QThread::currentThread()->loopLevel() > 1 ? 10 : 0, qApp, [this] {
        if (QThread::currentThread()->loopLevel() > 1) RequestClose();
        else main_->close();
    });
}

AppEnv SystemEnv::Make(const std::string& programPath, const std::vector<std::string>& args) {
    AppEnv env;
    env.programPath = programPath;
    env.args = args;
    env.clock = &clock;
    env.timers = &timers;
    env.threadedTimers = &threadedTimers;
    env.shell = &shell;
    env.modal = &modal;
    deviceLibrary = DravonDevice::Load(ProgramFolderOf(programPath) + "libdravon.so");
    env.deviceLibrary = deviceLibrary.get();
    // Best effort: without the right to lower the nice value it stays as it is.
    env.raisePriority = [] { ::setpriority(PRIO_PROCESS, 0, -10); };
    return env;
}

} // namespace orvane
