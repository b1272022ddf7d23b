#include "AppFakes.h"

#include <QDialog>
#include <QDir>

namespace orvane::test {

int FakeModal::Run(QDialog& dialog) {
    shown.push_back(dialog.objectName().toStdString());
    return QDialog::Rejected;
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

namespace {

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

void RecordingPlugins::Load(PluginHost& host, const std::string&) {
    TPlugins recorder;
    recorder.fileName = "recorder.so";
    recorder.displayName = "Recorder";
    recorder.Command = &RecorderCommand;
    recorder.hasCommand = true;
    recorder.RDSGroup = &RecorderGroup;
    recorder.hasRDSGroup = true;
    recorder.initialised = true;
    host.Plugins().push_back(recorder);

    TPlugins silent;
    silent.fileName = "silent.so";
    silent.displayName = "Silent";
    silent.initialised = true;
    host.Plugins().push_back(silent);
}

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
    if (withPlugins) env.pluginLoader = [] { return std::make_unique<RecordingPlugins>(); };
    return env;
}

} // namespace orvane::test
