#include "flash/core/player.h"

#include <atomic>

#include "flash/core/button.h"
#include "flash/core/edit_text.h"
#include "flash/core/geometry.h"
#include "flash/core/morph.h"
#include "flash/core/movie_file.h"
#include "flash/core/movie_loader.h"
#include "flash/core/render_services.h"
#include "flash/core/shape_geometry.h"
#include "flash/script/local_time.h"
#include "flash/swf/error.h"
#include "flash/swf/limits.h"
#include "flash/swf/read.h"

namespace flash {

using kinolux::script::String;

namespace {

std::atomic<std::uint64_t> nextSerial{1};

// Lines kept while nobody listens; a movie tracing without end is cut off.
constexpr std::size_t kMaxPendingTraces = 10000;
// A movie failing the same way every frame must not grow without end.
constexpr std::size_t kMaxScriptErrors = 1000;
constexpr std::size_t kMorphOutlineCache = 256;

bool isGraphic(const DisplayObject& o) {
    switch (o.kind()) {
    case ObjectKind::Shape:
    case ObjectKind::MorphShape:
    case ObjectKind::Text:
    case ObjectKind::Bitmap:
    case ObjectKind::Video: return true;
    default: return false;
    }
}

}  // namespace

std::unique_ptr<Player> Player::fromFile(const std::string& path, PlayerOptions options, std::string* error) {
    const std::optional<QByteArray> data = readMovieFile(path, error);
    if (!data) return nullptr;
    options.path = path;
    try {
        return std::make_unique<Player>(swf::Bytes(reinterpret_cast<const std::uint8_t*>(data->constData()), std::size_t(data->size())),
                                        std::move(options));
    } catch (const swf::Error& e) {
        if (error) *error = path + ": " + e.what();
    } catch (const std::bad_alloc&) {
        if (error) *error = path + ": not enough memory to load the movie";
    }
    return nullptr;
}

Player::Player(swf::Bytes file, PlayerOptions options) : Player(swf::readMovie(file), std::move(options)) {}

Player::Player(swf::Movie movie, PlayerOptions options) : options_(std::move(options)), serial_(nextSerial++) {
    traceHandler_ = std::move(options_.trace);
    loader_ = std::make_unique<MovieLoader>(*this, options_.path);
    library_ = std::make_shared<const Library>(std::make_shared<const swf::Movie>(std::move(movie)),
                                               [this](const std::string& url) { return importLibrary(url); });
    start();
}

Player::~Player() {
    // The display list goes before the machine its bindings refer to.
    for (auto& [n, level] : levels_) leaveStage(*level);
    levels_.clear();
    as3_.reset();  // its script objects hold display objects too
    timelineScripts_.reset();
}

void Player::start() {
    for (const auto& tag : movie().tags) {
        if (const auto* bg = tag.get<swf::SetBackgroundColor>()) {
            background_ = bg->color;
            background_.a = 255;
            break;
        }
    }
    scriptsEnabled_ = library_->runsActionScript1();
    timelineScripts_ = makeTimelineScripts(*this, options_.scriptLimits, options_.randomSeed);
    if (!library_->runsActionScript1()) {
        as3_ = makeAs3Scripts(*this, options_.scriptLimits);
        as3_->load(movie());
    }
    auto root = std::make_shared<MovieClip>(nullptr, &library_->timeline(), *library_, *this);
    root->level = 0;
    root->url = options_.path;
    levels_[0] = root;
    putOnStage(*root, nullptr);
    runQueue();
    if (as3_) {
        as3_->constructRoot(*root);
        as3_->runFrameScripts();
    }
    endFrameClock();
    if (as3_) as3_->runTimers();
    timelineScripts_->runTimers();
    updateTextVariables();
    loader_->deliver();
}

RenderServices* Player::renderServices() {
    if (!renderServices_ && options_.renderServices) renderServices_ = options_.renderServices();
    return renderServices_.get();
}

QRectF Player::stageRect() const { return toQRectF(movie().header.stageSize); }

QSize Player::stageSize() const {
    QRectF r = stageRect();
    auto side = [](double twips) {
        return int(std::clamp(std::lround(twips / 20.0), 1L, long(swf::limits::kMaxStagePixelsSide)));
    };
    return QSize(side(r.width()), side(r.height()));
}

void Player::tick() {
    ++framesRun_;
    buttonStatesThisFrame_ = 0;
    updateDrag();
    runFrameStep();
    // What the frame asked for arrives between frames, as from a network.
    loader_->deliver();
}

// Without the owner's clock a frame lasts one frame period: the timers
// that fall due before the next frame begins run at the end of this one.
void Player::endFrameClock() {
    if (clockFromOwner_) return;
    const double rate = frameRate();
    clockMs_ = (framesRun_ + 1) * (rate > 0 ? 1000.0 / rate : 1000.0 / 12);
}

void Player::setMovieTime(double milliseconds) {
    clockFromOwner_ = true;
    if (milliseconds <= clockMs_) return;
    clockMs_ = milliseconds;
    timelineScripts_->runTimers();
    updateTextVariables();
}

void Player::gotoFrame(int frame) {
    root().gotoFrame(frame + 1, root().isPlaying());
    runQueue();
}

// One frame: every clip in the frame order takes its step (newest first,
// as the player keeps them), then the scripts that queued up run, then
// the timers that fell due.
void Player::runFrameStep() {
    std::vector<std::shared_ptr<MovieClip>> order;
    order.reserve(executionList_.size());
    for (auto it = executionList_.begin(); it != executionList_.end();) {
        auto clip = it->lock();
        if (!clip || !clip->onStage()) {
            it = executionList_.erase(it);
            continue;
        }
        order.push_back(std::move(clip));
        ++it;
    }
    for (const auto& clip : order)
        if (clip->onStage()) clip->runFrame();
    if (as3_) as3_->enterFrame();
    runQueue();
    loader_->frameDone();
    finishRemovals();
    if (as3_) as3_->runFrameScripts();
    endFrameClock();
    if (as3_) as3_->runTimers();
    timelineScripts_->runTimers();
    updateTextVariables();
}

bool Player::putOnStage(DisplayObject& object, const InitObject* init) {
    object.setOnStage(true);
    auto* clip = object.kind() == ObjectKind::MovieClip ? static_cast<MovieClip*>(&object) : nullptr;
    if (clip) executionList_.push_front(std::static_pointer_cast<MovieClip>(clip->shared_from_this()));
    // What a script put in a clip before the clip joined the stage joins
    // with it.
    if (clip && as3_) {
        std::vector<std::shared_ptr<DisplayObject>> held;
        for (const auto& [depth, child] : clip->children()) held.push_back(child);
        for (const auto& child : held)
            if (!child->onStage() && child->parent() == clip) putOnStage(*child, nullptr);
    }
    if (isGraphic(object)) {
        if (as3_) as3_->placed(object);
        return true;
    }
    if (object.kind() == ObjectKind::Button) static_cast<Button&>(object).setState(swf::ButtonState::Up);
    if (!runsActions(object)) {
        // A clip a script built (or took off and puts back) has its frame.
        if (clip && !clip->initialized()) clip->runFrame();
        // Script objects of the children that frame placed come before their parent's.
        if (as3_) as3_->placed(object);
        return object.onStage();
    }
    runClipActions(object, swf::ClipEvent::Initialize);
    // The first frame's children are there for the init object and the
    // constructor (an init object's _width scales what they show); the
    // timeline's objects among them are constructed after this one.
    std::vector<PendingConstruct> inside;
    if (clip) {
        auto* outer = std::exchange(pendingConstructs_, &inside);
        clip->runFrame();
        pendingConstructs_ = outer;
    }
    if (!object.onStage()) return false;
    if (pendingConstructs_ && object.placedBy && !init) {
        pendingConstructs_->push_back({object.weak_from_this(), std::move(inside)});
        return true;
    }
    construct(object, init, inside);
    return object.onStage();
}

void Player::construct(DisplayObject& object, const InitObject* init, std::vector<PendingConstruct>& inside) {
    runClipActions(object, swf::ClipEvent::Construct);
    timelineScripts_->construct(object, init);
    if (object.kind() == ObjectKind::EditText) bindTextVariable(static_cast<EditText&>(object));
    for (PendingConstruct& child : inside) {
        auto held = child.object.lock();
        if (held && held->onStage()) construct(*held, nullptr, child.inside);
    }
}

void Player::runClipActions(DisplayObject& object, std::uint32_t event) {
    if (object.kind() != ObjectKind::MovieClip || !object.clipActions) return;
    for (const swf::ClipAction& action : *object.clipActions)
        if (action.events & event) timelineScripts_->runClipActions(object, object.actionsLibrary->code(action.actions));
}

void Player::restartClip(MovieClip& clip) {
    timelineScripts_->detach(clip);
    if (scriptsEnabled_) timelineScripts_->construct(clip, nullptr);
}

void Player::addLevel(const std::shared_ptr<MovieClip>& level) {
    levels_[*level->level] = level;
    level->setOnStage(true);
    executionList_.push_front(level);
    if (scriptsEnabled_) timelineScripts_->construct(*level, nullptr);
}

bool Player::runsActions(const DisplayObject& object) const {
    if (scriptsEnabled_) return true;
    const Library* library = object.kind() == ObjectKind::MovieClip ? &static_cast<const MovieClip&>(object).library()
                             : object.character()                    ? object.character()->owner
                                                                     : nullptr;
    return library && library->runsActionScript1();
}

void Player::takeOffStage(DisplayObject& object) {
    if (!object.onStage()) return;
    runUnloadHandlers(object);
    // The focus goes with a holder leaving, and its listeners hear of it.
    if (object.onStage() && runsActions(object)) loseFocusWithin(object);
    leaveStage(object);
}

bool Player::delaysRemoval(const DisplayObject& object) const {
    if (!runsActions(object) || object.kind() != ObjectKind::MovieClip || !object.onStage()) return false;
    if (object.handlesEvent(swf::ClipEvent::Unload)) return true;
    for (const auto& [depth, child] : static_cast<const MovieClip&>(object).children())
        if (delaysRemoval(*child)) return true;
    return false;
}

void Player::queueRemoval(DisplayObject& object) {
    queueUnloadHandlers(object);
    pendingRemovals_.push_back(object.weak_from_this());
}

void Player::queueUnloadHandlers(DisplayObject& object) {
    object.removalPending = true;
    if (object.kind() != ObjectKind::MovieClip) return;
    for (const auto& [depth, child] : static_cast<MovieClip&>(object).children()) queueUnloadHandlers(*child);
    queueClipEvent(object, swf::ClipEvent::Unload);
}

void Player::finishRemovals() {
    auto due = std::move(pendingRemovals_);
    pendingRemovals_.clear();
    for (const auto& weak : due) {
        auto object = weak.lock();
        if (!object || !object->onStage()) continue;
        if (MovieClip* parent = object->parentClip()) parent->dropChild(*object);
    }
}

// What a clip holds unloads before the clip itself.
void Player::runUnloadHandlers(DisplayObject& object) {
    if (object.kind() != ObjectKind::MovieClip || !runsActions(object)) return;
    std::vector<std::shared_ptr<DisplayObject>> children;
    for (const auto& [depth, child] : static_cast<MovieClip&>(object).children()) children.push_back(child);
    for (const auto& child : children)
        if (child->onStage()) runUnloadHandlers(*child);
    runClipActions(object, swf::ClipEvent::Unload);
    timelineScripts_->callMethod(object, u"onUnload");
}

void Player::leaveStage(DisplayObject& object) {
    object.setOnStage(false);
    timelineScripts_->detach(object);
    if (object.kind() == ObjectKind::MovieClip) {
        for (const auto& [depth, child] : static_cast<MovieClip&>(object).children()) leaveStage(*child);
    } else if (object.kind() == ObjectKind::Button) {
        for (const auto& [depth, child] : static_cast<Button&>(object).children()) leaveStage(*child);
    }
    input_.forget(object);
}

String Player::nextInstanceName() { return String::fromAscii("instance" + std::to_string(++instanceCounter_)); }

void Player::queueFrameActions(DisplayObject& clip, const ActionCode& code) {
    if (runsActions(clip)) queue_.push_back({clip.weak_from_this(), code, {}, Work::Frame});
}

void Player::runInitActions(DisplayObject& clip, const ActionCode& code) {
    // Each DoInitAction runs once, however often its frame is reached, and
    // at once: the classes it registers must be in place for the objects
    // the same frame places after it.
    if (!runsActions(clip) || std::find(initDone_.begin(), initDone_.end(), code.bytes.data()) != initDone_.end()) return;
    initDone_.push_back(code.bytes.data());
    timelineScripts_->runInitActions(clip, code);
}

void Player::queueMethod(DisplayObject& object, std::u16string name, bool unload) {
    if (runsActions(object)) queue_.push_back({object.weak_from_this(), {}, std::move(name), Work::Method, unload});
}

void Player::queueClipEvent(DisplayObject& object, std::uint32_t event) {
    if (!runsActions(object) || object.kind() != ObjectKind::MovieClip) return;
    if (object.clipActions) {
        for (const swf::ClipAction& action : *object.clipActions)
            if (action.events & event)
                queue_.push_back({object.weak_from_this(), object.actionsLibrary->code(action.actions), {}, Work::Frame,
                                  event == swf::ClipEvent::Unload});
    }
    if (event == swf::ClipEvent::Load) queueMethod(object, u"onLoad");
    else if (event == swf::ClipEvent::Unload) queueMethod(object, u"onUnload", true);
    else if (event == swf::ClipEvent::EnterFrame) queueMethod(object, u"onEnterFrame");
}

void Player::runQueue() {
    if (runningQueue_ || queue_.empty()) return;
    runningQueue_ = true;
    timelineScripts_->runAsOne([this] {
        while (!queue_.empty()) {
            Work next = std::move(queue_.front());
            queue_.pop_front();
            auto target = next.target.lock();
            if (!target || !target->onStage() || (target->removalPending && !next.unload)) continue;
            switch (next.kind) {
            case Work::Method: timelineScripts_->callMethod(*target, next.method); break;
            case Work::Frame: timelineScripts_->runFrameActions(*target, next.code); break;
            case Work::Transition: transition(*target, *next.transition); break;
            }
        }
    });
    runningQueue_ = false;
}

void Player::setTraceHandler(TraceHandler handler) {
    traceHandler_ = std::move(handler);
    if (!traceHandler_) return;
    auto pending = std::move(pendingTraces_);
    pendingTraces_.clear();
    for (const auto& line : pending) traceHandler_(line);
}

void Player::trace(std::string_view line) {
    if (traceHandler_) traceHandler_(line);
    else if (pendingTraces_.size() < kMaxPendingTraces) pendingTraces_.emplace_back(line);
}

void Player::scriptError(std::string_view message) {
    if (scriptErrors_.size() < kMaxScriptErrors) scriptErrors_.emplace_back(message);
}

double Player::localTimeOffsetMinutes(double utcMilliseconds) const {
    return options_.timeZoneMinutes ? *options_.timeZoneMinutes : kinolux::script::systemTimeOffsetMinutes(utcMilliseconds);
}

void Player::fsCommand(const String& command, const String&) {
    if (command.equalsIgnoreCase(u"quit")) quit_ = true;
}

void Player::bindTextVariable(EditText& field) {
    if (!scriptsEnabled_ || field.variable.empty() || !field.parent()) return;
    const VariableText current = timelineScripts_->textVariable(field);
    // An empty field leaves a variable without a value as it is.
    if (current.undefined && !field.content.empty()) {
        storeTextVariable(field);
    } else if (!current.object) {
        field.variableValue = current.text;
        field.setHtmlText(field.variableValue);
    }
    auto weak = std::static_pointer_cast<EditText>(field.shared_from_this());
    for (const auto& known : boundFields_)
        if (known.lock().get() == &field) return;
    boundFields_.push_back(weak);
}

// Fields show their variables' values as they stand after each frame's
// scripts.
void Player::updateTextVariables() {
    if (!scriptsEnabled_) return;
    std::erase_if(boundFields_, [](const std::weak_ptr<EditText>& f) { return f.expired(); });
    auto fields = boundFields_;
    for (const auto& weak : fields)
        if (auto field = weak.lock()) refreshTextVariable(*field);
}

void Player::storeTextVariable(EditText& field) {
    if (!scriptsEnabled_ || field.variable.empty() || !field.parent()) return;
    timelineScripts_->setTextVariable(field, field.htmlText());
    // What the variable took, which is not the text when it is read-only.
    field.variableValue = timelineScripts_->textVariable(field).text;
}

void Player::refreshTextVariable(EditText& field) {
    if (!scriptsEnabled_ || !field.onStage() || field.variable.empty() || !field.parent()) return;
    const VariableText v = timelineScripts_->textVariable(field);
    if (v.undefined || v.object) return;
    // Only a change of the variable changes the text: a variable that
    // refused the field's text (read-only) leaves the field as it is, and
    // the formats scripts gave the text stay.
    const QString& text = v.text;
    if (text == field.variableValue) return;
    field.variableValue = text;
    field.setHtmlText(text);
}

const Library* Player::importLibrary(const std::string& url) { return loader_->importLibrary(url); }

std::optional<std::vector<std::uint8_t>> Player::readBesideMovie(const std::string& url) const {
    return loader_->read(url);
}

std::shared_ptr<std::size_t> Player::objectToken() {
    if (*liveObjects_ >= kMaxObjects) return nullptr;
    ++*liveObjects_;
    return liveObjects_;
}

const QPainterPath& Player::shapeOutline(const swf::DefineShape& shape) {
    auto it = shapeOutlines_.find(&shape);
    if (it == shapeOutlines_.end())
        it = shapeOutlines_.emplace(&shape, buildShapeGeometry(shape.styles, shape.records, shape.usesFillWindingRule).outline()).first;
    return it->second;
}

const QPainterPath& Player::morphOutline(const swf::DefineMorphShape& morph, std::uint16_t ratio) {
    auto key = std::pair{&morph, ratio};
    auto it = morphOutlines_.find(key);
    if (it != morphOutlines_.end()) return it->second;
    if (morphOutlines_.size() >= kMorphOutlineCache) morphOutlines_.clear();
    MorphFrame frame = interpolateMorph(morph, ratio);
    return morphOutlines_.emplace(key, buildShapeGeometry(frame.styles, frame.records, false).outline()).first->second;
}

DisplayObject* Player::findByPath(const std::string& path) const {
    DisplayObject* current = levels_.at(0).get();
    std::size_t start = 0;
    while (current && start <= path.size()) {
        std::size_t dot = path.find('.', start);
        std::string part = path.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
        if (!part.empty()) {
            auto* clip = current->kind() == ObjectKind::MovieClip ? static_cast<MovieClip*>(current) : nullptr;
            current = clip ? clip->childByName(String::fromUtf8(part), false) : nullptr;
        }
        if (dot == std::string::npos) break;
        start = dot + 1;
    }
    return current;
}

}  // namespace flash
