// What the options sheet does, without its widgets: the two codec lists,
// how its edit boxes show and read numbers, the forms of the pad colour, the
// live default video bit rate, the values the encoder cannot take, what
// closing the sheet does to the task's profile, and the two ways of saving
// it into its profile file.
#pragma once

#include "profiles/profile_geometry.h"
#include "profiles/profile_settings.h"

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>

namespace kinolux {

// The pages in the order of their tabs.
enum OptionPage { kAudioPage = 0, kVideoPage = 1, kResizePage = 2, kCropPadPage = 3 };

// "auto" in any letter case: the encoder chooses.
bool IsAutoCodecName(std::string_view codec);

// The lists in the order the user sees them: "auto" first, unsorted.
std::span<const char* const> AudioCodecNames();
std::span<const char* const> VideoCodecNames();
// The entry whose whole text equals `codec` without regard to case, else 0
// ("auto"): an entry that merely begins with the text does not count.
int CodecEntry(std::span<const char* const> names, std::string_view codec);

// Integers in decimal, floats with up to 6 significant digits, the custom
// frame rate with up to 15, so a stored 29.97 shows as 29.9699993133545 and
// reads back as the same float.
std::string IntegerText(int32_t value);
std::string FloatText(float value);
std::string FrameRateText(float value);
// The whole text as a number, blanks around it allowed; nothing for any
// other text and for integers beyond 32 bits.
std::optional<int32_t> ReadIntegerText(std::string_view text);
std::optional<double> ReadNumberText(std::string_view text);

// "0x" and the six upper-case hexadecimal digits red, green, blue.
std::string PadColourText(int32_t colour);
struct Rgb {
    int red = 0, green = 0, blue = 0;
};
Rgb PadColourToRgb(int32_t colour);
int32_t PadColourFromRgb(const Rgb& rgb);

// The size the video page's default bit rate is shown for: choice 0 the
// source and choice 9 the custom size, both unrounded, the others their
// fixed sizes.
FrameSize LiveFrameSize(const ProfileSettings& edited);
// In kbit/s, from the page's three quotieties and LiveFrameSize.
int LiveDefaultVideoBitRate(const ProfileSettings& edited);

// A value the sheet refuses: the page and the control to go back to, and
// what the user is told.
struct OptionRefusal {
    OptionPage page;
    int item;
    std::string message;
};
// The first value of `edited` that the encoder would refuse or that would
// make it fail (a size of 0 or beyond 16384, a picture that cropping or
// padding leaves empty, an odd side for a codec that needs even ones, a
// custom rate of 0), or a value outside the sheet's ranges.
std::optional<OptionRefusal> FindRefusedValue(const ProfileSettings& edited);

// Closing with OK or a save: the edited values become the task's profile
// (codec names cut to their fields), then its source fields and default bit
// rate are set again from the task. The automatic aspect fit is not run.
void ApplyEditedProfile(const ProfileSettings& edited, ProfileSettings& task, int sourceWidth, int sourceHeight);

// "Save and Apply": the profile over its own section of its file. When the
// file cannot be written the user is told; the file stays as it was.
bool SaveOverCurrentProfile(const ProfileSettings& profile);

// The name dialog: the proposed name in, the typed name out, nothing on Cancel.
using AskProfileName = std::function<std::optional<std::string>(const std::string& proposed)>;

// "Save as and Apply": asks for a name, starting from "New " + the profile's
// name, until the file takes it as a new section or the user cancels; a name
// that exists (letter case aside) or cannot be a section name is refused with
// a message and asked again. On success the name is remembered for the file
// and becomes the profile's name; otherwise the profile keeps its name.
bool SaveAsNewProfile(ProfileSettings& profile, const AskProfileName& askName);

}  // namespace kinolux
