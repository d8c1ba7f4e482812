// Finding the engine module among the loaded objects: the registered one
// first, then the usual names, and never by loading anything.
#include "capture/flash_module.h"
#include "platform/paths.h"
#include "platform/settings_store.h"
#include "tests/capture/fake_engine_module.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

namespace kinolux {
namespace {

using testing::FakeEngine;
using testing::FakeEnginePath;
using testing::ScopedSettingsHome;

void RegisterModule(const std::string& path) {
    ASSERT_TRUE(SettingsStore("HKCR").WriteString(kFlashControlServerKey, "", path));
}

TEST(FindFlashModule, RegisteredModuleWinsOverTheUsualNames) {
    ScopedSettingsHome home;
    FakeEngine usual("libswflash.so");
    FakeEngine registered("libkinolux_fake_engine_patch.so");
    ASSERT_TRUE(usual.Loaded() && registered.Loaded());
    // Only the file name counts: the folder of the registration may differ.
    RegisterModule("/opt/elsewhere/libkinolux_fake_engine_patch.so");
    EXPECT_EQ(FindFlashModule(), registered.Header());
}

TEST(FindFlashModule, FallsBackToTheUsualNamesInTheirOrder) {
    ScopedSettingsHome home;
    EXPECT_EQ(FindFlashModule(), nullptr);
    FakeEngine usual("libswflash.so");
    ASSERT_TRUE(usual.Loaded());
    EXPECT_EQ(FindFlashModule(), usual.Header());
    RegisterModule("/opt/flash/libnot_loaded_anywhere.so");
    EXPECT_EQ(FindFlashModule(), usual.Header());
    FakeEngine earlier("libflash8.so");
    ASSERT_TRUE(earlier.Loaded());
    EXPECT_EQ(FindFlashModule(), earlier.Header());
    EXPECT_EQ(LinuxModuleName("Flash.ocx"), "libflash.so");
    EXPECT_EQ(LinuxModuleName("Flash8.ocx"), "libflash8.so");
    EXPECT_EQ(LinuxModuleName("WINMM.DLL"), "libwinmm.so");
}

TEST(FindFlashModule, NeverLoadsTheRegisteredModule) {
    ScopedSettingsHome home;
    const std::string path = FakeEnginePath("libkinolux_fake_engine_never_loaded.so");
    ASSERT_TRUE(PathExists(path));
    RegisterModule(path);
    EXPECT_EQ(FindFlashModule(), nullptr);
    EXPECT_EQ(dlopen(path.c_str(), RTLD_LAZY | RTLD_NOLOAD), nullptr);
}

}  // namespace
}  // namespace kinolux
