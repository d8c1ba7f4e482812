#include "capture/shockwave_flash.h"
#include "platform/paths.h"
#include "platform/report.h"
#include "profiles/app_settings.h"
#include "shell/convert_task.h"
#include "shell/main_window.h"
#include "shell/post_process.h"
#include "shell/probe_rules.h"
#include "shell/task_list_model.h"
#include "shell/unique_output_path.h"

#include <QCoreApplication>
#include <QLineEdit>
#include <QThread>
#include <set>
#include <unistd.h>

namespace kinolux {

namespace {

// Dropping the preview's movie: a name that does not exist leaves an empty stage.
constexpr const char* kNoMovie = "null.swf";
constexpr unsigned long kBetweenTasksMs = 100;

bool CanWriteInto(const std::string& folder) {
    MakeFoldersUpToLastSlash(folder + "/");
    return ::access(folder.c_str(), W_OK | X_OK) == 0;
}

}  // namespace

bool MainWindow::OutputFoldersWritable() {
    std::set<std::string> folders{CurrentAppSettings().convertDir};
    for (int row = 0; row < tasks_->rowCount(); ++row)
        if (tasks_->IsChecked(row)) folders.insert(FolderOf(tasks_->Task(row).outputPath));
    for (const std::string& folder : folders) {
        if (folder.empty() || CanWriteInto(folder)) continue;
        ReportMessage("The output folder " + folder + " cannot be written. Nothing was converted.");
        return false;
    }
    return true;
}

void MainWindow::Convert() {
    if (converting_ || !OutputFoldersWritable()) return;
    converting_ = true;
    preview_->SetMovie(kNoMovie);
    preview_->Stop();
    previewPath_.clear();
    BurnList burn;
    std::string lastOutput;
    // The count is read again after each task: nothing may change it now,
    // but the loop must not run past the list's end whatever happens.
    for (int row = 0; row < tasks_->rowCount() && !closeRequested_; ++row)
        if (tasks_->IsChecked(row)) ConvertRow(row, burn, lastOutput);
    converting_ = false;
    if (!lastOutput.empty() && !closeRequested_) {
        prompts_.showResult(lastOutput);
        LaunchDiscBurner(burn);
    }
    if (closeRequested_) close();
}

void MainWindow::ConvertRow(int row, BurnList& burn, std::string& lastOutput) {
    ConversionTask& task = tasks_->Task(row);
    ProbeTaskOnce(probe_, task, ProbePath::ConversionStart);
    if (task.totalFrames <= 0 || task.sourceWidth <= 0 || task.sourceHeight <= 0) {
        ReportMessage("The movie " + task.inputPath + " cannot be read as a Flash movie. It was not converted.");
        return;
    }
    task.outputPath = MakeUniqueOutputPath(task.outputPath, task.inputPath, IsImageSequenceProfile(task.profile));
    if (SingleSelectedRow(false) == row) Get<QLineEdit>(kOutputFile)->setText(QString::fromStdString(task.outputPath));
    preview_->SetMovie(kNoMovie);
    preview_->Stop();
    const RunOutcome outcome = ConvertTask(task, *movieWindow_, *interactive_, this);
    if (outcome != RunOutcome::Completed) return;
    lastOutput = task.outputPath;
    if (!task.profile.PostProcess.empty()) RunPostProcess(task.outputPath, task.profile.PostProcess);
    QThread::msleep(kBetweenTasksMs);
    QCoreApplication::processEvents();
    CollectBurnableOutput(burn, task);
}

}  // namespace kinolux
