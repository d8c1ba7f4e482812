#include "profiles/profile_store.h"

#include <cmath>
#include <limits>

#include "platform/ini_document.h"
#include "platform/ini_file.h"
#include "platform/number_text.h"
#include "platform/program_folder.h"
#include "platform/text_compare.h"
#include "platform/text_cut.h"
#include "profiles/profile_keys.h"

namespace kinolux {

namespace {

constexpr const char* kDefaultSection = "default";
constexpr const char* kOutputSection = "OUTPUT_DEFAULT";
// Float keys are read as text of at most 59 characters before conversion.
constexpr size_t kFloatTextWidth = 60;

float ToFloat(double value) {
    // Out-of-range text saturates instead of overflowing the conversion.
    if (std::isnan(value)) return 0.0f;
    constexpr double kMax = std::numeric_limits<float>::max();
    return static_cast<float>(value > kMax ? kMax : value < -kMax ? -kMax : value);
}

bool IsStorableSectionName(const std::string& name) {
    if (name.empty() || name.size() >= profile_width::kName) return false;
    if (TrimBlanks(name) != name) return false;
    return name.find_first_of("]\r\n") == std::string::npos;
}

}  // namespace

bool IsStillImageProfile(const ProfileSettings& settings) {
    const std::string& f = settings.FormatName;
    return f == "TGA image" || f == "TIFF image" || f == "BMP image" || f == "PNG image";
}

std::string ProfileFilePath(const std::string& fileName) { return GetProgramFolder() + "/ini/" + fileName; }
std::string DefaultsFilePath() { return ProfileFilePath("qlxdef.ini"); }

void ReadProfile(const std::string& profileName, ProfileSettings& settings, const std::string& profileFile) {
    settings.ProfileName = CutToWidth(profileName, profile_width::kName);
    IniDocument doc = IniDocument::Load(profileFile);
    for (const ProfileKey& key : ProfileKeys()) {
        std::string value = doc.Get(profileName, key.name).value_or("");
        if (key.text) settings.*key.text = CutToWidth(value, key.width);
        else if (key.integer) settings.*key.integer = ParseIniInt(value, 0);
        else settings.*key.real = ToFloat(ParseLeadingDouble(CutToWidth(value, kFloatTextWidth)));
    }
}

void LoadProfile(const std::string& profileName, ProfileSettings& settings, const std::string& profileFile) {
    ReadProfile(profileName, settings, profileFile);
    settings.ProfileFile = profileFile;
}

bool WriteProfile(const std::string& profileName, const ProfileSettings& settings, const std::string& profileFile) {
    std::optional<IniDocument> doc = IniDocument::LoadForUpdate(profileFile);
    if (!doc) return false;
    for (const ProfileKey& key : ProfileKeys()) {
        std::string value = key.text      ? settings.*key.text
                            : key.integer ? std::to_string(settings.*key.integer)
                                          : FormatFloatSixDecimals(settings.*key.real);
        if (!doc->Set(profileName, key.name, value)) return false;
    }
    return doc->Save(profileFile);
}

std::vector<std::string> ListProfileNames(const std::string& profileFile) { return ReadIniSectionNames(profileFile); }

NewProfileResult SaveProfileAsNew(const std::string& profileName, const ProfileSettings& settings,
                                  const std::string& profileFile) {
    if (!IsStorableSectionName(profileName)) return NewProfileResult::NameInvalid;
    for (const std::string& existing : ListProfileNames(profileFile))
        if (EqualsIgnoringCase(existing, profileName)) return NewProfileResult::NameExists;
    return WriteProfile(profileName, settings, profileFile) ? NewProfileResult::Written : NewProfileResult::WriteFailed;
}

std::string GetDefaultProfileName(const std::string& fileName) {
    std::string remembered = ReadIniString(DefaultsFilePath(), kDefaultSection, fileName, "");
    if (!remembered.empty()) return remembered;
    std::vector<std::string> names = ListProfileNames(ProfileFilePath(fileName));
    std::string first = names.empty() ? std::string() : names.front();
    SetDefaultProfileName(fileName, first);
    return first;
}

bool SetDefaultProfileName(const std::string& fileName, const std::string& profileName) {
    return WriteIniString(DefaultsFilePath(), kDefaultSection, fileName, profileName);
}

OutputDefault ReadOutputDefault() {
    IniDocument doc = IniDocument::Load(DefaultsFilePath());
    OutputDefault output;
    output.fileName = doc.Get(kOutputSection, "outputinifile").value_or("");
    output.profileName = doc.Get(kOutputSection, "outputprofile").value_or("");
    output.calcAspect = ParseIniInt(doc.Get(kOutputSection, "outputcalcaspect").value_or(""), 0);
    return output;
}

bool WriteOutputDefault(const OutputDefault& output) {
    std::string path = DefaultsFilePath();
    std::optional<IniDocument> doc = IniDocument::LoadForUpdate(path);
    return doc && doc->Set(kOutputSection, "outputinifile", output.fileName) &&
           doc->Set(kOutputSection, "outputprofile", output.profileName) &&
           doc->Set(kOutputSection, "outputcalcaspect", std::to_string(output.calcAspect)) && doc->Save(path);
}

void LoadDefaultProfile(const std::string& fileName, ProfileSettings& settings) {
    LoadProfile(GetDefaultProfileName(fileName), settings, ProfileFilePath(fileName));
}

}  // namespace kinolux
