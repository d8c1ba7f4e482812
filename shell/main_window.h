// The window of the desktop interface: the list of movies to convert, a
// preview of the selected one, its output settings, the default output
// folder, and Convert, which runs every checked task in list order through
// the progress window. The list is a model that owns the tasks; this window
// displays it and calls it.
//
// The implementation is split by concern: main_window.cpp (building, the
// list state, showing and probing the selected task, closing),
// main_window_menus.cpp (the menus and accelerators), main_window_adding.cpp
// (every way of adding and removing movies), main_window_output.cpp (the
// output settings) and main_window_convert.cpp (Convert). The preview with
// its buttons, slider and picture capture is PreviewControls
// (preview_controls.h).
#pragma once

#include "profiles/dialog_table.h"
#include "profiles/format_chooser.h"
#include "shell/disc_burning.h"
#include "shell/swf_probe.h"

#include <QDialog>
#include <QStringList>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

class QMenu;
class QTableView;

namespace kinolux {

class CShockwaveFlash;
class InteractiveCapture;
class MovieWindow;
class PreviewControls;
class TaskListModel;
struct ConversionTask;

// The window's questions to the user, replaceable where no one answers them.
struct MainWindowPrompts {
    // The movies chosen for "Add file(s)", starting in `folder`; empty on Cancel.
    std::function<QStringList(QWidget* parent, const QString& folder)> chooseMovies;
    // A folder, or empty on Cancel.
    std::function<QString(QWidget* parent, const QString& title, const QString& text)> chooseFolder;
    // The output file for the selected task, or empty on Cancel.
    std::function<QString(QWidget* parent, const QString& current, const QString& filter)> chooseOutputFile;
    // A yes/no question with the information icon.
    std::function<bool(const std::string& text)> ask;
    // The format chooser run modally from `aspectFitIndex`; nothing on Cancel.
    std::function<std::optional<FormatChoice>(QWidget* parent, int aspectFitIndex)> chooseFormat;
    // After a run: the last output shown in the file manager.
    std::function<void(const std::string& lastOutputPath)> showResult;
};
MainWindowPrompts StandardPrompts();

class MainWindow : public QDialog {
public:
    // Item ids of the window's controls.
    enum Item {
        kList = 1001,
        kAdd = 1009,
        kRemove = 1010,
        kConvert = 1024,
        kInfo = 1220,
        kPreview = 1000,
        kAuto = 1134,
        kTwoPasses = 1308,
        kOnePass = 1299,
        kFormatName = 1076,
        kFormats = 1013,
        kProfiles = 1141,
        kOptions = 1007,
        kOutputFile = 1144,
        kChooseOutputFile = 1105,
        kSetDefault = 1017,
        kOutputFolder = 1067,
        kChooseFolder = 1102,
        kOpenFolder = 1108,
        kSettings = 1020,
        kWebPage = 1319,
        kFast = 1330,  // Auto without playing in real time; not in the original window
    };

    explicit MainWindow(MainWindowPrompts prompts = StandardPrompts(), QWidget* parent = nullptr);
    ~MainWindow() override;

    TaskListModel& Tasks() const { return *tasks_; }
    QTableView& List() const { return *list_; }
    PreviewControls& Preview() const { return *previewControls_; }
    QWidget* Control(int id) const { return table_->Widget(id); }
    template <class T> T* Get(int id) const { return table_->Get<T>(id); }
    // The menus as they were last opened (null before).
    QMenu* LastMenu() const { return lastMenu_; }

    // ---- main_window_adding.cpp ----
    // Adds the movies (files, or folders scanned by content) as one adding
    // action: files that are not movies are refused with a message.
    void AddPaths(const QStringList& paths);
    void AddFiles();
    void AddFolder();
    void AddBrowserCache(int menuCommand);
    void RemoveSelected();
    void RemoveUnchecked();
    void ClearList();

    // ---- main_window_output.cpp ----
    void ChangeFormat();
    void ChooseProfile(int index);
    void SetFormatAsDefault();
    void ChooseOutputFile();
    void ChooseOutputFolder();
    void SetOutputMode(int32_t mode);
    void ShowOptions();

    // ---- main_window_convert.cpp ----
    void Convert();
    bool Converting() const { return converting_; }

    // ---- main_window_menus.cpp ----
    void OpenAddMenu(const QPoint& at);
    void OpenRemoveMenu();
    void OpenContextMenu(const QPoint& at);
    void OpenSettingsMenu();
    void ChooseLanguage(size_t index);
    void ShowAbout();

protected:
    void closeEvent(QCloseEvent* event) override;
    void reject() override;
    void keyPressEvent(QKeyEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // ---- main_window.cpp ----
    void BuildList();
    void SkinButtons();
    void BuildPreview();
    void ConnectControls();
    void Relabel();
    // After every add, remove or drop.
    void RefreshListState();
    void OnSelectionChanged();
    // The selected rows in list order.
    std::vector<int> SelectedRows() const;
    // The one selected row; -1 when none is (with the message) or several are.
    int SingleSelectedRow(bool sayWhenNone);
    // Loads the task's movie into the preview and probes it once; false when
    // the movie cannot be read.
    bool LoadAndProbe(ConversionTask& task);
    void ShowTask(int row);
    void UnloadPreview();

    // ---- main_window_adding.cpp ----
    int AddMovie(const std::string& path, bool checked);
    void AddScannedFolder(const std::string& folder, bool byContent, bool recurse);
    void CheckLastRow();
    bool MovieIsReadable(const std::string& path, bool sayWhenNot);

    // ---- main_window_convert.cpp ----
    // The checked tasks' output folders and the default output folder (for
    // the temporary files) can be written; otherwise says which cannot.
    bool OutputFoldersWritable();
    void ConvertRow(int row, BurnList& burn, std::string& lastOutput);

    // ---- main_window_menus.cpp ----
    void AddAccelerators();
    QMenu* NewMenu();

    MainWindowPrompts prompts_;
    std::unique_ptr<DialogTable> table_;
    TaskListModel* tasks_ = nullptr;  // a child
    QTableView* list_ = nullptr;
    QWidget* emptyListHint_ = nullptr;
    std::unique_ptr<PreviewControls> previewControls_;
    CShockwaveFlash* preview_ = nullptr;  // the preview's control
    std::unique_ptr<MovieWindow> movieWindow_;
    std::unique_ptr<InteractiveCapture> interactive_;
    SwfProbe probe_;
    std::string previewPath_;
    QString lastAddFolder_;
    int movieLoaded_ = 0;
    int batch_ = 0;
    bool converting_ = false;
    bool closeRequested_ = false;
    QMenu* lastMenu_ = nullptr;
};

}  // namespace kinolux
