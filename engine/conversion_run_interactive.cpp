// The interactive modes of a conversion run: the movie window records the
// movie while the user watches (and may click), and a worker thread encodes
// what it queued.
#include "engine/argument_builder.h"
#include "engine/conversion_run.h"
#include "engine/encoder_callbacks.h"
#include "engine/interactive_capture.h"
#include "engine/run_encoder.h"

#include <QThread>

namespace kinolux {

bool ConversionRun::StartInteractiveCapture() {
    if (!interactive_) {
        Fail("Interactive conversion is not available in this build of Kinolux.");
        return false;
    }
    CaptureRequest request;
    request.moviePath = inputPath_;
    request.wavPath = wavPath_;
    request.captureKind = streamKind_;
    request.frameRate = frameRate_;
    request.startFrame = inFrame_;
    request.endFrame = outFrame_;
    request.width = description_.frameWidth;
    request.height = description_.frameHeight;
    interactive_->Start(request);
    MakeSupply("", wavPath_);
    supply_->SetCapturedFrameSource(interactive_);
    return true;
}

void ConversionRun::StopInteractiveCapture() {
    if (mode_ != kOutputAuto && interactive_) interactive_->Stop();
}

void ConversionRun::StartWorker() {
    workerScope_ = std::make_unique<ActiveRunScope>(*this);
    CS_SetFrameInfoCallBack(&FrameCallback);
    const bool twoPasses = mode_ == kOutputInteractiveTwoPasses;
    worker_ = QThread::create([this, twoPasses] {
        BuiltEncoding built = twoPasses ? BuildIntermediateEncoding(*task_) : BuildFrameEncoding(*task_);
        int result = 1;
        if (built.ok()) result = RunEncoder(built.arguments, &EncodeProgress);
        const std::string error = built.ok() ? std::string() : built.error;
        QMetaObject::invokeMethod(this, [this, result, error, twoPasses] { WorkerDone(result, error, twoPasses); },
                                  Qt::QueuedConnection);
    });
    worker_->start(QThread::LowestPriority);
}

void ConversionRun::WorkerDone(int result, const std::string& error, bool twoPasses) {
    // A run closed by a second Cancel has cleaned up after the worker already.
    if (closed_) return;
    worker_->wait();
    workerScope_.reset();
    if (!error.empty())
        Fail(error);
    else
        JudgeEncoding(result, twoPasses ? intermediatePath_ : outputPath_);
    // The recording is over either way: the movie stops playing.
    interactive_->Stop();
    if (twoPasses && failure_.empty() && !cancelled_)
        RunSecondPass();
    else
        Finish();
}

}  // namespace kinolux
