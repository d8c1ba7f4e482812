// The interactive modes of the progress window: the movie window records
// the movie while the user watches (and may click), and a worker thread
// encodes what it queued.
#include "engine/argument_builder.h"
#include "engine/interactive_capture.h"
#include "engine/progress_window.h"
#include "engine/run_encoder.h"
#include "engine/run_flags.h"

#include <QThread>

namespace kinolux {

bool ProgressWindow::StartInteractiveCapture() {
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
    supply_ = std::make_unique<FrameSupply>(*task_, description_, &movieWindow_, *this, std::string(), wavPath_);
    supply_->SetCapturedFrameSource(interactive_);
    return true;
}

void ProgressWindow::StopInteractiveCapture() {
    if (mode_ != kOutputAuto && interactive_) interactive_->Stop();
}

void ProgressWindow::StartWorker() {
    SetCurrentFrameSupply(supply_.get());
    CS_SetFrameInfoCallBack(&FrameCallback);
    const bool twoPasses = mode_ == kOutputInteractiveTwoPasses;
    worker_ = QThread::create([this, twoPasses] {
        BuiltEncoding built = twoPasses ? BuildIntermediateEncoding(*task_) : BuildFrameEncoding(*task_);
        int result = 1;
        if (built.ok()) result = RunEncoder(built.arguments, &EncodeProgress);
        const std::string error = built.ok() ? std::string() : built.error;
        QMetaObject::invokeMethod(this, [this, result, error, twoPasses] {
            SetCurrentFrameSupply(nullptr);
            worker_->wait();
            if (!error.empty())
                Fail(error);
            else if (!supply_->Failure().empty())
                Fail(supply_->Failure());
            else if (result == 1 && !cancelled_)
                Fail("The encoder could not write " + (twoPasses ? intermediatePath_ : outputPath_) + ".");
            // The recording is over either way: the movie stops playing.
            interactive_->Stop();
            if (twoPasses && failure_.empty() && !cancelled_)
                RunSecondPass();
            else
                Finish();
        }, Qt::QueuedConnection);
    });
    worker_->start(QThread::LowestPriority);
}

}  // namespace kinolux
