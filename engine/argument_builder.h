// Turns a conversion task and its output profile into the encoder's argument
// vector, always in one order: "ffmain", the profile's BeforePara words,
// "-i", the input, the Para words, the switches of the profile's options,
// and the output.
#pragma once

#include <string>
#include <string_view>

#include "bindings/castor.h"
#include "engine/conversion_task.h"
#include "engine/encoder_arguments.h"

namespace kinolux {

// Appends the blank-separated words of `text`: several blanks count as one
// separator, trailing blanks add nothing, a leading blank gives one empty
// argument first, quotes have no meaning. False when a limit was broken.
bool SplitArguments(std::string_view text, EncoderArguments& arguments);

// The "-s" size of a profile: a size name, "WxH" for the custom size (both
// rounded up to 16), or with padding the inner picture the encoder scales to
// before padding up to the full frame. Empty for size choices outside 1..11,
// which pass no "-s" (as the output frame size treats them like choice 0).
std::string SizeArgument(const ProfileSettings& profile);

// Appends the switches of the profile's options ("-an", "-ar", ..., "-aspect").
bool AppendProfileSwitches(const ProfileSettings& profile, EncoderArguments& arguments);

// A built vector, or the reason the profile was refused.
struct BuiltEncoding {
    EncoderArguments arguments;
    std::string error;
    bool ok() const { return error.empty(); }
};

// Frames from the frame callback into the task's output (modes 0 and 1).
// A TargetType of exactly "jpg" writes an image sequence: the folder named
// like the output path without extension is created and the output is
// that folder + "/ren%04d.jpg".
BuiltEncoding BuildFrameEncoding(const ConversionTask& task);
// The first encoding of mode 2: frames into the lossless intermediate file.
BuiltEncoding BuildIntermediateEncoding(const ConversionTask& task);
// The second encoding of mode 2, and any encoding whose input is a file:
// `inputPath` into the task's output with the task's profile (an image
// sequence for "jpg" as above, so a file input never writes every picture
// over the one same file).
BuiltEncoding BuildFinalEncoding(const ConversionTask& task, const std::string& inputPath);

// The folder of an image-sequence output.
std::string ImageSequenceFolder(const std::string& outputPath);
// The lossless profile "Huffyuv Avi normal quality" of huffyuv.ini with the
// task profile's frame geometry and its own default bit rate.
ProfileSettings IntermediateProfile(const ProfileSettings& taskProfile);
// The output path without extension + "~temp." + the intermediate's TargetType.
std::string IntermediatePath(const std::string& outputPath, const ProfileSettings& intermediate);

}  // namespace kinolux
