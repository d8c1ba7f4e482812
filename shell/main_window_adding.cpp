#include "capture/shockwave_flash.h"
#include "platform/paths.h"
#include "platform/program_folder.h"
#include "platform/report.h"
#include "profiles/app_settings.h"
#include "profiles/language_manager.h"
#include "profiles/profile_store.h"
#include "shell/browser_caches.h"
#include "shell/command_line_task.h"
#include "shell/main_window.h"
#include "shell/movie_scan.h"
#include "shell/task_list_model.h"
#include "shell/unique_output_path.h"
#include "shell/wait_cursor.h"

#include <QCoreApplication>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>

namespace kinolux {

namespace {
constexpr const char* kSection = "MAIN_DLG";
constexpr const char* kSubFolderQuestion = "Do you want search sub folder?";

// Keeps the window painted during a long folder walk.
void KeepWindowAlive() { QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents); }
}  // namespace

bool MainWindow::MovieIsReadable(const std::string& path, bool sayWhenNot) {
    if (StartsLikeMovie(path)) return true;
    if (sayWhenNot) ReportMessage("The file " + path + " cannot be read as a Flash movie and was not added.");
    return false;
}

int MainWindow::AddMovie(const std::string& path, bool checked) {
    WaitCursor wait;
    OutputDefault output = ReadOutputDefault();
    const bool noDefault = output.fileName.empty() || output.profileName.empty();
    if (batch_ == 1 && (CurrentAppSettings().autoShowFormatDialog == 0 || noDefault)) {
        if (const std::optional<FormatChoice> choice = prompts_.chooseFormat(this, output.calcAspect)) {
            output.fileName = FileNameOf(choice->profile.ProfileFile);
            output.profileName = choice->profile.ProfileName;
            output.calcAspect = choice->aspectFitIndex;
        }
        WriteOutputDefault(output);
        batch_ = 0;
    }
    std::unique_ptr<ConversionTask> task =
        CreateConversionTask(path, ProfileFilePath(output.fileName), output.profileName, output.calcAspect);
    const std::string wanted =
        CurrentAppSettings().convertDir + WithoutExtension(FileNameOf(path)) + "." + task->profile.TargetType;
    task->outputPath = MakeUniqueOutputPath(wanted, path, IsImageSequenceProfile(task->profile));
    // The probe replaces it with the movie's own colour.
    task->backgroundColor = 0xFFFFFF;
    task->alphaFlag = AlphaFlagForProfile(task->profile);
    return tasks_->Append(std::move(task), checked);
}

void MainWindow::AddScannedFolder(const std::string& folder, bool byContent, bool recurse) {
    WaitCursor wait;
    const std::vector<std::string> movies =
        ScanFolderForMovies(folder, byContent ? ScanBy::Content : ScanBy::Extension, recurse, KeepWindowAlive);
    for (const std::string& movie : movies) {
        AddMovie(movie, false);
        if (tasks_->rowCount() % 256 == 0) KeepWindowAlive();
    }
}

void MainWindow::CheckLastRow() {
    if (tasks_->rowCount() > 0) tasks_->SetChecked(tasks_->rowCount() - 1, true);
}

void MainWindow::AddPaths(const QStringList& paths) {
    batch_ = 1;
    bool folderAdded = false;
    for (const QString& entry : paths) {
        const std::string path = entry.toStdString();
        if (FolderExists(path)) {
            AddScannedFolder(path, true, prompts_.ask(kSubFolderQuestion));
            folderAdded = true;
        } else if (HasMovieExtension(path) && MovieIsReadable(path, true)) {
            AddMovie(path, true);
        }
    }
    RefreshListState();
    if (folderAdded) CheckLastRow();
}

void MainWindow::AddFiles() {
    batch_ = 1;
    if (lastAddFolder_.isEmpty()) lastAddFolder_ = QString::fromStdString(GetProgramFolder());
    const QStringList files = prompts_.chooseMovies(this, lastAddFolder_);
    if (files.isEmpty()) return;
    lastAddFolder_ = QString::fromStdString(FolderOf(files.front().toStdString()));
    for (const QString& file : files)
        if (MovieIsReadable(file.toStdString(), true)) AddMovie(file.toStdString(), true);
    RefreshListState();
}

void MainWindow::AddFolder() {
    batch_ = 1;
    const QString folder = prompts_.chooseFolder(this, table_->Text("strAddFolderTitleInfo"),
                                                 table_->Text("strAddFolderSpecInfo"));
    if (folder.isEmpty()) return;
    AddScannedFolder(folder.toStdString(), true, prompts_.ask(kSubFolderQuestion));
    RefreshListState();
    CheckLastRow();
}

void MainWindow::AddBrowserCache(int menuCommand) {
    batch_ = 1;
    for (const BrowserCacheFolder& cache : BrowserCacheFolders(menuCommand))
        if (FolderExists(cache.path)) AddScannedFolder(cache.path, cache.byContent, true);
    RefreshListState();
    CheckLastRow();
}

void MainWindow::RemoveSelected() {
    tasks_->RemoveRows(SelectedRows());
    UnloadPreview();
    RefreshListState();
}

void MainWindow::RemoveUnchecked() {
    tasks_->RemoveUnchecked();
    RefreshListState();
}

void MainWindow::ClearList() {
    tasks_->Clear();
    RefreshListState();
}

void MainWindow::dragEnterEvent(QDragEnterEvent* event) {
    if (!converting_ && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void MainWindow::dropEvent(QDropEvent* event) {
    QStringList paths;
    for (const QUrl& url : event->mimeData()->urls())
        if (url.isLocalFile()) paths << url.toLocalFile();
    event->acceptProposedAction();
    AddPaths(paths);
}

}  // namespace kinolux
