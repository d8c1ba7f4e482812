// The disc's navigation structures byte by byte, where a reader would go
// wrong on a single misplaced bit, and the arrival clock's arithmetic.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "joiner/arrival_clock.h"
#include "joiner/bit_writer.h"
#include "joiner/ep_map_writer.h"
#include "joiner/index_writer.h"
#include "joiner/movie_object_writer.h"

namespace joiner {
namespace {

using Bytes = std::vector<uint8_t>;

uint32_t Read32(const Bytes& bytes, size_t at) {
    return uint32_t(bytes[at]) << 24 | uint32_t(bytes[at + 1]) << 16 | uint32_t(bytes[at + 2]) << 8 | bytes[at + 3];
}

TEST(BitWriter, PacksFieldsMostSignificantBitFirstAndFillsLengthsLate) {
    BitWriter out;
    const size_t length = out.BeginLength(16);
    out.Put(3, 1);
    out.Put(2, 0);
    out.Put(3, 2);
    out.Put(1, 1);
    out.Put(7, 0);
    out.Put(32, 0xDEADBEEF);
    out.PutBytes("M2TS");
    out.EndLength(length, 16);
    EXPECT_EQ(out.Bytes(), (Bytes{0x00, 0x0A, 0x22, 0x80, 0xDE, 0xAD, 0xBE, 0xEF, 'M', '2', 'T', 'S'}));
    out.Patch32(4, 0x01020304);
    EXPECT_EQ(Read32(out.Bytes(), 4), 0x01020304u);
}

TEST(NavigationFiles, MovieObjectsJumpToTheTitleAndPlayThePlaylist) {
    const Bytes file = MovieObjectFile();
    ASSERT_EQ(file.size(), 82u);
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), (Bytes{'M', 'O', 'B', 'J', '0', '2', '0', '0'}));
    EXPECT_EQ(Read32(file, 40), 38u) << "the objects' length";
    EXPECT_EQ(file[48], 0x00);
    EXPECT_EQ(file[49], 0x02) << "two objects";
    // First playback: JumpTitle 1.
    EXPECT_EQ(Bytes(file.begin() + 54, file.begin() + 66), (Bytes{0x21, 0x81, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0}));
    // Title 1, resumable: PlayPL 0.
    EXPECT_EQ(file[66], 0x80);
    EXPECT_EQ(Bytes(file.begin() + 70, file.begin() + 82), (Bytes{0x22, 0x80, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0}));
}

TEST(NavigationFiles, TheIndexStartsWithTheMovieObjectAndHasOneTitleAndNoMenu) {
    const Bytes file = IndexFile();
    EXPECT_EQ(Bytes(file.begin(), file.begin() + 8), (Bytes{'I', 'N', 'D', 'X', '0', '2', '0', '0'}));
    EXPECT_EQ(Read32(file, 8), 78u) << "the indexes follow the 34-byte application info";
    EXPECT_EQ(Read32(file, 40), 34u);
    ASSERT_EQ(file.size(), 78u + 4 + 12 + 12 + 2 + 12);
    EXPECT_EQ(Read32(file, 78), 38u);
    EXPECT_EQ(file[82], 0x40) << "first playback: an HDMV object";
    EXPECT_EQ(file[88] << 8 | file[89], 0) << "movie object 0";
    EXPECT_EQ(file[100] << 8 | file[101], 0xFFFF) << "no top menu";
    EXPECT_EQ(file[106] << 8 | file[107], 1) << "one title";
    EXPECT_EQ(file[114] << 8 | file[115], 1) << "title 1 runs movie object 1";
}

