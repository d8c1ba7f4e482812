#include "shell/command_line_run.h"

#include "capture/call_interceptor.h"
#include "capture/movie_window.h"
#include "conversion_window/movie_window_capture.h"
#include "conversion_window/progress_window.h"
#include "platform/ini_document.h"
#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/report.h"
#include "shell/command_line_task.h"
#include "shell/console.h"
#include "shell/help_text.h"
#include "shell/post_process.h"
#include "shell/probe_rules.h"
#include "shell/swf_probe.h"
#include "shell/unique_output_path.h"

#include <cstdio>
#include <unistd.h>

namespace kinolux {

namespace {

// What can be known to fail before anything is started: said plainly, and
// nothing is converted.
std::string CheckInputs(const std::string& inputPath, const std::string& profileFile, const std::string& profileName) {
    if (!PathExists(inputPath) || FolderExists(inputPath)) return "The movie " + inputPath + " does not exist.";
    if (!PathExists(profileFile)) return "The profile file " + profileFile + " does not exist.";
    if (!IniDocument::Load(profileFile).HasSection(profileName))
        return "The profile file " + profileFile + " has no profile named \"" + profileName + "\".";
    return {};
}

int Convert(const CommandLineJob& job) {
    const std::string inputPath = CompleteCommandLinePath(job.inputFile);
    const std::string outputPath = CompleteCommandLinePath(job.outputFile);
    const int32_t requestedMode = CommandLineOutputMode(job.outputMode);
    const int32_t frameDuration = CommandLineFrameDuration(job.frameDuration);
    // The profile file is always below the program folder.
    const std::string profileFile = GetProgramFolder() + "/" + job.profileFile;
    if (const std::string problem = CheckInputs(inputPath, profileFile, job.profileName); !problem.empty()) {
        ReportMessage(problem + " Nothing was converted.");
        return 1;
    }

    std::unique_ptr<ConversionTask> task = CreateConversionTask(inputPath, profileFile, job.profileName, 0);
    task->backgroundColor = 0xFFFFFF;
    task->alphaFlag = AlphaFlagForProfile(task->profile);
    task->outputPath = MakeUniqueOutputPath(outputPath, inputPath, IsImageSequenceProfile(task->profile));

    MovieWindow movieWindow(nullptr, 1);
    CallInterceptor& interceptor = CallInterceptor::Instance();
    interceptor.consoleMode = 1;
    interceptor.Install();

    SwfProbe probe;
    probe.SetConsoleFlag(1);
    ProbeTaskOnce(probe, *task, ProbePath::ConversionStart);
    if (task->totalFrames <= 0 || task->sourceWidth <= 0 || task->sourceHeight <= 0) {
        ReportMessage("The movie " + inputPath + " cannot be read as a Flash movie. Nothing was converted.");
        return 1;
    }
    std::vector<std::string> notes;
    ApplyFrameRange(job.inFrame, job.outFrame, *task, notes);
    for (const std::string& note : notes) ReportMessage(note);
    task->outputMode = CommandLineRunMode(*task, requestedMode);
    MovieWindowCapture interactive(movieWindow);
    interactive.SetAutoRestart(task->outputMode != kOutputAuto ? 1 : 0, frameDuration);

    SetConsoleMode(1);
    movieWindow.SetConsoleMode(1);
    SetCurrentTask(task.get());
    RunContext context = CurrentRunContext();
    context.fast = job.fast != 0;
    ProgressWindow progress(context, movieWindow, &interactive);
    const RunOutcome outcome = progress.Run();
    SetCurrentTask(nullptr);
    // The probe's uncompressed copy has served its purpose.
    ::unlink(UncompressedCopyPath().c_str());
    if (outcome != RunOutcome::Completed) return 1;
    if (!task->profile.PostProcess.empty()) RunPostProcess(task->outputPath, task->profile.PostProcess);
    return 0;
}

}  // namespace

int RunCommandLine(const CommandLineJob& job) {
    AttachParentConsole();
    if (job.helpRequested) {
        WriteHelp(stdout);
        return 0;
    }
    SetConsoleMode(1);
    if (!job.ignoredText.empty()) ReportMessage("Ignored (not a switch): " + job.ignoredText);
    const int result = Convert(job);
    WriteConsoleLine("DONE!");
    return result;
}

}  // namespace kinolux
