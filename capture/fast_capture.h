// The sound of a fast conversion, captured in this process as the movie is
// stepped on a virtual clock, with no player playing it in real time.
//
// While it lives, the interceptor runs in fast-capture mode: the engine
// reads the time this object sets, its device plays on the null device at
// the pace of a stepped clock, and every block the engine mixes is captured.
// After each step the capture waits until the device has caught up with the
// clock and the engine has mixed the blocks it owes, so the same movie gives
// the same sound however busy the machine is.
//
// Output sound is counted in 16-bit values from the range's first frame
// (88200 a second). The engine starts a sound after the blocks it has mixed
// and one block of lead; where the first sound the device opened for lands
// in the captured stream ties the stream to the output's time. Before that
// the output is silent; a window of output is final once the stream reaches
// past it (no sound started later can land in it).
#pragma once

#include "capture/audio_tap.h"
#include "capture/stepped_clock.h"

#include <condition_variable>
#include <cstdint>
#include <mutex>
#include <vector>

namespace kinolux {

class FastCapture : private DeviceWatcher {
public:
    // How far the engine must have run past a window of output before the
    // window counts as final while no device is open yet: longer than the
    // blocks a device queues and mixes ahead when a first sound opens it.
    static constexpr double kSilentLookaheadMs = 100;

    // Switches the interceptor to fast capture and the devices opened from
    // now on to the stepped clock. The engine's time stands still until the
    // first step.
    FastCapture();
    // Lets the device go (call before the movie is dropped, which closes
    // it) and returns the interceptor and the devices to their usual ways.
    ~FastCapture() override;
    FastCapture(const FastCapture&) = delete;
    FastCapture& operator=(const FastCapture&) = delete;

    // The range's first frame shows now: the output's time starts here.
    void MarkStart();
    // Moves the engine's time and the device's to `ms` after the start of
    // the capture, then waits until the device has caught up.
    void StepTo(double ms);
    // The sound for output values [0, endValue) can no longer change.
    bool Final(uint64_t endValue) const;
    // Moves only the device's time on (the engine is not polled again)
    // until the output is final up to `endValue`: the tail of the sound
    // after the last frame.
    void FinishTo(uint64_t endValue);
    // The next `count` values of output sound into `out`.
    void Read(int16_t* out, uint32_t count);

    double EngineMs() const { return engineMs_; }

private:
    void DeviceOpened(HWAVEOUT device) override;
    void BlockWritten(HWAVEOUT device, uint32_t bytes) override;
    void BlockReturned(HWAVEOUT device) override;
    void MoveClocks(double engineMs, double deviceMs);
    void WaitUntilCaughtUp();
    bool CaughtUp();  // with mutex_ held
    void Anchor();    // with mutex_ held

    SteppedClock& clock_;
    uint32_t baseReading_ = 0;  // the engine's timeGetTime at the start
    double engineMs_ = 0;
    double deviceMs_ = 0;
    double startMs_ = -1;  // the range's first frame, on the engine's time

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    HWAVEOUT device_ = nullptr;
    std::vector<uint64_t> blockEnds_;  // bytes written up to the end of each block
    uint64_t deviceBase_ = 0;          // bytes written before the device opened
    size_t returned_ = 0;
    uint64_t lastBlockBytes_ = 0;
    bool anchored_ = false;
    int64_t shift_ = 0;  // stream value = output value + shift

    uint64_t outputRead_ = 0;  // output values handed out
    uint64_t streamRead_ = 0;  // stream values taken from the tap
};

}  // namespace kinolux
