// The script face of a movie clip: timeline control, the children scripts
// make, and the drawing API.
#include <algorithm>
#include <cmath>

#include "flash/avm1/player/object_binding.h"
#include "flash/avm1/player/text_values.h"
#include "flash/core/drawing_styles.h"
#include "flash/core/edit_text.h"
#include "flash/core/movie_clip.h"
#include "flash/core/player.h"
#include "flash/core/static_text.h"

namespace flash {
namespace {

using kinolux::avm1::ActionBlock;
using kinolux::avm1::DisplayObjectBinding;
using kinolux::avm1::DisplayProperty;
using kinolux::avm1::MovieClipBinding;
using kinolux::avm1::ObjectRef;
using kinolux::avm1::String;

DisplayObjectBinding* bindingOf(DisplayObject* o) { return o ? &avm1Binding(*o) : nullptr; }

// Places a child a script made at a script's depth, constructed with the
// script's init object.
DisplayObjectBinding* adoptWith(MovieClip& parent, std::shared_ptr<DisplayObject> child, int depth,
                                const ObjectRef& initObject) {
    const InitObject init{initObject};
    return bindingOf(parent.adopt(std::move(child), depth + kTimelineDepthOffset, initObject ? &init : nullptr));
}

class ClipBinding : public ObjectBinding<MovieClipBinding> {
public:
    explicit ClipBinding(MovieClip& clip) : ObjectBinding(clip), clip_(clip) {}

    std::optional<int> levelNumber() const override { return clip_.level; }

    double property(DisplayProperty p) const override {
        switch (p) {
        case DisplayProperty::CurrentFrame: return clip_.currentFrame() + 1;
        case DisplayProperty::TotalFrames:
        case DisplayProperty::FramesLoaded: return clip_.totalFrames();
        default: return ObjectBinding::property(p);
        }
    }

    // ---- children ----
    DisplayObjectBinding* childByName(const String& name, bool caseSensitive) const override {
        return bindingOf(clip_.childByName(name, caseSensitive));
    }
    DisplayObjectBinding* childAtDepth(int depth) const override {
        return bindingOf(clip_.childAt(depth + kTimelineDepthOffset));
    }
    std::vector<DisplayObjectBinding*> children() const override {
        std::vector<DisplayObjectBinding*> out;
        for (const auto& [depth, child] : clip_.children()) out.push_back(&avm1Binding(*child));
        return out;
    }
    int nextHighestDepth() const override {
        int next = 0;
        for (const auto& [depth, child] : clip_.children()) next = std::max(next, depth - kTimelineDepthOffset + 1);
        return next;
    }

    // ---- timeline ----
    void play() override { clip_.play(); }
    void stop() override { clip_.stop(); }
    bool isPlaying() const override { return clip_.isPlaying(); }
    void nextFrame() override { clip_.gotoFrame(clip_.currentFrame() + 2, false); }
    void prevFrame() override { clip_.gotoFrame(clip_.currentFrame(), false); }
    void gotoFrame(int frame, bool play) override { clip_.gotoFrame(frame, play); }
    std::optional<int> frameOfLabel(const String& label) const override { return clip_.frameOfLabel(label); }
    std::optional<int> sceneStart(int offset) const override {
        const auto& scenes = clip_.timeline().scenes;
        const int frame = clip_.currentFrame();
        std::ptrdiff_t current = 0;
        for (std::size_t i = 0; i < scenes.size(); ++i)
            if (scenes[i].firstFrame <= frame) current = std::ptrdiff_t(i);
        std::ptrdiff_t wanted = current + offset;
        if (wanted < 0 || wanted >= std::ptrdiff_t(scenes.size())) return std::nullopt;
        return scenes[std::size_t(wanted)].firstFrame + 1;
    }
    std::vector<ActionBlock> frameActions(int frame) const override {
        std::vector<ActionBlock> out;
        for (const ActionCode& code : clip_.frameActions(frame)) out.push_back(actionBlock(code));
        return out;
    }
    String staticText() const override { return toScriptString(staticTextOf(clip_)); }

    // ---- children scripts make ----
    MovieClipBinding* createEmptyMovieClip(const String& name, int depth) override {
        auto child = std::make_shared<MovieClip>(nullptr, &emptyTimeline(), clip_.library(), clip_.player());
        child->name = name;
        DisplayObject* made = clip_.adopt(std::move(child), depth + kTimelineDepthOffset, nullptr);
        return made ? static_cast<MovieClipBinding*>(&avm1Binding(*made)) : nullptr;
    }

