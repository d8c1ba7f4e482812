#include "shell/startup.h"

#include <QApplication>
#include <QPalette>

#include "bindings/castor.h"
#include "bindings/veneer.h"
#include "platform/message_boxes.h"
#include "platform/qt_platform.h"
#include "platform/report.h"
#include "platform/whole_command_line.h"
#include "profiles/app_settings.h"
#include "profiles/language_manager.h"
#include "shell/command_line.h"
#include "shell/command_line_run.h"
#include "shell/console.h"
#include "shell/placeholder_window.h"

namespace kinolux {

namespace {

// Light blue dialogs with black text, RGB(217, 234, 255).
void SetDialogColours(QApplication& app) {
    QPalette palette = app.palette();
    palette.setColor(QPalette::Window, QColor(217, 234, 255));
    palette.setColor(QPalette::WindowText, Qt::black);
    app.setPalette(palette);
}

// The encoder's clean-up runs once however the program leaves.
struct EncoderLifetime {
    EncoderLifetime() { CSInit(); }
    ~EncoderLifetime() { CSExit(); }
};

int RunWindow() {
    if (!HasDisplay()) {
        ReportMessage(
            "Kinolux found no display for its window (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "Convert from the command line instead, for example: kinolux /f in.swf /o out.mpg\n"
            "kinolux /h lists the switches.");
        return 1;
    }
    RunPlaceholderWindow();
    return 0;
}

}  // namespace

int RunKinolux(int argc, char** argv) {
    // The switches are scanned before the application object exists, because
    // the command-line mode must choose Qt's platform first; they are acted
    // on in their place of the sequence below.
    CommandLineJob job;
    job.commandLine = WholeCommandLine(argc, argv);
    std::string refusal;
    const ParseResult scan = ParseCommandLine(job, refusal);
    if (scan == ParseResult::Refused) {
        SetConsoleMode(1);
        ReportMessage(refusal + " Nothing was converted.");
        return 2;
    }
    SelectQtPlatform(scan == ParseResult::Console);
    RouteQtMessagesToDebugOutput();
    QApplication app(argc, argv);
    QApplication::setApplicationDisplayName(QStringLiteral("Kinolux"));
    MessageBoxes boxes;

    // Control containment and 3-D controls need nothing here.
    QVS_InitSkin(1, 1, "kinolux_skin");
    SetDialogColours(app);
    EncoderLifetime encoder;
    LoadAppSettings(CurrentAppSettings(), Languages());

    if (scan == ParseResult::Console) {
        AnnounceCommandLineJob();
        return RunCommandLine(job);
    }
    return RunWindow();
}

}  // namespace kinolux
