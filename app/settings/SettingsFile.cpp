#include "SettingsFile.h"

#include "IniFile.h"
#include "Workspace.h"

#include <QDir>
#include <QFileInfo>
#include <QString>

#include <algorithm>
#include <sys/stat.h>

namespace orvane {

namespace {
constexpr const char* kGeneral = "General";
} // namespace

bool IsWriteProtected(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return false;
    return (st.st_mode & (S_IWUSR | S_IWGRP | S_IWOTH)) == 0;
}

SettingsFile::SettingsFile(std::string dataFolder) : dataFolder_(std::move(dataFolder)) {}

bool SettingsFile::Exists() const { return QFileInfo::exists(QString::fromStdString(Path())); }

ConfigSettings SettingsFile::Load(const std::string& defaultWorkspace) const {
    const TIniFile ini(Path());
    ConfigSettings s;
    s.workspaceFile = ini.ReadString(kGeneral, "WorkspaceFile", defaultWorkspace);
    s.highPriority = ini.ReadBool(kGeneral, "HighPriority", s.highPriority);
    s.onTop = ini.ReadBool(kGeneral, "OnTop", s.onTop);
    s.superPI = ini.ReadBool(kGeneral, "SuperPI", s.superPI);
    s.flatLCD = ini.ReadBool(kGeneral, "FlatLCD", s.flatLCD);
    s.force441 = ini.ReadBool(kGeneral, "Force441kHz", s.force441);
    s.bufferLength = std::clamp(ini.ReadInteger(kGeneral, "BufferLength", s.bufferLength), kBufferLengthMin,
                                kBufferLengthMax);
    s.soundCardBuffer = std::clamp(ini.ReadInteger(kGeneral, "SoundCardBuffer", s.soundCardBuffer), 0, 3);
    return s;
}

void SettingsFile::Save(const ConfigSettings& s) const {
    QDir().mkpath(QString::fromStdString(dataFolder_));
    if (IsWriteProtected(Path())) throw EIniFileError("The settings file is write-protected");
    TIniFile ini(Path());
    ini.WriteString(kGeneral, "WorkspaceFile", s.workspaceFile);
    ini.WriteBool(kGeneral, "HighPriority", s.highPriority);
    ini.WriteBool(kGeneral, "OnTop", s.onTop);
    ini.WriteBool(kGeneral, "SuperPI", s.superPI);
    ini.WriteBool(kGeneral, "FlatLCD", s.flatLCD);
    ini.WriteBool(kGeneral, "Force441kHz", s.force441);
    ini.WriteInteger(kGeneral, "BufferLength", s.bufferLength);
    ini.WriteInteger(kGeneral, "SoundCardBuffer", s.soundCardBuffer);
    ini.UpdateFile();
}

std::string SettingsFile::WorkspaceSwitch(const std::vector<std::string>& args, const std::string& dataFolder,
                                          const std::string& current) {
    std::string result = current;
    for (const auto& arg : args) {
        QString a = QString::fromStdString(arg);
        a.remove(QLatin1Char('"'));
        if (!a.startsWith(QLatin1String("-WS:"), Qt::CaseInsensitive) &&
            !a.startsWith(QLatin1String("/WS:"), Qt::CaseInsensitive))
            continue;
        const QString name = a.mid(4);
        if (name.isEmpty()) continue;
        // Kept absolute: the settings file names it again from any folder. A new
        // workspace given with its full path stays there; prefixing the data
        // folder would name a file that can never be written.
        if (QFileInfo::exists(name))
            result = QFileInfo(name).absoluteFilePath().toStdString();
        else if (QDir::isAbsolutePath(name))
            result = QDir::cleanPath(name).toStdString();
        else
            result = dataFolder + name.toStdString();
    }
    return result;
}

} // namespace orvane
