// The main window's preview through its real widgets on Qt's offscreen
// platform and the real engine: the frame buttons show the renderer's own
// pictures, the slider and the frame display follow the movie as its clock
// is moved by hand, the marks and their messages, zoom and the scale modes,
// the background colour, the saved pictures, and conversions of a marked
// and coloured task. Only the dialogs are answered by the test.
#include "capture/image_settings_dialog.h"
#include "capture/shockwave_flash.h"
#include "controlkit/color_button.h"
#include "controlkit/skin_slider.h"
#include "profiles/profile_store.h"
#include "shell/main_window.h"
#include "shell/preview_controls.h"
#include "shell/task_list_model.h"
#include "tests/platform/manual_clock.h"
#include "tests/platform/outside_requirements.h"
#include "tests/shell/numbered_output.h"
#include "tests/shell/window_test_support.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QColorDialog>
#include <QLineEdit>
#include <QProcess>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <filesystem>

namespace kinolux {
namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using flash::testing::pumpUntil;
using testing::WriteFile;
using P = PreviewControls;

constexpr int kWaitMs = 10000;

std::string BinFile(const std::string& name) { return testing::BuiltProgramFolder() + "/" + name; }
std::string SampleMovie() { return BinFile("samples/kinolux-sample.swf"); }

// swfrender's picture of `frame` (0-based) at `size` in a scale mode.
QImage Rendered(const std::string& movie, int frame, QSize size, int scaleMode, const std::string& png) {
    const int code = QProcess::execute(
        QString::fromStdString(BinFile("swfrender")),
        {QString::fromStdString(movie), "-n", QString::number(frame + 1), "-o", QString::fromStdString(png), "--size",
         QString("%1x%2").arg(size.width()).arg(size.height()), "--scale-mode", QString::number(scaleMode)});
    return code == 0 ? QImage(QString::fromStdString(png)).convertToFormat(QImage::Format_RGB32) : QImage();
}

int DifferingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size()) return -1;
    int differing = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x) differing += a.pixel(x, y) != b.pixel(x, y);
    return differing;
}

// The frames of a video file, counted by decoding it.
int CountedFrames(const std::string& file) {
    QProcess probe;
    probe.start("ffprobe", {"-v", "error", "-count_frames", "-select_streams", "v:0", "-show_entries",
                            "stream=nb_read_frames", "-of", "csv=p=0", QString::fromStdString(file)});
    if (!probe.waitForFinished(60000)) return -1;
    return probe.readAllStandardOutput().trimmed().toInt();
}

// Answers the next modal dialog of type T once it is open.
template <class T>
void AnswerNextDialog(std::function<void(T&)> answer) {
    auto* timer = new QTimer;
    timer->setInterval(10);
    QObject::connect(timer, &QTimer::timeout, [timer, answer] {
        if (auto* dialog = dynamic_cast<T*>(QApplication::activeModalWidget())) {
            timer->stop();
            timer->deleteLater();
            answer(*dialog);
        }
    });
    timer->start();
}

// 100x75, a red 30x30 square at (10, 10) on a stage whose background it
// leaves undeclared, `frames` frames.
std::vector<std::uint8_t> SquareMovie(int frames) {
    std::vector<swf::Tag> tags{testmovies::rect(1, {255, 0, 0, 255}, 0, 0, 30, 30),
                               testmovies::place(1, 1, testmovies::at(10, 10))};
    for (int f = 0; f < frames; ++f) tags.push_back(swf::ShowFrame{});
    return testmovies::movie(tags, testmovies::header(100, 75, frames));
}

class PreviewTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteOutputDefault({"mp4.ini", "mp4 Normal", -1});
        prompts_ = StandardPrompts();
        prompts_.chooseFormat = [](QWidget*, int) -> std::optional<FormatChoice> { return std::nullopt; };
        prompts_.showResult = [](const std::string&) {};
    }
    void TearDown() override { ::unsetenv("KINOLUX_AUDIO"); }

    MainWindow& Window() {
        if (!window_) {
            window_ = std::make_unique<MainWindow>(prompts_);
            Preview().SetPictureOpener([this](const std::string& path) { opened_.push_back(path); });
        }
        return *window_;
    }
    PreviewControls& Preview() { return window_->Preview(); }
    CShockwaveFlash& Flash() { return Preview().Flash(); }
    void Click(int id) { Preview().Get<QPushButton>(id)->click(); }
    QString Display() { return Preview().Get<QPushButton>(P::kFrameDisplay)->text(); }
    SkinSlider& Slider() { return *Preview().Get<SkinSlider>(P::kSlider); }
    QImage Grab() { return Flash().grab().toImage().convertToFormat(QImage::Format_RGB32); }
    // Adds the movie as its only task, selected, loaded and stopped on its
    // first frame.
    ConversionTask& Add(const std::string& movie) {
        Window().AddPaths({QString::fromStdString(movie)});
        Click(P::kFirst);
        return Window().Tasks().Task(Window().Tasks().rowCount() - 1);
    }
    // The user moves the slider's thumb to `frame`.
    void DragTo(int frame) {
        Slider().setSliderDown(true);
        Slider().setSliderPosition(frame);
        Slider().setSliderDown(false);
    }
    // The user moves the thumb to `frame` and presses the in or out button.
    void MarkAt(int frame, int markButton) {
        DragTo(frame);
        Click(markButton);
    }
    QString Column(int column) {
        return Window().Tasks().data(Window().Tasks().index(0, column), Qt::DisplayRole).toString();
    }

    testing::WindowTestHome home_;
    MainWindowPrompts prompts_;
    testing::ManualClock clock_;  // outlives the window that may read it
    std::unique_ptr<MainWindow> window_;
    std::vector<std::string> opened_;
};

// Stepping goes to a frame as the control's FrameNum does, which leaves the
// clips inside the movie where they were, as Flash does: a movie drawn by its
// main timeline alone looks the same however its frame was reached.
TEST_F(PreviewTest, TheFrameButtonsShowTheRenderersOwnPicturesInEveryScaleMode) {
    const std::string movie = WriteFile(home_ / "movies/numbered.swf", testing::NumberedFlashMovie(60, 2, 20));
    Add(movie);
    const QSize size = Flash().size();
    struct Case {
        int button;
        int frame;
    };
    for (const Case& step :
         {Case{P::kNext, 1}, Case{P::kNext, 2}, Case{P::kLast, 59}, Case{P::kPrevious, 58}, Case{P::kFirst, 0}}) {
        Click(step.button);
        ASSERT_EQ(Flash().CurrentFrame(), step.frame);
        const QImage rendered = Rendered(movie, step.frame, size, 0, home_ / "rendered.png");
        EXPECT_EQ(DifferingPixels(Grab(), rendered), 0) << "frame " << step.frame;
    }
    // "Previous" on the first frame is the control's to refuse.
    Click(P::kPrevious);
    EXPECT_EQ(Flash().CurrentFrame(), 0);
    DragTo(42);
    ASSERT_EQ(Flash().CurrentFrame(), 42);
    for (auto [button, mode] : {std::pair{P::kStretch, 2}, std::pair{P::kRealSize, 3}, std::pair{P::kShowAll, 0}}) {
        Click(button);
        const QImage rendered = Rendered(movie, 42, size, mode, home_ / "rendered.png");
        EXPECT_EQ(DifferingPixels(Grab(), rendered), 0) << "scale mode " << mode;
    }
}

TEST_F(PreviewTest, ZoomEnlargesAroundTheCentreAndResetGoesBackToTheWholeMovie) {
    Add(WriteFile(home_ / "movies/square.swf", SquareMovie(10)));
    const QImage whole = Grab();
    Click(P::kZoomIn);
    const QImage zoomed = Grab();
    EXPECT_GT(DifferingPixels(whole, zoomed), 0);
    Click(P::kZoomOut);
    EXPECT_EQ(DifferingPixels(whole, Grab()), 0) << "out undoes in";
    Click(P::kZoomIn);
    Click(P::kZoomIn);
    EXPECT_GT(DifferingPixels(zoomed, Grab()), 0) << "in again goes further";
    Click(P::kZoomReset);
    EXPECT_EQ(DifferingPixels(whole, Grab()), 0);
}

