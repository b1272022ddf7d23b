#pragma once
// The program: its windows, created in a fixed order, and its message loop.
#include "AppEnv.h"
#include "DravonDevice.h"
#include "ModalRunner.h"
#include "TickTimer.h"

#include <memory>

namespace orvane {

class TForm1;
class TDSRC;
class TAboutBox;
class TFDD;
class TDOPT;
class TFSI;
class TDFREQ;

// The program's windows; a pointer is set once its window is fully created.
struct AppForms {
    TForm1* form1 = nullptr;
    TDSRC* dsrc = nullptr;
    TAboutBox* about = nullptr;
    TFDD* fdd = nullptr;
    TDOPT* dopt = nullptr;
    TFSI* fsi = nullptr;
    TDFREQ* dfreq = nullptr;
};

class OrvaneApp {
public:
    explicit OrvaneApp(AppEnv env);
    ~OrvaneApp();

    // Sets the title and creates the windows in the program's order; creating
    // the options dialog completes the start-up.
    void CreateWindows();
    // Shows the main window and runs the message loop until it closes.
    int Run();
    // Closes the main window the ordinary way as soon as the program's own
    // message loop runs it: at once when it is running, when the start-up is
    // complete when it is not, and once any box still on the stack has gone.
    void RequestClose();

    AppEnv& Env() { return env_; }
    AppForms& Forms() { return forms_; }

private:
    AppEnv env_;
    AppForms forms_;
    std::unique_ptr<TForm1> main_;
    bool closeRequested_ = false;
    bool running_ = false;
};

// The environment of the real program: system clock, Qt timers, the desktop.
struct SystemEnv {
    SystemClock clock;
    QtTimerFactory timers;
    ThreadedTimerFactory threadedTimers;
    DesktopShell shell;
    ExecModalRunner modal;
    // libdravon.so of the program folder, loaded by Make.
    std::unique_ptr<DravonDevice> deviceLibrary;
    AppEnv Make(const std::string& programPath, const std::vector<std::string>& args);
};

} // namespace orvane
