// The wave-out entries: argument checks, and the table that turns handles
// into open devices. Handles are numbers never reused in a process, so a
// stale handle gets MMSYSERR_INVALHANDLE instead of reaching freed memory.
#include "platform/winmm/wave_out_device.h"
#include "platform/winmm/wave_sink_choice.h"

#include <memory>
#include <mutex>
#include <unordered_map>
#include <utility>

using kinolux::winmm::WaveOutDevice;

namespace {

constexpr DWORD kFullVolume = 0xFFFFFFFF;

struct DeviceTable {
    std::mutex mutex;
    std::unordered_map<std::uintptr_t, std::shared_ptr<WaveOutDevice>> devices;
    std::uintptr_t nextHandle = 0x1000;
    DWORD volumeForNewDevices = kFullVolume;
};

// Never destroyed: devices still open at exit keep their threads, and no
// static destructor runs while a callback is under way.
DeviceTable& table()
{
    static auto* devices = new DeviceTable;
    return *devices;
}

std::shared_ptr<WaveOutDevice> deviceOf(HWAVEOUT hwo)
{
    auto& t = table();
    std::lock_guard lock(t.mutex);
    const auto found = t.devices.find(reinterpret_cast<std::uintptr_t>(hwo));
    return found == t.devices.end() ? nullptr : found->second;
}

bool isDeviceId(HWAVEOUT hwo)
{
    const auto id = reinterpret_cast<std::uintptr_t>(hwo);
    return id == 0 || id == WAVE_MAPPER;
}

bool isHeader(const WAVEHDR* pwh, UINT cbwh)
{
    return pwh && cbwh >= sizeof(WAVEHDR);
}

}  // namespace

extern "C" {

UINT waveOutGetNumDevs(void)
{
    return kinolux::winmm::waveOutDeviceExists() ? 1 : 0;
}

MMRESULT waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx, DWORD_PTR dwCallback,
                     DWORD_PTR dwInstance, DWORD fdwOpen)
{
    if (!pwfx) return MMSYSERR_INVALPARAM;
    if (!kinolux::winmm::waveOutDeviceExists()) return MMSYSERR_NODRIVER;
    if (uDeviceID != 0 && uDeviceID != WAVE_MAPPER) return MMSYSERR_BADDEVICEID;
    const DWORD callbackType = fdwOpen & CALLBACK_TYPEMASK;
    if (callbackType != CALLBACK_NULL && callbackType != CALLBACK_FUNCTION) return MMSYSERR_INVALFLAG;
    if (callbackType == CALLBACK_FUNCTION && !dwCallback) return MMSYSERR_INVALPARAM;
    const auto format = kinolux::winmm::pcmFormatOf(*pwfx);
    if (!format) return WAVERR_BADFORMAT;
    if (fdwOpen & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
    if (!phwo) return MMSYSERR_INVALPARAM;

    auto sink = kinolux::winmm::openWaveSink(*format);  // may take a moment: outside the lock
    auto& t = table();
    std::lock_guard lock(t.mutex);
    const std::uintptr_t id = t.nextHandle++;
    const auto handle = reinterpret_cast<HWAVEOUT>(id);
    kinolux::winmm::WaveCallbackTarget callback;
    if (callbackType == CALLBACK_FUNCTION)
        callback = {reinterpret_cast<LPWAVECALLBACK>(dwCallback), handle, dwInstance};
    // The handle is stored before WOM_OPEN can reach the caller's callback.
    *phwo = handle;
    t.devices[id] = std::make_shared<WaveOutDevice>(*format, std::move(sink), callback,
                                                    t.volumeForNewDevices);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    if (!deviceOf(hwo)) return MMSYSERR_INVALHANDLE;
    if (!isHeader(pwh, cbwh) || (!pwh->lpData && pwh->dwBufferLength)) return MMSYSERR_INVALPARAM;
    pwh->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    if (!deviceOf(hwo)) return MMSYSERR_INVALHANDLE;
    if (!isHeader(pwh, cbwh)) return MMSYSERR_INVALPARAM;
    if (pwh->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    pwh->dwFlags &= ~WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    const auto device = deviceOf(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    if (!isHeader(pwh, cbwh) || (!pwh->lpData && pwh->dwBufferLength)) return MMSYSERR_INVALPARAM;
    if (!(pwh->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (pwh->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    return device->write(pwh);
}

MMRESULT waveOutReset(HWAVEOUT hwo)
{
    const auto device = deviceOf(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    device->reset();
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT hwo)
{
    const auto device = deviceOf(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    const MMRESULT result = device->close();
    if (result == MMSYSERR_NOERROR) {
        auto& t = table();
        std::lock_guard lock(t.mutex);
        t.devices.erase(reinterpret_cast<std::uintptr_t>(hwo));
    }
    return result;
}

MMRESULT waveOutGetVolume(HWAVEOUT hwo, DWORD* pdwVolume)
{
    if (!pdwVolume) return MMSYSERR_INVALPARAM;
    if (const auto device = deviceOf(hwo)) {
        *pdwVolume = device->volume();
        return MMSYSERR_NOERROR;
    }
    if (!isDeviceId(hwo)) return MMSYSERR_INVALHANDLE;
    auto& t = table();
    std::lock_guard lock(t.mutex);
    *pdwVolume = t.volumeForNewDevices;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume)
{
    if (const auto device = deviceOf(hwo)) {
        device->setVolume(dwVolume);
        return MMSYSERR_NOERROR;
    }
    if (!isDeviceId(hwo)) return MMSYSERR_INVALHANDLE;
    auto& t = table();
    std::lock_guard lock(t.mutex);
    t.volumeForNewDevices = dwVolume;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetPosition(HWAVEOUT hwo, LPMMTIME pmmt, UINT cbmmt)
{
    const auto device = deviceOf(hwo);
    if (!device) return MMSYSERR_INVALHANDLE;
    if (!pmmt || cbmmt < sizeof(MMTIME)) return MMSYSERR_INVALPARAM;
    const std::uint64_t bytes = device->bytesPlayed();
    const auto& format = device->format();
    switch (pmmt->wType) {
    case TIME_SAMPLES:
        pmmt->u.sample = DWORD(bytes / format.frameBytes());
        break;
    case TIME_MS:
        pmmt->u.ms = DWORD(bytes * 1000 / format.bytesPerSecond());
        break;
    default:  // the types a device cannot give fall back to bytes, as Windows does
        pmmt->wType = TIME_BYTES;
        pmmt->u.cb = DWORD(bytes);
        break;
    }
    return MMSYSERR_NOERROR;
}

}  // extern "C"
