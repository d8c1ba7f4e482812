// ActionScript 3 on the player's display list: the script objects of what
// the timeline places, the child list scripts change, Graphics drawing into
// the frame, and events going down and up the display list.
#include <gtest/gtest.h>

#include <QTemporaryDir>
#include <tuple>

#include "tests/avm2/document_movie.h"
#include "tests/avm2/playback.h"

using namespace avm2test;

namespace {

// trace(this.<path...>) where each step is a property.
void traceProperty(Code& code, AbcBuilder& abc, std::initializer_list<const char*> path) {
    traced(code, abc, [&](Code& c) {
        c.op(op::GetLocal0);
        for (const char* step : path) c.op(op::GetProperty, abc.name(step));
    });
}

}  // namespace

TEST(As3DisplayList, TimelineChildrenAreMadeBeforeTheDocumentAndNamedOnIt) {
    swf::DefineSprite box{2, 1, {testmovies::place(1, 1), swf::ShowFrame{}}};
    swf::PlaceObject placed = testmovies::place(1, 2, testmovies::at(10, 10));
    placed.name = "box";
    AbcBuilder abc;
    Code init;
    traceProperty(init, abc, {"box"});
    traceProperty(init, abc, {"numChildren"});
    traceProperty(init, abc, {"box", "numChildren"});
    traceProperty(init, abc, {"box", "x"});
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal0).op(op::GetProperty, abc.name("box")).op(op::GetProperty, abc.name("parent"));
        c.op(op::GetLocal0).op(op::StrictEquals);
    });
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal0).op(op::GetProperty, abc.name("box")).op(op::PushByte).u8(0);
        c.op(op::CallProperty, abc.name("getChildAt"), 1);
    });
    traceProperty(init, abc, {"parent"});
    auto file = documentMovie(documentAbc(abc, init),
                              {testmovies::rect(1, {255, 0, 0, 255}, 0, 0, 20, 20), box, placed});
    Playback run = play(file);
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"[object MovieClip]", "1", "1", "10", "true", "[object Shape]",
                                                    "[object Stage]"}));
}

TEST(As3DisplayList, ScriptChildrenTakeTheIndexTheyAreGivenAndLeaveWhenRemoved) {
    AbcBuilder abc;
    Code init;
    newSprite(init, abc, 1, "a");
    newSprite(init, abc, 2, "b");
    callOnThis(init, abc, "addChild", 1, [](Code& c) { c.op(op::GetLocal1); });
    callOnThis(init, abc, "addChildAt", 2, [](Code& c) { c.op(op::GetLocal, 2).op(op::PushByte).u8(0); });
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal0).op(op::PushByte).u8(0).op(op::CallProperty, abc.name("getChildAt"), 1);
        c.op(op::GetProperty, abc.name("name"));
    });
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal0).op(op::GetLocal1).op(op::CallProperty, abc.name("getChildIndex"), 1);
    });
    callOnThis(init, abc, "setChildIndex", 2, [](Code& c) { c.op(op::GetLocal, 2).op(op::PushByte).u8(1); });
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal0).op(op::PushByte).u8(1).op(op::CallProperty, abc.name("getChildAt"), 1);
        c.op(op::GetProperty, abc.name("name"));
    });
    callOnThis(init, abc, "removeChild", 1, [](Code& c) { c.op(op::GetLocal, 2); });
    traceProperty(init, abc, {"numChildren"});
    traced(init, abc, [&](Code& c) { c.op(op::GetLocal, 2).op(op::GetProperty, abc.name("parent")); });
    // Out of range: the player's RangeError, reported as uncaught and logged
    // with its stack.
    init.op(op::GetLocal0).op(op::PushByte).u8(5).op(op::CallPropVoid, abc.name("getChildAt"), 1);
    Playback run = play(documentMovie(documentAbc(abc, init)));
    EXPECT_EQ(run.traces, (std::vector<std::string>{"b", "1", "b", "1", "null",
                                                    "RangeError: Error #2006: The supplied index is out of bounds.\n\tat Doc()"}));
    expectOneError(run, "#2006");
}