TEST_F(PreviewTest, TheSliderAndTheDisplayFollowTheMovieAsItsClockMoves) {
    // No sound device: the movie and its chimes play silently, on the same clock.
    ::setenv("KINOLUX_AUDIO", "none", 1);
    Window();
    Preview().UseClock(clock_);
    Add(SampleMovie());
    EXPECT_EQ(Slider().minimum(), 0);
    EXPECT_EQ(Slider().maximum(), 149);
    EXPECT_EQ(Display(), "0");
    Click(P::kPlay);
    // 25 frames a second: a frame every 40 ms, the display every 20 ms.
    // Each turn moves to the next frame, then half a period on, where only
    // the display is due.
    clock_.advance(20ms);
    for (int frame = 1; frame <= 5; ++frame) {
        clock_.advance(20ms);
        ASSERT_TRUE(pumpUntil([&] { return Flash().CurrentFrame() == frame; }, kWaitMs)) << frame;
        clock_.advance(20ms);
        ASSERT_TRUE(pumpUntil([&] { return Display() == QString::number(frame); }, kWaitMs)) << frame;
        EXPECT_EQ(Slider().value(), frame);
        EXPECT_EQ(Flash().CurrentFrame(), frame) << "half a period on";
    }
    // Played, the sample's turning square has turned with it: its picture
    // is the renderer's after as many frames.
    EXPECT_EQ(DifferingPixels(Grab(), Rendered(SampleMovie(), 5, Flash().size(), 0, home_ / "played.png")), 0);
    Click(P::kPause);
    EXPECT_FALSE(Flash().IsPlaying());
    for (auto [button, frame] :
         {std::pair{P::kNext, 6}, std::pair{P::kLast, 149}, std::pair{P::kPrevious, 148}, std::pair{P::kFirst, 0}}) {
        Click(button);
        clock_.advance(20ms);
        ASSERT_TRUE(pumpUntil([&] { return Display() == QString::number(frame); }, kWaitMs)) << frame;
        EXPECT_EQ(Slider().value(), frame);
    }
    // A click beside the thumb pages the movie on, and the display follows.
    Slider().triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(Flash().CurrentFrame(), Slider().pageStep());
    clock_.advance(20ms);
    ASSERT_TRUE(pumpUntil([&] { return Display() == QString::number(Slider().pageStep()); }, kWaitMs));
}

