#include "conversion_window/blu_ray_folder_step.h"

#include "shell/blu_ray_folder.h"

namespace kinolux {

void BluRayFolderStep::Make(const std::string& outputPath, const std::function<void(int, const std::string&)>& show,
                            const std::function<bool()>& cancelled) {
    BluRayProgress progress;
    progress.show = show;
    progress.cancelled = cancelled;
    MakeBluRayFolder(outputPath, progress);
}

}  // namespace kinolux
