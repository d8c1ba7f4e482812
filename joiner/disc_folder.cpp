#include "joiner/disc_folder.h"

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <sys/stat.h>
#include <unistd.h>

#include "bindings/joiner.h"
#include "joiner/clip_info_writer.h"
#include "joiner/failure.h"
#include "joiner/index_writer.h"
#include "joiner/movie_object_writer.h"
#include "joiner/output_file.h"
#include "joiner/playlist_writer.h"
#include "joiner/source_packet_writer.h"

namespace joiner {

namespace {

// Folders a disc has even when they hold nothing, and those that hold the
// navigation files twice.
constexpr const char* kFolders[] = {"BDMV",        "BDMV/PLAYLIST",        "BDMV/CLIPINF",       "BDMV/STREAM",
                                    "BDMV/AUXDATA", "BDMV/BDJO",            "BDMV/JAR",           "BDMV/META",
                                    "BDMV/BACKUP", "BDMV/BACKUP/PLAYLIST", "BDMV/BACKUP/CLIPINF", "BDMV/BACKUP/BDJO",
                                    "BDMV/BACKUP/JAR", "CERTIFICATE",      "CERTIFICATE/BACKUP"};

[[noreturn]] void FailWriting(const std::string& path) {
    throw Failure(NX_ERROR_WRITE, "The Blu-ray folder cannot be written: " + path + ": " + std::strerror(errno) + ".");
}

// The folder being written, removed with everything in it unless it was
// put in place.
class WorkingFolder {
public:
    explicit WorkingFolder(const std::string& target) {
        static std::atomic<unsigned> serial{0};
        const std::filesystem::path place(target);
        const std::string stem = place.parent_path().string() + "/." + place.filename().string() + ".joiner-" +
                                 std::to_string(::getpid()) + "-";
        for (;;) {
            path_ = stem + std::to_string(serial++);
            if (::mkdir(path_.c_str(), 0777) == 0) return;
            if (errno != EEXIST) FailWriting(path_);
        }
    }
    ~WorkingFolder() {
        if (placed_) return;
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    WorkingFolder(const WorkingFolder&) = delete;
    WorkingFolder& operator=(const WorkingFolder&) = delete;

    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Renames the folder to `target`, or to the first free "target (n)".
    std::string PutInPlace(const std::string& target) {
        for (unsigned long n = 0;; ++n) {
            const std::string candidate = n == 0 ? target : target + " (" + std::to_string(n) + ")";
            // rename() replaces only an empty folder, never a file or a
            // folder with anything in it.
            if (::rename(path_.c_str(), candidate.c_str()) == 0) {
                placed_ = true;
                return candidate;
            }
            if (errno != EEXIST && errno != ENOTEMPTY && errno != ENOTDIR && errno != EISDIR) FailWriting(candidate);
        }
    }

private:
    std::string path_;
    bool placed_ = false;
};

std::string WithoutTrailingSlashes(std::string path) {
    while (path.size() > 1 && path.back() == '/') path.pop_back();
    return path;
}

void WriteTwice(const WorkingFolder& work, const std::string& name, const std::vector<uint8_t>& bytes) {
    WriteWholeFile(work / ("BDMV/" + name), bytes);
    WriteWholeFile(work / ("BDMV/BACKUP/" + name), bytes);
}

}  // namespace

std::string WriteDiscFolder(const ClipSurvey& survey, const std::string& folder, Progress& progress) {
    const std::string target = WithoutTrailingSlashes(folder);
    if (target.empty() || target == "/")
        throw Failure(NX_ERROR_ARGUMENT, "No folder was named for the Blu-ray folder.");
    WorkingFolder work(target);
    for (const char* name : kFolders)
        if (::mkdir((work / name).c_str(), 0777) != 0) FailWriting(work / name);
    const uint32_t recordingRate = WriteSourcePackets(survey, work / "BDMV/STREAM/00000.m2ts", progress);
    WriteTwice(work, "CLIPINF/00000.clpi", ClipInfoFile(survey, recordingRate));
    WriteTwice(work, "PLAYLIST/00000.mpls", PlaylistFile(survey));
    WriteTwice(work, "MovieObject.bdmv", MovieObjectFile());
    WriteTwice(work, "index.bdmv", IndexFile());
    return work.PutInPlace(target);
}

}  // namespace joiner
