// The console of the command-line mode.
#pragma once

namespace kinolux {

// Standard output, input and error already are the terminal (or whatever
// the parent redirected them to), so there is nothing to attach. This is
// where standard output becomes line-buffered, so that progress lines reach
// a pipe as they are written.
void AttachParentConsole();

// The greeting a new command-line job writes. It reaches only a redirected
// standard output (a pipe or a file), never a terminal, as it reached only
// an output that the parent process had redirected.
void AnnounceCommandLineJob();

}  // namespace kinolux
