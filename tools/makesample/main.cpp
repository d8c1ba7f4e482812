// makesample OUT.swf: writes the bundled sample movie (640x480, 25 frames a
// second, six seconds): a gradient sky, a sprite spinning a square, a
// gradient ball, a bitmap, text in an embedded font fading in, a morph, an
// event sound and a streamed melody.
#include <QGuiApplication>
#include <QSaveFile>
#include <cmath>
#include <cstdio>

#include "flash/swf/error.h"
#include "flash/swf/shape_builder.h"
#include "flash/swf/write.h"
#include "tools/makesample/glyphs.h"
#include "tools/makesample/sound.h"

namespace {

using namespace swf;

constexpr int kWidth = 640, kHeight = 480, kFps = 25, kFrames = 150;
constexpr int kStreamRate = 22050, kStreamSamplesPerFrame = kStreamRate / kFps;

enum : CharacterId { kSky = 1, kSquare, kSpinner, kBall, kPicture, kPictureFill, kFont, kTitle, kMorph, kChime };

Twips px(double v) { return Twips(std::lround(v * 20)); }

Matrix transform(double x, double y, double scale = 1, double degrees = 0) {
    double a = degrees * M_PI / 180;
    auto fixed = [](double v) { return Fixed16(std::lround(v * 65536)); };
    return {fixed(scale * std::cos(a)), fixed(scale * std::sin(a)), fixed(-scale * std::sin(a)), fixed(scale * std::cos(a)),
            px(x), px(y)};
}

Gradient gradient(Matrix m, std::vector<GradientRecord> records) {
    Gradient g;
    g.matrix = m;
    g.records = std::move(records);
    return g;
}

DefineShape sky() {
    FillStyle fill;
    fill.type = FillType::LinearGradient;
    // The gradient square is 32768 twips wide; turned upright and stretched over the stage.
    fill.gradient = gradient({0, Fixed16(kHeight * 20 * 65536 / 32768), Fixed16(-kWidth * 20 * 65536 / 32768), 0,
                              px(kWidth / 2.0), px(kHeight / 2.0)},
                             {{0, {40, 60, 140, 255}}, {180, {120, 170, 230, 255}}, {255, {250, 220, 170, 255}}});
    ShapeBuilder b;
    b.fill1(1).rectangle(0, 0, px(kWidth), px(kHeight));
    return makeShape(kSky, 3, {{fill}, {}}, b);
}

DefineShape square() {
    ShapeBuilder b;
    b.fill1(1).line(1).rectangle(px(-60), px(-60), px(120), px(120));
    return makeShape(kSquare, 1, {{solidFill({240, 140, 30, 255})}, {solidLine(80, {90, 40, 10, 255})}}, b);
}

DefineSprite spinner() {
    // The sprite turns its square a little every frame, on a loop of its own.
    DefineSprite s;
    s.id = kSpinner;
    constexpr int kSteps = 36;
    s.frameCount = kSteps;
    for (int i = 0; i < kSteps; ++i) {
        PlaceObject p;
        p.depth = 1;
        p.action = i == 0 ? PlaceAction::Place : PlaceAction::Modify;
        p.characterId = i == 0 ? kSquare : 0;
        p.matrix = transform(0, 0, 1, i * 10.0);
        s.tags.push_back(p);
        s.tags.push_back(ShowFrame{});
    }
    s.tags.push_back(End{});
    return s;
}

DefineShape ball() {
    FillStyle fill;
    fill.type = FillType::FocalGradient;
    fill.focalPoint = -96;  // the light from the upper left
    fill.gradient = gradient(transform(0, 0, 120.0 * 20 / 32768 * 1.0, -45),
                             {{0, {255, 255, 255, 255}}, {120, {60, 140, 255, 255}}, {255, {10, 30, 120, 255}}});
    fill.gradient.matrix.tx = fill.gradient.matrix.ty = 0;
    ShapeBuilder b;
    b.fill1(1).ellipse(0, 0, px(60), px(60));
    return makeShape(kBall, 3, {{fill}, {}}, b);
}

std::vector<std::uint8_t> picturePixels() {
    // 64 x 64 ARGB, premultiplied: a colour wheel in a soft-edged disc.
    std::vector<std::uint8_t> argb;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            double dx = x - 31.5, dy = y - 31.5, d = std::hypot(dx, dy);
            double hue = std::atan2(dy, dx) / (2 * M_PI) + 0.5;
            int alpha = int(std::clamp((32 - d) * 64, 0.0, 255.0));
            auto channel = [&](double offset) {
                double v = 0.5 + 0.5 * std::cos(2 * M_PI * (hue + offset));
                return std::uint8_t(std::lround(v * alpha));
            };
            argb.insert(argb.end(), {std::uint8_t(alpha), channel(0), channel(1.0 / 3), channel(2.0 / 3)});
        }
    return argb;
}

DefineShape pictureFill() {
    FillStyle fill;
    fill.type = FillType::ClippedBitmap;
    fill.bitmapId = kPicture;
    fill.bitmapMatrix = {Fixed16(40 * 65536), 0, 0, Fixed16(40 * 65536), px(-64), px(-64)};  // 2x size
    ShapeBuilder b;
    b.fill1(1).rectangle(px(-64), px(-64), px(128), px(128));
    return makeShape(kPictureFill, 3, {{fill}, {}}, b);
}

