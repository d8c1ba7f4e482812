// The control as a host drives it: every operation by dispatch id through
// the module's C entries, the ready event, the print path with the view
// settings, the mouse in stage coordinates, and play on the control's own
// timer. The program stands in for libwinmm's clock (tests/winmm), so a
// movie moves only as far as the test moves that clock.
#include "flash/control/control_entries.h"
#include "flash/control/flash_control.h"
#include "flash/swf/write.h"
#include "tests/flash_control/control_support.h"
#include "tests/winmm/fake_wave_out.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <memory>

namespace flash {
namespace {

using testing::MovieFiles;

FlashVariant integer(std::int32_t v)
{
    return {FLASH_VT_I4, v, nullptr};
}

FlashVariant text(const std::string& s)
{
    return {FLASH_VT_BSTR, 0, const_cast<char*>(s.c_str())};
}

// A control in a parent widget, driven through the module's entries.
class Host {
public:
    Host(int width = 40, int height = 30)
    {
        testing::ensureApplication();
        parent_ = std::make_unique<QWidget>();
        control_ = FlashControlCreate(parent_.get());
        widget()->resize(width, height);
        FlashControlAdvise(control_, &Host::onEvent, this);
    }

    QWidget* widget() const { return static_cast<QWidget*>(control_); }
    FlashControl& control() const { return *dynamic_cast<FlashControl*>(widget()); }
    void* handle() const { return control_; }

    std::int32_t call(std::int32_t id, std::uint16_t flags, std::initializer_list<FlashVariant> args = {},
                      FlashVariant* result = nullptr)
    {
        return FlashControlInvoke(control_, id, flags, args.begin(), std::uint32_t(args.size()), result);
    }
    std::int32_t integerOf(std::int32_t id, std::uint16_t flags)
    {
        FlashVariant result{};
        EXPECT_EQ(call(id, flags, {}, &result), FLASH_S_OK);
        return result.value;
    }
    std::string movie()
    {
        FlashVariant result{};
        EXPECT_EQ(call(FLASH_DISPID_MOVIE, FLASH_DISPATCH_PROPERTYGET, {}, &result), FLASH_S_OK);
        EXPECT_EQ(result.type, FLASH_VT_BSTR);
        std::string value = result.text ? result.text : "<null>";
        FlashVariantClear(&result);
        return value;
    }
    void setMovie(const std::string& path) { EXPECT_EQ(call(FLASH_DISPID_MOVIE, FLASH_DISPATCH_PROPERTYPUT, {text(path)}), 0); }
    int currentFrame() { return integerOf(FLASH_DISPID_CURRENTFRAME, FLASH_DISPATCH_METHOD); }
    int totalFrames() { return integerOf(FLASH_DISPID_TOTALFRAMES, FLASH_DISPATCH_PROPERTYGET); }
    bool isPlaying() { return integerOf(FLASH_DISPID_ISPLAYING, FLASH_DISPATCH_METHOD) != 0; }

    QImage print(QSize size = {})
    {
        QImage picture(size.isEmpty() ? widget()->size() : size, QImage::Format_ARGB32_Premultiplied);
        picture.fill(Qt::black);
        EXPECT_EQ(FlashControlPrint(control_, &picture), FLASH_S_OK);
        return picture;
    }

    std::vector<int> readyStates;

private:
    static void onEvent(void* context, std::int32_t dispid, const FlashVariant* args, std::uint32_t count)
    {
        ASSERT_EQ(dispid, FLASH_DISPID_READYSTATECHANGE);
        ASSERT_EQ(count, 1u);
        static_cast<Host*>(context)->readyStates.push_back(args[0].value);
    }

