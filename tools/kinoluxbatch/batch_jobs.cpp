#include "tools/kinoluxbatch/batch_jobs.h"

#include "bindings/scrutin.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <map>
#include <thread>

namespace kinolux::batch {

namespace {

namespace fs = std::filesystem;
using Seconds = std::chrono::duration<double>;

constexpr auto kPollInterval = std::chrono::milliseconds(50);
constexpr size_t kLongestMessage = 300;

struct Running {
    const MovieJob* job;
    std::string log;
    std::chrono::steady_clock::time_point started;
};

// A numbered-image output is a folder named like the output without its
// extension.
std::string FolderOf(const std::string& output) { return fs::path(output).replace_extension().string(); }

void RemoveAll(const std::string& partial) {
    std::error_code ignored;
    fs::remove(partial, ignored);
    fs::remove_all(FolderOf(partial), ignored);
}

// The last line kinolux printed that says something (not a percentage,
// not "DONE!").
std::string LastMessage(const std::string& log) {
    std::ifstream in(log);
    std::string line, last;
    while (std::getline(in, line)) {
        while (!line.empty() && (line.back() == '\r' || line.back() == ' ')) line.pop_back();
        if (line.empty() || line == "DONE!" || line.find("% completed") != std::string::npos) continue;
        last = line;
    }
    return last.size() > kLongestMessage ? last.substr(0, kLongestMessage) : last;
}

pid_t Start(const MovieJob& job, const ConvertSetup& setup, const std::string& log) {
    const pid_t child = ::fork();
    if (child != 0) return child;
    // Its own process group: a limit ends kinolux and whatever it started.
    ::setpgid(0, 0);
    const int out = ::open(log.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0600);
    const int in = ::open("/dev/null", O_RDONLY);
    if (out >= 0) {
        ::dup2(out, STDOUT_FILENO);
        ::dup2(out, STDERR_FILENO);
    }
    if (in >= 0) ::dup2(in, STDIN_FILENO);
    const char* argv[] = {setup.converter.c_str(),
                          "/fast",
                          "/f",
                          job.movie.c_str(),
                          "/o",
                          job.partial.c_str(),
                          "/pi",
                          setup.profileFile.c_str(),
                          "/pn",
                          setup.profileName.c_str(),
                          nullptr};
    ::execv(setup.converter.c_str(), const_cast<char* const*>(argv));
    std::fprintf(stderr, "%s cannot be started: %s\n", setup.converter.c_str(), std::strerror(errno));
    ::_exit(127);
}

// Moves a finished partial output to its name; false when kinolux said it
// succeeded but wrote nothing.
bool Finish(const MovieJob& job) {
    std::error_code error;
    if (fs::exists(job.partial, error)) {
        fs::rename(job.partial, job.output, error);
        return !error;
    }
    if (fs::is_directory(FolderOf(job.partial), error)) {
        fs::rename(FolderOf(job.partial), FolderOf(job.output), error);
        return !error;
    }
    return false;
}

MovieResult Judge(const Running& run, int status, bool timedOut) {
    const MovieJob& job = *run.job;
    MovieResult result{job.movie,
                       job.output,
                       Status::Failed,
                       job.frames,
                       Seconds(std::chrono::steady_clock::now() - run.started).count(),
                       {}};
    if (timedOut) {
        result.status = Status::Timeout;
        char text[96];
        std::snprintf(text, sizeof text, "stopped after %.0f seconds, the limit for this movie", job.limitSeconds);
        result.message = text;
    } else if (WIFSIGNALED(status)) {
        result.status = Status::Crashed;
        result.message = std::string("kinolux ended by signal ") + std::to_string(WTERMSIG(status)) + " (" +
                         strsignal(WTERMSIG(status)) + ")";
    } else if (WIFEXITED(status) && WEXITSTATUS(status) == 0 && Finish(job)) {
        result.status = Status::Ok;
    } else {
        result.message = LastMessage(run.log);
        if (result.message.empty())
            result.message =
                "kinolux ended with status " + std::to_string(WIFEXITED(status) ? WEXITSTATUS(status) : -1);
    }
    if (result.status != Status::Ok) RemoveAll(job.partial);
    return result;
}

void EndGroup(pid_t child) {
    ::kill(-child, SIGKILL);
    ::kill(child, SIGKILL);
}

}  // namespace

std::vector<MovieJob> PlanJobs(const std::vector<std::string>& movies, const ConvertSetup& setup) {
    std::vector<MovieJob> jobs;
    std::map<std::string, int> taken;
    for (const std::string& movie : movies) {
        MovieJob job;
        job.movie = movie;
        const std::string stem = fs::path(movie).stem().string();
        const int n = ++taken[stem];
        const std::string name = n == 1 ? stem : stem + " (" + std::to_string(n) + ")";
        job.output = setup.outputFolder + "/" + name + "." + setup.targetType;
        job.partial = setup.outputFolder + "/." + name + ".partial." + setup.targetType;
        SwfFileInfo info{};
        double seconds = 0;
        if (W_SwfFileInfo(movie.c_str(), &info) == 0 && info.frameCount > 0) {
            job.frames = info.frameCount;
            const double rate = info.frameRate88 / 256.0;
            seconds = info.frameCount / (rate >= 0.1 ? rate : 15.0);
        }
        W_SwfFileInfoFree(&info);
        job.limitSeconds = kLimitBaseSeconds + kLimitPerMovieSecond * seconds;
        jobs.push_back(job);
    }
    return jobs;
}

bool OutputExists(const MovieJob& job) {
    std::error_code ignored;
    return fs::exists(job.output, ignored) || fs::is_directory(FolderOf(job.output), ignored);
}

void RunJobs(const std::vector<MovieJob>& jobs, const ConvertSetup& setup, int parallel,
             const std::function<void(const MovieResult&)>& finished, const std::function<bool()>& stop) {
    std::map<pid_t, Running> running;
    size_t next = 0;
    const std::string logBase = (fs::temp_directory_path() / ("kinoluxbatch-" + std::to_string(::getpid()))).string();
    while (next < jobs.size() || !running.empty()) {
        if (stop()) {
            for (auto& [child, run] : running) {
                EndGroup(child);
                ::waitpid(child, nullptr, 0);
                RemoveAll(run.job->partial);
                ::unlink(run.log.c_str());
            }
            return;
        }
        while (next < jobs.size() && static_cast<int>(running.size()) < parallel) {
            const MovieJob& job = jobs[next];
            const std::string log = logBase + "-" + std::to_string(next) + ".log";
            ++next;
            RemoveAll(job.partial);
            const pid_t child = Start(job, setup, log);
            if (child < 0) {
                finished({job.movie, job.output, Status::Failed, job.frames, 0, "kinolux cannot be started"});
                continue;
            }
            running[child] = {&job, log, std::chrono::steady_clock::now()};
        }
        bool ended = false;
        for (auto it = running.begin(); it != running.end();) {
            int status = 0;
            const pid_t child = it->first;
            bool timedOut = false;
            if (::waitpid(child, &status, WNOHANG) != child) {
                if (Seconds(std::chrono::steady_clock::now() - it->second.started).count() <=
                    it->second.job->limitSeconds) {
                    ++it;
                    continue;
                }
                EndGroup(child);
                ::waitpid(child, &status, 0);
                timedOut = true;
            }
            // Whatever kinolux started ends with it.
            ::kill(-child, SIGKILL);
            finished(Judge(it->second, status, timedOut));
            ::unlink(it->second.log.c_str());
            it = running.erase(it);
            ended = true;
        }
        if (!ended) std::this_thread::sleep_for(kPollInterval);
    }
}

}  // namespace kinolux::batch
