#include "capture/audio_tap.h"

#include "capture/call_interceptor.h"

#include <algorithm>
#include <mutex>

namespace kinolux {

namespace {
std::mutex& CaptureLock() { return CallInterceptor::Instance().captureLock; }
}  // namespace

AudioTap& AudioTap::Instance() {
    static auto* instance = new AudioTap;
    return *instance;
}

int AudioTap::OpenWav(const std::string& path) {
    std::lock_guard lock(CaptureLock());
    return wav_.Open(path) ? 1 : 0;
}

void AudioTap::AbandonWav() {
    std::lock_guard lock(CaptureLock());
    buffer_.Clear();
    wav_.Abandon();
}

int AudioTap::WriteSamples(uint32_t count) {
    std::lock_guard lock(CaptureLock());
    if (!wav_.IsOpen()) return 0;
    const int16_t* values = buffer_.Take(count);
    return (values ? wav_.Write(values, count) : wav_.WriteSilence(count)) ? 1 : 0;
}

int AudioTap::WriteSilence(uint32_t count) {
    std::lock_guard lock(CaptureLock());
    if (!wav_.IsOpen()) return 0;
    return wav_.WriteSilence(count) ? 1 : 0;
}

void AudioTap::CloseWav() {
    std::lock_guard lock(CaptureLock());
    RestoreVolume();
    wav_.Close();
}

void AudioTap::RestoreVolume() {
    if (!mutedDevice_) return;
    waveOutSetVolume(mutedDevice_, savedVolume_);
    mutedDevice_ = nullptr;
    savedVolume_ = kFullVolume;
}

void AudioTap::CaptureBlock(const void* bytes, uint32_t byteLength) {
    std::lock_guard lock(CaptureLock());
    buffer_.Append(bytes, byteLength);
}

uint32_t AudioTap::ReadCaptured(int16_t* out, uint32_t count) {
    std::lock_guard lock(CaptureLock());
    const uint32_t n = std::min(count, buffer_.Available());
    if (n > 0) std::copy_n(buffer_.Take(n), n, out);
    return n;
}

void AudioTap::SetWatcher(DeviceWatcher* watcher) {
    std::lock_guard lock(watcherLock_);
    watcher_ = watcher;
}

void AudioTap::NoteWrite(HWAVEOUT hwo, uint32_t bytes) const {
    std::lock_guard lock(watcherLock_);
    if (watcher_) watcher_->BlockWritten(hwo, bytes);
}

// The device calls the tap, which hands each block to the capture and then
// to the control's own callback.
MMRESULT AudioTap::OpenThroughTap(LPHWAVEOUT phwo, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                                  DWORD_PTR instance, DWORD flags) {
    // Saved before the open: the device may call back during it.
    controlCallback_ = reinterpret_cast<LPWAVECALLBACK>(callback);
    return CallInterceptor::Instance().RealWaveOutOpen(phwo, deviceId, format,
                                                       reinterpret_cast<DWORD_PTR>(&TapWaveCallback), instance, flags);
}

MMRESULT AudioTap::OpenDevice(LPHWAVEOUT phwo, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                              DWORD_PTR instance, DWORD flags) {
    const CallInterceptor& interceptor = CallInterceptor::Instance();
    const int mode = interceptor.mode;
    switch (mode) {
    case kModePassThrough: {
        const MMRESULT result = interceptor.RealWaveOutOpen(phwo, deviceId, format, callback, instance, flags);
        if (result == MMSYSERR_NOERROR && phwo && !(flags & WAVE_FORMAT_QUERY)) {
            std::lock_guard lock(CaptureLock());
            waveOutSetVolume(*phwo, savedVolume_);
        }
        return result;
    }
    case kModeSoundCapture:
    case kModeFastCapture: {
        if (flags != CALLBACK_FUNCTION)
            return interceptor.RealWaveOutOpen(phwo, deviceId, format, callback, instance, flags);
        const MMRESULT result = OpenThroughTap(phwo, deviceId, format, callback, instance, flags);
        if (result != MMSYSERR_NOERROR || !phwo) return result;
        if (mode == kModeSoundCapture) {
            // The sound is taken from the tap, so the device plays silence.
            std::lock_guard lock(CaptureLock());
            if (waveOutGetVolume(*phwo, &savedVolume_) == MMSYSERR_NOERROR) mutedDevice_ = *phwo;
            waveOutSetVolume(*phwo, 0);
        } else {
            std::lock_guard lock(watcherLock_);
            if (watcher_) watcher_->DeviceOpened(*phwo);
        }
        return result;
    }
    default:  // the virtual clock, and any mode this program does not know
        return MMSYSERR_NODRIVER;
    }
}

void AudioTap::PassCallback(HWAVEOUT hwo, UINT message, DWORD_PTR instance, DWORD_PTR param1,
                            DWORD_PTR param2) const {
    if (const LPWAVECALLBACK callback = controlCallback_) callback(hwo, message, instance, param1, param2);
    if (message != WOM_DONE) return;
    std::lock_guard lock(watcherLock_);
    if (watcher_) watcher_->BlockReturned(hwo);
}

MMRESULT TapWaveOutOpen(LPHWAVEOUT phwo, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                        DWORD_PTR instance, DWORD flags) {
    return AudioTap::Instance().OpenDevice(phwo, deviceId, format, callback, instance, flags);
}

MMRESULT TapWaveOutWrite(HWAVEOUT hwo, LPWAVEHDR header, UINT headerSize) {
    const CallInterceptor& interceptor = CallInterceptor::Instance();
    // The block is copied as the engine made it; the device plays it muted
    // (or on the null device, in fast capture).
    const int mode = interceptor.mode;
    if ((mode == kModeSoundCapture || mode == kModeFastCapture) && header && headerSize >= sizeof(WAVEHDR) &&
        header->lpData) {
        AudioTap::Instance().CaptureBlock(header->lpData, header->dwBufferLength);
        if (mode == kModeFastCapture) AudioTap::Instance().NoteWrite(hwo, header->dwBufferLength);
    }
    return interceptor.RealWaveOutWrite(hwo, header, headerSize);
}

void TapWaveCallback(HWAVEOUT hwo, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR param2) {
    AudioTap::Instance().PassCallback(hwo, message, instance, param1, param2);
}

}  // namespace kinolux
