// The built-in classes and functions of ActionScript 1 and 2, installed
// into a fresh machine's _global.
#pragma once

#include "flash/avm1/vm.h"

namespace kinolux::avm1::builtins {

void installAll(Vm& vm);

// An object of the given native shape for `new` (and `extends`).
ObjectRef makeInstance(Vm& vm, ObjectKind kind, const Value& proto);

// One installer per class, called by installAll in dependency order.
void installObject(Vm& vm);
void installFunction(Vm& vm);
void installArray(Vm& vm);
void installString(Vm& vm);
void installNumber(Vm& vm);
void installBoolean(Vm& vm);
void installMath(Vm& vm);
void installDate(Vm& vm);
void installGlobalFunctions(Vm& vm);
void installError(Vm& vm);
void installAsBroadcaster(Vm& vm);
void installSystem(Vm& vm);
void installSharedObject(Vm& vm);
void installMovieClip(Vm& vm);
void installTextFormat(Vm& vm);
void installTextField(Vm& vm);
void installButton(Vm& vm);
void installSound(Vm& vm);
void installColor(Vm& vm);
void installKey(Vm& vm);
void installMouse(Vm& vm);
void installStage(Vm& vm);
void installSelection(Vm& vm);
void installXml(Vm& vm);
void installLoadVars(Vm& vm);
void installAccessibility(Vm& vm);
void installMediaStubs(Vm& vm);
void installContextMenu(Vm& vm);
void installContextMenuItem(Vm& vm);
void installMovieClipLoader(Vm& vm);
void installIme(Vm& vm);
void installStyleSheet(Vm& vm);
void installTextSnapshot(Vm& vm);
void installAsNative(Vm& vm);
void installGeom(Vm& vm);
ObjectRef makeColorTransform(Vm& vm, const Value& proto);
// A TextFormat object's fields as the host's format, and a fresh
// TextFormat object holding one.
TextFormat formatFromObject(Vm& vm, const ObjectRef& object);
ObjectRef objectFromFormat(Vm& vm, const TextFormat& format);
ObjectRef makeTextFormat(Vm& vm, const Value& proto);
// A flash.geom.Transform of a display object; assigning one copies the
// matrix and colors of the object it views.
Value transformOf(Vm& vm, const Value& displayObject);
void assignTransform(Vm& vm, DisplayObjectBinding& target, const Value& transform);

// enabled, useHandCursor, blendMode, cacheAsBitmap, getDepth and
// swapDepths, which clips, buttons and text fields share.
void defineDisplayAccessors(Vm& vm, Object& proto);

// The movie clip a value names (a clip or a target path), if any.
MovieClipBinding* asMovieClipOf(Vm& vm, const Value& v);

// Instances of the classes with native state.
ObjectRef makeSoundObject(Vm& vm, const Value& proto);
ObjectRef makeXmlNode(Vm& vm, const Value& proto);

}  // namespace kinolux::avm1::builtins
