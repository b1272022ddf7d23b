#include "WorkspaceManager.h"

#include "FitInArea.h"
#include "IniFile.h"

#include <QFileInfo>
#include <QString>

#include <algorithm>

namespace orvane {

WorkspaceManager::WorkspaceManager(ISettingsHost& host, std::string dataFolder, std::string documentsFolder,
                                   std::string programFolder, std::vector<std::string> args)
    : host_(host), settings_(dataFolder), dataFolder_(std::move(dataFolder)),
      documentsFolder_(std::move(documentsFolder)), programFolder_(std::move(programFolder)),
      args_(std::move(args)), workspaceFile_(dataFolder_ + "default.owk") {}

ConfigSettings WorkspaceManager::LoadConfig() {
    const std::string fallback = dataFolder_ + "default.owk";
    ConfigSettings s = settings_.Load(fallback);
    const std::string picked = SettingsFile::WorkspaceSwitch(args_, dataFolder_, s.workspaceFile);
    std::vector<std::string> refused;
    workspaceFile_.clear();
    for (const std::string& file : {picked, s.workspaceFile, fallback}) {
        if (std::find(refused.begin(), refused.end(), file) != refused.end()) continue;
        if (UseWorkspaceFile(file)) break;
        refused.push_back(file);
    }
    s.workspaceFile = workspaceFile_;
    host_.SetConfigControls(s);
    return s;
}

bool WorkspaceManager::UseWorkspaceFile(const std::string& file) {
    if (HoldsOtherData(file)) {
        host_.Message(NotAWorkspace(file));
        return false;
    }
    workspaceFile_ = file;
    return true;
}

std::string WorkspaceManager::NotAWorkspace(const std::string& file) {
    return "\"" + file + "\" is not a workspace file and is left as it is.";
}

std::string WorkspaceManager::NoLongerAWorkspace(const std::string& file) {
    return "\"" + file + "\" is no longer a workspace file and is left as it is.";
}

bool WorkspaceManager::SaveConfig() {
    ConfigSettings s = host_.ConfigControls();
    s.workspaceFile = workspaceFile_;
    try {
        settings_.Save(s);
        return true;
    } catch (const std::exception&) {
        CannotWriteFile();
        return false;
    }
}

WorkspaceState WorkspaceManager::LoadWorkspace() {
    WorkspaceState s = Workspace::Read(workspaceFile_, Workspace::Defaults(documentsFolder_, programFolder_),
                                       host_.AudioDevices());
    // The whole window opens on the screen, not just a strip of it: a
    // position saved on a larger desktop, or under a panel, would hide keys.
    QSize frame;
    QRect area;
    host_.WindowAndScreenArea(frame, area);
    const QPoint p = FitInArea(QPoint(s.left, s.top), frame, area);
    s.left = p.x();
    s.top = p.y();
    if (!sourceSwitchDone_) {
        sourceSwitchDone_ = true;
        if (const auto sw = FindSourceSwitch(args_)) {
            s.source.host = sw->host;
            s.source.port = sw->port;
            s.source.srcNum = 2;
            s.source.connectionType = 1;
            sourceOverride_ = true;
        }
    }
    host_.SetWorkspaceControls(s);
    return s;
}

bool WorkspaceManager::SaveWorkspace() {
    try {
        Workspace::Write(workspaceFile_, host_.WorkspaceControls(), sourceOverride_, host_.AudioDevices());
        return true;
    } catch (const EWorkspaceHoldsOtherData&) {
        host_.ShowNaming(NoLongerAWorkspace(workspaceFile_), workspaceFile_);
        return false;
    } catch (const std::exception&) {
        CannotWriteFile();
        return false;
    }
}

std::string WorkspaceManager::Caption() const {
    if (workspaceFile_.empty()) return "Orvane";
    return "Orvane - " + QFileInfo(QString::fromStdString(workspaceFile_)).fileName().toStdString();
}

void WorkspaceManager::CannotWriteFile() { host_.Show(kCannotWrite); }

} // namespace orvane
