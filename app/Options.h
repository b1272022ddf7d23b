#pragma once
// The options live in the controls of the options and source dialogs; the
// logic reads them only through this accessor, which the dialog implements
// and tests fake. Until a dialog provides a value, the defaults below answer.
namespace orvane {

class IOptions {
public:
    virtual ~IOptions() = default;
    // "Consider bad blocks as correct (not recommended)"
    virtual bool ConsiderBadBlocksAsCorrect() const { return false; }
    // "Save workspace on Exit *"
    virtual bool SaveWorkspaceOnExit() const { return true; }
};

// The dialogs' defaults.
class DefaultOptions : public IOptions {};

} // namespace orvane
