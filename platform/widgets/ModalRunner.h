#pragma once
#include "Shell.h"

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
};

} // namespace orvane
