// A Loader on the player loading movies: an ActionScript 3 movie beside the
// movie is constructed inside the Loader and its listeners hear the file
// arrive in the player's order, the same bytes load again through
// loadBytes; files it cannot have end in ioError; a movie loading itself
// stops at the player's cap; an ActionScript 1/2 movie shows as an
// AVM1Movie playing its own actions. A ByteArray class linked to an
// embedded file holds its bytes.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "tests/avm1/assembler.h"
#include "tests/avm2/document_movie.h"
#include "tests/avm2/playback.h"

using namespace avm2test;

namespace {

// local = new Loader(), added to this, whose LoaderInfo tells `handler` of
// each of `events`.
void newLoader(Code& code, AbcBuilder& abc, std::uint8_t local, std::initializer_list<const char*> events,
               const char* handler = "heard") {
    const std::uint32_t loader = abc.name("flash.display", "Loader");
    code.op(op::FindPropStrict, loader).op(op::ConstructProp, loader, 0).op(op::SetLocal, local);
    callOnThis(code, abc, "addChild", 1, [&](Code& c) { c.op(op::GetLocal, local); });
    for (const char* event : events)
        code.op(op::GetLocal, local)
            .op(op::GetProperty, abc.name("contentLoaderInfo"))
            .op(op::PushString, abc.string(event))
            .op(op::GetLocal0)
            .op(op::GetProperty, abc.name(handler))
            .op(op::CallPropVoid, abc.name("addEventListener"), 2);
}

// local.load(new URLRequest(file))
void load(Code& code, AbcBuilder& abc, std::uint8_t local, const std::string& file) {
    const std::uint32_t request = abc.name("flash.net", "URLRequest");
    code.op(op::GetLocal, local)
        .op(op::FindPropStrict, request)
        .op(op::PushString, abc.string(file))
        .op(op::ConstructProp, request, 1)
        .op(op::CallPropVoid, abc.name("load"), 1);
}

// heard(e): trace(e.type + " " + e.target.<property>)
DocMethod heard(AbcBuilder& abc, const char* property = "content") {
    return tracingEvent(abc, "heard", {"target", property});
}

// failed(e): trace(e.type + " " + e.text)
DocMethod failed(AbcBuilder& abc) { return tracingEvent(abc, "failed", {"text"}); }

// A movie whose document class Child says it is made and where it stands.
std::vector<std::uint8_t> childMovie() {
    AbcBuilder abc;
    Code init;
    traced(init, abc, [&](Code& c) {
        c.op(op::PushString, abc.string("child made, parent "))
            .op(op::GetLocal0)
            .op(op::GetProperty, abc.name("parent"))
            .op(op::Add);
    });
    return documentMovie(documentAbc(abc, init, {}, "Child"), {}, 100, 100, 1, "Child");
}

const std::initializer_list<const char*> kLoadEvents{"open", "progress", "init", "httpStatus", "complete"};

}  // namespace

// Each test's movie stands in a folder of its own, beside the files it loads.
class As3MovieLoader : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(folder_.isValid()); }

    bool save(const char* name, const std::vector<std::uint8_t>& bytes) const {
        QFile file(folder_.filePath(name));
        return file.open(QIODevice::WriteOnly) &&
               file.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size())) == qint64(bytes.size());
    }

    // `movie` played as the folder's movie.swf.
    Playback playInFolder(const std::vector<std::uint8_t>& movie, int ticks) const {
        return play(movie, ticks, folder_.filePath("movie.swf").toStdString());
    }

private:
    QTemporaryDir folder_;
};

