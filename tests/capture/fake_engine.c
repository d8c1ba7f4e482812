/* A stand-in for the SWF engine module: it reaches the three functions the
 * capture side redirects the way the engine does, through plain calls that
 * go through its global offset table. It also keeps the address of
 * timeGetTime, which moves that import into a data slot (GLOB_DAT) while
 * the wave-out calls keep their jump slots, so both kinds are covered.
 * Built with FAKE_ENGINE_CLOCK_BY_POINTER it looks timeGetTime up at run
 * time instead, so it has no slot for it at all. */
#include "platform/winmm/winmm.h"

#include <dlfcn.h>

#define FAKE_ENGINE_API __attribute__((visibility("default")))

FAKE_ENGINE_API DWORD FakeEngineTime(void)
{
#ifdef FAKE_ENGINE_CLOCK_BY_POINTER
    DWORD (*clock)(void) = (DWORD (*)(void))dlsym(RTLD_DEFAULT, "timeGetTime");
    return clock ? clock() : 0;
#else
    return timeGetTime();
#endif
}

FAKE_ENGINE_API void* FakeEngineClockAddress(void)
{
#ifdef FAKE_ENGINE_CLOCK_BY_POINTER
    return dlsym(RTLD_DEFAULT, "timeGetTime");
#else
    return (void*)&timeGetTime;
#endif
}

FAKE_ENGINE_API MMRESULT FakeEngineOpen(LPHWAVEOUT phwo, LPCWAVEFORMATEX format, DWORD_PTR callback,
                                        DWORD_PTR instance, DWORD flags)
{
    return waveOutOpen(phwo, WAVE_MAPPER, format, callback, instance, flags);
}

FAKE_ENGINE_API MMRESULT FakeEngineWrite(HWAVEOUT hwo, LPWAVEHDR header)
{
    return waveOutWrite(hwo, header, sizeof(WAVEHDR));
}
