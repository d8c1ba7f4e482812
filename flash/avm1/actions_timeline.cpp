// The actions that drive timelines and the player rather than compute:
// frame moves, gotos, tellTarget, getURL, sprites, dragging, sound, trace
// and the clock. The work is in timeline_actions.cpp, shared with the
// MovieClip methods.
#include <cmath>

#include "flash/avm1/actions.h"
#include "flash/avm1/timeline_actions.h"

namespace kinolux::avm1 {

namespace {

MovieClipBinding* targetMovieClip(ActionContext& c) {
    return c.act.targetClip ? asMovieClip(c.act.targetClip->binding()) : nullptr;
}

String operandString(ActionContext& c) { return String::fromSwf(c.ops.string(), c.version()); }

// NextFrame, PrevFrame, Play and Stop: one step of the target clip, if the
// target is a clip.
Flow stepTargetClip(ActionContext& c, void (MovieClipBinding::*step)()) {
    if (MovieClipBinding* clip = targetMovieClip(c)) (clip->*step)();
    return Flow::Next;
}

}  // namespace

Flow opNextFrame(ActionContext& c) { return stepTargetClip(c, &MovieClipBinding::nextFrame); }
Flow opPrevFrame(ActionContext& c) { return stepTargetClip(c, &MovieClipBinding::prevFrame); }
Flow opPlay(ActionContext& c) { return stepTargetClip(c, &MovieClipBinding::play); }
Flow opStop(ActionContext& c) { return stepTargetClip(c, &MovieClipBinding::stop); }

Flow opGotoFrame(ActionContext& c) {
    actionGotoFrame(c.vm, c.act, c.ops.u16());
    return Flow::Next;
}

Flow opGotoLabel(ActionContext& c) {
    actionGotoLabel(c.vm, c.act, operandString(c));
    return Flow::Next;
}

Flow opGotoFrame2(ActionContext& c) {
    std::uint8_t flags = c.ops.u8();
    int bias = (flags & 0x02) ? c.ops.u16() : 0;
    Value frame = c.pop();
    if (MovieClipBinding* clip = asMovieClip(c.vm.targetClipOrRoot()))
        gotoFrameValue(c.vm, *clip, frame, flags & 0x01, bias);
    return Flow::Next;
}

Flow opCall(ActionContext& c) {
    actionCall(c.vm, c.act, c.pop());
    return Flow::Next;
}

Flow opSetTarget(ActionContext& c) {
    actionSetTarget(c.vm, c.act, operandString(c));
    return Flow::Next;
}

Flow opSetTarget2(ActionContext& c) {
    actionSetTarget2(c.vm, c.act, c.pop());
    return Flow::Next;
}

Flow opGetUrl(ActionContext& c) {
    String url = operandString(c);
    String window = operandString(c);
    actionGetUrl(c.vm, url, window);
    return Flow::Next;
}

Flow opGetUrl2(ActionContext& c) {
    std::uint8_t flags = c.ops.u8();
    Value window = c.pop();
    Value url = c.pop();
    actionGetUrl2(c.vm, c.act, flags, url, window);
    return Flow::Next;
}

Flow opCloneSprite(ActionContext& c) {
    int depth = c.vm.toInt32(c.pop());
    String name = c.vm.toString(c.pop());
    Value source = c.pop();
    actionCloneSprite(c.vm, source, name, depth);
    return Flow::Next;
}

Flow opRemoveSprite(ActionContext& c) {
    actionRemoveSprite(c.vm, c.pop());
    return Flow::Next;
}

Flow opStartDrag(ActionContext& c) {
    // The target is looked up (and so converted) before the rest is read.
    DisplayObjectBinding* dragged = c.vm.resolveTarget(c.pop(), true);
    bool lockCenter = c.vm.toInt32(c.pop()) != 0;
    bool constrain = c.vm.toInt32(c.pop()) != 0;
    std::optional<Bounds> bounds;
    if (constrain) {
        Bounds b;
        b.yMax = c.vm.toNumber(c.pop());
        b.xMax = c.vm.toNumber(c.pop());
        b.yMin = c.vm.toNumber(c.pop());
        b.xMin = c.vm.toNumber(c.pop());
        bounds = b;
    }
    actionStartDrag(c.vm, dragged, lockCenter, bounds);
    return Flow::Next;
}

Flow opEndDrag(ActionContext& c) {
    c.vm.host().stopDrag();
    return Flow::Next;
}

Flow opToggleQuality(ActionContext& c) {
    c.vm.host().toggleQuality();
    return Flow::Next;
}

Flow opStopSounds(ActionContext& c) {
    c.vm.host().stopAllSounds();
    return Flow::Next;
}

Flow opTrace(ActionContext& c) {
    Value v = c.pop();
    c.vm.trace(v.isUndefined() ? c.vm.names().undefined : c.vm.toString(v));
    return Flow::Next;
}

Flow opGetTime(ActionContext& c) {
    c.push(Value(std::floor(c.vm.host().timerMilliseconds())));
    return Flow::Next;
}

Flow opRandomNumber(ActionContext& c) {
    double max = c.vm.toNumber(c.pop());
    std::int32_t bound = std::isnan(max)             ? 0
                         : max >= 2147483647.0 ? 2147483647
                         : max <= 0            ? 0
                                               : static_cast<std::int32_t>(max);
    double result = bound > 0 ? static_cast<double>(c.vm.randomBelow(static_cast<std::uint32_t>(bound))) : 0.0;
    c.push(Value(result));
    return Flow::Next;
}

}  // namespace kinolux::avm1
