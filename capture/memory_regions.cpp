#include "capture/memory_regions.h"

#include <algorithm>
#include <cerrno>
#include <charconv>
#include <fcntl.h>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace kinolux {

namespace {

std::string ReadMapsFile() {
    std::string text;
    const int fd = ::open("/proc/self/maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return text;
    char chunk[16384];
    for (;;) {
        const ssize_t got = ::read(fd, chunk, sizeof chunk);
        if (got > 0) {
            text.append(chunk, static_cast<size_t>(got));
        } else if (got == 0 || errno != EINTR) {
            break;
        }
    }
    ::close(fd);
    return text;
}

// One line: "start-end perms offset dev inode path". False when it is not
// of that shape.
bool ParseLine(const char* line, const char* lineEnd, MemoryRegion& region) {
    auto [afterStart, startError] = std::from_chars(line, lineEnd, region.start, 16);
    if (startError != std::errc() || afterStart == lineEnd || *afterStart != '-') return false;
    auto [afterEnd, endError] = std::from_chars(afterStart + 1, lineEnd, region.end, 16);
    if (endError != std::errc() || lineEnd - afterEnd < 4 || *afterEnd != ' ' || region.end <= region.start)
        return false;
    const char* perms = afterEnd + 1;
    region.protection = (perms[0] == 'r' ? PROT_READ : 0) | (perms[1] == 'w' ? PROT_WRITE : 0) |
                        (perms[2] == 'x' ? PROT_EXEC : 0);
    return true;
}

}  // namespace

MemoryRegions MemoryRegions::OfThisProcess() {
    const std::string text = ReadMapsFile();
    MemoryRegions result;
    const char* end = text.data() + text.size();
    for (const char* line = text.data(); line < end;) {
        const char* lineEnd = std::find(line, end, '\n');
        MemoryRegion region;
        if (ParseLine(line, lineEnd, region)) result.regions_.push_back(region);
        line = lineEnd == end ? end : lineEnd + 1;
    }
    return result;
}

const MemoryRegion* MemoryRegions::Find(uintptr_t address) const {
    auto after = std::upper_bound(regions_.begin(), regions_.end(), address,
                                  [](uintptr_t a, const MemoryRegion& r) { return a < r.start; });
    if (after == regions_.begin()) return nullptr;
    const MemoryRegion& region = *(after - 1);
    return address < region.end ? &region : nullptr;
}

bool MemoryRegions::Allows(const void* address, size_t size, int protection) const {
    uintptr_t at = reinterpret_cast<uintptr_t>(address);
    if (size == 0) size = 1;
    if (at + size < at) return false;
    const uintptr_t end = at + size;
    while (at < end) {
        const MemoryRegion* region = Find(at);
        if (!region || (region->protection & protection) != protection) return false;
        at = region->end;
    }
    return true;
}

bool MemoryRegions::IsReadable(const void* address, size_t size) const {
    return Allows(address, size, PROT_READ);
}

bool MemoryRegions::IsWritable(const void* address, size_t size) const {
    return Allows(address, size, PROT_READ | PROT_WRITE);
}

bool MemoryRegions::IsExecutable(uintptr_t address) const {
    const MemoryRegion* region = Find(address);
    return region && (region->protection & PROT_EXEC);
}

size_t MemoryRegions::ReadableBytesFrom(const void* address) const {
    const uintptr_t start = reinterpret_cast<uintptr_t>(address);
    uintptr_t at = start;
    for (const MemoryRegion* region = Find(at); region && (region->protection & PROT_READ); region = Find(at))
        at = region->end;
    return at - start;
}

}  // namespace kinolux
