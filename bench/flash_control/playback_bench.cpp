// How much of the machine real-time playback takes: the bundled sample
// movie (pictures, event and stream sound) played through the control on
// the null sound device for ten seconds, at its own size and at 720p. The
// counter cpu_share is the process's CPU time divided by the wall time (1.0
// is one core busy).
#include "capture/shockwave_flash.h"
#include "platform/program_folder.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>
#include <cstdlib>
#include <ctime>

namespace kinolux {
namespace {

double ProcessCpuSeconds()
{
    timespec t{};
    clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &t);
    return double(t.tv_sec) + t.tv_nsec * 1e-9;
}

std::string BinFolder()
{
    const char* env = std::getenv("KINOLUX_BIN_DIR");
    return env && *env ? env : KINOLUX_BIN_DIR;
}

void PlaySampleInRealTime(benchmark::State& state)
{
    setenv("KINOLUX_AUDIO", "null", 1);
    SetProgramFolder(BinFolder());
    constexpr int kPlayMs = 10000;
    for (auto _ : state) {
        QWidget window;
        CShockwaveFlash flash(&window);
        if (!flash.IsCreated()) {
            state.SkipWithError(flash.CreationError().c_str());
            return;
        }
        const int width = int(state.range(0)), height = int(state.range(1));
        flash.resize(width, height);
        window.resize(width, height);
        window.show();
        flash.SetMovie(BinFolder() + "/samples/kinolux-sample.swf");
        flash.Play();
        const double cpuStart = ProcessCpuSeconds();
        QElapsedTimer wall;
        wall.start();
        long frames = 0, lastFrame = -1;
        // The event loop sleeps between the control's own timers; a sampling
        // timer notes each new frame shown.
        QTimer sampler;
        QObject::connect(&sampler, &QTimer::timeout, [&] {
            const long frame = flash.CurrentFrame();
            frames += frame != lastFrame;
            lastFrame = frame;
        });
        sampler.start(10);
        QEventLoop loop;
        QTimer::singleShot(kPlayMs, &loop, &QEventLoop::quit);
        loop.exec();
        const double wallSeconds = wall.nsecsElapsed() * 1e-9;
        state.counters["cpu_share"] = (ProcessCpuSeconds() - cpuStart) / wallSeconds;
        state.counters["frames_shown_per_s"] = frames / wallSeconds;
        flash.SetMovie("null.swf");
    }
}
BENCHMARK(PlaySampleInRealTime)->Args({320, 240})->Args({1280, 720})->Iterations(1)->Unit(benchmark::kSecond);

}  // namespace
}  // namespace kinolux

int main(int argc, char** argv)
{
    // Drawn as a visible window is drawn, without needing a screen.
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
    static int qtArgc = 1;
    QApplication application(qtArgc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
