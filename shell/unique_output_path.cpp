#include "shell/unique_output_path.h"

#include "platform/paths.h"

namespace kinolux {

bool IsImageSequenceProfile(const ProfileSettings& profile) {
    return IsStillImageProfile(profile) || profile.TargetType == "jpg";
}

std::string MakeUniqueOutputPath(const std::string& outputPath, const std::string& inputPath, bool imageSequence) {
    auto taken = [imageSequence](const std::string& path) {
        return PathExists(path) || (imageSequence && PathExists(WithoutExtension(path)));
    };
    if (!taken(outputPath)) return outputPath;
    // An output without a folder stays where it was meant to be (relative),
    // rather than moving to the root.
    const std::string folder = outputPath.find('/') == std::string::npos ? "" : FolderOf(outputPath) + "/";
    const std::string name = FileNameOf(WithoutExtension(inputPath));
    const std::string extension = ExtensionOf(outputPath);
    const std::string dotExtension = WithoutExtension(outputPath).size() < outputPath.size() ? "." + extension : "";
    for (unsigned long n = 1;; ++n) {
        std::string candidate = folder + name + " (" + std::to_string(n) + ")" + dotExtension;
        if (!taken(candidate)) return candidate;
    }
}

}  // namespace kinolux
