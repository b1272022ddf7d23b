#pragma once
// A virtual X display with a real window manager on it: Xvfb on a display
// number it picks itself, and openbox managing its screen. Both are stopped
// and their folder removed when the object goes, or when the process that
// made it dies without that; every wait is bounded.
#include <string>
#include <sys/types.h>

namespace orvane::test {

class XDisplay {
public:
    // True when both programs are on the PATH.
    static bool Available();

    // Starts both; Error() says what failed when the display is not ready.
    XDisplay(int width = 1280, int height = 1024);
    ~XDisplay();
    XDisplay(const XDisplay&) = delete;
    XDisplay& operator=(const XDisplay&) = delete;

    bool Ready() const { return ready_; }
    const std::string& Error() const { return error_; }
    // ":n", for DISPLAY.
    const std::string& Name() const { return name_; }
    // The programs' logs and marks.
    const std::string& Folder() const { return dir_; }

private:
    bool StartReaper();
    void ReapWithUs(pid_t pid);
    bool StartServer(int width, int height);
    bool StartWindowManager();

    pid_t server_ = -1;
    pid_t manager_ = -1;
    pid_t reaper_ = -1;
    int reaperFd_ = -1;
    std::string dir_;
    std::string name_;
    std::string error_;
    bool ready_ = false;
};

} // namespace orvane::test
