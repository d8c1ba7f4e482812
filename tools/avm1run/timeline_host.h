// A minimal player for running a movie's scripts without drawing it: the
// root timeline and its sprites, placed and removed as the frames say, with
// frame scripts, init scripts and clip events run in the Flash player's
// order. It stands in for the player core in the script tests and the
// avm1run tool; geometry, sound, text layout and input are not modelled.
#pragma once

#include <cstdint>
#include <functional>
#include <list>
#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "flash/avm1/vm.h"
#include "flash/swf/types.h"

namespace kinolux::avm1run {

using avm1::ActionBlock;
using avm1::DisplayObjectBinding;
using avm1::String;

class ClipNode;
class TimelineHost;
struct Library;

// A symbol of the movie's dictionary, as far as scripts need it.
struct Symbol {
    enum class Kind { Sprite, Button, EditText, Other };
    Kind kind = Kind::Other;
    std::vector<std::vector<const swf::Tag*>> frames;  // control tags of each frame
    std::vector<std::pair<std::u16string, int>> labels;
    const swf::DefineEditText* editText = nullptr;
    String exportName;
    // A sprite without its End tag counts as still loading: its playhead
    // waits on the last frame instead of looping.
    bool complete = true;
    // The movie the symbol comes from (another one for imported symbols).
    const Library* library = nullptr;
};

// The dictionary of one movie file: the main movie or one it imports from.
struct Library {
    std::shared_ptr<swf::Movie> movie;
    int swfVersion = 0;
    std::map<std::uint16_t, Symbol> symbols;

    const Symbol* symbol(std::uint16_t id) const;
    // Bytecode of this movie, kept alive with it.
    ActionBlock block(swf::Bytes bytes) const { return ActionBlock::inside(movie, bytes, swfVersion); }
};

// Reads a file a movie refers to (ImportAssets), by its URL as written in
// the movie; nullopt when there is none.
using FileLoader = std::function<std::optional<std::vector<std::uint8_t>>(const std::string& url)>;

// A loader for files in one folder (the movie's): relative URLs without
// "..", any query string dropped; others find nothing.
FileLoader filesIn(const std::string& folder);

class TimelineHost : public avm1::Host {
public:
    // Throws swf::Error when the file is not a movie.
    explicit TimelineHost(std::vector<std::uint8_t> file, avm1::ScriptLimits limits = {},
                          FileLoader loader = nullptr);
    ~TimelineHost() override;

    // Runs one frame of the movie: clip events, timelines, scripts, timers.
    // Nothing more runs once the movie asked to quit (fscommand "quit").
    void runFrame();
    bool quit() const { return quit_; }
    const std::vector<std::string>& traces() const { return traces_; }
    const std::vector<std::string>& errors() const { return errors_; }
    int swfVersion() const { return main_.swfVersion; }

    // ---- Host ----
    void trace(std::string_view line) override;
    void scriptError(std::string_view message) override { errors_.emplace_back(message); }
    double timerMilliseconds() override { return clockMs_; }
    DisplayObjectBinding* level(int n) override;
    double wallClockMilliseconds() override { return 0; }
    double localTimeOffsetMinutes(double) override { return 0; }
    void fsCommand(const String& command, const String& args) override;
    double stageWidth() override;
    double stageHeight() override;

    // ---- for the display objects ----
    avm1::Vm& vm() { return *vm_; }
    const Library& mainLibrary() const { return main_; }
    const Symbol* exported(const String& name) const;
    String nextInstanceName();
    void addToExecutionList(ClipNode* clip) { executionList_.push_front(clip); }
    void removeFromExecutionList(ClipNode* clip) { executionList_.remove(clip); }
    void noteAlive(DisplayObjectBinding* object) { alive_[object] = ++serial_; }
    void noteDead(DisplayObjectBinding* object) { alive_.erase(object); }
    bool isAlive(DisplayObjectBinding* object) const { return alive_.count(object) != 0; }
    // Queued script work, run after the frame's display list is built.
    void queueActions(DisplayObjectBinding* clip, const ActionBlock& code);
    void queueInitActions(DisplayObjectBinding* clip, const ActionBlock& code);
    // Clip event code that runs ahead of the frame scripts (Construct).
    void queueClipActions(DisplayObjectBinding* clip, const ActionBlock& code);
    void queueMethod(DisplayObjectBinding* object, std::u16string name);
    void queueClipEvent(DisplayObjectBinding* object, std::uint32_t event);
    void runQueue();

private:
    // Work names its target by address and serial number: an address may
    // be reused by a newer object before the queue runs.
    struct Work {
        DisplayObjectBinding* target;
        std::uint64_t serial;
        ActionBlock code;
        std::u16string method;
        bool clipEvent = false;
    };
    Work work(DisplayObjectBinding* target, ActionBlock code, std::u16string method) const;

    void buildLibrary(Library& library, int importDepth);
    const Library* importLibrary(const std::string& url, int depth);
    void updateTextVariables();

    FileLoader loader_;
    Library main_;
    std::map<std::string, std::unique_ptr<Library>> imports_;
    Symbol rootSymbol_;
    std::vector<std::string> traces_;
    std::vector<std::string> errors_;
    std::unique_ptr<avm1::Vm> vm_;
    std::unique_ptr<ClipNode> root_;
    std::list<ClipNode*> executionList_;
    std::map<DisplayObjectBinding*, std::uint64_t> alive_;
    std::uint64_t serial_ = 0;
    std::vector<Work> initQueue_;
    std::vector<Work> queue_;
    std::set<const std::uint8_t*> initDone_;
    double clockMs_ = 0;
    int framesRun_ = 0;
    int instanceCounter_ = 0;
    bool runningQueue_ = false;
    bool quit_ = false;
};

}  // namespace kinolux::avm1run