TEST(As3Graphics, ShapesDrawnByTheScriptShowInTheFrame) {
    AbcBuilder abc;
    Code init;
    auto graphics = [&](const char* method, std::uint32_t count, auto push) {
        init.op(op::GetLocal0).op(op::GetProperty, abc.name("graphics"));
        push(init);
        init.op(op::CallPropVoid, abc.name(method), count);
    };
    auto bytes = [](std::initializer_list<std::uint8_t> values) {
        return [values](Code& c) {
            for (std::uint8_t v : values) c.op(op::PushByte).u8(v);
        };
    };
    graphics("beginFill", 1, [&](Code& c) { c.op(op::PushInt, abc.integer(0xFF0000)); });
    graphics("drawRect", 4, bytes({10, 10, 30, 30}));
    graphics("endFill", 0, bytes({}));
    graphics("beginFill", 1, [&](Code& c) { c.op(op::PushInt, abc.integer(0x0000FF)); });
    graphics("drawCircle", 3, bytes({70, 70, 20}));
    graphics("endFill", 0, bytes({}));
    graphics("lineStyle", 2, [&](Code& c) { c.op(op::PushByte).u8(4).op(op::PushInt, abc.integer(0x00FF00)); });
    graphics("moveTo", 2, bytes({10, 90}));
    graphics("cubicCurveTo", 6, bytes({20, 60, 30, 60, 40, 90}));
    Playback run = play(documentMovie(documentAbc(abc, init)));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    ASSERT_EQ(run.picture.size(), QSize(100, 100));
    EXPECT_EQ(run.picture.pixel(25, 25), qRgb(255, 0, 0));
    EXPECT_EQ(run.picture.pixel(5, 5), qRgb(255, 255, 255));
    EXPECT_EQ(run.picture.pixel(70, 70), qRgb(0, 0, 255));
    EXPECT_EQ(run.picture.pixel(53, 53), qRgb(255, 255, 255)) << "the circle's corner stays empty";
    EXPECT_EQ(run.picture.pixel(88, 70), qRgb(0, 0, 255));
    EXPECT_EQ(run.picture.pixel(10, 89), qRgb(0, 255, 0)) << "the curve's line starts at the pen";
}

TEST(As3Graphics, DrawingCommandsAsObjectsDrawAsTheCallsTheyStandFor) {
    AbcBuilder abc;
    const std::uint32_t display = abc.packageNamespace("flash.display");
    const std::uint32_t path = abc.qname(display, "GraphicsPath"), solid = abc.qname(display, "GraphicsSolidFill");
    const std::uint32_t end = abc.qname(display, "GraphicsEndFill"), stroke = abc.qname(display, "GraphicsStroke");
    Code init;
    init.op(op::FindPropStrict, path).op(op::ConstructProp, path, 0).op(op::SetLocal1);
    const std::uint8_t corners[][2] = {{10, 10}, {40, 10}, {40, 40}, {10, 40}};
    for (std::size_t i = 0; i < 4; ++i) {
        init.op(op::GetLocal1).op(op::PushByte).u8(corners[i][0]).op(op::PushByte).u8(corners[i][1]);
        init.op(op::CallPropVoid, abc.name(i == 0 ? "moveTo" : "lineTo"), 2);
    }
    // [new GraphicsStroke(4, false, "normal", "none", "round", 3, new GraphicsSolidFill(0x00FF00)),
    //  new GraphicsSolidFill(0xFF0000), path, new GraphicsEndFill()]
    init.op(op::FindPropStrict, stroke).op(op::PushByte).u8(4).op(op::PushFalse);
    init.op(op::PushString, abc.string("normal")).op(op::PushString, abc.string("none"));
    init.op(op::PushString, abc.string("round")).op(op::PushByte).u8(3);
    init.op(op::FindPropStrict, solid).op(op::PushInt, abc.integer(0x00FF00)).op(op::ConstructProp, solid, 1);
    init.op(op::ConstructProp, stroke, 7);
    init.op(op::FindPropStrict, solid).op(op::PushInt, abc.integer(0xFF0000)).op(op::ConstructProp, solid, 1);
    init.op(op::GetLocal1).op(op::FindPropStrict, end).op(op::ConstructProp, end, 0).op(op::NewArray, 4);
    init.op(op::SetLocal2).op(op::GetLocal0).op(op::GetProperty, abc.name("graphics")).op(op::GetLocal2);
    init.op(op::CallPropVoid, abc.name("drawGraphicsData"), 1);
    // A winding the player does not know is refused.
    init.op(op::GetLocal1).op(op::PushString, abc.string("sideways")).op(op::SetProperty, abc.name("winding"));
    Playback run = play(documentMovie(documentAbc(abc, init)));
    EXPECT_EQ(run.picture.pixel(25, 25), qRgb(255, 0, 0));
    EXPECT_EQ(run.picture.pixel(25, 10), qRgb(0, 255, 0)) << "the outline is stroked";
    EXPECT_EQ(run.picture.pixel(5, 5), qRgb(255, 255, 255));
    expectOneError(run, "#2008");
}

