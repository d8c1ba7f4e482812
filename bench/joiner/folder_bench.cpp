// Writing a Blu-ray folder against copying the same transport stream: 30 s
// of 1280x720 MPEG-2 video at the finest quantiser with AC-3 sound (a few
// MB: the test pattern compresses well), made once by the encoder. Each iteration copies the stream, then runs
// the muxer library's entries on it (which read it three times: the packet
// scan, libavformat's survey, and the copy into source packets); the
// counters give each one's seconds and the ratio folder / copy.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "bindings/joiner.h"

namespace {

namespace fs = std::filesystem;

struct Workload {
    fs::path folder;
    fs::path stream;

    Workload() {
        std::string pattern = (fs::temp_directory_path() / "joiner-bench-XXXXXX").string();
        folder = ::mkdtemp(pattern.data());
        stream = folder / "movie.m2ts";
        const std::string command = "'" KINOLUX_BIN_DIR "/testpattern' --seconds 30 --size 1280x720 --rate 25 -- "
                                    "-f mpegts -vcodec mpeg2video -qscale 1 -acodec ac3 -ar 48000 -ab 192 -g 25 "
                                    "-s 1280x720 '" + stream.string() + "' >/dev/null 2>&1";
        if (std::system(command.c_str()) != 0 || !fs::exists(stream)) {
            std::fprintf(stderr, "the encoder could not make the stream\n");
            std::exit(1);
        }
    }
    ~Workload() { fs::remove_all(folder); }
};

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void WriteFolder(const Workload& work, const fs::path& disc) {
    void* info = nullptr;
    const int32_t surveyed = nx_ts_gettrackinfo(work.stream.c_str(), &info);
    const int32_t written = nx_ts_cbdfolder(disc.c_str(), info, NX_MODE_BLURAY_FOLDER);
    if (surveyed != 0 || written != 0) {
        std::fprintf(stderr, "the folder was not written: %s\n", static_cast<NX_TRACKINFO_HEAD*>(info)->message);
        std::exit(1);
    }
    nx_ts_freetrackinfo(info);
}

void FolderAgainstCopy(benchmark::State& state) {
    static Workload work;
    double copy = 0, folder = 0;
    for (auto _ : state) {
        const fs::path copied = work.folder / "copy.m2ts";
        const fs::path disc = work.folder / "disc";
        auto start = std::chrono::steady_clock::now();
        fs::copy_file(work.stream, copied);
        copy += Seconds(start);
        start = std::chrono::steady_clock::now();
        WriteFolder(work, disc);
        folder += Seconds(start);
        fs::remove(copied);
        fs::remove_all(disc);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["stream_MB"] = static_cast<double>(fs::file_size(work.stream)) / 1e6;
    state.counters["copy_s"] = copy / runs;
    state.counters["folder_s"] = folder / runs;
    state.counters["ratio"] = folder / copy;
}

}  // namespace

BENCHMARK(FolderAgainstCopy)->Unit(benchmark::kMillisecond)->Iterations(1);
BENCHMARK_MAIN();
