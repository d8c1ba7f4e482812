#include "shell/disc_burning.h"

#include <sys/stat.h>

#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/report.h"
#include "profiles/language_manager.h"
#include "shell/external_programs.h"

namespace kinolux {

namespace {

bool LargerThanOnePart(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && uint64_t(st.st_size) > kLargestSinglePart;
}

void AppendQuoted(BurnList& list, const std::string& path) { list.command += "\"" + path + "\" "; }

}  // namespace

std::string NextPartPath(const std::string& path) {
    std::string stem = WithoutExtension(path);
    return stem + "1" + path.substr(stem.size());
}

void CollectBurnableOutput(BurnList& list, const ConversionTask& task) {
    if (task.profile.bCanBurn != 1) return;
    if (list.discType.size() < 2) {
        list.discType = task.profile.BurnType;
        list.requested = true;
    } else if (task.profile.BurnType != list.discType) {
        // Parts belong to the output that was listed; another disc type's
        // output and its parts stay off this disc.
        return;
    }
    AppendQuoted(list, task.outputPath);
    for (std::string part = task.outputPath; LargerThanOnePart(part);) {
        part = NextPartPath(part);
        if (!PathExists(part)) break;
        AppendQuoted(list, part);
    }
}

std::string FinalBurnCommand(const BurnList& list) {
    return list.requested ? list.command + "-t " + list.discType : list.command;
}

bool LaunchDiscBurner(const BurnList& list) {
    if (!list.requested || !AskYesNo(Text("MAIN_DLG", "strAutoBurnInfo"))) return false;
    return StartCompanionProgram(kDiscBurnerName, {FinalBurnCommand(list)});
}

}  // namespace kinolux
