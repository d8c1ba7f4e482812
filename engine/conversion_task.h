// One movie to convert: where it comes from, where the result goes, which
// frames, in which output mode, with which profile, and what is known about
// the source. The creator owns the task; a conversion run is handed it in
// its context and never frees it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "profiles/profile_settings.h"

namespace kinolux {

enum OutputMode : int32_t {
    kOutputAuto = 0,                    // stepped under the controlled clock; sound from the player process
    kOutputInteractiveOnePass = 1,      // played in real time straight into the encoder
    kOutputInteractiveTwoPasses = 2,    // played into a lossless intermediate file, then encoded
};

struct ConversionTask {
    std::string inputPath;   // the source movie (SWF)
    std::string outputPath;  // the output file; for image sequences its name without extension is the folder
    int32_t aspectFitIndex = 0;  // disc-size target of the automatic aspect fit; negative = none
    int32_t sourceWidth = 0;     // stage size from the probe; 0 until probed
    int32_t sourceHeight = 0;
    int32_t totalFrames = 0;
    float frameRate = 0.0f;      // 15.0 when the probe gives less than 0.1
    ProfileSettings profile;     // the output profile with its run-time fields
    int32_t alphaFlag = 0;       // still images only: 1 = write an alpha channel
    int32_t probedFlag = 0;      // 1 once the probe has filled the source fields
    int32_t outputMode = kOutputAuto;
    uint32_t backgroundColor = 0;  // 0x00BBGGRR
    int64_t inFrame = 0;         // first frame to convert, from 0
    int64_t outFrame = 0;        // last frame to convert
    std::string infoText;        // the movie's header summary for display

    bool operator==(const ConversionTask&) const = default;
};

// The creation sequence shared by the command line and the main window:
// a fresh task for `inputPath` with profile `profileName` read from
// `profileFile`, prepared for a source not yet probed (0 x 0) with the
// aspect-fit index given (the command line passes 0, the window the
// remembered "outputcalcaspect"). Probing is the caller's next step.
std::unique_ptr<ConversionTask> CreateConversionTask(const std::string& inputPath, const std::string& profileFile,
                                                     const std::string& profileName, int32_t aspectFitIndex);

// The shell's current task: a progress window made without a context runs
// it. The caller keeps it alive until that window has closed.
void SetCurrentTask(ConversionTask* task);
ConversionTask* CurrentTask();

}  // namespace kinolux
