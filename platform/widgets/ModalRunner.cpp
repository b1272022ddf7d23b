#include "ModalRunner.h"

#include "WindowFit.h"

#include <QDialog>
#include <QFileDialog>
#include <QInputDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QStringList>

#include <algorithm>

namespace orvane {

namespace {

QStringList Filters(const std::string& filter) { return QString::fromStdString(filter).split(QStringLiteral(";;")); }

} // namespace

int ExecModalRunner::Exec(QDialog& dialog) {
    if (cancelled_) return QDialog::Rejected;
    open_.emplace_back(&dialog);
    const int result = dialog.exec();
    open_.pop_back();
    return result;
}

void ExecModalRunner::CancelAll() {
    cancelled_ = true;
    // Innermost first: each box's loop ends as control comes back to it.
    for (auto it = open_.rbegin(); it != open_.rend(); ++it)
        if (*it) (*it)->reject();
}

// One dialog for every open and save: it starts in `start` (a folder, or a
// folder and a proposed name) with filter `filterIndex` and reports the
// filter chosen.
std::string ExecModalRunner::RunFileDialog(QWidget* parent, const std::string& filter, const std::string& start,
                                           int& filterIndex, bool save) {
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
    if (Exec(dialog) != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    filterIndex = std::max<int>(0, static_cast<int>(filters.indexOf(dialog.selectedNameFilter())));
    return dialog.selectedFiles().front().toStdString();
}

std::string ExecModalRunner::OpenFile(QWidget* parent, const std::string& filter, const std::string& folder,
                                      int& filterIndex) {
    return RunFileDialog(parent, filter, folder, filterIndex, false);
}

std::string ExecModalRunner::SaveFile(QWidget* parent, const std::string& filter, const std::string& folder,
                                      int& filterIndex) {
    return RunFileDialog(parent, filter, folder, filterIndex, true);
}

int ExecModalRunner::Run(QDialog& dialog) { return Exec(dialog); }

void ExecModalRunner::Message(QWidget* parent, const std::string& text) {
    QMessageBox box(QMessageBox::Information, QString(), QString(), QMessageBox::Ok, parent);
    SetMessage(box, QStringLiteral("Orvane"), QString::fromStdString(text));
    Exec(box);
}

bool ExecModalRunner::InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt,
                                 std::string& value) {
    QInputDialog dialog(parent);
    dialog.setWindowTitle(QString::fromStdString(caption));
    dialog.setLabelText(QString::fromStdString(prompt));
    dialog.setTextValue(QString::fromStdString(value));
    // The dialog's layout sets its own minimum size; its edit line carries
    // the title's width instead.
    if (auto* edit = dialog.findChild<QLineEdit*>()) CarryTitleBarWidth(edit);
    if (Exec(dialog) != QDialog::Accepted) return false;
    value = dialog.textValue().toStdString();
    return true;
}

} // namespace orvane
