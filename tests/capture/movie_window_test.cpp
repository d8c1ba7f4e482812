// The movie window on the real engine module under the virtual clock: each
// step shows the next frame, none skipped or repeated, grabs are the
// renderer's own pictures at the size asked for, a large frame waits after
// a step only while the engine still draws it, and an unload leaves an
// empty stage on real time.
#include "capture/flash_pane.h"
#include "capture/movie_window.h"
#include "capture/settle_delay.h"
#include "platform/winmm/winmm.h"
#include "tests/capture/engine_interception.h"
#include "tests/flash_control/control_support.h"
#include "tests/platform/built_program_folder.h"
#include "tests/platform/manual_clock.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <QProcess>
#include <cstdlib>
#include <filesystem>

namespace kinolux {
namespace {

using flash::testing::MovieFiles;

QRgb ColourOfFrame(int frame)
{
    const swf::Color c = flash::testing::frameColor(frame);
    return qRgb(c.r, c.g, c.b);
}

QRgb CentreOf(const QImage& picture)
{
    return picture.pixel(picture.width() / 2, picture.height() / 2);
}

std::string SampleMovie()
{
    return testing::BuiltProgramFolder() + "/samples/kinolux-sample.swf";
}

class MovieWindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(testing::InstallInterceptionOnce()) << "the engine module's three imports are redirected";
        window = std::make_unique<MovieWindow>(nullptr, 1);
        ASSERT_NE(window->Pane(), nullptr);
        CallInterceptor::Instance().SetMode(kModeVirtualClock);
    }
    void TearDown() override
    {
        window.reset();
        CallInterceptor::Instance().SetMode(kModePassThrough);
    }

    // As the engine sets up an automatic capture.
    void Load(const std::string& path, int width, int height)
    {
        window->SetMovieSize(width, height);
        window->LoadForCapture(path);
        window->SetBackgroundColorRef(0x00FFFFFF);
    }

    testing::ManualClock clock;  // for the tests that give it to the window
    std::unique_ptr<MovieWindow> window;
    MovieFiles files;
};

TEST(SettleDelay, LargeFramesWaitLongerAndTheLongestWaitsNeedTheFullHeight)
{
    struct Case {
        int width, height, settleDelay, settleMs;
    };
    for (const Case c : {Case{640, 480, 0, 0}, Case{1279, 1080, 0, 0}, Case{1920, 719, 0, 0}, Case{1280, 720, 1, 50},
                         Case{1920, 800, 1, 50}, Case{1439, 1080, 1, 50}, Case{1440, 1080, 1, 100},
                         Case{1919, 1200, 1, 100}, Case{1920, 1080, 1, 150}, Case{3840, 2160, 1, 150}}) {
        const SettleDelay delay = SettleDelayForFrameSize(c.width, c.height);
        EXPECT_EQ(delay.settleDelay, c.settleDelay) << c.width << " x " << c.height;
        if (c.settleDelay) {
            EXPECT_EQ(delay.settleMs, c.settleMs) << c.width << " x " << c.height;
        }
    }
}

TEST(SettleDelay, AStepWaitsWhileTheFrameIsDrawnAndNeverLongerThanItsDelay)
{
    const SettleDelay large = SettleDelayForFrameSize(1920, 1080);
    struct Case {
        int drawingPolls;  // how many times the engine still says it draws
        std::chrono::milliseconds waited;
    };
    for (const Case c : {Case{0, std::chrono::milliseconds(0)}, Case{2, 2 * kDrawingPollInterval},
                         Case{1000, std::chrono::milliseconds(150)}}) {
        testing::ManualClock clock;
        int polls = 0;
        WaitWhileDrawing(clock, large, [&] { return polls++ < c.drawingPolls; });
        EXPECT_EQ(clock.sinceStart(), c.waited) << c.drawingPolls << " polls drawing";
    }
    testing::ManualClock clock;
    WaitWhileDrawing(clock, SettleDelayForFrameSize(640, 480), [] { return true; });
    EXPECT_EQ(clock.sinceStart(), std::chrono::milliseconds(0)) << "small frames never wait";
}

TEST_F(MovieWindowTest, StartsHiddenWithItsCaption)
{
    EXPECT_FALSE(window->isVisible());
    EXPECT_EQ(window->windowTitle(), "Capture video and audio...");
    EXPECT_EQ(window->capturing, 0);
}

