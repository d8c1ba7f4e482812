// One conversion of one task from the window: the task becomes current and
// the progress window runs it to its end.
#pragma once

#include "conversion_window/progress_window.h"

class QWidget;

namespace kinolux {

struct ConversionTask;
class InteractiveCapture;
class MovieWindow;

RunOutcome ConvertTask(ConversionTask& task, MovieWindow& movieWindow, InteractiveCapture& interactive,
                       QWidget* parent);

}  // namespace kinolux
