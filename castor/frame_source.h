// The pseudo input "frame_input.kinolux": pictures and sound pulled through
// the program's frame callback. Request 0 yields the stream description,
// requests 1, 2, 3, ... one record each until the callback returns -1.
//
// Timing: a record's pictureTime and soundTime mark the END of the span it
// covers. Its sound (soundBytes of interleaved 16-bit values) ends at
// soundTime; its picture is the one shown during the frame period
// (1 / frameRate) that ends at pictureTime. That is how the program's frame
// supply stamps frames (frame n at n / fps with the sound read up to that
// moment). A supplier whose first record is stamped 0 (start times) is
// read the same way, shifted so that the output starts at 0.
//
// Sound blocks may hold an odd number of 16-bit values (at 24 fps a frame
// carries 3675); the stream of values is continuous across records, so a
// value left over from one block is joined to the next.
#pragma once

#include <cstdint>
#include <vector>

#include "bindings/castor.h"
#include "castor/libav_handles.h"
#include "castor/media_source.h"

namespace castor {

class FrameSource : public MediaSource {
public:
    // Asks for the stream description; throws Failure when it is unusable.
    explicit FrameSource(CS_FrameCallback callback);

    const SourceLayout& Layout() const override { return layout_; }
    bool Read(SourceItem& item) override;
    void Ignore(ItemKind kind) override;

private:
    bool FetchRecord();
    void PreparePicture();
    void PrepareSound();
    void SetOrigin();

    CS_FrameCallback callback_;
    SourceLayout layout_;
    FrameInfo record_{};
    int request_ = 0;
    double framePeriod_ = 0;
    bool haveOrigin_ = false;
    double originShift_ = 0;

    FramePtr picture_;
    FramePtr sound_;
    bool picturePending_ = false;
    bool soundPending_ = false;
    double pictureStart_ = 0;
    double soundStart_ = 0;
    std::vector<int16_t> values_;  // the sound handed out: carried values, then the block
    std::vector<int16_t> carry_;   // values short of a whole sample, for the next block
};

}  // namespace castor
