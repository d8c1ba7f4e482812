// The player's command line. The main program starts the player with
//   '-in' <movie> '-ou' <wav> '-sn' <sync> '-fr' <fps> '-ff' <first>
//   '-tf' <last> '-of' <total> '-cm' <console>
// and the player reads its whole command line (its own path, one blank, and
// the arguments joined by single blanks). Each value runs up to the next
// quoted switch, so paths may hold blanks; numbers read like atof and atoi.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kinolux {

struct PlayerArguments {
    std::string inputPath;   // '-in'
    std::string wavPath;     // '-ou'
    std::string syncPath;    // '-sn'
    float frameRate = 0;     // '-fr'
    int fromFrame = 0;       // '-ff'
    int toFrame = 0;         // '-tf'
    int totalFrames = 0;     // '-of'
    int consoleMode = 0;     // '-cm'
};

// The run the command line asks for, or nothing when the player must exit
// at once without a window: a switch is missing, out of order, or stands at
// the very start of the text it is looked for in, or the frame rate is not
// a positive number (the player's timer runs at 1000 / rate ms). `problem`
// then says which, for the debugging output.
std::optional<PlayerArguments> ParsePlayerCommandLine(std::string_view wholeCommandLine, std::string& problem);

}  // namespace kinolux
