// The characters of one movie file by id, each pointing at the tag that
// defined it, with the movie's bytes kept alive as long as the library is.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "flash/core/timeline.h"
#include "flash/script/string.h"
#include "flash/swf/types.h"

namespace flash {

class Library;

enum class CharacterKind {
    Shape, MorphShape, Sprite, Text, EditText, Bitmap, Button, Video, Font, Sound, BinaryData,
};

// A run of action bytes of a movie (a DoAction, DoInitAction, clip event or
// button action body) and the version of the movie it comes from. `movie`
// keeps the bytes alive, so a machine may keep what it builds from them
// after the tag is gone.
struct ActionCode {
    std::shared_ptr<const swf::Movie> movie;
    swf::Bytes bytes;
    int swfVersion = 0;
};

struct Character {
    CharacterKind kind = CharacterKind::Shape;
    swf::CharacterId id = 0;
    const swf::TagBody* tag = nullptr;   // the defining tag
    // The library whose ids the character's own references (a sprite's
    // placements, a shape's bitmap fills, a text's font) resolve in: the one
    // that defined it, also when another movie imports it.
    const Library* owner = nullptr;
    std::shared_ptr<Timeline> timeline;   // sprites
    // Extras that later tags attach to a character.
    const swf::DefineFontInfo* fontInfo = nullptr;
    const swf::DefineButtonCxform* buttonCxform = nullptr;
    const swf::DefineButtonSound* buttonSound = nullptr;
    const swf::DefineScalingGrid* scalingGrid = nullptr;
    // Video streams: the VideoFrame data by frame number, wherever the tags stand.
    std::map<std::uint16_t, swf::Bytes> videoFrames;
    // The name ExportAssets gave it (UTF-16, as scripts see it); empty when none.
    kinolux::script::String exportName;

    template <class T> const T* as() const { return tag ? std::get_if<T>(tag) : nullptr; }
};

// Fetches a movie a library imports from, by the URL the movie names; null
// when there is none.
using ImportResolver = std::function<const Library*(const std::string& url)>;

class Library {
public:
    // Registers every definition of the movie, sprites' contents included.
    // A later definition with an id already used is ignored, as the Flash
    // player does. Imports go through `imports` (none when it is empty).
    explicit Library(std::shared_ptr<const swf::Movie> movie, const ImportResolver& imports = {});
    Library(const Library&) = delete;
    Library& operator=(const Library&) = delete;

    const swf::Movie& movie() const { return *movie_; }
    int swfVersion() const { return movie_->header.version; }
    // False for ActionScript 3 movies, whose scripts this player does not run.
    bool runsActionScript1() const { return !actionScript3_; }
    const Timeline& timeline() const { return timeline_; }

    const Character* get(swf::CharacterId id) const;
    swf::Bytes jpegTables() const { return jpegTables_; }
    const Character* fontByName(const std::string& name, bool bold, bool italic) const;
    // The character exported under a name (letter case ignored, as the
    // player does); null when none.
    const Character* exported(const kinolux::script::String& name) const;
    // Whether one of the names the character is exported under is `name`.
    bool exportsAs(const Character& c, const kinolux::script::String& name, bool caseSensitive) const;
    // Action bytes of this movie, kept alive with it.
    ActionCode code(swf::Bytes bytes) const { return {movie_, bytes, swfVersion()}; }

private:
    void addDefinitions(const std::vector<swf::Tag>& tags, const ImportResolver& imports);
    void define(CharacterKind kind, swf::CharacterId id, const swf::Tag& tag);

    std::shared_ptr<const swf::Movie> movie_;
    Timeline timeline_;
    std::unordered_map<swf::CharacterId, Character> characters_;
    std::vector<std::pair<kinolux::script::String, const Character*>> exports_;  // in file order
    swf::Bytes jpegTables_;
    bool actionScript3_ = false;
};

}  // namespace flash
