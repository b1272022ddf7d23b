#pragma once
// Fakes for driving the whole program in-process: a manual clock, a shell and
// modal runner that launch nothing, and a plug-in that records its commands.
#include "AppEnv.h"
#include "FakeTime.h"
#include "OrvaneApp.h"

#include <QTemporaryDir>

#include <algorithm>
#include <functional>

#include <string>
#include <vector>

class QDialog;

namespace orvane::test {

struct FakeShell : IShell {
    std::vector<std::string> opened;
    bool refuseOpen = false; // no application opens documents or links
    void Open(const std::string& target, const std::string&, QObject*, Failed failed) override {
        opened.push_back(target);
        if (refuseOpen) failed();
    }
    std::vector<std::string> missing; // programs that do not start
    bool StartDetached(const std::string& program, const std::vector<std::string>&) override {
        opened.push_back(program);
        return std::find(missing.begin(), missing.end(), program) == missing.end();
    }
    bool Installed(const std::string& program) override {
        return std::find(missing.begin(), missing.end(), program) == missing.end();
    }
    bool editorMissing = false; // no text editor can be started
    void Edit(const std::string& file, QObject*, Failed failed) override {
        opened.push_back(file);
        if (editorMissing) failed();
    }
};

struct FakeModal : IModalRunner {
    std::vector<std::string> shown; // object names of the dialogs run
    // What the user does in a dialog; without it every dialog is cancelled.
    std::function<int(QDialog&)> onRun;
    std::vector<std::string> messages;
    int Run(QDialog& dialog) override;
    void Message(QWidget*, const std::string& text) override { messages.push_back(text); }
    std::string fileToOpen; // the user's pick in an open dialog
    std::string openFolder; // the folder the open dialog started in
    int openFilterShown = -1; // the filter it showed first
    int openFilter = -1; // the filter the user chose; -1: the one shown
    std::string OpenFile(QWidget*, const std::string&, const std::string& folder, int& filterIndex) override {
        openFolder = folder;
        openFilterShown = filterIndex;
        if (openFilter >= 0) filterIndex = openFilter;
        return fileToOpen;
    }
    std::string fileToSave; // the user's pick in a save dialog, and its filter
    int saveFilter = 0;
    int saveFilterShown = -1; // the filter the save dialog showed first
    std::string saveFolder; // the folder the save dialog opened in
    std::string SaveFile(QWidget*, const std::string&, const std::string& folder, int& filterIndex) override {
        saveFolder = folder;
        saveFilterShown = filterIndex;
        filterIndex = saveFilter;
        return fileToSave;
    }
    // The user's answers to input boxes, in order; none left: cancel.
    std::vector<std::string> inputs;
    std::vector<std::string> prompts;
    bool InputQuery(QWidget*, const std::string&, const std::string& prompt, std::string& value) override;
};

// What a recording plug-in saw, with the windows that existed at the moment.
struct SeenCommand {
    std::string command, parameter;
    bool optionsDialogExisted = false, statusWindowExisted = false, decoderDataExisted = false;
};

// Plug-ins that the fake loader offers: "Recorder" (recorder.so) with every
// entry point, and silent.so with none.
class RecordingPlugins : public IPluginLoader {
public:
    std::vector<std::string> List(const std::string& folder) override;
    void* Open(const std::string& path, std::string& error) override;
    void* Symbol(void* module, const char* name) override;
    void Close(void* module) override;
    static std::vector<SeenCommand>& Seen();
    static const AppForms*& Forms();
    static std::vector<TRDSGroupRec>& Groups();
    // The recorder's Initialize throws while this is set.
    static bool& FailInitialize();
    // "COMMAND parameter" of every command seen that begins with prefix.
    static std::vector<std::string> CommandsWith(const std::string& prefix);
};

// A program folder in a temporary directory and an environment of fakes.
struct FakeProgram {
    QTemporaryDir dir;
    FakeTime time;
    FakeShell shell;
    FakeModal modal;
    AppEnv Env(std::vector<std::string> args = {}, bool withPlugins = true);
    std::string ProgramFolder() const { return dir.path().toStdString() + "/orvane/"; }
};

} // namespace orvane::test
