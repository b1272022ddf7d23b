#pragma once
// Workspace files (".owk"): the main program's sections "General" and
// "Record". Plug-ins write their own sections beside them.
#include "IniFile.h"

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

// Control ranges that the files are clamped to.
constexpr int kBufferLengthMin = 1, kBufferLengthMax = 60;     // SEBUFLEN
constexpr int kSignalTimeoutMin = 3, kSignalTimeoutMax = 3600; // SETMOUT
constexpr int kThreshold1Min = 100, kThreshold1Max = 200;      // SETH1
constexpr int kThreshold2Min = 0, kThreshold2Max = 100;        // SETH2
constexpr int kCom1Max = 255, kCom2Max = 256;                  // SECOM1, SECOM2
constexpr int kSpeedMin = -3, kSpeedMax = 2;                   // TBSpeed
constexpr int kTuneToMax = 205;                                // CBFREQ's last item
constexpr int kRecordGroupItems = 33;                          // CLBGREC: "0A" ... "15B", "----"
constexpr int kHostMaxLength = 4095, kPortMaxLength = 5;       // EHOST, EPORT

// The source and its connection settings, kept by the main window and edited
// in the source dialog.
struct SourceSettings {
    int srcNum = 3;          // 0 serial receiver, 1 sound card, 2 device link, 3 none
    bool edge = false;       // RGEDGE item 1: falling clock edge
    bool rdsEnc = false;     // RGEDGE item 2: an RDS encoder's output
    bool invert = false;     // CBINV
    int audioInDevice = 0;   // CBINPUT item, -1 none
    // The stored device name, kept while the device list does not hold it.
    std::string audioInDeviceName = "(Default)";
    float threshold1 = 1.65f, threshold2 = 0.70f; // SETH1 / 100, SETH2 / 100
    std::string host = "localhost", port = "23";  // EHOST, EPORT
    int comPort1 = 1, comPort2 = 1;               // SECOM1, SECOM2
    int connectionType = 0;  // RGCONTYPE: 0 serial, 1 TCP
    int deviceType = 0;      // RGDEVTYPE: 0 FM analyser, 1 RDS encoder
};

// The options dialog's controls that a workspace keeps.
struct OptionSettings {
    bool autoSave = true;          // CBAUSA
    bool piReset = true;           // CBREPI
    bool timeoutReset = false;     // CBRETO
    bool badAsCorrect = false;     // CBBBAC
    bool piStop = true;            // CBSTPI
    int startNew = 0;              // RGRECEV item
    bool showTotal = true;         // CBTC
    bool socketSync = true;        // CBSS
    bool fileTypeOrv = false;      // CLBFT item 0
    bool fileTypeSmp = false;      // CLBFT item 1
    bool timeoutStop = false;      // CBSTTO
    bool addDateTime = true;       // CBADDT
    bool timeMachine = true;       // CBTMEN
    bool confirmFrequency = false; // CBCF
    bool autosaveReports = false;  // CBSRA
    int signalTimeout = 30;        // SETMOUT, seconds
    std::string defaultFilename;   // EDEFFN
    std::string reportFilename;    // EREPFN
    std::string reportTemplate = "orvane.otp"; // EOTP
    std::string templateDialogDir; // ODOTP's initial folder
    std::string name, location, notes; // ENAME, ELOC, ENOTES
    std::array<bool, kRecordGroupItems> recordGroups; // CLBGREC

    OptionSettings() { recordGroups.fill(true); }
};

struct WorkspaceState {
    int top = 20, left = 20;
    bool visible = true; // read, never written
    SourceSettings source;
    int playbackSpeed = 0;          // TBSpeed
    int tuneTo = -1;                // CBFREQ item, -1 none
    int playDialogFilterIndex = 1;  // ODData, 1..4
    int recDialogFilterIndex = 1;   // SDData, 1..2
    std::string playDialogDir, recDialogDir, reportDir;
    std::string streamHost = "localhost", streamPort = "23";
    OptionSettings options;
};

// The workspace file was replaced by other data since it was opened.
class EWorkspaceHoldsOtherData : public EIniFileError {
public:
    using EIniFileError::EIniFileError;
};

class Workspace {
public:
    // Every default of the tables; folders end in "/".
    static WorkspaceState Defaults(const std::string& documentsFolder, const std::string& programFolder);
    // The file's keys over the defaults, each clamped to its control's range.
    // audioDevices are CBINPUT's items: "AudioInDeviceName" picks among them.
    static WorkspaceState Read(const std::string& file, const WorkspaceState& defaults,
                               const std::vector<std::string>& audioDevices);
    // Writes "General" and "Record" in the loader's order, keeping the file's
    // other sections. With keepStoredSource the source keys stay as stored.
    // Throws EIniFileError when the file cannot be written, and
    // EWorkspaceHoldsOtherData when it holds other data than an ini file
    // (HoldsOtherData), which is then left as it is.
    static void Write(const std::string& file, const WorkspaceState& state, bool keepStoredSource,
                      const std::vector<std::string>& audioDevices);
};

// "-C:SOC:host:port" (or "/C:SOC:", any case): a device link over TCP.
struct SourceSwitch {
    std::string host, port;
};
std::optional<SourceSwitch> FindSourceSwitch(const std::vector<std::string>& args);

// A slicer threshold as its spin edit shows it: hundredths, rounded.
int ThresholdPercent(float threshold);

// A TCP port text as a number: 23 unless it is a decimal in 1..65535.
int TcpPortNumber(const std::string& text);
// Entries of the recording pre-buffer for that many seconds: trunc(s x 11.42) + 1.
int PreBufferEntries(int seconds);

} // namespace orvane
