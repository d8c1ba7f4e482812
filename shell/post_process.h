// The profile's post-processing command: a program run on every output, such
// as a tagger. The text is a sequence of double-quoted items separated by
// blanks, the program first:
//   "/opt/tools/tag" "%out" "-q"
// In each item the first "./" (as it starts a path: not inside "../" or
// "a/./b") becomes the program folder and "/"; otherwise the first "%out"
// becomes the output path. The program gets the items as its arguments,
// never through a shell.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kinolux {

// The items without their quotes: a double quote followed by a blank ends an
// item; the last item runs to the end of the text.
std::vector<std::string> SplitPostProcessItems(std::string_view command);

// The one place holder of an item replaced.
std::string ReplacePostProcessPlaceHolder(const std::string& item, const std::string& outputPath);

// The program and its arguments for one output.
std::vector<std::string> PostProcessArguments(std::string_view command, const std::string& outputPath);

// Runs the command for one output and waits until the program has ended.
// Failures are not reported: false when there was nothing to run or the
// program could not be started.
bool RunPostProcess(const std::string& outputPath, std::string_view command);

}  // namespace kinolux
