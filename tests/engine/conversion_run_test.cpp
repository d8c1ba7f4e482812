// Whole conversion runs with no window at all: a core application, the real
// sound player process, and a frame source that paints each frame of the
// replay in a colour of its own. What the run reports arrives on the thread
// that runs it; what it leaves behind is the output alone.
#include "engine/conversion_run.h"
#include "engine/frame_source.h"
#include "platform/program_folder.h"
#include "profiles/profile_store.h"
#include "tests/flash/test_movies.h"
#include "tests/platform/built_program_folder.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QFile>
#include <QThread>
#include <cstdlib>
#include <filesystem>
#include <vector>

namespace kinolux {
namespace {

namespace fs = std::filesystem;

constexpr int kMovieFrames = 40;

void EnsureCoreApplication() {
    static int argc = 1;
    static char name[] = "conversion_run_tests";
    static char* argv[] = {name, nullptr};
    if (!QCoreApplication::instance()) new QCoreApplication(argc, argv);
}

bool OnRunThread() { return QThread::currentThread() == QCoreApplication::instance()->thread(); }

// The movie the player plays: a rectangle that changes colour every frame.
std::vector<std::uint8_t> ChangingMovie() {
    std::vector<swf::Tag> tags;
    for (int f = 0; f < kMovieFrames; ++f) {
        const auto id = swf::CharacterId(f + 1);
        tags.push_back(testmovies::rect(id, {std::uint8_t(6 * f), 100, 200, 255}, 0, 0, 64, 48));
        swf::PlaceObject place = testmovies::place(1, id);
        if (f > 0) place.action = swf::PlaceAction::Replace;
        tags.push_back(place);
        tags.push_back(swf::ShowFrame{});
    }
    swf::Header header = testmovies::header(64, 48, kMovieFrames);
    header.frameRate = 25 * 256;
    return testmovies::movie(tags, header);
}

// Steps one frame per step and paints frame k in a shade of its own.
class PaintedFrames : public FrameSource {
public:
    void SetMovieSize(int width, int height) override { size = {width, height}; }
    void LoadForCapture(const std::string& path) override {
        loaded = path;
        frame_ = 0;
    }
    void SetBackgroundColorRef(COLORREF) override {}
    void GoToFrame(int frame) override { frame_ = frame; }
    void Step(unsigned) override { ++frame_; }
    int CurrentFrame() override { return frame_; }
    std::unique_ptr<QImage> GrabFrame(int left, int top, int right, int bottom) override {
        ++grabs;
        auto picture = std::make_unique<QImage>(right - left, bottom - top, QImage::Format_RGB32);
        picture->fill(qRgb(6 * frame_ % 256, 100, 200));
        return picture;
    }
    void Unload() override { unloaded = true; }

    QSize size;
    std::string loaded;
    int grabs = 0;
    bool unloaded = false;

private:
    int frame_ = 0;
};

class RecordingObserver : public ConversionRunObserver {
public:
    void RunOpened(bool interactive, bool) override {
        Note();
        openedInteractive = interactive;
    }
    void RunPercent(int percent) override {
        Note();
        percents.push_back(percent);
    }
    void RunBar(int) override { Note(); }
    void RunStatus(const std::string&) override { Note(); }
    void RunPreview(const CxImage&) override {
        Note();
        ++previews;
    }
    void RunMessage(const std::string& text) override {
        Note();
        messages.push_back(text);
    }
    void RunWaiting(bool) override { Note(); }

    bool openedInteractive = true;
    std::vector<int> percents;
    std::vector<std::string> messages;
    int previews = 0;
    int offThread = 0;

private:
    void Note() {
        if (!OnRunThread()) ++offThread;
    }
};

class ConversionRunTest : public ::testing::Test {
protected:
    void SetUp() override {
        EnsureCoreApplication();
        SetProgramFolder(testing::BuiltProgramFolder());
        const std::vector<std::uint8_t> movie = ChangingMovie();
        task_.inputPath = temp_.path() + "/changing.swf";
        QFile file(QString::fromStdString(task_.inputPath));
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(reinterpret_cast<const char*>(movie.data()), static_cast<qint64>(movie.size()));
        file.close();
        task_.sourceWidth = 64;
        task_.sourceHeight = 48;
        task_.frameRate = 25;
        task_.totalFrames = kMovieFrames;
        task_.inFrame = 0;
        task_.outFrame = kMovieFrames - 1;
        task_.outputMode = kOutputAuto;
        task_.backgroundColor = 0xFFFFFF;
    }

    void UseProfile(const std::string& file, const std::string& name) {
        LoadProfile(name, task_.profile, ProfileFilePath(file));
        task_.profile.nVideoRiszeOption = 0;
        task_.profile.nSourceWidth = 64;
        task_.profile.nSourceHeight = 48;
    }

    RunOutcome Run(ConversionRun& run) {
        EXPECT_STREQ(QCoreApplication::instance()->metaObject()->className(), "QCoreApplication");
        return run.Run();
    }

