#include "capture/shockwave_flash.h"
#include "platform/paths.h"
#include "platform/report.h"
#include "profiles/app_settings.h"
#include "profiles/language_manager.h"
#include "profiles/options_sheet.h"
#include "profiles/profile_geometry.h"
#include "profiles/profile_store.h"
#include "shell/command_line_task.h"
#include "shell/main_window.h"
#include "shell/probe_rules.h"
#include "shell/task_list_model.h"
#include "shell/unique_output_path.h"

#include <QLineEdit>
#include <QRadioButton>

namespace kinolux {

namespace {
constexpr const char* kSection = "MAIN_DLG";

// After the profile of a probed task changed: its source, the default bit
// rate and the aspect fit.
void PrepareForSource(ConversionTask& task) {
    task.profile.nSourceAspect = 0;
    PrepareProfileForSource(task.profile, task.sourceWidth, task.sourceHeight, task.aspectFitIndex);
}
}  // namespace

void MainWindow::ChangeFormat() {
    const int row = SingleSelectedRow(true);
    if (row < 0) return;
    ConversionTask& task = tasks_->Task(row);
    const std::optional<FormatChoice> choice = prompts_.chooseFormat(this, task.aspectFitIndex);
    if (!choice) return;
    task.profile = choice->profile;
    task.aspectFitIndex = choice->aspectFitIndex;
    PrepareForSource(task);
    task.outputPath = MakeUniqueOutputPath(WithoutExtension(task.outputPath) + "." + task.profile.TargetType,
                                           task.inputPath, IsImageSequenceProfile(task.profile));
    task.alphaFlag = AlphaFlagForProfile(task.profile);
    ShowTask(row);
}

void MainWindow::ChooseProfile(int index) {
    const int row = SingleSelectedRow(false);
    if (row < 0 || index < 0) return;
    ConversionTask& task = tasks_->Task(row);
    const std::vector<std::string> names = ListProfileNames(task.profile.ProfileFile);
    if (static_cast<size_t>(index) >= names.size()) return;
    ReadProfile(names[static_cast<size_t>(index)], task.profile, task.profile.ProfileFile);
    PrepareForSource(task);
    SetDefaultProfileName(FileNameOf(task.profile.ProfileFile), task.profile.ProfileName);
    task.alphaFlag = AlphaFlagForProfile(task.profile);
    ShowTask(row);
}

void MainWindow::SetFormatAsDefault() {
    const int row = SingleSelectedRow(true);
    if (row < 0) return;
    const ConversionTask& task = tasks_->Task(row);
    WriteOutputDefault({FileNameOf(task.profile.ProfileFile), task.profile.ProfileName, task.aspectFitIndex});
}

void MainWindow::ChooseOutputFile() {
    const int row = SingleSelectedRow(true);
    if (row < 0) return;
    ConversionTask& task = tasks_->Task(row);
    const QString type = QString::fromStdString(task.profile.TargetType);
    const QString chosen =
        prompts_.chooseOutputFile(this, QString::fromStdString(task.outputPath), type + " files (*." + type + ")");
    if (chosen.isEmpty()) return;
    task.outputPath = WithoutExtension(chosen.toStdString()) + "." + task.profile.TargetType;
    Get<QLineEdit>(kOutputFile)->setText(QString::fromStdString(task.outputPath));
}

void MainWindow::ChooseOutputFolder() {
    const QString chosen =
        prompts_.chooseFolder(this, table_->Text("strFolderTitleInfo"), table_->Text("strFolderDescInfo"));
    if (chosen.isEmpty()) return;
    std::string folder = chosen.toStdString();
    if (!folder.ends_with('/')) folder += '/';
    AppSettings& settings = CurrentAppSettings();
    const bool changed = folder != settings.convertDir;
    settings.convertDir = folder;
    SaveAppSettings(settings);
    if (!changed) return;
    Get<QLineEdit>(kOutputFolder)->setText(chosen.endsWith('/') ? chosen : chosen + '/');
    if (tasks_->rowCount() == 0 || !prompts_.ask(Text(kSection, "strChangeOutputFolderTipsInfo"))) return;
    for (int row = 0; row < tasks_->rowCount(); ++row) {
        ConversionTask& task = tasks_->Task(row);
        task.outputPath = folder + FileNameOf(task.outputPath);
    }
    // The selected task's file name follows at once, where a person looks.
    if (const int row = SingleSelectedRow(false); row >= 0)
        Get<QLineEdit>(kOutputFile)->setText(QString::fromStdString(tasks_->Task(row).outputPath));
}

void MainWindow::SetOutputMode(int32_t mode) {
    const int row = SingleSelectedRow(true);
    if (row < 0) {
        for (int id : {kAuto, kOnePass, kTwoPasses}) {
            auto* radio = Get<QRadioButton>(id);
            radio->setAutoExclusive(false);
            radio->setChecked(false);
            radio->setAutoExclusive(true);
        }
        return;
    }
    ConversionTask& task = tasks_->Task(row);
    if (mode == kOutputAuto && task.outFrame - task.inFrame < 5) {
        ReportMessage("You set the convert frame less than 5, can`t use automatic mode!");
        if (task.outputMode != kOutputInteractiveOnePass) task.outputMode = kOutputInteractiveTwoPasses;
    } else {
        task.outputMode = mode;
    }
    preview_->SetAllowClicks(PreviewAllowsClicks(task.outputMode) ? 1 : 0);
    ShowTask(row);
}

void MainWindow::ShowOptions() {
    const int row = SingleSelectedRow(true);
    if (row < 0) return;
    ConversionTask& task = tasks_->Task(row);
    if (RunOptionsSheet(this, task.profile, task.sourceWidth, task.sourceHeight) == OptionsSheet::Close::Cancelled)
        return;
    // A profile saved under a new name is listed and chosen at once.
    ShowTask(row);
}

}  // namespace kinolux
