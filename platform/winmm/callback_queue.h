// The callback thread of one wave-out device: delivers WOM_OPEN, WOM_DONE and
// WOM_CLOSE in the order they were posted, with no lock held, so a callback
// may call back into the library.
#pragma once

#include "platform/winmm/winmm.h"

#include <memory>
#include <thread>

namespace kinolux::winmm {

struct WaveCallbackTarget {
    LPWAVECALLBACK function = nullptr;  // null: messages are dropped (CALLBACK_NULL)
    HWAVEOUT handle = nullptr;
    DWORD_PTR instance = 0;
};

class CallbackQueue {
public:
    explicit CallbackQueue(const WaveCallbackTarget& target);
    ~CallbackQueue();
    CallbackQueue(const CallbackQueue&) = delete;
    CallbackQueue& operator=(const CallbackQueue&) = delete;

    void post(UINT message, DWORD_PTR param1 = 0);
    // Delivers everything posted so far, then ends the thread. Called from
    // inside a callback (a device closed by its own callback) it cannot wait
    // for itself: the thread then finishes on its own.
    void finish();

private:
    struct State;
    static void deliverUntilFinished(const std::shared_ptr<State>& state);

    std::shared_ptr<State> state_;
    std::thread thread_;
};

}  // namespace kinolux::winmm
