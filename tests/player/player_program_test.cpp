// kinoluxplayer end to end, without a display and on the null sound device
// or none at all: the main program's stand-in finds it by its caption,
// greets it and hears "Audio Closed"; the sync file follows real time and
// the WAV holds the movie's sound where the sync file says its frames were
// shown.
#include "tests/flash/test_movies.h"
#include "tests/flash_audio/reference_codec.h"
#include "tests/flash_control/control_support.h"
#include "tests/flash_control/sound_movie.h"
#include "tests/platform/built_program_folder.h"
#include "tests/platform/scoped_temp_folder.h"
#include "tests/player/player_process.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace kinolux {
namespace {

using testing::kGenerousWaitMs;
using testing::PlayerProcess;
using testing::PlayerRunSettings;
using testing::StandInMainWindow;

std::vector<char> ReadAll(const std::string& path)
{
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

struct Record {
    int32_t elapsed, frame;
};

// The records after the signature, the end record included.
std::vector<Record> SyncRecords(const std::vector<char>& bytes)
{
    std::vector<Record> records((bytes.size() - 4) / 8);
    std::memcpy(records.data(), bytes.data() + 4, records.size() * 8);
    return records;
}

// The PCM of a complete WAV file; empty (with a failure) for anything else.
std::vector<int16_t> WavValues(const std::vector<char>& bytes)
{
    if (bytes.size() < 44) {
        ADD_FAILURE() << "no WAV header";
        return {};
    }
    uint32_t riffSize = 0, dataSize = 0;
    std::memcpy(&riffSize, bytes.data() + 4, 4);
    std::memcpy(&dataSize, bytes.data() + 40, 4);
    EXPECT_EQ(std::string(bytes.data(), 4), "RIFF");
    EXPECT_EQ(dataSize, bytes.size() - 44) << "the header was completed";
    EXPECT_EQ(riffSize, dataSize + 36);
    std::vector<int16_t> values((bytes.size() - 44) / 2);
    std::memcpy(values.data(), bytes.data() + 44, values.size() * 2);
    return values;
}

// Where a signal starts after silence: the first loud value from `from`
// on, as a stereo frame's first value.
size_t Onset(const std::vector<int16_t>& values, size_t from)
{
    size_t at = from;
    while (at < values.size() && std::abs(values[at]) < 1000) ++at;
    return at & ~size_t(1);
}

double Ms(size_t values) { return values / 88.2; }

// When the sync file has the movie show `frame`: a record of frame c (c at
// least `frame`) logged at x puts its start no later than c - frame periods
// before x; the tightest of those bounds.
double LoggedAtMs(const std::vector<Record>& records, int frame, double periodMs)
{
    double best = 1e9;
    for (const Record& r : records) {
        if (r.frame < 0) break;
        if (r.frame >= frame) best = std::min(best, r.elapsed - (r.frame - frame) * periodMs);
    }
    return best;
}

class PlayerProgram : public ::testing::Test {
protected:
    // Each test's windows live in a bus of their own, apart from any other
    // player running on the machine.
    void SetUp() override
    {
        setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
        flash::testing::ensureApplication();
    }

    PlayerRunSettings SettingsFor(const std::string& movie)
    {
        PlayerRunSettings settings;
        settings.input = movie;
        settings.wav = folder / "my movie~temp.wav";
        settings.sync = folder / "my movie~temp.sync";
        return settings;
    }

    testing::ScopedTempFolder folder;
    testing::ScopedTempFolder runtime;
    testing::ScopedSettingsHome settingsHome;
    flash::testing::MovieFiles movies;
};

// The whole run as the main program drives it, on a movie with a stream
// sound on its first ten frames and an event sound from frame 16.
// A sound of the movie: the frame that starts it and its direct decode.
struct Sound {
    const char* name;
    int frame;
    std::vector<int16_t> decoded;
    size_t heardValues;  // how long it sounds before the next one may start
};

std::vector<Sound> SoundsOf(const flash::testing::SoundMovie& movie)
{
    return {{"stream", 0, movie.stream, size_t(flash::testing::kStreamFrames * 1764 * 2)},
            {"event", flash::testing::kEventFrame, movie.event, movie.event.size()}};
}

void ExpectRunOfSoundMovie(PlayerRunSettings settings, const std::vector<Sound>& sounds)
{
    settings.fps = flash::testing::kSoundMovieFps;
    settings.toFrame = settings.totalFrames = flash::testing::kSoundMovieFrames - 1;
    StandInMainWindow main;
    ASSERT_NE(main.Handle(), 0u);
    PlayerProcess player(settings);
    const WindowHandle window = player.WaitForWindow();
    ASSERT_NE(window, 0u) << "found by its caption";
    ASSERT_TRUE(player.Greet(window, main));
    ASSERT_TRUE(player.WaitForExit(kGenerousWaitMs));
    EXPECT_EQ(player.ExitCode(), 0);
    EXPECT_EQ(player.StandardOutput(), "") << "nothing went wrong";

    ASSERT_EQ(main.Received().size(), 1u);
    const BusMessage& closed = main.Received()[0];
    EXPECT_EQ(closed.message, WM_COPYDATA);
    EXPECT_EQ(closed.wParam, window);
    EXPECT_EQ(closed.dwData, 0u);
    EXPECT_EQ(closed.data, std::string("Audio Closed", 13));

    const std::vector<char> syncBytes = ReadAll(settings.sync);
    ASSERT_GE(syncBytes.size(), 12u);
    EXPECT_EQ(std::memcmp(syncBytes.data(), "\x19\x84\x04\x21", 4), 0);
    const std::vector<Record> records = SyncRecords(syncBytes);
    ASSERT_GE(records.size(), 20u) << "a record for each tick after the first";
    EXPECT_EQ(records.back().elapsed, -1);
    EXPECT_EQ(records.back().frame, -1);
    const double period = 1000.0 / settings.fps;
    for (size_t k = 0; k + 1 < records.size(); ++k) {
        if (k > 0) {
            EXPECT_GT(records[k].elapsed, records[k - 1].elapsed);
        }
        // A busy machine may hold the frames back, never push them ahead.
        EXPECT_LE(records[k].frame, records[k].elapsed / period + 1) << "no frame before its time";
    }
    const Record& last = records[records.size() - 2];
    EXPECT_GE(last.frame, settings.toFrame - 2) << "ran to the end of its range";

    const std::vector<int16_t> wav = WavValues(ReadAll(settings.wav));
    // The sound of the range's last frame is complete, with a period to
    // spare where that frame was logged; a movie that started over before
    // a tick saw that frame has its sound end a period after the last one
    // logged.
    const double soundEnd = last.elapsed + (last.frame >= settings.toFrame ? 2 : 1) * period;
    EXPECT_GE(Ms(wav.size()) + 2, soundEnd) << "the sound of the whole range";
    // Each sound starts where the sync file puts its frame, and is the
    // movie's own sound as decoded directly.
    size_t from = 0;
    for (const Sound& sound : sounds) {
        const size_t onset = Onset(wav, from);
        const size_t length = std::min<size_t>(4410, sound.decoded.size());
        ASSERT_LE(onset + length, wav.size()) << sound.name << " sound missing";
        const std::vector<int16_t> heard(wav.begin() + long(onset), wav.begin() + long(onset + length));
        const std::vector<int16_t> expected(sound.decoded.begin(), sound.decoded.begin() + long(length));
        EXPECT_GT(audio::test::correlation(heard, expected), 0.99) << sound.name;
        const double offsetMs = Ms(onset) - LoggedAtMs(records, sound.frame, period);
        std::printf("%s sound: %+.1f ms from its frame\n", sound.name, offsetMs);
        EXPECT_LE(std::abs(offsetMs), 50) << sound.name << " sound in line with its frame";
        from = onset + sound.heardValues;
    }
}

TEST_F(PlayerProgram, PlaysTheMovieWritingItsSoundInLineWithTheFramesItLogs)
{
    const auto movie = flash::testing::makeSoundMovie(audio::SoundCodec::PcmLittleEndian);
    ExpectRunOfSoundMovie(SettingsFor(movies.write("sound movie.swf", movie.file)), SoundsOf(movie));
}

// The sound movie's event sound alone: the engine opens its device only when
// it starts, well into the run.
std::vector<uint8_t> EventOnlyMovie(const std::vector<int16_t>& event)
{
    std::vector<uint8_t> pcm(event.size() * 2);  // little-endian, as the machine's
    std::memcpy(pcm.data(), event.data(), pcm.size());
    swf::DefineSound sound;
    sound.id = 1;
    sound.format = {swf::SoundFormat(audio::SoundCodec::PcmLittleEndian), 3, true, true};
    sound.sampleCount = uint32_t(event.size() / 2);
    sound.data = pcm;
    std::vector<swf::Tag> tags{sound};
    for (int f = 0; f < flash::testing::kSoundMovieFrames; ++f) {
        if (f == flash::testing::kEventFrame) tags.push_back(swf::StartSound{1, {}});
        tags.push_back(swf::ShowFrame{});
    }
    swf::Header header = testmovies::header(40, 30, flash::testing::kSoundMovieFrames);
    header.frameRate = flash::testing::kSoundMovieFps << 8;
    return testmovies::movie(tags, header);
}

TEST_F(PlayerProgram, ASoundThatOpensTheDeviceLateIsInLineToo)
{
    const auto movie = flash::testing::makeSoundMovie(audio::SoundCodec::PcmLittleEndian);
    ExpectRunOfSoundMovie(SettingsFor(movies.write("event.swf", EventOnlyMovie(movie.event))),
                          {{"event", flash::testing::kEventFrame, movie.event, movie.event.size()}});
}

TEST_F(PlayerProgram, WorksOnAMachineWithoutASoundDevice)
{
    const auto movie = flash::testing::makeSoundMovie(audio::SoundCodec::Adpcm);
    PlayerRunSettings settings = SettingsFor(movies.write("sound.swf", movie.file));
    settings.audio = "none";
    ExpectRunOfSoundMovie(settings, SoundsOf(movie));
}

TEST_F(PlayerProgram, WithoutTheConsoleSwitchExitsWithoutAWindow)
{
    PlayerRunSettings settings = SettingsFor(movies.write("frames.swf", flash::testing::colouredFramesMovie(50)));
    settings.toFrame = settings.totalFrames = 49;
    settings.withConsoleSwitch = false;
    PlayerProcess player(settings);
    EXPECT_EQ(player.WaitForWindow(), 0u);
    ASSERT_TRUE(player.WaitForExit(kGenerousWaitMs));
    EXPECT_NE(player.ExitCode(), 0);
    EXPECT_FALSE(std::filesystem::exists(settings.sync));
    EXPECT_FALSE(std::filesystem::exists(settings.wav));
}

TEST_F(PlayerProgram, ClosedBeforeItsSecondTickLeavesOnlyTheSignatureAndTheEndRecord)
{
    PlayerRunSettings settings = SettingsFor(movies.write("frames.swf", flash::testing::colouredFramesMovie(50)));
    settings.fps = 1;  // a tick a second
    settings.toFrame = settings.totalFrames = 49;
    StandInMainWindow main;
    PlayerProcess player(settings);
    const WindowHandle window = player.WaitForWindow();
    ASSERT_NE(window, 0u);
    ASSERT_TRUE(player.Greet(window, main));
    BusMessage close;
    close.message = WM_CLOSE;
    ASSERT_TRUE(SendNotifyMessage(window, close));
    ASSERT_TRUE(player.WaitForExit(kGenerousWaitMs));
    ASSERT_EQ(main.Received().size(), 1u);
    EXPECT_EQ(main.Received()[0].data, std::string("Audio Closed", 13));
    const std::vector<char> sync = ReadAll(settings.sync);
    EXPECT_EQ(std::string(sync.begin(), sync.end()), std::string("\x19\x84\x04\x21\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 12));
    WavValues(ReadAll(settings.wav));
}

TEST_F(PlayerProgram, AMovieThatLoopsEndsTheRunAtTheJump)
{
    // Twenty frames that loop, in a range of a thousand.
    PlayerRunSettings settings = SettingsFor(movies.write("loop.swf", flash::testing::colouredFramesMovie(20)));
    settings.toFrame = settings.totalFrames = 1000;
    StandInMainWindow main;
    PlayerProcess player(settings);
    ASSERT_TRUE(player.RunGreeted(main)) << "the loop ended the run";
    ASSERT_EQ(main.Received().size(), 1u);
    const std::vector<Record> records = SyncRecords(ReadAll(settings.sync));
    ASSERT_GE(records.size(), 3u);
    EXPECT_GE(records[records.size() - 2].frame, 16) << "ran up to the end of the movie";
    for (size_t k = 1; k + 1 < records.size(); ++k) {
        EXPECT_GE(records[k].frame, records[k - 1].frame) << "no record after the jump";
    }
    // The frames before the jump have their whole sound.
    EXPECT_GE(Ms(WavValues(ReadAll(settings.wav)).size()) + 2, records[records.size() - 2].elapsed + 1000.0 / settings.fps);
}

TEST_F(PlayerProgram, ASyncFileThatCannotBeMadeIsReportedAndTheSoundStillWritten)
{
    PlayerRunSettings settings = SettingsFor(movies.write("frames.swf", flash::testing::colouredFramesMovie(20)));
    settings.sync = folder / "no such folder/~temp.sync";
    settings.toFrame = settings.totalFrames = 10;
    StandInMainWindow main;
    PlayerProcess player(settings);
    ASSERT_TRUE(player.RunGreeted(main));
    EXPECT_EQ(player.StandardOutput(), "create sync file error.\n");
    EXPECT_EQ(main.Received().size(), 1u);
    EXPECT_GT(WavValues(ReadAll(settings.wav)).size(), 0u);
}

TEST_F(PlayerProgram, AMovieThatCannotBeLoadedEndsTheRunAtOnceWithAMessage)
{
    PlayerRunSettings settings = SettingsFor(movies.write("broken.swf", {'F', 'W', 'S', 9, 1, 2, 3}));
    settings.toFrame = settings.totalFrames = 500;
    StandInMainWindow main;
    PlayerProcess player(settings);
    ASSERT_TRUE(player.RunGreeted(main));
    EXPECT_EQ(player.StandardOutput(), "can not load the movie " + settings.input + "\n");
    ASSERT_EQ(main.Received().size(), 1u);
    const std::vector<char> sync = ReadAll(settings.sync);
    EXPECT_EQ(std::string(sync.begin(), sync.end()), std::string("\x19\x84\x04\x21\xFF\xFF\xFF\xFF\xFF\xFF\xFF\xFF", 12));
    EXPECT_EQ(WavValues(ReadAll(settings.wav)).size(), 0u);
}

TEST_F(PlayerProgram, APlayerNeverProperlyGreetedFinishesByItselfAndSaysSo)
{
    PlayerRunSettings settings = SettingsFor(movies.write("frames.swf", flash::testing::colouredFramesMovie(20)));
    settings.toFrame = settings.totalFrames = 10;
    PlayerProcess player(settings);
    const WindowHandle window = player.WaitForWindow();
    ASSERT_NE(window, 0u);
    BusMessage greeting;
    greeting.message = WM_COPYDATA;  // from no window
    ASSERT_TRUE(SendMessage(window, greeting));
    ASSERT_TRUE(player.WaitForExit(kGenerousWaitMs));
    EXPECT_EQ(player.StandardOutput(), "recv error.\ncan not send the close message\n");
    const std::vector<Record> records = SyncRecords(ReadAll(settings.sync));
    ASSERT_GE(records.size(), 2u);
    EXPECT_EQ(records.back().frame, -1) << "the files are complete all the same";
    EXPECT_GT(WavValues(ReadAll(settings.wav)).size(), 0u);
}

TEST_F(PlayerProgram, APlayerWhoseMainProgramHasGoneFinishesByItself)
{
    // A movie that stands still far from the end of its range would keep
    // the player going until its main program closes it; here that program
    // (a shell) ends after two seconds without a word.
    PlayerRunSettings settings = SettingsFor(movies.write("still.swf", flash::testing::colouredFramesMovie(1)));
    settings.toFrame = settings.totalFrames = 1000;
    QProcess shell;
    shell.start("/bin/sh", {"-c", "\"$0\" \"$1\" & sleep 2",
                            QString::fromStdString(testing::BuiltProgramFolder() + "/kinoluxplayer"),
                            QString::fromStdString(testing::PlayerParameterText(settings))});
    ASSERT_TRUE(shell.waitForFinished(10000));
    ASSERT_TRUE(flash::testing::pumpUntil([&] {
        const std::vector<char> sync = ReadAll(settings.sync);
        return sync.size() >= 12 && SyncRecords(sync).back().frame == -1;
    }, 10000)) << "the sync file was completed";
    EXPECT_GT(WavValues(ReadAll(settings.wav)).size(), 0u);
}

}  // namespace
}  // namespace kinolux
