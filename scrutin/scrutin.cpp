// libscrutin: the probe entries over the SWF reader's header and
// decompression code.
#include "bindings/scrutin.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>
#include <cstring>
#include <vector>

#include "flash/swf/error.h"
#include "flash/swf/header.h"
#include "flash/swf/limits.h"

namespace {

constexpr std::size_t kProbeBytes = 1 << 20;  // enough compressed input for any header

// Reads at most maxBytes of a file; false when it cannot be opened.
bool readFile(const char* path, std::size_t maxBytes, std::vector<std::uint8_t>& out) {
    if (!path) return false;
    QFile file(QString::fromLocal8Bit(path));
    if (!file.open(QIODevice::ReadOnly)) return false;
    QByteArray data = file.read(qint64(maxBytes));
    out.assign(data.begin(), data.end());
    return true;
}

}  // namespace

extern "C" int W_ConvertToUncompress(const char* source, const char* destination) {
    std::vector<std::uint8_t> file;
    if (!readFile(source, swf::limits::kMaxMovieBytes + 1, file)) return -1;
    swf::Uncompressed u;
    try {
        if (swf::readSignature(file).compression == swf::Compression::None) return 0;
        u = swf::decompress(file);
    } catch (const swf::Error&) {
        return file.size() >= 8 && std::memcmp(file.data() + 1, "WS", 2) == 0 ? -2 : -1;
    } catch (const std::bad_alloc&) {
        return -2;
    }
    if (!destination) return -3;
    // Never overwrite the movie being read with its own copy.
    if (QFileInfo(QString::fromLocal8Bit(destination)).canonicalFilePath() ==
        QFileInfo(QString::fromLocal8Bit(source)).canonicalFilePath())
        return -3;
    // The copy states its real length, also when the original was cut short.
    std::uint32_t length = std::uint32_t(u.file.size());
    for (int i = 0; i < 4; ++i) u.file[4 + std::size_t(i)] = std::uint8_t(length >> (8 * i));
    QSaveFile out(QString::fromLocal8Bit(destination));
    if (!out.open(QIODevice::WriteOnly)) return -3;
    if (out.write(reinterpret_cast<const char*>(u.file.data()), qint64(u.file.size())) != qint64(u.file.size()) ||
        !out.commit())
        return -3;
    return 1;
}

extern "C" int W_SwfFileInfo(const char* path, SwfFileInfo* info) {
    if (!info) return -1;
    std::memset(info, 0, sizeof *info);
    info->compression = -1;
    info->status = 1;
    std::vector<std::uint8_t> file;
    if (!readFile(path, kProbeBytes, file)) return -1;
    try {
        swf::Header h = swf::probeHeader(file);
        info->version = h.version;
        info->fileLength = std::int32_t(std::min<std::uint32_t>(h.uncompressedLength, INT32_MAX));
        info->width = std::int32_t((std::int64_t(h.stageSize.xMax) - h.stageSize.xMin) / 20);
        info->height = std::int32_t((std::int64_t(h.stageSize.yMax) - h.stageSize.yMin) / 20);
        info->frameRate = h.frameRate >> 8;
        info->frameCount = h.frameCount;
        info->compression = int32_t(h.compression);
        info->frameRate88 = h.frameRate;
        info->status = 0;
        return 0;
    } catch (const swf::Error&) {
        return -1;
    }
}

extern "C" void W_SwfFileInfoFree(SwfFileInfo* info) {
    if (info) std::memset(info, 0, sizeof *info);
}