TEST_F(MovieWindowTest, EachStepShowsTheNextFrameAndTheGrabShowsIt)
{
    Load(files.write("frames.swf", flash::testing::colouredFramesMovie(60, 25, 64, 48)), 64, 48);
    for (int frame = 0; frame < 45; ++frame) {
        const std::unique_ptr<QImage> picture = window->GrabFrame(0, 0, 64, 48);
        ASSERT_TRUE(picture);
        ASSERT_EQ(picture->size(), QSize(64, 48));
        ASSERT_EQ(window->CurrentFrame(), frame) << "none skipped, none repeated";
        ASSERT_EQ(CentreOf(*picture), ColourOfFrame(frame)) << "frame " << frame;
        window->Step(40);
    }
    window->Unload();
}

TEST_F(MovieWindowTest, TheSampleMovieVisitsItsFramesInOrder)
{
    ASSERT_TRUE(std::filesystem::exists(SampleMovie()));
    Load(SampleMovie(), 320, 240);
    for (int frame = 0; frame < 60; ++frame) {
        ASSERT_EQ(window->CurrentFrame(), frame);
        ASSERT_TRUE(window->GrabFrame(0, 0, 320, 240));
        window->Step(1000 / 25);
    }
    window->Unload();
}

// The grabs of the sample movie at chosen frames against swfrender's
// pictures of the same frames at the same size.
TEST_F(MovieWindowTest, GrabsAreTheRenderersOwnPictures)
{
    const QString swfrender = QString::fromStdString(testing::BuiltProgramFolder() + "/swfrender");
    testing::ScopedTempFolder folder;
    Load(SampleMovie(), 320, 240);
    window->SetBackgroundColorRef(0xFFFFFFFF);  // the movie's own background, as swfrender draws it
    for (int frame = 0; frame <= 40; ++frame) {
        if (frame % 20 == 0) {
            const std::unique_ptr<QImage> grabbed = window->GrabFrame(0, 0, 320, 240);
            ASSERT_TRUE(grabbed);
            const std::string png = folder / ("frame" + std::to_string(frame) + ".png");
            ASSERT_EQ(QProcess::execute(swfrender, {QString::fromStdString(SampleMovie()), "-n",
                                                    QString::number(frame + 1), "-o", QString::fromStdString(png),
                                                    "--size", "320x240"}),
                      0);
            const QImage rendered = QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32);
            const QImage mine = grabbed->convertToFormat(QImage::Format_RGB32);
            ASSERT_EQ(rendered.size(), mine.size());
            int differing = 0;
            for (int y = 0; y < mine.height(); ++y)
                for (int x = 0; x < mine.width(); ++x) differing += mine.pixel(x, y) != rendered.pixel(x, y);
            EXPECT_EQ(differing, 0) << "frame " << frame << ": pixel for pixel";
        }
        window->Step(1000 / 25);
    }
    window->Unload();
}

TEST_F(MovieWindowTest, GrabFrameResizesEverythingToTheRectangleFirst)
{
    Load(files.write("frames.swf", flash::testing::colouredFramesMovie(10, 25, 64, 48)), 640, 480);
    const std::unique_ptr<QImage> picture = window->GrabFrame(0, 0, 320, 240);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(320, 240));
    EXPECT_EQ(window->Pane()->flash().size(), QSize(320, 240));
    EXPECT_EQ(CentreOf(*picture), ColourOfFrame(0));
    window->Unload();
}

TEST_F(MovieWindowTest, AnEmptyOrImpossibleRectangleGivesNoPicture)
{
    Load(files.write("frames.swf", flash::testing::colouredFramesMovie(10, 25, 64, 48)), 64, 48);
    EXPECT_FALSE(window->GrabFrame(0, 0, 0, 0));
    EXPECT_FALSE(window->GrabFrame(10, 10, 0, 0));
    EXPECT_FALSE(window->GrabFrame(0, 0, 60000, 60000)) << "more than a picture may hold";
    EXPECT_FALSE(window->GrabFrameAt(3, 0, 0, 16385, 100));
    EXPECT_FALSE(window->GrabFrame(INT32_MIN, 0, INT32_MAX, 10));
    const std::unique_ptr<QImage> picture = window->GrabFrame(0, 0, 64, 48);
    ASSERT_TRUE(picture) << "and the window still works";
    EXPECT_EQ(CentreOf(*picture), ColourOfFrame(0));
    window->Unload();
}

