#pragma once
// Plays recorded groups back into the group fan-out, one group per tick of
// the playback timer. The main window owns one player and binds its labels,
// the play and stop buttons and the speed track bar to it.
#include "Clock.h"
#include "GroupLineParser.h"
#include "LineReader.h"
#include "SampleReader.h"
#include "Timer.h"

#include <orvane/rdsgroup.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace orvane {

// What the player needs from the main window.
class IPlaybackHost {
public:
    virtual ~IPlaybackHost() = default;
    virtual void SendRDSGroup(const TRDSGroupRec& group) = 0; // the group fan-out
    // Status line; an empty message gives the line back to the control hints.
    virtual void Show(const std::string& message) = 0;
    virtual void ResetDecodedData() = 0; // also clears the player's ended flag
    virtual void ClearRecBuffer() = 0;
    virtual bool Recording() const = 0;
    virtual void StopRecordingFile() = 0;
    // "Enable seeking and showing total group count"
    virtual bool SeekingEnabled() const = 0;
    // The group count shown in LGR: the number, or a text in its place.
    virtual void SetGroupCount(int count) = 0;
    virtual void SetGroupCountText(const std::string& text) = 0;
    virtual void SetBERText(const std::string& text) = 0; // LBER
    // The player's visible state changed: LPLAY, LEND, LPAUSE, BBPSTOP, ATB.
    virtual void PlaybackChanged() = 0;
    // "Consider bad blocks as correct (not recommended)", for sample files.
    virtual bool ConsiderBadBlocksAsCorrect() const { return false; }
};

// A socket stream as the player plays it (kind 2).
class IStreamInput {
public:
    virtual ~IStreamInput() = default;
    // Empties the receive buffer and connects.
    virtual void Open(const std::string& host, int port) = 0;
    // Closes the connection and remembers when it stopped.
    virtual void Close() = 0;
    // One complete line, empty when none.
    virtual std::string GetTCPLine() = 0;
    // "RESET" and "EXIT" lines: true when the line was one and was obeyed.
    virtual bool CommandsInGroup(std::string_view line) = 0;
    // The server has closed the connection and no complete line is left.
    virtual bool Drained() const = 0;
};

// Where a "stream:" name points.
struct StreamAddress {
    std::string host;
    std::string portText; // as written in the name
    int port = 23;
};

enum PlaybackKind : int { kPlayText = 0, kPlaySample = 1, kPlayStream = 2 };

class FilePlayer {
public:
    static constexpr int kSeekMax = 200; // ATB.Max
    static constexpr int kSeekEntries = kSeekMax + 1;
    static constexpr int kMinLine = 16;
    static constexpr int kMaxLine = static_cast<int>(LineReader::kMaxLine);
    static constexpr int kDefaultInterval = 78;
    // The interval of the paused position: the timer never fires.
    static constexpr uint32_t kPausedInterval = 0xFFFFFFFFu;
    static constexpr int kPausePosition = -3;

    using SeekIndexArray = std::array<std::string, kSeekEntries>;

    // reader: how files are read; null for a plain LineReader.
    FilePlayer(IPlaybackHost& host, IClock& clock, ITimerFactory& timers,
               std::unique_ptr<LineReader> reader = nullptr);
    ~FilePlayer();
    FilePlayer(const FilePlayer&) = delete;
    FilePlayer& operator=(const FilePlayer&) = delete;

    void PlayFile(const std::string& name);
    void StopPlayingFile();
    // One tick of TimerPlayback.
    void TimerPlaybackTimer();

    // TBSpeed.Position -3..2 and its interval.
    void SetSpeedPosition(int position);
    void ApplyPlaybackSpeed();
    // OnChange of TBSpeed: applies the speed; with `showStatus` (the change
    // came from the focused track bar) and a file playing, names the speed
    // in the status line.
    void TBSpeedChange(int position, bool showStatus);
    void BBPSTOPClick();

    // 0 text file, 1 sample file, 2 socket stream.
    static int KindOf(const std::string& name);
    static std::string NameWithoutFolder(const std::string& name);
    // Host and port of a "stream:" name. A port that is no number means 23;
    // false for a name without ":", a host with blanks or control characters
    // and a port outside 1..65535, none of which may reach a socket.
    static bool ParseStreamName(const std::string& name, StreamAddress& address);

    // The socket stream that kind 2 plays; without one streams fail to open.
    void SetStream(IStreamInput* stream) { stream_ = stream; }
    // The stream couples the tick to its own rate at normal speed.
    void SetStreamInterval(int ms) { timer_->SetInterval(ms); }

    bool Playing() const { return playing_; }
    bool Ended() const { return ended_; }
    // The reset of the decoded data ends the ended state and hides LEND.
    void ClearEnded() {
        ended_ = false;
        endShown_ = false;
    }
    bool EndShown() const { return endShown_; } // LEND
    // The speed bar stands at its pause position.
    bool Paused() const { return speedPosition_ == kPausePosition; }
    // LPAUSE: the pause holds groups back only while a file plays, so live
    // sources are never silenced by where the speed bar was left.
    bool PauseShown() const { return playing_ && Paused(); }
    int SpeedPosition() const { return speedPosition_; }
    uint32_t Interval() const;
    std::string SpeedStatusText() const;
    bool TimerActive() const { return timer_->Enabled(); }
    int TimerInterval() const { return timer_->Interval(); }

    int Kind() const { return kind_; }
    const std::string& PlayedName() const { return playedName_; }
    const std::string& LastFileName() const { return lastFileName_; } // TLastFileInfo
    const std::string& HeaderLine() const { return headerLine_; }
    int TotalGroups() const { return totalGroups_; }
    const SeekIndexArray& SeekIndex() const { return seekIndex_; }
    int SeekTarget() const { return seekTarget_; }

    // Seeking. The 0-based group a seek to bar position `target` continues
    // with: trunc((T - 1) x target / M), inside the file.
    int64_t SeekGroup(int target) const;
    // The bar position the next tick seeks to.
    void SetSeekTarget(int target) { seekTarget_ = target; }
    // Moves the open file to the seek target's group and sets the shown
    // group count to it; the playback tick runs it before reading.
    void PlaySeek();
    // Grows with every PlayFile, so a drag begun on one file never seeks another.
    uint64_t Generation() const { return generation_; }

    const std::string& StopCaption() const { return stopCaption_; } // BBPSTOP
    const std::string& StopHint() const { return stopHint_; }

private:
    void SetPlaying(bool on);
    void UpdateTimer();
    bool Prescan();
    void PlayTextLine();
    void PlaySampleRecord();
    void OpenStream(const std::string& name);
    void PlayStreamLine();

    IPlaybackHost& host_;
    IClock& clock_;
    GroupLineParser parser_;
    std::unique_ptr<ITimer> timer_;
    std::unique_ptr<LineReader> readerOwned_;
    LineReader& reader_;
    SampleReader samples_;
    IStreamInput* stream_ = nullptr;

    bool playing_ = false;
    bool ended_ = false;
    bool endShown_ = false;
    int kind_ = kPlayText;
    std::string playedName_;
    std::string lastFileName_;
    std::string headerLine_;
    int totalGroups_ = 0;
    int seekTarget_ = -1;
    uint64_t generation_ = 0;
    int speedPosition_ = 0;
    SeekIndexArray seekIndex_;
    std::string stopCaption_ = "STOP";
    std::string stopHint_ = "|Stop playback";
};

} // namespace orvane
