// Fast Auto conversions (/fast) through the kinolux program, side by side
// with the real-time Auto path: the same pictures frame for frame, the same
// sound, each sound within a frame period of its picture, in every output
// where fast applies.
#include "tests/shell/kinolux_program_runs.h"

#include <complex>

namespace kinolux {
namespace {

namespace fs = std::filesystem;
using testing::FindMarker;
using testing::Quoted;
using testing::RunCommand;
using testing::RunResult;

class FastConversion : public testing::KinoluxProgramTest {
protected:
    // Converts `movie` both ways with the profile; false when either failed.
    void ConvertBothWays(const std::string& movie, const std::string& profile, const std::string& fast,
                         const std::string& realTime) {
        const RunResult quick = Kinolux("/fast /f " + movie + " /o " + fast + " " + profile);
        ASSERT_EQ(quick.exitCode, 0) << quick.output;
        const RunResult played = Kinolux("/f " + movie + " /o " + realTime + " " + profile, &realTimeDebug_);
        ASSERT_EQ(played.exitCode, 0) << played.output;
        EXPECT_TRUE(Leftovers(out_.path()).empty());
    }

    // Whether the real-time run bent its replay (a loaded machine starves
    // its player): its frames then differ there by design.
    bool RealTimeBent() const {
        const testing::ReplayBends bends = testing::ReadReplayBends(realTimeDebug_);
        return !bends.repeated.empty() || !bends.leftOut.empty();
    }

