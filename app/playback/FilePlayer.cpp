#include "FilePlayer.h"

#include <algorithm>
#include <climits>
#include <exception>

namespace orvane {
namespace {

const char* const kOpenError = "Playback error: Unable to open the file";
const char* const kReadError = "Playback error: Unable to read from the file!";
const char* const kFormatError = "Playback error: Invalid file format!";
const char* const kStreamError = "Playback error: Unable to access the stream";
const char* const kNoGroups = "The file holds no groups";

enum class LineClass { Skip, Header, Group };

// The lines the pre-scan counts are the lines a seek counts.
LineClass Classify(LineReader::Result r, std::string_view line) {
    if (r != LineReader::Result::Line || line.size() < FilePlayer::kMinLine) return LineClass::Skip;
    if (line.front() == '#') return LineClass::Skip;
    if (line.front() == '<') return LineClass::Header;
    return LineClass::Group;
}

bool HasControlCharacter(std::string_view line) {
    return std::any_of(line.begin(), line.end(),
                       [](char c) { return static_cast<unsigned char>(c) < 32; });
}

std::string Upper(std::string s) {
    for (char& c : s)
        if (c >= 'a' && c <= 'z') c = static_cast<char>(c - 'a' + 'A');
    return s;
}

// The extension with its dot, taken from the file name part only.
std::string Extension(const std::string& name) {
    const size_t slash = name.rfind('/');
    const size_t dot = name.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash)) return {};
    return name.substr(dot);
}

} // namespace

FilePlayer::FilePlayer(IPlaybackHost& host, IClock& clock, ITimerFactory& timers,
                       std::unique_ptr<LineReader> reader)
    : host_(host), clock_(clock), parser_(clock), timer_(timers.Create(kDefaultInterval, false)),
      readerOwned_(reader ? std::move(reader) : std::make_unique<LineReader>()), reader_(*readerOwned_) {
    timer_->OnTimer = [this] {
        // A timer slot: nothing may escape into the event loop.
        try {
            TimerPlaybackTimer();
        } catch (const std::exception&) {
            StopPlayingFile();
            host_.Show(kReadError);
        }
    };
}

FilePlayer::~FilePlayer() { timer_->OnTimer = nullptr; }

int FilePlayer::KindOf(const std::string& name) {
    if (Upper(Extension(name)) == ".SMP") return kPlaySample;
    if (Upper(name.substr(0, 7)) == "STREAM:") return kPlayStream;
    return kPlayText;
}

std::string FilePlayer::NameWithoutFolder(const std::string& name) {
    const size_t slash = name.rfind('/');
    return slash == std::string::npos ? name : name.substr(slash + 1);
}

uint32_t FilePlayer::Interval() const {
    switch (speedPosition_) {
    case 2: return 10;
    case 1: return 30;
    case -1: return 250;
    case -2: return 750;
    case kPausePosition: return kPausedInterval;
    default: return kDefaultInterval;
    }
}

std::string FilePlayer::SpeedStatusText() const {
    switch (speedPosition_) {
    case 2: return "Very high speed";
    case 1: return "High speed";
    case -1: return "Low speed";
    case -2: return "Very low speed";
    case kPausePosition: return "Paused";
    default: return "Normal speed";
    }
}

void FilePlayer::UpdateTimer() {
    // The paused interval does not fit a timer's int; a stopped timer never fires.
    if (!Paused()) timer_->SetInterval(static_cast<int>(Interval()));
    timer_->SetEnabled(playing_ && !Paused());
}

void FilePlayer::ApplyPlaybackSpeed() { UpdateTimer(); }

void FilePlayer::SetSpeedPosition(int position) {
    const bool wasPaused = Paused();
    speedPosition_ = position;
    ApplyPlaybackSpeed();
    if (wasPaused != Paused()) host_.PlaybackChanged();
}

void FilePlayer::TBSpeedChange(int position, bool showStatus) {
    SetSpeedPosition(position);
    if (showStatus && playing_) host_.Show(SpeedStatusText());
}

void FilePlayer::SetPlaying(bool on) {
    playing_ = on;
    if (on) endShown_ = false;
    UpdateTimer();
    host_.PlaybackChanged();
}

