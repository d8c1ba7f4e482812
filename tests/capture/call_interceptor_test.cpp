// Installing the interception into a stand-in engine module and the
// virtual clock it serves. This program defines timeGetDevCaps and
// timeBeginPeriod itself, so the interceptor's timer requests reach these
// counting versions instead of the library's.
#include "capture/call_interceptor.h"
#include "capture/flash_module.h"
#include "platform/settings_store.h"
#include "tests/capture/fake_engine_module.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <atomic>

namespace {
std::atomic<int> periodRequests{0};
std::atomic<UINT> lastPeriodRequested{0};
}  // namespace

extern "C" MMRESULT timeGetDevCaps(LPTIMECAPS caps, UINT size) {
    if (!caps || size < sizeof(TIMECAPS)) return TIMERR_NOCANDO;
    caps->wPeriodMin = 0;
    caps->wPeriodMax = 16;
    return TIMERR_NOERROR;
}

extern "C" MMRESULT timeBeginPeriod(UINT period) {
    ++periodRequests;
    lastPeriodRequested = period;
    return TIMERR_NOERROR;
}

namespace kinolux {
namespace {

using testing::FakeEngine;
using testing::ScopedSettingsHome;

void RegisterEngine(const FakeEngine& engine) {
    ASSERT_TRUE(SettingsStore("HKCR").WriteString(kFlashControlServerKey, "", engine.Path()));
}

std::string InstallCapturingOutput(CallInterceptor& interceptor) {
    ::testing::internal::CaptureStdout();
    interceptor.Install();
    return ::testing::internal::GetCapturedStdout();
}

// A reading of the real clock: between `before` and a reading taken after it.
bool RealTimeSince(DWORD before, DWORD reading) { return DWORD(reading - before) <= DWORD(::timeGetTime() - before); }

class Interception : public ::testing::Test {
protected:
    void TearDown() override { CallInterceptor::Instance().SetMode(kModePassThrough); }
    ScopedSettingsHome home;
};

TEST_F(Interception, InstallRedirectsTheEngineOnceAndRequestsTheTimerPeriodEveryTime) {
    FakeEngine engine("libkinolux_fake_engine_install.so");
    ASSERT_TRUE(engine.Loaded());
    RegisterEngine(engine);
    CallInterceptor& interceptor = CallInterceptor::Instance();
    interceptor.consoleMode = 1;
    const int requestsBefore = periodRequests;

    EXPECT_EQ(InstallCapturingOutput(interceptor), "");
    EXPECT_EQ(interceptor.installed, 1);
    EXPECT_EQ(interceptor.timerPeriod, 1u);
    EXPECT_EQ(lastPeriodRequested, 1u);
    EXPECT_EQ(interceptor.realTimeGetTime.load(), &::timeGetTime);
    EXPECT_EQ(interceptor.realWaveOutOpen.load(), &::waveOutOpen);
    EXPECT_EQ(interceptor.realWaveOutWrite.load(), &::waveOutWrite);
    EXPECT_EQ(InstallCapturingOutput(interceptor), "") << "a second patch would have failed and been reported";
    EXPECT_EQ(periodRequests - requestsBefore, 2);
    EXPECT_EQ(interceptor.realTimeGetTime.load(), &::timeGetTime);

    // The engine's clock is the virtual one now.
    interceptor.SetMode(kModeVirtualClock);
    interceptor.virtualNow = 1000;
    interceptor.ClockAdvance(33);
    interceptor.ClockAdvance(33);
    EXPECT_EQ(engine.Time(), 1132u);
    EXPECT_EQ(engine.Time(), 1132u);
    // So are its sound calls: the virtual clock offers no device.
    WAVEFORMATEX format = testing::CdQualityFormat();
    HWAVEOUT device = nullptr;
    EXPECT_EQ(engine.Open(&device, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);

    // Leaving the virtual clock continues from real time.
    interceptor.SetMode(kModePassThrough);
    const DWORD before = ::timeGetTime();
    EXPECT_TRUE(RealTimeSince(before, engine.Time()));
    EXPECT_TRUE(RealTimeSince(before, interceptor.virtualNow));
}

TEST_F(Interception, ImportThatCannotBeRedirectedIsReportedAndTheOthersAreStillTried) {
    FakeEngine engine("libkinolux_fake_engine_no_clock.so");
    ASSERT_TRUE(engine.Loaded());
    RegisterEngine(engine);
    CallInterceptor interceptor;
    interceptor.consoleMode = 1;
    EXPECT_EQ(InstallCapturingOutput(interceptor), "Cannot hook timeGetTime\n");
    EXPECT_EQ(interceptor.realTimeGetTime.load(), nullptr);
    EXPECT_NE(interceptor.realWaveOutOpen.load(), nullptr);
    EXPECT_NE(interceptor.realWaveOutWrite.load(), nullptr);

    CallInterceptor::Instance().SetMode(kModeVirtualClock);
    WAVEFORMATEX format = testing::CdQualityFormat();
    HWAVEOUT device = nullptr;
    EXPECT_EQ(engine.Open(&device, &format, 0, 0, CALLBACK_NULL), MMSYSERR_NODRIVER);
    const DWORD before = ::timeGetTime();
    EXPECT_TRUE(RealTimeSince(before, engine.Time())) << "the engine's clock stays real";
}

TEST_F(Interception, WithoutAnEngineModuleAllThreeAreReported) {
    CallInterceptor interceptor;
    interceptor.consoleMode = 1;
    EXPECT_EQ(InstallCapturingOutput(interceptor),
              "Cannot hook timeGetTime\nCannot hook waveOutOpen\nCannot hook waveOutWrite\n");
    EXPECT_EQ(interceptor.installed, 1);
}

TEST_F(Interception, ClockStartsOnceAndResetsToRealTime) {
    CallInterceptor interceptor;
    DWORD before = ::timeGetTime();
    EXPECT_EQ(interceptor.ClockStart(), 1);
    EXPECT_TRUE(RealTimeSince(before, interceptor.virtualNow));
    interceptor.virtualNow = 5;
    interceptor.ClockStart();
    EXPECT_EQ(interceptor.virtualNow, 5u) << "a clock that has been read is not moved";
    before = ::timeGetTime();
    EXPECT_EQ(interceptor.ClockReset(), 1);
    EXPECT_TRUE(RealTimeSince(before, interceptor.virtualNow));
    EXPECT_EQ(interceptor.ClockAdvance(40), 1);
    EXPECT_EQ(interceptor.pendingAdvance, 40u);
}

TEST_F(Interception, VirtualClockJumpsByTwiceTheAdvancesSinceItsLastReading) {
    CallInterceptor& interceptor = CallInterceptor::Instance();
    interceptor.SetMode(kModeVirtualClock);
    interceptor.virtualNow = 0xFFFFFFF0u;
    interceptor.pendingAdvance = 0;
    EXPECT_EQ(VirtualTimeGetTime(), 0xFFFFFFF0u) << "entering the virtual clock freezes it";
    interceptor.ClockAdvance(16);
    EXPECT_EQ(VirtualTimeGetTime(), 0x10u) << "and it wraps like the real one";
    EXPECT_EQ(interceptor.pendingAdvance, 0u);
}

}  // namespace
}  // namespace kinolux
