// URLLoader on the player: a text file beside the movie arrives with
// complete; a missing file, one outside the movie's folder or on the
// network ends in ioError at once, never in a wait.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

#include "tests/avm2/document_movie.h"
#include "tests/avm2/playback.h"

using namespace avm2test;

namespace {

// The document class loads `url` and traces what comes: the data on
// complete, the event's type on ioError.
std::vector<std::uint8_t> loadingMovie(const std::string& url) {
    AbcBuilder abc;
    const std::uint32_t net = abc.packageNamespace("flash.net");
    const std::uint32_t loader = abc.qname(net, "URLLoader"), request = abc.qname(net, "URLRequest");
    const std::uint32_t listen = abc.name("addEventListener");
    Code constructor;
    constructor.op(op::FindPropStrict, loader).op(op::ConstructProp, loader, 0).op(op::SetLocal1);
    for (const char* event : {"complete", "ioError"}) {
        constructor.op(op::GetLocal1).op(op::PushString, abc.string(event));
        constructor.op(op::GetLocal0).op(op::GetProperty, abc.name(event)).op(op::CallPropVoid, listen, 2);
    }
    constructor.op(op::GetLocal1).op(op::FindPropStrict, request).op(op::PushString, abc.string(url));
    constructor.op(op::ConstructProp, request, 1).op(op::CallPropVoid, abc.name("load"), 1);
    Code complete, failed;
    traced(complete, abc, [&](Code& c) {
        c.op(op::GetLocal1).op(op::GetProperty, abc.name("target")).op(op::GetProperty, abc.name("data"));
    });
    traced(failed, abc, [&](Code& c) { c.op(op::GetLocal1).op(op::GetProperty, abc.name("type")); });
    const auto doAbc = documentAbc(abc, constructor, {{"complete", complete, 1}, {"ioError", failed, 1}});
    return documentMovie(doAbc);
}

}  // namespace

TEST(As3Net, ATextFileBesideTheMovieArrivesAndAnythingElseFails) {
    QTemporaryDir folder;
    ASSERT_TRUE(QDir(folder.path()).mkdir("movie"));
    for (const char* name : {"movie/data.txt", "outside.txt"}) {
        QFile file(folder.filePath(name));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write("\xEF\xBB\xBFhello");
    }
    const std::string path = folder.filePath("movie/test.swf").toStdString();
    EXPECT_EQ(play(loadingMovie("data.txt"), 2, path).traces, std::vector<std::string>{"hello"});
    for (const std::string url : {"missing.txt", "../outside.txt", "http://example.invalid/data.txt", ""})
        EXPECT_EQ(play(loadingMovie(url), 2, path).traces, std::vector<std::string>{"ioError"}) << url;
}
