// The characters of a movie by id, each pointing at the tag that defined it.
#pragma once

#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "flash/core/timeline.h"
#include "flash/swf/types.h"

namespace flash {

enum class CharacterKind {
    Shape, MorphShape, Sprite, Text, EditText, Bitmap, Button, Video, Font, Sound, BinaryData,
};

struct Character {
    CharacterKind kind = CharacterKind::Shape;
    swf::CharacterId id = 0;
    const swf::TagBody* tag = nullptr;   // the defining tag
    std::shared_ptr<Timeline> timeline;   // sprites
    // Extras that later tags attach to a character.
    const swf::DefineFontInfo* fontInfo = nullptr;
    const swf::DefineButtonCxform* buttonCxform = nullptr;
    const swf::DefineButtonSound* buttonSound = nullptr;
    const swf::DefineScalingGrid* scalingGrid = nullptr;
    // Video streams: the VideoFrame data by frame number, wherever the tags stand.
    std::map<std::uint16_t, swf::Bytes> videoFrames;

    template <class T> const T* as() const { return tag ? std::get_if<T>(tag) : nullptr; }
};

class Library {
public:
    // Registers every definition in tags, sprites' contents included. A
    // later definition with an id already used is ignored, as the Flash
    // player does.
    void addDefinitions(const std::vector<swf::Tag>& tags);

    const Character* get(swf::CharacterId id) const;
    swf::Bytes jpegTables() const { return jpegTables_; }
    const Character* fontByName(const std::string& name, bool bold, bool italic) const;

private:
    void define(CharacterKind kind, swf::CharacterId id, const swf::Tag& tag);

    std::unordered_map<swf::CharacterId, Character> characters_;
    swf::Bytes jpegTables_;
};

}  // namespace flash
