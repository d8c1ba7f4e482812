#include "flash/core/as3_scripts.h"

#include <QtGlobal>

#include "flash/avm2/abc_file.h"
#include "flash/avm2/display_binding.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"

namespace flash {

namespace {
// The DoABC tag without flags and name, which the reader keeps as it stood.
constexpr std::uint16_t kDoAbcPlain = 72;
// DoABC2's flag for scripts that wait until their names are first used.
constexpr std::uint32_t kLazyInitialize = 1;
}  // namespace

class As3Scripts::ClipBinding : public kinolux::avm2::DisplayBinding {
public:
    explicit ClipBinding(MovieClip& clip) : clip_(clip.weak_from_this()) {}

    void play() override {
        if (auto c = clip()) c->play();
    }
    void stop() override {
        if (auto c = clip()) c->stop();
    }
    void gotoFrame(const kinolux::avm2::Value& frame, bool play) override {
        auto c = clip();
        if (!c) return;
        if (frame.isString()) {
            if (auto n = c->frameOfLabel(frame.string())) c->gotoFrame(*n, play);
            return;
        }
        if (frame.isNumber() && frame.number() >= 1) c->gotoFrame(int(frame.number()), play);
    }
    int currentFrame() override {
        auto c = clip();
        return c ? c->currentFrame() + 1 : 1;
    }
    int totalFrames() override {
        auto c = clip();
        return c ? c->totalFrames() : 1;
    }

private:
    std::shared_ptr<MovieClip> clip() const { return std::static_pointer_cast<MovieClip>(clip_.lock()); }

    std::weak_ptr<DisplayObject> clip_;
};

As3Scripts::As3Scripts(Player& player, const kinolux::avm1::ScriptLimits& limits)
    : player_(player), vm_(std::make_unique<kinolux::avm2::Vm>(*this, limits)) {}

As3Scripts::~As3Scripts() = default;

void As3Scripts::load(const swf::Movie& movie) {
    for (const auto& tag : movie.tags) {
        try {
            if (const auto* abc = tag.get<swf::DoAbc>()) {
                auto [data, size] = kinolux::avm2::abcOfDoAbc2(abc->data.data(), abc->data.size());
                std::uint32_t flags =
                    abc->data[0] | abc->data[1] << 8 | abc->data[2] << 16 | std::uint32_t(abc->data[3]) << 24;
                vm_->loadAbc(data, size, flags & kLazyInitialize);
            } else if (const auto* unknown = tag.get<swf::UnknownTag>(); unknown && unknown->code == kDoAbcPlain) {
                vm_->loadAbc(unknown->data.data(), unknown->data.size(), false);
            } else if (const auto* symbols = tag.get<swf::SymbolClass>()) {
                for (const auto& [id, name] : symbols->symbols)
                    if (id == 0) documentClass_ = name;
            }
        } catch (const kinolux::avm2::AbcError& e) {
            scriptError(e.what());
        }
    }
}

void As3Scripts::constructRoot(MovieClip& root) {
    if (documentClass_.empty()) return;
    kinolux::avm2::Class* cls = nullptr;
    const auto name = kinolux::avm2::String::fromUtf8(documentClass_);
    // The class exists once its script has started: an error later in the
    // script's own code is reported and the class is still built.
    for (int attempt = 0; attempt < 2 && !cls; ++attempt) vm_->guarded([&] { cls = vm_->findClass(name.view()); });
    if (!cls) {
        scriptError("The document class " + documentClass_ + " is not defined.");
        return;
    }
    // The player refuses a document class that is not a Sprite, and says so
    // in the movie's log as an uncaught error would.
    kinolux::avm2::Class* sprite = vm_->findClass(u"flash.display.Sprite");
    if (sprite && !cls->isSubclassOf(sprite)) {
        trace("TypeError: Error #2023: Class " + cls->qualifiedName().toUtf8() +
              "$ must inherit from Sprite to link to the root.");
        return;
    }
    rootBinding_ = std::make_unique<ClipBinding>(root);
    rootObject_ = vm_->constructDisplayObject(cls, rootBinding_.get());
}

void As3Scripts::enterFrame() {
    vm_->runTimers();
    if (rootObject_) vm_->dispatchSimpleEvent(rootObject_, u"enterFrame");
}

void As3Scripts::runFrameScripts() {
    if (!rootObject_ || !rootBinding_) return;
    int frame = rootBinding_->currentFrame() - 1;
    if (frame == lastScriptFrame_) return;
    lastScriptFrame_ = frame;
    vm_->runFrameScript(rootObject_, frame);
}

void As3Scripts::trace(std::string_view line) { player_.trace(line); }

void As3Scripts::scriptError(std::string_view message) {
    qWarning("ActionScript 3: %.*s", int(message.size()), message.data());
    player_.host().scriptError(message);
}

double As3Scripts::timerMilliseconds() { return player_.movieTime(); }

double As3Scripts::wallClockMilliseconds() { return player_.host().wallClockMilliseconds(); }

double As3Scripts::localTimeOffsetMinutes(double utcMilliseconds) {
    return player_.host().localTimeOffsetMinutes(utcMilliseconds);
}

}  // namespace flash
