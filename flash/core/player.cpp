#include "flash/core/player.h"

#include <atomic>

#include "flash/core/geometry.h"
#include "flash/swf/read.h"

namespace flash {

Player::Player(swf::Bytes file) : Player(swf::readMovie(file)) {}

namespace {
std::atomic<std::uint64_t> nextSerial{1};
}  // namespace

Player::Player(swf::Movie movie) : movie_(std::move(movie)), serial_(nextSerial++) { start(); }

void Player::start() {
    library_.addDefinitions(movie_.tags);
    timeline_ = Timeline::build(movie_.tags, movie_.header.frameCount);
    for (const auto& tag : movie_.tags)
        if (const auto* bg = tag.get<swf::SetBackgroundColor>()) {
            background_ = bg->color;
            background_.a = 255;
            break;
        }
    root_ = std::make_shared<MovieClip>(nullptr, &timeline_);
    root_->enterFirstFrame(*this);
    runActions();
}

QRectF Player::stageRect() const { return toQRectF(movie_.header.stageSize); }

void Player::tick() {
    root_->advance(*this);
    runActions();
}

void Player::runActions() {
    if (runner_) runner_(*this);
}

std::shared_ptr<std::size_t> Player::objectToken() {
    if (*liveObjects_ >= kMaxObjects) return nullptr;
    ++*liveObjects_;
    return liveObjects_;
}

void Player::queueClipEvent(const std::shared_ptr<DisplayObject>& obj, std::uint32_t event) {
    if (!obj || !obj->clipActions) return;
    for (const auto& a : *obj->clipActions)
        if (a.events & event) actions_.push_back({obj, a.actions, QueuedAction::ClipEvent, event});
}

DisplayObject* Player::findByPath(const std::string& path) const {
    DisplayObject* current = root_.get();
    std::size_t start = 0;
    while (current && start <= path.size()) {
        std::size_t dot = path.find('.', start);
        std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (!part.empty()) {
            auto* clip = dynamic_cast<MovieClip*>(current);
            current = clip ? clip->childByName(part) : nullptr;
        }
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return current;
}

}  // namespace flash
