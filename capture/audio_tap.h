// The sound side of the interception: the waveOutOpen and waveOutWrite
// replacements, the capture buffer they fill in sound-capture mode, and the
// WAV writer that drains it at the pace the capturing side chooses (so many
// values per elapsed millisecond). All of it is guarded by the
// interceptor's capture lock.
#pragma once

#include "capture/capture_buffer.h"
#include "capture/wav_file_writer.h"
#include "platform/winmm/winmm.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>

namespace kinolux {

// Both channels at full volume (low word left, high word right).
inline constexpr DWORD kFullVolume = 0xFFFFFFFF;

// Hears of the engine's device in fast-capture mode, on the engine's
// threads: its opening, every block written to it and every block it
// returned done once the engine has handled that (and written the next).
class DeviceWatcher {
public:
    virtual ~DeviceWatcher() = default;
    virtual void DeviceOpened(HWAVEOUT device) = 0;
    virtual void BlockWritten(HWAVEOUT device, uint32_t bytes) = 0;
    virtual void BlockReturned(HWAVEOUT device) = 0;
};

class AudioTap {
public:
    // The instance the replacements feed; never destroyed, like the
    // interceptor's.
    static AudioTap& Instance();

    // Starts a WAV file at `path` (a temporary path of the program's own:
    // any file there is replaced). 1 on success, 0 when it cannot be made.
    int OpenWav(const std::string& path);
    // Empties the buffer and closes the file without completing it.
    void AbandonWav();
    // Moves `count` 16-bit values from the buffer into the file; when fewer
    // are buffered, writes `count` values of silence and keeps what is
    // buffered for later. 1, or 0 when no file is open or the write failed.
    int WriteSamples(uint32_t count);
    // Writes `count` values of silence, whatever is buffered. 1, or 0 when
    // no file is open or the write failed.
    int WriteSilence(uint32_t count);
    // Gives the muted device its volume back and completes and closes the
    // file.
    void CloseWav();

    // A block the engine wrote to the device in a capturing mode.
    void CaptureBlock(const void* bytes, uint32_t byteLength);
    // Moves up to `count` captured values into `out`; the number moved.
    uint32_t ReadCaptured(int16_t* out, uint32_t count);
    // Null, or who hears of the device in fast-capture mode; it must stay
    // until set back to null, after which no call reaches it.
    void SetWatcher(DeviceWatcher* watcher);

    // What the device replacements do with a device that is opened or
    // captured: they run on the engine's threads.
    MMRESULT OpenDevice(LPHWAVEOUT phwo, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                        DWORD_PTR instance, DWORD flags);
    void PassCallback(HWAVEOUT hwo, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2) const;
    void NoteWrite(HWAVEOUT hwo, uint32_t bytes) const;

    const CaptureBuffer& Buffer() const { return buffer_; }
    DWORD SavedVolume() const { return savedVolume_; }

private:
    void RestoreVolume();
    MMRESULT OpenThroughTap(LPHWAVEOUT phwo, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                            DWORD_PTR instance, DWORD flags);

    CaptureBuffer buffer_;
    WavFileWriter wav_;
    std::atomic<LPWAVECALLBACK> controlCallback_{nullptr};  // the engine's own callback
    DeviceWatcher* watcher_ = nullptr;                      // guarded by watcherLock_
    mutable std::mutex watcherLock_;
    HWAVEOUT mutedDevice_ = nullptr;
    DWORD savedVolume_ = kFullVolume;
};

// The replacements installed in the engine's import slots, with exactly the
// signatures of the functions they stand for.
MMRESULT TapWaveOutOpen(LPHWAVEOUT phwo, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                        DWORD_PTR instance, DWORD flags);
MMRESULT TapWaveOutWrite(HWAVEOUT hwo, LPWAVEHDR header, UINT headerSize);
// Handed to the real waveOutOpen in place of the engine's callback.
void TapWaveCallback(HWAVEOUT hwo, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2);

}  // namespace kinolux
