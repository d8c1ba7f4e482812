// Frames per second the engine draws on one core: the sample movie and the
// render corpus, at 640x480 and 1920x1080 (items_per_second is frames per
// second; each frame is one tick and one full picture).
#include <benchmark/benchmark.h>

#include <QDir>
#include <QGuiApplication>
#include <memory>
#include <vector>

#include "flash/module/flash_engine.h"
#include "tests/platform/test_application.h"

namespace {

std::string corpusDir() {
    const char* env = std::getenv("KINOLUX_CORPUS_DIR");
    return env && *env ? env : KINOLUX_CORPUS_DIR;
}

void drawFrames(benchmark::State& state, std::vector<std::unique_ptr<flash::Engine>>& engines) {
    QImage picture(int(state.range(0)), int(state.range(1)), QImage::Format_ARGB32_Premultiplied);
    std::size_t next = 0;
    for (auto _ : state) {
        auto& e = *engines[next];
        next = (next + 1) % engines.size();
        e.tick();
        e.render(picture);
        benchmark::DoNotOptimize(picture.constBits());
    }
    state.SetItemsProcessed(state.iterations());
}

void SampleMovie(benchmark::State& state) {
    kinolux::testing::EnsureApplication<QGuiApplication>();
    std::string error;
    std::vector<std::unique_ptr<flash::Engine>> engines;
    engines.push_back(flash::Engine::fromFile(std::string(KINOLUX_BIN_DIR) + "/samples/kinolux-sample.swf", &error));
    if (!engines.back()) {
        state.SkipWithError(error.c_str());
        return;
    }
    drawFrames(state, engines);
}

void RenderCorpus(benchmark::State& state) {
    kinolux::testing::EnsureApplication<QGuiApplication>();
    std::vector<std::unique_ptr<flash::Engine>> engines;
    QDir dir(QString::fromStdString(corpusDir() + "/ruffle/render"));
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        std::string error;
        auto e = flash::Engine::fromFile(dir.filePath(name + "/test.swf").toStdString(), &error);
        if (e) engines.push_back(std::move(e));
    }
    if (engines.empty()) {
        state.SkipWithError("no corpus");
        return;
    }
    drawFrames(state, engines);
}

}  // namespace

BENCHMARK(SampleMovie)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK(RenderCorpus)->Args({640, 480})->Args({1920, 1080})->Unit(benchmark::kMillisecond);
BENCHMARK_MAIN();