TEST_F(As3MovieLoader, AMovieBesideTheMovieIsConstructedInsideTheLoaderAndLoadsAgainFromItsBytes) {
    ASSERT_TRUE(save("child.swf", childMovie()));
    AbcBuilder abc;
    Code init;
    newLoader(init, abc, 1, kLoadEvents);
    init.op(op::GetLocal1)
        .op(op::GetProperty, abc.name("contentLoaderInfo"))
        .op(op::PushString, abc.string("complete"))
        .op(op::GetLocal0)
        .op(op::GetProperty, abc.name("again"))
        .op(op::CallPropVoid, abc.name("addEventListener"), 2);
    load(init, abc, 1, "child.swf");
    traced(init, abc, [&](Code& c) { c.op(op::PushString, abc.string("asked")); });
    // again(e): a second loader takes the bytes the first one read.
    Code again;
    newLoader(again, abc, 2, kLoadEvents);
    again.op(op::GetLocal2)
        .op(op::GetLocal1)
        .op(op::GetProperty, abc.name("target"))
        .op(op::GetProperty, abc.name("bytes"))
        .op(op::CallPropVoid, abc.name("loadBytes"), 1);
    Playback run = playInFolder(documentMovie(documentAbc(abc, init, {heard(abc), {"again", again, 1}})), 1);
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{
                              "asked", "open null", "progress null", "progress null", "child made, parent null",
                              "init [object Child]", "httpStatus [object Child]", "complete [object Child]",
                              // Bytes a script holds come without open and httpStatus.
                              "progress null", "progress null", "child made, parent null", "init [object Child]",
                              "complete [object Child]"}));
}

TEST_F(As3MovieLoader, TheLoadedMoviesLoaderInfoDescribesIt) {
    ASSERT_TRUE(save("child.swf", childMovie()));
    AbcBuilder abc;
    Code init;
    newLoader(init, abc, 1, {"complete"}, "describe");
    load(init, abc, 1, "child.swf");
    // describe(e): what the content's own loaderInfo says.
    Code describe;
    for (const char* property : {"contentType", "swfVersion", "frameRate", "width", "actionScriptVersion",
                                 "applicationDomain"})
        traced(describe, abc, [&](Code& c) {
            c.op(op::GetLocal1)
                .op(op::GetProperty, abc.name("target"))
                .op(op::GetProperty, abc.name("content"))
                .op(op::GetProperty, abc.name("loaderInfo"))
                .op(op::GetProperty, abc.name(property));
        });
    traced(describe, abc, [&](Code& c) {
        c.op(op::GetLocal1)
            .op(op::GetProperty, abc.name("target"))
            .op(op::GetProperty, abc.name("url"))
            .op(op::PushString, abc.string("/child.swf"))
            .op(op::CallProperty, abc.name("indexOf"), 1);
    });
    Playback run = playInFolder(documentMovie(documentAbc(abc, init, {{"describe", describe, 1}})), 1);
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    ASSERT_EQ(run.traces.size(), 8u);
    EXPECT_EQ(std::vector<std::string>(run.traces.begin() + 1, run.traces.end() - 1),
              (std::vector<std::string>{"application/x-shockwave-flash", std::to_string(testmovies::header().version),
                                        std::to_string(int(testmovies::header().frameRate / 256.0)), "100", "3",
                                        "[object ApplicationDomain]"}));
    EXPECT_NE(run.traces.back(), "-1") << "the url names the file";
}

// What the loader cannot have ends in ioError with the player's text, the
// movie going on: a missing file, one outside the folder, a broken movie
// and a file of no known kind.
TEST_F(As3MovieLoader, FilesItCannotHaveEndInIoError) {
    ASSERT_TRUE(save("broken.swf", {'F', 'W', 'S', 10, 200, 0, 0, 0, 1, 2, 3}));
    ASSERT_TRUE(save("notes.txt", {'h', 'e', 'l', 'l', 'o'}));
    ASSERT_TRUE(save("child.swf", childMovie()));
    const std::vector<std::pair<std::string, std::string>> cases{
        {"missing.swf", "Error #2035: URL Not Found"},
        {"../child.swf", "Error #2035: URL Not Found"},
        {"broken.swf", "Error #2124: Loaded file is an unknown type"},
        {"notes.txt", "Error #2124: Loaded file is an unknown type"}};
    for (const auto& [file, text] : cases) {
        AbcBuilder abc;
        Code init;
        newLoader(init, abc, 1, {"ioError"}, "failed");
        newLoader(init, abc, 2, {"complete"}, "heard");
        load(init, abc, 1, file);
        load(init, abc, 2, "child.swf");
        Playback run = playInFolder(documentMovie(documentAbc(abc, init, {failed(abc), heard(abc)})), 1);
        ASSERT_EQ(run.traces.size(), 3u) << file;
        EXPECT_EQ(run.traces[0].rfind("ioError " + text, 0), 0u) << run.traces[0];
        EXPECT_EQ(run.traces[2], "complete [object Child]") << file;
    }
}