TEST_F(PreviewTest, TheMarksRewriteTheRangeTheBandAndTheColumnsOrSayWhyNot) {
    ConversionTask& task = Add(WriteFile(home_ / "movies/square.swf", SquareMovie(30)));
    EXPECT_EQ(Column(TaskListModel::InColumn), "0");
    EXPECT_EQ(Column(TaskListModel::OutColumn), "29");
    EXPECT_EQ(Slider().SelectionStart(), 0);
    EXPECT_EQ(Slider().SelectionEnd(), 29);
    EXPECT_TRUE(Preview().Get<QPushButton>(P::kMarkIn)->isEnabled());
    EXPECT_FALSE(Preview().Get<QPushButton>(P::kFrameDisplay)->isEnabled()) << "it only shows a number";
    Click(P::kLast);
    Click(P::kMarkOut);
    EXPECT_EQ(task.outFrame, 29) << "the last frame may end the range";
    MarkAt(20, P::kMarkOut);
    MarkAt(10, P::kMarkIn);
    EXPECT_EQ(task.inFrame, 10);
    EXPECT_EQ(task.outFrame, 20);
    EXPECT_EQ(Column(TaskListModel::InColumn), "10");
    EXPECT_EQ(Column(TaskListModel::OutColumn), "20");
    EXPECT_EQ(Slider().SelectionStart(), 10);
    EXPECT_EQ(Slider().SelectionEnd(), 20);

    ::testing::internal::CaptureStdout();
    MarkAt(25, P::kMarkIn);
    MarkAt(5, P::kMarkOut);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "The number of In frame must be before the number of Out frame\n"
              "The number of Out frame must be after the number of In frame and before the total frames\n");
    EXPECT_EQ(task.inFrame, 10);
    EXPECT_EQ(task.outFrame, 20);
    EXPECT_EQ(Slider().SelectionStart(), 10);
    EXPECT_EQ(Column(TaskListModel::OutColumn), "20");
    MarkAt(15, P::kMarkIn);
    MarkAt(19, P::kMarkOut);
    EXPECT_EQ(task.inFrame, 15);
    EXPECT_EQ(task.outFrame, 19);

    // Without a selected task there is nothing to mark.
    Window().List().clearSelection();
    ::testing::internal::CaptureStdout();
    Click(P::kMarkIn);
    Click(P::kBackground);
    Click(P::kCapture);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "No items were selected!\nNo items were selected!\nNo items were selected!\n");
    EXPECT_EQ(task.inFrame, 15);
}

TEST_F(PreviewTest, TheSavedPicturesAreTheFrameWithAlphaWhereTheMovieDrawsNothing) {
    Add(WriteFile(home_ / "movies/square.swf", SquareMovie(10)));
    Click(P::kNext);
    Click(P::kNext);
    Click(P::kNext);
    AnswerNextDialog<ImageSettingsDialog>([](ImageSettingsDialog& dialog) {
        EXPECT_EQ(dialog.WidthEdit().text(), "100");
        EXPECT_EQ(dialog.HeightEdit().text(), "75");
        EXPECT_TRUE(dialog.AlphaBox().isChecked());
        dialog.accept();
    });
    Click(P::kCapture);
    const std::string out = home_.OutputFolder();
    ASSERT_EQ(opened_, (std::vector<std::string>{out + "square_3.bmp"}));
    const QImage png(QString::fromStdString(out + "square_3.png"));
    ASSERT_FALSE(png.isNull());
    EXPECT_EQ(png.size(), QSize(112, 80));
    EXPECT_TRUE(png.hasAlphaChannel());
    // Shown whole on 112x80: 80/75 larger, centred across.
    const double scale = 80.0 / 75.0;
    const int left = int((112 - 100 * scale) / 2);
    const QPoint inSquare(left + int(25 * scale), int(25 * scale));
    EXPECT_EQ(png.pixelColor(inSquare), QColor(255, 0, 0, 255));
    EXPECT_EQ(qAlpha(png.pixel(left + int(80 * scale), int(60 * scale))), 0) << "where the movie draws nothing";
    EXPECT_EQ(qAlpha(png.pixel(1, 40)), 0) << "beside the stage";
    const QImage bmp(QString::fromStdString(out + "square_3.bmp"));
    ASSERT_EQ(bmp.size(), QSize(112, 80));
    EXPECT_EQ(bmp.pixelColor(inSquare), QColor(255, 0, 0));
    EXPECT_EQ(bmp.pixelColor(left + int(80 * scale), int(60 * scale)), QColor(0, 0, 0)) << "the picture on black";

    // Without alpha, on the task's own background, beside the first picture.
    Window().Tasks().Task(0).backgroundColor = 0x00FF00;  // green
    AnswerNextDialog<ImageSettingsDialog>([](ImageSettingsDialog& dialog) {
        dialog.WidthEdit().setText("200");
        dialog.HeightEdit().setText("150");
        dialog.AlphaBox().setChecked(false);
        dialog.accept();
    });
    Click(P::kCapture);
    ASSERT_EQ(opened_.size(), 2u);
    EXPECT_EQ(opened_[1], out + "square_3 (1).bmp") << "the first picture is kept";
    EXPECT_FALSE(fs::exists(out + "square_3 (1).png"));
    const QImage plain(QString::fromStdString(opened_[1]));
    ASSERT_EQ(plain.size(), QSize(208, 160));
    EXPECT_FALSE(plain.hasAlphaChannel());
    EXPECT_EQ(plain.pixelColor(200, 150), QColor(0, 255, 0));
    EXPECT_EQ(plain.pixelColor(int(208 / 2.0 - 100 + 25 * 2), 25 * 2), QColor(255, 0, 0));
    // The preview plays on afterwards where it was.
    EXPECT_EQ(Flash().CurrentFrame(), 3);
}

