// A player stand-in for the machine's tests: a tree of clips that keeps
// properties in plain fields and logs what scripts ask of it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "flash/avm1/vm.h"
#include "tests/avm1/assembler.h"

namespace kinolux::avm1::test {

class FakeClip : public MovieClipBinding {
public:
    FakeClip(String name, FakeClip* parent, int depth, int swfVersion);

    FakeClip& addChild(const std::u16string& name, int depth);
    std::vector<std::string>& log() { return rootClip()->logRef(); }
    // What the clip's static texts read (TextSnapshot).
    String staticCharacters;

    // ---- DisplayObjectBinding ----
    String name() const override { return name_; }
    void setName(const String& name) override { name_ = name; }
    DisplayObjectBinding* parent() const override { return parent_; }
    int depth() const override { return depth_; }
    int swfVersion() const override { return swfVersion_; }
    DisplayObjectBinding* root() const override;
    std::optional<int> levelNumber() const override;
    String exportName() const override { return exportName_; }
    double property(DisplayProperty p) const override;
    void setProperty(DisplayProperty p, double value) override;
    bool swapDepths(int depth) override;
    void removeFromScript() override;
    ColorTransform colorTransform() const override { return color_; }
    void setColorTransform(const ColorTransform& ct) override { color_ = ct; }

    // ---- MovieClipBinding ----
    String staticText() const override { return staticCharacters; }
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
    MovieClipBinding* createEmptyMovieClip(const String& name, int depth) override;
    DisplayObjectBinding* attachMovie(const String& linkage, const String& name, int depth,
                                      const ObjectRef& initObject) override;
    DisplayObjectBinding* duplicate(const String& name, int depth, const ObjectRef& initObject) override;
    // The machine that constructs script-made clips, as a player does.
    Vm* vm = nullptr;
    DisplayObjectBinding* createTextField(const String&, int, double, double, double, double) override { return nullptr; }
    void lineTo(double x, double y) override;

    int currentFrame_ = 1;
    int totalFrames_ = 1;
    bool playing_ = true;
    std::map<std::u16string, int> labels_;
    std::map<int, std::vector<ActionBlock>> frameScripts_;
    String exportName_;
    std::vector<std::u16string> exports_;  // linkage names attachMovie accepts

private:
    FakeClip* rootClip() const;
    std::vector<std::string>& logRef() { return log_; }

    String name_;
    FakeClip* parent_;
    int depth_;
    int swfVersion_;
    double props_[kDisplayPropertyCount] = {};
    ColorTransform color_;
    std::map<int, std::unique_ptr<FakeClip>> children_;
    std::vector<std::string> log_;
};

class FakeHost : public Host {
public:
    explicit FakeHost(int swfVersion = 8);

    void trace(std::string_view line) override { traces.emplace_back(line); }
    void scriptError(std::string_view message) override { errors.emplace_back(message); }
    double timerMilliseconds() override { return now; }
    double wallClockMilliseconds() override { return wallClock; }
    double localTimeOffsetMinutes(double) override { return localOffset; }
    DisplayObjectBinding* level(int n) override { return n == 0 ? &root : nullptr; }
    void getUrl(const String& url, const String& window, HttpMethod, const std::vector<std::pair<String, String>>&) override;
    void fsCommand(const String& command, const String& args) override;
    void loadClip(DisplayObjectBinding* target, std::optional<int> level, const String& url, const ObjectRef& loader) override;

    // All trace lines joined by '\n'.
    std::string output() const;

    FakeClip root;
    std::vector<std::string> traces;
    std::vector<std::string> errors;
    std::vector<std::string> requests;
    double now = 0;
    double wallClock = 0;
    double localOffset = 0;
};

// A machine on a fake host that runs assembled source on the root clip.
// H is FakeHost or a test's own host with more answers.
template <class H = FakeHost>
struct MachineOn {
    explicit MachineOn(int swfVersion = 8, ScriptLimits limits = {})
        : swfVersion(swfVersion), host(swfVersion), vm(host, swfVersion, limits) {
        vm.seedRandom(1);
        host.root.vm = &vm;
        vm.constructDisplayObject(host.root);
    }
    // Assembles and runs `source` as a frame script of the root; returns
    // the trace output.
    std::string run(const std::string& source) {
        host.traces.clear();
        vm.runFrameActions(host.root, ActionBlock::copyOf(assemble(source), swfVersion));
        return host.output();
    }
    // A clip placed on the root and given its script object, as the
    // timeline places one.
    FakeClip& place(const std::u16string& name, int depth = 1) {
        FakeClip& clip = host.root.addChild(name, depth);
        vm.constructDisplayObject(clip);
        return clip;
    }

    int swfVersion;
    H host;
    Vm vm;
};
using Machine = MachineOn<>;

}  // namespace kinolux::avm1::test