// A movie that loads itself inside itself is held to the number of movies
// the player keeps, with a message, and plays on.
TEST_F(As3MovieLoader, AMovieLoadingItselfStopsAtTheCap) {
    AbcBuilder abc;
    Code init;
    newLoader(init, abc, 1, {});
    load(init, abc, 1, "movie.swf");
    const auto file = documentMovie(documentAbc(abc, init));
    ASSERT_TRUE(save("movie.swf", file));
    Playback run = playInFolder(file, 20);
    ASSERT_FALSE(run.errors.empty());
    EXPECT_NE(run.errors.back().find("more movies than the player keeps"), std::string::npos) << run.errors.back();
}

// An ActionScript 1/2 movie shows as an AVM1Movie whose own actions run,
// with its own main timeline as _root.
TEST_F(As3MovieLoader, AnActionScript1MovieShowsAsAnAvm1MovieRunningItsActions) {
    const auto actions = kinolux::avm1::test::assemble(
        "push \"old movie here\"\ntrace\npush \"_root\"\ngetVariable\npush \"this\"\ngetVariable\nequals2\ntrace\nstop\n");
    ASSERT_TRUE(save("old.swf", testmovies::movie({swf::DoAction{swf::Bytes(actions)}, swf::ShowFrame{}})));
    AbcBuilder abc;
    Code init;
    newLoader(init, abc, 1, {"complete"});
    load(init, abc, 1, "old.swf");
    Playback run = playInFolder(documentMovie(documentAbc(abc, init, {heard(abc)})), 2);
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"complete [object AVM1Movie]", "old movie here", "true"}));
}

// A ByteArray class linked to an embedded file holds the file's bytes.
TEST(As3EmbeddedFile, AByteArrayClassLinkedToBinaryDataHoldsItsBytes) {
    AbcBuilder blobAbc;
    const std::uint32_t blob = blobAbc.name("Blob"), byteArray = blobAbc.name("flash.utils", "ByteArray");
    const auto blobTag = classAbc(
        blobAbc, blob, byteArray,
        Code().op(op::GetLocal0).op(op::PushScope).op(op::GetLocal0).op(op::ConstructSuper, 0).op(op::ReturnVoid));

    AbcBuilder abc;
    Code init;
    const std::uint32_t blobName = abc.name("Blob");
    init.op(op::FindPropStrict, blobName).op(op::ConstructProp, blobName, 0).op(op::SetLocal1);
    traced(init, abc, [&](Code& c) { c.op(op::GetLocal1).op(op::GetProperty, abc.name("length")); });
    traced(init, abc, [&](Code& c) { c.op(op::GetLocal1).op(op::GetProperty, abc.name("1")); });
    const std::vector<std::uint8_t> file{'a', 'b', 'c'};
    Playback run = play(documentMovie(documentAbc(abc, init), {swf::DefineBinaryData{5, swf::Bytes(file)},
                                                               swf::DoAbc{swf::Bytes(blobTag)},
                                                               swf::SymbolClass{{{5, "Blob"}}}}));
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"3", "98"}));
}

// The main movie's LoaderInfo says init and then complete once the first
// frame has run, and only then.
TEST_F(As3MovieLoader, TheMainMoviesLoaderInfoSaysItIsInAfterTheFirstFrame) {
    AbcBuilder abc;
    Code init;
    for (const char* event : {"init", "complete"})
        init.op(op::GetLocal0)
            .op(op::GetProperty, abc.name("loaderInfo"))
            .op(op::PushString, abc.string(event))
            .op(op::GetLocal0)
            .op(op::GetProperty, abc.name("heard"))
            .op(op::CallPropVoid, abc.name("addEventListener"), 2);
    traced(init, abc, [&](Code& c) { c.op(op::PushString, abc.string("constructed")); });
    Playback run = play(documentMovie(documentAbc(abc, init, {heard(abc)})), 3);
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"constructed", "init [object Doc]", "complete [object Doc]"}));
}
