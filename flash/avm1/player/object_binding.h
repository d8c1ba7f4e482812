// The part of a binding every kind of display object shares: names,
// depths, the display properties, geometry and removal, over the core's
// DisplayObject.
#pragma once

#include "flash/avm1/player/bindings.h"
#include "flash/core/display_object.h"

namespace flash {

// The link from a binding back to its object, and on to the machine's
// face of it, whatever interface that implements.
class BoundObject : public ScriptBinding {
public:
    explicit BoundObject(DisplayObject& object) : object_(object) {}
    DisplayObject& object() const { return object_; }
    virtual kinolux::avm1::DisplayObjectBinding& face() = 0;

protected:
    DisplayObject& object_;
};

template <class Base>
class ObjectBinding : public Base, public BoundObject {
public:
    using String = kinolux::avm1::String;
    using DisplayObjectBinding = kinolux::avm1::DisplayObjectBinding;
    using DisplayProperty = kinolux::avm1::DisplayProperty;

    explicit ObjectBinding(DisplayObject& object) : BoundObject(object) {}
    DisplayObjectBinding& face() override { return *this; }

    String name() const override { return object_.name; }
    void setName(const String& name) override { object_.name = name; }
    DisplayObjectBinding* parent() const override;
    int depth() const override { return object_.depth - kTimelineDepthOffset; }
    int swfVersion() const override { return object_.swfVersion(); }
    DisplayObjectBinding* root() const override;
    String exportName() const override;
    bool exportedAs(const String& linkage, bool caseSensitive) const override;
    double property(DisplayProperty p) const override;
    void setProperty(DisplayProperty p, double value) override;
    kinolux::avm1::Matrix matrix() const override;
    void setMatrix(const kinolux::avm1::Matrix& m) override;
    kinolux::avm1::ColorTransform colorTransform() const override;
    void setColorTransform(const kinolux::avm1::ColorTransform& ct) override;
    kinolux::avm1::Bounds bounds(const DisplayObjectBinding* space) const override;
    kinolux::avm1::Point localToGlobal(kinolux::avm1::Point p) const override;
    kinolux::avm1::Point globalToLocal(kinolux::avm1::Point p) const override;
    bool hitTestPoint(double stageX, double stageY, bool shapeFlag) const override;
    bool hitTestObject(const DisplayObjectBinding& other) const override;
    DisplayObjectBinding* dropTarget() const override;
    String url() const override;
    String blendMode() const override;
    void setBlendMode(const String& mode) override;
    bool cacheAsBitmap() const override { return object_.cacheAsBitmap; }
    void setCacheAsBitmap(bool on) override { object_.cacheAsBitmap = on; }
    bool swapDepths(int depth) override;
    void removeFromScript() override;
};

class GraphicBinding : public ObjectBinding<kinolux::avm1::DisplayObjectBinding> {
public:
    using ObjectBinding::ObjectBinding;
    kinolux::avm1::DisplayKind kind() const override { return kinolux::avm1::DisplayKind::Other; }
};

// The names blend modes go by in scripts, by the file's numbering.
kinolux::avm1::String blendModeName(swf::BlendMode mode);
std::optional<swf::BlendMode> blendModeByName(const kinolux::avm1::String& name);

}  // namespace flash
