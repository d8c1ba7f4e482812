// Profile files: reading, writing and listing the profiles (sections) of a
// file, saving under a new name, and the defaults file "qlxdef.ini" that
// remembers the profile last chosen from each file and the output for new
// tasks. A missing file, section or key is never an error: texts read as
// empty and numbers as 0.
#pragma once

#include <string>
#include <vector>

#include "profiles/profile_settings.h"

namespace kinolux {

// Program folder + "/ini/" + fileName.
std::string ProfileFilePath(const std::string& fileName);
// Program folder + "/ini/qlxdef.ini".
std::string DefaultsFilePath();

// Fills every stored field from section profileName and sets ProfileName;
// leaves ProfileFile and the run-time fields as they are.
void ReadProfile(const std::string& profileName, ProfileSettings& settings, const std::string& profileFile);
// ReadProfile, and ProfileFile set to profileFile: the profile as a task
// takes it, knowing where it came from.
void LoadProfile(const std::string& profileName, ProfileSettings& settings, const std::string& profileFile);

// Writes the 42 keys in their order into section profileName, creating the
// file, section or keys as needed and keeping every other line. False when
// the file could not be written or the name cannot be a section name.
bool WriteProfile(const std::string& profileName, const ProfileSettings& settings, const std::string& profileFile);

// The file's section names in file order.
std::vector<std::string> ListProfileNames(const std::string& profileFile);

enum class NewProfileResult {
    Written,      // a new section holds the profile
    NameExists,   // a section of that name exists (letter case aside); nothing written
    NameInvalid,  // empty, longer than 255 characters, or not storable as a section name
    WriteFailed,  // the file could not be written; it is unchanged
};
NewProfileResult SaveProfileAsNew(const std::string& profileName, const ProfileSettings& settings,
                                  const std::string& profileFile);

// The remembered profile of profile file fileName (a name without folder);
// when none is remembered, the file's first profile, which is then remembered.
std::string GetDefaultProfileName(const std::string& fileName);
bool SetDefaultProfileName(const std::string& fileName, const std::string& profileName);

// The output last chosen for new tasks (section "OUTPUT_DEFAULT").
struct OutputDefault {
    std::string fileName;     // "outputinifile": profile file name without folder
    std::string profileName;  // "outputprofile"
    int calcAspect = 0;       // "outputcalcaspect": aspect-fit index, negative = off
};
OutputDefault ReadOutputDefault();
bool WriteOutputDefault(const OutputDefault& output);

// The remembered (or first) profile of fileName read from the program's
// ini/ folder, with ProfileFile set to that path.
void LoadDefaultProfile(const std::string& fileName, ProfileSettings& settings);

}  // namespace kinolux
