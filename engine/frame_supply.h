// The frames and sound the encoder pulls through its frame callback while it
// reads the pseudo input. In Auto mode the movie is stepped under the
// virtual clock and grabbed here, the sound comes from the WAV file that the
// player process writes, and the player's sync file keeps the replayed movie
// level with the moment whose sound goes with each frame. In the interactive
// modes the frames come from the capture queue of the movie window and the
// sound from the WAV file that the audio tap writes.
//
// A fast Auto conversion has no player: the movie is stepped one frame
// period at a time on a virtual clock while its sound is captured here (see
// capture/fast_capture.h). A sound is mixed a little after its frame runs,
// so the movie runs a few frames ahead of what is delivered, its pictures
// kept until their sound is complete.
//
// Each step of either Auto mode plays the movie, as the player's tick does,
// so a movie whose own script stops its timeline is played on: the output
// covers the whole range.
#pragma once

#include "bindings/castor.h"
#include "capture/sync_file.h"
#include "capture/sync_file_reader.h"
#include "capture/wav_pcm_reader.h"
#include "engine/conversion_task.h"
#include "engine/cx_image.h"
#include "engine/frame_source.h"
#include "engine/player_frame.h"
#include "engine/run_flags.h"

#include <QImage>
#include <cstdint>
#include <deque>
#include <memory>
#include <string>
#include <vector>

namespace kinolux {

struct CapturedFrame;
class FastCapture;

// What the frame supply needs of whoever runs the conversion (the
// conversion run; tests play it).
class FrameSupplyHost {
public:
    virtual ~FrameSupplyHost() = default;
    virtual void ShowProgress(int64_t movieFrame) = 0;
    // Handles the calling thread's pending events.
    virtual void PumpMessages() = 0;
    virtual void ShowPreview(const CxImage& image) = 0;
    // True once no more sound will come: the user stopped, the player
    // finished (or ended), or interactive capture is over.
    virtual bool IsCaptureOver() = 0;
    // A failure or notice for the user.
    virtual void ReportMessage(const std::string& text) = 0;
};

// Where the interactive modes take their frames: the movie window's capture
// queue in the program. Next waits for the oldest entry (or the end marker).
class CapturedFrameSource {
public:
    virtual ~CapturedFrameSource() = default;
    virtual void Next(CapturedFrame& out) = 0;
};

// How long a sound or sync file may stand still while its writer is
// supposed to be running before the run gives up on it.
inline constexpr int kWriterSilenceLimitMs = 10000;

// A movie whose frame has not changed for this many seconds of movie time
// has stopped: the Auto replay ends there rather than run for ever.
inline constexpr int kStandingStillLimitSeconds = 10;

class FrameSupply {
public:
    // The frame source (the movie window) drives Auto mode and is not used
    // otherwise. The description holds offsets 0 to 107 of every record.
    // The flags are the run's. The sync file is the player's (Auto mode
    // only); the WAV file is the player's or the audio tap's.
    FrameSupply(const ConversionTask& task, const FrameInfo& description, FrameSource* frames, FrameSupplyHost& host,
                RunFlags& flags, std::string syncPath, std::string wavPath);
    ~FrameSupply();
    FrameSupply(const FrameSupply&) = delete;
    FrameSupply& operator=(const FrameSupply&) = delete;

    void SetCapturedFrameSource(CapturedFrameSource* source) { captured_ = source; }
    // Auto mode without the player: sound captured here on a virtual clock.
    void SetFast(bool fast) { fast_ = fast; }
    bool Fast() const { return fast_; }
    void SetWriterSilenceLimit(int ms) { writerSilenceLimitMs_ = ms; }

    // One call of the frame callback: request 0 prepares and answers the
    // description, every other request one frame. 0, or -1 when no frame
    // follows.
    int Deliver(int request, FrameInfo* record);

