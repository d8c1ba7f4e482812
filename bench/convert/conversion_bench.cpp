// Auto conversions through the kinolux program: their wall time divided by
// the movie's own duration (the player records the sound in real time, so
// about 1 is the floor) and the program's CPU share meanwhile (its CPU time,
// with its player's, divided by the wall time). For a movie whose frames
// carry their number, also the share of the movie's frames that the output
// shows exactly once (1 when the player keeps pace).
#include <benchmark/benchmark.h>

#include "tests/shell/numbered_output.h"

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr double kSampleSeconds = 150 / 25.0;
constexpr int kNumberedFrames = 750;  // 30 s, a flash every 2 s

double Seconds(const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; }

struct Totals {
    double wall = 0, cpu = 0;
    int runs = 0;
};

// One conversion of `movie` with ini/mp4.ini "mp4 Normal"; false when it
// failed.
bool Convert(const fs::path& folder, const std::string& movie, const std::string& output, Totals& totals) {
    const std::string bin = KINOLUX_BIN_DIR;
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::freopen("/dev/null", "w", stdout);
        const std::string program = bin + "/kinolux";
        ::execl(program.c_str(), program.c_str(), "/f", movie.c_str(), "/o", output.c_str(), "/pi", "ini/mp4.ini",
                "/pn", "mp4", "Normal", static_cast<char*>(nullptr));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    totals.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    totals.cpu += Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    ++totals.runs;
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 && fs::exists(output);
}

fs::path BenchFolder() {
    const fs::path folder = fs::temp_directory_path() / ("kinolux-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "config");
    return folder;
}

void Report(benchmark::State& state, const Totals& totals, double movieSeconds) {
    if (totals.runs == 0) return;
    state.counters["wall_per_movie_second"] = totals.wall / totals.runs / movieSeconds;
    state.counters["kinolux_cpu_share"] = totals.cpu / totals.wall;
}

void AutoConversionOfTheSample(benchmark::State& state) {
    const fs::path folder = BenchFolder();
    Totals totals;
    for (auto _ : state) {
        const std::string output = (folder / ("sample" + std::to_string(totals.runs) + ".mp4")).string();
        if (!Convert(folder, "samples/kinolux-sample.swf", output, totals)) {
            state.SkipWithError("the conversion failed");
            break;
        }
    }
    fs::remove_all(folder);
    Report(state, totals, kSampleSeconds);
}
BENCHMARK(AutoConversionOfTheSample)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

void AutoConversionOfANumberedMovie(benchmark::State& state) {
    using namespace kinolux::testing;
    const fs::path folder = BenchFolder();
    const std::string movie = (folder / "numbered.swf").string();
    {
        const std::vector<std::uint8_t> bytes = NumberedFlashMovie(kNumberedFrames, 25, 50);
        std::ofstream(movie, std::ios::binary)
            .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    Totals totals;
    double shownOnce = 0;
    for (auto _ : state) {
        const std::string output = (folder / ("numbered" + std::to_string(totals.runs) + ".mp4")).string();
        if (!Convert(folder, movie, output, totals)) {
            state.SkipWithError("the conversion failed");
            break;
        }
        // The range's last two frames are never delivered.
        shownOnce += ShareShownOnce(ReadNumberedOutput(output).frames, 0, kNumberedFrames - 4);
    }
    fs::remove_all(folder);
    Report(state, totals, double(kNumberedFrames) / kNumberedFps);
    if (totals.runs > 0) state.counters["frames_shown_once"] = shownOnce / totals.runs;
}
BENCHMARK(AutoConversionOfANumberedMovie)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
