// The bundled sample movie, as every build writes it: long enough, animated,
// with pictures, text, a morph and both kinds of sound.
#include <gtest/gtest.h>

#include <QFile>
#include <QGuiApplication>

#include "flash/module/flash_engine.h"
#include "flash/swf/read.h"

namespace {

std::vector<std::uint8_t> sampleBytes() {
    QFile f(QString(KINOLUX_BIN_DIR) + "/samples/kinolux-sample.swf");
    if (!f.open(QIODevice::ReadOnly)) return {};
    QByteArray a = f.readAll();
    return {a.begin(), a.end()};
}

}  // namespace

TEST(SampleMovie, HoldsEveryKindOfContent) {
    auto bytes = sampleBytes();
    ASSERT_FALSE(bytes.empty()) << "the build writes bin/samples/kinolux-sample.swf";
    swf::Movie m = swf::readMovie(bytes);
    EXPECT_TRUE(m.warnings.empty());
    EXPECT_EQ(m.header.stageSize, (swf::Rect{0, 640 * 20, 0, 480 * 20}));
    EXPECT_GE(m.header.frameCount / (m.header.frameRate / 256.0), 5.0) << "at least five seconds";
    std::map<std::string, int> kinds;
    int gradients = 0, blocks = 0;
    for (const auto& t : m.tags) {
        if (auto* s = t.get<swf::DefineShape>())
            for (const auto& f : s->styles.fills) gradients += swf::isGradient(f.type);
        if (t.get<swf::DefineBitsLossless>()) ++kinds["bitmap"];
        if (t.get<swf::DefineFont>()) ++kinds["font"];
        if (t.get<swf::DefineText>()) ++kinds["text"];
        if (t.get<swf::DefineMorphShape>()) ++kinds["morph"];
        if (t.get<swf::DefineSprite>()) ++kinds["sprite"];
        if (t.get<swf::DefineSound>()) ++kinds["sound"];
        if (t.get<swf::StartSound>()) ++kinds["start"];
        if (t.get<swf::SoundStreamHead>()) ++kinds["stream"];
        if (t.get<swf::SoundStreamBlock>()) ++blocks;
    }
    for (const char* k : {"bitmap", "font", "text", "morph", "sprite", "sound", "start", "stream"}) EXPECT_GT(kinds[k], 0) << k;
    EXPECT_GE(gradients, 2);
    EXPECT_GE(blocks, m.header.frameCount - 1) << "a stream block in (nearly) every frame";
}

TEST(SampleMovie, MovesFromFrameToFrame) {
    int argc = 1;
    char name[] = "sample_movie_test";
    char* argv[] = {name, nullptr};
    QGuiApplication app(argc, argv);
    std::string error;
    auto engine = flash::Engine::fromBytes(sampleBytes(), &error);
    ASSERT_TRUE(engine) << error;
    QImage first = engine->render(QSize(320, 240));
    for (int i = 0; i < 25; ++i) engine->tick();
    QImage later = engine->render(QSize(320, 240));
    int changed = 0;
    for (int y = 0; y < 240; y += 4)
        for (int x = 0; x < 320; x += 4) changed += first.pixel(x, y) != later.pixel(x, y);
    EXPECT_GT(changed, 200) << "a second later the picture has moved";
}
