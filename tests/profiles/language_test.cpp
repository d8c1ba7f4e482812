#include <gtest/gtest.h>

#include <set>

#include "platform/ini_document.h"
#include "profiles/english_texts.h"
#include "profiles/language_manager.h"
#include "profiles/language_tables.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

using testing::ScopedTempFolder;
using testing::WriteTextFile;

const std::string kShippedPacks = std::string(KINOLUX_SOURCE_DIR) + "/language/kinolux/";

TEST(LanguageTables, HaveTheirSizesAndWindowsOrder) {
    EXPECT_EQ(PrimaryLanguageNames().size(), 63u);
    EXPECT_EQ(SublanguageNames().size(), 90u);
    int last = -1;
    for (const LanguageName& entry : PrimaryLanguageNames()) {
        EXPECT_GT(entry.id, last);
        last = entry.id;
    }
    EXPECT_EQ(LanguageIdOfLocale("en_US.UTF-8"), MakeLanguageId(9, 1));
    EXPECT_EQ(LanguageIdOfLocale("en_GB"), MakeLanguageId(9, 2));
    EXPECT_EQ(LanguageIdOfLocale("de_CH.UTF-8@euro"), MakeLanguageId(7, 2));
    EXPECT_EQ(LanguageIdOfLocale("zh_CN.GB18030"), MakeLanguageId(4, 2));
    EXPECT_EQ(LanguageIdOfLocale("fr_XX"), MakeLanguageId(12, 1));
    EXPECT_EQ(LanguageIdOfLocale("C"), 0);
    EXPECT_EQ(LanguageIdOfLocale(""), 0);
}

TEST(LanguageTables, SystemLocaleFollowsThePosixPrecedence) {
    ::setenv("LANG", "de_DE.UTF-8", 1);
    ::setenv("LC_MESSAGES", "fr_FR.UTF-8", 1);
    ::setenv("LC_ALL", "", 1);
    EXPECT_EQ(SystemLanguageId(), MakeLanguageId(12, 1));
    ::setenv("LC_ALL", "es_MX", 1);
    EXPECT_EQ(SystemLanguageId(), MakeLanguageId(10, 2));
    ::unsetenv("LC_ALL");
    ::unsetenv("LC_MESSAGES");
    ::unsetenv("LANG");
    EXPECT_EQ(SystemLanguageId(), 0);
}

class Packs : public ::testing::Test {
protected:
    void Add(const std::string& file, const std::string& text) { WriteTextFile(dir_ / file, text); }
    std::string Folder() const { return dir_.path() + "/"; }
    ScopedTempFolder dir_;
};

TEST_F(Packs, DefaultLanguageForEnglishUs) {
    Add("a.ini", "[Info]\nLanguage=Chinese (Simplified)\n");
    Add("b.ini", "[Info]\nLanguage=English (US)\n");
    LanguageManager regional;
    regional.SetLanguageFolder(Folder());
    EXPECT_EQ(regional.DefaultLanguageName(MakeLanguageId(9, 1)), "English (US)");
    EXPECT_EQ(regional.DefaultLanguageName(MakeLanguageId(4, 2)), "Chinese (Simplified)");
    EXPECT_EQ(regional.DefaultLanguageName(MakeLanguageId(7, 1)), "English");

    ScopedTempFolder other;
    WriteTextFile(other / "e.ini", "[Info]\nLanguage=English\n");
    LanguageManager plain;
    plain.SetLanguageFolder(other.path() + "/");
    EXPECT_EQ(plain.DefaultLanguageName(MakeLanguageId(9, 1)), "English") << "by the fallback";
}

TEST_F(Packs, SelectionByExactNameAndIndex) {
    Add("1.ini", "[Info]\nLanguage=Deutsch\n[MAIN_DLG]\nstrLanguageInfo=Sprache\n");
    Add("2.INI", "[Info]\nLanguage=Deutsch\n[MAIN_DLG]\nstrLanguageInfo=Zweite\n");
    Add("3.ini", "[MAIN_DLG]\nstrLanguageInfo=kein Paket\n");
    Add("4.txt", "[Info]\nLanguage=Text\n");
    LanguageManager languages;
    languages.SetLanguageFolder(Folder());
    ASSERT_EQ(languages.Packs().size(), 2u);
    EXPECT_EQ(languages.Packs()[1].fileName, "2.INI");

    languages.SelectLanguage("deutsch");
    EXPECT_EQ(languages.CurrentLanguageName(), "deutsch");
    EXPECT_EQ(languages.CurrentLanguageFile(), "");
    EXPECT_EQ(languages.GetText("MAIN_DLG", "strLanguageInfo", "Language"), "Language");
    languages.SelectLanguageByIndex(1);
    EXPECT_EQ(languages.CurrentLanguageFile(), Folder() + "1.ini") << "the first pack of that name";
    EXPECT_EQ(languages.GetText("main_dlg", "STRLANGUAGEINFO", "Language"), "Sprache");
    languages.SelectLanguageByIndex(7);
    EXPECT_EQ(languages.CurrentLanguageName(), "Deutsch");
}

