// The pace of the null wave-out device through the WINMM entries: a second
// of 44.1 kHz stereo in 50 ms blocks, each refilled from its WOM_DONE
// callback as the engine's sound output does. The counter pace is the sound
// played divided by the wall time it took (1.0 is real time); latest_ms is
// how much later than its sound's end the latest block came back.
#include "platform/winmm/winmm.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kBlockMs = 50;
constexpr int kBlocksPlayed = 1000 / kBlockMs;

struct Refiller {
    std::mutex mutex;
    std::condition_variable done;
    Clock::time_point start;
    int returned = 0;
    double latestMs = 0;

    static void callback(HWAVEOUT device, UINT message, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
    {
        if (message != WOM_DONE) return;
        auto* self = reinterpret_cast<Refiller*>(instance);
        std::lock_guard lock(self->mutex);
        ++self->returned;
        const double dueMs = double(self->returned * kBlockMs);
        const double atMs = std::chrono::duration<double, std::milli>(Clock::now() - self->start).count();
        self->latestMs = std::max(self->latestMs, atMs - dueMs);
        // Two blocks are queued at first: the last two returns need no refill.
        if (self->returned + 2 <= kBlocksPlayed) waveOutWrite(device, reinterpret_cast<LPWAVEHDR>(param1), sizeof(WAVEHDR));
        self->done.notify_all();
    }
};

void NullDevicePace(benchmark::State& state)
{
    setenv("KINOLUX_AUDIO", "null", 1);
    // 44.1 kHz 16-bit stereo: 4 bytes a frame.
    const WAVEFORMATEX format{WAVE_FORMAT_PCM, 2, 44100, 44100 * 4, 4, 16, 0};
    for (auto _ : state) {
        Refiller refiller;
        HWAVEOUT device = nullptr;
        if (waveOutOpen(&device, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&Refiller::callback),
                        reinterpret_cast<DWORD_PTR>(&refiller), CALLBACK_FUNCTION) != MMSYSERR_NOERROR) {
            state.SkipWithError("the null device did not open");
            return;
        }
        std::vector<std::vector<char>> blocks(2, std::vector<char>(44100 * 4 * kBlockMs / 1000));
        std::vector<WAVEHDR> headers(2);
        refiller.start = Clock::now();
        for (std::size_t i = 0; i < 2; ++i) {
            headers[i].lpData = blocks[i].data();
            headers[i].dwBufferLength = DWORD(blocks[i].size());
            waveOutPrepareHeader(device, &headers[i], sizeof(WAVEHDR));
            waveOutWrite(device, &headers[i], sizeof(WAVEHDR));
        }
        std::unique_lock lock(refiller.mutex);
        refiller.done.wait(lock, [&] { return refiller.returned == kBlocksPlayed; });
        const double wallSeconds = std::chrono::duration<double>(Clock::now() - refiller.start).count();
        lock.unlock();
        for (auto& header : headers) waveOutUnprepareHeader(device, &header, sizeof(WAVEHDR));
        waveOutClose(device);
        state.counters["pace"] = 1.0 / wallSeconds;
        state.counters["latest_ms"] = refiller.latestMs;
    }
}
BENCHMARK(NullDevicePace)->Iterations(3)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
