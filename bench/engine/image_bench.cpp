// What a grabbed frame costs on its way to the encoder or to a file, at the
// sizes Kinolux converts to: reading the grab, the two-background merge
// (beside the per-pixel accessor loop it replaces, for the ratio), and
// saving each still-image format. Items per second are frames per second.
#include <benchmark/benchmark.h>

#include <QImage>
#include <filesystem>

#include "engine/cx_image.h"
#include "engine/two_background_alpha.h"

namespace kinolux {
namespace {

// A frame with opaque, transparent and half-covered areas on both backgrounds.
void MakeGrabs(int width, int height, CxImage& onBlack, CxImage& onWhite) {
    QImage black(width, height, QImage::Format_RGB32), white(width, height, QImage::Format_RGB32);
    for (int y = 0; y < height; ++y) {
        auto* b = reinterpret_cast<QRgb*>(black.scanLine(y));
        auto* w = reinterpret_cast<QRgb*>(white.scanLine(y));
        for (int x = 0; x < width; ++x) {
            int area = (x / 64 + y / 64) % 3;
            QRgb colour = qRgb(x & 255, y & 255, (x + y) & 255);
            b[x] = area == 0 ? colour : area == 1 ? qRgb(0, 0, 0) : qRgb(qRed(colour) / 2, 0, qBlue(colour) / 2);
            w[x] = area == 0 ? colour : area == 1 ? qRgb(255, 255, 255) : qRgb(qRed(colour) / 2 + 127, 127, qBlue(colour) / 2 + 127);
        }
    }
    onBlack.CreateFromHBITMAP(&black);
    onWhite.CreateFromHBITMAP(&white);
}

void ReadGrab(benchmark::State& state) {
    QImage grab(int(state.range(0)), int(state.range(1)), QImage::Format_ARGB32_Premultiplied);
    grab.fill(qRgb(10, 20, 30));
    CxImage image;
    for (auto _ : state) {
        image.CreateFromHBITMAP(&grab);
        benchmark::DoNotOptimize(image.GetBits());
    }
    state.SetItemsProcessed(state.iterations());
}

void MergeRowLoops(benchmark::State& state) {
    CxImage onBlack, onWhite, frame;
    MakeGrabs(int(state.range(0)), int(state.range(1)), onBlack, onWhite);
    for (auto _ : state) {
        MergeTwoBackgrounds(onBlack, onWhite, DifferingPixelColour::FromWhite, frame);
        benchmark::DoNotOptimize(frame.GetBits());
    }
    state.SetItemsProcessed(state.iterations());
}

// The same rule through GetPixelColor and SetPixelColor, pixel by pixel.
void MergePixelAccessors(benchmark::State& state) {
    CxImage onBlack, onWhite, frame;
    MakeGrabs(int(state.range(0)), int(state.range(1)), onBlack, onWhite);
    const int32_t width = int32_t(onBlack.GetWidth()), height = int32_t(onBlack.GetHeight());
    for (auto _ : state) {
        frame.Create(uint32_t(width), uint32_t(height), 24);
        frame.AlphaCreate();
        for (int32_t y = 0; y < height; ++y)
            for (int32_t x = 0; x < width; ++x) {
                RGBQUAD b = onBlack.GetPixelColor(x, y), w = onWhite.GetPixelColor(x, y);
                RGBQUAD out = b;
                out.rgbReserved = 255;
                if (!(b == w)) {
                    out = w;
                    out.rgbReserved = uint8_t(b.rgbBlue - w.rgbBlue - 1);
                }
                frame.SetPixelColor(x, y, out, true);
            }
        benchmark::DoNotOptimize(frame.GetBits());
    }
    state.SetItemsProcessed(state.iterations());
}

void SaveFormat(benchmark::State& state) {
    CxImage onBlack, onWhite, frame;
    MakeGrabs(int(state.range(0)), int(state.range(1)), onBlack, onWhite);
    MergeTwoBackgrounds(onBlack, onWhite, DifferingPixelColour::FromWhite, frame);
    const uint32_t type = uint32_t(state.range(2));
    const std::string path = (std::filesystem::temp_directory_path() / "kinolux-image-bench").string();
    for (auto _ : state)
        if (!frame.Save(path, type)) state.SkipWithError(frame.GetLastError().c_str());
    std::filesystem::remove(path);
    state.SetItemsProcessed(state.iterations());
}

BENCHMARK(ReadGrab)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(MergeRowLoops)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(MergePixelAccessors)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMicrosecond);
BENCHMARK(SaveFormat)
    ->ArgNames({"w", "h", "format"})
    ->Args({1920, 1080, CXIMAGE_FORMAT_BMP})
    ->Args({1920, 1080, CXIMAGE_FORMAT_TGA})
    ->Args({1920, 1080, CXIMAGE_FORMAT_PNG})
    ->Args({1920, 1080, CXIMAGE_FORMAT_JPG})
    ->Args({1920, 1080, CXIMAGE_FORMAT_TIF})
    ->Unit(benchmark::kMillisecond);

}  // namespace
}  // namespace kinolux

BENCHMARK_MAIN();
