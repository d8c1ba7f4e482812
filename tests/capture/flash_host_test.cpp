// The control host: CShockwaveFlash driving the engine module's control by
// dispatch id, its mouse filter, the print path, the background colour from
// a Windows colour value, FlashPane's ready flag and scrolling, and finding
// the module among the loaded objects.
#include "capture/flash_module.h"
#include "capture/flash_pane.h"
#include "capture/shockwave_flash.h"
#include "flash/control/flash_control.h"
#include "platform/settings_store.h"
#include "tests/capture/flash_host_support.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <QScrollBar>
#include <dlfcn.h>

namespace kinolux {
namespace {

using flash::testing::MovieFiles;

class FlashHost : public ::testing::Test {
protected:
    void SetUp() override { testing::UseBuiltProgramFolder(); }
    testing::ScopedSettingsHome home;
    MovieFiles files;
};

TEST_F(FlashHost, DrivesEveryOperationOfTheControlByDispatchId)
{
    QWidget window;
    CShockwaveFlash flash(&window, 1000);
    ASSERT_TRUE(flash.IsCreated()) << flash.CreationError();
    flash.resize(40, 30);
    EXPECT_EQ(flash.property("itemId").toInt(), 1000);

    const std::string path = files.write("frames.swf", flash::testing::colouredFramesMovie(12));
    flash.LoadMovie(0, "");
    flash.SetMovie(path);
    EXPECT_EQ(flash.LastResult(), 0);
    EXPECT_EQ(flash.GetMovie(), path);
    EXPECT_EQ(flash.GetTotalFrames(), 12);
    EXPECT_TRUE(flash.IsPlaying());
    flash.StopPlay();
    EXPECT_FALSE(flash.IsPlaying());
    flash.GotoFrame(3);
    EXPECT_EQ(flash.CurrentFrame(), 3);
    flash.SetFrameNum(flash.GetFrameNum() + 1);
    EXPECT_EQ(flash.GetFrameNum(), 4);
    flash.Play();
    EXPECT_TRUE(flash.IsPlaying());
    flash.Stop();
    flash.SetScaleMode(2);
    EXPECT_EQ(flash.LastResult(), 0);
    flash.Zoom(50);
    flash.Zoom(0);
    EXPECT_EQ(flash.LastResult(), 0);
    flash.SetScaleMode(9);
    EXPECT_NE(flash.LastResult(), 0) << "a refusal is seen, not hidden";

    QImage picture(40, 30, QImage::Format_ARGB32_Premultiplied);
    ASSERT_TRUE(flash.PrintInto(picture));
    const swf::Color c = flash::testing::frameColor(4);
    EXPECT_EQ(picture.pixel(20, 15), qRgb(c.r, c.g, c.b));

    // The convention for dropping a movie.
    flash.SetMovie("null.swf");
    flash.Stop();
    EXPECT_EQ(flash.GetTotalFrames(), 0);
    EXPECT_FALSE(flash.IsPlaying());
}

TEST_F(FlashHost, SetsTheBackgroundFromAWindowsColourValue)
{
    EXPECT_EQ(RgbFromColorRef(0x00332211), 0x112233);
    EXPECT_EQ(RgbFromColorRef(0xFF0000FF), 0xFF0000) << "the top byte is no colour";
    QWidget window;
    CShockwaveFlash flash(&window);
    flash.resize(60, 30);
    flash.SetMovie(files.write("frames.swf", flash::testing::colouredFramesMovie(2, 25, 30, 30)));
    flash.SetBackgroundColorRef(0x00332211);  // red 0x11, green 0x22, blue 0x33
    QImage picture(60, 30, QImage::Format_ARGB32_Premultiplied);
    ASSERT_TRUE(flash.PrintInto(picture));
    EXPECT_EQ(picture.pixel(3, 15), qRgb(0x11, 0x22, 0x33)) << "beside the stage";
}

void Send(QWidget* control, QEvent::Type type, Qt::MouseButton button, QPointF at)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease || type == QEvent::MouseMove ? Qt::NoButton : button;
    QMouseEvent event(type, at, control->mapToGlobal(at), button, held, Qt::NoModifier);
    QApplication::sendEvent(control, &event);
}

TEST_F(FlashHost, RightClicksNeverReachTheControlAndLeftOnesOnlyWhenAllowed)
{
    QWidget window;
    CShockwaveFlash flash(&window);
    flash.resize(40, 30);
    window.show();
    flash.SetMovie(files.write("frames.swf", flash::testing::colouredFramesMovie(2)));
    QWidget* control = flash.Control();
    EXPECT_EQ(control->size(), QSize(40, 30)) << "the control fills its wrapper";
    auto* engine = dynamic_cast<flash::FlashControl*>(control);
    ASSERT_NE(engine, nullptr) << "the module this program links is the one the host loaded";

    for (int allow : {0, 1}) {
        flash.SetAllowClicks(allow);
        for (QEvent::Type press : {QEvent::MouseButtonPress, QEvent::MouseButtonDblClick}) {
            Send(control, QEvent::MouseMove, Qt::NoButton, {5, 5});
            EXPECT_EQ(engine->pointerOnStage(), QPointF(5, 5)) << "moves always pass";
            Send(control, press, Qt::RightButton, {30, 20});
            EXPECT_EQ(engine->pointerOnStage(), QPointF(5, 5)) << "right button, allowClicks " << allow;
            Send(control, press, Qt::LeftButton, {10, 10});
            EXPECT_EQ(engine->pointerDown(), allow == 1) << "left button, allowClicks " << allow;
            Send(control, QEvent::MouseButtonRelease, Qt::LeftButton, {10, 10});
            EXPECT_FALSE(engine->pointerDown());
        }
    }
}

TEST_F(FlashHost, PaneNotesTheReadyMovieAndScrollsLargerContent)
{
    QWidget window;
    FlashPane pane(&window);
    window.show();
    ASSERT_TRUE(pane.flash().IsCreated());
    EXPECT_EQ(pane.flash().property("itemId").toInt(), kFlashPaneItemId);
    EXPECT_EQ(pane.movieReady, 0);
    pane.flash().SetMovie("null.swf");
    EXPECT_EQ(pane.movieReady, 0) << "an empty stage is never ready";
    pane.flash().LoadMovie(0, "");
    pane.flash().SetMovie(files.write("frames.swf", flash::testing::colouredFramesMovie(2)));
    EXPECT_EQ(pane.movieReady, 1);

    // Sized to its content, nothing scrolls.
    pane.resize(320, 240);
    pane.SetContentSize(320, 240);
    EXPECT_EQ(pane.HorizontalRange(), 0);
    EXPECT_EQ(pane.VerticalRange(), 0);
    EXPECT_EQ(pane.ClientSize(), QSize(320, 240));

    // Larger content: ranges in units of 8 across and 4 down, of what the
    // client area (inside the bars) leaves over.
    pane.SetContentSize(1000, 700);
    const QSize client = pane.ClientSize();
    EXPECT_LT(client.width(), 320);
    EXPECT_LT(client.height(), 240);
    EXPECT_EQ(pane.HorizontalRange(), (1000 - client.width()) / 8);
    EXPECT_EQ(pane.VerticalRange(), (700 - client.height()) / 4);
    EXPECT_EQ(HorizontalScrollRange(100, 300), 0);
    EXPECT_EQ(VerticalScrollRange(303, 300), 0);

    // Scrolling moves the content by whole units; a resize goes back to the origin.
    const QPoint placed = pane.flash().pos();
    auto* across = pane.findChildren<QScrollBar*>().value(0);
    auto* down = pane.findChildren<QScrollBar*>().value(1);
    ASSERT_TRUE(across && down);
    if (across->orientation() != Qt::Horizontal) std::swap(across, down);
    across->triggerAction(QAbstractSlider::SliderPageStepAdd);
    down->triggerAction(QAbstractSlider::SliderSingleStepAdd);
    EXPECT_EQ(pane.ScrollPosition(), QPoint(8, 1));
    EXPECT_EQ(pane.flash().pos(), placed - QPoint(64, 4));
    down->triggerAction(QAbstractSlider::SliderPageStepAdd);
    EXPECT_EQ(pane.ScrollPosition().y(), pane.VerticalRange()) << "a page down is the whole range";
    across->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(pane.ScrollPosition().x(), pane.HorizontalRange());
    pane.resize(400, 300);
    EXPECT_EQ(pane.ScrollPosition(), QPoint(0, 0));
    EXPECT_EQ(pane.flash().pos(), placed);
    EXPECT_EQ(pane.HorizontalRange(), (1000 - pane.ClientSize().width()) / 8);
}

TEST_F(FlashHost, FindsTheEngineModuleWithAndWithoutItsRegistration)
{
    QWidget window;
    CShockwaveFlash flash(&window);  // loads the module, as a window with a control does
    ASSERT_TRUE(flash.IsCreated());
    void* module = dlopen(testing::BuiltModulePath().c_str(), RTLD_NOW | RTLD_NOLOAD);
    ASSERT_NE(module, nullptr) << "the wrapper loaded the module beside the program";
    Dl_info info{};
    ASSERT_NE(dladdr(dlsym(module, "FlashControlCreate"), &info), 0);
    dlclose(module);
    const ModuleHandle loaded = info.dli_fbase;

    EXPECT_EQ(FindFlashModule(), loaded) << "by the usual name, with nothing registered";
    ASSERT_TRUE(SettingsStore("HKCR").WriteString(kFlashControlServerKey, "", testing::BuiltModulePath()));
    EXPECT_EQ(FindFlashModule(), loaded) << "by its registration";
}

}  // namespace
}  // namespace kinolux
