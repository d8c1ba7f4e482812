#include "joiner/source_packet_writer.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "bindings/joiner.h"
#include "joiner/arrival_clock.h"
#include "joiner/failure.h"
#include "joiner/input_file.h"
#include "joiner/output_file.h"
#include "joiner/ts_packet.h"

namespace joiner {

namespace {

constexpr size_t kSourcePacketSize = 192;
constexpr uint32_t kArrivalTimeMask = 0x3FFFFFFF;  // 30 bits; the copy-permission bits stay 0
constexpr const char* kWritingText = "Writing the Blu-ray folder";

void PutSourcePacket(uint8_t* out, int64_t arrival, const uint8_t* ts) {
    const uint32_t stamp = static_cast<uint32_t>(arrival) & kArrivalTimeMask;
    out[0] = static_cast<uint8_t>(stamp >> 24);
    out[1] = static_cast<uint8_t>(stamp >> 16);
    out[2] = static_cast<uint8_t>(stamp >> 8);
    out[3] = static_cast<uint8_t>(stamp);
    std::memcpy(out + 4, ts, kTsPacketSize);
}

std::vector<uint8_t> NullPacket() {
    std::vector<uint8_t> packet(kTsPacketSize, 0xFF);
    packet[0] = kSyncByte;
    packet[1] = 0x1F;  // PID 0x1FFF
    packet[2] = 0xFF;
    packet[3] = 0x10;  // payload only
    return packet;
}

}  // namespace

int32_t AlignedUnitCount(const ClipSurvey& survey) {
    return static_cast<int32_t>(SourcePacketCount(survey) / kPacketsPerAlignedUnit);
}

uint32_t WriteSourcePackets(const ClipSurvey& survey, const std::string& path, Progress& progress) {
    const uint64_t total = SourcePacketCount(survey);
    const int32_t units = AlignedUnitCount(survey);
    ArrivalClock clock(survey.clock, survey.packetCount, (survey.endPts - survey.startPts) * 300);
    InputFile input(survey.path);
    OutputFile output(path);

    const size_t inputPacket = static_cast<size_t>(survey.packetSize);
    const size_t syncAt = inputPacket - kTsPacketSize;
    // Whole aligned units of input at a time, so progress counts units.
    const size_t unitsPerBlock = 64;
    std::vector<uint8_t> in(unitsPerBlock * kPacketsPerAlignedUnit * inputPacket);
    std::vector<uint8_t> out(unitsPerBlock * kPacketsPerAlignedUnit * kSourcePacketSize);
    const std::vector<uint8_t> null = NullPacket();
    uint64_t packet = 0;
    // The arrival clock of the clip starts at 0, so that its 30-bit stamps
    // run from the start without wrapping for the first 39 seconds.
    const int64_t firstArrival = clock.TimeOf(0);
    progress.Remaining(units, units, kWritingText);
    while (packet < total) {
        const uint64_t wanted = std::min<uint64_t>(in.size() / inputPacket, survey.packetCount - std::min(packet, survey.packetCount));
        const size_t got = input.Read(in.data(), static_cast<size_t>(wanted) * inputPacket) / inputPacket;
        if (got < wanted)
            throw Failure(NX_ERROR_TRUNCATED, "The transport stream " + survey.path + " became shorter while it was read.");
        size_t produced = 0;
        for (size_t i = 0; i < got; ++i, ++produced)
            PutSourcePacket(&out[produced * kSourcePacketSize], clock.TimeOf(packet++) - firstArrival, &in[i * inputPacket + syncAt]);
        if (packet == survey.packetCount)  // the end: pad the last unit
            for (; packet < total; ++packet, ++produced)
                PutSourcePacket(&out[produced * kSourcePacketSize], clock.TimeOf(packet) - firstArrival, null.data());
        if (produced == 0) break;
        output.Write(out.data(), produced * kSourcePacketSize);
        progress.Remaining(units - static_cast<int32_t>(packet / kPacketsPerAlignedUnit), units, kWritingText);
    }
    output.Close();
    return clock.RecordingRate();
}

}  // namespace joiner
