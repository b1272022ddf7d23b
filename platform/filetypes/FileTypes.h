#pragma once
// Associating the playable file types with the program at user level: a
// shared-mime-info package under $XDG_DATA_HOME/mime/packages, one desktop
// entry per class under $XDG_DATA_HOME/applications and the default
// application in $XDG_CONFIG_HOME/mimeapps.list. Whether a type is
// registered is read back from those files.
#include <array>
#include <functional>
#include <string>
#include <vector>

namespace orvane {

struct FileTypeClass {
    const char* extension;   // ".orv"
    const char* className;   // the desktop entry's name without ".desktop"
    const char* description; // the type's and the entry's name
    const char* mimeType;
};

// Item 0 ".orv", item 1 ".smp", as the options dialog lists them.
const std::array<FileTypeClass, 2>& PlayableFileTypes();

// A desktop tool's exit code, or one of these.
constexpr int kToolMissing = -100;   // not installed
constexpr int kToolCrashed = -1;     // as QProcess::execute tells it
constexpr int kToolNotStarted = -2;

// What "Associate" did, and what the user is told when not all of it worked.
struct AssociationResult {
    struct ToolRun {
        std::string tool;
        std::vector<std::string> args;
        int exitCode = 0;
    };
    bool written = true;         // every file was written
    std::vector<ToolRun> tools;  // the desktop tools run afterwards

    // Written, and every tool ran and succeeded.
    bool Done() const;
    // What went wrong and what to do; empty when done.
    std::string Message() const;
};

class IFileTypes {
public:
    virtual ~IFileTypes() = default;
    // Ticked types are associated with the program; an unticked type loses
    // its extension's association and keeps its class's desktop entry. A
    // file that cannot be written leaves the rest still done.
    virtual AssociationResult Associate(const std::array<bool, 2>& ticked) = 0;
    virtual bool Registered(size_t index) const = 0;
};

class XdgFileTypes final : public IFileTypes {
public:
    // Runs a desktop tool with its arguments: its exit code, or kToolMissing.
    using ToolRunner = std::function<int(const std::string& tool, const std::vector<std::string>& args)>;

    XdgFileTypes(std::string dataHome, std::string configHome, std::string programPath,
                 ToolRunner runTool = RunToolWhenPresent);
    // $XDG_DATA_HOME and $XDG_CONFIG_HOME, or their defaults under $HOME.
    static XdgFileTypes ForCurrentUser(const std::string& programPath);

    AssociationResult Associate(const std::array<bool, 2>& ticked) override;
    bool Registered(size_t index) const override;

    std::string PackageFile() const { return dataHome_ + "/mime/packages/orvane.xml"; }
    std::string DesktopEntry(size_t index) const;
    std::string MimeAppsList() const { return configHome_ + "/mimeapps.list"; }
    // The Exec value of the desktop entries: the program, quoted when its
    // path holds a character the entry's rules reserve, then "%f".
    std::string ExecLine() const;

    // Runs update-mime-database and the like when they are installed.
    static int RunToolWhenPresent(const std::string& tool, const std::vector<std::string>& args);

private:
    bool WriteDesktopEntry(size_t index) const;
    bool WritePackage(const std::array<bool, 2>& ticked) const;
    bool WriteDefaults(const std::array<bool, 2>& ticked) const;
    std::vector<std::string> PackageGlobs() const;

    std::string dataHome_, configHome_, programPath_;
    ToolRunner runTool_;
};

} // namespace orvane
