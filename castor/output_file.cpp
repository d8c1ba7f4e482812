#include "castor/output_file.h"

#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>

#include "castor/failure.h"

extern "C" {
#include <libavformat/avformat.h>
}

namespace castor {
namespace {

std::string Reason() { return std::strerror(errno); }

std::string ImageName(const std::string& pattern, int number) {
    char name[4096];
    if (av_get_frame_filename(name, sizeof name, pattern.c_str(), number) < 0) {
        return {};
    }
    return name;
}

// ".castor-<pid>-<n>-<name>" beside the output: hidden, and clearly not
// the finished file if a crash ever leaves it behind.
std::string WorkingName(const std::string& path) {
    static std::atomic<int> counter{0};
    const size_t slash = path.find_last_of('/');
    const std::string folder = slash == std::string::npos ? std::string() : path.substr(0, slash + 1);
    const std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    return folder + ".castor-" + std::to_string(getpid()) + "-" + std::to_string(counter++) + "-" + name;
}

// Moves `from` to `to` unless `to` exists; false with errno set otherwise.
// link() does this on most file systems; renameat2's no-replace flag on
// those without hard links.
bool PlaceWithoutReplacing(const std::string& from, const std::string& to) {
    if (link(from.c_str(), to.c_str()) == 0) {
        unlink(from.c_str());
        return true;
    }
    if (errno == EEXIST) {
        return false;
    }
    return renameat2(AT_FDCWD, from.c_str(), AT_FDCWD, to.c_str(), RENAME_NOREPLACE) == 0;
}

}  // namespace

OutputFile::OutputFile(const std::string& path, const Container& container, bool overwrite,
                       int videoFrameLimit)
    : path_(path), overwrite_(overwrite), imageSequence_(container.imageSequence) {
    if (imageSequence_) {
        const std::string first = ImageName(path, 1);
        if (first.empty() && videoFrameLimit != 1) {
            Fail("The image output '" + path +
                 "' needs a number in its name, such as ren%04d.jpg (or -vframes 1 for one image)");
        }
        const std::string existing = first.empty() ? path : first;
        if (!overwrite && access(existing.c_str(), F_OK) == 0) {
            Fail("File '" + existing + "' already exists; give -y to replace it");
        }
        const size_t slash = path.find_last_of('/');
        const std::string folder = slash == std::string::npos ? "." : path.substr(0, slash + 1);
        if (access(folder.c_str(), W_OK) != 0) {
            Fail("Could not open '" + path + "' for writing: " + Reason());
        }
        workingPath_ = path;
        return;
    }
    if (container.format->flags & AVFMT_NOFILE) {
        workingPath_ = path;  // nothing is written (the null muxer)
        return;
    }
    struct stat status {};
    if (stat(path.c_str(), &status) == 0) {
        if (S_ISDIR(status.st_mode)) {
            Fail("Could not open '" + path + "' for writing: it is a folder");
        }
        if (!overwrite) {
            Fail("File '" + path + "' already exists; give -y to replace it");
        }
        if (!S_ISREG(status.st_mode)) {
            workingPath_ = path;  // a device or pipe is written as it is
            return;
        }
    }
    workingPath_ = WorkingName(path);
    const int descriptor = open(workingPath_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor < 0) {
        Fail("Could not open '" + path + "' for writing: " + Reason());
    }
    close(descriptor);
    temporary_ = true;
}

OutputFile::~OutputFile() {
    if (committed_) {
        return;
    }
    if (temporary_) {
        unlink(workingPath_.c_str());
    }
    if (imageSequence_) {
        for (int64_t number = 1; number <= imagesWritten_; ++number) {
            const std::string name = ImageName(path_, static_cast<int>(number));
            unlink((name.empty() ? path_ : name).c_str());
        }
    }
}

void OutputFile::Commit() {
    committed_ = true;
    if (!temporary_) {
        return;
    }
    if (overwrite_) {
        if (rename(workingPath_.c_str(), path_.c_str()) != 0) {
            const std::string reason = Reason();
            unlink(workingPath_.c_str());
            Fail("Could not put the finished file in place as '" + path_ + "': " + reason);
        }
        return;
    }
    // Never replace a file that appeared while encoding.
    if (!PlaceWithoutReplacing(workingPath_, path_)) {
        const std::string reason = errno == EEXIST ? "a file of that name appeared meanwhile" : Reason();
        unlink(workingPath_.c_str());
        Fail("Could not put the finished file in place as '" + path_ + "': " + reason);
    }
}

}  // namespace castor