void FilePlayer::PlayFile(const std::string& name) {
    try {
        ++generation_;
        seekTarget_ = -1;
        totalGroups_ = 0;
        host_.SetGroupCount(0);
        host_.ClearRecBuffer();
        host_.ResetDecodedData();
        host_.SetBERText("no sync");
        if (playing_) StopPlayingFile();

        stopCaption_ = "STOP";
        stopHint_ = "|Stop playback";
        if (host_.Recording()) host_.StopRecordingFile();

        playedName_ = name;
        lastFileName_ = NameWithoutFolder(name);
        headerLine_.clear();
        kind_ = KindOf(name);

        switch (kind_) {
        case kPlayText:
        case kPlaySample: {
            const bool opened = kind_ == kPlayText ? reader_.Open(name) : samples_.Open(name);
            // Bytes without the sample header are no sample file: played,
            // they would be groups of noise.
            const bool format = kind_ == kPlayText || !opened || samples_.HasHeader();
            if (!opened) host_.Show(kOpenError);
            else if (!format) host_.Show(kFormatError);
            if (!format) samples_.Close();
            SetPlaying(opened && format);
            break;
        }
        default:
            OpenStream(name);
            break;
        }

        if (playing_ && kind_ == kPlayText && host_.SeekingEnabled() && !Prescan()) {
            host_.SetGroupCountText("0");
            StopPlayingFile();
            host_.Show(kReadError);
        }
        if (playing_ && kind_ == kPlaySample && host_.SeekingEnabled()) {
            totalGroups_ = static_cast<int>(std::min<int64_t>(samples_.TotalGroups(), INT_MAX));
            host_.PlaybackChanged();
            host_.Show("");
        }
        if (playing_ && kind_ == kPlaySample && samples_.TotalGroups() == 0) {
            StopPlayingFile();
            host_.Show(kNoGroups);
        }
    } catch (const std::exception&) {
        if (playing_) StopPlayingFile();
        host_.Show(kReadError);
    }
}

bool FilePlayer::ParseStreamName(const std::string& name, StreamAddress& address) {
    const std::string rest = name.size() > 7 ? name.substr(7) : std::string();
    const size_t colon = rest.find(':');
    if (colon == std::string::npos) return false;
    address.host = rest.substr(0, colon);
    address.portText = rest.substr(colon + 1);
    if (address.host.empty()) return false;
    for (const char c : address.host) {
        const auto u = static_cast<unsigned char>(c);
        if (u <= ' ' || u == 127) return false;
    }
    // An integer the way the port box reads one: an optional sign, then
    // digits only. Anything else is no number and means the default port.
    std::string_view digits = address.portText;
    bool negative = false;
    if (!digits.empty() && (digits.front() == '+' || digits.front() == '-')) {
        negative = digits.front() == '-';
        digits.remove_prefix(1);
    }
    if (digits.empty() || !std::all_of(digits.begin(), digits.end(), [](char c) { return c >= '0' && c <= '9'; })) {
        address.port = 23;
        return true;
    }
    long value = 0;
    for (const char c : digits) {
        value = value * 10 + (c - '0');
        if (value > 65535) return false;
    }
    if (negative || value < 1) return false;
    address.port = static_cast<int>(value);
    return true;
}

void FilePlayer::OpenStream(const std::string& name) {
    StreamAddress address;
    if (!stream_ || !ParseStreamName(name, address)) {
        host_.Show(kStreamError);
        SetPlaying(false);
        return;
    }
    lastFileName_ = name;
    headerLine_ = "<URL=\"" + address.host + ":" + address.portText + "\">";
    SetPlaying(true);
    stream_->Open(address.host, address.port);
}

bool FilePlayer::Prescan() {
    for (std::string& e : seekIndex_) e.clear();
    host_.Show("File analysis...");
    host_.SetGroupCountText("counting...");

    std::string_view line;
    LineReader::Result r;
    int64_t count = 0;
    while ((r = reader_.Next(line)) != LineReader::Result::End) {
        if (r == LineReader::Result::Error) return false;
        switch (Classify(r, line)) {
        case LineClass::Header: headerLine_.assign(line); break;
        case LineClass::Group: ++count; break;
        case LineClass::Skip: break;
        }
    }

    // Second pass: the group line at each bar position. A log that another
    // program still writes may have grown since the count; the lines added
    // since are not indexed, so every position stays inside the index.
    if (!reader_.Rewind()) return false;
    if (count > 1) {
        // Entry p is the group a release at p plays (SeekGroup), so the
        // text under the thumb names where playback goes on.
        int64_t L = 0;
        int64_t p = 0;
        while (p < kSeekEntries && L < count && (r = reader_.Next(line)) != LineReader::Result::End) {
            if (r == LineReader::Result::Error) return false;
            if (Classify(r, line) != LineClass::Group) continue;
            ++L;
            while (p < kSeekEntries && (count - 1) * p / kSeekMax + 1 == L)
                seekIndex_[static_cast<size_t>(p++)].assign(line);
        }
    }
    if (!reader_.Rewind()) return false;
    host_.SetGroupCountText("0");

    totalGroups_ = static_cast<int>(std::min<int64_t>(count, INT_MAX));
    host_.PlaybackChanged();
    host_.Show("");
    return true;
}

