// The process-wide interception of the SWF engine's timing and sound calls.
// The engine module imports timeGetTime, waveOutOpen and waveOutWrite from
// libwinmm.so; Install rewrites those import slots so that the calls reach
// the replacements here and in audio_tap.h, which behave by the mode:
//   0 pass-through   real time, the real sound device
//   1 virtual clock  time moves only by ClockAdvance; the device cannot be
//                    opened, so the movie plays silently
//   2 sound capture  real time; the device is muted and every block the
//                    engine writes is copied into the capture buffer
//   3 fast capture   time moves only as a fast conversion sets it (virtual
//                    Now); the device plays on the null device at that
//                    time's pace and every block is captured, as in 2
// The replacements receive no context, so their state lives in the one
// instance that Instance() returns.
#pragma once

#include "platform/clock.h"
#include "platform/winmm/winmm.h"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string_view>

namespace kinolux {

enum InterceptorMode : int { kModePassThrough = 0, kModeVirtualClock = 1, kModeSoundCapture = 2, kModeFastCapture = 3 };

using TimeGetTimeFunction = DWORD (*)();
using WaveOutOpenFunction = MMRESULT (*)(LPHWAVEOUT, UINT, LPCWAVEFORMATEX, DWORD_PTR, DWORD_PTR, DWORD);
using WaveOutWriteFunction = MMRESULT (*)(HWAVEOUT, LPWAVEHDR, UINT);

class CallInterceptor {
public:
    // The instance whose state the replacements use. It is never destroyed:
    // the engine's threads may still call a replacement while the process
    // exits.
    static CallInterceptor& Instance();

    // Requests the finest timer period the machine offers (on every call;
    // it is never released), then, the first time only, finds the engine's
    // module and redirects its three imports. Each import that cannot be
    // redirected is reported ("Cannot hook timeGetTime" and so on) and
    // keeps its normal behaviour.
    void Install();
    void SetMode(int newMode);
    // Moves the clock to real time. Returns 1.
    int ClockReset();
    // Moves the clock to real time if it has never been read. Returns 1.
    int ClockStart();
    // Lets the virtual clock jump at its next reading: by twice `ms`, however
    // many advances were asked for and readings taken in between. Returns 1.
    int ClockAdvance(uint32_t ms);

    // Real time is read from `clock` from now on instead of the machine's
    // timer: a window whose movies play in real time hands it the clock it
    // paces itself by, so that tests can move both by hand. It must outlive
    // its use; null goes back to the machine's timer.
    void UseClock(Clock* clock) { clock_ = clock; }
    Clock* UsedClock() const { return clock_; }

    // Real time in milliseconds: the given clock's reading, else the
    // function the engine's slot held before it was redirected (or the
    // library's own when that import was not redirected).
    DWORD RealTimeGetTime() const;
    // The functions the engine's slots held before they were redirected,
    // or the library's own when that import was not redirected.
    MMRESULT RealWaveOutOpen(LPHWAVEOUT phwo, UINT deviceId, LPCWAVEFORMATEX format, DWORD_PTR callback,
                             DWORD_PTR instance, DWORD flags) const;
    MMRESULT RealWaveOutWrite(HWAVEOUT hwo, LPWAVEHDR header, UINT headerSize) const;

    // 1: failures are written to standard output; 0: shown in message boxes.
    std::atomic<int> consoleMode{0};
    uint32_t timerPeriod = 0;
    int installed = 0;
    std::atomic<int> mode{kModePassThrough};
    std::atomic<uint32_t> virtualNow{0};      // the last reading the engine got, ms
    std::atomic<uint32_t> pendingAdvance{0};  // advance not yet seen by the engine, ms
    std::atomic<TimeGetTimeFunction> realTimeGetTime{nullptr};
    std::atomic<WaveOutOpenFunction> realWaveOutOpen{nullptr};
    std::atomic<WaveOutWriteFunction> realWaveOutWrite{nullptr};
    // Guards the capture buffer and the WAV file of the audio tap.
    std::mutex captureLock;

private:
    void ReportFailure(std::string_view text) const;

    std::atomic<Clock*> clock_{nullptr};
};

// The timeGetTime replacement: the virtual clock in modes 1 and 3, real
// time otherwise.
DWORD VirtualTimeGetTime();

}  // namespace kinolux
