#include "flash/avm1/timeline_actions.h"

#include <cmath>

#include "flash/avm1/interpreter.h"
#include "flash/avm1/number_format.h"
#include "flash/avm1/stage_object.h"

namespace kinolux::avm1 {

namespace {

MovieClipBinding* targetMovieClip(Activation& act) {
    return act.targetClip ? asMovieClip(act.targetClip->binding()) : nullptr;
}

// "12" -> 12 for frame numbers given as text; nullopt for labels.
std::optional<double> frameNumberText(const String& s) {
    if (s.empty()) return std::nullopt;
    double n = parseDecimal(s.view(), true);
    if (std::isnan(n) || isNumberBlank(s[0])) return std::nullopt;
    return n;
}

// Splits "path:frame" (or "path.frame") into the clip and the frame part.
MovieClipBinding* clipAndFrame(Vm& vm, MovieClipBinding& clip, const String& text, String& frame) {
    std::u16string_view view = text.view();
    std::size_t sep = view.find_last_of(u":.");
    if (sep == std::u16string_view::npos) {
        frame = text;
        return &clip;
    }
    frame = String(view.substr(sep + 1));
    std::u16string_view path = view.substr(0, sep);
    DisplayObjectBinding* root = vm.rootOf(clip);
    ObjectRef found = resolveTargetPath(vm, *root, vm.scriptObjectOf(clip), path, true);
    Activation* act = Interpreter::activation(vm);
    if (!found && act) found = targetInScopes(vm, *act, *root, path, true);
    return found ? asMovieClip(vm.bindingOf(found.get())) : nullptr;
}

// The 1-based frame a frame value names on a clip, before any scene bias.
std::optional<std::int64_t> frameOf(Vm& vm, MovieClipBinding& clip, const String& frame) {
    if (auto n = frameNumberText(frame)) return toInt32(*n);
    if (auto labelled = clip.frameOfLabel(frame)) return *labelled;
    (void)vm;
    return std::nullopt;
}

std::optional<int> levelOf(const String& window, bool allowBare) {
    std::u16string_view view = window.view();
    if (view.size() < 6 || !String(view.substr(0, 6)).equalsIgnoreCase(u"_level")) return std::nullopt;
    if (view.size() == 6) return allowBare ? std::optional<int>(0) : std::nullopt;
    double n = parseDecimal(view.substr(6), true);
    if (std::isnan(n)) return allowBare ? std::optional<int>() : std::nullopt;
    return static_cast<int>(n);
}

bool isFsCommand(const String& url) {
    return url.size() >= 10 && String(url.view().substr(0, 10)).equalsIgnoreCase(u"FSCommand:");
}

HttpMethod methodOf(std::uint8_t flags) {
    switch (flags & 0x03) {
    case 1: return HttpMethod::Get;
    case 2: return HttpMethod::Post;
    default: return HttpMethod::None;
    }
}

}  // namespace

MovieClipBinding* asMovieClip(DisplayObjectBinding* object) {
    if (!object || object->kind() != DisplayKind::MovieClip) return nullptr;
    return static_cast<MovieClipBinding*>(object);
}

void actionGotoFrame(Vm&, Activation& act, int zeroBasedFrame) {
    if (MovieClipBinding* clip = targetMovieClip(act)) clip->gotoFrame(zeroBasedFrame + 1, false);
}

void actionGotoLabel(Vm&, Activation& act, const String& label) {
    MovieClipBinding* clip = targetMovieClip(act);
    if (!clip) return;
    if (auto frame = clip->frameOfLabel(label)) clip->gotoFrame(*frame, false);
}

void gotoFrameValue(Vm& vm, MovieClipBinding& clip, const Value& frame, bool play, int sceneBias) {
    MovieClipBinding* target = &clip;
    std::optional<std::int64_t> number;
    if (frame.isNumber() && frame.number() == std::trunc(frame.number())) {
        number = toInt32(frame.number());
    } else {
        String frameText;
        target = clipAndFrame(vm, clip, vm.toString(frame), frameText);
        if (!target) return;
        number = frameOf(vm, *target, frameText);
    }
    if (!number) return;
    std::int64_t zeroBased = *number - 1 + sceneBias;
    if (zeroBased < 0) return;
    target->gotoFrame(static_cast<int>(std::min<std::int64_t>(zeroBased + 1, 0x7FFFFFFF)), play);
}

void actionCall(Vm& vm, Activation&, const Value& frame) {
    MovieClipBinding* clip = asMovieClip(vm.targetClipOrRoot());
    if (!clip) return;
    MovieClipBinding* target = clip;
    std::optional<std::int64_t> number;
    if (frame.isNumber()) {
        number = toUint32(frame.number());
    } else {
        String frameText;
        target = clipAndFrame(vm, *clip, vm.toString(frame), frameText);
        if (!target) return;
        number = frameOf(vm, *target, frameText);
    }
    if (!number || *number < 1 || *number > 0xFFFF) return;
    for (const ActionBlock& block : target->frameActions(static_cast<int>(*number)))
        runNested(vm, *target, block);
}

void actionSetTarget(Vm& vm, Activation& act, const String& target) {
    DisplayObjectBinding* base = act.baseClip ? act.baseClip->binding() : nullptr;
    DisplayObjectBinding* newTarget = nullptr;
    if (base) {
        if (target.empty()) {
            newTarget = base;
        } else {
            ObjectRef found = resolveTargetPath(vm, *vm.rootOf(*base), vm.scriptObjectOf(*base),
                                                   target.view(), false);
            newTarget = found ? vm.bindingOf(found.get()) : nullptr;
        }
    }
    act.targetClip = newTarget ? stageObjectOf(vm, newTarget) : nullptr;
    if (DisplayObjectBinding* scopeClip = vm.targetClipOrRoot())
        act.scope = targetScope(vm, act.scope, vm.scriptObjectOf(*scopeClip));
}

void actionSetTarget2(Vm& vm, Activation& act, const Value& target) {
    DisplayObjectBinding* base = act.baseClip ? act.baseClip->binding() : nullptr;
    if (!base) {
        act.targetClip = nullptr;
        return;
    }
    if (target.isString()) {
        actionSetTarget(vm, act, target.string());
        return;
    }
    if (target.isUndefined()) {
        // SWF 6 and older fall back to the clip running the code.
        act.targetClip = vm.swfVersion() > 6 ? nullptr : act.baseClip;
    } else if (DisplayObjectBinding* clip = vm.bindingOf(target)) {
        // A clip is looked up by its path, so among clips of one name the
        // first wins.
        actionSetTarget(vm, act, vm.targetPath(*clip));
        return;
    } else {
        actionSetTarget(vm, act, vm.toString(target));
        return;
    }
    DisplayObjectBinding* scopeClip = act.targetClip ? act.targetClip->binding() : base;
    act.scope = targetScope(vm, act.scope, vm.scriptObjectOf(*scopeClip));
}

void actionGetUrl(Vm& vm, const String& url, const String& window) {
    Host& host = vm.host();
    if (window.size() > 6 && String(window.view().substr(0, 6)).equalsIgnoreCase(u"_level")) {
        auto level = levelOf(window, false);
        if (!level) return;
        if (url.empty()) host.unloadMovie(nullptr, level);
        else host.loadMovie(nullptr, level, url, HttpMethod::None);
        return;
    }
    if (isFsCommand(url)) {
        host.fsCommand(String(url.view().substr(10)), window);
        return;
    }
    host.getUrl(url, window, HttpMethod::None, {});
}

void actionGetUrl2(Vm& vm, Activation& act, std::uint8_t flags, const Value& urlValue,
                   const Value& targetValue) {
    Host& host = vm.host();
    // The target (popped first) is converted first, and only once.
    String target = vm.toString(targetValue);
    String url = vm.toString(urlValue);
    DisplayObjectBinding* targetClip = vm.bindingOf(targetValue);
    auto resolveTargetOnce = [&]() -> DisplayObjectBinding* {
        return targetClip ? targetClip : vm.resolveTarget(Value(target), true);
    };
    if (isFsCommand(url)) {
        host.fsCommand(String(url.view().substr(10)), target);
        return;
    }
    const bool loadTarget = flags & 0x40;
    const bool loadVariables = flags & 0x80;
    const HttpMethod method = methodOf(flags);
    std::optional<int> level = levelOf(target, true);
    DisplayObjectBinding* clip = nullptr;
    if (level) clip = host.level(*level);
    else if (loadVariables || loadTarget) clip = resolveTargetOnce();

    auto variables = [&] {
        return method == HttpMethod::None ? std::vector<std::pair<String, String>>()
                                          : localVariables(vm, act);
    };
    if (loadVariables) {
        bool toClip = loadTarget || level.has_value();
        if (!toClip && targetValue.isObject() && clip) {
            DisplayObjectBinding* base = act.baseClip ? act.baseClip->binding() : nullptr;
            toClip = base && clip == vm.rootOf(*base);
        }
        if (toClip) {
            if (clip || level) host.loadVariables(clip, level, url, method, variables());
            return;
        }
    } else if (loadTarget) {
        if (url.empty()) host.unloadMovie(clip, std::nullopt);
        else if (clip) host.loadMovie(clip, std::nullopt, url, method);
        return;
    } else if (level) {
        if (url.empty()) host.unloadMovie(clip, level);
        else host.loadMovie(clip, level, url, HttpMethod::None);
        return;
    }
    host.getUrl(url, target, method, variables());
}

void actionStartDrag(Vm& vm, DisplayObjectBinding* target, bool lockCenter,
                     const std::optional<Bounds>& constraint) {
    if (target) vm.host().startDrag(*target, lockCenter, constraint);
}

// The compiler adds 16384 to the depth of duplicateMovieClip() and the
// player takes it off again.
void actionCloneSprite(Vm& vm, const Value& source, const String& name, int depth) {
    MovieClipBinding* clip = asMovieClip(vm.resolveTarget(source, true));
    if (!clip) return;
    clip->duplicate(name, static_cast<int>(static_cast<std::int64_t>(depth) - 16384), nullptr);
}

void removeByScript(DisplayObjectBinding& object) {
    if (object.parent() && object.depth() >= 0 && object.depth() <= 2130690031) object.removeFromScript();
}

void actionRemoveSprite(Vm& vm, const Value& target) {
    if (DisplayObjectBinding* object = vm.resolveTarget(target, true)) removeByScript(*object);
}

bool frameLoaded(Vm& vm, Activation& act, const Value& frame, bool secondForm) {
    std::int64_t number = 0;
    if (!secondForm) {
        number = static_cast<std::int64_t>(frame.number());
        if (number > 16000) return false;
    } else {
        if (frame.isNumber() && frame.number() == std::trunc(frame.number())) {
            number = toInt32(frame.number());
        } else {
            auto n = frameNumberText(vm.toString(frame));
            number = n && *n == std::trunc(*n) ? toInt32(*n) : 0;
        }
        if (number > 16001) return false;
    }
    MovieClipBinding* clip = targetMovieClip(act);
    if (!clip) return true;
    auto loaded = static_cast<std::int64_t>(clip->property(DisplayProperty::FramesLoaded));
    auto total = static_cast<std::int64_t>(clip->property(DisplayProperty::TotalFrames));
    // ifFrameLoaded(_framesloaded + 1) holds, as in the player.
    if (secondForm) return loaded + 1 >= std::min(number, total);
    return loaded >= std::min(number, total);
}

std::vector<std::pair<String, String>> localVariables(Vm& vm, Activation& act) {
    std::vector<std::pair<String, String>> out;
    Object* locals = nullptr;
    for (Scope* s = act.scope.get(); s && !locals; s = s->parent()) {
        if (s->kind() != ScopeKind::With) locals = s->object();
    }
    if (!locals) return out;
    ObjectRef holder(locals);
    for (const String& key : vm.enumerate(*locals)) out.emplace_back(key, vm.toString(vm.get(holder, key)));
    return out;
}

}  // namespace kinolux::avm1
