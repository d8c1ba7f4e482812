#include "profiles/app_settings.h"

#include <sys/stat.h>

#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/settings_store.h"
#include "profiles/default_output_folder.h"
#include "profiles/language_manager.h"
#include "profiles/language_tables.h"

namespace kinolux {

namespace {

SettingsStore Machine() { return SettingsStore("HKLM"); }

uint32_t DwordOrCreate(const char* name, uint32_t fallback) {
    uint32_t value = 0;
    if (Machine().ReadDword(kSettingsKey, name, value)) return value;
    Machine().WriteDword(kSettingsKey, name, fallback);
    return fallback;
}

std::string StringOrCreate(const char* name, const std::string& fallback) {
    std::string value;
    if (Machine().ReadString(kSettingsKey, name, value)) return value;
    Machine().WriteString(kSettingsKey, name, fallback);
    return fallback;
}

void CreateOutputFolders(const std::string& folder) {
    MakeFoldersUpToLastSlash(folder);
    // Portable players read their videos from these folders of a memory card.
    for (const char* sub : {"psp/", "psp/MP_ROOT/", "psp/MP_ROOT/100MNV01/"}) ::mkdir((folder + sub).c_str(), 0777);
}

}  // namespace

AppSettings& CurrentAppSettings() {
    static AppSettings settings;
    return settings;
}

void LoadAppSettings(AppSettings& settings, LanguageManager& languages) {
    const std::string programFolder = GetProgramFolder();
    settings.firstUse = DwordOrCreate("firstuse", 0);
    settings.autoShowFormatDialog = DwordOrCreate("autoshowformatdialog", 0);
    settings.fastConversion = DwordOrCreate("fastconversion", 0) != 0 ? 1 : 0;

    // An empty folder would put the output (and the psp folders) wherever
    // the program happens to be started; it counts as absent.
    std::string stored;
    std::string convertDir;
    if (!Machine().ReadString(kSettingsKey, "ConvertDir", stored) || stored.empty())
        convertDir = DefaultOutputFolder(programFolder);
    else convertDir = stored;
    // Everything appends file and folder names to this text.
    if (convertDir.back() != '/') convertDir += '/';
    settings.convertDir = convertDir;
    CreateOutputFolders(settings.convertDir);

    languages.SetLanguageFolder(programFolder + StringOrCreate("languagefolder", "/language/kinolux/"));
    languages.SetCommonLanguageFolder(programFolder + StringOrCreate("commonlanguagefolder", "/language/"));
    std::string language;
    if (!Machine().ReadString(kSettingsKey, "language", language)) {
        language = languages.DefaultLanguageName(SystemLanguageId());
        WriteLanguage(language);
    }
    languages.SelectLanguage(language);

    // Rewritten (and synced to disk) only when it changed: a command-line
    // run starts without a write.
    if (stored != settings.convertDir) SaveAppSettings(settings);
}

bool SaveAppSettings(const AppSettings& settings) {
    return Machine().WriteString(kSettingsKey, "ConvertDir", settings.convertDir);
}

bool WriteFirstUse(uint32_t value) { return Machine().WriteDword(kSettingsKey, "firstuse", value); }
bool WriteAutoShowFormatDialog(uint32_t value) {
    return Machine().WriteDword(kSettingsKey, "autoshowformatdialog", value);
}
bool WriteFastConversion(uint32_t value) { return Machine().WriteDword(kSettingsKey, "fastconversion", value); }
bool WriteLanguage(const std::string& name) { return Machine().WriteString(kSettingsKey, "language", name); }

}  // namespace kinolux
