// The per-user folder for things that live only while programs run (the
// window bus's entries and sockets): $XDG_RUNTIME_DIR/kinolux, else
// /tmp/kinolux-UID. Whatever is found there is trusted only when the folder
// belongs to the user and nobody else may enter it (mode 0700).
#pragma once

#include <optional>
#include <string>

namespace kinolux {

// Creates the folder when it is missing. Nothing, with `error` saying why,
// when it cannot be made or is not the user's own private folder.
std::optional<std::string> UserRuntimeFolder(std::string& error);

// The check applied to the folder: a real folder (not a link), owned by
// this user, mode exactly 0700.
bool IsPrivateFolder(const std::string& folder, std::string& error);

}  // namespace kinolux
