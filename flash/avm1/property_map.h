// The named properties of one object, in the order they were added (scripts
// enumerate them newest first). Names compare with or without letter case,
// as the running code's SWF version asks; the hash ignores case so one table
// serves both.
#pragma once

#include <cstdint>
#include <vector>

#include "flash/avm1/value.h"

namespace kinolux::avm1 {

// Property attribute bits, as ASSetPropFlags sets them.
namespace PropertyFlag {
constexpr std::uint16_t DontEnum = 0x1;
constexpr std::uint16_t DontDelete = 0x2;
constexpr std::uint16_t ReadOnly = 0x4;
// Hidden from movies older than a version (the player's own built-ins use
// these so that SWF 5 content does not see SWF 6 additions).
constexpr std::uint16_t OnlySwf6Up = 0x80;
constexpr std::uint16_t IgnoreSwf6 = 0x100;
constexpr std::uint16_t OnlySwf7Up = 0x400;
constexpr std::uint16_t OnlySwf8Up = 0x1000;
constexpr std::uint16_t OnlySwf9Up = 0x2000;
constexpr std::uint16_t OnlySwf10Up = 0x4000;
constexpr std::uint16_t VersionMask =
    OnlySwf6Up | IgnoreSwf6 | OnlySwf7Up | OnlySwf8Up | OnlySwf9Up | OnlySwf10Up;
}  // namespace PropertyFlag

// Whether a property with these flags exists for code of this SWF version.
bool visibleToVersion(std::uint16_t flags, int swfVersion);

struct Property {
    String name;
    Value value;
    ObjectRef getter;  // set for a property made by addProperty
    ObjectRef setter;
    std::uint16_t flags = 0;

    bool isVirtual() const { return static_cast<bool>(getter); }
    bool enumerable() const { return !(flags & PropertyFlag::DontEnum); }
};

class PropertyMap {
public:
    static constexpr int kNone = -1;

    int find(const String& name, bool caseSensitive) const;
    int find(std::u16string_view name, bool caseSensitive) const;
    Property& at(int index) { return entries_[static_cast<std::size_t>(index)]; }
    const Property& at(int index) const { return entries_[static_cast<std::size_t>(index)]; }
    // Appends a property whose name is not present yet.
    int append(Property property);
    void erase(int index);
    std::size_t size() const { return entries_.size(); }
    bool empty() const { return entries_.empty(); }
    // Oldest first; enumeration walks this backwards.
    const std::vector<Property>& entries() const { return entries_; }
    std::vector<Property>& entries() { return entries_; }
    void clear();

private:
    void rebuildTable();
    void insertIntoTable(int index);

    std::vector<Property> entries_;
    std::vector<std::int32_t> table_;  // open addressing over entries_, built when large
};

}  // namespace kinolux::avm1
