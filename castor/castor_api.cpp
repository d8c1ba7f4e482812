// The library's four C entries; everything else stays hidden.
#include <atomic>
#include <new>

#include "bindings/castor.h"
#include "castor/failure.h"
#include "castor/libav_log.h"
#include "castor/options.h"
#include "castor/progress.h"
#include "castor/transcoder.h"

namespace {

std::atomic<CS_FrameCallback> frameCallback{nullptr};

// ffmain's results.
constexpr int kComplete = 0;
constexpr int kFailed = 1;
constexpr int kStopped = 2;  // stopped by the caller; the output is finished up to there

}  // namespace

extern "C" {

__attribute__((visibility("default"))) void CSInit(void) { castor::InstallLibavLog(); }

__attribute__((visibility("default"))) void CSExit(void) { castor::RemoveLibavLog(); }

__attribute__((visibility("default"))) void CS_SetFrameInfoCallBack(CS_FrameCallback callback) {
    frameCallback.store(callback);
}

__attribute__((visibility("default"))) int ffmain(int argc, char** argv, CS_ProgressCallback progress) {
    castor::Progress reporter(progress);
    try {
        castor::LibavLogScope logScope;
        if (argc < 1 || argv == nullptr) {
            reporter.Error("The argument vector is empty");
            return kFailed;
        }
        castor::Options options;
        const std::string refusal = castor::ParseOptions(argc, argv, options);
        if (!refusal.empty()) {
            reporter.Error(refusal);
            return kFailed;
        }
        castor::Transcoder transcoder(options, reporter, frameCallback.load());
        return transcoder.Run() == castor::Outcome::Complete ? kComplete : kStopped;
    } catch (const castor::Failure& failure) {
        reporter.Error(failure.what());
    } catch (const std::bad_alloc&) {
        reporter.Error("Out of memory");
    } catch (const std::exception& error) {
        reporter.Error(std::string("Encoding failed: ") + error.what());
    }
    return kFailed;
}

}  // extern "C"
