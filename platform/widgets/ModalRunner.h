#pragma once
#include "Shell.h"

#include <QPointer>

#include <vector>

namespace orvane {

// The runner the program shows its dialogs and message boxes with: each one
// modal, in its own event loop.
class ExecModalRunner final : public IModalRunner {
public:
    int Run(QDialog& dialog) override;
    void Message(QWidget* parent, const std::string& text) override;
    std::string OpenFile(QWidget* parent, const std::string& filter, const std::string& folder,
                         int& filterIndex) override;
    std::string SaveFile(QWidget* parent, const std::string& filter, const std::string& folder,
                         int& filterIndex) override;
    bool InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt,
                    std::string& value) override;

    // The program is closing: every box up is cancelled, and every box asked
    // for from now on is cancelled at once, so none holds the close up.
    void CancelAll();

private:
    int Exec(QDialog& dialog);
    std::string RunFileDialog(QWidget* parent, const std::string& filter, const std::string& start,
                              int& filterIndex, bool save);

    std::vector<QPointer<QDialog>> open_;
    bool cancelled_ = false;
};

} // namespace orvane
