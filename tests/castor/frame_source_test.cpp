// Reading the frame callback: the stream description, each record's times,
// sound blocks with odd value counts, and records that cannot be trusted.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <vector>

#include "castor/failure.h"
#include "castor/frame_source.h"

namespace castor {
namespace {

// A callback served by a std::function, for records the pattern generator
// would never produce.
std::function<int(int, FrameInfo*)> serve;
int Serve(int request, FrameInfo* info) { return serve(request, info); }

void Describe(FrameInfo* info, float fps = 24) {
    info->streamKind = 3;
    info->audioSampleRate = 44100;
    info->audioChannels = 2;
    info->frameWidth = 8;
    info->frameHeight = 4;
    info->frameRate = fps;
    info->bitsPerPixel = 24;
}

TEST(CastorFrameSource, OddSoundBlocksJoinIntoOneStream) {
    // At 24 fps each record carries 3675 values: half a stereo sample is
    // left over every other record and must not be lost.
    std::vector<int16_t> block(3675);
    std::vector<uint8_t> picture(8 * 4 * 3);
    int16_t next = 0;
    serve = [&](int request, FrameInfo* info) {
        Describe(info);
        if (request == 0) {
            return 0;
        }
        if (request > 23) {  // 23 x 3675 values: an odd count in all
            return -1;
        }
        for (int16_t& value : block) {
            value = next++;
        }
        info->picture = picture.data();
        info->pictureBytes = static_cast<int32_t>(picture.size());
        info->pictureWidth = 8;
        info->pictureHeight = 4;
        info->sound = block.data();
        info->soundBytes = static_cast<int32_t>(block.size() * 2);
        info->pictureTime = info->soundTime = std::trunc(request * 1000 / 24.0f) * 0.001f;
        return 0;
    };
    FrameSource source(Serve);
    std::vector<int16_t> stream;
    std::vector<double> pictureStarts;
    SourceItem item;
    while (source.Read(item)) {
        if (item.kind == ItemKind::Picture) {
            pictureStarts.push_back(item.start);
            continue;
        }
        const auto* values = reinterpret_cast<const int16_t*>(item.frame->data[0]);
        EXPECT_NEAR(item.start, stream.size() / 88200.0, 0.0015);
        stream.insert(stream.end(), values, values + item.frame->nb_samples * 2);
    }
    ASSERT_EQ(stream.size(), 23u * 3675 - 1);  // the very last half sample has no partner
    for (size_t i = 0; i < stream.size(); ++i) {
        ASSERT_EQ(stream[i], static_cast<int16_t>(i));
    }
    ASSERT_EQ(pictureStarts.size(), 23u);
    EXPECT_NEAR(pictureStarts.front(), 0, 0.0015);  // frame 1 is stamped 1/24: its end
    EXPECT_NEAR(pictureStarts.back(), 22 / 24.0, 0.0015);
}

TEST(CastorFrameSource, StartStampedSuppliersStillStartAtZero) {
    std::vector<uint8_t> picture(8 * 4 * 3);
    serve = [&](int request, FrameInfo* info) {
        Describe(info, 10);
        info->streamKind = 1;
        if (request == 0) {
            return 0;
        }
        if (request > 3) {
            return -1;
        }
        info->picture = picture.data();
        info->pictureBytes = static_cast<int32_t>(picture.size());
        info->pictureTime = (request - 1) * 0.1f;
        return 0;
    };
    FrameSource source(Serve);
    SourceItem item;
    ASSERT_TRUE(source.Read(item));
    EXPECT_NEAR(item.start, 0, 1e-6);
    ASSERT_TRUE(source.Read(item));
    EXPECT_NEAR(item.start, 0.1, 1e-6);
    EXPECT_EQ(item.frame->width, 8);  // pictureWidth 0: the description's size
}

TEST(CastorFrameSource, RefusesDescriptionsAndRecordsItCannotTrust) {
    std::vector<uint8_t> small(10);
    const std::function<void(FrameInfo*)> broken[] = {
        [&](FrameInfo* info) {  // fewer bytes than width x height x 3
            info->picture = small.data();
            info->pictureBytes = 10;
            info->pictureTime = 0.1f;
        },
        [&](FrameInfo* info) {  // a time that is no number
            info->picture = small.data();
            info->pictureBytes = 1;
            info->pictureWidth = 1;
            info->pictureHeight = 1;
            info->pictureTime = NAN;
        },
        [&](FrameInfo* info) {  // sound bytes without a buffer
            info->soundBytes = 400;
            info->soundTime = 0.1f;
        },
        [&](FrameInfo* info) {  // a picture larger than any frame
            info->picture = small.data();
            info->pictureBytes = 10;
            info->pictureWidth = 100000;
            info->pictureHeight = 1;
        },
    };
    for (const auto& breakRecord : broken) {
        serve = [&](int request, FrameInfo* info) {
            Describe(info);
            if (request > 0) {
                breakRecord(info);
            }
            return 0;
        };
        FrameSource source(Serve);
        SourceItem item;
        EXPECT_THROW(source.Read(item), Failure);
    }

    const std::function<void(FrameInfo*)> badDescriptions[] = {
        [](FrameInfo* info) { info->streamKind = 0; },
        [](FrameInfo* info) { info->frameRate = 0; },
        [](FrameInfo* info) { info->frameWidth = -5; },
        [](FrameInfo* info) { info->bitsPerPixel = 32; },
    };
    for (const auto& breakDescription : badDescriptions) {
        serve = [&](int, FrameInfo* info) {
            Describe(info);
            breakDescription(info);
            return 0;
        };
        EXPECT_THROW(FrameSource{Serve}, Failure);
    }
    EXPECT_THROW(FrameSource{nullptr}, Failure);
}

}  // namespace
}  // namespace castor
