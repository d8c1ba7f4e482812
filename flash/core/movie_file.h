// Reading a movie file whole, refused before reading when it is larger than
// any movie the player accepts.
#pragma once

#include <QByteArray>
#include <optional>
#include <string>

namespace flash {

// The file's bytes, or nothing with the reason in `error` (when given).
std::optional<QByteArray> readMovieFile(const std::string& path, std::string* error);

}  // namespace flash
