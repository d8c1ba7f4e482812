// What the library learns of a transport stream before writing anything:
// its packets and clock, its programme and streams as a Blu-ray clip
// describes them, when it starts and ends, and where its key frames are.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace joiner {

// One elementary stream in the terms of the disc's navigation files.
struct ClipStream {
    uint16_t pid = 0;
    uint8_t codingType = 0;  // 0x1b H.264, 0x81 AC-3, ...
    bool video = false;
    uint8_t videoFormat = 0;  // 4 1080i, 5 720p, 6 1080p, ...
    uint8_t frameRate = 0;    // 1 23.976, 2 24, 3 25, 4 29.97, 6 50, 7 59.94
    uint8_t aspect = 0;       // 2 4:3, 3 16:9
    uint8_t audioFormat = 0;  // 1 mono, 3 stereo, 6 multichannel
    uint8_t sampleRate = 0;   // 1 48 kHz, 4 96 kHz, 5 192 kHz
};

// A key frame of the video: its time and the packet where it starts
// (SPN, counted from 0), and how many packets it spans.
struct EntryPoint {
    int64_t pts = 0;  // 90 kHz, 33 bits
    uint32_t spn = 0;
    uint32_t packets = 1;
};

// A programme clock reference and the packet that carries it.
struct ClockReference {
    uint64_t packet = 0;
    int64_t pcr = 0;  // 27 MHz, unwrapped
};

struct ClipSurvey {
    std::string path;
    int packetSize = 188;         // of the input: 188, or 192 with a 4-byte header
    uint64_t packetCount = 0;     // of the input
    std::vector<ClockReference> clock;
    uint16_t pmtPid = 0;
    uint16_t pcrPid = 0x1FFF;
    std::vector<ClipStream> streams;  // video first
    std::vector<EntryPoint> entryPoints;
    int64_t startPts = 0;  // 90 kHz, from the earliest frame
    int64_t endPts = 0;    // to the end of the latest frame
};

// Source packets are written in aligned units of 32 (6144 bytes).
inline constexpr uint64_t kPacketsPerAlignedUnit = 32;
// The clip counts its source packets in 32 bits.
inline constexpr uint64_t kMaxSourcePackets = 0xFFFFFFE0;

inline uint64_t SourcePacketCount(const ClipSurvey& survey) {
    return (survey.packetCount + kPacketsPerAlignedUnit - 1) / kPacketsPerAlignedUnit * kPacketsPerAlignedUnit;
}

}  // namespace joiner
