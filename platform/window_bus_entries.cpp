#include "platform/window_bus_entries.h"

#include <charconv>
#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include "platform/file_io.h"

namespace kinolux {

namespace {

constexpr const char* kEntryHeader = "kinolux window 1\n";
constexpr const char* kEntrySuffix = ".window";
constexpr size_t kMaxEntryBytes = 64 * 1024;

std::string HandleText(WindowHandle handle) {
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(handle));
    return text;
}

std::optional<WindowHandle> HandleFromEntryName(const std::string& name) {
    const std::string suffix = kEntrySuffix;
    if (name.size() != 16 + suffix.size() || name.compare(16, suffix.size(), suffix) != 0) return std::nullopt;
    WindowHandle handle = 0;
    auto [end, ec] = std::from_chars(name.data(), name.data() + 16, handle, 16);
    if (ec != std::errc() || end != name.data() + 16 || handle == 0) return std::nullopt;
    return handle;
}

struct ParsedEntry {
    uint64_t startTime = 0;
    std::string caption;
};

std::optional<ParsedEntry> ParseEntry(const std::string& text) {
    const std::string header = kEntryHeader;
    if (text.compare(0, header.size(), header) != 0) return std::nullopt;
    size_t lineEnd = text.find('\n', header.size());
    if (lineEnd == std::string::npos) return std::nullopt;
    ParsedEntry entry;
    auto [end, ec] = std::from_chars(text.data() + header.size(), text.data() + lineEnd, entry.startTime);
    if (ec != std::errc() || end != text.data() + lineEnd) return std::nullopt;
    entry.caption = text.substr(lineEnd + 1);
    return entry;
}

std::optional<std::string> ReadEntryText(const std::string& path, int64_t& modified) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode) || st.st_size > static_cast<off_t>(kMaxEntryBytes))
        return std::nullopt;
    modified = int64_t(st.st_mtim.tv_sec) * 1000000000 + st.st_mtim.tv_nsec;
    return ReadWholeFile(path);
}

// Nothing when the entry cannot be read at all (it may be being replaced);
// false when it names a process that has ended or is not an entry.
std::optional<bool> EntryLives(const std::string& folder, WindowHandle handle, BusEntry& out) {
    int64_t modified = 0;
    std::optional<std::string> text = ReadEntryText(BusEntryPath(folder, handle), modified);
    if (!text) return std::nullopt;
    std::optional<ParsedEntry> entry = ParseEntry(*text);
    if (!entry) return false;
    std::optional<uint64_t> started = ProcessStartTime(ProcessOfHandle(handle));
    if (!started || *started != entry->startTime) return false;
    out = {handle, entry->caption, modified};
    return true;
}

}  // namespace

pid_t ProcessOfHandle(WindowHandle handle) { return static_cast<pid_t>(handle >> 32); }

std::string BusEntryPath(const std::string& folder, WindowHandle handle) {
    return folder + "/" + HandleText(handle) + kEntrySuffix;
}

std::string BusSocketPath(const std::string& folder, WindowHandle handle) {
    return folder + "/" + HandleText(handle) + ".socket";
}

std::optional<uint64_t> ProcessStartTime(pid_t pid) {
    if (pid <= 0) return std::nullopt;
    std::optional<std::string> stat = ReadWholeFile("/proc/" + std::to_string(pid) + "/stat");
    if (!stat) return std::nullopt;
    // "pid (name) state ..." where the name may hold blanks and parentheses:
    // the fields after the last ")" are plain; the start time is field 22.
    size_t close = stat->rfind(')');
    if (close == std::string::npos) return std::nullopt;
    size_t at = close + 1;
    for (int field = 3; field <= 22; ++field) {
        at = stat->find_first_not_of(' ', at);
        if (at == std::string::npos) return std::nullopt;
        size_t end = stat->find(' ', at);
        if (end == std::string::npos) end = stat->size();
        if (field == 22) {
            uint64_t value = 0;
            auto [ptr, ec] = std::from_chars(stat->data() + at, stat->data() + end, value);
            if (ec != std::errc()) return std::nullopt;
            return value;
        }
        at = end;
    }
    return std::nullopt;
}

bool WriteBusEntry(const std::string& folder, WindowHandle handle, const std::string& caption) {
    std::optional<uint64_t> started = ProcessStartTime(ProcessOfHandle(handle));
    if (!started) return false;
    std::string text = std::string(kEntryHeader) + std::to_string(*started) + "\n" + caption;
    return text.size() <= kMaxEntryBytes && WriteFileAtomically(BusEntryPath(folder, handle), text, 0600);
}

void RemoveBusEntry(const std::string& folder, WindowHandle handle) {
    ::unlink(BusEntryPath(folder, handle).c_str());
    ::unlink(BusSocketPath(folder, handle).c_str());
}

std::vector<BusEntry> LiveBusEntries(const std::string& folder) {
    std::vector<BusEntry> entries;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return entries;
    while (dirent* item = ::readdir(dir)) {
        std::optional<WindowHandle> handle = HandleFromEntryName(item->d_name);
        if (!handle) continue;
        BusEntry entry;
        std::optional<bool> lives = EntryLives(folder, *handle, entry);
        if (lives == false) RemoveBusEntry(folder, *handle);
        if (lives == true) entries.push_back(std::move(entry));
    }
    ::closedir(dir);
    return entries;
}

bool IsBusEntryAlive(const std::string& folder, WindowHandle handle) {
    BusEntry entry;
    std::optional<bool> lives = EntryLives(folder, handle, entry);
    if (lives == false) RemoveBusEntry(folder, handle);
    return lives == true;
}

}  // namespace kinolux
