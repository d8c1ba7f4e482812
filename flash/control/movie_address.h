// What the control's Movie and LoadMovie texts name: a file to play, or an
// empty stage.
#pragma once

#include <string>

namespace flash {

struct MovieAddress {
    std::string path;   // the file to load; empty for an empty stage
    std::string error;  // why an address names nothing that can be played, or ""
};

// "" and any name "null.swf" mean an empty stage (the hosts' way of dropping
// a movie); a file:// address names a local file; other addresses with a
// scheme cannot be fetched; everything else is a file path as it stands.
MovieAddress resolveMovieAddress(const std::string& address);

}  // namespace flash
