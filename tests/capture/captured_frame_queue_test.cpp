// The queue between interactive capture and the engine: entries come out in
// the order they went in, and a full queue drops its oldest pictures.
#include "capture/captured_frame_queue.h"

#include <gtest/gtest.h>

namespace kinolux {
namespace {

CapturedFrame Entry(int frame)
{
    return {std::make_unique<QImage>(2, 2, QImage::Format_RGB32), frame * 40, frame};
}

TEST(CapturedFrameQueue, HandsOutTheOldestFirstAndKeepsTheTenNewest)
{
    CapturedFrameQueue queue;
    for (int frame = 0; frame < 13; ++frame) queue.Append(Entry(frame));
    EXPECT_EQ(queue.Count(), CapturedFrameQueue::kMaxEntries);
    CapturedFrame out;
    for (int frame = 3; frame < 13; ++frame) {
        ASSERT_TRUE(queue.TakeOldest(out));
        EXPECT_EQ(out.frame, frame);
        EXPECT_EQ(out.elapsedMs, frame * 40);
        EXPECT_TRUE(out.bitmap);
    }
    EXPECT_FALSE(queue.TakeOldest(out));
    EXPECT_EQ(out.frame, 12) << "an empty queue leaves the entry alone";
}

TEST(CapturedFrameQueue, TheEndMarkerIsKnownAndClearEmpties)
{
    CapturedFrameQueue queue;
    queue.Append(Entry(1));
    queue.Append(CaptureEndMarker());
    CapturedFrame out;
    ASSERT_TRUE(queue.TakeOldest(out));
    EXPECT_FALSE(IsCaptureEndMarker(out));
    ASSERT_TRUE(queue.TakeOldest(out));
    EXPECT_TRUE(IsCaptureEndMarker(out));
    queue.Append(Entry(2));
    queue.Clear();
    EXPECT_EQ(queue.Count(), 0u);
    EXPECT_FALSE(queue.TakeOldest(out));
}

}  // namespace
}  // namespace kinolux
