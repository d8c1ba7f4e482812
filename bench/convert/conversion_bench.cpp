// Auto conversions through the kinolux program: their wall time divided by
// the movie's own duration (the player records the sound in real time, so
// about 1 is the floor) and the program's CPU share meanwhile (its CPU time,
// with its player's, divided by the wall time). For a movie whose frames
// carry their number, also the share of the movie's frames that the output
// shows exactly once (1 when the player keeps pace). Fast conversions
// (/fast) beside real-time ones at two frame sizes, with the peak memory of
// the kinolux process, and kinoluxbatch's throughput with one and two
// conversions at once.
#include <benchmark/benchmark.h>

#include "tests/shell/numbered_output.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>
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
    long peakKilobytes = 0;
    int runs = 0;
};

struct Profile {
    const char* file;
    const char* name;
};
constexpr Profile kMp4{"ini/mp4.ini", "mp4 Normal"};

// One conversion of `movie` by the kinolux program in `bin`; false when it
// failed.
bool Convert(const fs::path& folder, const std::string& movie, const std::string& output, Totals& totals,
             const Profile& profile = kMp4, bool fast = false, const std::string& bin = KINOLUX_BIN_DIR) {
    const auto start = std::chrono::steady_clock::now();
    const pid_t child = ::fork();
    if (child == 0) {
        ::setenv("XDG_CONFIG_HOME", (folder / "config").c_str(), 1);
        ::unsetenv("DISPLAY");
        ::unsetenv("WAYLAND_DISPLAY");
        ::freopen("/dev/null", "w", stdout);
        const std::string program = bin + "/kinolux";
        std::vector<const char*> argv{program.c_str()};
        if (fast) argv.push_back("/fast");
        for (const char* argument : {"/f", movie.c_str(), "/o", output.c_str(), "/pi", profile.file, "/pn", profile.name})
            argv.push_back(argument);
        argv.push_back(nullptr);
        ::execv(program.c_str(), const_cast<char* const*>(argv.data()));
        ::_exit(127);
    }
    int status = 0;
    rusage usage{};
    ::wait4(child, &status, 0, &usage);
    totals.wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    totals.cpu += Seconds(usage.ru_utime) + Seconds(usage.ru_stime);
    totals.peakKilobytes = std::max(totals.peakKilobytes, usage.ru_maxrss);
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

// The sample at a frame size, fast or in real time: one run each, side by
// side. The peak memory is the kinolux process's own (its player's apart).
// `bin` is the folder of the kinolux program measured: this build's, or a
// baseline's (see main).
void SampleAtSize(benchmark::State& state, Profile profile, bool fast, std::string bin) {
    const fs::path folder = BenchFolder();
    // Every build converts this build's sample: the same movie.
    const std::string movie = std::string(KINOLUX_BIN_DIR) + "/samples/kinolux-sample.swf";
    Totals totals;
    for (auto _ : state) {
        const std::string output = (folder / ("sample" + std::to_string(totals.runs) + ".mp4")).string();
        if (!Convert(folder, movie, output, totals, profile, fast, bin)) {
            state.SkipWithError("the conversion failed");
            break;
        }
    }
    fs::remove_all(folder);
    Report(state, totals, kSampleSeconds);
    state.counters["peak_memory_mb"] = totals.peakKilobytes / 1024.0;
}

struct SizeCase {
    const char* name;
    Profile profile;
    bool fast;
};
constexpr Profile k640{"ini/mp4.ini", "mp4 640x480 High"};
constexpr Profile k1080{"ini/hd_mp4.ini", "HD-Mpeg4 1920x1080 Normal"};
constexpr SizeCase kSizeCases[] = {{"fast_640x480", k640, true},
                                   {"real_time_640x480", k640, false},
                                   {"fast_1920x1080", k1080, true},
                                   {"real_time_1920x1080", k1080, false}};

// kinoluxbatch over 20 copies of the sample, with state.range(0) conversions
// at once: movies converted per minute.
void BatchOfTwenty(benchmark::State& state) {
    constexpr int kMovies = 20;
    const fs::path folder = BenchFolder();
    fs::create_directories(folder / "movies");
    for (int n = 0; n < kMovies; ++n)
        fs::copy_file(std::string(KINOLUX_BIN_DIR) + "/samples/kinolux-sample.swf",
                      folder / "movies" / ("sample" + std::to_string(n) + ".swf"));
    double wall = 0;
    for (auto _ : state) {
        fs::remove_all(folder / "out");
        const std::string command = "XDG_CONFIG_HOME=" + (folder / "config").string() + " " + KINOLUX_BIN_DIR +
                                    "/kinoluxbatch -j " + std::to_string(state.range(0)) +
                                    " --pi ini/mp4.ini --pn 'mp4 Normal' -o " + (folder / "out").string() + " " +
                                    (folder / "movies").string() + " >/dev/null 2>&1";
        const auto start = std::chrono::steady_clock::now();
        const int status = std::system(command.c_str());
        wall += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        if (status != 0) {
            state.SkipWithError("the batch failed");
            break;
        }
    }
    fs::remove_all(folder);
    if (wall > 0) {
        state.counters["movies_per_minute"] = kMovies * 60.0 * double(state.iterations()) / wall;
        state.counters["wall_per_movie_second"] = wall / double(state.iterations()) / (kMovies * kSampleSeconds);
    }
}
BENCHMARK(BatchOfTwenty)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

// With KINOLUX_BENCH_BASELINE naming another build's program folder (main's
// build/bin, say), each conversion of the sample at a size runs there too,
// right after this build's, so that the two are compared in one run on the
// same machine:
//   KINOLUX_BENCH_BASELINE=/path/to/main/build/bin
//   build/bench-bin/conversion_bench --benchmark_filter=SampleAtSize
int main(int argc, char** argv) {
    std::vector<std::pair<std::string, std::string>> builds{{"", KINOLUX_BIN_DIR}};
    if (const char* baseline = std::getenv("KINOLUX_BENCH_BASELINE"); baseline && *baseline)
        builds.emplace_back("/baseline", baseline);
    for (const SizeCase& size : kSizeCases)
        for (const auto& [tag, bin] : builds)
            benchmark::RegisterBenchmark((std::string("SampleAtSize/") + size.name + tag).c_str(), SampleAtSize,
                                         size.profile, size.fast, bin)
                ->Unit(benchmark::kSecond)
                ->Iterations(1)
                ->UseRealTime();
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
