#include "flash/avm1/property_map.h"

#include "flash/avm1/object.h"

namespace kinolux::avm1 {

namespace {
// Below this many entries a linear scan over cached hashes beats a table.
constexpr std::size_t kLinearLimit = 8;
}  // namespace

bool visibleToVersion(std::uint16_t flags, int swfVersion) {
    if (!(flags & PropertyFlag::VersionMask)) return true;
    if ((flags & PropertyFlag::OnlySwf6Up) && swfVersion < 6) return false;
    if ((flags & PropertyFlag::IgnoreSwf6) && swfVersion == 6) return false;
    if ((flags & PropertyFlag::OnlySwf7Up) && swfVersion < 7) return false;
    if ((flags & PropertyFlag::OnlySwf8Up) && swfVersion < 8) return false;
    if ((flags & PropertyFlag::OnlySwf9Up) && swfVersion < 9) return false;
    if ((flags & PropertyFlag::OnlySwf10Up) && swfVersion < 10) return false;
    return true;
}

int PropertyMap::find(const String& name, bool caseSensitive) const {
    const std::uint32_t hash = name.foldedHash();
    if (table_.empty()) {
        for (std::size_t i = 0; i < entries_.size(); ++i) {
            const String& key = entries_[i].name;
            if (key.foldedHash() == hash && key.equals(name.view(), caseSensitive))
                return static_cast<int>(i);
        }
        return kNone;
    }
    const std::size_t mask = table_.size() - 1;
    for (std::size_t slot = hash & mask;; slot = (slot + 1) & mask) {
        std::int32_t index = table_[slot];
        if (index < 0) return kNone;
        const String& key = entries_[static_cast<std::size_t>(index)].name;
        if (key.foldedHash() == hash && key.equals(name.view(), caseSensitive)) return index;
    }
}

int PropertyMap::find(std::u16string_view name, bool caseSensitive) const {
    return find(String(name), caseSensitive);
}

int PropertyMap::append(Property property) {
    if (entries_.empty()) entries_.reserve(4);  // most objects hold a few properties
    entries_.push_back(std::move(property));
    int index = static_cast<int>(entries_.size() - 1);
    if (entries_.size() > kLinearLimit) {
        if (entries_.size() * 2 > table_.size()) rebuildTable();
        else insertIntoTable(index);
    }
    return index;
}

void PropertyMap::erase(int index) {
    entries_.erase(entries_.begin() + index);
    if (entries_.size() > kLinearLimit) rebuildTable();
    else table_.clear();
}

void PropertyMap::clear() {
    entries_.clear();
    table_.clear();
}

void PropertyMap::insertIntoTable(int index) {
    const std::size_t mask = table_.size() - 1;
    std::size_t slot = entries_[static_cast<std::size_t>(index)].name.foldedHash() & mask;
    while (table_[slot] >= 0) slot = (slot + 1) & mask;
    table_[slot] = index;
}

void PropertyMap::rebuildTable() {
    std::size_t capacity = 16;
    while (capacity < entries_.size() * 4) capacity *= 2;
    table_.assign(capacity, -1);
    for (std::size_t i = 0; i < entries_.size(); ++i) insertIntoTable(static_cast<int>(i));
}

}  // namespace kinolux::avm1
