#include "platform/winmm/wave_out_device.h"

#include "platform/winmm/wave_volume.h"

#include <algorithm>
#include <cstring>

namespace kinolux::winmm {

WaveOutDevice::WaveOutDevice(const PcmFormat& format, std::unique_ptr<WaveSink> sink,
                             const WaveCallbackTarget& callback, DWORD volume)
    : format_(format),
      chunkBytes_(std::max<std::size_t>(1, format.rate / 100) * format.frameBytes()),
      sink_(std::move(sink)),
      callbacks_(callback),
      volume_(volume)
{
    callbacks_.post(WOM_OPEN);
    player_ = std::thread([this] { playUntilStopped(); });
}

WaveOutDevice::~WaveOutDevice()
{
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        wake_.notify_one();
    }
    if (sink_) sink_->interrupt();
    if (player_.joinable()) player_.join();
}

MMRESULT WaveOutDevice::write(WAVEHDR* header)
{
    std::lock_guard lock(mutex_);
    if (closed_) return MMSYSERR_INVALHANDLE;
    header->dwFlags = (header->dwFlags & ~WHDR_DONE) | WHDR_INQUEUE;
    queue_.push_back(header);
    wake_.notify_one();
    return MMSYSERR_NOERROR;
}

void WaveOutDevice::reset()
{
    {
        std::lock_guard lock(mutex_);
        while (!queue_.empty()) finishFront();
        bytesPlayed_ = 0;
        ++resets_;
        discardPending_ = true;
        wake_.notify_one();
    }
    sink_->interrupt();
}

MMRESULT WaveOutDevice::close()
{
    {
        std::lock_guard lock(mutex_);
        if (closed_) return MMSYSERR_INVALHANDLE;
        if (!queue_.empty()) return WAVERR_STILLPLAYING;
        closed_ = true;
        stopping_ = true;
        wake_.notify_one();
    }
    sink_->interrupt();
    player_.join();
    sink_.reset();
    callbacks_.post(WOM_CLOSE);
    callbacks_.finish();
    return MMSYSERR_NOERROR;
}

DWORD WaveOutDevice::volume() const
{
    std::lock_guard lock(mutex_);
    return volume_;
}

void WaveOutDevice::setVolume(DWORD volume)
{
    std::lock_guard lock(mutex_);
    volume_ = volume;
}

std::uint64_t WaveOutDevice::bytesPlayed() const
{
    std::lock_guard lock(mutex_);
    return bytesPlayed_;
}

void WaveOutDevice::finishFront()
{
    WAVEHDR* header = queue_.front();
    queue_.pop_front();
    playedOfFront_ = 0;
    header->dwFlags = (header->dwFlags & ~WHDR_INQUEUE) | WHDR_DONE;
    callbacks_.post(WOM_DONE, reinterpret_cast<DWORD_PTR>(header));
}

// The caller's block memory is read only under the lock, a chunk at a time
// into our own buffer: once reset() has returned the blocks done, the caller
// may free them while the sink still plays the last chunk.
void WaveOutDevice::playUntilStopped()
{
    std::vector<std::uint8_t> chunk;
    std::unique_lock lock(mutex_);
    for (;;) {
        wake_.wait(lock, [&] { return stopping_ || discardPending_ || !queue_.empty(); });
        if (stopping_) return;
        if (discardPending_) {
            discardPending_ = false;
            lock.unlock();
            sink_->discard();
            lock.lock();
            continue;
        }
        const WAVEHDR* header = queue_.front();
        const std::size_t wholeFrames = header->dwBufferLength / format_.frameBytes() * format_.frameBytes();
        const std::size_t size = std::min(chunkBytes_, wholeFrames - std::min(wholeFrames, playedOfFront_));
        if (size == 0) {
            finishFront();
            continue;
        }
        chunk.assign(header->lpData + playedOfFront_, header->lpData + playedOfFront_ + size);
        applyVolume(format_, volume_, chunk.data(), size);
        const std::uint64_t resetsBefore = resets_;
        lock.unlock();
        sink_->play(chunk.data(), size);
        lock.lock();
        if (resets_ != resetsBefore) continue;
        playedOfFront_ += size;
        bytesPlayed_ += size;
    }
}

}  // namespace kinolux::winmm
