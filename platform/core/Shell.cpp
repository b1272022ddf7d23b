#include "Shell.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QProcess>
#include <QStringList>
#include <QUrl>

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

std::string ExecModalRunner::OpenFile(QWidget* parent, const std::string& filter) {
    return QFileDialog::getOpenFileName(parent, QString(), QString(), QString::fromStdString(filter)).toStdString();
}

int ExecModalRunner::Run(QDialog& dialog) { return dialog.exec(); }

void ExecModalRunner::Message(QWidget* parent, const std::string& text) {
    QMessageBox::information(parent, QStringLiteral("Orvane"), QString::fromStdString(text));
}

} // namespace orvane
