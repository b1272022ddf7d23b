#pragma once
// The options live in the controls of the options and source dialogs; the
// logic reads them only through this accessor, which the options dialog
// implements and tests fake. Each answer below is the dialog's default.
#include <string>

namespace orvane {

// The name templates the recording and report options start from.
inline constexpr const char* kDefaultRecordingName = "%pi - %date %time.orv";
inline constexpr const char* kDefaultReportName = "%date %time %pi %ps.txt";

class IOptions {
public:
    virtual ~IOptions() = default;
    // "Reset RDS data on PI change"
    virtual bool ResetOnPIChange() const { return true; }
    // "Reset RDS data on signal timeout"
    virtual bool ResetOnSignalTimeout() const { return false; }
    // "Signal timeout [s]:" 3..3600
    virtual int SignalTimeoutSeconds() const { return 30; }
    // "Save workspace on Exit *"
    virtual bool SaveWorkspaceOnExit() const { return true; }
    // "Consider bad blocks as correct (not recommended)"
    virtual bool ConsiderBadBlocksAsCorrect() const { return false; }
    // "Enable Super PI Detector"
    virtual bool SuperPIDetector() const { return false; }
    // "Sound card buffer size: *" item: 0 "16 kB", 1 "32 kB (default)", 2 "64 kB", 3 "128 kB"
    virtual int SoundCardBufferItem() const { return 1; }
    // "Always use 44.1 kHz sample rate *"
    virtual bool Always441() const { return true; }
    // "Enable seeking and showing total group count"
    virtual bool SeekingEnabled() const { return true; }
    // "Detect PI change event"
    virtual bool DetectPIChange() const { return true; }
    // "On PI change": 0 "Stop recording", 1 "Start recording of another file"
    virtual int OnPIChangeItem() const { return 0; }
    // "Stop recording on signal timeout"
    virtual bool StopRecordingOnSignalTimeout() const { return false; }
    // "Add date and time to each group (doubles the file size)"
    virtual bool AddDateTime() const { return true; }
    // "Start recording " ... "seconds before clicking the REC button. *" 1..60
    virtual int RecBufferSeconds() const { return 10; }
    // "Enable Time machine"
    virtual bool TimeMachineEnabled() const { return true; }
    // "RDS Groups to Record": item 0..31 "0A" ... "15B", 32 "----"
    virtual bool RecordGroupType(int /*index*/) const { return true; }
    // "Default path and filename:" of recordings; a name without a folder
    // lies in the documents folder.
    virtual std::string DefaultFileName() const { return kDefaultRecordingName; }
    // "Your Name:", "Your Location:", "Notes:"
    virtual std::string RecorderName() const { return {}; }
    virtual std::string RecorderLocation() const { return {}; }
    virtual std::string RecorderNotes() const { return {}; }
    // Report file name template (EREPFN); a name without a folder lies in
    // the documents folder.
    virtual std::string ReportFileName() const { return kDefaultReportName; }
    // Report template file (EOTP); a bare name lies in the program folder.
    virtual std::string ReportTemplate() const { return "orvane.otp"; }
    // "Save Reports automatically ("Meteor Scatter" mode)"
    virtual bool SaveReportsAutomatically() const { return false; }
    // "Always confirm frequency"
    virtual bool AlwaysConfirmFrequency() const { return false; }
    // "Socket streams: synchronize with the stream group rate"
    virtual bool SyncWithStreamRate() const { return true; }
};

// The dialogs' defaults, until the options dialog answers.
class DefaultOptions : public IOptions {};

} // namespace orvane
