// The program folder: the folder of the running executable, where ini/,
// language/kinolux/, the resources and the companion programs live.
#pragma once

#include <string>

namespace kinolux {

// Without the flag: the folder without a trailing "/"; with it, ending in "/".
std::string GetProgramFolder(bool withTrailingSlash = false);

// Makes every later GetProgramFolder answer with `folder` (without trailing
// "/"). For tests and tools that run from outside the program folder.
void SetProgramFolder(const std::string& folder);

}  // namespace kinolux
