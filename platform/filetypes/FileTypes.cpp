#include "FileTypes.h"

#include "IniFile.h"

#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QSaveFile>
#include <QStandardPaths>
#include <QString>
#include <QStringList>
#include <QXmlStreamReader>
#include <QXmlStreamWriter>

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace orvane {

namespace {

constexpr const char* kDefaults = "Default Applications";

bool WriteWhole(const std::string& path, const QByteArray& bytes) {
    QDir().mkpath(QFileInfo(QString::fromStdString(path)).absolutePath());
    QSaveFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(bytes) != bytes.size()) {
        file.cancelWriting();
        return false;
    }
    return file.commit();
}

QByteArray ReadWhole(const std::string& path) {
    QFile file(QString::fromStdString(path));
    if (!file.open(QIODevice::ReadOnly)) return {};
    return file.readAll();
}

std::string Home(const char* variable, const char* fallbackUnderHome) {
    if (const char* v = std::getenv(variable); v && *v == '/') return v;
    const char* home = std::getenv("HOME");
    return std::string(home ? home : "") + fallbackUnderHome;
}

// The Exec value of one entry line, found without regard to the other keys.
std::string ExecValue(const QByteArray& entry) {
    for (const QByteArray& line : entry.split('\n')) {
        const QByteArray t = line.trimmed();
        if (t.startsWith("Exec=")) return t.mid(5).toStdString();
    }
    return {};
}

} // namespace

const std::array<FileTypeClass, 2>& PlayableFileTypes() {
    static const std::array<FileTypeClass, 2> types{{
        {".orv", "orv_auto_file", "Orvane file", "application/x-orvane-orv"},
        {".smp", "smp_auto_file", "Kivo file", "application/x-orvane-smp"},
    }};
    return types;
}

XdgFileTypes::XdgFileTypes(std::string dataHome, std::string configHome, std::string programPath,
                           ToolRunner runTool)
    : dataHome_(std::move(dataHome)), configHome_(std::move(configHome)), programPath_(std::move(programPath)),
      runTool_(std::move(runTool)) {}

XdgFileTypes XdgFileTypes::ForCurrentUser(const std::string& programPath) {
    return XdgFileTypes(Home("XDG_DATA_HOME", "/.local/share"), Home("XDG_CONFIG_HOME", "/.config"), programPath);
}

std::string XdgFileTypes::DesktopEntry(size_t index) const {
    return dataHome_ + "/applications/" + PlayableFileTypes().at(index).className + ".desktop";
}

std::string XdgFileTypes::ExecLine() const {
    // Only a path with a reserved character is quoted: xdg-open's own search
    // (a desktop with no environment of its own) takes the first word as it
    // stands, quotes and all, so a quoted plain path would start nothing.
    static const std::string kReserved = " \t\n\"'\\><~|&;$*?#`()";
    const bool quote = programPath_.find_first_of(kReserved) != std::string::npos;
    // Inside a quoted argument '"', '`', '$' and '\' take a backslash, and the
    // entry's string escapes double every backslash again; '%' is doubled.
    std::string exec;
    for (char c : programPath_) {
        if (quote && (c == '"' || c == '`' || c == '$')) exec += "\\\\";
        if (quote && c == '\\') exec += "\\\\\\";
        if (c == '%') exec += '%';
        exec += c;
    }
    return (quote ? "\"" + exec + "\"" : exec) + " %f";
}

bool XdgFileTypes::WriteDesktopEntry(size_t index) const {
    const FileTypeClass& t = PlayableFileTypes().at(index);
    std::string text = "[Desktop Entry]\n"
                       "Type=Application\n";
    text += std::string("Name=") + t.description + "\n";
    text += "Exec=" + ExecLine() + "\n";
    // Our icon is installed beside the program; a backslash in a string
    // value of the entry is written doubled.
    std::string icon = programPath_.substr(0, programPath_.rfind('/') + 1) + "orvane.png";
    for (size_t at = icon.find('\\'); at != std::string::npos; at = icon.find('\\', at + 2)) icon.insert(at, 1, '\\');
    text += "Icon=" + icon + "\n";
    text += std::string("MimeType=") + t.mimeType + ";\n";
    text += "NoDisplay=true\n"
            "Terminal=false\n";
    return WriteWhole(DesktopEntry(index), QByteArray::fromStdString(text));
}

std::vector<std::string> XdgFileTypes::PackageGlobs() const {
    std::vector<std::string> globs;
    QXmlStreamReader xml(ReadWhole(PackageFile()));
    QString type;
    while (!xml.atEnd()) {
        if (xml.readNext() != QXmlStreamReader::StartElement) continue;
        if (xml.name() == QLatin1String("mime-type")) type = xml.attributes().value("type").toString();
        else if (xml.name() == QLatin1String("glob"))
            globs.push_back(type.toStdString() + " " + xml.attributes().value("pattern").toString().toStdString());
    }
    return xml.hasError() ? std::vector<std::string>{} : globs;
}

