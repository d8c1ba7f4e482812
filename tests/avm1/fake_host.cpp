#include "tests/avm1/fake_host.h"

#include <algorithm>

#include "tests/avm1/assembler.h"

namespace kinolux::avm1::test {

FakeClip::FakeClip(String name, FakeClip* parent, int depth, int swfVersion)
    : name_(std::move(name)), parent_(parent), depth_(depth), swfVersion_(swfVersion) {
    props_[static_cast<int>(DisplayProperty::XScale)] = 100;
    props_[static_cast<int>(DisplayProperty::YScale)] = 100;
    props_[static_cast<int>(DisplayProperty::Alpha)] = 100;
    props_[static_cast<int>(DisplayProperty::Visible)] = 1;
}

FakeClip* FakeClip::rootClip() const {
    const FakeClip* p = this;
    while (p->parent_) p = p->parent_;
    return const_cast<FakeClip*>(p);
}

DisplayObjectBinding* FakeClip::root() const { return rootClip(); }

std::optional<int> FakeClip::levelNumber() const {
    if (parent_) return std::nullopt;
    return 0;
}

FakeClip& FakeClip::addChild(const std::u16string& name, int depth) {
    auto child = std::make_unique<FakeClip>(String(name), this, depth, swfVersion_);
    FakeClip& ref = *child;
    children_[depth] = std::move(child);
    return ref;
}

double FakeClip::property(DisplayProperty p) const {
    switch (p) {
    case DisplayProperty::CurrentFrame: return currentFrame_;
    case DisplayProperty::TotalFrames:
    case DisplayProperty::FramesLoaded: return totalFrames_;
    default: return props_[static_cast<int>(p)];
    }
}

void FakeClip::setProperty(DisplayProperty p, double value) { props_[static_cast<int>(p)] = value; }

bool FakeClip::swapDepths(int depth) {
    if (!parent_) return false;
    auto& siblings = parent_->children_;
    auto self = siblings.find(depth_);
    std::unique_ptr<FakeClip> mine = std::move(self->second);
    siblings.erase(self);
    auto other = siblings.find(depth);
    if (other != siblings.end()) {
        std::unique_ptr<FakeClip> theirs = std::move(other->second);
        siblings.erase(other);
        theirs->depth_ = depth_;
        siblings[depth_] = std::move(theirs);
    }
    depth_ = depth;
    siblings[depth] = std::move(mine);
    return true;
}

void FakeClip::removeFromScript() {
    log().push_back("remove " + name_.toUtf8());
    auto& siblings = parent_->children_;
    auto it = siblings.find(depth_);
    std::unique_ptr<FakeClip> doomed = std::move(it->second);
    siblings.erase(it);
    doomed->detachFromScript();
}

DisplayObjectBinding* FakeClip::childByName(const String& name, bool caseSensitive) const {
    for (const auto& [depth, child] : children_) {
        if (child->name_.equals(name.view(), caseSensitive)) return child.get();
    }
    return nullptr;
}

DisplayObjectBinding* FakeClip::childAtDepth(int depth) const {
    auto it = children_.find(depth);
    return it == children_.end() ? nullptr : it->second.get();
}

std::vector<DisplayObjectBinding*> FakeClip::children() const {
    std::vector<DisplayObjectBinding*> out;
    for (const auto& [depth, child] : children_) out.push_back(child.get());
    return out;
}

int FakeClip::nextHighestDepth() const { return children_.empty() ? 0 : children_.rbegin()->first + 1; }

void FakeClip::gotoFrame(int frame, bool play) {
    currentFrame_ = std::clamp(frame, 1, totalFrames_);
    playing_ = play;
    log().push_back("goto " + name_.toUtf8() + " " + std::to_string(currentFrame_) + (play ? " play" : " stop"));
}

std::optional<int> FakeClip::frameOfLabel(const String& label) const {
    auto it = labels_.find(std::u16string(label.view()));
    if (it == labels_.end()) return std::nullopt;
    return it->second;
}

std::vector<ActionBlock> FakeClip::frameActions(int frame) const {
    auto it = frameScripts_.find(frame);
    return it == frameScripts_.end() ? std::vector<ActionBlock>() : it->second;
}

MovieClipBinding* FakeClip::createEmptyMovieClip(const String& name, int depth) {
    children_.erase(depth);
    FakeClip& child = addChild(std::u16string(name.view()), depth);
    if (Vm* vm = rootClip()->vm) vm->constructDisplayObject(child);
    return &child;
}

DisplayObjectBinding* FakeClip::attachMovie(const String& linkage, const String& name, int depth,
                                            const ObjectRef& initObject) {
    for (const auto& e : rootClip()->exports_) {
        if (linkage == e) {
            children_.erase(depth);
            FakeClip& child = addChild(std::u16string(name.view()), depth);
            child.exportName_ = linkage;
            if (Vm* vm = rootClip()->vm) vm->constructDisplayObject(child, initObject);
            return &child;
        }
    }
    return nullptr;
}

DisplayObjectBinding* FakeClip::duplicate(const String& name, int depth, const ObjectRef& initObject) {
    if (!parent_) return nullptr;
    // The copy may take this clip's own depth, which ends this clip.
    FakeClip* parent = parent_;
    String exportName = exportName_;
    Vm* vm = rootClip()->vm;
    parent->children_.erase(depth);
    FakeClip& copy = parent->addChild(std::u16string(name.view()), depth);
    copy.exportName_ = exportName;
    if (vm) vm->constructDisplayObject(copy, initObject);
    return &copy;
}

void FakeClip::lineTo(double x, double y) {
    log().push_back("lineTo " + std::to_string(static_cast<int>(x)) + "," + std::to_string(static_cast<int>(y)));
}

FakeHost::FakeHost(int swfVersion) : root(String(), nullptr, 0, swfVersion) {}

void FakeHost::getUrl(const String& url, const String& window, HttpMethod,
                      const std::vector<std::pair<String, String>>&) {
    requests.push_back("getUrl " + url.toUtf8() + " " + window.toUtf8());
}

void FakeHost::fsCommand(const String& command, const String& args) {
    requests.push_back("fscommand " + command.toUtf8() + " " + args.toUtf8());
}

std::string FakeHost::output() const {
    std::string out;
    for (const std::string& line : traces) {
        if (!out.empty()) out.push_back('\n');
        out += line;
    }
    return out;
}

void FakeHost::loadClip(DisplayObjectBinding* target, std::optional<int> level, const String& url,
                        const ObjectRef& loader) {
    requests.push_back("loadClip " + url.toUtf8() + (level ? " level " + std::to_string(*level) : target ? " clip" : " nowhere") +
                       (loader ? " with loader" : ""));
}

}  // namespace kinolux::avm1::test
