#include "Shell.h"

#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QStringList>
#include <QUrl>

#include <algorithm>

namespace orvane {

bool DesktopShell::Open(const std::string& target, const std::string& workingFolder) {
    const QString t = QString::fromStdString(target);
    QUrl url(t);
    if (url.scheme().size() <= 1) { // a plain path, relative to the working folder
        QFileInfo fi(QDir(QString::fromStdString(workingFolder)), t);
        url = QUrl::fromLocalFile(fi.absoluteFilePath());
    }
    return QDesktopServices::openUrl(url);
}

bool DesktopShell::StartDetached(const std::string& program, const std::vector<std::string>& args) {
    QStringList list;
    for (const auto& a : args) list << QString::fromStdString(a);
    return QProcess::startDetached(QString::fromStdString(program), list);
}

bool DesktopShell::Edit(const std::string& file) {
    // The default application for plain text is the desktop's text editor;
    // a template's own extension may belong to an office suite.
    QProcess query;
    query.start(QStringLiteral("xdg-mime"), {QStringLiteral("query"), QStringLiteral("default"),
                                            QStringLiteral("text/plain")});
    if (query.waitForFinished(3000) && query.exitCode() == 0) {
        QString entry = QString::fromUtf8(query.readAllStandardOutput()).trimmed();
        if (entry.endsWith(QLatin1String(".desktop"))) entry.chop(8);
        if (!entry.isEmpty() &&
            QProcess::startDetached(QStringLiteral("gtk-launch"), {entry, QString::fromStdString(file)}))
            return true;
    }
    return Open(file, {});
}

namespace {

QStringList Filters(const std::string& filter) { return QString::fromStdString(filter).split(QStringLiteral(";;")); }

} // namespace

std::string FilterExtension(const std::string& filter, int index) {
    const QStringList filters = Filters(filter);
    QString f = filters.value(index >= 0 && index < filters.size() ? index : 0).trimmed();
    const qsizetype open = f.lastIndexOf(QLatin1Char('('));
    if (open >= 0 && f.endsWith(QLatin1Char(')'))) f = f.mid(open + 1, f.size() - open - 2);
    const QString first = f.split(QRegularExpression(QStringLiteral("[ ;]+")), Qt::SkipEmptyParts).value(0);
    if (!first.startsWith(QLatin1String("*."))) return {};
    const QString ext = first.mid(2);
    if (ext.isEmpty() || ext.contains(QLatin1Char('*')) || ext.contains(QLatin1Char('?'))) return {};
    return ext.toStdString();
}

std::string WithFilterExtension(const std::string& name, const std::string& filter, int index) {
    if (name.empty() || name.back() == '/') return name;
    const size_t slash = name.rfind('/');
    const size_t start = slash == std::string::npos ? 0 : slash + 1;
    if (name.find('.', start + 1) != std::string::npos) return name;
    const std::string ext = FilterExtension(filter, index);
    return ext.empty() ? name : name + "." + ext;
}

std::string NoBrowserMessage(const std::string& address) {
    return "Can't start a web browser for " + address + ". \rEnter the address in a browser of your choice.";
}

bool DesktopShell::Installed(const std::string& program) {
    return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
}

} // namespace orvane