TEST_F(PreviewTest, TheChosenBackgroundColourIsTheTasksThePreviewsAndTheConvertedFrames) {
    if (!fs::exists(BinFile("kinoluxplayer"))) KINOLUX_MISSING("the player program");
    WriteOutputDefault({"pngimg.ini", "PNG images no alpha", -1});
    ConversionTask& task = Add(WriteFile(home_ / "movies/square.swf", SquareMovie(8)));
    const QColor teal(0, 128, 128);
    AnswerNextDialog<QColorDialog>([&](QColorDialog& dialog) {
        EXPECT_EQ(dialog.currentColor(), QColor(Qt::white)) << "starting from the task's colour";
        dialog.setCurrentColor(teal);
        dialog.accept();
    });
    Click(P::kBackground);
    EXPECT_EQ(task.backgroundColor, 0x808000u) << "0x00BBGGRR";
    auto* button = Preview().Get<ColorButton>(P::kBackground);
    for (int slot : {0, 2, 4}) EXPECT_EQ(button->Color(slot), teal);
    EXPECT_EQ(Grab().pixelColor(Flash().width() - 2, Flash().height() - 2), teal);
    // A cancelled dialog changes nothing.
    AnswerNextDialog<QColorDialog>([](QColorDialog& dialog) { dialog.reject(); });
    Click(P::kBackground);
    EXPECT_EQ(task.backgroundColor, 0x808000u);

    Window().Get<QPushButton>(MainWindow::kConvert)->click();
    const std::string first = fs::path(task.outputPath).replace_extension("").string() + "/ren0001.png";
    const QImage converted(QString::fromStdString(first));
    ASSERT_FALSE(converted.isNull()) << first;
    // The square fills the top-left of the stage; the lower right is empty.
    const int w = converted.width(), h = converted.height();
    EXPECT_EQ(converted.pixelColor(w * 9 / 10, h * 9 / 10), teal);
    EXPECT_EQ(converted.pixelColor(w / 4, h / 3), QColor(255, 0, 0));
}

TEST_F(PreviewTest, AConversionOfAMarkedTaskDeliversItsRangeFromTheInMark) {
    if (!fs::exists(BinFile("kinoluxplayer"))) KINOLUX_MISSING("the player program");
    if (!testing::ProgramOnPath("ffprobe") || !testing::ProgramOnPath("ffmpeg")) KINOLUX_MISSING("ffmpeg and ffprobe");
    ConversionTask& task = Add(WriteFile(home_ / "movies/marked.swf", testing::NumberedFlashMovie(40, 100, 100)));
    MarkAt(12, P::kMarkIn);
    MarkAt(31, P::kMarkOut);
    ASSERT_EQ(task.inFrame, 12);
    ASSERT_EQ(task.outFrame, 31);
    Window().Get<QPushButton>(MainWindow::kConvert)->click();
    const testing::NumberedOutput out = testing::ReadNumberedOutput(task.outputPath);
    // Each frame once, in order, from the in mark to the out mark.
    std::vector<int> expected;
    for (int frame = 12; frame <= 31; ++frame) expected.push_back(frame);
    EXPECT_EQ(out.frames, expected);
    EXPECT_EQ(CountedFrames(task.outputPath), int(expected.size()));
}

}  // namespace
}  // namespace kinolux
