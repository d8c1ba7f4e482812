#include "platform/winmm/callback_queue.h"

#include <condition_variable>
#include <deque>
#include <mutex>
#include <utility>

namespace kinolux::winmm {

// Shared with the thread, which may outlive the queue object when a device
// is closed from its own callback.
struct CallbackQueue::State {
    WaveCallbackTarget target;
    std::mutex mutex;
    std::condition_variable wake;
    std::deque<std::pair<UINT, DWORD_PTR>> messages;
    bool finishing = false;
};

void CallbackQueue::deliverUntilFinished(const std::shared_ptr<State>& state)
{
    std::unique_lock lock(state->mutex);
    for (;;) {
        state->wake.wait(lock, [&] { return state->finishing || !state->messages.empty(); });
        if (state->messages.empty()) return;
        const auto [message, param1] = state->messages.front();
        state->messages.pop_front();
        lock.unlock();
        state->target.function(state->target.handle, message, state->target.instance, param1, 0);
        lock.lock();
    }
}

CallbackQueue::CallbackQueue(const WaveCallbackTarget& target) : state_(std::make_shared<State>())
{
    state_->target = target;
    if (target.function) thread_ = std::thread(deliverUntilFinished, state_);
}

CallbackQueue::~CallbackQueue()
{
    finish();
}

void CallbackQueue::post(UINT message, DWORD_PTR param1)
{
    if (!state_->target.function) return;
    std::lock_guard lock(state_->mutex);
    state_->messages.emplace_back(message, param1);
    state_->wake.notify_one();
}

void CallbackQueue::finish()
{
    {
        std::lock_guard lock(state_->mutex);
        state_->finishing = true;
        state_->wake.notify_one();
    }
    if (!thread_.joinable()) return;
    if (thread_.get_id() == std::this_thread::get_id())
        thread_.detach();
    else
        thread_.join();
}

}  // namespace kinolux::winmm
