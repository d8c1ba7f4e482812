// The preview's rules apart from its widgets: where the frame buttons go,
// which marks are taken, when the frame display is refreshed on its clock,
// and the names and size of a saved picture.
#include "shell/preview_frames.h"
#include "shell/frame_snapshot.h"
#include "tests/platform/manual_clock.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

namespace kinolux {
namespace {

using namespace std::chrono_literals;

ConversionTask TaskWithRange(int64_t in, int64_t out, int32_t total) {
    ConversionTask task;
    task.inFrame = in;
    task.outFrame = out;
    task.totalFrames = total;
    return task;
}

TEST(PreviewFrames, TheStepButtonsGoToTheFirstTheNeighbouringAndTheLastFrame) {
    EXPECT_EQ(FrameAfterStep(FrameStep::First, 17, 30), 0);
    EXPECT_EQ(FrameAfterStep(FrameStep::Previous, 17, 30), 16);
    EXPECT_EQ(FrameAfterStep(FrameStep::Next, 17, 30), 18);
    EXPECT_EQ(FrameAfterStep(FrameStep::Last, 17, 30), 29);
    // The ends are the control's to keep: it holds its frame to the timeline.
    EXPECT_EQ(FrameAfterStep(FrameStep::Previous, 0, 30), -1);
    EXPECT_EQ(FrameAfterStep(FrameStep::Next, 29, 30), 30);
}

TEST(PreviewFrames, AnInMarkIsTakenFromTheStartUpToTheOutFrame) {
    ConversionTask task = TaskWithRange(10, 20, 30);
    EXPECT_EQ(MarkIn(task, 15), MarkOutcome::Accepted);
    EXPECT_EQ(task.inFrame, 15);
    EXPECT_EQ(MarkIn(task, 25), MarkOutcome::Refused);
    EXPECT_EQ(MarkIn(task, -1), MarkOutcome::Refused);
    EXPECT_EQ(task.inFrame, 15) << "a refused mark changes nothing";
    EXPECT_EQ(MarkIn(task, 20), MarkOutcome::Accepted) << "a range of one frame";
    EXPECT_EQ(MarkIn(task, 0), MarkOutcome::Accepted);
    EXPECT_EQ(task.outFrame, 20);
}

TEST(PreviewFrames, AnOutMarkIsTakenFromTheInFrameUpToTheLastFrame) {
    ConversionTask task = TaskWithRange(10, 20, 30);
    EXPECT_EQ(MarkOut(task, 5), MarkOutcome::Refused);
    EXPECT_EQ(MarkOut(task, 19), MarkOutcome::Accepted);
    EXPECT_EQ(task.outFrame, 19);
    EXPECT_EQ(MarkOut(task, 29), MarkOutcome::Accepted) << "the movie's last frame";
    EXPECT_EQ(MarkOut(task, 30), MarkOutcome::Refused) << "past the movie";
    EXPECT_EQ(MarkOut(task, 10), MarkOutcome::Accepted);
    EXPECT_EQ(task.outFrame, 10);
    EXPECT_EQ(task.inFrame, 10);
    // A movie without frames takes no mark at all.
    ConversionTask empty = TaskWithRange(0, -1, 0);
    EXPECT_EQ(MarkOut(empty, 0), MarkOutcome::Refused);
    EXPECT_EQ(MarkIn(empty, 0), MarkOutcome::Refused);
}

TEST(PreviewFrames, TheDisplayIsRefreshedEveryTwentyMillisecondsOfItsClockWithoutCatchingUp) {
    testing::ManualClock clock;
    FrameDisplayPacer pacer(clock);
    EXPECT_TRUE(pacer.RefreshDue()) << "at once";
    EXPECT_FALSE(pacer.RefreshDue());
    EXPECT_EQ(pacer.UntilDue(), 20ms);
    clock.advance(13ms);
    EXPECT_FALSE(pacer.RefreshDue());
    EXPECT_EQ(pacer.UntilDue(), 7ms);
    clock.advance(7ms);
    EXPECT_TRUE(pacer.RefreshDue());
    // Late by a little: the refreshes stay on their grid.
    clock.advance(25ms);
    EXPECT_TRUE(pacer.RefreshDue());
    EXPECT_EQ(pacer.UntilDue(), 15ms);
    // Late by a lot (a busy window): one refresh, then a period from now.
    clock.advance(200ms);
    EXPECT_TRUE(pacer.RefreshDue());
    EXPECT_FALSE(pacer.RefreshDue());
    EXPECT_EQ(pacer.UntilDue(), 20ms);
}

TEST(PreviewFrames, TheDisplayMovesOnlyWhenTheFrameChanges) {
    testing::ManualClock clock;
    FrameDisplayPacer pacer(clock);
    EXPECT_EQ(pacer.FrameToShow(0), std::nullopt) << "frame 0 counts as shown";
    EXPECT_EQ(pacer.FrameToShow(4), 4);
    EXPECT_EQ(pacer.FrameToShow(4), std::nullopt);
    pacer.SetShown(9);
    EXPECT_EQ(pacer.FrameToShow(9), std::nullopt);
    EXPECT_EQ(pacer.FrameToShow(2), 2);
}

TEST(FrameSnapshot, ThePictureIsGrabbedInMultiplesOfSixteen) {
    EXPECT_EQ(SnapshotSize(100, 75), QSize(112, 80));
    EXPECT_EQ(SnapshotSize(320, 240), QSize(320, 240));
    EXPECT_EQ(SnapshotSize(1, 17), QSize(16, 32));
    EXPECT_EQ(SnapshotSize(16384, 16384), QSize(16384, 16384));
}

TEST(FrameSnapshot, APictureNeverTakesTheNameOfAnExistingFile) {
    testing::ScopedTempFolder folder;
    const std::string out = folder.path() + "/";
    EXPECT_EQ(SnapshotNames(out, "/movies/intro.v2.swf", 12, false).bmp, out + "intro.v2_12.bmp");
    SnapshotFiles both = SnapshotNames(out, "/movies/intro.swf", 12, true);
    EXPECT_EQ(both.bmp, out + "intro_12.bmp");
    EXPECT_EQ(both.png, out + "intro_12.png");
    // Either name taken moves both on, so the pair keeps one name.
    testing::WriteTextFile(out + "intro_12.png", "mine");
    both = SnapshotNames(out, "/movies/intro.swf", 12, true);
    EXPECT_EQ(both.bmp, out + "intro_12 (1).bmp");
    EXPECT_EQ(both.png, out + "intro_12 (1).png");
    EXPECT_EQ(SnapshotNames(out, "/movies/intro.swf", 12, false).bmp, out + "intro_12.bmp");
    testing::WriteTextFile(out + "intro_12.bmp", "mine too");
    EXPECT_EQ(SnapshotNames(out, "/movies/intro.swf", 12, false).bmp, out + "intro_12 (1).bmp");
}

}  // namespace
}  // namespace kinolux
