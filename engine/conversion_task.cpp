#include "engine/conversion_task.h"

#include <atomic>

#include "profiles/profile_geometry.h"
#include "profiles/profile_store.h"

namespace kinolux {

namespace {
std::atomic<ConversionTask*> currentTask{nullptr};
}  // namespace

std::unique_ptr<ConversionTask> CreateConversionTask(const std::string& inputPath, const std::string& profileFile,
                                                     const std::string& profileName, int32_t aspectFitIndex) {
    auto task = std::make_unique<ConversionTask>();
    task->alphaFlag = 0;
    task->inputPath = inputPath;
    task->profile = ProfileSettings{};
    LoadProfile(profileName, task->profile, profileFile);
    task->aspectFitIndex = aspectFitIndex;
    PrepareProfileForSource(task->profile, task->sourceWidth, task->sourceHeight, task->aspectFitIndex);
    return task;
}

void SetCurrentTask(ConversionTask* task) { currentTask.store(task); }
ConversionTask* CurrentTask() { return currentTask.load(); }

}  // namespace kinolux
