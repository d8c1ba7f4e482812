#include "joiner/clip_info_writer.h"

#include "joiner/bit_writer.h"
#include "joiner/clip_times.h"
#include "joiner/ep_map_writer.h"

namespace joiner {

namespace {

// Every stream's coding information takes the same room, padded.
constexpr size_t kStreamCodingInfoLength = 21;

void WriteClipInfo(const ClipSurvey& survey, uint32_t recordingRate, BitWriter& out) {
    const size_t length = out.BeginLength(32);
    out.Put(16, 0);
    out.Put(8, 1);  // clip stream type: AV stream
    out.Put(8, 1);  // application type: main transport stream of a movie
    out.Put(31, 0);
    out.Put(1, 0);  // no ATC delta: one arrival clock throughout
    out.Put(32, recordingRate);
    out.Put(32, static_cast<uint32_t>(SourcePacketCount(survey)));
    out.PutZeroBytes(128);
    const size_t typeInfo = out.BeginLength(16);
    out.Put(8, 0x80);  // validity
    out.PutBytes("HDMV");
    out.PutZeroBytes(9 + 16);  // network information, stream format name
    out.EndLength(typeInfo, 16);
    out.EndLength(length, 32);
}

void WriteSequenceInfo(const ClipSurvey& survey, BitWriter& out) {
    const size_t length = out.BeginLength(32);
    out.Put(8, 0);
    out.Put(8, 1);   // one arrival-time sequence
    out.Put(32, 0);  // starting at the first packet
    out.Put(8, 1);   // with one system-time sequence
    out.Put(8, 0);   // numbered from 0
    out.Put(16, survey.pcrPid);
    out.Put(32, 0);
    out.Put(32, ClipInTime(survey));
    out.Put(32, ClipOutTime(survey));
    out.EndLength(length, 32);
}

void WriteStreamCodingInfo(const ClipStream& stream, BitWriter& out) {
    const size_t length = out.BeginLength(8);
    out.Put(8, stream.codingType);
    if (stream.video) {
        out.Put(4, stream.videoFormat);
        out.Put(4, stream.frameRate);
        out.Put(4, stream.aspect);
        out.Put(2, 0);
        out.Put(1, 0);  // no closed captions
        out.Put(1, 0);
    } else {
        out.Put(4, stream.audioFormat);
        out.Put(4, stream.sampleRate);
        out.PutBytes("und");
    }
    out.PutZeroBytes(kStreamCodingInfoLength - (out.Size() - length - 1));
    out.EndLength(length, 8);
}

void WriteProgramInfo(const ClipSurvey& survey, BitWriter& out) {
    const size_t length = out.BeginLength(32);
    out.Put(8, 0);
    out.Put(8, 1);   // one programme
    out.Put(32, 0);  // from the first packet
    out.Put(16, survey.pmtPid);
    out.Put(8, static_cast<uint32_t>(survey.streams.size()));
    out.Put(8, 0);  // no groups
    for (const ClipStream& stream : survey.streams) {
        out.Put(16, stream.pid);
        WriteStreamCodingInfo(stream, out);
    }
    out.EndLength(length, 32);
}

}  // namespace

std::vector<uint8_t> ClipInfoFile(const ClipSurvey& survey, uint32_t recordingRate) {
    BitWriter out;
    out.PutBytes("HDMV0200");
    const size_t sequenceAddress = out.BeginLength(32);
    const size_t programAddress = out.BeginLength(32);
    const size_t cpiAddress = out.BeginLength(32);
    const size_t clipMarkAddress = out.BeginLength(32);
    out.Put(32, 0);  // no extension data
    out.PutZeroBytes(12);
    WriteClipInfo(survey, recordingRate, out);
    out.Patch32(sequenceAddress, static_cast<uint32_t>(out.Size()));
    WriteSequenceInfo(survey, out);
    out.Patch32(programAddress, static_cast<uint32_t>(out.Size()));
    WriteProgramInfo(survey, out);
    out.Patch32(cpiAddress, static_cast<uint32_t>(out.Size()));
    WriteCharacteristicPoints(survey, out);
    out.Patch32(clipMarkAddress, static_cast<uint32_t>(out.Size()));
    out.Put(32, 0);  // no clip marks
    return out.Bytes();
}

}  // namespace joiner