TEST_F(Packs, TextsGetTheirControlCharactersAndACut) {
    Add("x.ini", "[Info]\nLanguage=X\n[S]\nlines=one#13two#19three#17\nlong=" + std::string(600, 'a') + "#13\n");
    LanguageManager languages;
    languages.SetLanguageFolder(Folder());
    languages.SelectLanguage("X");
    EXPECT_EQ(languages.GetText("S", "lines", ""), "one\ntwo\tthree\r");
    EXPECT_EQ(languages.GetText("S", "long", ""), std::string(499, 'a'));
    EXPECT_EQ(languages.GetText("S", "missing", "a#13b"), "a\nb");
}

// The shipped packs: English agrees with the program's own defaults, and
// every other pack has every key with the same printf conversions, so a
// translation can never make a formatted message read the wrong argument.
std::vector<std::string> Conversions(const std::string& text) {
    std::vector<std::string> found;
    for (size_t at = text.find('%'); at != std::string::npos; at = text.find('%', at)) {
        size_t end = at + 1;
        while (end < text.size() && std::string_view("-+ #0123456789.").find(text[end]) != std::string_view::npos) ++end;
        if (end < text.size()) ++end;  // the conversion letter, or the second "%" of "%%"
        found.push_back(text.substr(at, end - at));
        at = end;
    }
    return found;
}

TEST(ShippedPacks, EnglishIsTheProgramsOwnDefaults) {
    LanguageManager languages;
    languages.SetLanguageFolder(kShippedPacks);
    languages.SelectLanguage("English");
    ASSERT_EQ(languages.CurrentLanguageFile(), kShippedPacks + "English.ini");
    IniDocument english = IniDocument::Load(kShippedPacks + "English.ini");
    size_t keys = 0;
    for (const EnglishText& text : EnglishTexts()) {
        ASSERT_TRUE(english.Get(text.section, text.key)) << text.section << "/" << text.key;
        EXPECT_EQ(languages.GetText(text.section, text.key, "<missing>"), text.text) << text.section << "/" << text.key;
        ++keys;
    }
    EXPECT_GT(keys, 250u);
    EXPECT_EQ(EnglishDefault("CAPTURE_IMAGE_DLG ", "btnCannelInfo"), "Cannel");
    EXPECT_EQ(EnglishDefault("OPTION_AUDIO_DLG", "strBitrateLabelInfo"), "kbit / s");
    EXPECT_EQ(EnglishDefault("OPTION_VIDEO_DLG", "strBitrateLabelInfo"), "kbits / s");
    EXPECT_EQ(EnglishDefault("FORMAT_DLG", "btnHDTSTooptip"), "HD-TS");
}

TEST(ShippedPacks, EveryPackHasEveryKeyWithTheSameConversions) {
    LanguageManager languages;
    languages.SetLanguageFolder(kShippedPacks);
    std::vector<LanguagePack> packs = languages.Packs();
    std::set<std::string> names;
    for (const LanguagePack& pack : packs) names.insert(pack.name);
    for (const char* expected : {"English", "Deutsch - German", "Français - French", "Español - Spanish",
                                 "简体中文 - Chinese (Simplified)"})
        EXPECT_TRUE(names.count(expected)) << expected;
    for (const LanguagePack& pack : packs) {
        IniDocument doc = IniDocument::Load(kShippedPacks + pack.fileName);
        for (const EnglishText& text : EnglishTexts()) {
            std::optional<std::string> value = doc.Get(text.section, text.key);
            ASSERT_TRUE(value) << pack.fileName << " lacks " << text.section << "/" << text.key;
            EXPECT_FALSE(value->empty()) << pack.fileName << " " << text.key;
            EXPECT_EQ(Conversions(*value), Conversions(text.text)) << pack.fileName << " " << text.key;
        }
    }
}

TEST(ShippedPacks, GermanSystemsGetTheGermanPack) {
    LanguageManager languages;
    languages.SetLanguageFolder(kShippedPacks);
    EXPECT_EQ(languages.DefaultLanguageName(MakeLanguageId(7, 1)), "Deutsch - German");
    EXPECT_EQ(languages.DefaultLanguageName(MakeLanguageId(4, 2)), "简体中文 - Chinese (Simplified)");
    EXPECT_EQ(languages.DefaultLanguageName(MakeLanguageId(9, 1)), "English");
}

}  // namespace
}  // namespace kinolux
