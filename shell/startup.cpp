#include "shell/startup.h"

#include <QApplication>
#include <QPalette>

#include "bindings/castor.h"
#include "bindings/veneer.h"
#include "controlkit/artwork.h"
#include "platform/message_boxes.h"
#include "platform/qt_platform.h"
#include "platform/report.h"
#include "platform/whole_command_line.h"
#include "profiles/app_settings.h"
#include "profiles/language_manager.h"
#include "shell/command_line.h"
#include "shell/command_line_run.h"
#include "shell/console.h"
#include "shell/main_window.h"

#include <QDir>
#include <QFileInfo>
#include <QTimer>

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

// The arguments that name files or folders, as a desktop file's
// "Exec=kinolux %F" passes what the user opened with the program.
QStringList PathArguments(int argc, char** argv) {
    QStringList paths;
    for (int i = 1; i < argc; ++i) {
        const QFileInfo info(QString::fromLocal8Bit(argv[i]));
        if (info.exists()) paths << info.absoluteFilePath();
    }
    return paths;
}

int RunWindow(const QStringList& paths) {
    if (!HasDisplay()) {
        ReportMessage(
            "Kinolux found no display for its window (neither DISPLAY nor WAYLAND_DISPLAY is set).\n"
            "Convert from the command line instead, for example: kinolux /f in.swf /o out.mpg\n"
            "kinolux /h lists the switches.");
        return 1;
    }
    MainWindow window;
    if (!paths.isEmpty()) QTimer::singleShot(0, &window, [&window, paths] { window.AddPaths(paths); });
    window.exec();
    return 0;
}

}  // namespace

void PrepareApplicationLook(QApplication& app) {
    // Control containment and 3-D controls need nothing here.
    QVS_InitSkin(1, 1, "kinolux_skin");
    SetDialogColours(app);
}

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
    // The desktop matches the window to its menu entry by this name.
    QGuiApplication::setDesktopFileName(QStringLiteral("kinolux"));
    QApplication::setWindowIcon(artwork::ApplicationIcon());
    MessageBoxes boxes;

    PrepareApplicationLook(app);
    EncoderLifetime encoder;
    LoadAppSettings(CurrentAppSettings(), Languages());

    if (scan == ParseResult::Console) {
        AnnounceCommandLineJob();
        return RunCommandLine(job);
    }
    return RunWindow(PathArguments(argc, argv));
}

}  // namespace kinolux
