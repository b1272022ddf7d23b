#include "Shell.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QMessageBox>
#include <QProcess>
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

std::string ExecModalRunner::OpenFileIn(QWidget* parent, const std::string& filter, const std::string& folder) {
    return QFileDialog::getOpenFileName(parent, QString(), QString::fromStdString(folder),
                                        QString::fromStdString(filter))
        .toStdString();
}

std::string ExecModalRunner::SaveFile(QWidget* parent, const std::string& filter, const std::string& folder) {
    return QFileDialog::getSaveFileName(parent, QString(), QString::fromStdString(folder),
                                        QString::fromStdString(filter))
        .toStdString();
}

std::string ExecModalRunner::OpenFile(QWidget* parent, const std::string& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), QString::fromStdString(filter)).toStdString();
}

std::string ExecModalRunner::SaveFile(QWidget* parent, const std::string& filter, const std::string& folder,
                                      int& filterIndex) {
    const QStringList filters = QString::fromStdString(filter).split(QStringLiteral(";;"));
    QString selected = filters.value(filterIndex);
    const QString file = QFileDialog::getSaveFileName(parent, QString(), QString::fromStdString(folder),
                                                      QString::fromStdString(filter), &selected);
    filterIndex = std::max<int>(0, static_cast<int>(filters.indexOf(selected)));
    return file.toStdString();
}

int ExecModalRunner::Run(QDialog& dialog) { return dialog.exec(); }

void ExecModalRunner::Message(QWidget* parent, const std::string& text) {
    QMessageBox::information(parent, QStringLiteral("Orvane"), QString::fromStdString(text));
}

bool ExecModalRunner::InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt,
                                 std::string& value) {
    bool ok = false;
    const QString text = QInputDialog::getText(parent, QString::fromStdString(caption), QString::fromStdString(prompt),
                                               QLineEdit::Normal, QString::fromStdString(value), &ok);
    if (ok) value = text.toStdString();
    return ok;
}

} // namespace orvane
