// The display objects of the minimal player: clips with timelines, text
// fields, buttons and inert shapes, holding their properties in fields.
#pragma once

#include <map>
#include <memory>

#include "tools/avm1run/timeline_host.h"

namespace kinolux::avm1run {

// What every display object keeps.
struct NodeState {
    TimelineHost* host = nullptr;
    String name;
    ClipNode* parent = nullptr;
    int depth = 0;
    int swfVersion = 0;
    double props[avm1::kDisplayPropertyCount] = {};
    avm1::ColorTransform color;
    String exportName;
    const swf::PlaceObject* placedBy = nullptr;  // the timeline tag that made it
    const Library* library = nullptr;            // the movie of that timeline
    std::uint16_t characterId = 0;
    std::vector<swf::ClipAction> clipActions;
};

// The members every kind shares, over the binding interface it implements.
template <class Base>
class Node : public Base {
public:
    explicit Node(NodeState state);
    ~Node() override;

    NodeState& state() { return s_; }
    String name() const override { return s_.name; }
    void setName(const String& name) override { s_.name = name; }
    DisplayObjectBinding* parent() const override;
    int depth() const override { return s_.depth; }
    int swfVersion() const override { return s_.swfVersion; }
    DisplayObjectBinding* root() const override;
    String exportName() const override { return s_.exportName; }
    double property(avm1::DisplayProperty p) const override { return s_.props[static_cast<int>(p)]; }
    void setProperty(avm1::DisplayProperty p, double value) override;
    avm1::ColorTransform colorTransform() const override { return s_.color; }
    // _alpha and the color transform's alpha multiplier are one value.
    void setColorTransform(const avm1::ColorTransform& ct) override;
    bool swapDepths(int depth) override;
    void removeFromScript() override;

protected:
    NodeState s_;
};

class ClipNode : public Node<avm1::MovieClipBinding> {
public:
    ClipNode(NodeState state, const Symbol* symbol);
    ~ClipNode() override;

    std::optional<int> levelNumber() const override;
    double property(avm1::DisplayProperty p) const override;
    DisplayObjectBinding* childByName(const String& name, bool caseSensitive) const override;
    DisplayObjectBinding* childAtDepth(int depth) const override;
    std::vector<DisplayObjectBinding*> children() const override;
    int nextHighestDepth() const override;
    void play() override { playing_ = true; }
    void stop() override { playing_ = false; }
    bool isPlaying() const override { return playing_; }
    void nextFrame() override { gotoFrame(currentFrame_ + 1, false); }
    void prevFrame() override { gotoFrame(currentFrame_ - 1, false); }
    void gotoFrame(int frame, bool play) override;
    std::optional<int> frameOfLabel(const String& label) const override;
    std::vector<ActionBlock> frameActions(int frame) const override;
    avm1::MovieClipBinding* createEmptyMovieClip(const String& name, int depth) override;
    DisplayObjectBinding* attachMovie(const String& linkage, const String& name, int depth,
                                      const avm1::ObjectRef& initObject) override;
    DisplayObjectBinding* duplicate(const String& name, int depth, const avm1::ObjectRef& initObject) override;
    DisplayObjectBinding* createTextField(const String& name, int depth, double x, double y,
                                          double width, double height) override;

    // The per-frame step of the player: load or enterFrame events, then
    // the next frame of the timeline when playing.
    void runFrame();
    bool initialized() const { return initialized_; }
    // Removes the child at a depth, running its unload handlers first.
    void removeChild(int depth);
    bool swapChild(int from, int to);
    int totalFrames() const;
    // The movie this clip's own frames come from.
    const Library& library() const { return symbol_ && symbol_->library ? *symbol_->library : *s_.library; }

private:
    static NodeState& stateOf(DisplayObjectBinding& child);
    void seek(int frame, bool play, bool runScripts);
    void applyFrame(int frame, bool runScripts);
    void place(const swf::PlaceObject& tag);
    DisplayObjectBinding* instantiate(std::uint16_t characterId, String name, int depth,
                                      const swf::PlaceObject* tag, const avm1::ObjectRef& initObject);
    DisplayObjectBinding* adopt(std::unique_ptr<DisplayObjectBinding> child, int depth,
                                const avm1::ObjectRef& initObject);

    const Symbol* symbol_;
    int currentFrame_ = 0;
    bool playing_ = true;
    bool initialized_ = false;
    std::map<int, std::unique_ptr<DisplayObjectBinding>> children_;
};

class TextNode : public Node<avm1::TextFieldBinding> {
public:
    TextNode(NodeState state, const swf::DefineEditText* definition);
    avm1::Value textProperty(avm1::TextFieldProperty p) const override;
    void setTextProperty(avm1::TextFieldProperty p, const avm1::Value& v) override;
    void replaceText(int begin, int end, const String& text) override;
    const String& variable() const { return variable_; }
    void showVariable(const avm1::Value& value);

private:
    std::map<avm1::TextFieldProperty, avm1::Value> values_;
    String variable_;
};

class ButtonNode : public Node<avm1::ButtonBinding> {
public:
    using Node::Node;
};

class ShapeNode : public Node<DisplayObjectBinding> {
public:
    using Node::Node;
    avm1::DisplayKind kind() const override { return avm1::DisplayKind::Other; }
};

}  // namespace kinolux::avm1run
