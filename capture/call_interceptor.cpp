#include "capture/call_interceptor.h"

#include "capture/audio_tap.h"
#include "capture/flash_module.h"
#include "capture/import_patcher.h"
#include "platform/report.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

namespace kinolux {

namespace {

// The function the engine's slot held before, or null when the engine does
// not import `name` or the slot could not be rewritten.
template <typename Function>
Function Redirect(ModuleHandle module, const char* name, Function replacement) {
    const HookEntry entry{name, reinterpret_cast<const void*>(replacement)};
    const void* previous = nullptr;
    PatchImports(module, "WINMM.DLL", 1, &entry, &previous, nullptr);
    return reinterpret_cast<Function>(const_cast<void*>(previous));
}

}  // namespace

CallInterceptor& CallInterceptor::Instance() {
    static auto* instance = new CallInterceptor;
    return *instance;
}

void CallInterceptor::Install() {
    TIMECAPS caps{};
    if (timeGetDevCaps(&caps, sizeof caps) == TIMERR_NOERROR) {
        timerPeriod = std::min(std::max(caps.wPeriodMin, 1u), caps.wPeriodMax);
        timeBeginPeriod(timerPeriod);
    }
    if (installed) return;
    installed = 1;

    // Made here rather than by the engine's first sound block, on its thread.
    AudioTap::Instance();
    const ModuleHandle module = FindFlashModule();
    realTimeGetTime = Redirect<TimeGetTimeFunction>(module, "timeGetTime", &VirtualTimeGetTime);
    if (!realTimeGetTime) ReportFailure("Cannot hook timeGetTime");
    realWaveOutOpen = Redirect<WaveOutOpenFunction>(module, "waveOutOpen", &TapWaveOutOpen);
    if (!realWaveOutOpen) ReportFailure("Cannot hook waveOutOpen");
    realWaveOutWrite = Redirect<WaveOutWriteFunction>(module, "waveOutWrite", &TapWaveOutWrite);
    if (!realWaveOutWrite) ReportFailure("Cannot hook waveOutWrite");
}

void CallInterceptor::SetMode(int newMode) { mode = newMode; }

int CallInterceptor::ClockReset() {
    virtualNow = RealTimeGetTime();
    return 1;
}

int CallInterceptor::ClockStart() {
    uint32_t neverRead = 0;
    virtualNow.compare_exchange_strong(neverRead, RealTimeGetTime());
    return 1;
}

int CallInterceptor::ClockAdvance(uint32_t ms) {
    pendingAdvance += ms;
    return 1;
}

DWORD CallInterceptor::RealTimeGetTime() const {
    if (const Clock* clock = clock_) {
        using std::chrono::milliseconds;
        return static_cast<DWORD>(std::chrono::duration_cast<milliseconds>(clock->now().time_since_epoch()).count());
    }
    const TimeGetTimeFunction real = realTimeGetTime;
    return real ? real() : ::timeGetTime();
}

MMRESULT CallInterceptor::RealWaveOutOpen(LPHWAVEOUT phwo, UINT deviceId, LPCWAVEFORMATEX format,
                                          DWORD_PTR callback, DWORD_PTR instance, DWORD flags) const {
    const WaveOutOpenFunction real = realWaveOutOpen;
    return (real ? real : &::waveOutOpen)(phwo, deviceId, format, callback, instance, flags);
}

MMRESULT CallInterceptor::RealWaveOutWrite(HWAVEOUT hwo, LPWAVEHDR header, UINT headerSize) const {
    const WaveOutWriteFunction real = realWaveOutWrite;
    return (real ? real : &::waveOutWrite)(hwo, header, headerSize);
}

void CallInterceptor::ReportFailure(std::string_view text) const {
    if (!consoleMode) {
        ReportMessage(text);
        return;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    std::fputc('\n', stdout);
    std::fflush(stdout);
}

DWORD VirtualTimeGetTime() {
    CallInterceptor& interceptor = CallInterceptor::Instance();
    if (interceptor.mode == kModeVirtualClock) {
        const uint32_t jump = 2 * interceptor.pendingAdvance.exchange(0);
        return interceptor.virtualNow.fetch_add(jump) + jump;
    }
    // A fast conversion sets the reading itself as it steps the movie.
    if (interceptor.mode == kModeFastCapture) return interceptor.virtualNow;
    const DWORD now = interceptor.RealTimeGetTime();
    interceptor.virtualNow = now;
    return now;
}

}  // namespace kinolux
