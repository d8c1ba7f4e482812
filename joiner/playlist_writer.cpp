#include "joiner/playlist_writer.h"

#include "joiner/bit_writer.h"
#include "joiner/clip_times.h"

namespace joiner {

namespace {

void PutNoUserOperationMask(BitWriter& out) { out.PutZeroBytes(8); }

void WriteAppInfo(BitWriter& out) {
    const size_t length = out.BeginLength(32);
    out.Put(8, 0);
    out.Put(8, 1);  // sequential playback
    out.Put(16, 0);
    PutNoUserOperationMask(out);
    out.Put(16, 0);  // no random access, audio mix or lossless bypass
    out.EndLength(length, 32);
}

void WriteStream(const ClipStream& stream, BitWriter& out) {
    const size_t entry = out.BeginLength(8);
    out.Put(8, 1);  // in the play item's own clip
    out.Put(16, stream.pid);
    out.PutZeroBytes(6);
    out.EndLength(entry, 8);
    const size_t attributes = out.BeginLength(8);
    out.Put(8, stream.codingType);
    out.Put(4, stream.video ? stream.videoFormat : stream.audioFormat);
    out.Put(4, stream.video ? stream.frameRate : stream.sampleRate);
    if (stream.video) out.PutZeroBytes(3);
    else out.PutBytes("und");
    out.EndLength(attributes, 8);
}

void WriteStreamTable(const ClipSurvey& survey, BitWriter& out) {
    uint32_t audio = 0;
    for (const ClipStream& stream : survey.streams) audio += stream.video ? 0 : 1;
    const size_t length = out.BeginLength(16);
    out.Put(16, 0);
    out.Put(8, 1);  // the video
    out.Put(8, audio);
    out.PutZeroBytes(5 + 5);  // no graphics or secondary streams; reserved
    for (const ClipStream& stream : survey.streams) WriteStream(stream, out);
    out.EndLength(length, 16);
}

void WritePlayItem(const ClipSurvey& survey, BitWriter& out) {
    const size_t length = out.BeginLength(16);
    out.PutBytes("00000");
    out.PutBytes("M2TS");
    out.Put(11, 0);
    out.Put(1, 0);  // one angle
    out.Put(4, 1);  // connection condition: not seamless (the first item)
    out.Put(8, 0);  // the clip's system-time sequence 0
    out.Put(32, ClipInTime(survey));
    out.Put(32, ClipOutTime(survey));
    PutNoUserOperationMask(out);
    out.Put(8, 0);   // no random access flag
    out.Put(8, 0);   // no still
    out.Put(16, 0);
    WriteStreamTable(survey, out);
    out.EndLength(length, 16);
}

void WritePlayList(const ClipSurvey& survey, BitWriter& out) {
    const size_t length = out.BeginLength(32);
    out.Put(16, 0);
    out.Put(16, 1);  // one play item
    out.Put(16, 0);  // no sub-paths
    WritePlayItem(survey, out);
    out.EndLength(length, 32);
}

void WriteMarks(const ClipSurvey& survey, BitWriter& out) {
    const size_t length = out.BeginLength(32);
    out.Put(16, 1);
    out.Put(8, 0);
    out.Put(8, 1);   // an entry mark (a chapter)
    out.Put(16, 0);  // in play item 0
    out.Put(32, ClipInTime(survey));
    out.Put(16, 0xFFFF);  // for no particular stream
    out.Put(32, 0);
    out.EndLength(length, 32);
}

}  // namespace

std::vector<uint8_t> PlaylistFile(const ClipSurvey& survey) {
    BitWriter out;
    out.PutBytes("MPLS0200");
    const size_t playListAddress = out.BeginLength(32);
    const size_t markAddress = out.BeginLength(32);
    out.Put(32, 0);  // no extension data
    out.PutZeroBytes(20);
    WriteAppInfo(out);
    out.Patch32(playListAddress, static_cast<uint32_t>(out.Size()));
    WritePlayList(survey, out);
    out.Patch32(markAddress, static_cast<uint32_t>(out.Size()));
    WriteMarks(survey, out);
    return out.Bytes();
}

}  // namespace joiner
