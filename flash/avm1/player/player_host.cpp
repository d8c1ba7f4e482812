// What the machine asks of the world outside the movie: files to load.
#include "flash/avm1/player/bindings.h"
#include "flash/core/movie_loader.h"
#include "flash/core/player.h"

namespace flash {

using kinolux::avm1::DisplayObjectBinding;
using kinolux::avm1::HttpMethod;
using kinolux::avm1::String;

namespace {

std::weak_ptr<DisplayObject> weakOf(DisplayObjectBinding* binding) {
    DisplayObject* object = displayObjectOf(binding);
    return object ? object->weak_from_this() : std::weak_ptr<DisplayObject>();
}

}  // namespace

void Player::loadMovie(DisplayObjectBinding* target, std::optional<int> level, const String& url, HttpMethod) {
    loader_->loadMovie(weakOf(target), level, url.toUtf8(), nullptr);
}

void Player::loadClip(DisplayObjectBinding* target, std::optional<int> level, const String& url,
                      const kinolux::avm1::ObjectRef& loader) {
    loader_->loadMovie(weakOf(target), level, url.toUtf8(), loader);
}

void Player::unloadMovie(DisplayObjectBinding* target, std::optional<int> level) {
    loader_->unloadMovie(weakOf(target), level);
}

void Player::loadVariables(DisplayObjectBinding* target, std::optional<int> level, const String& url, HttpMethod,
                           const std::vector<std::pair<String, String>>&) {
    loader_->loadVariables(weakOf(target), level, url.toUtf8());
}

bool Player::requestText(std::uint32_t id, const String& url, HttpMethod, const std::string&) {
    loader_->requestText(id, url.toUtf8());
    return true;
}

}  // namespace flash
