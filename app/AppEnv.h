#pragma once
// What the program takes from its surroundings. main() fills it with the real
// system; tests fill it with fakes and drive the same start-up path.
#include "Clock.h"
#include "FileTypes.h"
#include "PluginHost.h"
#include "Shell.h"
#include "Timer.h"

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace orvane {

class IDeviceLibrary;

struct AppEnv {
    std::string programPath;       // the program file, absolute
    std::vector<std::string> args; // command-line arguments after the program
    IClock* clock = nullptr;
    ITimerFactory* timers = nullptr;         // message-loop timers
    ITimerFactory* threadedTimers = nullptr; // the decoder tick's own-thread timer
    IShell* shell = nullptr;
    IModalRunner* modal = nullptr;
    std::function<std::unique_ptr<IPluginLoader>()> pluginLoader;
    // File-type registration; the current user's XDG folders when null.
    IFileTypes* fileTypes = nullptr;
    // Raises the process priority as far as the system allows; none when null.
    std::function<void()> raisePriority;
    std::function<void(int ms)> sleep; // the program's fixed waits; empty: really wait
    // The device library the device link talks through; none: it cannot open.
    IDeviceLibrary* deviceLibrary = nullptr;
};

// An argument is an option when it begins with "-", or with "/WS:" or
// "/C:SOC:" in any case; everything else, absolute paths included, is a file.
bool IsOptionArgument(const std::string& arg);
// The file to play: the single argument when it is no option, else empty.
std::string CommandLineFile(const std::vector<std::string>& args);

} // namespace orvane