    DisplayObjectBinding* attachMovie(const String& linkage, const String& name, int depth,
                                      const ObjectRef& initObject) override {
        const Character* c = clip_.library().exported(linkage);
        if (!c) c = clip_.player().library().exported(linkage);
        if (!c || c->kind != CharacterKind::Sprite) return nullptr;
        auto child = createDisplayObject(c, clip_.player());
        if (!child) return nullptr;
        child->name = name;
        return adoptWith(clip_, std::move(child), depth, initObject);
    }

    DisplayObjectBinding* duplicate(const String& name, int depth, const ObjectRef& initObject) override {
        MovieClip* parent = clip_.parentClip();
        if (!parent) return nullptr;
        auto copy = clip_.character() ? createDisplayObject(clip_.character(), clip_.player())
                                      : std::make_shared<MovieClip>(nullptr, &clip_.timeline(), clip_.library(), clip_.player());
        if (!copy) return nullptr;
        auto& twin = static_cast<MovieClip&>(*copy);
        twin.name = name;
        twin.setMatrix(clip_.matrix());
        twin.colorTransform = clip_.colorTransform;
        twin.visible = clip_.visible;
        twin.blendMode = clip_.blendMode;
        twin.filters = clip_.filters;
        twin.clipActions = clip_.clipActions;
        twin.actionsLibrary = clip_.actionsLibrary;
        twin.drawing() = clip_.drawing();
        return adoptWith(*parent, std::move(copy), depth, initObject);
    }

    DisplayObjectBinding* createTextField(const String& name, int depth, double x, double y, double width,
                                          double height) override {
        auto field = std::make_shared<EditText>(clip_.player(), QRectF(x, y, width, height));
        field->name = name;
        return bindingOf(clip_.adopt(std::move(field), depth + kTimelineDepthOffset, nullptr));
    }

    // ---- others ----
    void setMask(DisplayObjectBinding* mask) override { clip_.setMaskObject(displayObjectOf(mask)); }
    std::uint32_t bytesLoaded() const override { return bytesTotal(); }
    // What came over the wire: the file's own size when it was compressed.
    std::uint32_t bytesTotal() const override {
        const swf::Movie& movie = clip_.library().movie();
        if (movie.header.compression != swf::Compression::None && movie.fileSize)
            return std::uint32_t(std::min<std::size_t>(movie.fileSize, UINT32_MAX));
        return movie.header.uncompressedLength;
    }
    bool lockRoot() const override { return clip_.lockRoot; }
    void setLockRoot(bool on) override { clip_.lockRoot = on; }
    bool enabled() const override { return clip_.enabled; }
    void setEnabled(bool on) override { clip_.enabled = on; }
    bool useHandCursor() const override { return clip_.useHandCursor; }
    void setUseHandCursor(bool on) override { clip_.useHandCursor = on; }

    // ---- the drawing API (pixels in, twips kept) ----
    void clearDrawing() override { clip_.drawing().clear(); }
    void lineStyle(const kinolux::avm1::LineStyle& style) override { clip_.drawing().lineStyle(drawingLine(style)); }
    void beginFill(std::uint32_t rgb, double alphaPercent) override {
        clip_.drawing().beginFill(solidFill(rgb, alphaPercent));
    }
    void lineGradientStyle(const kinolux::avm1::GradientFill& fill) override {
        clip_.drawing().lineFill(gradientFill(fill));
    }
    void beginGradientFill(const kinolux::avm1::GradientFill& fill) override {
        clip_.drawing().beginFill(DrawingFill{gradientFill(fill), nullptr, {}, true, false, {}});
    }
    void moveTo(double x, double y) override { clip_.drawing().moveTo(twips(x, y)); }
    void lineTo(double x, double y) override { clip_.drawing().lineTo(twips(x, y)); }
    void curveTo(double cx, double cy, double x, double y) override {
        clip_.drawing().curveTo(twips(cx, cy), twips(x, y));
    }
    void endFill() override { clip_.drawing().endFill(); }

private:
    static QPointF twips(double x, double y) { return QPointF(x * 20.0, y * 20.0); }

    MovieClip& clip_;
};

}  // namespace

std::unique_ptr<ScriptBinding> makeClipBinding(MovieClip& clip) { return std::make_unique<ClipBinding>(clip); }

}  // namespace flash
