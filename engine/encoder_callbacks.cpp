#include "engine/encoder_callbacks.h"

#include "engine/conversion_run.h"

#include <atomic>

namespace kinolux {

namespace {
std::atomic<ConversionRun*> activeRun{nullptr};
}  // namespace

ActiveRunScope::ActiveRunScope(ConversionRun& run) : previous_(activeRun.exchange(&run)) {}

ActiveRunScope::~ActiveRunScope() { activeRun.store(previous_); }

int FrameCallback(int request, FrameInfo* record) {
    ConversionRun* run = activeRun.load();
    return run ? run->DeliverFrame(request, record) : -1;
}

int EncodeProgress(const char* text, double value) {
    ConversionRun* run = activeRun.load();
    return run ? run->OnEncodeProgress(text, value, false) : -1;
}

int FileEncodeProgress(const char* text, double value) {
    ConversionRun* run = activeRun.load();
    return run ? run->OnEncodeProgress(text, value, true) : -1;
}

}  // namespace kinolux
