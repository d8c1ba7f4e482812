#include "joiner/ep_map_writer.h"

#include <cstdint>
#include <vector>

#include "bindings/joiner.h"
#include "joiner/clip_times.h"
#include "joiner/failure.h"

namespace joiner {

namespace {

// An entry point is split into a coarse part, shared by the entries that
// follow until its time (PTS bits 32..19) or its packet's upper bits
// (SPN bits 31..17) change, and a fine part for each key frame (PTS bits
// 19..9 and SPN bits 16..0).
struct CoarseEntry {
    uint32_t firstFine;
    uint32_t pts;
    uint32_t spn;
};
struct FineEntry {
    uint32_t endClass;
    uint32_t pts;
    uint32_t spn;
};

uint32_t CoarsePts(int64_t pts) { return static_cast<uint32_t>(((pts & kTimeStampMask) >> 19) & 0x3FFF); }
uint32_t FinePts(int64_t pts) { return static_cast<uint32_t>(((pts & kTimeStampMask) >> 9) & 0x7FF); }

// How far the key frame reaches, as a class from 1 (within one aligned
// unit of 32 packets) doubling up to 7.
uint32_t EndClass(uint32_t packets) {
    uint32_t units = (packets + 31) / 32;
    uint32_t endClass = 1;
    while (units > 1 && endClass < 7) {
        units = (units + 1) / 2;
        ++endClass;
    }
    return endClass;
}

constexpr size_t kMostCoarseEntries = 0xFFFF;
constexpr size_t kMostFineEntries = 0x3FFFF;

}  // namespace

void WriteCharacteristicPoints(const ClipSurvey& survey, BitWriter& out) {
    std::vector<CoarseEntry> coarse;
    std::vector<FineEntry> fine;
    for (const EntryPoint& entry : survey.entryPoints) {
        const uint32_t coarsePts = CoarsePts(entry.pts);
        if (coarse.empty() || coarse.back().pts != coarsePts || (coarse.back().spn >> 17) != (entry.spn >> 17))
            coarse.push_back({static_cast<uint32_t>(fine.size()), coarsePts, entry.spn});
        fine.push_back({EndClass(entry.packets), FinePts(entry.pts), entry.spn & 0x1FFFF});
    }
    if (coarse.size() > kMostCoarseEntries || fine.size() > kMostFineEntries)
        throw Failure(NX_ERROR_TOO_LARGE,
                      "The transport stream " + survey.path + " has more key frames than one Blu-ray clip can index.");

    const size_t length = out.BeginLength(32);
    out.Put(12, 0);
    out.Put(4, 1);  // CPI type: EP map
    const size_t epMap = out.Size();
    out.Put(8, 0);
    out.Put(8, 1);  // one stream: the video
    out.Put(16, survey.streams.front().pid);
    out.Put(10, 0);
    out.Put(4, 1);  // EP stream type: video
    out.Put(16, static_cast<uint32_t>(coarse.size()));
    out.Put(18, static_cast<uint32_t>(fine.size()));
    const size_t streamAddress = out.Size();
    out.Put(32, 0);

    const size_t stream = out.Size();
    out.Patch32(streamAddress, static_cast<uint32_t>(stream - epMap));
    const size_t fineAddress = out.Size();
    out.Put(32, 0);
    for (const CoarseEntry& entry : coarse) {
        out.Put(18, entry.firstFine);
        out.Put(14, entry.pts);
        out.Put(32, entry.spn);
    }
    out.Patch32(fineAddress, static_cast<uint32_t>(out.Size() - stream));
    for (const FineEntry& entry : fine) {
        out.Put(1, 0);  // not an angle change point: the clip has one angle
        out.Put(3, entry.endClass);
        out.Put(11, entry.pts);
        out.Put(17, entry.spn);
    }
    out.EndLength(length, 32);
}

}  // namespace joiner
