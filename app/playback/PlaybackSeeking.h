#pragma once
// The seeking bar's side of playback: where the bar stands for the groups
// shown so far, what a drag pauses and names, and where a release seeks.
// The main window binds its bar ATB and its speed bar TBSpeed to it.
#include "FilePlayer.h"

#include <cstdint>
#include <string>

namespace orvane {

// What seeking needs from the main window.
class ISeekingHost {
public:
    virtual ~ISeekingHost() = default;
    virtual int SeekBarPosition() const = 0; // ATB.Position
    virtual void SetSeekBarPosition(int position) = 0;
    virtual bool SeekBarVisible() const = 0;
    virtual void SetSeekBarVisible(bool visible) = 0;
    virtual int SpeedPosition() const = 0; // TBSpeed.Position
    // Moves TBSpeed, whose change applies the speed.
    virtual void SetSpeedPosition(int position) = 0;
    virtual int ShownGroupCount() const = 0; // the count in LGR
    // Status line; an empty message gives the line back to the control hints.
    virtual void Show(const std::string& message) = 0;
};

class PlaybackSeeking {
public:
    static constexpr int kNoDrag = -10;

    PlaybackSeeking(FilePlayer& player, ISeekingHost& host) : player_(player), host_(host) {}

    // The bar follows the shown group count while a counted file plays;
    // otherwise it goes back to 0 and hides.
    void UpdateATB();
    // A drag pauses playback, names the group under the thumb, and on
    // release restores the speed and leaves the seek to the next tick.
    void ATBMouseDown();
    void ATBMouseMove();
    void ATBMouseUp();
    // The bar's value changed. Its mouse-move event comes before the thumb
    // follows the mouse, so during a drag the status line is named again
    // here, from the value the hint names too.
    void ATBChange();
    // The time stamp of the group at a bar position, else its number.
    std::string ATBGetTrackHint(int position) const;

    // "Group: " and the 1-based group a release at `position` plays.
    std::string GroupText(int position) const;
    int SavedSpeed() const { return savedSpeed_; }
    bool DragInProgress() const { return savedSpeed_ >= FilePlayer::kPausePosition; }

private:
    const std::string& Entry(int position) const;

    FilePlayer& player_;
    ISeekingHost& host_;
    int savedSpeed_ = kNoDrag;
    uint64_t dragGeneration_ = 0;
};

} // namespace orvane
