// Path pieces as the program forms them: "/" separators, a path is absolute
// when it starts with "/".
#pragma once

#include <string>
#include <string_view>

namespace kinolux {

// Everything before the last "/" (empty when there is none; "" for "/a").
std::string FolderOf(std::string_view path);

// Everything after the last "/" (the whole path when there is none).
std::string FileNameOf(std::string_view path);

// The path without the extension of its file name: up to the last "." that
// follows the last "/". A dot in a folder name is never taken for one.
std::string WithoutExtension(std::string_view path);

// The extension of the file name without the dot, or "".
std::string ExtensionOf(std::string_view path);

bool IsAbsolutePath(std::string_view path);

// Creates every missing folder of `path` up to its last "/" (a path ending
// in "/" is created whole). Returns false when a folder could not be made.
bool MakeFoldersUpToLastSlash(std::string_view path);

// True when anything (file or folder) has this name.
bool PathExists(const std::string& path);
bool FolderExists(const std::string& path);

}  // namespace kinolux
