// kinoluxbatch: converts many Flash movies, each by its own kinolux in fast
// mode, several at once, with a report; see WriteBatchUsage.
#include "platform/ini_document.h"
#include "platform/program_folder.h"
#include "tools/kinoluxbatch/batch_jobs.h"
#include "tools/kinoluxbatch/batch_options.h"
#include "tools/kinoluxbatch/batch_progress.h"
#include "tools/kinoluxbatch/movie_list.h"

#include <unistd.h>
#include <atomic>
#include <csignal>
#include <cstdio>
#include <filesystem>
#include <thread>

namespace {

namespace fs = std::filesystem;
using namespace kinolux::batch;

std::atomic<bool> stopRequested{false};

void RequestStop(int) { stopRequested = true; }

int Refuse(const std::string& message) {
    std::fprintf(stderr, "kinoluxbatch: %s\n", message.c_str());
    return 1;
}

// The profile file as given (absolute, or from the current folder), else
// below the program folder as kinolux finds it; "" when neither exists.
std::string FindProfileFile(const std::string& given, const std::string& programFolder) {
    std::error_code ignored;
    for (const fs::path& candidate : {fs::path(programFolder) / given, fs::absolute(given, ignored)})
        if (fs::is_regular_file(candidate, ignored)) return candidate.lexically_normal().string();
    return {};
}

}  // namespace

int main(int argc, char** argv) {
    BatchOptions options;
    if (const std::string problem = ParseBatchOptions(argc, argv, options); !problem.empty())
        return Refuse(problem + " (kinoluxbatch --help lists the options.)");
    if (options.help) {
        WriteBatchUsage(stdout);
        return 0;
    }

    const std::string programFolder = kinolux::GetProgramFolder();
    ConvertSetup setup;
    setup.converter = programFolder + "/kinolux";
    if (::access(setup.converter.c_str(), X_OK) != 0) return Refuse(setup.converter + " is missing.");
    const std::string profilePath = FindProfileFile(options.profileFile, programFolder);
    if (profilePath.empty()) return Refuse("The profile file " + options.profileFile + " does not exist.");
    const kinolux::IniDocument profile = kinolux::IniDocument::Load(profilePath);
    if (!profile.HasSection(options.profileName))
        return Refuse("The profile file " + profilePath + " has no profile named \"" + options.profileName + "\".");
    setup.targetType = profile.Get(options.profileName, "TargetType").value_or("");
    if (setup.targetType.empty()) return Refuse("The profile \"" + options.profileName + "\" names no output type.");
    // kinolux takes its profile file from below its program folder.
    setup.profileFile = fs::path(profilePath).lexically_relative(programFolder).string();
    setup.profileName = options.profileName;
    std::error_code error;
    fs::create_directories(options.outputFolder, error);
    if (!fs::is_directory(options.outputFolder, error))
        return Refuse("The output folder " + options.outputFolder + " cannot be made.");
    setup.outputFolder = fs::absolute(options.outputFolder, error).lexically_normal().string();
    while (setup.outputFolder.size() > 1 && setup.outputFolder.back() == '/') setup.outputFolder.pop_back();

    const MovieList list = CollectMovies(options.inputs);
    for (const std::string& problem : list.problems) std::fprintf(stderr, "kinoluxbatch: %s\n", problem.c_str());
    const std::vector<MovieJob> all = PlanJobs(list.movies, setup);
    std::vector<MovieJob> jobs;
    for (size_t i = static_cast<size_t>(options.shard.index); i < all.size();
         i += static_cast<size_t>(options.shard.count))
        jobs.push_back(all[i]);

    ReportWriter report;
    std::string reportError;
    if (!options.reportPath.empty() && !report.Open(options.reportPath, reportError)) return Refuse(reportError);

    std::signal(SIGINT, RequestStop);
    std::signal(SIGTERM, RequestStop);
    ProgressLine progress(stderr, jobs.size());
    bool allConverted = list.problems.empty();
    auto finished = [&](const MovieResult& result) {
        report.Write(result);
        progress.Count(result);
        allConverted = allConverted && (result.status == Status::Ok || result.status == Status::Skipped);
    };
    std::vector<MovieJob> toRun;
    for (const MovieJob& job : jobs) {
        if (OutputExists(job))
            finished({job.movie, job.output, Status::Skipped, job.frames, 0, "the output exists already"});
        else toRun.push_back(job);
    }
    const int parallel = options.jobs > 0 ? options.jobs : std::max(1u, std::thread::hardware_concurrency());
    RunJobs(toRun, setup, parallel, finished, [] { return stopRequested.load(); });
    progress.End();
    if (stopRequested) {
        std::fprintf(stderr, "kinoluxbatch: stopped; the movies not reported are converted by the next run.\n");
        return 1;
    }
    return allConverted ? 0 : 1;
}
