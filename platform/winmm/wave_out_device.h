// One open wave-out device: a queue of blocks played in order by a player
// thread into a sink, with the volume applied, each block returned done with
// WOM_DONE on the callback thread.
#pragma once

#include "platform/winmm/callback_queue.h"
#include "platform/winmm/pcm_format.h"
#include "platform/winmm/wave_sink.h"

#include <condition_variable>
#include <deque>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

namespace kinolux::winmm {

class WaveOutDevice {
public:
    // Posts WOM_OPEN and starts playing whatever is written.
    WaveOutDevice(const PcmFormat& format, std::unique_ptr<WaveSink> sink,
                  const WaveCallbackTarget& callback, DWORD volume);
    ~WaveOutDevice();
    WaveOutDevice(const WaveOutDevice&) = delete;
    WaveOutDevice& operator=(const WaveOutDevice&) = delete;

    // The header must be prepared and not queued (checked by the caller).
    MMRESULT write(WAVEHDR* header);
    // Returns every queued block as done, in order; the position restarts at 0.
    void reset();
    // WAVERR_STILLPLAYING while blocks are queued; otherwise stops playing,
    // posts WOM_CLOSE and ends the callback thread. Later calls fail with
    // MMSYSERR_INVALHANDLE.
    MMRESULT close();

    DWORD volume() const;
    void setVolume(DWORD volume);
    // Bytes played since opening or the last reset.
    std::uint64_t bytesPlayed() const;
    const PcmFormat& format() const { return format_; }

private:
    void playUntilStopped();
    void finishFront();  // with mutex_ held

    const PcmFormat format_;
    const std::size_t chunkBytes_;  // about 10 ms: how soon a reset or a volume change is heard
    std::unique_ptr<WaveSink> sink_;
    CallbackQueue callbacks_;

    mutable std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<WAVEHDR*> queue_;
    std::size_t playedOfFront_ = 0;  // bytes of queue_.front() already played
    std::uint64_t bytesPlayed_ = 0;
    std::uint64_t resets_ = 0;       // tells the player its chunk was cut short
    bool discardPending_ = false;
    bool stopping_ = false;
    bool closed_ = false;
    DWORD volume_;
    std::thread player_;
};

}  // namespace kinolux::winmm
