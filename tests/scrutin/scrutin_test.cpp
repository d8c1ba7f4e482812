// libscrutin's three entries: the probe record and the uncompressed copy.
#include <gtest/gtest.h>

#include <QFile>
#include <QTemporaryDir>

#include "bindings/scrutin.h"
#include "flash/swf/read.h"
#include "flash/swf/write.h"

namespace {

std::vector<std::uint8_t> movie(swf::Compression c, std::uint16_t rate = 0x0c80 /* 12.5 */) {
    swf::Header h;
    h.compression = c;
    h.version = 9;
    h.stageSize = {0, 640 * 20, 0, 480 * 20 + 10};
    h.frameRate = rate;
    h.frameCount = 42;
    std::vector<swf::Tag> tags{swf::SetBackgroundColor{{1, 2, 3, 255}}, swf::ShowFrame{}};
    return swf::writeMovie(h, tags);
}

std::string save(const QTemporaryDir& dir, const QString& name, const std::vector<std::uint8_t>& bytes) {
    QFile f(dir.filePath(name));
    f.open(QIODevice::WriteOnly);
    f.write(reinterpret_cast<const char*>(bytes.data()), qint64(bytes.size()));
    return f.fileName().toStdString();
}

std::vector<std::uint8_t> load(const std::string& path) {
    QFile f(QString::fromStdString(path));
    f.open(QIODevice::ReadOnly);
    QByteArray a = f.readAll();
    return {a.begin(), a.end()};
}

}  // namespace

TEST(Scrutin, InfoRecordForEveryCompression) {
    QTemporaryDir dir;
    int kind = 0;
    for (auto c : {swf::Compression::None, swf::Compression::Zlib, swf::Compression::Lzma}) {
        std::string path = save(dir, QString("m%1.swf").arg(kind), movie(c));
        SwfFileInfo info;
        std::memset(&info, 0x55, sizeof info);
        EXPECT_EQ(W_SwfFileInfo(path.c_str(), &info), 0);
        EXPECT_EQ(info.width, 640);
        EXPECT_EQ(info.height, 480);  // half a pixel is dropped
        EXPECT_EQ(info.frameRate, 12) << "the fraction of 12.5 is dropped";
        EXPECT_EQ(info.frameRate88, 0x0c80);
        EXPECT_EQ(info.frameCount, 42);
        EXPECT_EQ(info.version, 9);
        EXPECT_EQ(info.compression, kind);
        EXPECT_EQ(info.fileLength, std::int32_t(movie(swf::Compression::None).size()));
        EXPECT_EQ(info.status, 0);
        W_SwfFileInfoFree(&info);
        EXPECT_EQ(info.width, 0);
        ++kind;
    }
    // The record's layout is the one the program copies from.
    EXPECT_EQ(offsetof(SwfFileInfo, width), 8u);
    EXPECT_EQ(offsetof(SwfFileInfo, height), 12u);
    EXPECT_EQ(offsetof(SwfFileInfo, frameRate), 16u);
    EXPECT_EQ(offsetof(SwfFileInfo, frameCount), 20u);
}

TEST(Scrutin, UnreadableMoviesGiveAClearedRecord) {
    QTemporaryDir dir;
    SwfFileInfo info;
    for (const std::string& path : {dir.filePath("missing.swf").toStdString(), save(dir, "junk.swf", {'h', 'e', 'l', 'l', 'o'})}) {
        std::memset(&info, 0x55, sizeof info);
        EXPECT_EQ(W_SwfFileInfo(path.c_str(), &info), -1);
        EXPECT_EQ(info.width, 0);
        EXPECT_EQ(info.frameRate, 0);
        EXPECT_EQ(info.compression, -1);
        EXPECT_NE(info.status, 0);
    }
    EXPECT_EQ(W_SwfFileInfo(nullptr, &info), -1);
    EXPECT_EQ(W_SwfFileInfo("x", nullptr), -1);
}

TEST(Scrutin, UncompressedCopies) {
    QTemporaryDir dir;
    std::string out = dir.filePath("~temp1.swf").toStdString();
    // Already uncompressed: nothing written.
    EXPECT_EQ(W_ConvertToUncompress(save(dir, "plain.swf", movie(swf::Compression::None)).c_str(), out.c_str()), 0);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
    for (auto c : {swf::Compression::Zlib, swf::Compression::Lzma}) {
        EXPECT_EQ(W_ConvertToUncompress(save(dir, "packed.swf", movie(c)).c_str(), out.c_str()), 1);
        auto copy = load(out);
        EXPECT_EQ(copy, movie(swf::Compression::None));
        swf::Movie m = swf::readMovie(copy);
        EXPECT_EQ(m.header.compression, swf::Compression::None);
        EXPECT_EQ(m.header.frameCount, 42);
    }
}

TEST(Scrutin, FailedCopiesSayWhyAndLeaveNothing) {
    QTemporaryDir dir;
    std::string out = dir.filePath("~temp1.swf").toStdString();
    EXPECT_EQ(W_ConvertToUncompress(dir.filePath("missing.swf").toStdString().c_str(), out.c_str()), -1);
    EXPECT_EQ(W_ConvertToUncompress(save(dir, "junk.swf", std::vector<std::uint8_t>(100, 'x')).c_str(), out.c_str()), -1);
    auto damaged = movie(swf::Compression::Zlib);
    for (std::size_t i = 12; i < damaged.size(); ++i) damaged[i] ^= 0xa5;
    EXPECT_EQ(W_ConvertToUncompress(save(dir, "damaged.swf", damaged).c_str(), out.c_str()), -2);
    EXPECT_FALSE(QFile::exists(QString::fromStdString(out)));
    std::string packed = save(dir, "packed.swf", movie(swf::Compression::Zlib));
    EXPECT_EQ(W_ConvertToUncompress(packed.c_str(), dir.filePath("no/folder/x.swf").toStdString().c_str()), -3);
    EXPECT_EQ(W_ConvertToUncompress(packed.c_str(), packed.c_str()), -3) << "never over the source itself";
    EXPECT_EQ(load(packed), movie(swf::Compression::Zlib));
}
