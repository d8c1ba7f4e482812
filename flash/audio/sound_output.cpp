#include "flash/audio/sound_output.h"

#include <algorithm>

namespace kinolux::audio {

namespace {

// The silent clock never moves the mixer on by more than this at once: a
// paused process or a clock jump ends sounds, but costs no long loop.
constexpr DWORD kLongestSilentStepMs = 1000;

}  // namespace

DWORD importedTimeGetTime()
{
    return timeGetTime();
}

SoundOutput::SoundOutput(Mixer& mixer, const SoundOutputConfig& config) : mixer_(mixer), config_(config)
{
    config_.blockFrames = std::max<std::size_t>(1, config_.blockFrames);
    config_.blockCount = std::max<std::size_t>(2, config_.blockCount);
}

SoundOutput::~SoundOutput()
{
    close();
}

MMRESULT SoundOutput::open()
{
    close();
    mixer_.setLead(config_.blockFrames);
    WAVEFORMATEX format{};
    format.wFormatTag = WAVE_FORMAT_PCM;
    format.nChannels = 2;
    format.nSamplesPerSec = kMixRate;
    format.wBitsPerSample = 16;
    format.nBlockAlign = 4;
    format.nAvgBytesPerSec = kMixRate * 4;
    HWAVEOUT device = nullptr;
    const MMRESULT result = waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&onWaveOut),
                                        reinterpret_cast<DWORD_PTR>(this), CALLBACK_FUNCTION);
    if (result != MMSYSERR_NOERROR) {
        silentClockStarted_ = false;
        return result;
    }
    {
        std::lock_guard lock(refillMutex_);
        closing_ = false;
        device_ = device;
        blocks_.assign(config_.blockCount, std::vector<std::int16_t>(2 * config_.blockFrames));
        headers_.assign(config_.blockCount, WAVEHDR{});
        for (std::size_t i = 0; i < config_.blockCount; ++i) {
            headers_[i].lpData = reinterpret_cast<LPSTR>(blocks_[i].data());
            headers_[i].dwBufferLength = DWORD(blocks_[i].size() * sizeof(std::int16_t));
            waveOutPrepareHeader(device_, &headers_[i], sizeof(WAVEHDR));
        }
    }
    for (auto& header : headers_) refill(&header);
    return result;
}

void SoundOutput::tick()
{
    if (device_) return;
    const DWORD now = config_.clock();
    if (!silentClockStarted_) {
        silentClockStarted_ = true;
        silentClock_ = now;
        return;
    }
    const DWORD elapsed = std::min<DWORD>(now - silentClock_, kLongestSilentStepMs);
    silentClock_ = now;
    silentMillisecondRest_ += std::uint64_t(elapsed) * kMixRate;
    mixer_.advance(std::size_t(silentMillisecondRest_ / 1000));
    silentMillisecondRest_ %= 1000;
}

void SoundOutput::close()
{
    if (!device_) return;
    {
        std::lock_guard lock(refillMutex_);
        closing_ = true;
    }
    waveOutReset(device_);
    for (auto& header : headers_) waveOutUnprepareHeader(device_, &header, sizeof(WAVEHDR));
    waveOutClose(device_);
    device_ = nullptr;
    silentClockStarted_ = false;
}

void SoundOutput::onWaveOut(HWAVEOUT, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
{
    if (message == WOM_DONE) reinterpret_cast<SoundOutput*>(instance)->refill(reinterpret_cast<WAVEHDR*>(param1));
}

void SoundOutput::refill(WAVEHDR* header)
{
    std::lock_guard lock(refillMutex_);
    if (closing_) return;
    mixer_.render(reinterpret_cast<std::int16_t*>(header->lpData), header->dwBufferLength / 4);
    waveOutWrite(device_, header, sizeof(WAVEHDR));
}

}  // namespace kinolux::audio
