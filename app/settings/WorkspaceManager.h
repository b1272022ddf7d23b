#pragma once
// Loading and saving the settings file and the workspace for the main window:
// which workspace is open, the command-line switches that pick a workspace
// or force a source, and the message when a file cannot be written.
#include "SettingsFile.h"
#include "Workspace.h"

#include <QRect>
#include <QSize>

#include <string>
#include <vector>

namespace orvane {

// What the settings need from the main window and its dialogs.
class ISettingsHost {
public:
    virtual ~ISettingsHost() = default;
    // The options dialog's controls that the settings file keeps (the
    // workspace file name is the manager's own).
    virtual ConfigSettings ConfigControls() const = 0;
    virtual void SetConfigControls(const ConfigSettings& settings) = 0;
    // Window position, source settings, playback and dialog state, options.
    virtual WorkspaceState WorkspaceControls() const = 0;
    virtual void SetWorkspaceControls(const WorkspaceState& state) = 0;
    // The source dialog's input device list.
    virtual std::vector<std::string> AudioDevices() const = 0;
    // The main window's frame and the available area of its screen.
    virtual void WindowAndScreenArea(QSize& frame, QRect& area) const = 0;
    virtual void Show(const std::string& message) = 0; // status line
    // The status line with a message that names `file`: where the whole
    // would not fit, the name is shortened in its middle.
    virtual void ShowNaming(const std::string& message, const std::string& /*file*/) { Show(message); }
    virtual void Message(const std::string& text) = 0; // message box
};

class WorkspaceManager {
public:
    static constexpr const char* kCannotWrite = "Can't write to the file, please remove write protection!";

    WorkspaceManager(ISettingsHost& host, std::string dataFolder, std::string documentsFolder,
                     std::string programFolder, std::vector<std::string> args);

    const std::string& WorkspaceFile() const { return workspaceFile_; }
    void SetWorkspaceFile(std::string file) { workspaceFile_ = std::move(file); }
    // Makes file the workspace file name when it can be a workspace (an ini
    // file, an empty one, or one still to be made); else says in a message
    // box that it is not one and keeps the workspace in force, so that
    // nothing is ever written into it.
    bool UseWorkspaceFile(const std::string& file);
    static std::string NotAWorkspace(const std::string& file);
    static std::string NoLongerAWorkspace(const std::string& file);
    bool SettingsFileExists() const { return settings_.Exists(); }
    // Set by "-C:SOC:" while it keeps the stored source from being saved.
    bool SourceOverride() const { return sourceOverride_; }
    void ClearSourceOverride() { sourceOverride_ = false; }

    // Reads "orvane.ini" into the controls; "-WS:" picks the workspace. When
    // the file picked is not a workspace, the stored one opens, or else the
    // default one, or none when that is not one either.
    ConfigSettings LoadConfig();
    // False after showing that the file cannot be written.
    bool SaveConfig();
    // Reads the workspace into the controls: the window kept on the screen,
    // the "-C:SOC:" switch applied the first time only. Returns what it set.
    WorkspaceState LoadWorkspace();
    bool SaveWorkspace();
    // "Orvane - " and the workspace's file name, or "Orvane" without one.
    std::string Caption() const;

    void CannotWriteFile();

private:
    ISettingsHost& host_;
    SettingsFile settings_;
    std::string dataFolder_, documentsFolder_, programFolder_;
    std::vector<std::string> args_;
    std::string workspaceFile_;
    bool sourceSwitchDone_ = false;
    bool sourceOverride_ = false;
};

} // namespace orvane
