// An Auto conversion of the bundled sample movie through the kinolux
// program: its wall time divided by the movie's own duration (the player
// records the sound in real time, so about 1 is the floor) and the program's
// CPU share meanwhile (its CPU time, with its player's, divided by the wall
// time).
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

constexpr double kSampleSeconds = 150 / 25.0;

double Seconds(const timeval& t) { return t.tv_sec + t.tv_usec / 1e6; }

void AutoConversionOfTheSample(benchmark::State& state) {
    const std::string bin = KINOLUX_BIN_DIR;
    const fs::path folder = fs::temp_directory_path() / ("kinolux-bench-" + std::to_string(::getpid()));
    fs::create_directories(folder / "config");
    double wall = 0, cpu = 0;
    int runs = 0;
    for (auto _ : state) {
        const std::string output = (folder / ("sample" + std::to_string(runs) + ".mp4")).string();
        const auto start = std::chrono::steady_clock::now();
        const pid_t child = ::fork();
        if (child == 0) {
            ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
            ::unsetenv("DISPLAY");
            ::unsetenv("WAYLAND_DISPLAY");
            ::freopen("/dev/null", "w", stdout);
            const std::string program = bin + "/kinolux";
            ::execl(program.c_str(), program.c_str(), "/f", "samples/kinolux-sample.swf", "/o", output.c_str(), "/pi",
                    "ini/mp4.ini", "/pn", "mp4", "Normal", static_cast<char*>(nullptr));
            ::_exit(127);
        }
        int status = 0;
        rusage usage{};
        ::wait4(child, &status, 0, &usage);
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        cpu += Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
        ++runs;
        if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 || !fs::exists(output)) {
            state.SkipWithError("the conversion failed");
            break;
        }
    }
    fs::remove_all(folder);
    if (runs == 0) return;
    state.counters["wall_per_movie_second"] = wall / runs / kSampleSeconds;
    state.counters["kinolux_cpu_share"] = cpu / wall;
}
BENCHMARK(AutoConversionOfTheSample)->Unit(benchmark::kSecond)->Iterations(2)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
