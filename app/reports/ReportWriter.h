#pragma once
// Reports of the decoded data, filled from a template on request and, in
// "Meteor Scatter" mode, before every reset of the decoded data.
#include "Clock.h"
#include "Options.h"

#include <orvane/valuetable.h>

#include <string>

namespace orvane {

// What the report writer asks of the main window.
class IReportHost {
public:
    virtual ~IReportHost() = default;
    virtual TValueTable& ValueTable() = 0;
    virtual const IOptions& Options() const = 0;
    virtual void SendCommandToAll(const std::string& command, const std::string& parameter) = 0;
    virtual void Show(const std::string& message) = 0;
    virtual const std::string& ProgramFolder() const = 0;
    virtual const std::string& DocumentsFolder() const = 0;
    // "----" while no PI was decoded.
    virtual std::string PIText() const = 0;
    virtual std::string PSN() const = 0;
    virtual bool Playing() const = 0;
    // The "END" label: a playback has just ended.
    virtual bool PlaybackEndShown() const = 0;
    // The main window's frequency list, as shown ("87.5"; empty when none).
    virtual std::string FrequencyText() const = 0;
    // The frequency dialog: run it modally, and read its choice.
    virtual void ConfirmFrequency() = 0;
    virtual std::string ConfirmedFrequency() const = 0;
    // The report save dialog opened on this file; empty when cancelled. It
    // asks before the user picks an existing file.
    virtual std::string AskReportFile(const std::string& initialFile) = 0;
};

class ReportWriter {
public:
    static constexpr const char* kCannotWrite = "Can't write to the file, please remove write protection!";

    ReportWriter(IReportHost& host, const IClock& clock) : host_(host), clock_(clock) {}

    // Writes one report. A relative name lies in the documents folder. The
    // user's save dialog asked before `fileName` was overwritten.
    void SaveReport(const std::string& fileName, bool overwriteAsked = false);
    // "Create Report...".
    void CreateReport1Click();
    // The automatic report, when one is due.
    void ChkReport();
    // The decoded data were reset now: a new report is due.
    void DataReset(const LocalTime& now);

    bool ReportWritten() const { return written_; }
    // Where the save dialog starts; the folder of the last report saved by
    // hand.
    const std::string& ReportFolder() const { return folder_; }
    void SetReportFolder(const std::string& folder) { folder_ = folder; }

private:
    std::string TemplatePath() const;
    std::string FrequencyField() const;

    IReportHost& host_;
    const IClock& clock_;
    bool written_ = true;
    LocalTime resetTime_;
    std::string folder_;
};

} // namespace orvane
