// Where outputs, temporary files and decompressed movies go until the user
// picks a folder of their own.
#pragma once

#include <string>

namespace kinolux {

// Lies in the program folder of an installation: that folder belongs to the
// system, not to the user who runs the program.
inline constexpr const char* kInstalledMarker = "kinolux.installed";

// True for an installed program folder, or one the user cannot write: it
// belongs to the system, so nothing the user makes or names goes there.
bool ProgramFolderBelongsToSystem(const std::string& programFolder);

// A program folder of its own (the build's, an unpacked copy) keeps the
// outputs beside the programs, in "output/". An installed program, or one
// whose folder the user cannot write, uses the user's videos folder
// ($XDG_VIDEOS_DIR, else ~/Videos) with a "Kinolux/" folder inside. Ends in "/".
std::string DefaultOutputFolder(const std::string& programFolder);

}  // namespace kinolux
