// The Blu-ray folder as a whole: BDMV with its navigation files, the
// clip's stream, the backup copies and the empty folders a disc has, and
// CERTIFICATE. It is written under a working name beside its place and
// renamed into place when complete, so a failure or a cancel leaves
// nothing behind, and nothing there already is ever overwritten.
#pragma once

#include <string>

#include "joiner/clip_survey.h"
#include "joiner/progress.h"

namespace joiner {

// Writes the disc into `folder` (its root, with or without a trailing
// "/"): into the folder itself when it is absent or empty, else into the
// first of "folder (1)", "folder (2)", ... that is. Returns the folder
// written. Throws Failure.
std::string WriteDiscFolder(const ClipSurvey& survey, const std::string& folder, Progress& progress);

}  // namespace joiner
