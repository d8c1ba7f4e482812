// Language packs: INI files in the language folder whose section "Info" key
// "Language" names the pack; every other section is a dialog's texts. The
// one manager of the process lists the packs, knows the current one and
// looks texts up with their English defaults.
#pragma once

#include <cstdint>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ini_document.h"

namespace kinolux {

struct LanguagePack {
    std::string name;      // display name from "Info"/"Language"
    std::string fileName;  // file name without folder
};

class LanguageManager {
public:
    // Remembers the folder (a full path ending in "/") and appends every pack
    // found there, in file-name order; an empty text does nothing, and the
    // list is never cleared.
    void SetLanguageFolder(const std::string& folder);
    void SetCommonLanguageFolder(const std::string& folder);
    const std::string& LanguageFolder() const { return languageFolder_; }
    const std::string& CommonLanguageFolder() const { return commonFolder_; }

    // Makes `name` current; the first pack of exactly that name (letter case
    // counts) becomes the current file. With no such pack the current file
    // stays as it was, so texts stay as they were.
    void SelectLanguage(const std::string& name);
    // Selects the pack at `index` of the list; an index past the end does nothing.
    void SelectLanguageByIndex(size_t index);

    const std::string& CurrentLanguageName() const { return currentName_; }
    const std::string& CurrentLanguageFile() const { return currentFile_; }
    std::vector<LanguagePack> Packs() const { return packs_; }

    // The default for a system language: the first pack whose name contains
    // the regional name of `languageId`, else "English".
    std::string DefaultLanguageName(uint16_t languageId) const;

    // The text of `key` in `section` of the current pack, or `englishDefault`;
    // cut at 499 characters, then "#13" becomes a line feed, "#19" a tab and
    // "#17" a carriage return.
    std::string GetText(std::string_view section, std::string_view key, std::string_view englishDefault) const;

private:
    std::string languageFolder_;
    std::string commonFolder_;
    std::vector<LanguagePack> packs_;
    std::string currentName_;
    std::string currentFile_;
    IniDocument currentPack_;  // the current file, read once when selected
    mutable std::mutex lock_;
};

// The one language manager of the process.
LanguageManager& Languages();

// GetText of the process's manager with the program's own English default
// for that section and key.
std::string Text(std::string_view section, std::string_view key);

}  // namespace kinolux