TEST_F(MovieWindowTest, WhileCapturingAGrabMovesNothing)
{
    Load(files.write("frames.swf", flash::testing::colouredFramesMovie(10, 25, 64, 48)), 640, 480);
    const QRect before = window->geometry();
    window->capturing = 1;
    const std::unique_ptr<QImage> picture = window->GrabFrame(0, 0, 320, 240);
    window->capturing = 0;
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(640, 480)) << "the control's own size";
    EXPECT_EQ(window->geometry(), before);
    EXPECT_EQ(window->Pane()->flash().size(), QSize(640, 480));
    window->Unload();
}

TEST_F(MovieWindowTest, GrabFrameAtShowsTheFrameAskedFor)
{
    Load(files.write("frames.swf", flash::testing::colouredFramesMovie(30, 25, 64, 48)), 64, 48);
    const std::unique_ptr<QImage> picture = window->GrabFrameAt(12, 0, 0, 32, 24);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(32, 24));
    EXPECT_EQ(CentreOf(*picture), ColourOfFrame(12));
    window->Unload();
}

TEST_F(MovieWindowTest, LargeFramesWaitOnlyWhileTheEngineStillDraws)
{
    const std::string movie = files.write("frames.swf", flash::testing::colouredFramesMovie(10, 25, 64, 48));
    Load(movie, 1920, 1080);
    EXPECT_EQ(window->Settle().settleDelay, 1);
    EXPECT_EQ(window->Settle().settleMs, 150);
    ASSERT_FALSE(window->Pane()->flash().FrameStillDrawing()) << "the engine has drawn its frame when a step returns";
    window->UseClock(clock);
    window->Step(40);
    EXPECT_EQ(clock.sinceStart(), std::chrono::milliseconds(0)) << "nothing left to settle";
    EXPECT_EQ(window->CurrentFrame(), 1);
    const std::unique_ptr<QImage> picture = window->GrabFrame(0, 0, 1920, 1080);
    ASSERT_TRUE(picture);
    EXPECT_EQ(picture->size(), QSize(1920, 1080));
    EXPECT_EQ(CentreOf(*picture), ColourOfFrame(1));

    Load(movie, 640, 480);
    EXPECT_EQ(window->Settle().settleDelay, 0) << "worked out again at every load";
    window->Unload();
}

TEST_F(MovieWindowTest, ALoadForgetsTheLastCapture)
{
    window->run.moviePath = "old.swf";
    window->run.autoHide = 0;
    window->lastFrame = 12;
    window->tickBusy = 1;
    window->finished = 1;
    window->capturedFrames.Append({std::make_unique<QImage>(8, 8, QImage::Format_RGB32), 40, 1});
    Load(files.write("frames.swf", flash::testing::colouredFramesMovie(10)), 40, 30);
    EXPECT_EQ(window->run.moviePath, "");
    EXPECT_EQ(window->run.autoHide, 1);
    EXPECT_EQ(window->lastFrame, 0);
    EXPECT_EQ(window->tickBusy, 0);
    EXPECT_EQ(window->finished, 0);
    EXPECT_EQ(window->capturedFrames.Count(), 0u);
    window->Unload();
}

TEST_F(MovieWindowTest, UnloadLeavesAnEmptyStageOnRealTime)
{
    Load(files.write("frames.swf", flash::testing::colouredFramesMovie(10, 25, 64, 48)), 64, 48);
    for (int k = 0; k < 5; ++k) window->Step(40);
    const DWORD before = ::timeGetTime();
    window->Unload();
    EXPECT_EQ(window->Pane()->flash().GetTotalFrames(), 0);
    const DWORD reading = VirtualTimeGetTime();
    EXPECT_LE(DWORD(reading - before), DWORD(::timeGetTime() - before)) << "the clock was put back on real time";
    const std::unique_ptr<QImage> picture = window->GrabFrame(0, 0, 64, 48);
    ASSERT_TRUE(picture);
    EXPECT_NE(CentreOf(*picture), ColourOfFrame(5)) << "the movie is gone";
}

}  // namespace
}  // namespace kinolux
