#include "Shell.h"

#include "WindowFit.h"

#include <QDesktopServices>
#include <QDialog>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
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

// One dialog for every open and save: it starts in `start` (a folder, or a
// folder and a proposed name) with filter `filterIndex` and reports the
// filter chosen.
std::string RunFileDialog(QWidget* parent, const std::string& filter, const std::string& start, int& filterIndex,
                          bool save) {
    const QStringList filters = Filters(filter);
    QFileDialog dialog(parent, QString(), QString::fromStdString(start), QString::fromStdString(filter));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    const int shown = filterIndex >= 0 && filterIndex < filters.size() ? filterIndex : 0;
    dialog.selectNameFilter(filters.value(shown));
    if (save) {
        // The default suffix is added before the dialog asks about
        // overwriting, so it asks about the file that will be written.
        auto suffixFor = [&](const QString& selected) {
            dialog.setDefaultSuffix(QString::fromStdString(
                FilterExtension(filter, std::max<int>(0, static_cast<int>(filters.indexOf(selected))))));
        };
        suffixFor(filters.value(shown));
        QObject::connect(&dialog, &QFileDialog::filterSelected, &dialog, suffixFor);
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    filterIndex = std::max<int>(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().front().toStdString();
}

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

bool DesktopShell::Installed(const std::string& program) {
    return !QStandardPaths::findExecutable(QString::fromStdString(program)).isEmpty();
}

std::string ExecModalRunner::OpenFile(QWidget* parent, const std::string& filter, const std::string& folder,
                                      int& filterIndex) {
    return RunFileDialog(parent, filter, folder, filterIndex, false);
}

std::string ExecModalRunner::SaveFile(QWidget* parent, const std::string& filter, const std::string& folder,
                                      int& filterIndex) {
    return RunFileDialog(parent, filter, folder, filterIndex, true);
}

int ExecModalRunner::Run(QDialog& dialog) { return dialog.exec(); }

void ExecModalRunner::Message(QWidget* parent, const std::string& text) {
    // The messages break their lines with a lone CR, as Windows message
    // boxes do; Qt breaks them only at LF.
    QString shown = QString::fromStdString(text);
    shown.replace(QLatin1String("\r\n"), QLatin1String("\n")).replace(QLatin1Char('\r'), QLatin1Char('\n'));
    QMessageBox::information(parent, QStringLiteral("Orvane"), shown);
}

bool ExecModalRunner::InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt,
                                 std::string& value) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(value));
    // The dialog's layout sets its own minimum size; its edit line carries
    // the title's width instead.
    if (auto* edit = dialog.findChild<QLineEdit*>()) edit->setMinimumWidth(TitleBarWidth(&dialog));
    if (dialog.exec() != QDialog::Accepted) return false;
    value = dialog.textValue().toStdString();
    return true;
}

} // namespace orvane
