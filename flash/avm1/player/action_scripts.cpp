#include "flash/avm1/player/action_scripts.h"

#include <cmath>

#include "flash/avm1/player/bindings.h"
#include "flash/avm1/player/script_classes.h"
#include "flash/avm1/player/text_values.h"
#include "flash/core/edit_text.h"
#include "flash/core/player.h"

namespace flash {

using kinolux::avm1::String;
using kinolux::avm1::Value;

std::unique_ptr<TimelineScripts> makeTimelineScripts(Player& player, const kinolux::script::ScriptLimits& limits,
                                                     std::uint32_t randomSeed) {
    return std::make_unique<ActionScripts>(player, limits, randomSeed);
}

PlayerHost& hostOf(Player& player) { return static_cast<ActionScripts&>(player.timelineScripts()).host(); }

ActionScripts::ActionScripts(Player& player, const kinolux::script::ScriptLimits& limits, std::uint32_t randomSeed)
    : host_(player), vm_(std::make_unique<kinolux::avm1::Vm>(host_, player.swfVersion(), limits)) {
    host_.serve(*vm_);
    vm_->seedRandom(randomSeed);
    installPlayerClasses(*vm_);
    for (const auto& tag : player.movie().tags)
        if (const auto* sl = tag.get<swf::ScriptLimits>()) vm_->setLimitsFromMovie(sl->maxRecursionDepth, sl->timeoutSeconds);
}

void ActionScripts::construct(DisplayObject& object, const InitObject* init) {
    vm_->constructDisplayObject(avm1Binding(object), init ? init->object : nullptr);
}

void ActionScripts::detach(DisplayObject& object) { avm1Binding(object).detachFromScript(); }

void ActionScripts::runInitActions(DisplayObject& clip, const ActionCode& code) {
    vm_->runInitActions(avm1Binding(clip), actionBlock(code));
}

void ActionScripts::runFrameActions(DisplayObject& clip, const ActionCode& code) {
    vm_->runFrameActions(avm1Binding(clip), actionBlock(code));
}

void ActionScripts::runAsOne(const std::function<void()>& body) { vm_->asOneRun(body); }

void ActionScripts::runClipActions(DisplayObject& clip, const ActionCode& code) {
    vm_->runClipActions(avm1Binding(clip), actionBlock(code));
}

void ActionScripts::runButtonActions(DisplayObject& button, const ActionCode& code) {
    vm_->runButtonActions(avm1Binding(button), actionBlock(code));
}

void ActionScripts::callMethod(DisplayObject& object, std::u16string_view name) {
    vm_->callMethod(avm1Binding(object), name);
}

bool ActionScripts::hasMethod(DisplayObject& object, std::u16string_view name) {
    return vm_->hasMethod(avm1Binding(object), name);
}

void ActionScripts::callLinkFunction(MovieClip& timeline, const QString& name, const std::optional<QString>& argument) {
    std::optional<String> arg;
    if (argument) arg = toScriptString(*argument);
    vm_->callLinkFunction(avm1Binding(timeline), toScriptString(name), arg);
}

std::optional<bool> ActionScripts::flag(DisplayObject& object, std::u16string_view name) {
    const Value v = vm_->readVariable(avm1Binding(object), String(name));
    if (v.isNullish()) return std::nullopt;
    return vm_->toBoolean(v);
}

std::optional<double> ActionScripts::number(DisplayObject& object, std::u16string_view name) {
    const Value v = vm_->readVariable(avm1Binding(object), String(name));
    if (v.isNumber() && std::isfinite(v.number())) return v.number();
    return std::nullopt;
}

VariableText ActionScripts::textVariable(EditText& field) {
    const Value v = vm_->readVariable(avm1Binding(*field.parent()), field.variable);
    return {v.isUndefined(), v.isObject(), fromScriptString(kinolux::avm1::primitiveToString(v, field.swfVersion()))};
}

void ActionScripts::setTextVariable(EditText& field, const QString& text) {
    vm_->writeVariable(avm1Binding(*field.parent()), field.variable, Value(toScriptString(text)));
}

void ActionScripts::focusChanged(DisplayObject* old, DisplayObject* now) {
    vm_->notifyFocusChange(old ? &avm1Binding(*old) : nullptr, now ? &avm1Binding(*now) : nullptr);
}

void ActionScripts::textChanged(EditText& field) { vm_->notifyTextChanged(avm1Binding(field)); }

bool ActionScripts::showsFocusRect() {
    const Value& setting = host_.focusRectSetting();
    return setting.isNullish() || vm_->toBoolean(setting);
}

void ActionScripts::getUrl(const QString& url, const QString& window) {
    host_.getUrl(toScriptString(url), toScriptString(window), kinolux::avm1::HttpMethod::None, {});
}

void ActionScripts::deliverVariables(MovieClip& clip, std::string_view text) {
    vm_->deliverVariables(avm1Binding(clip), text);
}

bool ActionScripts::usesCodepage() {
    const Value system = vm_->global()->ownValue(String(u"System"), true);
    return system.isObject() && system.object()->ownValue(String(u"useCodepage"), true).isBoolean() &&
           system.object()->ownValue(String(u"useCodepage"), true).boolean();
}

}  // namespace flash
