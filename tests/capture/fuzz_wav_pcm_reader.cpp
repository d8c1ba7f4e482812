// Any file at the WAV path reads as PCM from byte 44 on, in reads of any
// size, with silence where the file ends.
#include "capture/wav_pcm_reader.h"
#include "tests/capture/fuzz_file_in_memory.h"

#include <cstring>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint32_t readValues = data[0] + 1u;  // the first byte picks the size of each read
    kinolux::testing::FileInMemory file(data + 1, size - 1);
    kinolux::WavPcmReader reader;
    if (!reader.Open(file.Path())) return 0;
    std::vector<int16_t> buffer(readValues);
    size_t total = 0;
    for (;;) {
        const size_t got = reader.ReadAudio(buffer.data(), readValues, [] { return false; });
        total += got;
        if (got < 2 * readValues) break;
    }
    const size_t pcm = size - 1 > 44 ? size - 1 - 44 : 0;
    if (total != pcm) __builtin_trap();
    return 0;
}
