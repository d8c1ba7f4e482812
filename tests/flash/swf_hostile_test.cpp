// Broken and hostile files end in a clear error or a warning, never in a
// crash, a hang or a huge allocation.
#include <gtest/gtest.h>
#include <zlib.h>

#include "flash/swf/error.h"
#include "flash/swf/header.h"
#include "flash/swf/limits.h"
#include "flash/swf/read.h"
#include "tests/flash/test_movies.h"

using namespace swf;
using namespace testmovies;

namespace {

std::vector<std::uint8_t> validMovie(Compression c = Compression::None) {
    return movie({rect(1, {255, 0, 0, 255}, 0, 0, 10, 10), place(1, 1), ShowFrame{}}, header(100, 100, 1, c));
}

std::string errorOf(const std::vector<std::uint8_t>& bytes) {
    try {
        readMovie(bytes);
    } catch (const Error& e) {
        return e.what();
    }
    return {};
}

void putU32(std::vector<std::uint8_t>& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) b[at + std::size_t(i)] = std::uint8_t(v >> (8 * i));
}

}  // namespace

TEST(SwfHostile, NotAMovieIsAnError) {
    EXPECT_NE(errorOf({}).find("too short"), std::string::npos);
    EXPECT_NE(errorOf({'G', 'I', 'F', '8', '9', 'a', 0, 0, 0}).find("not a SWF"), std::string::npos);
    auto headerOnly = validMovie();
    headerOnly.resize(10);  // signature and a piece of the frame rectangle
    EXPECT_NE(errorOf(headerOnly).find("header"), std::string::npos);
}

TEST(SwfHostile, TruncatedMoviesKeepWhatWasRead) {
    for (auto c : {Compression::None, Compression::Zlib, Compression::Lzma}) {
        auto full = validMovie(c);
        const std::size_t tags = readMovie(full).tags.size();
        for (std::size_t cut : {full.size() - 1, full.size() - 5, full.size() / 2 + 8}) {
            std::vector<std::uint8_t> part(full.begin(), full.begin() + std::ptrdiff_t(cut));
            try {
                Movie m = readMovie(part);
                // Whatever was lost is reported (an LZMA body may lose nothing).
                if (m.tags.size() < tags) {
                    EXPECT_FALSE(m.warnings.empty()) << "cut at " << cut;
                }
            } catch (const Error& e) {
                // Acceptable only when not even the header survived.
                EXPECT_NE(std::string(e.what()).find("header"), std::string::npos) << e.what();
            }
        }
    }
}

TEST(SwfHostile, DeclaredSizesBeyondTheLimitAreRefused) {
    auto lzma = validMovie(Compression::Lzma);
    putU32(lzma, 4, 0xfffffff0u);  // declares almost 4 GiB
    EXPECT_NE(errorOf(lzma).find("limit"), std::string::npos);
    // A zlib body declaring 4 GiB but holding little just reads what is there.
    auto zlib = validMovie(Compression::Zlib);
    putU32(zlib, 4, 0xfffffff0u);
    Movie m = readMovie(zlib);
    EXPECT_EQ(m.header.frameCount, 1);
}

TEST(SwfHostile, ZipBombStopsAtTheLimit) {
    // Zeros compress a thousandfold: a small file that would unpack to 200 MiB.
    std::vector<std::uint8_t> zeros(1 << 20, 0);
    z_stream z{};
    ASSERT_EQ(deflateInit(&z, 9), Z_OK);
    std::vector<std::uint8_t> out(4 << 20);
    z.next_out = out.data();
    z.avail_out = uInt(out.size());
    for (int i = 0; i < 200; ++i) {
        z.next_in = zeros.data();
        z.avail_in = uInt(zeros.size());
        ASSERT_NE(deflate(&z, i == 199 ? Z_FINISH : Z_NO_FLUSH), Z_STREAM_ERROR);
    }
    out.resize(out.size() - z.avail_out);
    deflateEnd(&z);
    std::vector<std::uint8_t> file = {'C', 'W', 'S', 10, 0, 0, 0, 0};
    putU32(file, 4, 200u << 20);
    file.insert(file.end(), out.begin(), out.end());
    EXPECT_NE(errorOf(file).find("limit"), std::string::npos);
}

TEST(SwfHostile, DeepSpriteNestingIsRefusedPerTag) {
    DefineSprite inner;
    inner.id = 1;
    inner.frameCount = 1;
    inner.tags = {ShowFrame{}};
    for (int i = 0; i < limits::kMaxSpriteNesting + 4; ++i) {
        DefineSprite outer;
        outer.id = std::uint16_t(i + 2);
        outer.frameCount = 1;
        outer.tags = {std::move(inner), ShowFrame{}};
        inner = std::move(outer);
    }
    auto bytes = movie({inner, ShowFrame{}});
    Movie m = readMovie(bytes);
    ASSERT_FALSE(m.warnings.empty());
    EXPECT_NE(m.warnings.front().find("nested"), std::string::npos);
}

TEST(SwfHostile, DamagedTagsAreSkippedWithAWarning) {
    // A tag whose length runs past the end of the movie.
    auto bytes = validMovie();
    bytes.insert(bytes.end() - 2, {0xbf, 0x00, 0xff, 0xff, 0xff, 0x00});  // DefineShape, 16 MiB long
    Movie m = readMovie(bytes);
    ASSERT_FALSE(m.warnings.empty());
    EXPECT_NE(m.warnings.front().find("cut short"), std::string::npos);
    // A shape whose style count promises more than the tag holds.
    std::vector<std::uint8_t> body = {1, 0, 0x00, 0xff, 0x20, 0x00};
    ASSERT_THROW(readTag(std::uint16_t(2), body, 10), Error);
}

TEST(SwfHostile, FloodsOfSmallTagsHitTheStructureBudget) {
    // Parsed records take far more memory than their bytes; a movie of
    // nothing but tiny PlaceObject2 tags must stop at the budget.
    std::vector<std::uint8_t> file = validMovie();
    file.resize(file.size() - 2);
    const std::vector<std::uint8_t> placeTag = {0x83, 0x06, 0x00, 0x01, 0x00};  // PlaceObject2, modify depth 1
    for (int i = 0; i < 20000; ++i) file.insert(file.end(), placeTag.begin(), placeTag.end());
    putU32(file, 4, std::uint32_t(file.size()));
    EXPECT_NO_THROW(readMovie(file));
    try {
        readMovie(file, 1 << 20);
        FAIL() << "read past the budget";
    } catch (const Error& e) {
        EXPECT_NE(std::string(e.what()).find("structure"), std::string::npos) << e.what();
    }
}

TEST(SwfHostile, ProbeReadsOnlyTheHeader) {
    auto bytes = validMovie(Compression::Zlib);
    bytes.resize(40);  // far too short for the body, enough for the header
    Header h = probeHeader(bytes);
    EXPECT_EQ(h.compression, Compression::Zlib);
    EXPECT_EQ(h.stageSize.xMax, 2000);
}
