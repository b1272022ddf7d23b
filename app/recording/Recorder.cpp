#include "Recorder.h"

#include "FileName.h"

#include <algorithm>
#include <filesystem>

namespace orvane {
namespace {

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

std::string WithoutFolder(const std::string& name) { return name.substr(FolderOf(name).size()); }

} // namespace

Recorder::Recorder(IRecorderHost& host, IClock& clock) : host_(host), clock_(clock) {}

Recorder::~Recorder() = default;

void Recorder::ShowName(const std::string& name) {
    shownName_ = WithoutFolder(name);
    fileNameShown_ = true;
}

void Recorder::BBRECClick() {
    if (Recording()) return;
    if (!host_.Playing()) {
        if (host_.SourceNumber() == 3) {
            host_.Show(kNothingToRecord);
            return;
        }
        // A source that did not open sends nothing: a file of its header alone
        // would only look like a recording.
        if (!host_.SourceConnected()) {
            host_.Show(kSourceNotConnected);
            return;
        }
        host_.ResetGroupCount();
    }

    const IOptions& options = host_.Options();
    const LocalTime now = clock_.Now();
    std::string name;
    if (useDefaultName_) {
        name = ResolveInFolder(EncodeFileName(template_, now, host_.PIText(), host_.PSN()), host_.DocumentsFolder());
    } else {
        name = ResolveInFolder(dialogName_, host_.DocumentsFolder());
    }
    kind_ = Upper(ExtensionOf(name)) == ".SMP" ? kSample : kText;
    std::string notice;
    std::error_code ec;
    // A sample file cannot be appended to: only a name the user confirmed in
    // the save dialog may overwrite one.
    if (kind_ == kSample && useDefaultName_ && std::filesystem::exists(name, ec)) {
        name = NumberedFreeName(name);
        notice = "The file exists; recording to " + WithoutFolder(name);
    }
    MakeDocumentsFolderFor(name, host_.DocumentsFolder());
    fileName_ = name;
    ShowName(name);
    host_.RecordingChanged();

    if (kind_ == kSample) {
        writer_ = SampleGroupWriter::Open(name, encoder_, options.RecorderLocation(), options.RecorderName());
    } else {
        RecordingHeader h;
        h.time = now;
        h.source = host_.SourceNumber();
        h.name = options.RecorderName();
        h.location = options.RecorderLocation();
        h.notes = options.RecorderNotes();
        if (h.source == 2) h.frequency = host_.SelectedFrequency();
        writer_ = TextGroupWriter::Open(name, HeaderLine(h), options.AddDateTime());
    }
    if (!writer_) {
        fileNameShown_ = !useDefaultName_;
        host_.RecordingChanged();
        host_.Show(kWriteError);
        return;
    }
    host_.RecordingChanged();
    if (!notice.empty()) host_.Show(notice);

    if (options.TimeMachineEnabled()) {
        while (Recording() && RecBufferLength() > 0) {
            SaveRDSGroup(ReadFromRecBuffer());
            if (!host_.Playing()) host_.GrowGroupCount();
        }
    }
}

void Recorder::SaveRDSGroup(const TRDSGroupRec& group) {
    if (!writer_) return;
    if (!host_.Options().RecordGroupType(GroupTypeIndex(group.BlockB))) return;
    if (!writer_->Write(group)) {
        host_.Show(kWriteError);
        StopRecordingFile();
    }
}

void Recorder::StopRecordingFile() {
    if (writer_) {
        writer_->Finish();
        writer_.reset();
    }
    if (!fileName_.empty()) host_.SendCommandToAll("FILEWRITTEN", fileName_);
    useDefaultName_ = true;
    fileNameShown_ = false;
    host_.RecordingChanged();
}

void Recorder::BBSTOPClick() {
    if (Recording()) StopRecordingFile();
    useDefaultName_ = true;
    fileNameShown_ = false;
    host_.RecordingChanged();
}

void Recorder::BBRECFNClick() {
    if (Recording()) return;
    const std::string folder =
        FolderOf(ResolveInFolder(host_.Options().DefaultFileName(), host_.DocumentsFolder()));
    int filter = dialogFilterIndex_ - 1;
    const std::string picked = host_.AskRecordingFileName(folder, filter);
    if (picked.empty()) return;
    SetDialogFilterIndex(filter + 1);
    useDefaultName_ = false;
    dialogName_ = ChangeExtension(picked, filter == 1 ? ".smp" : ".orv");
    ShowName(dialogName_);
    host_.RecordingChanged();
}

// Pre-buffer ring: holds at most size - 1 groups, the oldest dropped first.

void Recorder::AllocateRecBuffer(int entries) {
    ring_.assign(static_cast<size_t>(std::max(entries, 1)), TRDSGroupRec{});
    ClearRecBuffer();
}

void Recorder::AddToRecBuffer(const TRDSGroupRec& group) {
    const int n = RecBufferSize();
    if (w_ >= n) return;
    ring_[static_cast<size_t>(w_)] = group;
    if (++w_ == n) w_ = 0;
    if (w_ == r_ && ++r_ == n) r_ = 0;
}

TRDSGroupRec Recorder::ReadFromRecBuffer() {
    const int n = RecBufferSize();
    if (r_ >= n) return TRDSGroupRec{};
    const TRDSGroupRec g = ring_[static_cast<size_t>(r_)];
    if (++r_ == n) r_ = 0;
    return g;
}

int Recorder::RecBufferLength() const {
    const int len = w_ - r_;
    return len < 0 ? len + RecBufferSize() : len;
}

} // namespace orvane
