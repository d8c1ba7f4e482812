#include "profiles/default_output_folder.h"

#include "platform/paths.h"

#include <cstdlib>
#include <pwd.h>
#include <unistd.h>

namespace kinolux {

namespace {

std::string Environment(const char* name)
{
    const char* value = std::getenv(name);
    return value ? value : "";
}

std::string HomeFolder()
{
    std::string home = Environment("HOME");
    if (IsAbsolutePath(home)) return home;
    const passwd* entry = ::getpwuid(::getuid());
    return entry && entry->pw_dir ? entry->pw_dir : "/tmp";
}

std::string VideosFolder()
{
    const std::string videos = Environment("XDG_VIDEOS_DIR");
    return IsAbsolutePath(videos) ? videos : HomeFolder() + "/Videos";
}

}  // namespace

bool ProgramFolderBelongsToSystem(const std::string& programFolder) {
    return PathExists(programFolder + "/" + kInstalledMarker) || ::access(programFolder.c_str(), W_OK) != 0;
}

std::string DefaultOutputFolder(const std::string& programFolder)
{
    if (!ProgramFolderBelongsToSystem(programFolder)) return programFolder + "/output/";
    std::string folder = VideosFolder();
    if (folder.back() != '/') folder += '/';
    return folder + "Kinolux/";
}

}  // namespace kinolux