TEST(As3Events, AnEventGoesDownTheAncestorsToItsTargetAndBubblesBackUp) {
    AbcBuilder abc;
    std::uint32_t event = abc.name("flash.events", "Event");
    auto listener = [&](const char* label) {
        Code c;
        traced(c, abc, [&](Code& t) {
            t.op(op::PushString, abc.string(std::string(label) + " "));
            t.op(op::GetLocal1).op(op::GetProperty, abc.name("eventPhase")).op(op::Add);
        });
        return DocMethod{label, c, 1};
    };
    auto listen = [&](Code& c, std::uint8_t local, const char* type, const char* method, bool capture) {
        c.op(op::GetLocal, local).op(op::PushString, abc.string(type));
        c.op(op::GetLocal0).op(op::GetProperty, abc.name(method));
        c.op(capture ? op::PushTrue : op::PushFalse).op(op::CallPropVoid, abc.name("addEventListener"), 3);
    };
    Code init;
    newSprite(init, abc, 1, "child");
    init.op(op::GetLocal0).op(op::SetLocal, 2);
    listen(init, 1, "addedToStage", "added", false);
    callOnThis(init, abc, "addChild", 1, [](Code& c) { c.op(op::GetLocal1); });
    listen(init, 2, "ping", "capture", true);
    listen(init, 2, "ping", "bubble", false);
    listen(init, 1, "ping", "target", false);
    for (bool bubbles : {true, false}) {
        init.op(op::GetLocal1).op(op::FindPropStrict, event).op(op::PushString, abc.string("ping"));
        init.op(bubbles ? op::PushTrue : op::PushFalse).op(op::ConstructProp, event, 2);
        init.op(op::CallPropVoid, abc.name("dispatchEvent"), 1);
    }
    auto file = documentMovie(documentAbc(abc, init,
                                          {listener("capture"), listener("target"), listener("bubble"),
                                           listener("added")}));
    Playback run = play(file);
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"added 2", "capture 1", "target 2", "bubble 3", "capture 1",
                                                    "target 2"}));
}

TEST(As3Filters, FiltersAScriptSetsAreKeptInRangeAndReadBack) {
    AbcBuilder abc;
    std::uint32_t blur = abc.name("flash.filters", "BlurFilter");
    Code init;
    init.op(op::GetLocal0).op(op::FindPropStrict, blur);
    init.op(op::PushShort, 300).op(op::PushByte).u8(2).op(op::PushByte).u8(3).op(op::ConstructProp, blur, 3);
    init.op(op::NewArray, 1).op(op::SetProperty, abc.name("filters"));
    traceProperty(init, abc, {"filters", "length"});
    for (const char* field : {"blurX", "blurY", "quality"})
        traced(init, abc, [&](Code& c) {
            c.op(op::GetLocal0).op(op::GetProperty, abc.name("filters"));
            c.op(op::GetProperty, abc.name("0")).op(op::GetProperty, abc.name(field));
        });
    Playback run = play(documentMovie(documentAbc(abc, init)));
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"1", "255", "2", "3"}));
}

