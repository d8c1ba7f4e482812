// The engine's sound card: plays what the mixer renders through the
// wave-out device, a few blocks ahead, refilling each block when the device
// returns it done. Opened with a plain function callback, which is what the
// capture side can wrap. When the device cannot be opened (no device, or
// the capture's virtual clock refuses it) the movie plays on silently and
// tick() moves the mixer on by the imported clock, so sounds still end at
// the right moments.
#pragma once

#include "flash/audio/mixer.h"

#include "platform/winmm/winmm.h"

#include <mutex>

namespace kinolux::audio {

// timeGetTime read through the module's import slot at every call, so that
// the capture's redirection of it holds.
DWORD importedTimeGetTime();

struct SoundOutputConfig {
    std::size_t blockFrames = 1024;  // 23 ms: each block is mixed this far ahead at least
    std::size_t blockCount = 4;
    DWORD (*clock)() = importedTimeGetTime;  // milliseconds, read while silent
};

class SoundOutput {
public:
    // The mixer must outlive the output.
    explicit SoundOutput(Mixer& mixer, const SoundOutputConfig& config = {});
    ~SoundOutput();  // closes
    SoundOutput(const SoundOutput&) = delete;
    SoundOutput& operator=(const SoundOutput&) = delete;

    // Returns waveOutOpen's result; on failure the output is silent.
    MMRESULT open();
    // Once per movie frame: while silent, moves the mixer on by the time
    // the clock says has passed. Nothing to do while the device plays.
    void tick();
    void close();

    bool audible() const { return device_ != nullptr; }
    // How long after being started a sound is heard, at most: the blocks
    // queued ahead plus the mixer's lead.
    std::size_t latencyFrames() const { return config_.blockFrames * (config_.blockCount + 1); }

private:
    static void onWaveOut(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);
    void refill(WAVEHDR* header);

    Mixer& mixer_;
    SoundOutputConfig config_;
    HWAVEOUT device_ = nullptr;
    std::vector<std::vector<std::int16_t>> blocks_;
    std::vector<WAVEHDR> headers_;
    std::mutex refillMutex_;  // no block is written again once closing_ is set
    bool closing_ = false;
    bool silentClockStarted_ = false;
    DWORD silentClock_ = 0;   // the clock at the last silent tick
    std::uint64_t silentMillisecondRest_ = 0;  // frames * 1000 not yet advanced
};

}  // namespace kinolux::audio
