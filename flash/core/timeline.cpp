#include "flash/core/timeline.h"

#include <QString>

namespace flash {
namespace {

bool actsOnFrame(const swf::TagBody& b) {
    return std::holds_alternative<swf::PlaceObject>(b) || std::holds_alternative<swf::RemoveObject>(b) ||
           std::holds_alternative<swf::DoAction>(b) || std::holds_alternative<swf::DoInitAction>(b) ||
           std::holds_alternative<swf::StartSound>(b) || std::holds_alternative<swf::StartSound2>(b) ||
           std::holds_alternative<swf::SoundStreamBlock>(b) || std::holds_alternative<swf::FrameLabel>(b);
}

}  // namespace

int Timeline::frameOfLabel(const std::string& label) const {
    QString wanted = QString::fromStdString(label);
    for (const auto& [name, frame] : labels)
        if (QString::fromStdString(name).compare(wanted, Qt::CaseInsensitive) == 0) return frame;
    return -1;
}

Timeline Timeline::build(const std::vector<swf::Tag>& tags) {
    Timeline t;
    t.tags = &tags;
    std::size_t begin = 0;
    // Once a movie has listed its scenes and labels in one tag, the frames'
    // own label tags would only repeat them.
    bool listed = false;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (const auto* label = tags[i].get<swf::FrameLabel>(); label && !listed)
            t.labels.emplace_back(label->name, int(t.frames.size()));
        if (const auto* data = tags[i].get<swf::SceneAndFrameLabelData>()) {
            listed = listed || !data->scenes.empty();
            for (std::size_t s = 0; s < data->scenes.size(); ++s)
                t.scenes.push_back({data->scenes[s].second, int(data->scenes[s].first), 0});
            for (const auto& [frame, name] : data->labels) t.labels.emplace_back(name, int(frame));
        }
        if (tags[i].get<swf::ShowFrame>()) {
            t.frames.emplace_back(begin, i + 1);
            begin = i + 1;
        }
    }
    // Tags after the last ShowFrame make a frame of their own whatever the
    // header declares, one the playhead reaches and then waits on, as it
    // waits for a frame still loading.
    // Definitions alone there make no frame.
    bool trailing = false;
    for (std::size_t i = begin; i < tags.size(); ++i)
        if (actsOnFrame(tags[i].body)) trailing = true;
    if (trailing) t.frames.emplace_back(begin, tags.size());
    if (t.frames.empty()) t.frames.emplace_back(tags.size(), tags.size());
    const int total = int(t.frames.size());
    t.complete = !trailing && !tags.empty() && tags.back().get<swf::End>();
    // A timeline that names no scenes is one scene without a name.
    if (t.scenes.empty()) t.scenes.push_back({"", 0, 0});
    for (std::size_t s = 0; s < t.scenes.size(); ++s) {
        int end = s + 1 < t.scenes.size() ? t.scenes[s + 1].firstFrame : total;
        t.scenes[s].frameCount = std::max(0, end - t.scenes[s].firstFrame);
    }
    return t;
}

const Timeline& emptyTimeline() {
    static const std::vector<swf::Tag> noTags;
    static const Timeline empty = Timeline::build(noTags);
    return empty;
}

}  // namespace flash
