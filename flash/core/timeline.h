// The frames of a timeline (the main movie or a sprite): which tags each
// frame runs, its labels and scenes.
#pragma once

#include <string>
#include <vector>

#include "flash/swf/types.h"

namespace flash {

struct Scene {
    std::string name;
    int firstFrame = 0;  // 0-based
    int frameCount = 0;
};

struct Timeline {
    const std::vector<swf::Tag>* tags = nullptr;
    // Tag index range [first, second) of each frame.
    std::vector<std::pair<std::size_t, std::size_t>> frames;
    std::vector<std::pair<std::string, int>> labels;  // label, 0-based frame
    std::vector<Scene> scenes;
    // A sprite without its End tag, or with tags after its last ShowFrame,
    // counts as still loading: its playhead waits on the last frame instead
    // of looping.
    bool complete = true;

    int totalFrames() const { return int(frames.size()); }
    // -1 when there is no such label (labels compare without regard to case).
    int frameOfLabel(const std::string& label) const;

    // The frames are the ones the tags show (at least one), whatever the
    // header (or sprite) declares.
    static Timeline build(const std::vector<swf::Tag>& tags);
};

// One empty frame: the timeline of clips scripts create.
const Timeline& emptyTimeline();

}  // namespace flash