    // Auto mode: follows the player's sync and WAV files and loads the movie
    // for stepping. False, after saying so, when the sync file cannot be
    // opened; the movie is then not loaded. A fast supply captures the sound
    // itself instead.
    bool PrepareAutoCapture();
    // Fast Auto mode: the movie on to its next frame, one frame period of
    // its clock later.
    void StepFast();
    // Lets a fast capture's sound device go; before the movie is dropped.
    void EndFastCapture();
    // Interactive modes: follows the audio tap's WAV file.
    bool PrepareInteractiveCapture();
    // `values` 16-bit values of sound; the bytes read (2 x values, or fewer
    // when the sound ended or its writer stopped).
    size_t ReadAudio(int16_t* buffer, uint32_t values);
    // Appends the sync file's next record to the sync list (while the file
    // is open). False when none came.
    bool ReadNextSyncRecord();
    // Steps the movie to its frame for the output period after delivered
    // frame `n`: the next frame, unless the player's log shows that the
    // player fell behind or ran ahead there (still images: always the next
    // frame). Sets the stop flag when the player's log ended before it.
    void StepToPlayer(int64_t n);

    // The buffers of the last frame; the encoder must not use them after.
    void FreeBuffers();
    void CloseFiles();

    int64_t FramesDelivered() const { return framesDelivered_; }
    int32_t LastMovieFrame() const { return lastMovieFrame_; }
    const std::vector<SyncRecord>& SyncList() const { return syncList_; }
    // Why the supply ended early with a fault, or empty (an ordinary end:
    // the range, the player's end, the user's stop).
    const std::string& Failure() const { return failure_; }

private:
    int DeliverAutoFrame(FrameInfo* record);
    int DeliverAutoSound(FrameInfo* record);
    int DeliverCapturedFrame(FrameInfo* record);
    int DeliverCapturedSound(FrameInfo* record);
    int DeliverFast(FrameInfo* record, bool soundOnly);
    // Grabs the movie's current frame (a picture unless sound only) into
    // the frames run ahead and steps on; false at the end of the range or
    // on a failure (failure_ then says why).
    bool RunAhead(bool soundOnly);
    void PrepareFastCapture();
    // Sets the stop flag and answers -1; a non-empty `why` marks a fault.
    int End(std::string why = {});
    // Shows the progress at `movieFrame` and answers 0: a record is ready.
    int Delivered(int64_t movieFrame);
    // The sound of `values` values into a new buffer; false when it could
    // not be read in full, but for `missingAllowed` values at its end (read
    // as silence).
    bool FetchSound(uint32_t values, FrameInfo* record, uint32_t missingAllowed = 0);
    bool SkipSoundBeforeRange();
    // Hands `image` over as the record's picture, shown at `time` seconds.
    bool FetchPicture(FrameInfo* record, CxImage image, float time);
    bool MovieStandsStill(int32_t frame);
    int32_t OutFrame() const { return static_cast<int32_t>(task_.outFrame); }
    // The wait of a reader whose writer runs elsewhere: gives up when the
    // capture is over or the file has not grown for the silence limit.
    bool WaitForWriter(const std::string& path, uint64_t& lastSize, int64_t& silentSince, int sleepMs,
                       const char* what);

    const ConversionTask& task_;
    FrameInfo description_;
    FrameSource* movieWindow_;
    FrameSupplyHost& host_;
    RunFlags& flags_;
    CapturedFrameSource* captured_ = nullptr;

    std::string syncPath_;
    std::string wavPath_;
    SyncFileReader syncFile_;
    WavPcmReader wavFile_;
    std::vector<SyncRecord> syncList_;
    PlayerPace pace_;

    std::unique_ptr<uint8_t[]> picture_;
    CxImage pictureImage_;  // the picture handed over in place (rows without padding)
    std::unique_ptr<int16_t[]> sound_;
    int64_t framesDelivered_ = 0;
    int32_t lastMovieFrame_ = 0;
    uint32_t lastSoundPosition_ = 0;
    // The player's sound before the range's first frame, left out: its sound
    // ends that much short of the last frame's, which is made up by silence.
    uint32_t soundSkipped_ = 0;
    // Silence still to come before the player's sound (values).
    uint32_t silenceOwed_ = 0;
    int writerSilenceLimitMs_ = kWriterSilenceLimitMs;
    // Fast Auto mode: frames grabbed and stepped past, waiting for their
    // sound to be complete.
    struct AheadFrame {
        std::unique_ptr<CxImage> image;  // null for sound only
        int32_t movieFrame = 0;
    };
    bool fast_ = false;
    std::unique_ptr<FastCapture> fastCapture_;
    std::deque<AheadFrame> ahead_;
    bool rangeOver_ = false;
    int64_t fastSteps_ = 0;
    int32_t stillFrame_ = -1;
    int64_t stillCount_ = 0;
    std::string failure_;
};

}  // namespace kinolux
