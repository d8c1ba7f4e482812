// The application's persistent settings under "Software\Qorvane\Kinolux" of
// the machine root of the settings store, and the default output folder.
#pragma once

#include <cstdint>
#include <string>

namespace kinolux {

class LanguageManager;

inline constexpr const char* kSettingsKey = "Software\\Qorvane\\Kinolux";

// The in-memory copies the program works with.
struct AppSettings {
    uint32_t firstUse = 0;              // "firstuse"
    uint32_t autoShowFormatDialog = 0;  // "autoshowformatdialog"
    std::string convertDir;             // "ConvertDir": default output folder, ending in "/"
    uint32_t fastConversion = 0;        // "fastconversion": Auto without the real-time player
};

// The process's settings, filled at start-up.
AppSettings& CurrentAppSettings();

// The start-up sequence: reads every setting (creating an absent one at once
// with its default), creates the output folder and its psp subfolders, sets
// up the language folders, selects the language and writes "ConvertDir" back.
void LoadAppSettings(AppSettings& settings, LanguageManager& languages);

// Writes "ConvertDir", the one value the settings dialog changes.
bool SaveAppSettings(const AppSettings& settings);

// The single writers of the other values.
bool WriteFirstUse(uint32_t value);
bool WriteAutoShowFormatDialog(uint32_t value);
bool WriteFastConversion(uint32_t value);
bool WriteLanguage(const std::string& name);

}  // namespace kinolux
