#include "shell/swf_probe.h"

#include "bindings/scrutin.h"
#include "platform/report.h"
#include "profiles/app_settings.h"

namespace kinolux {

std::string UncompressedCopyPath() { return CurrentAppSettings().convertDir + kUncompressedCopyName; }

int SwfProbe::Probe(const std::string& sourcePath) {
    const std::string copyPath = UncompressedCopyPath();
    std::string probed = copyPath;
    const int converted = W_ConvertToUncompress(sourcePath.c_str(), copyPath.c_str());
    if (converted == 0) {
        probed = sourcePath;
    } else if (converted != 1) {
        const char* text = "Swf File Decompress Error!";
        if (consoleFlag_) WriteConsoleLine(text);
        else ReportMessage(text);
        // Whatever copy lies there belongs to an earlier movie; the movie's
        // own header is the truth about it, however little of it is readable.
        probed = sourcePath;
    }
    SwfFileInfo info{};
    W_SwfFileInfo(probed.c_str(), &info);
    result_ = SwfProbeResult{info.version, info.fileLength, info.width, info.height, info.frameRate, info.frameCount};
    W_SwfFileInfoFree(&info);
    return 1;
}

}  // namespace kinolux