    // A run that ends well says nothing and reports only on its own thread.
    void ExpectQuietCompletion(ConversionRun& run) {
        EXPECT_EQ(Run(run), RunOutcome::Completed) << ::testing::PrintToString(observer_.messages);
        EXPECT_TRUE(observer_.messages.empty()) << ::testing::PrintToString(observer_.messages);
        EXPECT_EQ(observer_.offThread, 0);
    }

    RunContext Context() {
        RunContext context;
        context.task = &task_;
        context.temporaryFolder = temp_.path() + "/work/";
        return context;
    }

    std::vector<std::string> FilesLeft() {
        std::vector<std::string> names;
        for (const auto& entry : fs::recursive_directory_iterator(temp_.path()))
            if (entry.is_regular_file() && entry.path() != task_.inputPath)
                names.push_back(fs::relative(entry.path(), temp_.path()).string());
        std::sort(names.begin(), names.end());
        return names;
    }

    testing::ScopedTempFolder temp_;
    ConversionTask task_;
    PaintedFrames frames_;
    RecordingObserver observer_;
};

TEST_F(ConversionRunTest, AnAutoVideoFollowsThePlayerAndLeavesOnlyTheOutput) {
    UseProfile("h264mp4.ini", "H264 mp4 Normal");
    task_.outputPath = temp_.path() + "/changing.mp4";
    ConversionRun run(Context(), frames_, nullptr, observer_);
    ExpectQuietCompletion(run);
    EXPECT_FALSE(observer_.openedInteractive);
    EXPECT_EQ(frames_.loaded, task_.inputPath);
    EXPECT_EQ(frames_.size, QSize(64, 48));
    EXPECT_TRUE(frames_.unloaded);
    // Frames 0 to 39 of the range 0..39, but where the player fell behind.
    EXPECT_GE(frames_.grabs, 36);
    EXPECT_EQ(observer_.previews, frames_.grabs);
    ASSERT_FALSE(observer_.percents.empty());
    EXPECT_TRUE(std::is_sorted(observer_.percents.begin(), observer_.percents.end()));
    EXPECT_TRUE(std::adjacent_find(observer_.percents.begin(), observer_.percents.end()) == observer_.percents.end())
        << "each percentage once";
    EXPECT_GE(observer_.percents.back(), 80);
    EXPECT_EQ(FilesLeft(), std::vector<std::string>{"changing.mp4"});
    EXPECT_GT(fs::file_size(task_.outputPath), 1000u);
}

TEST_F(ConversionRunTest, AnAutoStillImageSequenceIsNumberedFromOne) {
    UseProfile("pngimg.ini", "PNG images no alpha");
    task_.outputPath = temp_.path() + "/shots.png";
    ConversionRun run(Context(), frames_, nullptr, observer_);
    ExpectQuietCompletion(run);
    EXPECT_EQ(run.StreamKind(), 0);
    const std::vector<std::string> left = FilesLeft();
    ASSERT_GE(left.size(), 30u) << ::testing::PrintToString(left);
    EXPECT_EQ(left.front(), "shots/ren0001.png");
    EXPECT_EQ(left.size(), static_cast<size_t>(frames_.grabs));
    for (size_t n = 0; n < left.size(); ++n) {
        char expected[32];
        std::snprintf(expected, sizeof expected, "shots/ren%04zu.png", n + 1);
        EXPECT_EQ(left[n], expected);
    }
}

TEST_F(ConversionRunTest, ACodecThatCannotTakeTheFrameSizeIsRefusedBeforeAnythingPlays) {
    UseProfile("divxavi.ini", "Divx avi Normal");
    task_.profile.cVideoCodec = "h261";
    task_.outputPath = temp_.path() + "/changing.avi";
    ConversionRun run(Context(), frames_, nullptr, observer_);
    EXPECT_EQ(Run(run), RunOutcome::Failed);
    ASSERT_EQ(observer_.messages.size(), 1u) << ::testing::PrintToString(observer_.messages);
    EXPECT_NE(observer_.messages[0].find("but the h261 codec takes only 176 x 144 or 352 x 288."), std::string::npos)
        << observer_.messages[0];
    EXPECT_TRUE(frames_.loaded.empty()) << "the movie was never played";
    EXPECT_TRUE(FilesLeft().empty()) << ::testing::PrintToString(FilesLeft());
}

TEST_F(ConversionRunTest, WithoutAnInteractiveCaptureTheInteractiveModesAreRefused) {
    UseProfile("h264mp4.ini", "H264 mp4 Normal");
    task_.outputPath = temp_.path() + "/changing.mp4";
    task_.outputMode = kOutputInteractiveOnePass;
    ConversionRun run(Context(), frames_, nullptr, observer_);
    EXPECT_EQ(Run(run), RunOutcome::Failed);
    ASSERT_EQ(observer_.messages.size(), 1u);
    EXPECT_NE(observer_.messages[0].find("Interactive conversion is not available"), std::string::npos);
    EXPECT_TRUE(FilesLeft().empty()) << ::testing::PrintToString(FilesLeft());
}

}  // namespace
}  // namespace kinolux
