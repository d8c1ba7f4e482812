// The wave-out entries on the null device (KINOLUX_AUDIO=null): callbacks in
// order on one callback thread, reset, close, volume, and the answers to
// wrong calls. The device's real-time pace is the null sink's, tested on a
// clock moved by hand; bench/winmm measures it through these entries.
#include "platform/winmm/winmm.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <cstdlib>
#include <mutex>
#include <thread>
#include <vector>

namespace {

struct Event {
    UINT message;
    DWORD_PTR param1;
    std::thread::id thread;
};

// Collects callbacks; optionally acts on them from the callback thread.
struct Recorder {
    std::mutex mutex;
    std::condition_variable changed;
    std::vector<Event> events;
    HWAVEOUT device = nullptr;
    int rewritesLeft = 0;          // WOM_DONE writes the block again while > 0
    bool closeOnLastDone = false;  // the last WOM_DONE closes the device
    MMRESULT closeResult = MMSYSERR_ERROR;

    static void callback(HWAVEOUT hwo, UINT msg, DWORD_PTR instance, DWORD_PTR param1, DWORD_PTR)
    {
        auto* self = reinterpret_cast<Recorder*>(instance);
        bool rewrite = false, close = false;
        {
            std::lock_guard lock(self->mutex);
            self->events.push_back({msg, param1, std::this_thread::get_id()});
            if (msg == WOM_DONE && self->rewritesLeft > 0) {
                --self->rewritesLeft;
                rewrite = true;
            } else if (msg == WOM_DONE && self->closeOnLastDone) {
                close = true;
            }
            self->changed.notify_all();
        }
        if (rewrite) waveOutWrite(hwo, reinterpret_cast<LPWAVEHDR>(param1), sizeof(WAVEHDR));
        if (close) {
            const MMRESULT result = waveOutClose(hwo);
            std::lock_guard lock(self->mutex);
            self->closeResult = result;
        }
    }

    std::vector<Event> waitFor(UINT message, std::size_t count)
    {
        std::unique_lock lock(mutex);
        changed.wait_for(lock, std::chrono::seconds(20), [&] { return countOf(message) >= count; });
        return events;
    }

    std::size_t countOf(UINT message) const
    {
        std::size_t n = 0;
        for (const auto& e : events) n += e.message == message;
        return n;
    }
};

WAVEFORMATEX pcm(DWORD rate, WORD channels, WORD bits)
{
    WAVEFORMATEX f{};
    f.wFormatTag = WAVE_FORMAT_PCM;
    f.nChannels = channels;
    f.nSamplesPerSec = rate;
    f.wBitsPerSample = bits;
    f.nBlockAlign = WORD(channels * bits / 8);
    f.nAvgBytesPerSec = rate * f.nBlockAlign;
    return f;
}

class WaveOutApi : public testing::Test {
protected:
    void SetUp() override { setenv("KINOLUX_AUDIO", "null", 1); }

    HWAVEOUT open(Recorder& recorder, const WAVEFORMATEX& format = pcm(44100, 2, 16))
    {
        HWAVEOUT hwo = nullptr;
        EXPECT_EQ(waveOutOpen(&hwo, WAVE_MAPPER, &format, reinterpret_cast<DWORD_PTR>(&Recorder::callback),
                              reinterpret_cast<DWORD_PTR>(&recorder), CALLBACK_FUNCTION),
                  MMSYSERR_NOERROR);
        recorder.device = hwo;
        return hwo;
    }

    // Blocks of the given length in milliseconds of 44.1 kHz 16-bit stereo.
    struct Blocks {
        std::vector<std::vector<char>> data;
        std::vector<WAVEHDR> headers;
        Blocks(std::size_t count, unsigned ms) : data(count, std::vector<char>(44100 * 4 * ms / 1000)), headers(count)
        {
            for (std::size_t i = 0; i < count; ++i) {
                headers[i].lpData = data[i].data();
                headers[i].dwBufferLength = DWORD(data[i].size());
            }
        }
    };

    void prepareAndWrite(HWAVEOUT hwo, Blocks& blocks)
    {
        for (auto& h : blocks.headers) {
            ASSERT_EQ(waveOutPrepareHeader(hwo, &h, sizeof h), MMSYSERR_NOERROR);
            ASSERT_EQ(waveOutWrite(hwo, &h, sizeof h), MMSYSERR_NOERROR);
        }
    }

