#include "shell/command_line_task.h"

#include "platform/program_folder.h"
#include "profiles/default_output_folder.h"

#include <cstdlib>
#include <filesystem>

namespace kinolux {

std::string CompleteCommandLinePath(const std::string& path) {
    if (!path.empty() && path[0] == '/') return path;
    const std::string programFolder = GetProgramFolder();
    if (!ProgramFolderBelongsToSystem(programFolder)) return programFolder + "/" + path;
    // Typed in a shell, a relative name means the folder the user is in.
    std::error_code error;
    const std::filesystem::path working = std::filesystem::current_path(error);
    return error ? path : (working / path).string();
}

int32_t CommandLineOutputMode(const std::string& value) {
    const int mode = std::atoi(value.c_str());
    return mode < 0 || mode > 2 ? 0 : mode;
}

int32_t CommandLineFrameDuration(const std::string& value) {
    const int seconds = std::atoi(value.c_str());
    return seconds < 1 ? 5 : seconds;
}

int32_t AlphaFlagForProfile(const ProfileSettings& profile) {
    if (!IsStillImageProfile(profile)) return 0;
    const std::string& name = profile.ProfileName;
    const size_t with = name.find("with alpha");
    if (with != std::string::npos && with >= 1) return 1;
    const size_t without = name.find("no alpha");
    if (without != std::string::npos && without >= 1) return 0;
    return 1;
}

void ApplyFrameRange(const std::string& inValue, const std::string& outValue, ConversionTask& task,
                     std::vector<std::string>& notes) {
    const int64_t last = static_cast<int64_t>(task.totalFrames) - 1;
    if (last < 0) return;
    if (!inValue.empty()) {
        int64_t in = std::atoll(inValue.c_str());
        if (in < 0 || in > last) {
            const int64_t asked = in;
            in = in < 0 ? 0 : last;
            notes.push_back("The in frame " + std::to_string(asked) + " lies outside the movie's frames 0 to " +
                            std::to_string(last) + "; " + std::to_string(in) + " is used.");
        }
        task.inFrame = in;
    }
    if (!outValue.empty()) {
        int64_t out = std::atoll(outValue.c_str());
        if (out < task.inFrame || out > last) {
            const int64_t asked = out;
            out = out > last ? last : task.inFrame;
            notes.push_back("The out frame " + std::to_string(asked) + " lies outside the frames " +
                            std::to_string(task.inFrame) + " to " + std::to_string(last) + "; " +
                            std::to_string(out) + " is used.");
        }
        task.outFrame = out;
    }
}

int32_t CommandLineRunMode(const ConversionTask& task, int32_t requestedMode) {
    if (task.outFrame - task.inFrame < 5 && requestedMode == kOutputAuto) return kOutputInteractiveTwoPasses;
    return requestedMode;
}

}  // namespace kinolux
