#include "flash/swf/header.h"

#include <lzma.h>
#include <zlib.h>

#include <algorithm>
#include <string>

#include "flash/swf/byte_reader.h"
#include "flash/swf/limits.h"

namespace swf {
namespace {

constexpr std::size_t kSignatureSize = 8;
constexpr std::size_t kChunk = 1 << 16;

std::string mib(std::size_t bytes) { return std::to_string(bytes >> 20) + " MiB"; }

[[noreturn]] void tooLarge() {
    throw Error("the uncompressed movie is larger than the limit of " + mib(limits::kMaxMovieBytes));
}

// Appends the inflated zlib stream to out; false when the stream ended
// early. Stops once out holds stopAt bytes.
bool inflateInto(Bytes in, std::vector<std::uint8_t>& out, std::size_t expected, std::size_t stopAt) {
    z_stream z{};
    if (inflateInit(&z) != Z_OK) throw Error("zlib could not be started");
    z.next_in = const_cast<Bytef*>(in.data());
    z.avail_in = static_cast<uInt>(std::min<std::size_t>(in.size(), UINT32_MAX));
    int rc = Z_OK;
    while (rc == Z_OK) {
        std::size_t old = out.size();
        if (old >= stopAt) break;
        if (old >= limits::kMaxMovieBytes + kSignatureSize) {
            inflateEnd(&z);
            tooLarge();
        }
        // Never past stopAt: a caller that wants the header alone must not
        // pay for a chunk of the body.
        const std::size_t grow =
            std::min({kChunk, std::max<std::size_t>(expected > old ? expected - old : 0, 4096), stopAt - old});
        out.resize(old + grow);
        z.next_out = out.data() + old;
        z.avail_out = static_cast<uInt>(grow);
        rc = inflate(&z, Z_NO_FLUSH);
        out.resize(out.size() - z.avail_out);
        if (rc == Z_BUF_ERROR) break;  // the input ran out before the stream's end
    }
    inflateEnd(&z);
    if (rc == Z_DATA_ERROR || rc == Z_MEM_ERROR || rc == Z_NEED_DICT)
        throw Error("the zlib-compressed movie body is damaged");
    return rc == Z_STREAM_END || out.size() >= stopAt;
}

bool lzmaInto(Bytes in, std::vector<std::uint8_t>& out, std::size_t expected) {
    // ZWS: 4-byte compressed length, 5 LZMA property bytes, then raw LZMA1.
    if (in.size() < 9) throw Error("the LZMA-compressed movie is cut short");
    lzma_filter filters[2] = {{LZMA_FILTER_LZMA1, nullptr}, {LZMA_VLI_UNKNOWN, nullptr}};
    if (lzma_properties_decode(&filters[0], nullptr, in.data() + 4, 5) != LZMA_OK)
        throw Error("the LZMA properties of the movie are invalid");
    lzma_stream s = LZMA_STREAM_INIT;
    lzma_ret rc = lzma_raw_decoder(&s, filters);
    free(filters[0].options);
    if (rc != LZMA_OK) throw Error("the LZMA decoder could not be started");
    s.next_in = in.data() + 9;
    s.avail_in = in.size() - 9;
    bool complete = false;
    while (true) {
        std::size_t old = out.size();
        if (old >= expected + kSignatureSize) { complete = true; break; }
        std::size_t grow = std::min(kChunk, expected + kSignatureSize - old);
        out.resize(old + grow);
        s.next_out = out.data() + old;
        s.avail_out = grow;
        rc = lzma_code(&s, LZMA_RUN);
        out.resize(out.size() - s.avail_out);
        if (rc == LZMA_STREAM_END) { complete = true; break; }
        if (rc != LZMA_OK) {
            lzma_end(&s);
            if (rc == LZMA_BUF_ERROR) return false;  // input ran out
            throw Error("the LZMA-compressed movie body is damaged");
        }
        if (s.avail_in == 0 && out.size() == old) break;
    }
    lzma_end(&s);
    return complete;
}

}  // namespace

FileSignature readSignature(Bytes file) {
    if (file.size() < kSignatureSize) throw Error("the file is too short to be a SWF movie");
    FileSignature sig;
    std::string magic(reinterpret_cast<const char*>(file.data()) + 1, 2);
    if (magic != "WS") throw Error("the file is not a SWF movie (no FWS, CWS or ZWS signature)");
    switch (file[0]) {
    case 'F': sig.compression = Compression::None; break;
    case 'C': sig.compression = Compression::Zlib; break;
    case 'Z': sig.compression = Compression::Lzma; break;
    default: throw Error("the file is not a SWF movie (no FWS, CWS or ZWS signature)");
    }
    ByteReader r(file.subspan(3, 5));
    sig.version = r.u8();
    sig.uncompressedLength = r.u32();
    return sig;
}

Uncompressed decompress(Bytes file, std::size_t maxBody) {
    FileSignature sig = readSignature(file);
    Uncompressed result;
    const std::size_t stopAt = maxBody ? maxBody + kSignatureSize : SIZE_MAX;
    std::size_t declaredBody = sig.uncompressedLength > kSignatureSize ? sig.uncompressedLength - kSignatureSize : 0;
    if (sig.compression == Compression::None) {
        if (file.size() > limits::kMaxMovieBytes + kSignatureSize) tooLarge();
        result.file.assign(file.begin(), file.begin() + std::min(file.size(), stopAt));
        result.truncated = file.size() < sig.uncompressedLength;
        return result;
    }
    if (sig.compression == Compression::Lzma && declaredBody > limits::kMaxMovieBytes && !maxBody) tooLarge();
    std::size_t expected = std::min(declaredBody, limits::kMaxMovieBytes);
    result.file.reserve(std::min(expected, file.size() * 8 + 1024) + kSignatureSize);
    result.file.assign(file.begin(), file.begin() + kSignatureSize);
    result.file[0] = 'F';
    bool complete = sig.compression == Compression::Zlib
                        ? inflateInto(file.subspan(kSignatureSize), result.file, expected, stopAt)
                        : lzmaInto(file.subspan(kSignatureSize), result.file, maxBody ? std::min(declaredBody, maxBody) : declaredBody);
    if (result.file.size() > limits::kMaxMovieBytes + kSignatureSize) tooLarge();
    result.truncated = maxBody ? !complete && result.file.size() < stopAt
                               : !complete || result.file.size() < sig.uncompressedLength;
    return result;
}

Header probeHeader(Bytes file) {
    // The frame rectangle takes at most 17 bytes, rate and count 4 more.
    constexpr std::size_t kHeaderBytes = 21;
    Uncompressed u = decompress(file, kHeaderBytes);
    Header h = readHeader(u.file);
    h.compression = readSignature(file).compression;
    return h;
}

Header readHeader(Bytes file, std::size_t* bodyOffset) {
    FileSignature sig = readSignature(file);
    ByteReader r(file.subspan(kSignatureSize));
    Header h;
    h.compression = sig.compression;
    h.version = sig.version;
    h.uncompressedLength = sig.uncompressedLength;
    try {
        h.stageSize = r.rect();
        h.frameRate = r.u16();
        h.frameCount = r.u16();
    } catch (const Error&) {
        throw Error("the movie header is cut short");
    }
    if (bodyOffset) *bodyOffset = kSignatureSize + r.position();
    return h;
}

}  // namespace swf
