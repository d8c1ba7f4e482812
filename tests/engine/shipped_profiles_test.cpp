#include <gtest/gtest.h>

#include <filesystem>

#include "engine/argument_builder.h"
#include "platform/ini_document.h"
#include "profiles/profile_store.h"
#include "tests/engine/shipped_profiles.h"

namespace kinolux {
namespace {

using testing::CatalogueProfileFiles;
using testing::ShippedIniFolder;

TEST(ShippedProfiles, EveryCatalogueFileIsThereWithProfilesThatBuild) {
    size_t profiles = 0;
    for (const std::string& file : CatalogueProfileFiles()) {
        std::string path = ShippedIniFolder() + file;
        std::vector<std::string> names = ListProfileNames(path);
        ASSERT_FALSE(names.empty()) << file;
        for (const std::string& name : names) {
            ProfileSettings profile{};
            LoadProfile(name, profile, path);
            EXPECT_FALSE(profile.FormatName.empty()) << file << " " << name;
            EXPECT_FALSE(profile.TargetType.empty()) << file << " " << name;
            ConversionTask task;
            task.profile = profile;
            task.outputPath = "/nonexistent/out." + profile.TargetType;
            EXPECT_TRUE(BuildFinalEncoding(task, "/nonexistent/in.avi").ok()) << file << " " << name;
            if (IsStillImageProfile(profile)) {
                EXPECT_TRUE(name.find("with alpha") != std::string::npos || name.find("no alpha") != std::string::npos)
                    << name;
            } else {
                EXPECT_FALSE(profile.cAudioCodec.empty() || profile.cVideoCodec.empty()) << file << " " << name;
            }
            ++profiles;
        }
    }
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(ShippedIniFolder()), {}),
              static_cast<std::ptrdiff_t>(CatalogueProfileFiles().size() + 1))
        << "the catalogue's files and qlxdef.ini, nothing else";
    EXPECT_GT(profiles, 100u);
}

TEST(ShippedProfiles, TheProfilesOthersNameExist) {
    auto has = [](const std::string& file, const std::string& name) {
        return IniDocument::Load(ShippedIniFolder() + file).HasSection(name);
    };
    EXPECT_TRUE(has("huffyuv.ini", "Huffyuv Avi normal quality"));
    EXPECT_TRUE(has("ntscdvd.ini", "mpg Normal"));
    EXPECT_TRUE(has("mpg.ini", "mpg Normal"));
    EXPECT_TRUE(has("jpegimg.ini", "JPEG images Normal"));
    EXPECT_TRUE(has("pngimg.ini", "PNG images with alpha"));
    EXPECT_TRUE(has("pngimg.ini", "PNG images no alpha"));
    EXPECT_TRUE(has("psp.ini", "PSP Video"));
    ProfileSettings huffyuv{};
    ReadProfile("Huffyuv Avi normal quality", huffyuv, ShippedIniFolder() + "huffyuv.ini");
    EXPECT_EQ(huffyuv.cVideoCodec, "huffyuv");
    EXPECT_EQ(huffyuv.cAudioCodec, "pcm_s16le");
    EXPECT_EQ(huffyuv.TargetType, "avi");
    ProfileSettings jpeg{};
    ReadProfile("JPEG images Normal", jpeg, ShippedIniFolder() + "jpegimg.ini");
    EXPECT_EQ(jpeg.TargetType, "jpg");
    IniDocument defaults = IniDocument::Load(ShippedIniFolder() + "qlxdef.ini");
    EXPECT_TRUE(has(defaults.Get("OUTPUT_DEFAULT", "outputinifile").value_or(""),
                    defaults.Get("OUTPUT_DEFAULT", "outputprofile").value_or("")));
}

}  // namespace
}  // namespace kinolux