bool XdgFileTypes::WritePackage(const std::array<bool, 2>& ticked) const {
    const QString path = QString::fromStdString(PackageFile());
    if (!ticked[0] && !ticked[1]) return !QFileInfo::exists(path) || QFile::remove(path);
    QByteArray bytes;
    QXmlStreamWriter xml(&bytes);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeStartElement("mime-info");
    xml.writeDefaultNamespace("http://www.freedesktop.org/standards/shared-mime-info");
    for (size_t i = 0; i < ticked.size(); ++i) {
        if (!ticked[i]) continue;
        const FileTypeClass& t = PlayableFileTypes()[i];
        xml.writeStartElement("mime-type");
        xml.writeAttribute("type", t.mimeType);
        xml.writeTextElement("comment", t.description);
        xml.writeEmptyElement("glob");
        xml.writeAttribute("pattern", QString("*") + t.extension);
        xml.writeEndElement();
    }
    xml.writeEndElement();
    xml.writeEndDocument();
    return WriteWhole(PackageFile(), bytes);
}

bool XdgFileTypes::WriteDefaults(const std::array<bool, 2>& ticked) const {
    try {
        QDir().mkpath(QString::fromStdString(configHome_));
        TIniFile list(MimeAppsList());
        for (size_t i = 0; i < ticked.size(); ++i) {
            const FileTypeClass& t = PlayableFileTypes()[i];
            if (ticked[i]) list.WriteString(kDefaults, t.mimeType, std::string(t.className) + ".desktop");
            else list.DeleteKey(kDefaults, t.mimeType);
        }
        list.UpdateFile();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

AssociationResult XdgFileTypes::Associate(const std::array<bool, 2>& ticked) {
    AssociationResult result;
    bool& ok = result.written;
    for (size_t i = 0; i < ticked.size(); ++i)
        if (ticked[i]) ok = WriteDesktopEntry(i) && ok;
    ok = WritePackage(ticked) && ok;
    ok = WriteDefaults(ticked) && ok;
    if (runTool_) {
        // The desktop reads the package and the entries only as these tools
        // compile them, so how they ended is part of the result.
        using Tool = std::pair<std::string, std::vector<std::string>>;
        for (const auto& [tool, args] : {Tool{"update-mime-database", {dataHome_ + "/mime"}},
                                         Tool{"update-desktop-database", {dataHome_ + "/applications"}}})
            result.tools.push_back({tool, args, runTool_(tool, args)});
    }
    return result;
}

bool XdgFileTypes::Registered(size_t index) const {
    const FileTypeClass& t = PlayableFileTypes().at(index);
    // The entry must start this program, as the class's open command would.
    const QString exec = QString::fromStdString(ExecValue(ReadWhole(DesktopEntry(index)))).toUpper();
    if (!exec.contains(QString::fromStdString(programPath_).toUpper())) return false;
    const std::string glob = std::string(t.mimeType) + " *" + t.extension;
    bool globbed = false;
    for (const auto& g : PackageGlobs()) globbed = globbed || g == glob;
    if (!globbed) return false;
    const TIniFile list(MimeAppsList());
    return list.ReadString(kDefaults, t.mimeType, "") == std::string(t.className) + ".desktop";
}

int XdgFileTypes::RunToolWhenPresent(const std::string& tool, const std::vector<std::string>& args) {
    const QString path = QStandardPaths::findExecutable(QString::fromStdString(tool));
    if (path.isEmpty()) return kToolMissing;
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    return QProcess::execute(path, list);
}

namespace {

// The Debian package that installs a tool, for the user to install.
std::string PackageOf(const std::string& tool) {
    if (tool == "update-mime-database") return "shared-mime-info";
    if (tool == "update-desktop-database") return "desktop-file-utils";
    return tool;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (size_t i = 0; i < items.size(); ++i) text += (i == 0 ? "" : i + 1 == items.size() ? " and " : ", ") + items[i];
    return text;
}

} // namespace

bool AssociationResult::Done() const {
    return written && std::all_of(tools.begin(), tools.end(), [](const ToolRun& t) { return t.exitCode == 0; });
}

std::string AssociationResult::Message() const {
    if (!written) return "Can't register the file types, please check the write permissions of your home folder!";
    std::vector<std::string> missing, packages;
    std::string failed;
    for (const ToolRun& t : tools) {
        if (t.exitCode == 0) continue;
        if (t.exitCode == kToolMissing) {
            missing.push_back(t.tool);
            packages.push_back(PackageOf(t.tool));
            continue;
        }
        std::string command = t.tool;
        for (const std::string& a : t.args) command += " " + a;
        const std::string how = t.exitCode == kToolCrashed      ? "crashed"
                                : t.exitCode == kToolNotStarted ? "could not be started"
                                                                : "failed with exit code " + std::to_string(t.exitCode);
        if (failed.empty())
            failed = "The file types are saved, but " + t.tool + " " + how + ": run \"" + command +
                     "\" in a terminal to see why, then press \"Associate\" again.";
    }
    std::string text;
    if (!missing.empty())
        text = "The file types are saved, but the desktop will not know them until " + Joined(missing) +
               (missing.size() == 1 ? " has" : " have") + " run: install " + Joined(packages) +
               ", then press \"Associate\" again.";
    if (!failed.empty()) text += (text.empty() ? "" : " ") + failed;
    return text;
}

} // namespace orvane
