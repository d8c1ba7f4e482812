#include "tests/winmm/fake_wave_out.h"

#include "platform/winmm/winmm.h"

#include <deque>
#include <mutex>

using kinolux::testing::FakeWaveOut;

namespace {

const auto kDeviceHandle = reinterpret_cast<HWAVEOUT>(std::uintptr_t(0xFA4E));

struct Device {
    mutable std::mutex mutex;
    bool open = false;
    LPWAVECALLBACK callback = nullptr;
    DWORD_PTR instance = 0;
    std::uint64_t bytesPerSecond = 0;
    DWORD volume = 0xFFFFFFFF;
    std::deque<WAVEHDR*> queue;
    kinolux::Clock::TimePoint frontPlayed{};  // when the front block has been heard whole
    std::vector<std::int16_t> written;
};

// Never destroyed: a device may still be open when the program ends.
Device& device()
{
    static auto* instance = new Device;
    return *instance;
}

std::chrono::nanoseconds playTime(const WAVEHDR& header, std::uint64_t bytesPerSecond)
{
    return std::chrono::nanoseconds(std::uint64_t(header.dwBufferLength) * 1'000'000'000 / bytesPerSecond);
}

// Called with no lock held: the callback writes the next block at once.
void tell(UINT message, DWORD_PTR param)
{
    Device& d = device();
    LPWAVECALLBACK callback = nullptr;
    DWORD_PTR instance = 0;
    {
        std::lock_guard lock(d.mutex);
        callback = d.callback;
        instance = d.instance;
    }
    if (callback) callback(kDeviceHandle, message, instance, param, 0);
}

void finish(WAVEHDR* header) { header->dwFlags = (header->dwFlags & ~DWORD(WHDR_INQUEUE)) | WHDR_DONE; }

bool isOurs(HWAVEOUT hwo)
{
    std::lock_guard lock(device().mutex);
    return device().open && hwo == kDeviceHandle;
}

}  // namespace

namespace kinolux::testing {

FakeWaveOut& FakeWaveOut::instance()
{
    static auto* fake = new FakeWaveOut;
    return *fake;
}

void FakeWaveOut::advance(std::chrono::milliseconds by)
{
    Device& d = device();
    for (auto step = by.count(); step > 0; --step) {
        clock_.advance(std::chrono::milliseconds(1));
        const Clock::TimePoint now = clock_.now();
        for (;;) {
            WAVEHDR* played = nullptr;
            {
                std::lock_guard lock(d.mutex);
                if (d.queue.empty() || d.frontPlayed > now) break;
                played = d.queue.front();
                d.queue.pop_front();
                finish(played);
                // The next block follows without a gap, however late the step.
                if (!d.queue.empty()) d.frontPlayed += playTime(*d.queue.front(), d.bytesPerSecond);
            }
            tell(WOM_DONE, reinterpret_cast<DWORD_PTR>(played));
        }
    }
}

std::vector<std::int16_t> FakeWaveOut::takeWritten()
{
    std::lock_guard lock(device().mutex);
    std::vector<std::int16_t> taken;
    taken.swap(device().written);
    return taken;
}

std::size_t FakeWaveOut::writtenValues() const
{
    std::lock_guard lock(device().mutex);
    return device().written.size();
}

bool FakeWaveOut::isOpen() const
{
    std::lock_guard lock(device().mutex);
    return device().open;
}

}  // namespace kinolux::testing

extern "C" {

DWORD timeGetTime(void)
{
    const auto sinceStart = FakeWaveOut::instance().clock().now().time_since_epoch();
    return DWORD(std::chrono::duration_cast<std::chrono::milliseconds>(sinceStart).count());
}

UINT waveOutGetNumDevs(void) { return 1; }

MMRESULT waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx, DWORD_PTR dwCallback, DWORD_PTR dwInstance,
                     DWORD fdwOpen)
{
    if (!pwfx || (fdwOpen & CALLBACK_TYPEMASK) != CALLBACK_FUNCTION || !dwCallback) return MMSYSERR_INVALPARAM;
    if (uDeviceID != 0 && uDeviceID != WAVE_MAPPER) return MMSYSERR_BADDEVICEID;
    if (pwfx->wFormatTag != WAVE_FORMAT_PCM || pwfx->nSamplesPerSec == 0 || pwfx->nBlockAlign == 0)
        return WAVERR_BADFORMAT;
    if (fdwOpen & WAVE_FORMAT_QUERY) return MMSYSERR_NOERROR;
    if (!phwo) return MMSYSERR_INVALPARAM;
    Device& d = device();
    {
        std::lock_guard lock(d.mutex);
        if (d.open) return MMSYSERR_ALLOCATED;
        d.open = true;
        d.callback = reinterpret_cast<LPWAVECALLBACK>(dwCallback);
        d.instance = dwInstance;
        d.bytesPerSecond = std::uint64_t(pwfx->nSamplesPerSec) * pwfx->nBlockAlign;
    }
    *phwo = kDeviceHandle;
    tell(WOM_OPEN, 0);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    if (!isOurs(hwo)) return MMSYSERR_INVALHANDLE;
    if (!pwh || cbwh < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    pwh->dwFlags |= WHDR_PREPARED;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    if (!isOurs(hwo)) return MMSYSERR_INVALHANDLE;
    if (!pwh || cbwh < sizeof(WAVEHDR)) return MMSYSERR_INVALPARAM;
    if (pwh->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    pwh->dwFlags &= ~DWORD(WHDR_PREPARED);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh)
{
    if (!isOurs(hwo)) return MMSYSERR_INVALHANDLE;
    if (!pwh || cbwh < sizeof(WAVEHDR) || !pwh->lpData) return MMSYSERR_INVALPARAM;
    if (!(pwh->dwFlags & WHDR_PREPARED)) return WAVERR_UNPREPARED;
    if (pwh->dwFlags & WHDR_INQUEUE) return WAVERR_STILLPLAYING;
    Device& d = device();
    std::lock_guard lock(d.mutex);
    pwh->dwFlags = (pwh->dwFlags & ~DWORD(WHDR_DONE)) | WHDR_INQUEUE;
    const auto* values = reinterpret_cast<const std::int16_t*>(pwh->lpData);
    d.written.insert(d.written.end(), values, values + pwh->dwBufferLength / 2);
    // A block written to an idle device starts playing now.
    if (d.queue.empty()) d.frontPlayed = FakeWaveOut::instance().clock().now() + playTime(*pwh, d.bytesPerSecond);
    d.queue.push_back(pwh);
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutReset(HWAVEOUT hwo)
{
    if (!isOurs(hwo)) return MMSYSERR_INVALHANDLE;
    std::deque<WAVEHDR*> dropped;
    {
        std::lock_guard lock(device().mutex);
        dropped.swap(device().queue);
        for (WAVEHDR* header : dropped) finish(header);
    }
    for (WAVEHDR* header : dropped) tell(WOM_DONE, reinterpret_cast<DWORD_PTR>(header));
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutClose(HWAVEOUT hwo)
{
    if (!isOurs(hwo)) return MMSYSERR_INVALHANDLE;
    {
        std::lock_guard lock(device().mutex);
        if (!device().queue.empty()) return WAVERR_STILLPLAYING;
    }
    tell(WOM_CLOSE, 0);
    std::lock_guard lock(device().mutex);
    device().open = false;
    device().callback = nullptr;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutGetVolume(HWAVEOUT hwo, DWORD* pdwVolume)
{
    if (!isOurs(hwo)) return MMSYSERR_INVALHANDLE;
    if (!pdwVolume) return MMSYSERR_INVALPARAM;
    std::lock_guard lock(device().mutex);
    *pdwVolume = device().volume;
    return MMSYSERR_NOERROR;
}

MMRESULT waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume)
{
    if (!isOurs(hwo)) return MMSYSERR_INVALHANDLE;
    std::lock_guard lock(device().mutex);
    device().volume = dwVolume;
    return MMSYSERR_NOERROR;
}

}  // extern "C"
