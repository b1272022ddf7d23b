#pragma once
// Records the groups that pass the fan-out: the REC, STOP and file-name
// buttons, the pre-buffer ("Time machine") and the end of a recording. The
// main window owns one recorder and binds LREC and LRFN to it.
#include "Clock.h"
#include "GroupWriter.h"
#include "Options.h"
#include "SampleFormat.h"

#include <orvane/rdsgroup.h>

#include <memory>
#include <string>
#include <vector>

namespace orvane {

// What the recorder needs from the main window.
class IRecorderHost {
public:
    virtual ~IRecorderHost() = default;
    virtual void Show(const std::string& message) = 0; // status line
    virtual bool Playing() const = 0;
    virtual int SourceNumber() const = 0; // 0..3, 3 none
    // The selected source is up now, so groups can come from it.
    virtual bool SourceConnected() const = 0;
    virtual std::string PIText() const = 0; // "----" when none
    virtual std::string PSN() const = 0;
    // The selected frequency's text, empty when none is selected.
    virtual std::string SelectedFrequency() const = 0;
    virtual const IOptions& Options() const = 0;
    virtual const std::string& DocumentsFolder() const = 0;
    virtual void SendCommandToAll(const std::string& command, const std::string& parameter) = 0;
    // The group count shown in LGR: back to 0 (and "0" shown), or one more.
    virtual void ResetGroupCount() = 0;
    virtual void GrowGroupCount() = 0;
    // SDData: a name to record to, empty when cancelled; `filterIndex` is the
    // filter shown first and then the one chosen (0 ".orv", 1 ".smp"). The
    // dialog confirms overwriting.
    virtual std::string AskRecordingFileName(const std::string& folder, int& filterIndex) = 0;
    // LREC and LRFN changed.
    virtual void RecordingChanged() = 0;
};

class Recorder {
public:
    static constexpr const char* kWriteError = "Recording error: Unable to write to the file!";
    // Short enough for the main window's status line.
    static constexpr const char* kNothingToRecord = "Nothing to record: select a source or play a file";
    static constexpr const char* kSourceNotConnected = "Nothing to record: the source is not connected";
    enum Kind : int { kText = 0, kSample = 1 };

    Recorder(IRecorderHost& host, IClock& clock);
    ~Recorder();
    Recorder(const Recorder&) = delete;
    Recorder& operator=(const Recorder&) = delete;

    void BBRECClick();
    void BBSTOPClick();
    void BBRECFNClick();
    void StopRecordingFile();
    // Writes one group when recording and its type is ticked in the filter.
    void SaveRDSGroup(const TRDSGroupRec& group);

    // The pre-buffer: sized and emptied when a workspace is loaded; holds at
    // most entries - 1 groups.
    void AllocateRecBuffer(int entries);
    void AddToRecBuffer(const TRDSGroupRec& group);
    TRDSGroupRec ReadFromRecBuffer();
    int RecBufferLength() const;
    int RecBufferSize() const { return static_cast<int>(ring_.size()); }
    void ClearRecBuffer() { w_ = r_ = 0; }

    // The file-name template REC uses, copied from its option whenever the
    // options are applied.
    const std::string& Template() const { return template_; }
    void SetTemplate(std::string tmpl) { template_ = std::move(tmpl); }

    bool Recording() const { return writer_ != nullptr; }
    int Kind() const { return kind_; }
    bool UseDefaultName() const { return useDefaultName_; }
    // The filter of SDData, 1 ".orv" or 2 ".smp", kept by the workspace.
    int DialogFilterIndex() const { return dialogFilterIndex_; }
    void SetDialogFilterIndex(int index) { dialogFilterIndex_ = index == 2 ? 2 : 1; }
    const std::string& FileName() const { return fileName_; } // the last started recording
    // LRFN: shown while recording or after a name was picked; its text.
    bool FileNameShown() const { return fileNameShown_; }
    const std::string& ShownFileName() const { return shownName_; }

private:
    void ShowName(const std::string& name);

    IRecorderHost& host_;
    IClock& clock_;
    std::unique_ptr<IGroupWriter> writer_;
    // Outlives each file, so block C keeps the offset of the last block B.
    SampleEncoder encoder_;
    int kind_ = kText;
    bool useDefaultName_ = true;
    std::string template_ = DefaultOptions().DefaultFileName();
    std::string fileName_;
    std::string dialogName_; // the name picked in SDData
    int dialogFilterIndex_ = 1;
    bool fileNameShown_ = false;
    std::string shownName_ = "filename";

    std::vector<TRDSGroupRec> ring_;
    int w_ = 0, r_ = 0;
};

} // namespace orvane
