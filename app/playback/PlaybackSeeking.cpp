#include "PlaybackSeeking.h"

#include "GroupLineParser.h"

#include <algorithm>

namespace orvane {

void PlaybackSeeking::UpdateATB() {
    const int64_t total = player_.TotalGroups();
    if (total > 0 && player_.Playing()) {
        // The thumb under the mouse is the user's until the release.
        if (DragInProgress()) {
            if (!host_.SeekBarVisible()) host_.SetSeekBarVisible(true);
            return;
        }
        // In 64 bits: 200 x C overflows 32 bits on long recordings.
        const int64_t position = int64_t(FilePlayer::kSeekMax) * host_.ShownGroupCount() / total;
        host_.SetSeekBarPosition(static_cast<int>(std::clamp<int64_t>(position, 0, FilePlayer::kSeekMax)));
        if (!host_.SeekBarVisible()) host_.SetSeekBarVisible(true);
    } else {
        if (host_.SeekBarPosition() > 0) host_.SetSeekBarPosition(0);
        if (host_.SeekBarVisible()) host_.SetSeekBarVisible(false);
    }
}

void PlaybackSeeking::ATBMouseDown() {
    savedSpeed_ = host_.SpeedPosition();
    dragGeneration_ = player_.Generation();
    host_.SetSpeedPosition(FilePlayer::kPausePosition);
}

const std::string& PlaybackSeeking::Entry(int position) const {
    static const std::string kNone;
    const auto& index = player_.SeekIndex();
    if (position < 0 || position >= static_cast<int>(index.size())) return kNone;
    return index[static_cast<size_t>(position)];
}

std::string PlaybackSeeking::GroupText(int position) const {
    return "Group: " + std::to_string(player_.SeekGroup(position) + 1);
}

void PlaybackSeeking::ATBMouseMove() {
    if (!DragInProgress()) return;
    const int p = host_.SeekBarPosition();
    const std::string& entry = Entry(p);
    host_.Show(entry.empty() ? GroupText(p) : entry);
}

void PlaybackSeeking::ATBChange() { ATBMouseMove(); }

void PlaybackSeeking::ATBMouseUp() {
    // A release without its press would set the speed to no position at all.
    if (!DragInProgress()) return;
    // Taken before the speed comes back: that change may redraw the bar.
    const int target = host_.SeekBarPosition();
    host_.SetSpeedPosition(savedSpeed_);
    savedSpeed_ = kNoDrag;
    // A drag begun on a file that has since ended seeks nothing.
    if (player_.Playing() && player_.Generation() == dragGeneration_) player_.SetSeekTarget(target);
    host_.Show("");
}

std::string PlaybackSeeking::ATBGetTrackHint(int position) const {
    const std::string& entry = Entry(position);
    const int stamp = GroupLineParser::FindTimeStamp(entry);
    if (stamp > 0) return entry.substr(static_cast<size_t>(stamp - 1));
    return GroupText(position);
}

} // namespace orvane
