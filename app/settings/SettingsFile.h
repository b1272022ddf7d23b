#pragma once
// "orvane.ini": the few settings that hold for every workspace, among them
// which workspace to open.
#include <string>
#include <vector>

namespace orvane {

// Section "General" of the settings file; every field is the state of an
// options-dialog control, except the workspace file name.
struct ConfigSettings {
    std::string workspaceFile;
    bool highPriority = false;   // CBHIPRI
    bool onTop = false;          // CBONTOP
    bool superPI = false;        // CBSPI
    bool flatLCD = false;        // CBFLCD
    bool force441 = true;        // CB441
    int bufferLength = 10;       // SEBUFLEN, seconds 1..60
    int soundCardBuffer = 1;     // CBBUFLEN item 0..3
};

class SettingsFile {
public:
    explicit SettingsFile(std::string dataFolder);

    std::string Path() const { return dataFolder_ + "orvane.ini"; }
    bool Exists() const;

    // The file's keys over the defaults, each clamped to its control's range;
    // a missing file gives every default.
    ConfigSettings Load(const std::string& defaultWorkspace) const;
    // Writes every key in the table's order; creates the data folder when
    // missing. Throws EIniFileError when the file cannot be written, leaving
    // the old file as it was.
    void Save(const ConfigSettings& settings) const;

    // The workspace that "-WS:"/"/WS:" picks (any letter case, double quotes
    // removed, a later switch wins); a relative name that is no existing file
    // is taken from the data folder; current when no switch names one.
    static std::string WorkspaceSwitch(const std::vector<std::string>& args, const std::string& dataFolder,
                                       const std::string& current);

private:
    std::string dataFolder_;
};

// A file the user protected (no write permission for anyone) is not replaced,
// even by a user whom the file system would let.
bool IsWriteProtected(const std::string& path);

} // namespace orvane
