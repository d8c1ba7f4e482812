// The WAV files of captured sound: always 44100 Hz, 2 channels, 16-bit PCM,
// with the classic 44-byte header whose two size fields stay 0 until the
// writer completes the file. A reader of a file still being written takes
// the PCM from byte 44 on and never trusts the sizes.
#pragma once

#include <array>
#include <cstdint>

namespace kinolux {

inline constexpr uint32_t kWavHeaderBytes = 44;
inline constexpr uint32_t kWavRiffSizeOffset = 4;
inline constexpr uint32_t kWavDataSizeOffset = 40;
inline constexpr uint32_t kWavSampleRate = 44100;
inline constexpr uint16_t kWavChannels = 2;
inline constexpr uint16_t kWavBitsPerSample = 16;
// 16-bit values per second of sound (both channels).
inline constexpr uint32_t kValuesPerSecond = kWavSampleRate * kWavChannels;

// The header as a new file starts: both size fields 0.
std::array<uint8_t, kWavHeaderBytes> WavHeaderWithoutSizes();

}  // namespace kinolux
