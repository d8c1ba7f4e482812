/* The multimedia library: time and wave-out, with the C interface, names,
 * structures and constants of Windows' WINMM.
 *
 * The SWF engine module imports these functions through its global offset
 * table (plain calls, never pointers looked up at run time), so the capture
 * side can redirect its timeGetTime, waveOutOpen and waveOutWrite.
 *
 * Wave-out plays on PulseAudio where a server answers, otherwise on a null
 * device that consumes every block at the real-time rate of its format, so
 * a movie keeps its pace on a machine without sound. The environment
 * variable KINOLUX_AUDIO chooses: "auto" (or unset), "null" (always the null
 * device) or "none" (no device at all: waveOutGetNumDevs gives 0 and
 * waveOutOpen fails with MMSYSERR_NODRIVER).
 *
 * Callbacks (WOM_OPEN, WOM_DONE, WOM_CLOSE) arrive on a callback thread of
 * the device, in order, with no lock held: a callback may call waveOutWrite,
 * waveOutReset and the other functions on its own device, and may even close
 * it. Every function is thread-safe. */
#ifndef KINOLUX_WINMM_H
#define KINOLUX_WINMM_H

#include <stdint.h>

#ifdef __cplusplus
extern "C" {
#endif

#define WINMMAPI __attribute__((visibility("default")))

typedef uint8_t BYTE;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef unsigned int UINT;
typedef uintptr_t DWORD_PTR;
typedef char* LPSTR;
typedef UINT MMRESULT;

typedef struct HWAVEOUT__* HWAVEOUT;
typedef HWAVEOUT* LPHWAVEOUT;

/* Results */
#define MMSYSERR_NOERROR 0
#define MMSYSERR_ERROR 1
#define MMSYSERR_BADDEVICEID 2
#define MMSYSERR_NOTENABLED 3
#define MMSYSERR_ALLOCATED 4
#define MMSYSERR_INVALHANDLE 5
#define MMSYSERR_NODRIVER 6
#define MMSYSERR_NOMEM 7
#define MMSYSERR_NOTSUPPORTED 8
#define MMSYSERR_BADERRNUM 9
#define MMSYSERR_INVALFLAG 10
#define MMSYSERR_INVALPARAM 11
#define MMSYSERR_HANDLEBUSY 12
#define WAVERR_BADFORMAT 32
#define WAVERR_STILLPLAYING 33
#define WAVERR_UNPREPARED 34
#define WAVERR_SYNC 35
#define TIMERR_NOERROR 0
#define TIMERR_NOCANDO 97

/* Device identifiers and waveOutOpen flags */
#define WAVE_MAPPER ((UINT)-1)
#define WAVE_FORMAT_QUERY 0x0001
#define CALLBACK_TYPEMASK 0x00070000
#define CALLBACK_NULL 0x00000000
#define CALLBACK_WINDOW 0x00010000
#define CALLBACK_THREAD 0x00020000
#define CALLBACK_FUNCTION 0x00030000
#define CALLBACK_EVENT 0x00050000

/* Callback messages */
#define WOM_OPEN 0x3BB
#define WOM_CLOSE 0x3BC
#define WOM_DONE 0x3BD

/* WAVEHDR.dwFlags */
#define WHDR_DONE 0x00000001
#define WHDR_PREPARED 0x00000002
#define WHDR_BEGINLOOP 0x00000004
#define WHDR_ENDLOOP 0x00000008
#define WHDR_INQUEUE 0x00000010

/* MMTIME.wType */
#define TIME_MS 0x0001
#define TIME_SAMPLES 0x0002
#define TIME_BYTES 0x0004

#define WAVE_FORMAT_PCM 1

#pragma pack(push, 1)
typedef struct tWAVEFORMATEX {
    WORD wFormatTag;
    WORD nChannels;
    DWORD nSamplesPerSec;
    DWORD nAvgBytesPerSec;
    WORD nBlockAlign;
    WORD wBitsPerSample;
    WORD cbSize;
} WAVEFORMATEX;
#pragma pack(pop)
typedef WAVEFORMATEX* LPWAVEFORMATEX;
typedef const WAVEFORMATEX* LPCWAVEFORMATEX;

typedef struct wavehdr_tag {
    LPSTR lpData;
    DWORD dwBufferLength;
    DWORD dwBytesRecorded;
    DWORD_PTR dwUser;
    DWORD dwFlags;
    DWORD dwLoops;
    struct wavehdr_tag* lpNext;
    DWORD_PTR reserved;
} WAVEHDR;
typedef WAVEHDR* LPWAVEHDR;

typedef struct mmtime_tag {
    UINT wType;
    union {
        DWORD ms;
        DWORD sample;
        DWORD cb;
        DWORD ticks;
        struct {
            BYTE hour, min, sec, frame, fps, dummy;
            BYTE pad[2];
        } smpte;
        struct {
            DWORD songptrpos;
        } midi;
    } u;
} MMTIME;
typedef MMTIME* LPMMTIME;

typedef struct timecaps_tag {
    UINT wPeriodMin;
    UINT wPeriodMax;
} TIMECAPS;
typedef TIMECAPS* LPTIMECAPS;

/* The wave-out callback handed to waveOutOpen (as a DWORD_PTR) with
 * CALLBACK_FUNCTION. For WOM_DONE, dwParam1 is the finished WAVEHDR. */
typedef void WAVECALLBACK(HWAVEOUT hwo, UINT uMsg, DWORD_PTR dwInstance,
                          DWORD_PTR dwParam1, DWORD_PTR dwParam2);
typedef WAVECALLBACK* LPWAVECALLBACK;

/* Time: milliseconds of the monotonic clock, wrapping at 2^32. */
WINMMAPI DWORD timeGetTime(void);
WINMMAPI MMRESULT timeGetDevCaps(LPTIMECAPS ptc, UINT cbtc);
WINMMAPI MMRESULT timeBeginPeriod(UINT uPeriod);
WINMMAPI MMRESULT timeEndPeriod(UINT uPeriod);

/* Wave-out. Device 0 (or WAVE_MAPPER) is the one device; formats are PCM,
 * 8 or 16 bits, 1 or 2 channels. Volume: low word left, high word right,
 * 0xFFFF full; mono uses the low word. A device identifier (0 or
 * WAVE_MAPPER) in place of a handle reads or sets the volume that devices
 * opened later start with. */
WINMMAPI UINT waveOutGetNumDevs(void);
WINMMAPI MMRESULT waveOutOpen(LPHWAVEOUT phwo, UINT uDeviceID, LPCWAVEFORMATEX pwfx,
                              DWORD_PTR dwCallback, DWORD_PTR dwInstance, DWORD fdwOpen);
WINMMAPI MMRESULT waveOutPrepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
WINMMAPI MMRESULT waveOutUnprepareHeader(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
WINMMAPI MMRESULT waveOutWrite(HWAVEOUT hwo, LPWAVEHDR pwh, UINT cbwh);
WINMMAPI MMRESULT waveOutReset(HWAVEOUT hwo);
WINMMAPI MMRESULT waveOutClose(HWAVEOUT hwo);
WINMMAPI MMRESULT waveOutGetVolume(HWAVEOUT hwo, DWORD* pdwVolume);
WINMMAPI MMRESULT waveOutSetVolume(HWAVEOUT hwo, DWORD dwVolume);
WINMMAPI MMRESULT waveOutGetPosition(HWAVEOUT hwo, LPMMTIME pmmt, UINT cbmmt);

#ifdef __cplusplus
}
#endif

#endif