    // How far the device has played, in the unit asked for.
    MMTIME positionOf(HWAVEOUT hwo, UINT unit)
    {
        MMTIME position{};
        position.wType = unit;
        EXPECT_EQ(waveOutGetPosition(hwo, &position, sizeof position), MMSYSERR_NOERROR);
        return position;
    }
};

TEST_F(WaveOutApi, NullDeviceCompletesBlocksInOrderOnOneCallbackThread)
{
    Recorder recorder;
    const HWAVEOUT hwo = open(recorder);
    Blocks blocks(8, 50);
    prepareAndWrite(hwo, blocks);
    const auto events = recorder.waitFor(WOM_DONE, 8);
    ASSERT_EQ(recorder.countOf(WOM_DONE), 8u);

    ASSERT_EQ(events.front().message, UINT(WOM_OPEN));
    const auto callbackThread = events.front().thread;
    EXPECT_NE(callbackThread, std::this_thread::get_id());
    for (std::size_t i = 0; i < 8; ++i) {
        const Event& done = events[i + 1];
        EXPECT_EQ(done.message, UINT(WOM_DONE));
        EXPECT_EQ(done.param1, reinterpret_cast<DWORD_PTR>(&blocks.headers[i]));
        EXPECT_EQ(done.thread, callbackThread);
    }
    EXPECT_TRUE(blocks.headers.back().dwFlags & WHDR_DONE);

    EXPECT_EQ(positionOf(hwo, TIME_SAMPLES).u.sample, 8u * 2205) << "eight blocks of 50 ms at 44.1 kHz";

    for (auto& h : blocks.headers) EXPECT_EQ(waveOutUnprepareHeader(hwo, &h, sizeof h), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutClose(hwo), MMSYSERR_NOERROR);
    const auto closed = recorder.waitFor(WOM_CLOSE, 1);
    EXPECT_EQ(closed.back().message, UINT(WOM_CLOSE));
    EXPECT_EQ(closed.back().thread, callbackThread);
}

TEST_F(WaveOutApi, TheCallbackMayRefillTheQueue)
{
    Recorder recorder;
    recorder.rewritesLeft = 12;
    const HWAVEOUT hwo = open(recorder);
    Blocks blocks(2, 40);
    prepareAndWrite(hwo, blocks);
    const auto events = recorder.waitFor(WOM_DONE, 14);
    ASSERT_EQ(recorder.countOf(WOM_DONE), 14u);
    for (std::size_t i = 0; i < 14; ++i)
        EXPECT_EQ(events[i + 1].param1, reinterpret_cast<DWORD_PTR>(&blocks.headers[i % 2])) << "return " << i;
    EXPECT_EQ(positionOf(hwo, TIME_SAMPLES).u.sample, 14u * 1764) << "fourteen blocks of 40 ms at 44.1 kHz";
    ASSERT_EQ(waveOutClose(hwo), MMSYSERR_NOERROR);
}

TEST_F(WaveOutApi, ResetReturnsEveryBlockDoneAtOnceAndCloseWaitsForIt)
{
    Recorder recorder;
    const HWAVEOUT hwo = open(recorder);
    Blocks blocks(4, 1000);
    prepareAndWrite(hwo, blocks);
    EXPECT_EQ(waveOutClose(hwo), UINT(WAVERR_STILLPLAYING));
    EXPECT_EQ(waveOutUnprepareHeader(hwo, &blocks.headers[3], sizeof(WAVEHDR)), UINT(WAVERR_STILLPLAYING));

    ASSERT_EQ(waveOutReset(hwo), MMSYSERR_NOERROR);
    for (const auto& h : blocks.headers) {
        EXPECT_TRUE(h.dwFlags & WHDR_DONE);
        EXPECT_FALSE(h.dwFlags & WHDR_INQUEUE);
    }
    const auto events = recorder.waitFor(WOM_DONE, 4);
    ASSERT_EQ(recorder.countOf(WOM_DONE), 4u);
    for (std::size_t i = 0; i < 4; ++i)
        EXPECT_EQ(events[i + 1].param1, reinterpret_cast<DWORD_PTR>(&blocks.headers[i]));
    EXPECT_EQ(positionOf(hwo, TIME_BYTES).u.cb, 0u);

    ASSERT_EQ(waveOutClose(hwo), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(hwo), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutWrite(hwo, &blocks.headers[0], sizeof(WAVEHDR)), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOutApi, ACallbackMayCloseItsOwnDevice)
{
    Recorder recorder;
    recorder.closeOnLastDone = true;
    const HWAVEOUT hwo = open(recorder);
    Blocks blocks(1, 20);
    prepareAndWrite(hwo, blocks);
    const auto events = recorder.waitFor(WOM_CLOSE, 1);
    ASSERT_EQ(recorder.countOf(WOM_CLOSE), 1u);
    EXPECT_EQ(events.back().message, UINT(WOM_CLOSE));
    std::lock_guard lock(recorder.mutex);
    EXPECT_EQ(recorder.closeResult, MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutReset(hwo), MMSYSERR_INVALHANDLE);
}

TEST_F(WaveOutApi, VolumeIsKeptPerDeviceAndTheDeviceIdSetsItForLaterOpens)
{
    Recorder first;
    const HWAVEOUT a = open(first);
    DWORD volume = 0;
    ASSERT_EQ(waveOutGetVolume(a, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0xFFFFFFFFu);
    ASSERT_EQ(waveOutSetVolume(a, 0x12345678), MMSYSERR_NOERROR);
    ASSERT_EQ(waveOutGetVolume(a, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0x12345678u);

    ASSERT_EQ(waveOutSetVolume(reinterpret_cast<HWAVEOUT>(std::uintptr_t(WAVE_MAPPER)), 0x0000FFFF), MMSYSERR_NOERROR);
    Recorder second;
    const HWAVEOUT b = open(second);
    ASSERT_EQ(waveOutGetVolume(b, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0x0000FFFFu);
    ASSERT_EQ(waveOutGetVolume(a, &volume), MMSYSERR_NOERROR);
    EXPECT_EQ(volume, 0x12345678u);
    ASSERT_EQ(waveOutSetVolume(nullptr, 0xFFFFFFFF), MMSYSERR_NOERROR);

    EXPECT_EQ(waveOutGetVolume(a, nullptr), MMSYSERR_INVALPARAM);
    EXPECT_EQ(waveOutSetVolume(reinterpret_cast<HWAVEOUT>(std::uintptr_t(0x77)), 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(waveOutClose(a), MMSYSERR_NOERROR);
    EXPECT_EQ(waveOutClose(b), MMSYSERR_NOERROR);
}

TEST_F(WaveOutApi, WrongCallsGetTheirWindowsAnswers)
{
    HWAVEOUT hwo = nullptr;
    const WAVEFORMATEX good = pcm(22050, 1, 8);
    WAVEFORMATEX bad = pcm(44100, 2, 24);
    EXPECT_EQ(waveOutOpen(&hwo, 0, &bad, 0, 0, CALLBACK_NULL), UINT(WAVERR_BADFORMAT));
    bad = good;
    bad.nBlockAlign = 4;
    EXPECT_EQ(waveOutOpen(&hwo, 0, &bad, 0, 0, CALLBACK_NULL), UINT(WAVERR_BADFORMAT));
    EXPECT_EQ(waveOutOpen(&hwo, 3, &good, 0, 0, CALLBACK_NULL), UINT(MMSYSERR_BADDEVICEID));
    EXPECT_EQ(waveOutOpen(&hwo, 0, &good, 0, 0, CALLBACK_WINDOW), UINT(MMSYSERR_INVALFLAG));
    EXPECT_EQ(waveOutOpen(&hwo, 0, &good, 0, 0, CALLBACK_FUNCTION), UINT(MMSYSERR_INVALPARAM));
    EXPECT_EQ(waveOutOpen(&hwo, 0, nullptr, 0, 0, CALLBACK_NULL), UINT(MMSYSERR_INVALPARAM));
    EXPECT_EQ(waveOutOpen(nullptr, 0, &good, 0, 0, WAVE_FORMAT_QUERY), UINT(MMSYSERR_NOERROR));
    EXPECT_EQ(waveOutOpen(nullptr, 0, &good, 0, 0, CALLBACK_NULL), UINT(MMSYSERR_INVALPARAM));

    ASSERT_EQ(waveOutOpen(&hwo, 0, &good, 0, 0, CALLBACK_NULL), UINT(MMSYSERR_NOERROR));
    std::vector<char> data(100);
    WAVEHDR header{};
    header.lpData = data.data();
    header.dwBufferLength = DWORD(data.size());
    EXPECT_EQ(waveOutWrite(hwo, &header, sizeof header), UINT(WAVERR_UNPREPARED));
    EXPECT_EQ(waveOutPrepareHeader(hwo, &header, sizeof header - 1), UINT(MMSYSERR_INVALPARAM));
    EXPECT_EQ(waveOutPrepareHeader(hwo, nullptr, sizeof header), UINT(MMSYSERR_INVALPARAM));
    MMTIME position{};
    EXPECT_EQ(waveOutGetPosition(hwo, &position, 2), UINT(MMSYSERR_INVALPARAM));
    position.wType = 0x10;  // SMPTE: not offered, answered in bytes
    EXPECT_EQ(waveOutGetPosition(hwo, &position, sizeof position), UINT(MMSYSERR_NOERROR));
    EXPECT_EQ(position.wType, UINT(TIME_BYTES));
    EXPECT_EQ(waveOutClose(hwo), UINT(MMSYSERR_NOERROR));

    const auto stale = reinterpret_cast<HWAVEOUT>(std::uintptr_t(0x5));
    EXPECT_EQ(waveOutPrepareHeader(stale, &header, sizeof header), UINT(MMSYSERR_INVALHANDLE));
    EXPECT_EQ(waveOutReset(stale), UINT(MMSYSERR_INVALHANDLE));
    EXPECT_EQ(waveOutGetPosition(stale, &position, sizeof position), UINT(MMSYSERR_INVALHANDLE));
}

TEST_F(WaveOutApi, WithoutADeviceOpeningFailsWithNoDriver)
{
    setenv("KINOLUX_AUDIO", "none", 1);
    EXPECT_EQ(waveOutGetNumDevs(), 0u);
    HWAVEOUT hwo = nullptr;
    const WAVEFORMATEX format = pcm(44100, 2, 16);
    EXPECT_EQ(waveOutOpen(&hwo, WAVE_MAPPER, &format, 0, 0, CALLBACK_NULL), UINT(MMSYSERR_NODRIVER));
    setenv("KINOLUX_AUDIO", "null", 1);
    EXPECT_EQ(waveOutGetNumDevs(), 1u);
}

}  // namespace