TEST(As3Masks, AMaskCutsBeforeTheBlendAndBitmapDataDrawCutsByTheObjectsOwnMask) {
    AbcBuilder abc;
    Code init;
    // local `at` = new Sprite() holding one rectangle, placed at x.
    auto filledSprite = [&](std::uint8_t at, std::uint32_t rgb, std::uint8_t x, std::uint8_t size) {
        newSprite(init, abc, at, "s");
        init.op(op::GetLocal, at).op(op::PushByte).u8(x).op(op::SetProperty, abc.name("x"));
        fillSquare(init, abc, at, rgb, size);
    };
    auto maskWith = [&](std::uint8_t masked, std::uint8_t mask) {
        init.op(op::GetLocal, masked).op(op::GetLocal, mask).op(op::SetProperty, abc.name("mask"));
    };
    // White in difference over the white stage turns black, only where the mask lets it.
    filledSprite(1, 0xFFFFFF, 0, 60);
    init.op(op::GetLocal1).op(op::PushString, abc.string("difference")).op(op::SetProperty, abc.name("blendMode"));
    filledSprite(2, 0, 0, 30);
    maskWith(1, 2);
    callOnThis(init, abc, "addChild", 1, [](Code& c) { c.op(op::GetLocal1); });
    // A red sprite at x 20 masked by a square at the origin, drawn into a blue
    // bitmap shown at x 60: the mask stands where it is, the sprite at the origin.
    filledSprite(3, 0xFF0000, 20, 40);
    filledSprite(4, 0, 0, 10);
    maskWith(3, 4);
    std::uint32_t bitmapData = abc.name("flash.display", "BitmapData"), bitmap = abc.name("flash.display", "Bitmap");
    init.op(op::FindPropStrict, bitmapData).op(op::PushByte).u8(40).op(op::PushByte).u8(40).op(op::PushFalse);
    init.op(op::PushInt, abc.integer(0x0000FF)).op(op::ConstructProp, bitmapData, 4).op(op::SetLocal, 5);
    init.op(op::GetLocal, 5).op(op::GetLocal, 3).op(op::CallPropVoid, abc.name("draw"), 1);
    init.op(op::FindPropStrict, bitmap).op(op::GetLocal, 5).op(op::ConstructProp, bitmap, 1).op(op::SetLocal, 6);
    init.op(op::GetLocal, 6).op(op::PushByte).u8(60).op(op::SetProperty, abc.name("x"));
    callOnThis(init, abc, "addChild", 1, [](Code& c) { c.op(op::GetLocal, 6); });
    Playback run = play(documentMovie(documentAbc(abc, init)));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.picture.pixel(15, 15), qRgb(0, 0, 0)) << "blended under the mask";
    EXPECT_EQ(run.picture.pixel(45, 45), qRgb(255, 255, 255)) << "cut off by the mask";
    EXPECT_EQ(run.picture.pixel(65, 5), qRgb(255, 0, 0)) << "the mask's square of the drawn sprite";
    EXPECT_EQ(run.picture.pixel(75, 25), qRgb(0, 0, 255)) << "the sprite beyond its mask is left out";
}

TEST(As3Masks, MaskAndMaskeeCachedAsBitmapsCutByTheMasksAlpha) {
    AbcBuilder abc;
    Code init;
    // Red squares masked by black half-transparent ones: at x 0 plain, at x 50
    // with both cached as bitmaps.
    auto square = [&](std::uint8_t at, std::uint32_t rgb, double alpha, std::uint8_t x, bool cached) {
        newSprite(init, abc, at, "s");
        init.op(op::GetLocal, at).op(op::PushByte).u8(x).op(op::SetProperty, abc.name("x"));
        init.op(op::GetLocal, at).op(cached ? op::PushTrue : op::PushFalse).op(op::SetProperty, abc.name("cacheAsBitmap"));
        fillSquare(init, abc, at, rgb, 40, alpha);
        callOnThis(init, abc, "addChild", 1, [at](Code& c) { c.op(op::GetLocal, at); });
    };
    for (auto [first, x, cached] : {std::tuple<std::uint8_t, std::uint8_t, bool>{1, 0, false}, {3, 50, true}}) {
        square(first, 0xFF0000, 1, x, cached);
        square(std::uint8_t(first + 1), 0, 0.5, x, cached);
        init.op(op::GetLocal, first).op(op::GetLocal, first + 1).op(op::SetProperty, abc.name("mask"));
    }
    Playback run = play(documentMovie(documentAbc(abc, init)));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.picture.pixel(20, 20), qRgb(255, 0, 0)) << "an outline cuts all or nothing";
    const QRgb halfway = run.picture.pixel(70, 20);
    EXPECT_EQ(qRed(halfway), 255);
    EXPECT_NEAR(qGreen(halfway), 128, 2) << "half the mask's alpha lets half the red through";
}

