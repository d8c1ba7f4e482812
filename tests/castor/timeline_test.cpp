// Placing pictures on the output's frame rate and sound blocks on the
// sound stream.
#include <gtest/gtest.h>

#include "castor/audio_timeline.h"
#include "castor/video_timeline.h"

namespace castor {
namespace {

TEST(CastorVideoTimeline, SameRateGivesEachPictureOneSlot) {
    VideoTimeline timeline(AVRational{25, 1});
    for (int frame = 0; frame < 50; ++frame) {
        const double start = frame * 0.04 - 0.0004;  // stamps rounded down
        const VideoTimeline::Step step = timeline.Add(start, start + 0.04);
        EXPECT_EQ(step.heldRepeats, 0);
        EXPECT_EQ(step.count, 1);
    }
    EXPECT_EQ(timeline.Finish(2.0), 0);
    EXPECT_EQ(timeline.NextSlot(), 50);
}

TEST(CastorVideoTimeline, AGapRepeatsThePreviousPicture) {
    VideoTimeline timeline(AVRational{10, 1});
    EXPECT_EQ(timeline.Add(0.0, 0.1).count, 1);
    const VideoTimeline::Step late = timeline.Add(0.5, 0.6);
    EXPECT_EQ(late.heldRepeats, 4);  // slots 1 to 4 keep picture 0
    EXPECT_EQ(late.count, 1);
    EXPECT_EQ(timeline.NextSlot(), 6);
}

TEST(CastorVideoTimeline, TheFirstPictureFillsALateStart) {
    VideoTimeline timeline(AVRational{10, 1});
    const VideoTimeline::Step first = timeline.Add(0.3, 0.4);
    EXPECT_EQ(first.heldRepeats, 0);
    EXPECT_EQ(first.count, 4);
}

int64_t SlotsFor(AVRational rate, int pictures, double period) {
    VideoTimeline timeline(rate);
    int64_t slots = 0;
    for (int picture = 0; picture < pictures; ++picture) {
        const VideoTimeline::Step step = timeline.Add(picture * period, (picture + 1) * period);
        slots += step.heldRepeats + step.count;
    }
    return slots + timeline.Finish(pictures * period);  // the last picture lasts its own period
}

TEST(CastorVideoTimeline, OtherRatesKeepTheLengthOfTheInput) {
    EXPECT_EQ(SlotsFor(AVRational{5, 1}, 10, 0.1), 5);
    EXPECT_EQ(SlotsFor(AVRational{4, 1}, 10, 0.1), 4);
    EXPECT_EQ(SlotsFor(AVRational{20, 1}, 10, 0.1), 20);
    EXPECT_EQ(SlotsFor(AVRational{24000, 1001}, 12, 1 / 12.0), 24);
    EXPECT_EQ(SlotsFor(AVRational{25, 1}, 30, 1 / 29.97), 25);
}

TEST(CastorVideoTimeline, HalvingTheRateKeepsThePicturesOnTheSlots) {
    VideoTimeline half(AVRational{5, 1});
    for (int frame = 0; frame < 10; ++frame) {
        EXPECT_EQ(half.Add(frame * 0.1, (frame + 1) * 0.1).count, frame % 2 == 0 ? 1 : 0) << frame;
    }
}

TEST(CastorVideoTimeline, PicturesBeforeTheStartAreDropped) {
    VideoTimeline timeline(AVRational{10, 1});
    EXPECT_EQ(timeline.Add(-0.2, -0.1).count, 0);
    EXPECT_EQ(timeline.Add(0.0, 0.1).count, 1);
    EXPECT_EQ(timeline.Finish(0.05), 0);  // nothing held beyond its end
}

TEST(CastorAudioTimeline, ContiguousBlocksPassUnchanged) {
    AudioTimeline timeline;
    for (int block = 0; block < 100; ++block) {
        // trunc-to-millisecond stamps, as the program writes them
        const double start = static_cast<int>(block * 1000 / 24.0) * 0.001;
        const AudioTimeline::Step step = timeline.Add(start, 1837, 44100);
        EXPECT_EQ(step.silence, 0);
        EXPECT_EQ(step.skip, 0);
    }
}

TEST(CastorAudioTimeline, AGapBecomesSilenceAndAnOverlapIsCut) {
    AudioTimeline timeline;
    timeline.Add(0, 4410, 44100);  // 0.0 .. 0.1
    const AudioTimeline::Step gap = timeline.Add(0.6, 4410, 44100);
    EXPECT_EQ(gap.silence, 22050);
    EXPECT_EQ(gap.skip, 0);
    const AudioTimeline::Step overlap = timeline.Add(0.65, 4410, 44100);  // the stream is at 0.7
    EXPECT_EQ(overlap.silence, 0);
    EXPECT_EQ(overlap.skip, 2205);
    EXPECT_NEAR(timeline.Position(), 0.75, 1e-9);
    const AudioTimeline::Step stale = timeline.Add(0.0, 4410, 44100);  // wholly in the past
    EXPECT_EQ(stale.skip, 4410);
    EXPECT_NEAR(timeline.Position(), 0.75, 1e-9);
}

}  // namespace
}  // namespace castor
