// Running the conversions of a batch: each movie by its own kinolux process
// in fast mode, so a movie that fails, hangs or crashes takes only itself
// down. Each writes under a partial name beside its output and is renamed
// to it only when kinolux reports success, so an output that exists is a
// whole one and a stopped run resumes by skipping it.
#pragma once

#include "tools/kinoluxbatch/batch_report.h"

#include <functional>
#include <string>
#include <vector>

namespace kinolux::batch {

struct ConvertSetup {
    std::string converter;    // the kinolux program
    std::string profileFile;  // as kinolux's /pi takes it: below its program folder
    std::string profileName;
    std::string outputFolder;  // absolute, without a trailing "/"
    std::string targetType;    // the profile's output extension
};

struct MovieJob {
    std::string movie;
    std::string output;   // the finished output (a file, or a folder of numbered images)
    std::string partial;  // what kinolux is asked to write
    int frames = 0;
    double limitSeconds = 0;
};

// A movie may take this long and so many times its own length before it
// counts as hanging.
inline constexpr double kLimitBaseSeconds = 10;
inline constexpr double kLimitPerMovieSecond = 4;

// The jobs for sorted movies: outputs named after the movies, a movie whose
// name another one has already taken gets " (2)", " (3)"...; the time
// limits from the movies' lengths.
std::vector<MovieJob> PlanJobs(const std::vector<std::string>& movies, const ConvertSetup& setup);

// True when the job's output is there already (a file, or the folder of a
// numbered-image output).
bool OutputExists(const MovieJob& job);

// Runs the jobs, `jobs` at once, calling `finished` as each one ends, on
// this thread. Stops starting new ones once `stop` returns true, and ends
// the running ones then (they are not reported).
void RunJobs(const std::vector<MovieJob>& jobs, const ConvertSetup& setup, int parallel,
             const std::function<void(const MovieResult&)>& finished, const std::function<bool()>& stop);

}  // namespace kinolux::batch
