#include "shell/help_text.h"

namespace kinolux {

void WriteHelp(FILE* out) {
    static const char* const kLines[] = {
        "",
        "Kinolux - command line using help",
        "",
        "/h or /help         ---  Help information",
        "/f                  ---  Input file",
        "/o                  ---  Output file",
        "/if                 ---  In frame > 0",
        "/of                 ---  Out frame < frame count",
        "/om                 ---  Output mode",
        "                         0 - Auto(recommended)",
        "                         1 - Interactive(a compression)",
        "                         2 - Interactive(two compressions)",
        "/fd                 ---  Frame duration, only for interactive mode, default 5s",
        "/pi                 ---  Output settings using ini filename",
        "/pn                 ---  Output settings using profile name in ini file",
        "/fast               ---  Auto mode without playing in real time, many times faster",
        "",
        "Convert Flash file:",
        "eg: kinolux /f in.swf /o out.mpg /pi ini/ntscdvd.ini /pn mpg Normal",
        "Convert Flash file with interactive mode:",
        "eg: kinolux /f in.swf /o out.mpg /om 2 /fd 5 /pi ini/ntscdvd.ini /pn mpg Normal",
        "Get images:",
        "eg: kinolux /f in.swf /o out /pi ini/jpegimg.ini /pn JPEG images Normal",
    };
    for (const char* line : kLines) std::fprintf(out, "%s\n", line);
    std::fflush(out);
}

}  // namespace kinolux