// A Loader shows a picture from the movie's folder as its child at the end
// of the frame that asked for it, and then tells its LoaderInfo's
// listeners; a file it cannot have ends in an ioError event.
TEST(As3Loader, APictureBesideTheMovieArrivesAsTheLoadersChild) {
    QTemporaryDir folder;
    ASSERT_TRUE(folder.isValid());
    QImage red(4, 4, QImage::Format_RGB32);
    red.fill(qRgb(255, 0, 0));
    ASSERT_TRUE(red.save(folder.filePath("pic.png")));
    for (const char* file : {"pic.png", "missing.png", "../pic.png"}) {
        AbcBuilder abc;
        const std::uint32_t loader = abc.name("flash.display", "Loader"), request = abc.name("flash.net", "URLRequest"),
                            info = abc.name("contentLoaderInfo"), listen = abc.name("addEventListener");
        Code init;
        init.op(op::FindPropStrict, loader).op(op::ConstructProp, loader, 0).op(op::SetLocal1);
        callOnThis(init, abc, "addChild", 1, [&](Code& c) { c.op(op::GetLocal1); });
        for (const char* event : {"complete", "ioError"})
            init.op(op::GetLocal1)
                .op(op::GetProperty, info)
                .op(op::PushString, abc.string(event))
                .op(op::GetLocal0)
                .op(op::GetProperty, abc.name("heard"))
                .op(op::CallPropVoid, listen, 2);
        init.op(op::GetLocal1)
            .op(op::FindPropStrict, request)
            .op(op::PushString, abc.string(file))
            .op(op::ConstructProp, request, 1)
            .op(op::CallPropVoid, abc.name("load"), 1);
        traced(init, abc, [&](Code& c) { c.op(op::PushString, abc.string("asked")); });
        Playback run = play(documentMovie(documentAbc(abc, init, {tracingEvent(abc, "heard", {"target", "width"})})), 0,
                            folder.filePath("movie.swf").toStdString());
        // Only a path that leaves the movie's folder is worth a message.
        const bool outside = std::string(file).starts_with("../");
        ASSERT_EQ(run.errors.size(), outside ? 1u : 0u) << file;
        if (outside) {
            EXPECT_NE(run.errors[0].find("own folder"), std::string::npos) << run.errors[0];
        }
        if (std::string(file) == "pic.png") {
            EXPECT_EQ(run.traces, (std::vector<std::string>{"asked", "complete 4"}));
            EXPECT_EQ(run.picture.pixel(2, 2), qRgb(255, 0, 0));
            EXPECT_EQ(run.picture.pixel(6, 6), qRgb(255, 255, 255));
        } else {
            EXPECT_EQ(run.traces, (std::vector<std::string>{"asked", "ioError 0"})) << file;
        }
    }
}

// A movie in scenes numbers frames and labels from its current scene's
// start; gotoAndStop names a scene, prevScene steps back to the one before.
TEST(As3Scenes, FramesAndLabelsCountFromTheirScenesStart) {
    AbcBuilder abc;
    Code init;
    callOnThis(init, abc, "gotoAndStop", 2, [&](Code& c) { c.op(op::PushByte).u8(1).op(op::PushString, abc.string("B")); });
    auto describe = [&] {
        traced(init, abc, [&](Code& c) {
            c.op(op::GetLocal0)
                .op(op::GetProperty, abc.name("currentScene"))
                .op(op::GetProperty, abc.name("name"))
                .op(op::GetLocal0)
                .op(op::GetProperty, abc.name("currentFrame"))
                .op(op::Add)
                .op(op::GetLocal0)
                .op(op::GetProperty, abc.name("currentScene"))
                .op(op::GetProperty, abc.name("numFrames"))
                .op(op::Add)
                .op(op::GetLocal0)
                .op(op::GetProperty, abc.name("currentLabels"))
                .op(op::GetProperty, abc.name("length"))
                .op(op::Add);
        });
    };
    describe();
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal0)
            .op(op::GetProperty, abc.name("currentLabels"))
            .op(op::GetProperty, abc.name("0"))
            .op(op::GetProperty, abc.name("frame"));
    });
    callOnThis(init, abc, "prevScene", 0, [](Code&) {});
    describe();
    std::vector<swf::Tag> first{swf::SceneAndFrameLabelData{{{0, "A"}, {2, "B"}}, {{3, "b2"}}}};
    Playback run = play(documentMovie(documentAbc(abc, init), std::move(first), 100, 100, 4));
    ASSERT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"B121", "2", "A120"}));
}

// The Stage as a display object: untransformed, as big as what it shows,
// its own root.
TEST(As3DisplayList, TheStageStandsUntransformedAsBigAsItsContent) {
    AbcBuilder abc;
    Code init;
    traceProperty(init, abc, {"stage", "alpha"});
    traceProperty(init, abc, {"stage", "scaleX"});
    traceProperty(init, abc, {"stage", "x"});
    traceProperty(init, abc, {"stage", "width"});
    traced(init, abc, [&](Code& c) {
        c.op(op::GetLocal0).op(op::GetProperty, abc.name("stage")).op(op::GetProperty, abc.name("root"));
        c.op(op::GetLocal0).op(op::GetProperty, abc.name("stage")).op(op::StrictEquals);
    });
    auto file = documentMovie(documentAbc(abc, init), {testmovies::rect(1, {255, 0, 0, 255}, 0, 0, 20, 20),
                                                       testmovies::place(1, 1, testmovies::at(10, 10))});
    Playback run = play(file);
    EXPECT_TRUE(run.errors.empty()) << run.errors[0];
    EXPECT_EQ(run.traces, (std::vector<std::string>{"1", "1", "0", "20", "true"}));
}
