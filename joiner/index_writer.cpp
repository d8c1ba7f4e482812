#include "joiner/index_writer.h"

#include "joiner/bit_writer.h"
#include "joiner/movie_object_writer.h"

namespace joiner {

namespace {

constexpr uint32_t kHdmvObject = 1;
constexpr uint32_t kMoviePlayback = 0;
constexpr uint32_t kNoObject = 0xFFFF;

void WriteHdmvEntry(uint32_t movieObject, BitWriter& out) {
    out.Put(2, kMoviePlayback);
    out.Put(14, 0);
    out.Put(16, movieObject);
    out.Put(32, 0);
}

void WriteAppInfo(BitWriter& out) {
    const size_t length = out.BeginLength(32);
    out.Put(8, 0);  // no output mode preference, no 3D content
    out.Put(8, 0);  // video format and frame rate: not given
    out.PutZeroBytes(32);
    out.EndLength(length, 32);
}

void WriteIndexes(BitWriter& out) {
    const size_t length = out.BeginLength(32);
    out.Put(2, kHdmvObject);  // first playback
    out.Put(30, 0);
    WriteHdmvEntry(kFirstPlaybackObject, out);
    out.Put(2, kHdmvObject);  // top menu: none
    out.Put(30, 0);
    WriteHdmvEntry(kNoObject, out);
    out.Put(16, 1);  // one title
    out.Put(2, kHdmvObject);
    out.Put(2, 0);  // access: may be searched and shown
    out.Put(28, 0);
    WriteHdmvEntry(kTitleObject, out);
    out.EndLength(length, 32);
}

}  // namespace

std::vector<uint8_t> IndexFile() {
    BitWriter out;
    out.PutBytes("INDX0200");
    const size_t indexesAddress = out.BeginLength(32);
    out.Put(32, 0);  // no extension data
    out.PutZeroBytes(24);
    WriteAppInfo(out);
    out.Patch32(indexesAddress, static_cast<uint32_t>(out.Size()));
    WriteIndexes(out);
    return out.Bytes();
}

}  // namespace joiner