TEST(EpMap, KeyFramesSplitIntoCoarseAndFineEntriesAPlayerCanJoinAgain) {
    ClipSurvey survey;
    survey.streams.push_back({});
    survey.streams[0].pid = 0x1011;
    survey.streams[0].video = true;
    // The second key frame's packet number crosses 2^17: a new coarse entry.
    survey.entryPoints = {{900000, 10, 20}, {945000, 140000, 100}, {990000, 140500, 3000}};
    BitWriter out;
    WriteCharacteristicPoints(survey, out);
    const Bytes& cpi = out.Bytes();
    EXPECT_EQ(Read32(cpi, 0), cpi.size() - 4);
    EXPECT_EQ(cpi[5], 0x01) << "an EP map";
    EXPECT_EQ(cpi[7], 1) << "for one stream";
    EXPECT_EQ(cpi[8] << 8 | cpi[9], 0x1011);
    const uint32_t counts = Read32(cpi, 10);  // 10 reserved, 4 type, 16 coarse, 2 of fine
    EXPECT_EQ((counts >> 18) & 0xF, 1u) << "a video stream";
    EXPECT_EQ((counts >> 2) & 0xFFFF, 2u) << "coarse entries";
    const uint32_t fineCount = (counts & 3) << 16 | (cpi[14] << 8 | cpi[15]);
    EXPECT_EQ(fineCount, 3u);
    const size_t stream = 6 + Read32(cpi, 16);
    const size_t fine = stream + Read32(cpi, stream);
    ASSERT_EQ(fine + 3 * 4, cpi.size());

    const uint32_t expectedPts45[] = {450000, 472500, 495000};
    const uint32_t expectedSpn[] = {10, 140000, 140500};
    const uint32_t expectedEndClass[] = {1, 3, 7};
    for (size_t i = 0; i < 3; ++i) {
        const size_t coarse = stream + 4 + 8 * (i == 0 ? 0 : 1);
        const uint64_t coarseWord = uint64_t(Read32(cpi, coarse)) << 32 | Read32(cpi, coarse + 4);
        const uint32_t fineWord = Read32(cpi, fine + 4 * i);
        const uint32_t coarsePts = (coarseWord >> 32) & 0x3FFF;
        const uint32_t pts45 = ((coarsePts & ~1u) << 18) + (((fineWord >> 17) & 0x7FF) << 8);
        const uint32_t spn = (uint32_t(coarseWord) & ~0x1FFFFu) + (fineWord & 0x1FFFF);
        EXPECT_LE(expectedPts45[i] - pts45, 255u) << "entry " << i << ": the time to 256 ticks of 45 kHz";
        EXPECT_EQ(spn, expectedSpn[i]) << "entry " << i;
        EXPECT_EQ(fineWord >> 28, expectedEndClass[i]) << "entry " << i;
    }
    EXPECT_EQ(Read32(cpi, stream + 4) >> 14, 0u) << "the first coarse entry leads to fine entry 0";
    EXPECT_EQ(Read32(cpi, stream + 12) >> 14, 1u) << "the second to fine entry 1";
}

TEST(ArrivalClock, PacketsBetweenClockReferencesArriveEvenlySpaced) {
    const std::vector<ClockReference> clock = {{10, 27000}, {20, 29000}, {30, 33000}};
    ArrivalClock arrivals(clock, 40, 0);
    EXPECT_EQ(arrivals.TimeOf(0), 27000 - 10 * 300) << "before the first: the mean spacing";
    EXPECT_EQ(arrivals.TimeOf(15), 28000);
    EXPECT_EQ(arrivals.TimeOf(25), 31000);
    EXPECT_EQ(arrivals.TimeOf(35), 33000 + 5 * 300) << "after the last: the mean spacing";
    // At its fastest, 200 ticks of 27 MHz a 192-byte packet.
    EXPECT_EQ(arrivals.RecordingRate(), 25920000u);
}

TEST(ArrivalClock, ASingleReferenceSpreadsThePacketsOverTheStreamsLength) {
    const std::vector<ClockReference> clock = {{0, 1000}};
    ArrivalClock arrivals(clock, 100, 27000000);
    EXPECT_EQ(arrivals.TimeOf(0), 1000);
    EXPECT_EQ(arrivals.TimeOf(50), 1000 + 13500000);
}

}  // namespace
}  // namespace joiner
