#include "castor/gif_palette.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "castor/failure.h"

namespace castor {
namespace {

constexpr int kBins = 1 << 15;  // five bits of each of red, green and blue
constexpr int kColors = 256;

int BinOf(const uint8_t* pixel) {
    return (pixel[0] >> 3) << 10 | (pixel[1] >> 3) << 5 | pixel[2] >> 3;
}

int Channel(int bin, int channel) { return bin >> (10 - 5 * channel) & 31; }

struct Histogram {
    std::vector<uint32_t> count = std::vector<uint32_t>(kBins);
    std::vector<std::array<uint64_t, 3>> sum = std::vector<std::array<uint64_t, 3>>(kBins);
};

// A box of occupied bins, split along its widest channel at the median.
struct Box {
    std::vector<int> bins;
    uint64_t pixels = 0;
    int widestChannel = 0;
    int width = 0;
};

Box MakeBox(std::vector<int> bins, const Histogram& histogram) {
    Box box;
    box.bins = std::move(bins);
    std::array<int, 3> low{31, 31, 31}, high{0, 0, 0};
    for (int bin : box.bins) {
        box.pixels += histogram.count[bin];
        for (int c = 0; c < 3; ++c) {
            low[c] = std::min(low[c], Channel(bin, c));
            high[c] = std::max(high[c], Channel(bin, c));
        }
    }
    for (int c = 0; c < 3; ++c) {
        if (high[c] - low[c] > box.width) {
            box.width = high[c] - low[c];
            box.widestChannel = c;
        }
    }
    return box;
}

std::vector<Box> MedianCut(const Histogram& histogram) {
    std::vector<int> occupied;
    for (int bin = 0; bin < kBins; ++bin) {
        if (histogram.count[bin] != 0) {
            occupied.push_back(bin);
        }
    }
    std::vector<Box> boxes;
    boxes.push_back(MakeBox(std::move(occupied), histogram));
    while (boxes.size() < kColors) {
        // Split the box that holds the most pixels among those that can split.
        auto widest = boxes.end();
        for (auto it = boxes.begin(); it != boxes.end(); ++it) {
            if (it->bins.size() > 1 && (widest == boxes.end() || it->pixels * (it->width + 1) >
                                                                     widest->pixels * (widest->width + 1))) {
                widest = it;
            }
        }
        if (widest == boxes.end()) {
            break;
        }
        const int channel = widest->widestChannel;
        std::vector<int> bins = std::move(widest->bins);
        std::sort(bins.begin(), bins.end(),
                  [channel](int a, int b) { return Channel(a, channel) < Channel(b, channel); });
        uint64_t half = 0;
        size_t cut = 0;
        while (cut + 1 < bins.size() && half * 2 < widest->pixels) {
            half += histogram.count[bins[cut++]];
        }
        cut = std::max<size_t>(cut, 1);
        std::vector<int> upper(bins.begin() + static_cast<ptrdiff_t>(cut), bins.end());
        bins.resize(cut);
        *widest = MakeBox(std::move(bins), histogram);
        boxes.push_back(MakeBox(std::move(upper), histogram));
    }
    return boxes;
}

}  // namespace

FramePtr QuantizeToPalette(const AVFrame& rgb) {
    Histogram histogram;
    for (int y = 0; y < rgb.height; ++y) {
        const uint8_t* pixel = rgb.data[0] + static_cast<ptrdiff_t>(y) * rgb.linesize[0];
        for (int x = 0; x < rgb.width; ++x, pixel += 3) {
            const int bin = BinOf(pixel);
            ++histogram.count[bin];
            for (int c = 0; c < 3; ++c) {
                histogram.sum[bin][c] += pixel[c];
            }
        }
    }

    FramePtr indexed = NewPicture(AV_PIX_FMT_PAL8, rgb.width, rgb.height);

    std::vector<uint8_t> lookup(kBins);
    auto* palette = reinterpret_cast<uint32_t*>(indexed->data[1]);
    std::fill(palette, palette + kColors, 0xFF000000u);
    const std::vector<Box> boxes = MedianCut(histogram);
    for (size_t index = 0; index < boxes.size(); ++index) {
        std::array<uint64_t, 3> total{};
        for (int bin : boxes[index].bins) {
            lookup[bin] = static_cast<uint8_t>(index);
            for (int c = 0; c < 3; ++c) {
                total[c] += histogram.sum[bin][c];
            }
        }
        const uint64_t pixels = std::max<uint64_t>(boxes[index].pixels, 1);
        palette[index] = 0xFF000000u | static_cast<uint32_t>(total[0] / pixels) << 16 |
                         static_cast<uint32_t>(total[1] / pixels) << 8 |
                         static_cast<uint32_t>(total[2] / pixels);
    }

    for (int y = 0; y < rgb.height; ++y) {
        const uint8_t* pixel = rgb.data[0] + static_cast<ptrdiff_t>(y) * rgb.linesize[0];
        uint8_t* out = indexed->data[0] + static_cast<ptrdiff_t>(y) * indexed->linesize[0];
        for (int x = 0; x < rgb.width; ++x, pixel += 3) {
            out[x] = lookup[BinOf(pixel)];
        }
    }
    return indexed;
}

}  // namespace castor
