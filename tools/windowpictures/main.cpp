// windowpictures OUTPUT_FOLDER MOVIE
// Opens the main window as the program does and saves what a person sees:
// the empty window, the window with three movies, the preview of one of
// them at a middle frame with its in and out marks set, the format chooser,
// each page of the options sheet, the new profile's name dialog and the
// progress window in the middle of a conversion, as PNG files.
#include "capture/dialog_units.h"
#include "controlkit/skin_slider.h"
#include "controlkit/skin_tabs.h"
#include "conversion_window/progress_window.h"
#include "platform/report.h"
#include "profiles/app_settings.h"
#include "profiles/format_chooser.h"
#include "profiles/language_manager.h"
#include "profiles/new_profile_dialog.h"
#include "profiles/options_sheet.h"
#include "shell/main_window.h"
#include "shell/preview_controls.h"
#include "shell/startup.h"
#include "shell/task_list_model.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTableView>
#include <QTimer>
#include <cstdio>

namespace {

// Lets the window system and the movie catch up for `ms`.
void Settle(int ms) {
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The whole window, or the part of it in `area`.
bool Save(QWidget& window, const QString& path, const QRect& area = QRect(QPoint(0, 0), QSize(-1, -1))) {
    const bool saved = window.grab(area).save(path);
    std::printf("%s %s\n", saved ? "wrote" : "could not write", qPrintable(path));
    return saved;
}

// The sample's middle frame between marks a third of the way in from
// either end, as a person sets them: drag, "[", drag, "]", drag.
void MarkAndShowMiddleFrame(kinolux::PreviewControls& preview) {
    using P = kinolux::PreviewControls;
    auto* slider = preview.Get<kinolux::SkinSlider>(P::kSlider);
    const auto dragTo = [slider](int frame) {
        slider->setSliderDown(true);
        slider->setSliderPosition(frame);
        slider->setSliderDown(false);
    };
    const int last = slider->maximum();
    preview.Get<QPushButton>(P::kPause)->click();
    dragTo(last / 3);
    preview.Get<QPushButton>(P::kMarkIn)->click();
    dragTo(last * 2 / 3);
    preview.Get<QPushButton>(P::kMarkOut)->click();
    dragTo(last / 2);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 3) {
        std::fprintf(stderr, "usage: windowpictures OUTPUT_FOLDER MOVIE\n");
        return 2;
    }
    QApplication app(argc, argv);
    kinolux::PrepareApplicationLook(app);
    kinolux::LoadAppSettings(kinolux::CurrentAppSettings(), kinolux::Languages());
    const QString folder = QDir(QString::fromLocal8Bit(argv[1])).absolutePath();
    QDir().mkpath(folder);
    kinolux::AppSettings& settings = kinolux::CurrentAppSettings();
    settings.firstUse = 1;
    settings.autoShowFormatDialog = 1;
    settings.convertDir = (folder + "/output/").toStdString();
    QDir().mkpath(folder + "/output");
    bool ok = true;

    kinolux::MainWindow window;
    window.show();
    Settle(400);
    if (QMenu* menu = window.LastMenu()) menu->close();
    Settle(100);
    ok &= Save(window, folder + "/main-window-empty.png");

    QStringList movies;
    for (const char* name : {"intro.swf", "banner.swf", "cartoon.swf"}) {
        const QString copy = folder + "/movies/" + name;
        QDir().mkpath(folder + "/movies");
        QFile::remove(copy);
        QFile::copy(QString::fromLocal8Bit(argv[2]), copy);
        movies << copy;
    }
    window.AddPaths(movies);
    window.Tasks().SetChecked(1, false);
    window.List().selectRow(0);
    Settle(1500);
    ok &= Save(window, folder + "/main-window.png");

    MarkAndShowMiddleFrame(window.Preview());
    Settle(300);
    // The preview's half of the window: its frame with everything inside.
    const QRect previewSide = kinolux::DialogUnitsToPixels(window, QRect(199, 38, 187, 202)).adjusted(-4, -4, 4, 4);
    ok &= Save(window, folder + "/preview.png", previewSide);

    kinolux::FormatChooser chooser(0, &window);
    chooser.show();
    Settle(400);
    ok &= Save(chooser, folder + "/format-chooser.png");
    chooser.close();

    // The first task's options, page by page, and the name a "Save as" asks for.
    {
        kinolux::OptionsSheet sheet(window.Tasks().Task(0).profile, &window);
        sheet.show();
        const char* pages[] = {"audio", "video", "resize", "crop-pad"};
        for (int page = 0; page < 4; ++page) {
            sheet.Tabs().setCurrentIndex(page);
            Settle(200);
            ok &= Save(sheet, folder + "/options-" + pages[page] + ".png");
        }
        sheet.close();
        kinolux::NewProfileDialog name("New " + window.Tasks().Task(0).profile.ProfileName, &window);
        name.show();
        Settle(200);
        ok &= Save(name, folder + "/new-profile-name.png");
        name.close();
    }

    // The first task's progress window, a moment after it opens (a fast
    // conversion of the sample is over in about a second); then Cancel.
    bool grabbed = false;
    QTimer watch;
    QElapsedTimer since;
    QObject::connect(&watch, &QTimer::timeout, [&] {
        kinolux::ProgressWindow* progress = nullptr;
        for (QObject* child : window.children())
            if (auto* run = dynamic_cast<kinolux::ProgressWindow*>(child)) progress = run;
        // The run's closing words after Cancel need no answer here.
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) box->accept();
        if (!progress || grabbed) return;
        if (!since.isValid()) since.start();
        if (since.elapsed() < 400) return;
        grabbed = Save(*progress, folder + "/progress-window.png");
        progress->Cancel();
    });
    watch.start(100);
    window.Tasks().SetChecked(2, false);
    window.Convert();
    watch.stop();
    ok &= grabbed;
    window.close();
    return ok ? 0 : 1;
}
