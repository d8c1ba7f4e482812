#include "flash/avm2/player/as3_scripts.h"

#include <QtGlobal>

#include "flash/avm2/abc_file.h"
#include "flash/avm2/player/display_bridge.h"
#include "flash/avm2/player/input_delivery.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

namespace flash {

namespace {
// The DoABC tag without flags and name, which the reader keeps as it stood.
constexpr std::uint16_t kDoAbcPlain = 72;
// DoABC2's flag for scripts that wait until their names are first used.
constexpr std::uint32_t kLazyInitialize = 1;
}  // namespace

As3Scripts::As3Scripts(Player& player, const kinolux::avm1::ScriptLimits& limits)
    : player_(player), vm_(std::make_unique<kinolux::avm2::Vm>(*this, limits)) {
    installPlayerClasses(*vm_);
    display_ = std::make_unique<DisplayBridge>(player, *vm_);
    input_ = std::make_unique<InputDelivery>(*display_);
}

As3Scripts::~As3Scripts() = default;

void As3Scripts::load(const swf::Movie& movie) {
    vm_->setSwfVersion(movie.header.version);
    documentClass_ = loadLibrary(player_.library());
}

std::string As3Scripts::loadLibrary(const Library& library) {
    std::string documentClass;
    for (const auto& tag : library.movie().tags) {
        try {
            if (const auto* abc = tag.get<swf::DoAbc>()) {
                auto [data, size] = kinolux::avm2::abcOfDoAbc2(abc->data.data(), abc->data.size());
                std::uint32_t flags =
                    abc->data[0] | abc->data[1] << 8 | abc->data[2] << 16 | std::uint32_t(abc->data[3]) << 24;
                vm_->loadAbc(data, size, flags & kLazyInitialize);
            } else if (const auto* unknown = tag.get<swf::UnknownTag>(); unknown && unknown->code == kDoAbcPlain) {
                vm_->loadAbc(unknown->data.data(), unknown->data.size(), false);
            } else if (const auto* symbols = tag.get<swf::SymbolClass>()) {
                for (const auto& [id, name] : symbols->symbols) {
                    if (id == 0) documentClass = name;
                    else display_->linkSymbol(library, id, name);
                }
            }
        } catch (const kinolux::avm2::AbcError& e) {
            scriptError(e.what());
        }
    }
    return documentClass;
}

void As3Scripts::constructRoot(MovieClip& root) {
    kinolux::avm2::Class* cls = nullptr;
    if (!documentClass_.empty()) {
        const auto name = kinolux::avm2::String::fromUtf8(documentClass_);
        // The class exists once its script has started: an error later in the
        // script's own code is reported and the class is still built.
        for (int attempt = 0; attempt < 2 && !cls; ++attempt) vm_->guarded([&] { cls = vm_->findClass(name.view()); });
        if (!cls) {
            scriptError("The document class " + documentClass_ + " is not defined.");
            return;
        }
    }
    // The player refuses a document class that is not a Sprite, says so in
    // the movie's log as an uncaught error would, and runs none of its
    // scripts after that.
    kinolux::avm2::Class* sprite = cls ? vm_->findClass(u"flash.display.Sprite") : nullptr;
    if (sprite && !cls->isSubclassOf(sprite)) {
        trace("TypeError: Error #2023: Class " + cls->qualifiedName().toUtf8() +
              "$ must inherit from Sprite to link to the root.");
        refused_ = true;
        return;
    }
    display_->constructRoot(root, cls);
}

void As3Scripts::placed(DisplayObject& object) {
    if (!refused_) display_->placed(object);
}

void As3Scripts::removing(DisplayObject& object) {
    if (!refused_) display_->announceRemoval(object);
}

void As3Scripts::runTimers() {
    if (!refused_) vm_->runTimers();
}

void As3Scripts::enterFrame() {
    if (refused_) return;
    dispatchEndedSounds(*vm_);
    display_->broadcast(u"enterFrame");
    display_->stepOrphans();
}

void As3Scripts::runFrameScripts() {
    if (refused_) return;
    display_->constructWaiting();
    display_->broadcast(u"frameConstructed");
    display_->runFrameScripts();
    display_->broadcast(u"exitFrame");
    display_->runLateConstructors();
    display_->runQueued();
    if (!std::exchange(announcedLoad_, true)) vm_->guarded([&] { announceMovieLoaded(*vm_); });
}

void As3Scripts::mouseMoved() {
    if (!refused_) input_->mouseMoved();
}

void As3Scripts::mousePressed(bool doubleClick) {
    if (!refused_) input_->mousePressed(doubleClick);
}

void As3Scripts::mouseReleased() {
    if (!refused_) input_->mouseReleased();
}

void As3Scripts::keyChanged(bool down, int keyCode, int charCode, int location) {
    if (!refused_) input_->key(down, keyCode, charCode, location);
}

void As3Scripts::focusChanged(DisplayObject* old, DisplayObject* now) {
    if (!refused_) input_->focusChanged(old, now);
}

bool As3Scripts::takesTabFocus(DisplayObject& object) { return !refused_ && input_->takesFocus(object); }

std::optional<double> As3Scripts::tabIndex(DisplayObject& object) { return input_->tabIndex(object); }

bool As3Scripts::allowsTabTo(DisplayObject& next, bool backwards) {
    return refused_ || input_->allowsFocusChange(u"keyFocusChange", &next, backwards, 9);
}

void As3Scripts::trace(std::string_view line) { player_.trace(line); }

void As3Scripts::scriptError(std::string_view message) {
    qWarning("ActionScript 3: %.*s", int(message.size()), message.data());
    player_.scriptError(message);
}

double As3Scripts::timerMilliseconds() { return player_.movieTime(); }

double As3Scripts::wallClockMilliseconds() { return player_.wallClockMilliseconds(); }

double As3Scripts::localTimeOffsetMinutes(double utcMilliseconds) {
    return player_.localTimeOffsetMinutes(utcMilliseconds);
}

}  // namespace flash
