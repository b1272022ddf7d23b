#include "veltutil.h"

#include <QComboBox>
#include <QDir>
#include <QStandardPaths>
#include <QString>

#include <cstdlib>

namespace orvane {
namespace {

std::string WithSlash(std::string s) {
    if (s.empty() || s.back() != '/') s += '/';
    return s;
}

std::string Padded(int32_t value, int32_t width, char fill) {
    std::string s = std::to_string(value);
    if (width > 0 && static_cast<int32_t>(s.size()) < width)
        s.insert(0, static_cast<size_t>(width) - s.size(), fill);
    return s;
}

void ReplaceAll(std::string& s, const std::string& from, const std::string& to) {
    for (size_t pos = 0; (pos = s.find(from, pos)) != std::string::npos; pos += to.size())
        s.replace(pos, from.size(), to);
}

std::string EnvOr(const char* name) {
    const char* v = std::getenv(name);
    return v ? std::string(v) : std::string();
}

} // namespace

std::string GetWindowsFolder() { return "/"; }

std::string IntToStrZero(int32_t value, int32_t width) { return Padded(value, width, '0'); }

std::string IntToStrSpace(int32_t value, int32_t width) { return Padded(value, width, ' '); }

std::string XmlEscape(const std::string& text, bool escape) {
    if (!escape) return text;
    std::string s = text;
    ReplaceAll(s, "&", "&amp;");
    ReplaceAll(s, "<", "&lt;");
    ReplaceAll(s, ">", "&gt;");
    return s;
}

bool BitIsSet(int32_t value, int32_t bit) {
    return (static_cast<uint32_t>(value) >> (static_cast<uint32_t>(bit) & 31)) & 1;
}

int ComboIndexOf(const std::vector<std::string>& items, const std::string& text, int def) {
    const QString t = QString::fromStdString(text);
    for (size_t i = 0; i < items.size(); ++i)
        if (QString::fromStdString(items[i]).compare(t, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i);
    return def;
}

int ComboIndexOf(const QComboBox& combo, const std::string& text, int def) {
    const QString t = QString::fromStdString(text);
    for (int i = 0; i < combo.count(); ++i)
        if (combo.itemText(i).compare(t, Qt::CaseInsensitive) == 0) return i;
    return def;
}

std::string ProgramFolderOf(const std::string& programPath) {
    const size_t slash = programPath.rfind('/');
    if (slash == std::string::npos) return "./";
    return programPath.substr(0, slash + 1);
}

std::string GetAppFolderName(const std::string& programPath) {
    std::string folder = ProgramFolderOf(programPath);
    if (!folder.empty() && folder.back() == '/') folder.pop_back();
    const size_t slash = folder.rfind('/');
    std::string name = slash == std::string::npos ? std::string() : folder.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") {
        const size_t s = programPath.rfind('/');
        name = s == std::string::npos ? programPath : programPath.substr(s + 1);
        for (char& c : name)
            if (c == '.') c = '_';
    }
    return name;
}

std::string GetDataFolder(bool common, bool create, const std::string& programPath) {
    std::string base;
    if (common) {
        std::string dirs = EnvOr("XDG_DATA_DIRS");
        if (dirs.empty()) dirs = "/usr/local/share";
        base = dirs.substr(0, dirs.find(':'));
    } else {
        base = EnvOr("XDG_DATA_HOME");
        if (base.empty()) {
            const std::string home = EnvOr("HOME");
            if (!home.empty()) base = WithSlash(home) + ".local/share";
        }
    }
    if (base.empty()) return ProgramFolderOf(programPath);
    const std::string folder = WithSlash(WithSlash(base) + GetAppFolderName(programPath));
    if (create) QDir().mkpath(QString::fromStdString(folder));
    return folder;
}

std::string GetDocumentsFolder(const std::string& programPath) {
    QString docs = QStandardPaths::writableLocation(QStandardPaths::DocumentsLocation);
    if (docs.isEmpty()) docs = QDir::homePath();
    if (docs.isEmpty()) return ProgramFolderOf(programPath);
    return WithSlash(docs.toStdString());
}

} // namespace orvane
