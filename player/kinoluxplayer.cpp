// kinoluxplayer: plays one movie in real time for the main program and
// writes its sound and its frame timing (see player_dialog.h).
#include "bindings/veneer.h"
#include "platform/qt_platform.h"
#include "platform/message_boxes.h"
#include "platform/report.h"
#include "platform/whole_command_line.h"
#include "platform/winmm/wave_sink_choice.h"
#include "player/player_arguments.h"
#include "player/player_dialog.h"

#include <QApplication>
#include <sys/resource.h>

namespace {

// As high as the system lets this user go, so that the ticks keep time on
// a busy machine; a refusal leaves the priority as it was.
void RaiseProcessPriority()
{
    constexpr int kHighPriority = -10;
    setpriority(PRIO_PROCESS, 0, kHighPriority);
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace kinolux;
    std::string problem;
    const std::optional<PlayerArguments> arguments = ParsePlayerCommandLine(WholeCommandLine(argc, argv), problem);
    if (!arguments) {
        DebugOutput("kinoluxplayer: " + problem);
        return 1;
    }
    SetConsoleMode(arguments->consoleMode);
    SelectQtPlatform(arguments->consoleMode != 0);
    RouteQtMessagesToDebugOutput();
    // The device is muted while the sound is captured, so the player always
    // plays on the null device: it paces the sound by the same clock that
    // paces the WAV file, and works on machines without a sound device. It
    // keeps its place however late its threads come back, as the movie's
    // frames catch up with their clock: a device that started over after a
    // stall would lag real time by what it lost from then on, and every
    // sound the engine starts with it, while the frames are back on time.
    winmm::useWaveOutClock(&realClock());

    int qtArgc = 1;
    QApplication application(qtArgc, argv);
    MessageBoxes boxes;
    QVS_InitSkin(1, 1, "kinolux_skin");
    RaiseProcessPriority();
    PlayerDialog dialog(*arguments);
    dialog.StartPlayback();
    return dialog.Run();
}
