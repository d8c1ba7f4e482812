// The switches of kinolux's command line. The whole command line is the
// program's path, one blank, and the arguments joined by single blanks;
// "/f in.swf /o out.mpg /pn mpg Normal" then reads value by value up to the
// next switch, so a value may hold blanks ("mpg Normal").
//
// A switch starts only at a "/" that begins a word and spells one of the
// switches below, followed by a blank or the end. Every other "/" belongs to
// the value, so absolute paths work ("/f /home/ann/a.swf") and so do the
// relative ones of the help ("/pi ini/ntscdvd.ini"). Names are exact: "/F"
// is no switch.
#pragma once

#include <string>
#include <string_view>

namespace kinolux {

// The limits of the original buffers, kept as limits: longer input is
// refused with a message rather than cut.
inline constexpr size_t kMaxCommandLine = 1999;
inline constexpr size_t kMaxSwitchValue = 255;

struct CommandLineJob {
    std::string commandLine;
    int helpRequested = 0;
    std::string inputFile;      // "/f"
    std::string outputFile;     // "/o"
    std::string inFrame;        // "/if"
    std::string outFrame;       // "/of"
    std::string outputMode;     // "/om"
    std::string frameDuration;  // "/fd"
    std::string profileFile;    // "/pi"
    std::string profileName;    // "/pn"
    int fast = 0;               // "/fast": Auto without the real-time player; takes no value
    std::string ignoredText;    // text between the program name and the first switch
};

// One token from `cursor`: the next switch and its value. False (and an
// empty switch) when no switch follows; the cursor then stands at the end.
bool NextSwitch(std::string_view text, size_t& cursor, std::string& name, std::string& value);

enum class ParseResult {
    Window,    // open the main window; the switches are dropped
    Console,   // help, or both "/f" and "/o": the command-line run
    Refused,   // too long for its limits; `error` says what
};

// Scans job.commandLine into the job's switch values.
ParseResult ParseCommandLine(CommandLineJob& job, std::string& error);

}  // namespace kinolux
