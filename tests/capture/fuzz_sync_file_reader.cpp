// Any file at the sync path must read as records, end, or a wait that gives
// up: never a crash and never a reader that keeps waiting.
#include "capture/sync_file_reader.h"
#include "capture/sync_offset.h"
#include "tests/capture/fuzz_file_in_memory.h"

#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    kinolux::testing::FileInMemory file(data, size);
    kinolux::SyncFileReader reader;
    if (!reader.Open(file.Path())) return 0;
    std::vector<kinolux::SyncRecord> records;
    int waits = 0;
    while (auto record = reader.ReadRecord([&] { return ++waits < 2; })) records.push_back(*record);
    for (const kinolux::SyncRecord& record : records)
        kinolux::SyncOffset(records, static_cast<uint32_t>(record.elapsed), record.frame);
    return 0;
}