void FilePlayer::StopPlayingFile() {
    totalGroups_ = 0;
    ended_ = true;
    if (host_.Recording()) host_.StopRecordingFile();
    reader_.Close();
    samples_.Close();
    if (kind_ == kPlayStream && stream_) stream_->Close();
    host_.ClearRecBuffer();
    playing_ = false;
    endShown_ = true;
    seekTarget_ = -1;
    UpdateTimer();
    stopCaption_ = "REPLAY";
    stopHint_ = "|Replay the file " + (kind_ == kPlayStream ? playedName_ : lastFileName_);
    host_.PlaybackChanged();
}

void FilePlayer::BBPSTOPClick() {
    if (stopCaption_ == "REPLAY" && !playing_ && !playedName_.empty())
        PlayFile(playedName_);
    else if (playing_)
        StopPlayingFile();
}

void FilePlayer::TimerPlaybackTimer() {
    if (!playing_) return;
    if (kind_ == kPlayText || kind_ == kPlaySample) {
        ApplyPlaybackSpeed();
        if (seekTarget_ >= 0) PlaySeek();
        if (playing_ && kind_ == kPlayText) PlayTextLine();
        else if (playing_) PlaySampleRecord();
    } else if (kind_ == kPlayStream) {
        PlayStreamLine();
    }
    // The next tick comes one full interval after this one; a stream keeps
    // the interval its rate coupling set.
    timer_->SetEnabled(false);
    if (kind_ == kPlayStream) timer_->SetEnabled(playing_ && !Paused());
    else UpdateTimer();
}

void FilePlayer::PlayStreamLine() {
    const std::string line = stream_->GetTCPLine();
    if (line.empty()) {
        if (stream_->Drained()) StopPlayingFile();
        return;
    }
    if (stream_->CommandsInGroup(line)) return;
    if (parser_.GroupConvert(line)) host_.SendRDSGroup(parser_.Group());
}

int64_t FilePlayer::SeekGroup(int target) const {
    // In 64 bits: (T - 1) x target overflows 32 bits on long recordings.
    const int64_t t = std::clamp(target, 0, kSeekMax);
    const int64_t g = (int64_t(totalGroups_) - 1) * t / kSeekMax;
    return std::clamp<int64_t>(g, 0, std::max<int64_t>(0, int64_t(totalGroups_) - 1));
}

void FilePlayer::PlaySeek() {
    if (!playing_) return;
    const int64_t g = SeekGroup(seekTarget_);
    seekTarget_ = -1;
    if (kind_ == kPlaySample) {
        // Record g starts 2 + 16 g bytes into the file.
        if (!samples_.Seek(g)) {
            host_.Show(kReadError);
            StopPlayingFile();
            return;
        }
        host_.SetGroupCount(static_cast<int>(g));
        return;
    }
    if (kind_ != kPlayText) return;
    if (!reader_.Rewind()) {
        host_.Show(kReadError);
        StopPlayingFile();
        return;
    }
    host_.SetGroupCount(static_cast<int>(g));
    std::string_view line;
    for (int64_t passed = 0; passed < g;) {
        const LineReader::Result r = reader_.Next(line);
        if (r == LineReader::Result::End) break;
        if (r == LineReader::Result::Error) {
            host_.Show(kReadError);
            StopPlayingFile();
            return;
        }
        if (Classify(r, line) == LineClass::Group) ++passed;
    }
}

void FilePlayer::PlayTextLine() {
    if (reader_.AtEnd()) {
        StopPlayingFile();
        return;
    }
    std::string_view line;
    const LineReader::Result r = reader_.Next(line);
    if (r == LineReader::Result::Error) {
        host_.Show(kReadError);
        StopPlayingFile();
        return;
    }
    switch (Classify(r, line)) {
    case LineClass::Skip: return;
    case LineClass::Header: headerLine_.assign(line); return;
    case LineClass::Group: break;
    }
    if (HasControlCharacter(line)) {
        host_.Show(kFormatError);
        return;
    }
    // Recorded lines are data: "RESET" and "EXIT" lines are not obeyed here.
    if (parser_.GroupConvert(line)) host_.SendRDSGroup(parser_.Group());
}

void FilePlayer::PlaySampleRecord() {
    const uint8_t* record = nullptr;
    switch (samples_.Next(record)) {
    case SampleReader::Result::Record:
        host_.SendRDSGroup(DecodeSampleRecord(record, host_.ConsiderBadBlocksAsCorrect(), clock_.Now()));
        return;
    case SampleReader::Result::Error: host_.Show(kReadError); break;
    case SampleReader::Result::End: break;
    }
    StopPlayingFile();
}

} // namespace orvane
