// A snapshot of the process's memory mappings (/proc/self/maps), so that the
// import patcher can check an address before it touches it, the way the
// Windows original asked IsBadReadPtr and VirtualQuery.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace kinolux {

struct MemoryRegion {
    uintptr_t start = 0;
    uintptr_t end = 0;  // one past the last byte
    int protection = 0; // PROT_READ | PROT_WRITE | PROT_EXEC bits
};

class MemoryRegions {
public:
    // Reads the current mappings; an unreadable maps file gives no regions,
    // so every check below then fails safely.
    static MemoryRegions OfThisProcess();

    const MemoryRegion* Find(uintptr_t address) const;
    // True when every byte of [address, address + size) lies in mappings
    // that allow `protection` (contiguous regions may be crossed).
    bool Allows(const void* address, size_t size, int protection) const;
    bool IsReadable(const void* address, size_t size) const;
    bool IsWritable(const void* address, size_t size) const;
    bool IsExecutable(uintptr_t address) const;
    // How many bytes from `address` on are readable without a gap (0 when none).
    size_t ReadableBytesFrom(const void* address) const;

private:
    std::vector<MemoryRegion> regions_;
};

}  // namespace kinolux