    std::unique_ptr<QWidget> parent_;  // owns the control
    void* control_ = nullptr;
};

QRgb rgbOf(swf::Color c)
{
    return qRgb(c.r, c.g, c.b);
}

// Plays the movie just set for `frames` frames of `period` each: Play reads
// the clock at once and starts it, then each period the clock moves the
// control's own timer finds the next frame due.
void playOnItsTimer(Host& host, int frames, std::chrono::milliseconds period)
{
    host.call(FLASH_DISPID_PLAY, FLASH_DISPATCH_METHOD);
    ASSERT_EQ(host.currentFrame(), 0);
    for (int frame = 1; frame <= frames; ++frame) {
        kinolux::testing::FakeWaveOut::instance().advance(period);
        ASSERT_TRUE(testing::pumpUntil([&] { return host.currentFrame() == frame; }, 20000))
            << "the timer ran frame " << frame << ", now on " << host.currentFrame();
    }
}

TEST(Control, RunsEveryOperationByItsDispatchId)
{
    MovieFiles files;
    const std::string path = files.write("frames.swf", testing::colouredFramesMovie(20));
    Host host;
    EXPECT_EQ(host.totalFrames(), 0) << "an empty stage";
    EXPECT_FALSE(host.isPlaying());

    host.setMovie(path);
    EXPECT_EQ(host.readyStates, std::vector<int>{FLASH_READYSTATE_COMPLETE}) << "ready before the put returns";
    EXPECT_EQ(host.movie(), path);
    EXPECT_EQ(host.totalFrames(), 20);
    EXPECT_TRUE(host.isPlaying()) << "setting the movie plays it";
    EXPECT_EQ(host.currentFrame(), 0);

    EXPECT_EQ(host.call(FLASH_DISPID_STOP, FLASH_DISPATCH_METHOD), FLASH_S_OK);
    EXPECT_FALSE(host.isPlaying());
    EXPECT_EQ(host.call(FLASH_DISPID_GOTOFRAME, FLASH_DISPATCH_METHOD, {integer(5)}), FLASH_S_OK);
    EXPECT_EQ(host.currentFrame(), 5);
    EXPECT_FALSE(host.isPlaying()) << "a goto keeps the timeline stopped";
    EXPECT_EQ(host.print().pixel(20, 15), rgbOf(testing::frameColor(5)));
    EXPECT_EQ(host.call(FLASH_DISPID_FRAMENUM, FLASH_DISPATCH_PROPERTYPUT, {integer(7)}), FLASH_S_OK);
    EXPECT_EQ(host.integerOf(FLASH_DISPID_FRAMENUM, FLASH_DISPATCH_PROPERTYGET), 7);
    EXPECT_EQ(host.call(FLASH_DISPID_FRAMENUM, FLASH_DISPATCH_PROPERTYPUT, {integer(500)}), FLASH_S_OK);
    EXPECT_EQ(host.currentFrame(), 19) << "gotos stay on the timeline";
    EXPECT_EQ(host.call(FLASH_DISPID_PLAY, FLASH_DISPATCH_METHOD), FLASH_S_OK);
    EXPECT_TRUE(host.isPlaying());
    EXPECT_EQ(host.call(FLASH_DISPID_STOPPLAY, FLASH_DISPATCH_METHOD), FLASH_S_OK);
    EXPECT_FALSE(host.isPlaying());

    // Layer 0 of LoadMovie replaces the movie without touching the Movie text.
    EXPECT_EQ(host.call(FLASH_DISPID_LOADMOVIE, FLASH_DISPATCH_METHOD, {integer(0), text("")}), FLASH_S_OK);
    EXPECT_EQ(host.totalFrames(), 0);
    EXPECT_EQ(host.movie(), path);
    EXPECT_EQ(host.call(FLASH_DISPID_LOADMOVIE, FLASH_DISPATCH_METHOD, {integer(0), text("file://" + path)}), FLASH_S_OK);
    EXPECT_EQ(host.totalFrames(), 20);
    EXPECT_EQ(host.readyStates.size(), 2u);

    // "null.swf" drops the movie, even when a file of that name exists.
    files.write("null.swf", testing::colouredFramesMovie(3));
    host.setMovie(files.path("null.swf"));
    EXPECT_EQ(host.totalFrames(), 0);
    EXPECT_EQ(host.currentFrame(), 0);
    EXPECT_EQ(host.movie(), files.path("null.swf"));
    EXPECT_EQ(host.control().loadError(), "");
    EXPECT_EQ(host.readyStates.size(), 2u) << "an empty stage is never reported ready";
}

TEST(Control, RefusesBadCallsAndKeepsItsState)
{
    MovieFiles files;
    Host host;
    host.setMovie(files.write("frames.swf", testing::colouredFramesMovie(4)));
    const QImage before = host.print();
    FlashVariant result{FLASH_VT_I4, 99, nullptr};

    EXPECT_EQ(host.call(0x99, FLASH_DISPATCH_METHOD, {}, &result), FLASH_DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(result.type, FLASH_VT_EMPTY) << "a result is always cleared";
    EXPECT_EQ(host.call(FLASH_DISPID_TOTALFRAMES, FLASH_DISPATCH_PROPERTYPUT, {integer(3)}), FLASH_DISP_E_MEMBERNOTFOUND);
    EXPECT_EQ(host.call(FLASH_DISPID_SCALEMODE, FLASH_DISPATCH_PROPERTYPUT, {integer(1), integer(2)}),
              FLASH_DISP_E_BADPARAMCOUNT);
    EXPECT_EQ(host.call(FLASH_DISPID_SCALEMODE, FLASH_DISPATCH_PROPERTYPUT, {text("2")}), FLASH_DISP_E_TYPEMISMATCH);
    EXPECT_EQ(host.call(FLASH_DISPID_SCALEMODE, FLASH_DISPATCH_PROPERTYPUT, {integer(4)}), FLASH_E_INVALIDARG);
    EXPECT_EQ(host.call(FLASH_DISPID_ZOOM, FLASH_DISPATCH_METHOD, {integer(-50)}), FLASH_E_INVALIDARG);
    EXPECT_EQ(host.call(FLASH_DISPID_MOVIE, FLASH_DISPATCH_PROPERTYPUT, {integer(1)}), FLASH_DISP_E_TYPEMISMATCH);
    EXPECT_EQ(host.call(FLASH_DISPID_LOADMOVIE, FLASH_DISPATCH_METHOD, {integer(1), text("other.swf")}),
              FLASH_E_INVALIDARG);
    EXPECT_EQ(host.print(), before);
    EXPECT_EQ(host.totalFrames(), 4);

    EXPECT_EQ(FlashControlInvoke(nullptr, FLASH_DISPID_PLAY, FLASH_DISPATCH_METHOD, nullptr, 0, nullptr), FLASH_E_INVALIDARG);
    QWidget notAControl;
    EXPECT_EQ(FlashControlInvoke(&notAControl, FLASH_DISPID_PLAY, FLASH_DISPATCH_METHOD, nullptr, 0, nullptr),
              FLASH_E_INVALIDARG);
    EXPECT_EQ(FlashControlInvoke(host.handle(), FLASH_DISPID_GOTOFRAME, FLASH_DISPATCH_METHOD, nullptr, 1, nullptr),
              FLASH_E_POINTER);
    EXPECT_EQ(FlashControlCreate(nullptr), nullptr);

    // A movie that is missing or broken leaves an empty stage and says why.
    host.setMovie(files.path("missing.swf"));
    EXPECT_EQ(host.totalFrames(), 0);
    EXPECT_NE(host.control().loadError().find("missing.swf"), std::string::npos);
    host.setMovie(files.write("broken.swf", {'F', 'W', 'S', 10, 200, 0, 0, 0, 1, 2, 3}));
    EXPECT_EQ(host.totalFrames(), 0);
    EXPECT_NE(host.control().loadError(), "");
    host.setMovie("http://example.com/movie.swf");
    EXPECT_EQ(host.totalFrames(), 0);
    EXPECT_NE(host.control().loadError().find("cannot fetch"), std::string::npos);
    EXPECT_EQ(host.readyStates.size(), 1u);
}

// A 40 x 30 stage, white, with a 10 x 10 red square at its centre.
std::vector<std::uint8_t> squareMovie()
{
    return testmovies::movie({testmovies::rect(1, {255, 0, 0, 255}, 15, 10, 10, 10), testmovies::place(1, 1), swf::ShowFrame{}},
                             testmovies::header(40, 30));
}

TEST(Control, PrintsItsFrameAtItsSizeByScaleModeZoomAndBackground)
{
    MovieFiles files;
    Host host(80, 30);
    const QRgb red = qRgb(255, 0, 0), white = qRgb(255, 255, 255), chosen = qRgb(0x11, 0x22, 0x33);
    EXPECT_EQ(host.print().pixel(5, 5), white) << "an empty stage shows the control's background";
    host.setMovie(files.write("square.swf", squareMovie()));

    // Show all: the stage keeps its shape in the middle, the sides show the
    // background, which is a plain fill under everything.
    QImage picture = host.print();
    EXPECT_EQ(picture.size(), QSize(80, 30));
    EXPECT_EQ(picture.pixel(40, 15), red);
    EXPECT_EQ(picture.pixel(5, 15), white);
    EXPECT_EQ(host.call(FLASH_DISPID_BACKGROUNDCOLOR, FLASH_DISPATCH_PROPERTYPUT, {integer(0x112233)}), 0);
    picture = host.print();
    EXPECT_EQ(picture.pixel(5, 15), chosen);
    EXPECT_EQ(picture.pixel(25, 2), chosen) << "under the stage too";
    EXPECT_EQ(picture.pixel(40, 15), red);

    // Exact fit stretches the stage across: the square is 20 wide now.
    EXPECT_EQ(host.call(FLASH_DISPID_SCALEMODE, FLASH_DISPATCH_PROPERTYPUT, {integer(2)}), 0);
    picture = host.print();
    EXPECT_EQ(picture.pixel(32, 15), red);
    EXPECT_EQ(picture.pixel(27, 15), chosen);

    // Zoom 50 shows half the view, twice as large, around the centre.
    EXPECT_EQ(host.call(FLASH_DISPID_SCALEMODE, FLASH_DISPATCH_PROPERTYPUT, {integer(0)}), 0);
    EXPECT_EQ(host.call(FLASH_DISPID_ZOOM, FLASH_DISPATCH_METHOD, {integer(50)}), 0);
    picture = host.print();
    EXPECT_EQ(picture.pixel(31, 15), red);
    EXPECT_EQ(picture.pixel(29, 15), chosen);
    EXPECT_EQ(host.call(FLASH_DISPID_ZOOM, FLASH_DISPATCH_METHOD, {integer(200)}), 0);
    EXPECT_EQ(host.call(FLASH_DISPID_ZOOM, FLASH_DISPATCH_METHOD, {integer(200)}), 0);
    picture = host.print();
    EXPECT_EQ(picture.pixel(33, 15), chosen) << "never smaller than the whole movie";
    EXPECT_EQ(picture.pixel(36, 15), red);

    // The movie's own background again, and a picture larger than the
    // control: only its top-left is painted.
    EXPECT_EQ(host.call(FLASH_DISPID_BACKGROUNDCOLOR, FLASH_DISPATCH_PROPERTYPUT, {integer(-1)}), 0);
    picture = host.print(QSize(100, 50));
    EXPECT_EQ(picture.pixel(5, 15), white);
    EXPECT_EQ(picture.pixel(90, 40), qRgb(0, 0, 0));
    QImage rgb(80, 30, QImage::Format_RGB32);
    ASSERT_EQ(FlashControlPrint(host.handle(), &rgb), FLASH_S_OK);
    EXPECT_EQ(rgb.pixel(40, 15), red);
}

TEST(Control, GivesTheMovieTheMouseInStageCoordinates)
{
    MovieFiles files;
    Host host(80, 60);
    host.setMovie(files.write("square.swf", squareMovie()));
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(40, 30), QPointF(40, 30), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(host.widget(), &press);
    EXPECT_EQ(host.control().pointerOnStage(), QPointF(20, 15));
    EXPECT_TRUE(host.control().pointerDown());
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(10, 6), QPointF(10, 6), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QApplication::sendEvent(host.widget(), &release);
    EXPECT_EQ(host.control().pointerOnStage(), QPointF(5, 3));
    EXPECT_FALSE(host.control().pointerDown());
}

// How frames follow the clock in every case is the frame clock's, tested on
// readings given by hand; bench/flash_control measures the real pace.
TEST(Control, PlaysOnByItselfAndPrintsTheFrameItStoppedOn)
{
    MovieFiles files;
    Host host;
    host.setMovie(files.write("frames.swf", testing::colouredFramesMovie(200, 50)));
    playOnItsTimer(host, 3, std::chrono::milliseconds(20));
    host.call(FLASH_DISPID_STOP, FLASH_DISPATCH_METHOD);
    kinolux::testing::FakeWaveOut::instance().advance(std::chrono::milliseconds(100));
    QCoreApplication::processEvents();
    EXPECT_EQ(host.currentFrame(), 3) << "stopped, it stays";
    // What is printed is the frame the timeline shows.
    EXPECT_EQ(host.print().pixel(20, 15), rgbOf(testing::frameColor(3)));
}

// A screen-video frame of one colour: a single block covering the picture,
// its rows of blue, green, red from the bottom up, deflated.
std::vector<std::uint8_t> screenVideoFrame(int side, swf::Color colour)
{
    std::vector<std::uint8_t> pixels;
    for (int i = 0; i < side * side; ++i) pixels.insert(pixels.end(), {colour.b, colour.g, colour.r});
    const std::vector<std::uint8_t> block = swf::zlibCompress(pixels);
    const auto blockUnits = std::uint8_t((side / 16 - 1) << 4);
    std::vector<std::uint8_t> frame = {std::uint8_t(blockUnits | side >> 8), std::uint8_t(side & 0xFF),
                                       std::uint8_t(blockUnits | side >> 8), std::uint8_t(side & 0xFF),
                                       std::uint8_t(block.size() >> 8), std::uint8_t(block.size() & 0xFF)};
    frame.insert(frame.end(), block.begin(), block.end());
    return frame;
}

TEST(Control, EmbeddedVideoFollowsTheTimeline)
{
    constexpr int kSide = 32, kFrames = 100;
    std::vector<std::vector<std::uint8_t>> videoFrames;
    swf::DefineVideoStream stream;
    stream.id = 1;
    stream.numFrames = kFrames;
    stream.width = stream.height = kSide;
    stream.codec = 3;
    std::vector<swf::Tag> tags{stream};
    for (int f = 0; f < kFrames; ++f) videoFrames.push_back(screenVideoFrame(kSide, testing::frameColor(f)));
    for (int f = 0; f < kFrames; ++f) {
        tags.push_back(swf::VideoFrame{1, std::uint16_t(f), videoFrames[std::size_t(f)]});
        swf::PlaceObject p = testmovies::place(1, 1);
        if (f > 0) {
            p.action = swf::PlaceAction::Modify;
            p.characterId = 0;
        }
        p.ratio = std::uint16_t(f);
        tags.push_back(p);
        tags.push_back(swf::ShowFrame{});
    }
    swf::Header header = testmovies::header(kSide, kSide, kFrames);
    header.frameRate = 50 << 8;

    MovieFiles files;
    Host host(kSide, kSide);
    host.widget()->show();
    host.setMovie(files.write("video.swf", testmovies::movie(tags, header)));
    playOnItsTimer(host, 3, std::chrono::milliseconds(20));
    host.call(FLASH_DISPID_STOP, FLASH_DISPATCH_METHOD);
    EXPECT_EQ(host.print().pixel(kSide / 2, kSide / 2), rgbOf(testing::frameColor(3)));
    host.call(FLASH_DISPID_GOTOFRAME, FLASH_DISPATCH_METHOD, {integer(2)});
    EXPECT_EQ(host.print().pixel(kSide / 2, kSide / 2), rgbOf(testing::frameColor(2))) << "back to an earlier frame";
}

}  // namespace
}  // namespace flash
