// The swfrender command line, as outside checks run it.
#include <gtest/gtest.h>

#include <QDir>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/flash/test_movies.h"

using namespace testmovies;

namespace {

struct Result {
    int exitCode = -1;
    QString out, err;
};

Result swfrender(const QStringList& args) {
    QProcess p;
    p.start(QString(KINOLUX_BIN_DIR) + "/swfrender", args);
    p.waitForFinished(60000);
    return {p.exitStatus() == QProcess::NormalExit ? p.exitCode() : -1, p.readAllStandardOutput(), p.readAllStandardError()};
}

QString writeMovie(const QTemporaryDir& dir, const std::vector<std::uint8_t>& bytes, const QString& name = "m.swf") {
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return f.fileName();
}

// Frame 1 is red, frame 2 blue, frame 3 white.
std::vector<std::uint8_t> threeFrames() {
    return movie({rect(1, {255, 0, 0, 255}, 0, 0, 100, 100), rect(2, {0, 0, 255, 255}, 0, 0, 100, 100), place(1, 1),
                  swf::ShowFrame{}, remove(1), place(1, 2), swf::ShowFrame{}, remove(1), swf::ShowFrame{}},
                 header(40, 30, 3));
}

}  // namespace

TEST(Swfrender, WritesThePictureAfterNFrames) {
    QTemporaryDir dir;
    QString movie = writeMovie(dir, threeFrames());
    QString out = dir.filePath("out.png");
    for (auto [n, color] : {std::pair{1, qRgb(255, 0, 0)}, {2, qRgb(0, 0, 255)}, {3, qRgb(255, 255, 255)}}) {
        Result r = swfrender({movie, "-n", QString::number(n), "-o", out});
        ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
        QImage img(out);
        ASSERT_EQ(img.size(), QSize(40, 30));
        EXPECT_EQ(img.pixel(20, 15), color) << "after " << n << " frames";
    }
    Result sized = swfrender({movie, "-n", "1", "-o", out, "--size", "80x30", "--scale-mode", "0"});
    ASSERT_EQ(sized.exitCode, 0);
    QImage img(out);
    EXPECT_EQ(img.size(), QSize(80, 30));
    EXPECT_EQ(img.pixel(40, 15), qRgb(255, 0, 0));
    EXPECT_EQ(img.pixel(2, 15), qRgb(255, 255, 255));
}

TEST(Swfrender, BadInputGetsAMessageAndExitStatusOne) {
    QTemporaryDir dir;
    QString out = dir.filePath("out.png");
    QString junk = writeMovie(dir, {'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'v', 'i', 'e'}, "junk.swf");
    for (const QStringList& args : {QStringList{dir.filePath("missing.swf"), "-n", "1", "-o", out},
                                    QStringList{junk, "-n", "1", "-o", out}, QStringList{junk, "-n", "0", "-o", out},
                                    QStringList{junk, "-o", out, "--size", "0x9"}, QStringList{junk, "--bogus"},
                                    QStringList{junk, "-n", "1"}}) {
        Result r = swfrender(args);
        EXPECT_EQ(r.exitCode, 1) << args.join(' ').toStdString();
        EXPECT_TRUE(r.err.startsWith("swfrender: ") || r.err.contains("\nswfrender: ")) << r.err.toStdString();
        EXPECT_FALSE(QFile::exists(out)) << "nothing written on failure";
    }
    // A movie whose tags are damaged still renders what can be read.
    auto bytes = threeFrames();
    bytes.resize(bytes.size() - 20);
    Result r = swfrender({writeMovie(dir, bytes, "cut.swf"), "-n", "1", "-o", out});
    EXPECT_EQ(r.exitCode, 0) << r.err.toStdString();
}

TEST(Swfrender, AnUnwritableOutputLeavesNothingBehind) {
    QTemporaryDir dir;
    QString movie = writeMovie(dir, threeFrames());
    Result r = swfrender({movie, "-n", "1", "-o", dir.filePath("no/such/folder/out.png")});
    EXPECT_EQ(r.exitCode, 1);
    EXPECT_TRUE(r.err.contains("cannot write"));
}

TEST(Swfrender, DisassembleListsEachScriptWhereItSits) {
    QTemporaryDir dir;
    // push "hi"; trace; end
    const std::vector<std::uint8_t> code = {0x96, 0x04, 0x00, 0x00, 'h', 'i', 0x00, 0x26, 0x00};
    QString movie = writeMovie(dir, testmovies::movie({swf::DoAction{code}, swf::ShowFrame{}}));
    Result r = swfrender({movie, "--disassemble"});
    ASSERT_EQ(r.exitCode, 0) << r.err.toStdString();
    EXPECT_TRUE(r.out.startsWith("== root frame 1 DoAction\n")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Push \"hi\"")) << r.out.toStdString();
    EXPECT_TRUE(r.out.contains("Trace")) << r.out.toStdString();

    Result junk = swfrender({writeMovie(dir, {'n', 'o'}, "junk.swf"), "--disassemble"});
    EXPECT_EQ(junk.exitCode, 1);
    EXPECT_TRUE(junk.err.startsWith("swfrender: ")) << junk.err.toStdString();
}
