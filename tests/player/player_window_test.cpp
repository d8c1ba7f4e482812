// The player's window as the main program and the user meet it: found by
// its caption on the bus, a tool window with the house colours, and with a
// path missing it opens, plays nothing and still closes properly.
#include "player/player_dialog.h"
#include "tests/capture/flash_host_support.h"
#include "tests/platform/scoped_temp_folder.h"

#include <gtest/gtest.h>

#include <QLabel>
#include <QProgressBar>
#include <unistd.h>

namespace kinolux {
namespace {

TEST(PlayerWindow, WithAPathMissingOpensPlaysNothingAndClosesOnRequest)
{
    testing::UseBuiltProgramFolder();
    testing::ScopedTempFolder runtime;
    setenv("XDG_RUNTIME_DIR", runtime.path().c_str(), 1);
    testing::ScopedTempFolder folder;
    PlayerArguments arguments;
    arguments.inputPath = folder / "movie.swf";
    arguments.wavPath = folder / "~temp.wav";
    arguments.frameRate = 25;
    arguments.consoleMode = 1;

    PlayerDialog dialog(arguments);
    EXPECT_EQ(dialog.windowTitle(), "Kinolux - extract audio");
    EXPECT_TRUE(dialog.windowFlags() & Qt::Tool) << "no taskbar button";
    const auto labels = dialog.findChildren<QLabel*>();
    ASSERT_EQ(labels.size(), 1);
    EXPECT_EQ(labels[0]->palette().color(QPalette::WindowText), QColor(0x5D, 0x79, 0xA1));
    ASSERT_EQ(dialog.findChildren<QProgressBar*>().size(), 1);
    ASSERT_NE(dialog.OwnWindow(), 0u);
    EXPECT_EQ(FindWindow(kPlayerCaption, getpid()), dialog.OwnWindow());

    ::testing::internal::CaptureStdout();
    dialog.StartPlayback();
    EXPECT_FALSE(std::filesystem::exists(arguments.wavPath)) << "nothing is played without a sync path";
    BusMessage close;
    close.message = WM_CLOSE;
    ASSERT_TRUE(PostMessage(dialog.OwnWindow(), close));
    EXPECT_EQ(dialog.Run(), 0);
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "can not send the close message\n");
    EXPECT_FALSE(dialog.isVisible());
}

}  // namespace
}  // namespace kinolux
