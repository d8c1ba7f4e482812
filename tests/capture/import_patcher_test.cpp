// Redirecting a loaded module's imports: the stand-in engine's plain calls
// reach the replacements, its read-only table stays read-only, and every
// refusal carries its error code.
#include "capture/import_patcher.h"
#include "capture/last_error.h"
#include "tests/capture/fake_engine_module.h"

#include <gtest/gtest.h>

#include <array>
#include <fstream>
#include <string>
#include <vector>

namespace kinolux {
namespace {

using testing::FakeEngine;

DWORD ReplacementClock() { return 4242; }
MMRESULT ReplacementWrite(HWAVEOUT, LPWAVEHDR, UINT) { return 77; }

const void* LibraryFunction(const char* name) { return dlsym(RTLD_DEFAULT, name); }

std::vector<std::string> MappingsOf(const std::string& path) {
    std::ifstream maps("/proc/self/maps");
    std::vector<std::string> lines;
    for (std::string line; std::getline(maps, line);)
        if (line.find(path) != std::string::npos) lines.push_back(line);
    return lines;
}

TEST(PatchImports, RedirectsPlainCallsAndKeepsTheTableReadOnly) {
    FakeEngine engine("libkinolux_fake_engine_patch.so");
    ASSERT_TRUE(engine.Loaded());
    const auto mappingsBefore = MappingsOf(engine.Path());

    // Names match without regard to case; a null replacement leaves its slot alone.
    const std::array<HookEntry, 3> entries = {{
        {"TIMEGETTIME", reinterpret_cast<const void*>(&ReplacementClock)},
        {"waveOutOpen", nullptr},
        {"timeBeginPeriod", reinterpret_cast<const void*>(&ReplacementClock)},
    }};
    std::array<const void*, 3> previous = {&entries, &entries, &entries};
    uint32_t patched = 99;
    ASSERT_EQ(PatchImports(engine.Header(), "WINMM.DLL", 3, entries.data(), previous.data(), &patched), 1);
    EXPECT_EQ(LastErrorCode(), kErrorSuccess);
    EXPECT_EQ(patched, 1u);
    EXPECT_EQ(previous[0], LibraryFunction("timeGetTime"));
    EXPECT_EQ(previous[1], nullptr);
    EXPECT_EQ(previous[2], nullptr) << "the module does not import timeBeginPeriod";
    EXPECT_EQ(engine.Time(), 4242u);
    EXPECT_EQ(engine.ClockAddress(), reinterpret_cast<const void*>(&ReplacementClock));
    EXPECT_EQ(MappingsOf(engine.Path()), mappingsBefore) << "every page got its old protection back";

    // The other imports still reach the library.
    WAVEHDR header{};
    EXPECT_EQ(engine.Write(reinterpret_cast<HWAVEOUT>(0x1), &header), MMSYSERR_INVALHANDLE);
    const HookEntry write{"waveOutWrite", reinterpret_cast<const void*>(&ReplacementWrite)};
    ASSERT_EQ(PatchImports(engine.Header(), "winmm.dll", 1, &write, nullptr, nullptr), 1);
    EXPECT_EQ(engine.Write(reinterpret_cast<HWAVEOUT>(0x1), &header), 77u);

    // A slot that already holds its replacement.
    EXPECT_EQ(PatchImports(engine.Header(), "WINMM.DLL", 1, entries.data(), previous.data(), &patched), 0);
    EXPECT_EQ(LastErrorCode(), kErrorAlreadyInitialized);
    EXPECT_EQ(patched, 0u);
}

TEST(PatchImports, LazilyBoundModuleRecordsTheFunctionNotTheResolverStub) {
    FakeEngine engine("libkinolux_fake_engine_lazy.so");
    ASSERT_TRUE(engine.Loaded());
    // waveOutWrite has not been called yet, so its jump slot still leads to the resolver.
    const HookEntry entry{"waveOutWrite", reinterpret_cast<const void*>(&ReplacementWrite)};
    const void* previous = nullptr;
    ASSERT_EQ(PatchImports(engine.Header(), "WINMM.DLL", 1, &entry, &previous, nullptr), 1);
    EXPECT_EQ(previous, LibraryFunction("waveOutWrite"));
    // Repeated calls keep reaching the replacement: no resolver rebinds the slot.
    WAVEHDR header{};
    EXPECT_EQ(engine.Write(reinterpret_cast<HWAVEOUT>(0x1), &header), 77u);
    EXPECT_EQ(engine.Write(reinterpret_cast<HWAVEOUT>(0x1), &header), 77u);
}

TEST(PatchImports, FunctionLookedUpAtRunTimeHasNoSlotToPatch) {
    FakeEngine engine("libkinolux_fake_engine_no_clock.so");
    ASSERT_TRUE(engine.Loaded());
    const HookEntry entry{"timeGetTime", reinterpret_cast<const void*>(&ReplacementClock)};
    const void* previous = &entry;
    uint32_t patched = 5;
    EXPECT_EQ(PatchImports(engine.Header(), "WINMM.DLL", 1, &entry, &previous, &patched), 1);
    EXPECT_EQ(previous, nullptr);
    EXPECT_EQ(patched, 0u);
    EXPECT_NE(engine.Time(), 4242u);
}

TEST(PatchImports, RefusesWhatItCannotPatchWithTheMatchingError) {
    FakeEngine engine("libkinolux_fake_engine_patch.so");
    ASSERT_TRUE(engine.Loaded());
    const HookEntry entry{"timeGetTime", reinterpret_cast<const void*>(&ReplacementWrite)};
    const void* previous = nullptr;

    EXPECT_EQ(PatchImports(engine.Header(), "WINMM.DLL", 0, &entry, &previous, nullptr), 0);
    EXPECT_EQ(LastErrorCode(), kErrorInvalidAddress);
    EXPECT_EQ(PatchImports(engine.Header(), nullptr, 1, &entry, &previous, nullptr), 0);
    EXPECT_EQ(LastErrorCode(), kErrorInvalidAddress);
    EXPECT_EQ(PatchImports(engine.Header(), "WINMM.DLL", 1, reinterpret_cast<const HookEntry*>(16), &previous,
                           nullptr),
              0);
    EXPECT_EQ(LastErrorCode(), kErrorInvalidAddress);
    static const void* const readOnly[1] = {nullptr};
    EXPECT_EQ(PatchImports(engine.Header(), "WINMM.DLL", 1, &entry, const_cast<const void**>(readOnly), nullptr), 0);
    EXPECT_EQ(LastErrorCode(), kErrorInvalidAddress);

    EXPECT_EQ(PatchImports(nullptr, "WINMM.DLL", 1, &entry, &previous, nullptr), 0);
    EXPECT_EQ(LastErrorCode(), kErrorInvalidParameter);
    EXPECT_EQ(PatchImports(reinterpret_cast<ModuleHandle>(8), "WINMM.DLL", 1, &entry, &previous, nullptr), 0);
    EXPECT_EQ(LastErrorCode(), kErrorBadExeFormat);
    const std::array<unsigned char, 64> notElf{'M', 'Z'};
    EXPECT_EQ(PatchImports(notElf.data(), "WINMM.DLL", 1, &entry, &previous, nullptr), 0);
    EXPECT_EQ(LastErrorCode(), kErrorBadExeFormat);
    std::array<unsigned char, 64> brokenElf{0x7F, 'E', 'L', 'F', 2, 1, 1};
    brokenElf[18] = 0x3E;  // x86-64, but no program headers
    EXPECT_EQ(PatchImports(brokenElf.data(), "WINMM.DLL", 1, &entry, &previous, nullptr), 0);
    EXPECT_EQ(LastErrorCode(), kErrorInvalidExeSignature);

    // A library the module does not depend on: nothing to do, no error.
    EXPECT_EQ(PatchImports(engine.Header(), "KERNEL32.DLL", 1, &entry, &previous, nullptr), 0);
    EXPECT_EQ(LastErrorCode(), kErrorSuccess);
    EXPECT_NE(engine.Time(), 77u) << "nothing was patched by the refusals";
}

}  // namespace
}  // namespace kinolux