    std::string realTimeDebug_;
};

std::vector<std::string> GrayFrames(const std::string& file, int width, int height) {
    const std::string pixels = RunCommand("ffmpeg -v error -i " + Quoted(file) + " -f rawvideo -pix_fmt gray -s " +
                                          std::to_string(width) + "x" + std::to_string(height) + " -")
                                   .output;
    const size_t frameBytes = size_t(width) * size_t(height);
    std::vector<std::string> frames;
    for (size_t at = 0; at + frameBytes <= pixels.size(); at += frameBytes)
        frames.push_back(pixels.substr(at, frameBytes));
    return frames;
}

double MeanDifference(const std::string& a, const std::string& b) {
    double sum = 0;
    for (size_t i = 0; i < a.size(); ++i) sum += std::abs(int(uint8_t(a[i])) - int(uint8_t(b[i])));
    return sum / double(a.size());
}

std::vector<int16_t> MonoSound(const std::string& file) {
    const std::string bytes = RunCommand("ffmpeg -v error -i " + Quoted(file) + " -f s16le -ac 1 -ar 44100 -").output;
    std::vector<int16_t> sound(bytes.size() / 2);
    std::memcpy(sound.data(), bytes.data(), sound.size() * 2);
    return sound;
}

// The correlation of a and b with b moved by `lag` samples, over the part
// both cover.
double Correlation(const std::vector<int16_t>& a, const std::vector<int16_t>& b, int lag) {
    double ab = 0, aa = 0, bb = 0;
    for (size_t i = 0; i < a.size(); ++i) {
        const long j = long(i) + lag;
        if (j < 0 || j >= long(b.size())) continue;
        ab += double(a[i]) * b[size_t(j)];
        aa += double(a[i]) * a[i];
        bb += double(b[size_t(j)]) * b[size_t(j)];
    }
    return aa > 0 && bb > 0 ? ab / std::sqrt(aa * bb) : 0;
}

// The best correlation with b moved up to a tenth of a second either way:
// the real-time path places its sound from the player's log, which on a
// busy machine may put it a frame or so late.
double BestCorrelation(const std::vector<int16_t>& a, const std::vector<int16_t>& b, int* bestLag = nullptr) {
    const int reach = 4410;
    double best = -1;
    int found = 0;
    const auto tryLag = [&](int lag) {
        const double c = Correlation(a, b, lag);
        if (c > best) {
            best = c;
            found = lag;
        }
    };
    for (int lag = -reach; lag <= reach; lag += 8) tryLag(lag);
    const int coarse = found;
    for (int lag = coarse - 8; lag <= coarse + 8; ++lag) tryLag(lag);
    if (bestLag) *bestLag = found;
    return best;
}

// The magnitudes of the sound's short spectra (2048 values, a Hann window,
// half a window apart, up to 11 kHz), the sound moved by `lag` samples: what
// sounds are heard when, to within a few hundredths of a second, whatever
// the phase of one sound against another.
std::vector<double> Spectrogram(const std::vector<int16_t>& sound, int lag) {
    constexpr size_t kWindow = 2048;
    std::vector<double> magnitudes;
    std::vector<std::complex<double>> values(kWindow);
    for (long start = 0; start + long(kWindow) <= long(sound.size()); start += kWindow / 2) {
        for (size_t i = 0; i < kWindow; ++i) {
            const long at = start + long(i) + lag;
            const double hann = 0.5 - 0.5 * std::cos(2 * M_PI * double(i) / kWindow);
            values[i] = at >= 0 && at < long(sound.size()) ? hann * sound[size_t(at)] : 0.0;
        }
        // An in-place radix-2 transform.
        for (size_t i = 1, j = 0; i < kWindow; ++i) {
            size_t bit = kWindow >> 1;
            for (; j & bit; bit >>= 1) j ^= bit;
            j ^= bit;
            if (i < j) std::swap(values[i], values[j]);
        }
        for (size_t length = 2; length <= kWindow; length <<= 1) {
            const std::complex<double> step = std::polar(1.0, -2 * M_PI / double(length));
            for (size_t i = 0; i < kWindow; i += length) {
                std::complex<double> w = 1;
                for (size_t k = 0; k < length / 2; ++k, w *= step) {
                    const std::complex<double> u = values[i + k], v = values[i + k + length / 2] * w;
                    values[i + k] = u + v;
                    values[i + k + length / 2] = u - v;
                }
            }
        }
        for (size_t k = 1; k < kWindow / 4; ++k) magnitudes.push_back(std::abs(values[k]));
    }
    return magnitudes;
}

double SpectrogramCorrelation(const std::vector<int16_t>& a, const std::vector<int16_t>& b, int lag) {
    const std::vector<double> x = Spectrogram(a, 0), y = Spectrogram(b, lag);
    double xy = 0, xx = 0, yy = 0;
    for (size_t i = 0; i < std::min(x.size(), y.size()); ++i) {
        xy += x[i] * y[i];
        xx += x[i] * x[i];
        yy += y[i] * y[i];
    }
    return xx > 0 && yy > 0 ? xy / std::sqrt(xx * yy) : 0;
}

// The comparison of the sample's sound lets one overlapping sound start a
// block later, and nothing more: not a sound lost, nor one a frame late.
TEST(SoundAsHeard, AllowsABlockOfPhaseButNotALostOrLateSound) {
    const auto mix = [](int beepStart, bool beep) {
        std::vector<int16_t> sound(44100 * 2);
        for (size_t i = 0; i < sound.size(); ++i) {
            double value = 6000 * std::sin(2 * M_PI * 220 * double(i) / 44100);
            if (beep && long(i) >= beepStart && long(i) < beepStart + 22050)
                value += 6000 * std::sin(2 * M_PI * 880 * double(i - size_t(beepStart)) / 44100);
            sound[i] = int16_t(value);
        }
        return sound;
    };
    const std::vector<int16_t> fast = mix(44100 / 2, true);
    EXPECT_GT(SpectrogramCorrelation(fast, mix(44100 / 2 + 512, true), 0), 0.995);
    EXPECT_LT(SpectrogramCorrelation(fast, mix(44100 / 2, false), 0), 0.995) << "a sound lost";
    EXPECT_LT(SpectrogramCorrelation(fast, mix(44100 / 2 + 1764, true), 0), 0.995) << "a sound a frame late";
}

TEST_F(FastConversion, TheSampleGivesTheRealTimePicturesFrameForFrameAndItsSound) {
    const std::string fast = out_.path() + "/fast.mp4", played = out_.path() + "/played.mp4";
    ConvertBothWays("samples/kinolux-sample.swf", "/pi ini/h264mp4.ini /pn H264 mp4 Normal", fast, played);
    const std::vector<std::string> quick = GrayFrames(fast, 160, 120), real = GrayFrames(played, 160, 120);
    ASSERT_EQ(quick.size(), 150u) << "every frame of the range";
    if (!RealTimeBent()) {
        ASSERT_EQ(quick.size(), real.size());
        for (size_t k = 0; k < quick.size(); ++k) EXPECT_LT(MeanDifference(quick[k], real[k]), 2.0) << "frame " << k;
    }
    const std::vector<int16_t> a = MonoSound(fast), b = MonoSound(played);
    ASSERT_FALSE(a.empty());
    EXPECT_NEAR(double(a.size()), double(b.size()), 44100 / 25.0 * 2) << "sound as long as the pictures";
    // The sample's sounds overlap. The real-time player starts each at the
    // output block (11.6 ms) its device has reached when the frame runs; a
    // busy machine delays its threads by a block or more, so one sound may
    // sit a block later against another than in the fast output: the
    // samples of the mix then differ while every sound is the same and in
    // its place. So the sound is compared as heard, spectrum by spectrum at
    // the best overall lag: a sound lost, doubled, at another level or
    // pitch, or the whole moved by a quarter of a frame, falls below this.
    int lag = 0;
    BestCorrelation(a, b, &lag);
    EXPECT_GT(SpectrogramCorrelation(a, b, lag), 0.995) << "lag " << lag;
}

// The marker's sound starts a second in, on the frame that turns white,
// and stops 0.4 s later.
TEST_F(FastConversion, ASoundThatStartsLateAndStopsKeepsToItsPicture) {
    const std::string movie = WriteMovie("marker.swf", testing::MarkerSoundMovie());
    const std::string fast = out_.path() + "/fast.mp4", played = out_.path() + "/played.mp4";
    ConvertBothWays(movie, "/pi ini/h264mp4.ini /pn H264 mp4 Normal", fast, played);
    const testing::MarkerTimes times = FindMarker(fast);
    EXPECT_NEAR(times.picture, testing::kMarkerFrame / double(testing::kMarkerFps), 1e-6) << "no frame lost or doubled";
    ASSERT_GE(times.sound, 0);
    EXPECT_LE(std::abs(times.sound - times.picture), 1.0 / testing::kMarkerFps)
        << "picture at " << times.picture << " s, sound at " << times.sound << " s";

    const std::vector<int16_t> a = MonoSound(fast), b = MonoSound(played);
    int lag = 0;
    EXPECT_GT(BestCorrelation(a, b, &lag), 0.99) << "lag " << lag;
    // Silent before the marker and after the sound has stopped.
    for (size_t i = 0; i < a.size(); ++i) {
        const double at = double(i) / 44100;
        if (at < times.sound - 0.001 || at > times.sound + 0.45) {
            ASSERT_LT(std::abs(a[i]), 200) << "at " << at << " s";
        }
    }
}

TEST_F(FastConversion, EveryFrameOnceInOrderEachFlashWithItsBeep) {
    constexpr int kFrames = 500, kFirstFlash = 25, kFlashEvery = 50;
    const std::string movie = WriteMovie(
        "numbered.swf", testing::NumberedFlashMovie(kFrames, kFirstFlash, kFlashEvery, testing::Beep::Event));
    const std::string output = out_.path() + "/numbered.mp4";
    std::string debug;
    const RunResult run = Kinolux("/fast /f " + movie + " /o " + output + " /pi ini/mp4.ini /pn mp4 Normal", &debug);
    testing::ExpectEveryFrameOnceWithItsSound(run, debug, output, kFrames, kFirstFlash, kFlashEvery);
    EXPECT_EQ(debug.find("Auto replay"), std::string::npos) << "nothing to replay: no player";
}

// The capture plays the movie at every step, as the player does at every
// tick, so a stop() in the movie's own script holds neither conversion on
// that frame: both go on through the range, each frame once in order (the
// real-time path shows a frame again where its player fell behind).
TEST_F(FastConversion, AMovieThatStopsItsOwnTimelineIsPlayedOnThroughTheRange) {
    constexpr int kFrames = 100, kStopFrame = 30;
    const std::string movie = WriteMovie(
        "stops.swf", testing::NumberedFlashMovie(kFrames, kFrames, kFrames, testing::Beep::Stream, kStopFrame));
    const std::string fast = out_.path() + "/fast.mp4", played = out_.path() + "/played.mp4";
    ConvertBothWays(movie, "/pi ini/mp4.ini /pn mp4 Normal", fast, played);
    const testing::ReplayBends bends = testing::ReadReplayBends(realTimeDebug_);
    for (const auto& [output, bent] : {std::pair{fast, false}, std::pair{played, RealTimeBent()}}) {
        const std::vector<int> frames = testing::ReadNumberedOutput(output).frames;
        ASSERT_FALSE(frames.empty()) << output;
        EXPECT_EQ(frames.front(), 0) << output;
        for (size_t k = 1; k < frames.size(); ++k) {
            const bool repeated = frames[k] == frames[k - 1] && bent && bends.repeated.count(frames[k]);
            const bool leftOut = frames[k] > frames[k - 1] + 1 && bent;
            EXPECT_TRUE(frames[k] == frames[k - 1] + 1 || repeated || leftOut)
                << output << ": output frame " << k << " shows " << frames[k] << " after " << frames[k - 1];
        }
        EXPECT_GE(frames.back(), kFrames - 4) << output << ": the conversion went on past the stop on frame "
                                              << kStopFrame;
    }
}

TEST_F(FastConversion, SoundOnlyAndPicturesOnlyOutputs) {
    const std::string movie = WriteMovie("marker.swf", testing::MarkerSoundMovie());
    const std::string fast = out_.path() + "/fast.wav", played = out_.path() + "/played.wav";
    ConvertBothWays(movie, "/pi ini/wav.ini /pn wav Normal", fast, played);
    EXPECT_EQ(Probe(fast, "stream=codec_type"), "audio\n");
    EXPECT_GT(BestCorrelation(MonoSound(fast), MonoSound(played)), 0.99);

    const std::string gif = out_.path() + "/fast.gif", realGif = out_.path() + "/played.gif";
    ConvertBothWays(movie, "/pi ini/gif.ini /pn " + std::string("GIF Normal"), gif, realGif);
    const std::vector<std::string> quick = GrayFrames(gif, 64, 48), real = GrayFrames(realGif, 64, 48);
    ASSERT_FALSE(quick.empty());
    if (!RealTimeBent()) {
        EXPECT_EQ(quick, real);
    }
}

TEST_F(FastConversion, StillImagesWithAndWithoutAlphaAreTheRealTimeOnes) {
    const std::string movie = WriteMovie("numbered.swf", testing::NumberedFlashMovie(60, 25, 50));
    for (const char* profile : {"PNG images no alpha", "PNG images with alpha"}) {
        const std::string tag = profile[11] == 'n' ? "plain" : "alpha";
        ConvertBothWays(movie, "/pi ini/pngimg.ini /pn " + std::string(profile), out_.path() + "/fast-" + tag + ".png",
                        out_.path() + "/played-" + tag + ".png");
        const std::string quick = out_.path() + "/fast-" + tag, real = out_.path() + "/played-" + tag;
        int n = 1;
        for (;; ++n) {
            char name[32];
            std::snprintf(name, sizeof name, "/ren%04d.png", n);
            if (!fs::exists(quick + name)) break;
            if (RealTimeBent()) continue;
            const QImage a(QString::fromStdString(quick + name)), b(QString::fromStdString(real + name));
            ASSERT_FALSE(b.isNull()) << profile << ": " << name << " only in the fast output";
            EXPECT_EQ(a, b) << profile << ": " << name;
        }
        EXPECT_EQ(n - 1, 60) << profile << ": every frame, the last too";
    }
}

}  // namespace
}  // namespace kinolux
