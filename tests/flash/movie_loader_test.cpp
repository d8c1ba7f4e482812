// Files a movie loads from its own folder: when loaded movies and their
// loaders' events arrive, what a broken, empty or far-away file gives, and
// the text LoadVars hands to the script's own decode.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "flash/core/player.h"
#include "tests/avm1/assembler.h"
#include "tests/flash/test_movies.h"

using namespace testmovies;

namespace {

std::vector<std::uint8_t> scriptMovie(const std::string& script, int frames = 1, int version = 10) {
    const std::vector<std::uint8_t> code = kinolux::avm1::test::assemble(script);  // the tag points into it
    std::vector<swf::Tag> tags = {swf::DoAction{code}};
    for (int i = 0; i < frames; ++i) tags.push_back(swf::ShowFrame{});
    swf::Header h = header(40, 40, frames);
    h.version = std::uint8_t(version);
    return movie(tags, h);
}

void writeFile(const QTemporaryDir& dir, const QString& name, const std::vector<std::uint8_t>& bytes) {
    QFile f(dir.filePath(name));
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
}

struct Run {
    std::unique_ptr<flash::Player> player;
    std::vector<std::string> traces;
};

// Plays main.swf of the folder for `frames` frames.
std::unique_ptr<Run> play(const QTemporaryDir& dir, int frames) {
    auto run = std::make_unique<Run>();
    flash::PlayerOptions options;
    Run* self = run.get();
    options.trace = [self](std::string_view line) { self->traces.emplace_back(line); };
    std::string error;
    run->player = flash::Player::fromFile(dir.filePath("main.swf").toStdString(), std::move(options), &error);
    EXPECT_TRUE(run->player) << error;
    for (int i = 1; run->player && i < frames; ++i) run->player->tick();
    return run;
}

// A listener `l` that traces the loader's events, and a loader `m` that
// tells it.
const char* kListener = R"(
function onLoadStart(t) {
  push "start "
  push "t"
  getVariable
  add2
  trace
}
function onLoadProgress(t, loaded, total) {
  push "progress "
  push "loaded"
  getVariable
  add2
  push "/"
  add2
  push "total"
  getVariable
  add2
  trace
}
function onLoadComplete(t) {
  push "complete"
  trace
}
function onLoadInit(t) {
  push "init "
  push "t"
  getVariable
  add2
  trace
}
function onLoadError(t, e) {
  push "error "
  push "e"
  getVariable
  add2
  trace
}
push "l", 0, "Object"
newObject
setVariable
push "l"
getVariable
push "onLoadStart", "onLoadStart"
getVariable
setMember
push "l"
getVariable
push "onLoadProgress", "onLoadProgress"
getVariable
setMember
push "l"
getVariable
push "onLoadComplete", "onLoadComplete"
getVariable
setMember
push "l"
getVariable
push "onLoadInit", "onLoadInit"
getVariable
setMember
push "l"
getVariable
push "onLoadError", "onLoadError"
getVariable
setMember
push "m", 0, "MovieClipLoader"
newObject
setVariable
push "l"
getVariable
push 1, "m"
getVariable
push "addListener"
callMethod
pop
)";

// m.loadClip(url, target) with target pushed by `pushTarget`.
std::string loadClip(const std::string& url, const std::string& pushTarget) {
    return pushTarget + "\npush \"" + url + "\", 2, \"m\"\ngetVariable\npush \"loadClip\"\ncallMethod\npop\n";
}

std::string createClip(const std::string& name, int depth) {
    return "push " + std::to_string(depth) + ", \"" + name +
           "\", 2, \"_root\"\ngetVariable\npush \"createEmptyMovieClip\"\ncallMethod\npop\n";
}

TEST(MovieLoading, ALoadedMovieStartsWithTheNextFrameAndItsLoaderHearsOfItInOrder) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto child = scriptMovie(
        "push \"child frame 1\"\ntrace\npush 0, \"this\"\ngetVariable\npush \"getSWFVersion\"\ncallMethod\ntrace", 1,
        7);
    writeFile(dir, "child.swf", child);
    writeFile(dir, "notes.txt", {'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'v', 'i', 'e'});
    writeFile(dir, "main.swf",
              scriptMovie(std::string(kListener) + createClip("c", 1) + createClip("e", 2) +
                              loadClip("child.swf", "push \"c\"") + loadClip("../outside.swf", "push 5") +
                              loadClip("notes.txt", "push \"e\"") + "push \"asked\"\ntrace\n",
                          3));
    auto run = play(dir, 3);
    ASSERT_TRUE(run->player);
    const std::string size = std::to_string(child.size());
    const std::vector<std::string> expected = {
        "asked",
        "start _level0.c",
        "progress " + size + "/" + size,
        "complete",
        "error URLNotFound",
        "start _level0.e",
        "progress 0/0",
        "complete",
        "child frame 1",
        "7",
        "init _level0.e",
        "init _level0.c",
    };
    EXPECT_EQ(run->traces, expected) << "events come between frames, onLoadInit after the first frame, latest first";
    bool refused = false;
    for (const auto& message : run->player->scriptErrors()) refused |= message.find("outside.swf") != std::string::npos;
    EXPECT_TRUE(refused) << "a path out of the movie's folder is refused with a message";
}

TEST(MovieLoading, LoadVarsHandsTheTextToTheScriptsDecodeAndAnEmptyFileFails) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    writeFile(dir, "vars.txt", {'a', '=', '1'});
    writeFile(dir, "empty.txt", {});
    writeFile(dir, "main.swf",
              scriptMovie(R"(
function myDecode(s) {
  push "decode "
  push "s"
  getVariable
  add2
  trace
}
function myLoad(ok) {
  push "onLoad "
  push "ok"
  getVariable
  add2
  trace
}
push "v", 0, "LoadVars"
newObject
setVariable
push "v"
getVariable
push "decode", "myDecode"
getVariable
setMember
push "v"
getVariable
push "onLoad", "myLoad"
getVariable
setMember
push "vars.txt", 1, "v"
getVariable
push "load"
callMethod
pop
push "w", 0, "LoadVars"
newObject
setVariable
push "w"
getVariable
push "onLoad", "myLoad"
getVariable
setMember
push "empty.txt", 1, "w"
getVariable
push "load"
callMethod
pop
)",
                          2));
    auto run = play(dir, 2);
    ASSERT_TRUE(run->player);
    const std::vector<std::string> expected = {"decode a=1", "onLoad true", "onLoad false"};
    EXPECT_EQ(run->traces, expected);
    EXPECT_TRUE(run->player->scriptErrors().empty());
}

}  // namespace
