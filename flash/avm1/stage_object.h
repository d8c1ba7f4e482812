// The script object of a display object. Besides its own properties it
// shows the display properties (_x, _alpha...), its children by instance
// name and the path names (_root, _parent, _global, _levelN).
#pragma once

#include "flash/avm1/host.h"
#include "flash/avm1/object.h"

namespace kinolux::avm1 {

class StageObject : public Object {
public:
    StageObject(Heap& heap, Value proto, DisplayObjectBinding& binding, String path);

    // Null once the display object left the stage.
    DisplayObjectBinding* binding() const { return binding_; }
    DisplayKind displayKind() const { return displayKind_; }
    // The target path ("_level0.a.b") when last seen on stage; a removed
    // object is looked up again by it.
    const String& path() const { return path_; }
    void setPath(String path) { path_ = std::move(path); }
    void detach() { binding_ = nullptr; }

    const char16_t* typeOf() const override;
    bool getNative(Vm& vm, const String& name, Value& out) override;
    bool setNative(Vm& vm, const String& name, const Value& value) override;
    bool hasNative(Vm& vm, const String& name) override;
    void appendNativeKeys(Vm& vm, std::vector<String>& keys) override;

private:
    bool pathProperty(Vm& vm, const String& name, Value& out);

    DisplayObjectBinding* binding_;
    DisplayKind displayKind_;
    String path_;
};

// The index of a display property name ("_x" -> X), ignoring case as the
// player always does for these.
std::optional<DisplayProperty> displayPropertyByName(std::u16string_view name);

}  // namespace kinolux::avm1
