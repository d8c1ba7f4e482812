#include "platform/winmm/pcm_format.h"

namespace kinolux::winmm {

std::optional<PcmFormat> pcmFormatOf(const WAVEFORMATEX& format)
{
    if (format.wFormatTag != WAVE_FORMAT_PCM) return std::nullopt;
    if (format.nChannels != 1 && format.nChannels != 2) return std::nullopt;
    if (format.wBitsPerSample != 8 && format.wBitsPerSample != 16) return std::nullopt;
    if (format.nSamplesPerSec < 1000 || format.nSamplesPerSec > 192000) return std::nullopt;
    PcmFormat pcm{format.nSamplesPerSec, format.nChannels, format.wBitsPerSample};
    if (format.nBlockAlign != pcm.frameBytes()) return std::nullopt;
    return pcm;
}

}  // namespace kinolux::winmm
