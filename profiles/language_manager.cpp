#include "profiles/language_manager.h"

#include <algorithm>
#include <dirent.h>

#include "platform/text_compare.h"
#include "platform/text_cut.h"
#include "profiles/english_texts.h"
#include "profiles/language_tables.h"

namespace kinolux {

namespace {

constexpr size_t kTextWidth = 500;

void ReplaceAll(std::string& text, std::string_view from, std::string_view to) {
    for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
        text.replace(at, from.size(), to);
}

std::vector<std::string> IniFilesIn(const std::string& folder) {
    std::vector<std::string> names;
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return names;
    while (const dirent* entry = ::readdir(dir)) {
        std::string_view name = entry->d_name;
        if (name.size() > 4 && EqualsIgnoringCase(name.substr(name.size() - 4), ".ini")) names.emplace_back(name);
    }
    ::closedir(dir);
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

void LanguageManager::SetLanguageFolder(const std::string& folder) {
    if (folder.empty()) return;
    std::lock_guard<std::mutex> hold(lock_);
    languageFolder_ = folder;
    for (const std::string& file : IniFilesIn(folder)) {
        std::string name = IniDocument::Load(folder + file).Get("Info", "Language").value_or("");
        if (!name.empty()) packs_.push_back({CutToWidth(name, 100), file});
    }
}

void LanguageManager::SetCommonLanguageFolder(const std::string& folder) {
    std::lock_guard<std::mutex> hold(lock_);
    commonFolder_ = folder;
}

void LanguageManager::SelectLanguage(const std::string& name) {
    if (name.empty()) return;
    std::lock_guard<std::mutex> hold(lock_);
    currentName_ = name;
    for (const LanguagePack& pack : packs_) {
        if (pack.name != name) continue;
        currentFile_ = languageFolder_ + pack.fileName;
        currentPack_ = IniDocument::Load(currentFile_);
        return;
    }
}

void LanguageManager::SelectLanguageByIndex(size_t index) {
    std::string name;
    {
        std::lock_guard<std::mutex> hold(lock_);
        if (index >= packs_.size()) return;
        name = packs_[index].name;
    }
    SelectLanguage(name);
}

std::string LanguageManager::DefaultLanguageName(uint16_t languageId) const {
    const unsigned primary = languageId & 0x3FF;
    const unsigned sub = languageId >> 10;
    std::string primaryName;
    for (const LanguageName& entry : PrimaryLanguageNames())
        if (entry.id == primary) {
            primaryName = entry.name;
            break;
        }
    std::string regionalName;
    if (!primaryName.empty())
        for (const LanguageName& entry : SublanguageNames())
            if (entry.id == sub && std::string_view(entry.name).find(primaryName) != std::string_view::npos) {
                regionalName = entry.name;
                break;
            }
    if (!regionalName.empty()) {
        std::lock_guard<std::mutex> hold(lock_);
        for (const LanguagePack& pack : packs_)
            if (pack.name.find(regionalName) != std::string::npos) return pack.name;
    }
    return "English";
}

std::string LanguageManager::GetText(std::string_view section, std::string_view key,
                                     std::string_view englishDefault) const {
    std::string text;
    {
        std::lock_guard<std::mutex> hold(lock_);
        text = currentPack_.Get(section, key).value_or(std::string(englishDefault));
    }
    text = CutToWidth(text, kTextWidth);
    ReplaceAll(text, "#13", "\n");
    ReplaceAll(text, "#19", "\t");
    ReplaceAll(text, "#17", "\r");
    return text;
}

LanguageManager& Languages() {
    static LanguageManager manager;
    return manager;
}

std::string Text(std::string_view section, std::string_view key) {
    return Languages().GetText(section, key, EnglishDefault(section, key));
}

}  // namespace kinolux
