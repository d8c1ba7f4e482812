#include "tools/avm1run/display_nodes.h"

#include <algorithm>
#include <cmath>

#include "flash/avm1/number_format.h"

namespace kinolux::avm1run {

using avm1::DisplayProperty;

namespace {

// Timeline depths sit below the script range, as the player reports them.
constexpr int kTimelineDepthOffset = -16384;

void setProp(NodeState& s, DisplayProperty p, double v) { s.props[static_cast<int>(p)] = v; }

NodeState defaultState(TimelineHost* host, ClipNode* parent, String name, int depth, int version) {
    NodeState s;
    s.host = host;
    s.library = parent ? &parent->library() : &host->mainLibrary();
    s.parent = parent;
    s.name = std::move(name);
    s.depth = depth;
    s.swfVersion = version;
    setProp(s, DisplayProperty::XScale, 100);
    setProp(s, DisplayProperty::YScale, 100);
    setProp(s, DisplayProperty::Alpha, 100);
    setProp(s, DisplayProperty::Visible, 1);
    return s;
}

void applyPlacement(NodeState& s, const swf::PlaceObject& tag) {
    if (tag.matrix) {
        const swf::Matrix& m = *tag.matrix;
        double a = m.a / 65536.0, b = m.b / 65536.0, c = m.c / 65536.0, d = m.d / 65536.0;
        setProp(s, DisplayProperty::X, m.tx / 20.0);
        setProp(s, DisplayProperty::Y, m.ty / 20.0);
        setProp(s, DisplayProperty::XScale, std::sqrt(a * a + b * b) * 100);
        setProp(s, DisplayProperty::YScale, std::sqrt(c * c + d * d) * 100);
        setProp(s, DisplayProperty::Rotation, std::atan2(b, a) * 180 / M_PI);
    }
    if (tag.colorTransform) {
        const swf::ColorTransform& ct = *tag.colorTransform;
        s.color.redMultiplier = ct.rMul / 256.0;
        s.color.greenMultiplier = ct.gMul / 256.0;
        s.color.blueMultiplier = ct.bMul / 256.0;
        s.color.alphaMultiplier = ct.aMul / 256.0;
        s.color.redOffset = ct.rAdd;
        s.color.greenOffset = ct.gAdd;
        s.color.blueOffset = ct.bAdd;
        s.color.alphaOffset = ct.aAdd;
        setProp(s, DisplayProperty::Alpha, ct.aMul / 256.0 * 100);
    }
    if (tag.visible) setProp(s, DisplayProperty::Visible, *tag.visible ? 1 : 0);
}

// The text of an HTML text: tags dropped, paragraph ends and <br> as
// line breaks, the common entities decoded. Enough for scripts reading
// .text; the display side does the real layout.
String plainTextOf(const String& html) {
    std::u16string out;
    std::u16string_view in = html.view();
    for (std::size_t i = 0; i < in.size();) {
        char16_t c = in[i];
        if (c == u'<') {
            std::size_t close = in.find(u'>', i);
            if (close == std::u16string_view::npos) break;
            String tag(in.substr(i + 1, close - i - 1));
            if (tag.equalsIgnoreCase(u"/p") || tag.equalsIgnoreCase(u"br") || tag.equalsIgnoreCase(u"br/")) out += u'\r';
            i = close + 1;
        } else if (c == u'&') {
            static constexpr std::pair<std::u16string_view, char16_t> kEntities[] = {
                {u"&lt;", u'<'}, {u"&gt;", u'>'}, {u"&amp;", u'&'}, {u"&quot;", u'"'}, {u"&apos;", u'\''}, {u"&nbsp;", 0xA0}};
            bool matched = false;
            for (const auto& [name, ch] : kEntities) {
                if (in.substr(i, name.size()) == name) {
                    out += ch;
                    i += name.size();
                    matched = true;
                    break;
                }
            }
            if (!matched) out += in[i++];
        } else {
            out += in[i++];
        }
    }
    if (!out.empty() && out.back() == u'\r') out.pop_back();  // the last paragraph ends the text
    return String(out);
}

// Runs the unload handlers of everything inside an object, then its own.
void unload(TimelineHost& host, DisplayObjectBinding& object, NodeState& state) {
    if (object.kind() == avm1::DisplayKind::MovieClip) {
        auto& clip = static_cast<ClipNode&>(object);
        for (DisplayObjectBinding* child : clip.children()) {
            if (child->kind() == avm1::DisplayKind::MovieClip) unload(host, *child, static_cast<ClipNode*>(child)->state());
        }
    }
    for (const swf::ClipAction& action : state.clipActions) {
        if (action.events & swf::ClipEvent::Unload) host.vm().runClipActions(object, state.library->block(action.actions));
    }
    host.vm().callMethod(object, u"onUnload");
}

}  // namespace

// ---- Node ----

template <class Base>
Node<Base>::Node(NodeState state) : s_(std::move(state)) {
    s_.host->noteAlive(this);
}

template <class Base>
Node<Base>::~Node() {
    s_.host->noteDead(this);
}

template <class Base>
DisplayObjectBinding* Node<Base>::parent() const {
    return s_.parent;
}

template <class Base>
DisplayObjectBinding* Node<Base>::root() const {
    const DisplayObjectBinding* p = this;
    while (p->parent()) p = p->parent();
    return const_cast<DisplayObjectBinding*>(p);
}

template <class Base>
void Node<Base>::setProperty(avm1::DisplayProperty p, double value) {
    if (p == DisplayProperty::Alpha) {
        // Kept as a 16-bit fixed-point multiplier, as the player keeps it.
        double fixed = std::isfinite(value) ? static_cast<std::int16_t>(static_cast<std::uint16_t>(
                                                  static_cast<std::int64_t>(std::trunc(std::fmod(value * 2.56, 65536.0))))) / 256.0
                                            : 0.0;
        s_.color.alphaMultiplier = fixed;
        value = fixed * 100;
    }
    s_.props[static_cast<int>(p)] = value;
}

template <class Base>
void Node<Base>::setColorTransform(const avm1::ColorTransform& ct) {
    s_.color = ct;
    s_.props[static_cast<int>(DisplayProperty::Alpha)] = ct.alphaMultiplier * 100;
}

template <class Base>
bool Node<Base>::swapDepths(int depth) {
    return s_.parent && s_.parent->swapChild(s_.depth, depth);
}

template <class Base>
void Node<Base>::removeFromScript() {
    if (s_.parent) s_.parent->removeChild(s_.depth);  // destroys this object
}

template class Node<avm1::MovieClipBinding>;
template class Node<avm1::TextFieldBinding>;
template class Node<avm1::ButtonBinding>;
template class Node<DisplayObjectBinding>;

// ---- ClipNode ----

ClipNode::ClipNode(NodeState state, const Symbol* symbol) : Node(std::move(state)), symbol_(symbol) {
    s_.host->addToExecutionList(this);
}

ClipNode::~ClipNode() {
    s_.host->removeFromExecutionList(this);
    // Children go first, while their parent still exists.
    while (!children_.empty()) {
        auto it = children_.begin();
        std::unique_ptr<DisplayObjectBinding> child = std::move(it->second);
        children_.erase(it);
    }
}

std::optional<int> ClipNode::levelNumber() const {
    if (s_.parent) return std::nullopt;
    return 0;
}

int ClipNode::totalFrames() const {
    return symbol_ ? std::max<int>(1, static_cast<int>(symbol_->frames.size())) : 1;
}

double ClipNode::property(DisplayProperty p) const {
    switch (p) {
    case DisplayProperty::CurrentFrame: return std::max(1, currentFrame_);
    case DisplayProperty::TotalFrames:
    case DisplayProperty::FramesLoaded: return totalFrames();
    default: return Node::property(p);
    }
}

DisplayObjectBinding* ClipNode::childByName(const String& name, bool caseSensitive) const {
    if (name.empty()) return nullptr;  // unnamed shapes are not found by name
    for (const auto& [depth, child] : children_) {
        if (child->name().equals(name.view(), caseSensitive)) return child.get();
    }
    return nullptr;
}

DisplayObjectBinding* ClipNode::childAtDepth(int depth) const {
    auto it = children_.find(depth);
    return it == children_.end() ? nullptr : it->second.get();
}

std::vector<DisplayObjectBinding*> ClipNode::children() const {
    std::vector<DisplayObjectBinding*> out;
    for (const auto& [depth, child] : children_) out.push_back(child.get());
    return out;
}

int ClipNode::nextHighestDepth() const {
    int next = 0;
    for (const auto& [depth, child] : children_) next = std::max(next, depth + 1);
    return next;
}

void ClipNode::runFrame() {
    if (!initialized_) {
        s_.host->queueClipEvent(this, swf::ClipEvent::Load);
        initialized_ = true;
    } else {
        s_.host->queueClipEvent(this, swf::ClipEvent::EnterFrame);
    }
    if (!playing_) return;
    int total = totalFrames();
    if (currentFrame_ == 0) applyFrame(1, true);
    else if (currentFrame_ < total) applyFrame(currentFrame_ + 1, true);
    else if (total > 1 && (!symbol_ || symbol_->complete)) gotoFrame(1, true);
}

NodeState& ClipNode::stateOf(DisplayObjectBinding& child) {
    switch (child.kind()) {
    case avm1::DisplayKind::MovieClip: return static_cast<ClipNode&>(child).state();
    case avm1::DisplayKind::TextField: return static_cast<TextNode&>(child).state();
    case avm1::DisplayKind::Button: return static_cast<ButtonNode&>(child).state();
    default: return static_cast<ShapeNode&>(child).state();
    }
}

// A goto does not step through the frames it skips: it sums up what their
// tags do to each depth and then changes the display list once, so objects
// that come and go in between are never made, and objects that stay keep
// their state. Going back replays the timeline from frame 1 and keeps the
// objects whose placement is still the one in effect at the target frame.
void ClipNode::gotoFrame(int frame, bool play) { seek(frame, play, true); }

void ClipNode::seek(int frame, bool play, bool runScripts) {
    int total = totalFrames();
    const bool reachable = runScripts && frame <= total;  // beyond the end: the last frame, without its scripts
    frame = std::clamp(frame, 1, total);
    playing_ = play;
    if (frame == currentFrame_ || !symbol_) {
        currentFrame_ = frame;
        return;
    }
    const bool rewind = frame < currentFrame_;
    const int first = rewind ? 1 : currentFrame_ + 1;

    struct Command {
        int depth;
        int frame;
        std::size_t order;
        const swf::PlaceObject* place;  // makes the object; null: changes the one there
        std::vector<const swf::PlaceObject*> changes;
    };
    std::vector<Command> commands;
    auto commandAt = [&](int depth) -> Command* {
        for (Command& c : commands) {
            if (c.depth == depth) return &c;
        }
        return nullptr;
    };
    // Objects present before the goto that count as occupying their depth:
    // going forward, all of them; going back, only those scripts made.
    auto baseline = [&](int depth) -> bool {
        auto it = children_.find(depth);
        if (it == children_.end()) return false;
        return !rewind || !stateOf(*it->second).placedBy;
    };
    std::size_t order = 0;
    for (int f = first; f <= frame; ++f) {
        for (const swf::Tag* tag : symbol_->frames[f - 1]) {
            if (const auto* placement = tag->get<swf::PlaceObject>()) {
                int depth = placement->depth + kTimelineDepthOffset;
                Command* c = commandAt(depth);
                bool occupied = c || baseline(depth);
                if (placement->action == swf::PlaceAction::Modify ||
                    (placement->action == swf::PlaceAction::Replace && occupied)) {
                    if (c) c->changes.push_back(placement);
                    else if (occupied) commands.push_back({depth, f, order++, nullptr, {placement}});
                } else if (!occupied) {
                    commands.push_back({depth, f, order++, placement, {}});
                }
            } else if (const auto* remove = tag->get<swf::RemoveObject>()) {
                int depth = remove->depth + kTimelineDepthOffset;
                std::erase_if(commands, [&](const Command& c) { return c.depth == depth; });
                if (!rewind) removeChild(depth);
            } else if (const auto* init = tag->get<swf::DoInitAction>()) {
                s_.host->queueInitActions(this, library().block(init->actions));
            }
        }
    }
    if (rewind) {
        // Timeline objects stay only when their placement is still in effect.
        std::vector<int> doomed;
        for (auto& [depth, child] : children_) {
            const swf::PlaceObject* placedBy = stateOf(*child).placedBy;
            if (!placedBy) continue;
            Command* c = commandAt(depth);
            if (!c || c->place != placedBy) doomed.push_back(depth);
        }
        for (int depth : doomed) removeChild(depth);
    }
    currentFrame_ = frame;

    auto run = [&](const Command& c) {
        auto it = children_.find(c.depth);
        DisplayObjectBinding* child = it == children_.end() ? nullptr : it->second.get();
        if (c.place && !(child && stateOf(*child).placedBy == c.place)) {
            if (child) return;  // a script's object holds the depth
            place(*c.place);
            it = children_.find(c.depth);
            child = it == children_.end() ? nullptr : it->second.get();
        } else if (c.place && child) {
            applyPlacement(stateOf(*child), *c.place);  // a kept object returns to its placement
        }
        if (!child) return;
        for (const swf::PlaceObject* change : c.changes) {
            applyPlacement(stateOf(*child), *change);
            if (change->name) child->setName(String::fromSwf(*change->name, s_.swfVersion));
        }
    };
    std::sort(commands.begin(), commands.end(), [](const Command& a, const Command& b) { return a.order < b.order; });
    for (const Command& c : commands) {
        if (c.frame < frame) run(c);
    }
    if (reachable) {
        for (const swf::Tag* tag : symbol_->frames[frame - 1]) {
            if (const auto* action = tag->get<swf::DoAction>()) s_.host->queueActions(this, library().block(action->actions));
        }
    }
    for (const Command& c : commands) {
        if (c.frame >= frame) run(c);
    }
}

std::optional<int> ClipNode::frameOfLabel(const String& label) const {
    if (!symbol_) return std::nullopt;
    for (const auto& [name, frame] : symbol_->labels) {
        if (label.equalsIgnoreCase(name)) return frame;
    }
    return std::nullopt;
}

std::vector<ActionBlock> ClipNode::frameActions(int frame) const {
    std::vector<ActionBlock> out;
    if (!symbol_ || frame < 1 || frame > static_cast<int>(symbol_->frames.size())) return out;
    for (const swf::Tag* tag : symbol_->frames[frame - 1]) {
        if (const auto* action = tag->get<swf::DoAction>()) out.push_back(library().block(action->actions));
    }
    return out;
}

void ClipNode::applyFrame(int frame, bool runScripts) {
    currentFrame_ = frame;
    if (!symbol_ || frame > static_cast<int>(symbol_->frames.size())) return;
    for (const swf::Tag* tag : symbol_->frames[frame - 1]) {
        if (const auto* placement = tag->get<swf::PlaceObject>()) {
            place(*placement);
        } else if (const auto* remove = tag->get<swf::RemoveObject>()) {
            removeChild(remove->depth + kTimelineDepthOffset);
        } else if (const auto* action = tag->get<swf::DoAction>()) {
            if (runScripts) s_.host->queueActions(this, library().block(action->actions));
        } else if (const auto* init = tag->get<swf::DoInitAction>()) {
            s_.host->queueInitActions(this, library().block(init->actions));
        }
    }
}

void ClipNode::place(const swf::PlaceObject& tag) {
    int depth = tag.depth + kTimelineDepthOffset;
    auto existing = children_.find(depth);
    if (tag.action == swf::PlaceAction::Modify || (tag.action == swf::PlaceAction::Replace && existing != children_.end())) {
        if (existing == children_.end()) return;
        DisplayObjectBinding* child = existing->second.get();
        NodeState* st = nullptr;
        switch (child->kind()) {
        case avm1::DisplayKind::MovieClip: st = &static_cast<ClipNode*>(child)->state(); break;
        case avm1::DisplayKind::TextField: st = &static_cast<TextNode*>(child)->state(); break;
        case avm1::DisplayKind::Button: st = &static_cast<ButtonNode*>(child)->state(); break;
        default: st = &static_cast<ShapeNode*>(child)->state(); break;
        }
        applyPlacement(*st, tag);
        if (tag.name) child->setName(String::fromSwf(*tag.name, s_.swfVersion));
        return;
    }
    if (existing != children_.end()) {
        // The player leaves an occupied depth alone and says so in its log.
        s_.host->trace("Warning: Failed to place object at depth " + std::to_string(tag.depth) + ".");
        return;
    }
    // Shapes and static text get no instance name (nor use up a number).
    const Symbol* symbol = library().symbol(tag.characterId);
    const bool scriptable = symbol && symbol->kind != Symbol::Kind::Other;
    String name = tag.name ? String::fromSwf(*tag.name, s_.swfVersion)
                           : scriptable ? s_.host->nextInstanceName() : String();
    instantiate(tag.characterId, std::move(name), depth, &tag, nullptr);
}

DisplayObjectBinding* ClipNode::instantiate(std::uint16_t characterId, String name, int depth,
                                            const swf::PlaceObject* tag, const avm1::ObjectRef& initObject) {
    const Symbol* symbol = library().symbol(characterId);
    // An object plays by the rules of the movie its symbol comes from.
    const int version = symbol && symbol->library ? symbol->library->swfVersion : s_.swfVersion;
    NodeState state = defaultState(s_.host, this, std::move(name), depth, version);
    state.placedBy = tag;
    state.characterId = characterId;
    if (symbol) state.exportName = symbol->exportName;
    if (tag) {
        applyPlacement(state, *tag);
        if (tag->clipActions) state.clipActions = *tag->clipActions;
    }
    std::unique_ptr<DisplayObjectBinding> child;
    switch (symbol ? symbol->kind : Symbol::Kind::Other) {
    case Symbol::Kind::Sprite: child = std::make_unique<ClipNode>(std::move(state), symbol); break;
    case Symbol::Kind::EditText: child = std::make_unique<TextNode>(std::move(state), symbol->editText); break;
    case Symbol::Kind::Button: child = std::make_unique<ButtonNode>(std::move(state)); break;
    case Symbol::Kind::Other: child = std::make_unique<ShapeNode>(std::move(state)); break;
    }
    return adopt(std::move(child), depth, initObject);
}

DisplayObjectBinding* ClipNode::adopt(std::unique_ptr<DisplayObjectBinding> child, int depth,
                                      const avm1::ObjectRef& initObject) {
    if (children_.count(depth)) removeChild(depth);
    DisplayObjectBinding* object = child.get();
    children_[depth] = std::move(child);
    if (object->kind() == avm1::DisplayKind::Other) return object;
    if (object->kind() == avm1::DisplayKind::MovieClip) {
        // Initialize runs at once; Construct waits until the clip's first
        // frame (and so its children's Initialize) is built.
        NodeState& state = static_cast<ClipNode*>(object)->state();
        for (const swf::ClipAction& action : state.clipActions) {
            if (action.events & swf::ClipEvent::Initialize)
                s_.host->vm().runClipActions(*object, state.library->block(action.actions));
        }
        for (const swf::ClipAction& action : state.clipActions) {
            if (action.events & swf::ClipEvent::Construct)
                s_.host->queueClipActions(object, state.library->block(action.actions));
        }
    }
    s_.host->vm().constructDisplayObject(*object, initObject);
    if (!s_.host->isAlive(object)) return nullptr;  // its constructor removed it
    if (object->kind() == avm1::DisplayKind::MovieClip) static_cast<ClipNode*>(object)->runFrame();
    if (object->kind() == avm1::DisplayKind::TextField) {
        auto* text = static_cast<TextNode*>(object);
        if (!text->variable().empty()) {
            avm1::Value current = s_.host->vm().readVariable(*this, text->variable());
            if (current.isUndefined())
                s_.host->vm().writeVariable(*this, text->variable(), text->textProperty(avm1::TextFieldProperty::Text));
            else
                text->showVariable(current);
        }
    }
    return s_.host->isAlive(object) ? object : nullptr;
}

avm1::MovieClipBinding* ClipNode::createEmptyMovieClip(const String& name, int depth) {
    auto clip = std::make_unique<ClipNode>(defaultState(s_.host, this, name, depth, s_.swfVersion), nullptr);
    return static_cast<ClipNode*>(adopt(std::move(clip), depth, nullptr));
}

DisplayObjectBinding* ClipNode::attachMovie(const String& linkage, const String& name, int depth,
                                            const avm1::ObjectRef& initObject) {
    const Symbol* symbol = s_.host->exported(linkage);
    if (!symbol || symbol->kind != Symbol::Kind::Sprite) return nullptr;
    NodeState state = defaultState(s_.host, this, name, depth, s_.swfVersion);
    state.exportName = symbol->exportName;
    return adopt(std::make_unique<ClipNode>(std::move(state), symbol), depth, initObject);
}

DisplayObjectBinding* ClipNode::duplicate(const String& name, int depth, const avm1::ObjectRef& initObject) {
    if (!s_.parent) return nullptr;
    NodeState state = s_;
    state.name = name;
    state.depth = depth;
    state.placedBy = nullptr;
    return s_.parent->adopt(std::make_unique<ClipNode>(std::move(state), symbol_), depth, initObject);
}

DisplayObjectBinding* ClipNode::createTextField(const String& name, int depth, double x, double y,
                                                double width, double height) {
    NodeState state = defaultState(s_.host, this, name, depth, s_.swfVersion);
    setProp(state, DisplayProperty::X, x);
    setProp(state, DisplayProperty::Y, y);
    setProp(state, DisplayProperty::Width, width);
    setProp(state, DisplayProperty::Height, height);
    return adopt(std::make_unique<TextNode>(std::move(state), nullptr), depth, nullptr);
}

void ClipNode::removeChild(int depth) {
    auto it = children_.find(depth);
    if (it == children_.end()) return;
    DisplayObjectBinding* child = it->second.get();
    if (child->kind() == avm1::DisplayKind::MovieClip) unload(*s_.host, *child, static_cast<ClipNode*>(child)->state());
    it = children_.find(depth);  // the handlers may have changed the list
    if (it == children_.end() || it->second.get() != child) return;
    std::unique_ptr<DisplayObjectBinding> doomed = std::move(it->second);
    children_.erase(it);
    doomed->detachFromScript();
}

bool ClipNode::swapChild(int from, int to) {
    auto self = children_.find(from);
    if (self == children_.end() || from == to) return false;
    std::unique_ptr<DisplayObjectBinding> mine = std::move(self->second);
    children_.erase(self);
    auto other = children_.find(to);
    auto depthOf = [](DisplayObjectBinding* o) -> int& {
        switch (o->kind()) {
        case avm1::DisplayKind::MovieClip: return static_cast<ClipNode*>(o)->state().depth;
        case avm1::DisplayKind::TextField: return static_cast<TextNode*>(o)->state().depth;
        case avm1::DisplayKind::Button: return static_cast<ButtonNode*>(o)->state().depth;
        default: return static_cast<ShapeNode*>(o)->state().depth;
        }
    };
    if (other != children_.end()) {
        std::unique_ptr<DisplayObjectBinding> theirs = std::move(other->second);
        children_.erase(other);
        depthOf(theirs.get()) = from;
        children_[from] = std::move(theirs);
    }
    depthOf(mine.get()) = to;
    children_[to] = std::move(mine);
    return true;
}

// ---- TextNode ----

TextNode::TextNode(NodeState state, const swf::DefineEditText* definition) : Node(std::move(state)) {
    using P = avm1::TextFieldProperty;
    String text;
    if (definition) {
        if (definition->initialText) {
            text = String::fromSwf(*definition->initialText, s_.swfVersion);
            if (definition->html) {
                values_[P::HtmlText] = avm1::Value(text);
                text = plainTextOf(text);
            }
        }
        variable_ = String::fromSwf(definition->variableName, s_.swfVersion);
        values_[P::Multiline] = avm1::Value(definition->multiline);
        values_[P::WordWrap] = avm1::Value(definition->wordWrap);
        values_[P::Password] = avm1::Value(definition->password);
        values_[P::Html] = avm1::Value(definition->html);
        values_[P::Border] = avm1::Value(definition->border);
        values_[P::Selectable] = avm1::Value(!definition->noSelect);
        values_[P::Type] = avm1::Value(String(definition->readOnly ? u"dynamic" : u"input"));
        if (definition->maxLength) values_[P::MaxChars] = avm1::Value(static_cast<int>(*definition->maxLength));
        setProp(s_, DisplayProperty::Width, (definition->bounds.xMax - definition->bounds.xMin) / 20.0);
        setProp(s_, DisplayProperty::Height, (definition->bounds.yMax - definition->bounds.yMin) / 20.0);
    }
    values_[P::Text] = avm1::Value(text);
    if (!variable_.empty()) values_[P::Variable] = avm1::Value(variable_);
}

avm1::Value TextNode::textProperty(avm1::TextFieldProperty p) const {
    using P = avm1::TextFieldProperty;
    auto it = values_.find(p);
    if (it != values_.end()) return it->second;
    switch (p) {
    case P::HtmlText: return textProperty(P::Text);
    case P::Length: return avm1::Value(textProperty(P::Text).string().size());
    case P::Variable:
    case P::MaxChars:
    case P::Restrict: return avm1::Value::null();
    case P::AutoSize: return avm1::Value(String(u"none"));
    case P::Type: return avm1::Value(String(u"dynamic"));
    case P::AntiAliasType: return avm1::Value(String(u"normal"));
    case P::GridFitType: return avm1::Value(String(u"pixel"));
    case P::Scroll:
    case P::MaxScroll:
    case P::BottomScroll: return avm1::Value(1);
    case P::Selectable:
    case P::MouseWheelEnabled: return avm1::Value(true);
    case P::Html:
    case P::Background:
    case P::Border:
    case P::Multiline:
    case P::WordWrap:
    case P::EmbedFonts:
    case P::Password:
    case P::CondenseWhite: return avm1::Value(false);
    case P::BackgroundColor: return avm1::Value(0xFFFFFF);
    default: return avm1::Value(0);
    }
}

void TextNode::setTextProperty(avm1::TextFieldProperty p, const avm1::Value& v) {
    using P = avm1::TextFieldProperty;
    if (p == P::HtmlText || p == P::Text) values_.erase(P::HtmlText);
    if (p == P::HtmlText) p = P::Text;
    if (p == P::Variable) variable_ = v.isString() ? v.string() : String();
    values_[p] = v;
}

void TextNode::replaceText(int begin, int end, const String& text) {
    using P = avm1::TextFieldProperty;
    String current = textProperty(P::Text).string();
    std::size_t size = current.size();
    std::size_t b = begin < 0 ? size : std::min<std::size_t>(static_cast<std::size_t>(begin), size);
    std::size_t e = end < 0 ? size : std::clamp<std::size_t>(static_cast<std::size_t>(end), b, size);
    values_[P::Text] = avm1::Value(String::concat(String::concat(current.substr(0, b), text), current.substr(e, size - e)));
}

void TextNode::showVariable(const avm1::Value& value) {
    if (value.isObject()) return;
    values_[avm1::TextFieldProperty::Text] = avm1::Value(avm1::primitiveToString(value, s_.swfVersion));
}

}  // namespace kinolux::avm1run
