#pragma once
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QDialog;
class QObject;
class QWidget;

namespace orvane {

// What the program asks of the desktop shell. Tests supply their own, so no
// test ever launches anything.
class IShell {
public:
    // Runs on the GUI thread when the desktop opened nothing: the opener
    // could not start, or ended in failure. Never once `context` is gone.
    using Failed = std::function<void()>;

    virtual ~IShell() = default;
    // Opens a document or link with its default application. An opener
    // tells of its failure only when it ends, so the answer comes later.
    virtual void Open(const std::string& target, const std::string& workingFolder, QObject* context,
                      Failed failed) = 0;
    virtual bool StartDetached(const std::string& program, const std::vector<std::string>& args) = 0;
    // Opens a text file in the desktop's default text editor, whatever
    // application its extension is associated with.
    virtual void Edit(const std::string& file, QObject* context, Failed failed) {
        Open(file, {}, context, std::move(failed));
    }
    // Whether a program of that name is on the search path, so a failure
    // can name what is missing; true when the shell cannot tell.
    virtual bool Installed(const std::string& /*program*/) { return true; }
};

// Hands documents to xdg-open and text files to the text editor through
// gtk-launch. Each opener runs in a session of its own and is watched without
// blocking; it outlives the shell and the program, since xdg-open may run the
// application in the foreground until the user closes it.
class DesktopShell final : public IShell {
public:
    DesktopShell();
    ~DesktopShell() override;
    DesktopShell(const DesktopShell&) = delete;
    DesktopShell& operator=(const DesktopShell&) = delete;

    void Open(const std::string& target, const std::string& workingFolder, QObject* context,
              Failed failed) override;
    bool StartDetached(const std::string& program, const std::vector<std::string>& args) override;
    void Edit(const std::string& file, QObject* context, Failed failed) override;
    bool Installed(const std::string& program) override;

    // Openers started and still running.
    size_t Running() const { return openers_.size(); }

private:
    struct Opener;
    // False when the program could not be started; `failed` is then not run.
    bool Launch(const std::string& program, const std::vector<std::string>& args, QObject* context,
                Failed failed);
    void Ended(Opener* opener);

    std::vector<std::unique_ptr<Opener>> openers_;
};

// What the user reads when the shell opened no web browser for `address`:
// the program and the plug-ins say it alike. Its line breaks with a lone CR,
// as the program's other messages do.
std::string NoBrowserMessage(const std::string& address);

// Shows dialogs modally and message boxes; tests answer without a loop. The
// widgets layer holds the runner that does it with Qt's dialogs.
class IModalRunner {
public:
    virtual ~IModalRunner() = default;
    virtual int Run(QDialog& dialog) = 0;
    virtual void Message(QWidget* parent, const std::string& text) = 0;
    // A file to open, or empty when the user cancelled; filter in Qt's form,
    // starting in `folder`: `filterIndex` (0-based) is the filter shown
    // first, and then the one chosen.
    virtual std::string OpenFile(QWidget* parent, const std::string& filter, const std::string& folder,
                                 int& filterIndex) = 0;
    // A file to write, or empty when the user cancelled; `folder` may end in
    // a proposed file name. The dialog asks before it lets the user pick an
    // existing file, and gives a name typed without an extension the chosen
    // filter's.
    virtual std::string SaveFile(QWidget* parent, const std::string& filter, const std::string& folder,
                                 int& filterIndex) = 0;
    // A one-line input box prefilled with `value`; false when cancelled.
    virtual bool InputQuery(QWidget* parent, const std::string& caption, const std::string& prompt,
                            std::string& value) = 0;
};

// The extension, without its dot, of the first pattern of filter `index` in
// Qt's form ("Orvane Workspace (*.owk)" gives "owk"); empty when that pattern
// names no fixed extension ("*", "*.*").
std::string FilterExtension(const std::string& filter, int index);
// A name typed without an extension gets that of the chosen filter, so that
// the file shows in the open dialogs that list that filter.
std::string WithFilterExtension(const std::string& name, const std::string& filter, int index);

} // namespace orvane
