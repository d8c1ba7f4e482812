// castor against the ffmpeg command line on the same work: 10 s of 640x480
// pictures at 25 fps with stereo sound, to MPEG-4/MP3 in AVI and to
// H.264/AAC in MP4 at the same bit rates and codec settings. castor reads
// the pictures through the frame callback (rendered ahead, so only the
// encoder is measured); ffmpeg reads the same pictures and sound from raw
// files (bgr24 and s16le). Each iteration runs both, one after the other;
// the counters give each one's seconds and the ratio castor / ffmpeg.
#include <benchmark/benchmark.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "bindings/castor.h"
#include "tools/testpattern/pattern_generator.h"

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 480;
constexpr float kFrameRate = 25;
constexpr double kSeconds = 10;

struct Workload {
    std::filesystem::path folder;
    testpattern::PatternGenerator generator{testpattern::Pattern(kWidth, kHeight, kFrameRate, kSeconds)};

    Workload() {
        std::string pattern = (std::filesystem::temp_directory_path() / "castor-bench-XXXXXX").string();
        folder = mkdtemp(pattern.data());
        generator.Prerender();
        // The same pictures and sound for ffmpeg, rows top-down as raw
        // video stores them.
        std::ofstream video(folder / "video.bgr", std::ios::binary);
        std::ofstream audio(folder / "audio.s16", std::ios::binary);
        const size_t row = kWidth * 3;
        for (int frame = 0; frame < generator.FrameCount(); ++frame) {
            const std::vector<uint8_t>& picture = generator.Picture(frame);
            for (int y = kHeight - 1; y >= 0; --y) {
                video.write(reinterpret_cast<const char*>(picture.data() + y * row), static_cast<std::streamsize>(row));
            }
            const std::vector<int16_t>& sound = generator.Sound(frame);
            audio.write(reinterpret_cast<const char*>(sound.data()), static_cast<std::streamsize>(sound.size() * 2));
        }
    }
    ~Workload() { std::filesystem::remove_all(folder); }
};

Workload& Shared() {
    static Workload workload;
    return workload;
}

int Quiet(const char*, double) { return 0; }

double Seconds(std::chrono::steady_clock::time_point since) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - since).count();
}

void RunCastor(Workload& work, const std::vector<std::string>& codecArguments, const std::string& output) {
    std::vector<std::string> arguments = {"ffmain", "-i", CASTOR_FRAME_INPUT, "-y"};
    arguments.insert(arguments.end(), codecArguments.begin(), codecArguments.end());
    arguments.push_back((work.folder / output).string());
    std::vector<char*> vector;
    for (std::string& argument : arguments) {
        vector.push_back(argument.data());
    }
    CS_SetFrameInfoCallBack(testpattern::BindFrameCallback(&work.generator));
    if (ffmain(static_cast<int>(vector.size()), vector.data(), Quiet) != 0) {
        std::fprintf(stderr, "castor failed\n");
        std::exit(1);
    }
}

void RunFfmpeg(Workload& work, const std::string& codecArguments, const std::string& output) {
    const std::string command =
        "ffmpeg -nostdin -v error -y -f rawvideo -pix_fmt bgr24 -s 640x480 -r 25 -i '" +
        (work.folder / "video.bgr").string() + "' -f s16le -ar 44100 -ac 2 -i '" +
        (work.folder / "audio.s16").string() + "' " + codecArguments + " '" + (work.folder / output).string() + "'";
    if (std::system(command.c_str()) != 0) {
        std::fprintf(stderr, "ffmpeg failed: %s\n", command.c_str());
        std::exit(1);
    }
}

void Compare(benchmark::State& state, const std::vector<std::string>& castorArguments,
             const std::string& ffmpegArguments, const std::string& extension) {
    Workload& work = Shared();
    CSInit();
    double castor = 0, ffmpeg = 0;
    for (auto _ : state) {
        auto start = std::chrono::steady_clock::now();
        RunCastor(work, castorArguments, "castor." + extension);
        castor += Seconds(start);
        start = std::chrono::steady_clock::now();
        RunFfmpeg(work, ffmpegArguments, "ffmpeg." + extension);
        ffmpeg += Seconds(start);
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["castor_s"] = castor / runs;
    state.counters["ffmpeg_s"] = ffmpeg / runs;
    state.counters["ratio"] = castor / ffmpeg;
}

void Mpeg4Mp3(benchmark::State& state) {
    Compare(state, {"-vcodec", "mpeg4", "-acodec", "mp3", "-b", "800", "-ab", "128"},
            "-c:v mpeg4 -b:v 800k -c:a libmp3lame -b:a 128k", "avi");
}

void H264Aac(benchmark::State& state) {
    Compare(state, {"-vcodec", "h264", "-acodec", "aac", "-b", "800", "-ab", "128"},
            "-c:v libx264 -b:v 800k -c:a aac -b:a 128k", "mp4");
}

BENCHMARK(Mpeg4Mp3)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();
BENCHMARK(H264Aac)->Unit(benchmark::kSecond)->Iterations(3)->UseRealTime();

}  // namespace

BENCHMARK_MAIN();
