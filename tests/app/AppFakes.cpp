#include "AppFakes.h"

#include <QDialog>
#include <QDir>

#include <filesystem>
#include <stdexcept>

namespace orvane::test {

int FakeModal::Run(QDialog& dialog) {
    shown.push_back(dialog.objectName().toStdString());
    return onRun ? onRun(dialog) : QDialog::Rejected;
}

bool FakeModal::InputQuery(QWidget*, const std::string&, const std::string& prompt, std::string& value) {
    prompts.push_back(prompt + "=" + value);
    if (inputs.empty()) return false;
    value = inputs.front();
    inputs.erase(inputs.begin());
    return true;
}

std::vector<SeenCommand>& RecordingPlugins::Seen() {
    static std::vector<SeenCommand> seen;
    return seen;
}

const AppForms*& RecordingPlugins::Forms() {
    static const AppForms* forms = nullptr;
    return forms;
}

std::vector<TRDSGroupRec>& RecordingPlugins::Groups() {
    static std::vector<TRDSGroupRec> groups;
    return groups;
}

bool& RecordingPlugins::FailInitialize() {
    static bool fail = false;
    return fail;
}

std::vector<std::string> RecordingPlugins::CommandsWith(const std::string& prefix) {
    std::vector<std::string> out;
    for (const auto& s : Seen())
        if (s.command.rfind(prefix, 0) == 0) out.push_back(s.command + " " + s.parameter);
    return out;
}

namespace {

intptr_t RecorderInitialize(intptr_t, TValueTable*) {
    if (RecordingPlugins::FailInitialize()) throw std::runtime_error("cannot initialise");
    return 0;
}

void RecorderGroup(const TRDSGroupRec* group) { RecordingPlugins::Groups().push_back(*group); }

void RecorderCommand(const char* command, const char* parameter) {
    SeenCommand s{command, parameter};
    if (const AppForms* f = RecordingPlugins::Forms()) {
        s.optionsDialogExisted = f->dopt != nullptr;
        s.statusWindowExisted = f->fsi != nullptr;
        s.decoderDataExisted = f->fdd != nullptr;
    }
    RecordingPlugins::Seen().push_back(s);
}

} // namespace

namespace {
int recorderModule, silentModule;
const char* RecorderName() { return "Recorder"; }
} // namespace

std::vector<std::string> RecordingPlugins::List(const std::string&) { return {"recorder.so", "silent.so"}; }

void* RecordingPlugins::Open(const std::string& path, std::string&) {
    return path.ends_with("recorder.so") ? static_cast<void*>(&recorderModule) : static_cast<void*>(&silentModule);
}

void* RecordingPlugins::Symbol(void* module, const char* name) {
    if (module != &recorderModule) return nullptr;
    const std::string n = name;
    if (n == "RDSGroup") return reinterpret_cast<void*>(&RecorderGroup);
    if (n == "Command") return reinterpret_cast<void*>(&RecorderCommand);
    if (n == "PluginName") return reinterpret_cast<void*>(&RecorderName);
    if (n == "Initialize") return reinterpret_cast<void*>(&RecorderInitialize);
    return nullptr;
}

void RecordingPlugins::Close(void*) {}

AppEnv FakeProgram::Env(std::vector<std::string> args, bool withPlugins) {
    QDir().mkpath(QString::fromStdString(ProgramFolder()));
    AppEnv env;
    env.programPath = ProgramFolder() + "orvane";
    env.args = std::move(args);
    env.clock = &time;
    env.timers = &time;
    env.threadedTimers = &time;
    env.shell = &shell;
    env.modal = &modal;
    env.sleep = [](int) {};
    // A workspace that selects the serial receiver must not reach a real
    // /dev/ttyS line: every low "COMn" leads nowhere inside the test.
    const std::string ports = std::string(qgetenv("XDG_DATA_HOME")) + "/orvane/ports/";
    std::filesystem::create_directories(ports);
    for (int n = 1; n <= 16; ++n) {
        std::error_code ec;
        std::filesystem::create_symlink("/nonexistent/serial-line", ports + "COM" + std::to_string(n), ec);
    }
    if (withPlugins) env.pluginLoader = [] { return std::make_unique<RecordingPlugins>(); };
    return env;
}

} // namespace orvane::test
