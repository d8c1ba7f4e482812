#include "flash/core/timeline.h"

#include <QString>

namespace flash {

int Timeline::frameOfLabel(const std::string& label) const {
    QString wanted = QString::fromStdString(label);
    for (const auto& [name, frame] : labels)
        if (QString::fromStdString(name).compare(wanted, Qt::CaseInsensitive) == 0) return frame;
    return -1;
}

Timeline Timeline::build(const std::vector<swf::Tag>& tags, int declaredFrames) {
    Timeline t;
    t.tags = &tags;
    std::size_t begin = 0;
    for (std::size_t i = 0; i < tags.size(); ++i) {
        if (const auto* label = tags[i].get<swf::FrameLabel>())
            t.labels.emplace_back(label->name, int(t.frames.size()));
        if (const auto* data = tags[i].get<swf::SceneAndFrameLabelData>()) {
            for (std::size_t s = 0; s < data->scenes.size(); ++s)
                t.scenes.push_back({data->scenes[s].second, int(data->scenes[s].first), 0});
            for (const auto& [frame, name] : data->labels) t.labels.emplace_back(name, int(frame));
        }
        if (tags[i].get<swf::ShowFrame>()) {
            t.frames.emplace_back(begin, i + 1);
            begin = i + 1;
        }
    }
    // The frames are those the tags show, whatever the header declares; tags
    // after the last ShowFrame make one more only while the declared count
    // is not reached.
    if (begin < tags.size() && int(t.frames.size()) < declaredFrames) {
        bool meaningful = false;
        for (std::size_t i = begin; i < tags.size(); ++i)
            if (!tags[i].get<swf::End>()) meaningful = true;
        if (meaningful) t.frames.emplace_back(begin, tags.size());
    }
    if (t.frames.empty()) t.frames.emplace_back(tags.size(), tags.size());
    const int total = int(t.frames.size());
    t.complete = !tags.empty() && tags.back().get<swf::End>();
    if (t.scenes.empty()) t.scenes.push_back({"Scene 1", 0, 0});
    for (std::size_t s = 0; s < t.scenes.size(); ++s) {
        int end = s + 1 < t.scenes.size() ? t.scenes[s + 1].firstFrame : total;
        t.scenes[s].frameCount = std::max(0, end - t.scenes[s].firstFrame);
    }
    return t;
}

const Timeline& emptyTimeline() {
    static const std::vector<swf::Tag> noTags;
    static const Timeline empty = Timeline::build(noTags, 1);
    return empty;
}

}  // namespace flash
