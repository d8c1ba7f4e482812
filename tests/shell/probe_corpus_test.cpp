// Every movie of the render corpus probes to the stage size of its expected
// picture, whether it is compressed or not.
#include <gtest/gtest.h>

#include <QImage>
#include <filesystem>

#include "profiles/app_settings.h"
#include "shell/swf_probe.h"
#include "tests/platform/scoped_temp_folder.h"
#include "tests/platform/outside_requirements.h"

namespace kinolux {
namespace {

namespace fs = std::filesystem;

TEST(ProbeCorpus, StageSizesMatchTheExpectedPictures) {
    const fs::path render = testing::CorpusDir() / "ruffle/render";
    if (!fs::is_directory(render)) KINOLUX_MISSING("the corpus at " << render);
    testing::ScopedTempFolder output;
    CurrentAppSettings().convertDir = output.path() + "/";
    SwfProbe probe;
    probe.SetConsoleFlag(1);
    int compared = 0;
    for (const auto& entry : fs::directory_iterator(render)) {
        const fs::path movie = entry.path() / "test.swf";
        const std::string options = testing::ReadTextFile(entry.path() / "test.toml");
        if (!fs::exists(movie) || options.find("viewport_dimensions") != std::string::npos ||
            options.find("scale_factor") != std::string::npos)
            continue;
        QImage expected;
        for (const auto& file : fs::directory_iterator(entry.path()))
            if (file.path().string().ends_with(".expected.png")) expected.load(QString::fromStdString(file.path()));
        if (expected.isNull()) continue;
        ::testing::internal::CaptureStdout();
        probe.Probe(movie);
        EXPECT_EQ(::testing::internal::GetCapturedStdout(), "") << movie;
        EXPECT_EQ(probe.Result()->width, expected.width()) << movie;
        EXPECT_EQ(probe.Result()->height, expected.height()) << movie;
        EXPECT_GT(probe.Result()->totalFrames, 0) << movie;
        ++compared;
    }
    EXPECT_GT(compared, 50);
    CurrentAppSettings().convertDir.clear();
}

}  // namespace
}  // namespace kinolux
