#include "shell/convert_task.h"

#include "engine/conversion_task.h"

namespace kinolux {

RunOutcome ConvertTask(ConversionTask& task, MovieWindow& movieWindow, InteractiveCapture& interactive,
                       QWidget* parent) {
    SetCurrentTask(&task);
    ProgressWindow window(movieWindow, &interactive, parent);
    const RunOutcome outcome = window.Run();
    SetCurrentTask(nullptr);
    return outcome;
}

}  // namespace kinolux
