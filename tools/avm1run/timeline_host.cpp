#include "tools/avm1run/timeline_host.h"

#include <filesystem>
#include <fstream>
#include <iterator>

#include "flash/swf/error.h"
#include "flash/swf/read.h"
#include "tools/avm1run/display_nodes.h"

namespace kinolux::avm1run {

namespace {

bool isControlTag(const swf::Tag& tag) {
    return tag.get<swf::PlaceObject>() || tag.get<swf::RemoveObject>() || tag.get<swf::DoAction>() ||
           tag.get<swf::DoInitAction>() || tag.get<swf::FrameLabel>();
}

// Splits a tag list into frames at ShowFrame, collecting labels.
void readFrames(const std::vector<swf::Tag>& tags, int swfVersion, std::size_t declaredFrames, Symbol& out) {
    std::vector<const swf::Tag*> frame;
    for (const swf::Tag& tag : tags) {
        if (tag.get<swf::ShowFrame>()) {
            out.frames.push_back(std::move(frame));
            frame.clear();
        } else if (isControlTag(tag)) {
            if (const auto* label = tag.get<swf::FrameLabel>()) {
                out.labels.emplace_back(String::fromSwf(label->name, swfVersion).view(),
                                        static_cast<int>(out.frames.size()) + 1);
            }
            frame.push_back(&tag);
        }
    }
    if (!frame.empty() && out.frames.size() < declaredFrames) out.frames.push_back(std::move(frame));
}

}  // namespace

FileLoader filesIn(const std::string& folder) {
    return [folder](const std::string& url) -> std::optional<std::vector<std::uint8_t>> {
        std::string name = url.substr(0, url.find_first_of("?#"));
        if (name.empty() || name.front() == '/' || name.find("..") != std::string::npos || name.find(':') != std::string::npos)
            return std::nullopt;
        std::ifstream in(std::filesystem::path(folder) / name, std::ios::binary);
        if (!in) return std::nullopt;
        return std::vector<std::uint8_t>((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    };
}

TimelineHost::TimelineHost(std::vector<std::uint8_t> file, avm1::ScriptLimits limits, FileLoader loader)
    : loader_(std::move(loader)) {
    main_.movie = std::make_shared<swf::Movie>(swf::readMovie(file));
    main_.swfVersion = main_.movie->header.version;
    buildLibrary(main_, 0);
    readFrames(main_.movie->tags, main_.swfVersion, main_.movie->header.frameCount, rootSymbol_);
    rootSymbol_.library = &main_;
    vm_ = std::make_unique<avm1::Vm>(*this, swfVersion(), limits);
    vm_->seedRandom(0);
    for (const swf::Tag& tag : main_.movie->tags) {
        if (const auto* sl = tag.get<swf::ScriptLimits>()) vm_->setLimitsFromMovie(sl->maxRecursionDepth, sl->timeoutSeconds);
    }
    NodeState state;
    state.host = this;
    state.swfVersion = swfVersion();
    state.library = &main_;
    for (int p : {2, 3, 6}) state.props[p] = 100;  // _xscale, _yscale, _alpha
    state.props[static_cast<int>(avm1::DisplayProperty::Visible)] = 1;
    root_ = std::make_unique<ClipNode>(std::move(state), &rootSymbol_);
    vm_->constructDisplayObject(*root_);
}

TimelineHost::~TimelineHost() {
    // The display list goes before the machine it refers to.
    root_.reset();
}

// Imports nest at most this deep (a movie importing from itself would
// otherwise never end).
constexpr int kMaxImportDepth = 4;

void TimelineHost::buildLibrary(Library& library, int importDepth) {
    const int version = library.swfVersion;
    for (const swf::Tag& tag : library.movie->tags) {
        if (const auto* sprite = tag.get<swf::DefineSprite>()) {
            Symbol& s = library.symbols[sprite->id];
            s.kind = Symbol::Kind::Sprite;
            s.library = &library;
            readFrames(sprite->tags, version, sprite->frameCount, s);
            s.complete = !sprite->tags.empty() && sprite->tags.back().get<swf::End>();
        } else if (const auto* button = tag.get<swf::DefineButton>()) {
            library.symbols[button->id].kind = Symbol::Kind::Button;
            library.symbols[button->id].library = &library;
        } else if (const auto* text = tag.get<swf::DefineEditText>()) {
            Symbol& s = library.symbols[text->id];
            s.kind = Symbol::Kind::EditText;
            s.editText = text;
            s.library = &library;
        } else if (const auto* exports = tag.get<swf::ExportAssets>()) {
            for (const auto& [id, name] : exports->assets) {
                library.symbols[id].exportName = String::fromSwf(name, version);
                library.symbols[id].library = &library;
            }
        } else if (const auto* imports = tag.get<swf::ImportAssets>()) {
            const Library* from = importLibrary(imports->url, importDepth + 1);
            if (!from) continue;
            for (const auto& [id, name] : imports->assets) {
                String wanted = String::fromSwf(name, version);
                for (const auto& [otherId, symbol] : from->symbols) {
                    if (!symbol.exportName.empty() && symbol.exportName.equalsIgnoreCase(wanted.view())) {
                        library.symbols[id] = symbol;
                        break;
                    }
                }
            }
        }
    }
}

const Library* TimelineHost::importLibrary(const std::string& url, int depth) {
    if (!loader_ || depth > kMaxImportDepth) return nullptr;
    auto known = imports_.find(url);
    if (known != imports_.end()) return known->second.get();
    imports_[url] = nullptr;  // a movie importing from itself finds nothing
    std::optional<std::vector<std::uint8_t>> bytes = loader_(url);
    if (!bytes) return nullptr;
    auto library = std::make_unique<Library>();
    try {
        library->movie = std::make_shared<swf::Movie>(swf::readMovie(*bytes));
    } catch (const swf::Error& e) {
        errors_.push_back("cannot import from " + url + ": " + e.what());
        return nullptr;
    }
    library->swfVersion = library->movie->header.version;
    buildLibrary(*library, depth);
    return (imports_[url] = std::move(library)).get();
}

const Symbol* Library::symbol(std::uint16_t id) const {
    auto it = symbols.find(id);
    return it == symbols.end() ? nullptr : &it->second;
}

const Symbol* TimelineHost::exported(const String& name) const {
    for (const auto& [id, s] : main_.symbols) {
        if (!s.exportName.empty() && s.exportName.equalsIgnoreCase(name.view())) return &s;
    }
    return nullptr;
}

String TimelineHost::nextInstanceName() {
    return String::fromAscii("instance" + std::to_string(++instanceCounter_));
}

void TimelineHost::trace(std::string_view line) { traces_.emplace_back(line); }

DisplayObjectBinding* TimelineHost::level(int n) { return n == 0 ? root_.get() : nullptr; }

double TimelineHost::stageWidth() {
    const swf::Rect& r = main_.movie->header.stageSize;
    return (r.xMax - r.xMin) / 20.0;
}

double TimelineHost::stageHeight() {
    const swf::Rect& r = main_.movie->header.stageSize;
    return (r.yMax - r.yMin) / 20.0;
}

TimelineHost::Work TimelineHost::work(DisplayObjectBinding* target, ActionBlock code, std::u16string method) const {
    auto it = alive_.find(target);
    return {target, it == alive_.end() ? 0 : it->second, std::move(code), std::move(method)};
}

void TimelineHost::queueActions(DisplayObjectBinding* clip, const ActionBlock& code) {
    queue_.push_back(work(clip, code, {}));
}

void TimelineHost::queueInitActions(DisplayObjectBinding* clip, const ActionBlock& code) {
    // Each DoInitAction runs once, however often its frame is reached.
    if (!initDone_.insert(code.data.get()).second) return;
    initQueue_.push_back(work(clip, code, {}));
}

void TimelineHost::queueClipActions(DisplayObjectBinding* clip, const ActionBlock& code) {
    Work w = work(clip, code, {});
    w.clipEvent = true;
    initQueue_.push_back(std::move(w));
}

void TimelineHost::queueMethod(DisplayObjectBinding* object, std::u16string name) {
    queue_.push_back(work(object, {}, std::move(name)));
}

void TimelineHost::queueClipEvent(DisplayObjectBinding* object, std::uint32_t event) {
    if (object->kind() != avm1::DisplayKind::MovieClip) return;
    for (const swf::ClipAction& action : static_cast<ClipNode*>(object)->state().clipActions) {
        if (action.events & event)
            queue_.push_back(work(object, static_cast<ClipNode*>(object)->state().library->block(action.actions), {}));
    }
    if (event == swf::ClipEvent::Load) queueMethod(object, u"onLoad");
    else if (event == swf::ClipEvent::EnterFrame) queueMethod(object, u"onEnterFrame");
}

void TimelineHost::runQueue() {
    if (runningQueue_) return;
    runningQueue_ = true;
    for (;;) {
        Work next;
        bool init = !initQueue_.empty();
        if (init) {
            next = std::move(initQueue_.front());
            initQueue_.erase(initQueue_.begin());
        } else if (!queue_.empty()) {
            next = std::move(queue_.front());
            queue_.erase(queue_.begin());
        } else {
            break;
        }
        auto alive = alive_.find(next.target);
        if (alive == alive_.end() || alive->second != next.serial) continue;
        if (!next.method.empty()) vm_->callMethod(*next.target, next.method);
        else if (next.clipEvent) vm_->runClipActions(*next.target, next.code);
        else if (init) vm_->runInitActions(*next.target, next.code);
        else vm_->runFrameActions(*next.target, next.code);
    }
    runningQueue_ = false;
}

void TimelineHost::fsCommand(const String& command, const String&) {
    if (command.equalsIgnoreCase(u"quit")) quit_ = true;
}

void TimelineHost::runFrame() {
    if (quit_) return;
    const double rate = main_.movie->header.frameRate;
    double msPerFrame = rate ? 1000.0 * 256 / rate : 1000.0 / 12;
    clockMs_ = framesRun_ * msPerFrame;
    ++framesRun_;
    std::vector<ClipNode*> order(executionList_.begin(), executionList_.end());
    for (ClipNode* clip : order) {
        if (isAlive(clip)) clip->runFrame();
    }
    runQueue();
    vm_->runTimers();
    vm_->endFrame();
    updateTextVariables();
}

void TimelineHost::updateTextVariables() {
    std::vector<DisplayObjectBinding*> objects;
    for (const auto& entry : alive_) objects.push_back(entry.first);
    for (DisplayObjectBinding* object : objects) {
        if (!isAlive(object) || object->kind() != avm1::DisplayKind::TextField) continue;
        auto* text = static_cast<TextNode*>(object);
        if (text->variable().empty() || !text->parent()) continue;
        avm1::Value v = vm_->readVariable(*text->parent(), text->variable());
        if (!v.isUndefined()) text->showVariable(v);
    }
}

}  // namespace kinolux::avm1run
