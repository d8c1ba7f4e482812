#include "flash/audio/adpcm_decoder.h"

#include <algorithm>

#include "flash/swf/bit_cursor.h"

namespace kinolux::audio {

namespace {

constexpr int kStepSizes[89] = {
    7,     8,     9,     10,    11,    12,    13,    14,    16,    17,    19,    21,    23,    25,    28,
    31,    34,    37,    41,    45,    50,    55,    60,    66,    73,    80,    88,    97,    107,   118,
    130,   143,   157,   173,   190,   209,   230,   253,   279,   307,   337,   371,   408,   449,   494,
    544,   598,   658,   724,   796,   876,   963,   1060,  1166,  1282,  1411,  1552,  1707,  1878,  2066,
    2272,  2499,  2749,  3024,  3327,  3660,  4026,  4428,  4871,  5358,  5894,  6484,  7132,  7845,  8630,
    9493,  10442, 11487, 12635, 13899, 15289, 16818, 18500, 20350, 22385, 24623, 27086, 29794, 32767};

// How the step index moves after a code of each magnitude, per code size 2..5.
constexpr int kIndexMoves2[] = {-1, 2};
constexpr int kIndexMoves3[] = {-1, -1, 2, 4};
constexpr int kIndexMoves4[] = {-1, -1, -1, -1, 2, 4, 6, 8};
constexpr int kIndexMoves5[] = {-1, -1, -1, -1, -1, -1, -1, -1, 1, 2, 4, 6, 8, 10, 13, 16};
constexpr const int* kIndexMoves[] = {kIndexMoves2, kIndexMoves3, kIndexMoves4, kIndexMoves5};

constexpr int kCodesPerPacket = 4095;

struct ChannelState {
    int sample = 0;
    int stepIndex = 0;
};

// The code's magnitude bits add halving fractions of the step, plus the
// last half as rounding: (magnitude + 0.5) * step / 2^(bits - 2).
void applyCode(ChannelState& channel, unsigned code, unsigned bits)
{
    const unsigned signBit = 1u << (bits - 1);
    int step = kStepSizes[channel.stepIndex];
    int difference = 0;
    for (unsigned bit = signBit >> 1; bit; bit >>= 1, step >>= 1)
        if (code & bit) difference += step;
    difference += step;
    channel.sample = std::clamp(code & signBit ? channel.sample - difference : channel.sample + difference, -32768, 32767);
    channel.stepIndex = std::clamp(channel.stepIndex + kIndexMoves[bits - 2][code & (signBit - 1)], 0, 88);
}

}  // namespace

std::string AdpcmDecoder::decode(std::span<const std::uint8_t> data, std::vector<std::int16_t>& out)
{
    if (data.empty()) return {};
    swf::BitCursor reader(data);
    const unsigned bits = reader.read(2) + 2;
    const std::size_t headerBits = 22 * channels_;
    const std::size_t codeBits = bits * channels_;
    ChannelState channels[2];
    while (reader.bitsLeft() >= headerBits) {
        for (unsigned c = 0; c < channels_; ++c) {
            channels[c].sample = std::int16_t(reader.read(16));
            channels[c].stepIndex = int(reader.read(6));
            out.push_back(std::int16_t(channels[c].sample));
        }
        for (int code = 0; code < kCodesPerPacket && reader.bitsLeft() >= codeBits; ++code) {
            for (unsigned c = 0; c < channels_; ++c) {
                applyCode(channels[c], reader.read(bits), bits);
                out.push_back(std::int16_t(channels[c].sample));
            }
        }
    }
    return {};
}

}  // namespace kinolux::audio
