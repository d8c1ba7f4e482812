// The Blu-ray folder step for AVCHD transport-stream outputs: the muxer
// library writes a folder named like the output without its extension.
// A missing library leaves that folder empty, without a message.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

namespace kinolux {

// How the progress window follows the step: `show` displays a percentage
// and the library's text and handles pending events; `cancelled` tells
// whether the user has cancelled, which stops the library.
struct BluRayProgress {
    std::function<void(int percent, const std::string& text)> show;
    std::function<bool()> cancelled;
};

// The percentage of a progress report: kind 2 counts down from `total`,
// other kinds are percentages already. Kept within 0 to 100 (0 for an
// empty total).
int BluRayProgressPercent(int32_t kind, int32_t value, float total);

// The folder the step writes: the output without its extension, and "/".
std::string BluRayFolderOf(const std::string& outputPath);

// Runs the step for one output. A stream the library refuses is reported
// with the library's own sentence. In the window interface (not in console
// mode) the help page on burning Blu-ray discs opens afterwards.
void MakeBluRayFolder(const std::string& outputPath, const BluRayProgress& progress);

}  // namespace kinolux
