// The actions that drive timelines and the player rather than compute:
// gotos, Call, tellTarget, getURL, dragging, sprite cloning, frame waits.
#pragma once

#include <cstdint>
#include <string_view>

#include "flash/avm1/vm.h"

namespace kinolux::avm1 {

MovieClipBinding* asMovieClip(DisplayObjectBinding* object);

void actionGotoFrame(Vm& vm, Activation& act, int zeroBasedFrame);
void actionGotoLabel(Vm& vm, Activation& act, const String& label);
// GotoFrame2 and MovieClip.gotoAndPlay / gotoAndStop: a frame number, a
// label, or "path:frame".
void gotoFrameValue(Vm& vm, MovieClipBinding& clip, const Value& frame, bool play, int sceneBias);
void actionCall(Vm& vm, Activation& act, const Value& frame);
void actionSetTarget(Vm& vm, Activation& act, const String& target);
void actionSetTarget2(Vm& vm, Activation& act, const Value& target);
void actionGetUrl(Vm& vm, const String& url, const String& window);
void actionGetUrl2(Vm& vm, Activation& act, std::uint8_t flags, const Value& url, const Value& target);
void actionStartDrag(Vm& vm, DisplayObjectBinding* target, bool lockCenter,
                     const std::optional<Bounds>& constraint);
void actionCloneSprite(Vm& vm, const Value& source, const String& name, int depth);
void actionRemoveSprite(Vm& vm, const Value& target);
// removeMovieClip and friends: only objects at the depths scripts create at
// (0 to 2130690031) can be removed.
void removeByScript(DisplayObjectBinding& object);
// Whether WaitForFrame / WaitForFrame2 find the frame loaded.
bool frameLoaded(Vm& vm, Activation& act, const Value& frame, bool secondForm);
// The url-encoded variables of the running code's local scope, for
// getURL / loadVariables with a send method.
std::vector<std::pair<String, String>> localVariables(Vm& vm, Activation& act);

}  // namespace kinolux::avm1
