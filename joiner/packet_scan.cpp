#include "joiner/packet_scan.h"

#include <vector>

#include "bindings/joiner.h"
#include "joiner/failure.h"
#include "joiner/input_file.h"
#include "joiner/ts_packet.h"

namespace joiner {

namespace {

// How many packets at the start must be in sync to take the file for a
// transport stream of that packet size.
constexpr uint64_t kPacketsToRecognise = 5;

bool InSync(const std::vector<uint8_t>& head, size_t headBytes, int packetSize, uint64_t packets) {
    const size_t syncAt = static_cast<size_t>(packetSize - kTsPacketSize);
    const uint64_t checked = packets < kPacketsToRecognise ? packets : kPacketsToRecognise;
    if (checked == 0) return false;
    for (uint64_t i = 0; i < checked; ++i) {
        const size_t at = static_cast<size_t>(i) * packetSize + syncAt;
        if (at >= headBytes || head[at] != kSyncByte) return false;
    }
    return true;
}

}  // namespace

void ScanPackets(ClipSurvey& survey, Progress& progress) {
    InputFile input(survey.path);
    const uint64_t size = input.Size();
    if (size / kTsPacketSize > kMaxSourcePackets)
        throw Failure(NX_ERROR_TOO_LARGE, "The transport stream " + survey.path + " holds more than one Blu-ray clip can (" +
                                              std::to_string(kMaxSourcePackets) + " packets).");

    std::vector<uint8_t> block(kReadBlock);
    size_t filled = input.Read(block.data(), block.size());
    survey.packetSize = 0;
    for (int candidate : {kTsPacketSize, kTsPacketSize + 4})
        if (!survey.packetSize && InSync(block, filled, candidate, size / candidate)) survey.packetSize = candidate;
    if (!survey.packetSize)
        throw Failure(NX_ERROR_NOT_TRANSPORT_STREAM, "The file " + survey.path + " is not a transport stream.");
    const uint64_t packetSize = static_cast<uint64_t>(survey.packetSize);
    if (size % packetSize != 0)
        throw Failure(NX_ERROR_TRUNCATED, "The transport stream " + survey.path + " is truncated: it ends inside a packet.");
    survey.packetCount = size / packetSize;

    const size_t syncAt = packetSize - kTsPacketSize;
    int clockPid = -1;
    uint64_t packet = 0;
    while (filled > 0) {
        for (size_t at = 0; at + packetSize <= filled; at += packetSize, ++packet) {
            const uint8_t* ts = block.data() + at + syncAt;
            if (ts[0] != kSyncByte)
                throw Failure(NX_ERROR_DAMAGED, "The transport stream " + survey.path + " is damaged: packet " +
                                                    std::to_string(packet + 1) + " is out of sync.");
            int64_t pcr = 0;
            if (!PacketClock(ts, pcr)) continue;
            // The first stream that carries a clock sets the time base.
            if (clockPid < 0) clockPid = PacketPid(ts);
            if (PacketPid(ts) != clockPid) continue;
            if (!survey.clock.empty()) {
                const int64_t previous = survey.clock.back().pcr;
                const int64_t wraps = (previous + kClockWrap / 2 - pcr) / kClockWrap;
                if (wraps > 0) pcr += wraps * kClockWrap;
            }
            survey.clock.push_back({packet, pcr});
        }
        progress.Fraction(packet, survey.packetCount * 2, "Reading the transport stream");
        filled = input.Read(block.data(), block.size());
    }
    if (survey.clock.empty())
        throw Failure(NX_ERROR_DAMAGED, "The transport stream " + survey.path + " is damaged: it has no clock reference.");
}

}  // namespace joiner
