// The window bus's directory of windows: in the user's runtime folder, each
// registered window has an entry "<handle>.window" (its process's start time
// and its caption) and a socket "<handle>.socket". A handle is the process
// id in its high 32 bits and a number of that process in its low ones.
// Entries of processes that have ended are removed by whoever finds them.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

#include "platform/window_bus_wire.h"

namespace kinolux {

struct BusEntry {
    WindowHandle handle = 0;
    std::string caption;
    int64_t registeredAt = 0;  // nanoseconds, from the entry's modification time
};

pid_t ProcessOfHandle(WindowHandle handle);
std::string BusEntryPath(const std::string& folder, WindowHandle handle);
std::string BusSocketPath(const std::string& folder, WindowHandle handle);

// The process's start time in clock ticks since boot (/proc/PID/stat), which
// tells a living process from a later one that got the same id.
std::optional<uint64_t> ProcessStartTime(pid_t pid);

// Written whole or not at all, so a reader never sees half an entry.
bool WriteBusEntry(const std::string& folder, WindowHandle handle, const std::string& caption);
void RemoveBusEntry(const std::string& folder, WindowHandle handle);

// The entries of living processes; the entries of ended ones are removed.
std::vector<BusEntry> LiveBusEntries(const std::string& folder);
// True when the entry exists and its process still lives; removes it when
// its process has ended.
bool IsBusEntryAlive(const std::string& folder, WindowHandle handle);

}  // namespace kinolux