DefineMorphShape morph() {
    // A square whose sides bulge into a circle: eight curves at both ends.
    DefineMorphShape m;
    m.id = kMorph;
    ShapeBuilder from, to;
    const double corners[8][2] = {{50, 50}, {0, 50}, {-50, 50}, {-50, 0}, {-50, -50}, {0, -50}, {50, -50}, {50, 0}};
    double x = 50, y = 0;
    from.fill1(1).moveTo(px(x), px(y));
    for (const auto& c : corners) {
        // Straight sides written as curves, so that each pairs with a curve of the circle.
        from.curveTo(px((x + c[0]) / 2), px((y + c[1]) / 2), px(c[0]), px(c[1]));
        x = c[0];
        y = c[1];
    }
    to.ellipse(0, 0, px(50), px(50));
    m.start.records = from.records();
    m.end.records = to.records();
    // The end shape carries edges only.
    for (auto& r : m.end.records)
        if (auto* c = std::get_if<StyleChange>(&r)) c->fill1.reset();
    m.start.bounds = m.start.edgeBounds = from.bounds();
    m.end.bounds = m.end.edgeBounds = to.bounds();
    m.start.styles.fills = {solidFill({220, 40, 60, 255})};
    m.end.styles.fills = {solidFill({40, 200, 90, 255})};
    return m;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: makesample OUT.swf\n");
        return 1;
    }
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    std::vector<std::uint8_t> pixels = zlibCompress(picturePixels());
    std::vector<std::uint8_t> chime = makesample::chord({523.25, 659.25, 783.99}, kStreamRate, kStreamRate);
    const std::vector<double> notes = {261.63, 329.63, 392.0, 523.25, 392.0, 329.63, 293.66, 349.23, 440.0, 587.33, 440.0, 349.23};
    std::vector<std::uint8_t> stream = makesample::melody(notes, kStreamRate, kStreamRate / 2);

    std::vector<Tag> tags;
    tags.push_back(FileAttributes{0});
    tags.push_back(SetBackgroundColor{{30, 30, 40, 255}});
    tags.push_back(sky());
    tags.push_back(square());
    tags.push_back(spinner());
    tags.push_back(ball());
    DefineBitsLossless picture;
    picture.version = 2;
    picture.id = kPicture;
    picture.format = LosslessFormat::Rgb32;
    picture.width = picture.height = 64;
    picture.zlibData = pixels;
    tags.push_back(picture);
    tags.push_back(pictureFill());
    DefineFont font = makesample::makeFont(kFont, "DejaVu Sans", "Kinolux sample");
    tags.push_back(makesample::makeText(kTitle, font, "Kinolux sample", 900, {255, 255, 255, 255}, 0, 0));
    tags.push_back(std::move(font));
    tags.push_back(morph());
    DefineSound sound;
    sound.id = kChime;
    sound.format = {SoundFormat::UncompressedLittleEndian, 2, true, false};
    sound.sampleCount = std::uint32_t(chime.size() / 2);
    sound.data = chime;
    tags.push_back(sound);
    SoundStreamHead head;
    head.playback = head.stream = {SoundFormat::UncompressedLittleEndian, 2, true, true};
    head.samplesPerFrame = kStreamSamplesPerFrame;
    tags.push_back(head);

    const std::size_t blockBytes = std::size_t(kStreamSamplesPerFrame) * 4;
    for (int f = 0; f < kFrames; ++f) {
        double t = double(f) / kFrames;
        auto place = [&](Depth depth, CharacterId id, Matrix m) {
            PlaceObject p;
            p.depth = depth;
            p.action = f == 0 ? PlaceAction::Place : PlaceAction::Modify;
            p.characterId = f == 0 ? id : 0;
            p.matrix = m;
            return p;
        };
        if (f == 0) tags.push_back(place(1, kSky, {}));
        tags.push_back(place(2, kSpinner, transform(120 + 400 * t, 150, 0.8 + 0.4 * std::sin(t * 6 * M_PI))));
        tags.push_back(place(3, kBall, transform(560 - 460 * t, 330 - 120 * std::abs(std::sin(t * 5 * M_PI)))));
        tags.push_back(place(4, kPictureFill, transform(520, 120, 0.6 + 0.5 * t, -360 * t)));
        PlaceObject title = place(5, kTitle, transform(170, 440));
        title.colorTransform = ColorTransform{};
        title.colorTransform->aMul = Fixed8(std::min(256.0, 256.0 * f / 50));  // fades in over two seconds
        title.colorTransform->bAdd = std::int16_t(-100 * t);
        tags.push_back(title);
        PlaceObject shape = place(6, kMorph, transform(320, 260, 1, 90 * t));
        shape.ratio = std::uint16_t(std::lround(65535 * (0.5 - 0.5 * std::cos(t * 4 * M_PI))));
        tags.push_back(shape);
        if (f == 0 || f == kFrames / 2) tags.push_back(StartSound{kChime, {}});
        std::size_t at = std::size_t(f) * blockBytes;
        if (at + blockBytes <= stream.size()) tags.push_back(SoundStreamBlock{Bytes(stream).subspan(at, blockBytes)});
        tags.push_back(ShowFrame{});
    }
    tags.push_back(End{});

    Header header;
    header.compression = Compression::Zlib;
    header.version = 10;
    header.stageSize = {0, px(kWidth), 0, px(kHeight)};
    header.frameRate = kFps << 8;
    header.frameCount = kFrames;
    std::vector<std::uint8_t> movie;
    try {
        movie = writeMovie(header, tags);
    } catch (const Error& e) {
        std::fprintf(stderr, "makesample: %s\n", e.what());
        return 1;
    }
    QSaveFile out(QString::fromLocal8Bit(argv[1]));
    if (!out.open(QIODevice::WriteOnly) || out.write(reinterpret_cast<const char*>(movie.data()), qint64(movie.size())) != qint64(movie.size()) ||
        !out.commit()) {
        std::fprintf(stderr, "makesample: cannot write %s\n", argv[1]);
        return 1;
    }
    return 0;
}
