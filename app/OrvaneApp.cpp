#include "OrvaneApp.h"

#include "Unit1.h"
#include "about.h"
#include "dd.h"
#include "freq.h"
#include "opt.h"
#include "si.h"
#include "src.h"

#include <QApplication>

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
    main_->show();
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, qApp, &QCoreApplication::quit);
    return QApplication::exec();
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
    return env;
}

} // namespace orvane
