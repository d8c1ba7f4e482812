// One whole encoding, from the argument vector's options to a finished
// output: the input, the plan, the filters, the encoders and the muxer,
// driven item by item with progress reports in between.
#pragma once

#include <cstdint>
#include <memory>

#include "bindings/castor.h"
#include "castor/audio_timeline.h"
#include "castor/encoder.h"
#include "castor/encoding_thread.h"
#include "castor/media_source.h"
#include "castor/muxer.h"
#include "castor/options.h"
#include "castor/output_file.h"
#include "castor/output_plan.h"
#include "castor/progress.h"
#include "castor/video_timeline.h"

namespace castor {

enum class Outcome {
    Complete,  // the whole input is in the output
    Stopped,   // the caller asked to stop; the output is finished up to there
};

class Transcoder {
public:
    Transcoder(const Options& options, Progress& progress, CS_FrameCallback frameCallback);
    ~Transcoder();
    Transcoder(const Transcoder&) = delete;
    Transcoder& operator=(const Transcoder&) = delete;

    // Throws Failure; the output is then removed (or never appears).
    Outcome Run();

private:
    void Open(CS_FrameCallback frameCallback);
    void HandlePicture(const SourceItem& item);
    void HandleSound(const SourceItem& item);
    void EncodeHeldPicture(int64_t times);
    void EncodeQueuedSound();
    void Drain(EncodingThread& thread, int stream);
    void DrainVideo();
    void Finish(double end);
    bool VideoDone() const;
    bool AudioDone() const;
    bool Report();

    Options options_;
    Progress& progress_;
    Container container_;
    std::unique_ptr<OutputFile> file_;  // declared before the muxer: closed after it
    std::unique_ptr<MediaSource> source_;
    OutputPlan plan_;
    EncoderSound audioInput_;  // what the audio encoder takes
    std::unique_ptr<AudioFilter> audioFilter_;
    std::unique_ptr<Muxer> muxer_;
    // After the muxer: their threads have stopped before the muxer goes.
    std::unique_ptr<EncodingThread> video_;
    std::unique_ptr<EncodingThread> audio_;
    int videoStream_ = -1;
    int audioStream_ = -1;

    std::unique_ptr<VideoTimeline> videoTimeline_;
    AudioTimeline audioTimeline_;
    bool holding_ = false;  // a picture is on screen
    int64_t videoSlots_ = 0;
    int64_t videoSlotLimit_ = INT64_MAX;
    int64_t audioSampleLimit_ = INT64_MAX;
    double lastPictureEnd_ = 0;
    PacketPtr packet_;
    bool stopped_ = false;
};

}  // namespace castor
