#include "shell/command_line_run.h"

#include <cstdio>

#include "platform/report.h"
#include "shell/console.h"
#include "shell/help_text.h"

namespace kinolux {

int RunCommandLine(const CommandLineJob& job) {
    AttachParentConsole();
    if (job.helpRequested) {
        WriteHelp(stdout);
        return 0;
    }
    SetConsoleMode(1);
    if (!job.ignoredText.empty()) ReportMessage("Ignored (not a switch): " + job.ignoredText);
    ReportMessage("Kinolux cannot convert " + job.inputFile +
                  " yet: conversion from the command line is not built in this version.");
    return 1;
}

}  // namespace kinolux
