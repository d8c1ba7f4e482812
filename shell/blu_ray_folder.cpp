#include "shell/blu_ray_folder.h"

#include <algorithm>
#include <sys/stat.h>

#include "bindings/joiner.h"
#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/report.h"
#include "shell/external_programs.h"
#include "shell/joiner_binding.h"

namespace kinolux {

namespace {

// The library's callback carries no context of its own: what it reports
// to is the step that is running.
const BluRayProgress* runningProgress = nullptr;
float runningTotal = 0.0f;

// Makes a step the one the library reports to for as long as it lives.
class RunningStep {
public:
    explicit RunningStep(const BluRayProgress& progress) {
        runningProgress = &progress;
        runningTotal = 0.0f;
    }
    ~RunningStep() { runningProgress = nullptr; }
    RunningStep(const RunningStep&) = delete;
    RunningStep& operator=(const RunningStep&) = delete;
};

int32_t ReportProgress(int32_t kind, int32_t value, const char* text) {
    if (value < 0 || !runningProgress) return 0;
    if (runningProgress->show) runningProgress->show(BluRayProgressPercent(kind, value, runningTotal), text ? text : "");
    return runningProgress->cancelled && runningProgress->cancelled() ? -1 : 0;
}

}  // namespace

int BluRayProgressPercent(int32_t kind, int32_t value, float total) {
    double percent = value;
    if (kind == 2) percent = total > 0.0f ? (double(total) - value) * 100.0 / total : 0.0;
    return static_cast<int>(std::clamp(percent, 0.0, 100.0));
}

std::string BluRayFolderOf(const std::string& outputPath) { return WithoutExtension(outputPath) + "/"; }

void MakeBluRayFolder(const std::string& outputPath, const BluRayProgress& progress) {
    JoinerBinding& joiner = Joiner();
    joiner.Load(GetProgramFolder(true) + kJoinerLibraryName);
    {
        RunningStep running(progress);
        joiner.SetCallback(ReportProgress);
        void* trackInfo = nullptr;
        joiner.GetTrackInfo(outputPath, &trackInfo);
        if (trackInfo) runningTotal = static_cast<const NX_TRACKINFO_HEAD*>(trackInfo)->total;
        const std::string folder = BluRayFolderOf(outputPath);
        ::mkdir(folder.c_str(), 0777);
        const int32_t result = joiner.MakeBluRayFolder(folder, trackInfo, 5);
        // A stream the library refuses is said, not passed over in silence; a
        // cancel the user asked for needs no word.
        if (result < 0 && result != NX_ERROR_CANCELLED && trackInfo) {
            const char* message = static_cast<const NX_TRACKINFO_HEAD*>(trackInfo)->message;
            if (message[0]) ReportMessage(message);
        }
        joiner.FreeTrackInfo(trackInfo);
    }
    if (ConsoleMode() == 0) OpenBluRayBurningPage();
}

}  // namespace kinolux
