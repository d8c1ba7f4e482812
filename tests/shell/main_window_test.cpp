// The main window through its real widgets on Qt's offscreen platform:
// adding movies every way, removing them three ways, checking, the output
// settings and the default output folder, the format chooser's choice
// landing in the task, the language switch, and whole conversions of the
// checked tasks, automatic and interactive (a click into the capture window
// and its Stop). Only the file dialogs and the yes/no questions are
// answered by the test.
#include "shell/main_window.h"
#include "capture/flash_pane.h"
#include "capture/movie_window.h"
#include "controlkit/artwork.h"
#include "controlkit/skin_button.h"
#include "conversion_window/progress_window.h"
#include "platform/settings_store.h"
#include "profiles/app_settings.h"
#include "profiles/format_chooser.h"
#include "profiles/profile_store.h"
#include "shell/task_list_model.h"
#include "tests/platform/outside_requirements.h"
#include "tests/platform/run_command.h"
#include "tests/shell/marker_movies.h"
#include "tests/shell/window_test_support.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QMouseEvent>
#include <QPointer>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QTimer>
#include <QUrl>
#include <cstring>
#include <filesystem>

namespace kinolux {
namespace {

namespace fs = std::filesystem;
using testing::SmallMovie;
using testing::WriteFile;

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        WriteOutputDefault({"mp4.ini", "mp4 Normal", -1});
        prompts_ = StandardPrompts();
        prompts_.chooseMovies = [this](QWidget*, const QString& folder) {
            startFolders_ << folder;
            return chosenMovies_;
        };
        prompts_.chooseFolder = [this](QWidget*, const QString&, const QString&) { return chosenFolder_; };
        prompts_.ask = [this](const std::string& text) {
            questions_.push_back(text);
            return answer_;
        };
        prompts_.chooseFormat = [this](QWidget*, int) -> std::optional<FormatChoice> {
            ++chooserRuns_;
            return std::nullopt;
        };
        prompts_.showResult = [this](const std::string& path) { shownResults_.push_back(path); };
    }

    MainWindow& Window() {
        if (!window_) window_ = std::make_unique<MainWindow>(prompts_);
        return *window_;
    }

    std::string Movie(const std::string& name, int frames = 10) { return WriteFile(home_ / ("movies/" + name), SmallMovie(frames)); }

    // Opens the menu of `button` and chooses the item whose text starts with `text`.
    void ChooseFromMenu(int button, const QString& text) {
        Window().Get<QPushButton>(button)->click();
        QMenu* menu = Window().LastMenu();
        ASSERT_NE(menu, nullptr);
        for (QAction* action : menu->actions())
            if (action->text().startsWith(text)) {
                action->trigger();
                return;
            }
        FAIL() << "no item " << text.toStdString();
    }

    void Select(std::initializer_list<int> rows) {
        QTableView& list = Window().List();
        list.clearSelection();
        for (int row : rows)
            list.selectionModel()->select(Window().Tasks().index(row, 0),
                                          QItemSelectionModel::Select | QItemSelectionModel::Rows);
    }

    std::vector<std::string> InputNames() {
        std::vector<std::string> names;
        for (int row = 0; row < Window().Tasks().rowCount(); ++row)
            names.push_back(fs::path(Window().Tasks().Task(row).inputPath).filename());
        return names;
    }

    std::vector<bool> Checks() {
        std::vector<bool> checks;
        for (int row = 0; row < Window().Tasks().rowCount(); ++row) checks.push_back(Window().Tasks().IsChecked(row));
        return checks;
    }

    testing::WindowTestHome home_;
    MainWindowPrompts prompts_;
    std::unique_ptr<MainWindow> window_;
    QStringList chosenMovies_;
    QString chosenFolder_;
    QStringList startFolders_;
    std::vector<std::string> questions_;
    bool answer_ = false;
    int chooserRuns_ = 0;
    std::vector<std::string> shownResults_;
};

TEST_F(MainWindowTest, AnEmptyListLeavesOnlyTheWaysToFillItAndTheFoldersEnabled) {
    MainWindow& window = Window();
    EXPECT_EQ(window.Tasks().rowCount(), 0);
    EXPECT_TRUE(window.Get<QPushButton>(MainWindow::kAdd)->isEnabled());
    EXPECT_TRUE(window.Get<QPushButton>(MainWindow::kChooseFolder)->isEnabled());
    EXPECT_FALSE(window.Get<QPushButton>(MainWindow::kConvert)->isEnabled());
    EXPECT_FALSE(window.Get<QPushButton>(MainWindow::kRemove)->isEnabled());
    EXPECT_FALSE(window.Get<QRadioButton>(MainWindow::kAuto)->isEnabled());
    EXPECT_EQ(window.Get<QLineEdit>(MainWindow::kOutputFolder)->text().toStdString(), home_.OutputFolder());
    // Every control can be found by a screen reader.
    for (QWidget* child : window.findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        if (child->property("itemId").toInt() != 0 && !child->isHidden()) {
            EXPECT_FALSE(child->accessibleName().isEmpty()) << child->property("itemId").toInt();
        }
    const QStringList titles{"File Name", "In", "Out", "Path Name"};
    for (int c = 0; c < 4; ++c)
        EXPECT_EQ(window.Tasks().headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
}

TEST_F(MainWindowTest, TheButtonsWearTheirFacesAndTheRoundOnesTheirOwnShape) {
    MainWindow& window = Window();
    EXPECT_EQ(window.Get<SkinButton>(MainWindow::kAdd)->FaceShown(), artwork::kButtonNormal);
    EXPECT_EQ(window.Get<SkinButton>(MainWindow::kChooseFolder)->FaceShown(), artwork::kButtonNormal);
    for (auto [id, face] : {std::pair{MainWindow::kSettings, artwork::kMenuNormal},
                            std::pair{MainWindow::kWebPage, artwork::kWebNormal}}) {
        auto* round = window.Get<SkinButton>(id);
        EXPECT_EQ(round->FaceShown(), face);
        // A click in the corner of its square misses the round button.
        EXPECT_FALSE(round->Outline().isEmpty());
        EXPECT_FALSE(round->Outline().contains(QPoint(0, 0)));
        EXPECT_FALSE(round->accessibleName().isEmpty());
    }
}

TEST_F(MainWindowTest, AddFilesAddsCheckedTasksAndRefusesWhatIsNoMovie) {
    const std::string a = Movie("a.swf"), b = Movie("b.SWF");
    const std::string fake = WriteFile(home_ / "movies/fake.swf", {'n', 'o', 't', ' ', 'a', ' ', 'm', 'o', 'v', 'i', 'e'});
    chosenMovies_ = {QString::fromStdString(a), QString::fromStdString(fake), QString::fromStdString(b)};
    ::testing::internal::CaptureStdout();
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("fake.swf cannot be read as a Flash movie"), std::string::npos) << said;
    EXPECT_EQ(InputNames(), (std::vector<std::string>{"a.swf", "b.SWF"}));
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true}));
    const ConversionTask& task = Window().Tasks().Task(0);
    EXPECT_EQ(task.profile.ProfileName, "mp4 Normal");
    EXPECT_EQ(task.outputPath, home_.OutputFolder() + "a.mp4");
    // The last one added is selected, loaded and probed.
    EXPECT_EQ(Window().List().selectionModel()->selectedRows().size(), 1);
    EXPECT_EQ(Window().List().selectionModel()->selectedRows().front().row(), 1);
    EXPECT_EQ(Window().Tasks().Task(1).probedFlag, 1);
    EXPECT_EQ(Window().Tasks().Task(1).totalFrames, 10);
    EXPECT_EQ(Window().Get<QLineEdit>(MainWindow::kInfo)->text(), "Width:64,Height:48,Total frames:10,Frame rate:25");
    EXPECT_EQ(Window().Tasks().data(Window().Tasks().index(1, 2), Qt::DisplayRole).toString(), "9");
    EXPECT_TRUE(Window().Get<QPushButton>(MainWindow::kConvert)->isEnabled());
    // The next dialog starts where the last one ended.
    chosenMovies_.clear();
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    ASSERT_EQ(startFolders_.size(), 2);
    EXPECT_EQ(startFolders_[1].toStdString(), home_ / "movies");
}

TEST_F(MainWindowTest, AMenuItemThatOpensADialogLeavesItsMenuAliveUntilTheKeyIsHandled) {
    // Chosen from the keyboard, Add file(s) runs its file dialog while the
    // menu is still handling the key: the dialog's event loop must not take
    // the menu away from under it (it did, and the program crashed).
    const std::string movie = Movie("a.swf");
    bool menuAliveAfterTheDialog = false;
    prompts_.chooseMovies = [&](QWidget*, const QString&) {
        QPointer<QMenu> menu = Window().LastMenu();
        QDialog dialog;
        QTimer::singleShot(0, &dialog, &QDialog::accept);
        dialog.exec();
        menuAliveAfterTheDialog = !menu.isNull();
        return QStringList{QString::fromStdString(movie)};
    };
    Window().Get<QPushButton>(MainWindow::kAdd)->click();
    QMenu* menu = Window().LastMenu();
    ASSERT_NE(menu, nullptr);
    for (const Qt::Key key : {Qt::Key_Down, Qt::Key_Return}) {
        QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
        QApplication::sendEvent(menu, &press);
    }
    EXPECT_TRUE(menuAliveAfterTheDialog);
    EXPECT_EQ(InputNames(), std::vector<std::string>{"a.swf"});
}

TEST_F(MainWindowTest, WithoutAStoredFormatTheChooserOpensOncePerAddingAction) {
    WriteOutputDefault({"", "", -1});
    chosenMovies_ = {QString::fromStdString(Movie("a.swf")), QString::fromStdString(Movie("b.swf")),
                     QString::fromStdString(Movie("c.swf"))};
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    EXPECT_EQ(chooserRuns_, 1);
    EXPECT_EQ(Window().Tasks().rowCount(), 3);
}

TEST_F(MainWindowTest, AFolderIsScannedByContentThroughLinkLoopsAndEndsWithTheLastChecked) {
    const std::string root = home_ / "tree";
    WriteFile(root + "/one.swf", SmallMovie(10));
    WriteFile(root + "/deep/two", SmallMovie(10, std::nullopt, swf::Compression::Lzma));
    WriteFile(root + "/deep/readme.txt", {'h', 'i'});
    fs::create_directory_symlink(root, root + "/deep/up");
    chosenFolder_ = QString::fromStdString(root);
    answer_ = true;
    ChooseFromMenu(MainWindow::kAdd, "Add folder");
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0], "Do you want search sub folder?");
    std::vector<std::string> names = InputNames();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"one.swf", "two"}));
    EXPECT_EQ(Checks(), (std::vector<bool>{false, true}));
}

TEST_F(MainWindowTest, ADropAddsMoviesAndFoldersAndIgnoresTheRest) {
    const std::string movie = Movie("dropped.swf");
    const std::string text = WriteFile(home_ / "movies/notes.swf.txt", {'F', 'W', 'S'});
    WriteFile(home_ / "dropfolder/inner.swf", SmallMovie(10));
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(QString::fromStdString(movie)), QUrl::fromLocalFile(QString::fromStdString(text)),
                  QUrl::fromLocalFile(QString::fromStdString(home_ / "dropfolder")), QUrl("https://example.com/x.swf")});
    QDragEnterEvent enter(QPoint(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Window(), &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(QPointF(10, 10), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(&Window(), &drop);
    EXPECT_EQ(InputNames(), (std::vector<std::string>{"dropped.swf", "inner.swf"}));
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true}));
}

TEST_F(MainWindowTest, RemovingSelectedUncheckedAndEverything) {
    for (const char* name : {"a.swf", "b.swf", "c.swf", "d.swf"}) chosenMovies_ << QString::fromStdString(Movie(name));
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    Select({1});
    ChooseFromMenu(MainWindow::kRemove, "Remove selected file");
    EXPECT_EQ(InputNames(), (std::vector<std::string>{"a.swf", "c.swf", "d.swf"}));
    Window().Tasks().SetChecked(0, false);
    ChooseFromMenu(MainWindow::kRemove, "Remove all unchecked file");
    EXPECT_EQ(InputNames(), (std::vector<std::string>{"c.swf", "d.swf"}));
    ChooseFromMenu(MainWindow::kRemove, "Clear Flash(swf) file list");
    EXPECT_TRUE(InputNames().empty());
    EXPECT_FALSE(Window().Get<QPushButton>(MainWindow::kConvert)->isEnabled());
}

TEST_F(MainWindowTest, CheckingByDoubleClickAndTheContextMenu) {
    for (const char* name : {"a.swf", "b.swf", "c.swf"}) chosenMovies_ << QString::fromStdString(Movie(name));
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    Select({0, 2});
    emit Window().List().doubleClicked(Window().Tasks().index(0, 0));
    EXPECT_EQ(Checks(), (std::vector<bool>{false, true, false}));
    Select({1});
    Window().OpenContextMenu(QPoint(0, 0));
    for (QAction* action : Window().LastMenu()->actions())
        if (action->text() == "Unchecked") action->trigger();
    EXPECT_EQ(Checks(), (std::vector<bool>{false, false, false}));
    Window().OpenContextMenu(QPoint(0, 0));
    for (QAction* action : Window().LastMenu()->actions())
        if (action->text() == "All checked") action->trigger();
    EXPECT_EQ(Checks(), (std::vector<bool>{true, true, true}));
}

TEST_F(MainWindowTest, ANewOutputFolderMovesTheOutputsOnlyWhenTheUserSaysYes) {
    for (const char* name : {"a.swf", "b.swf"}) chosenMovies_ << QString::fromStdString(Movie(name));
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    const std::string first = home_ / "first";
    chosenFolder_ = QString::fromStdString(first);
    answer_ = false;
    Window().Get<QPushButton>(MainWindow::kChooseFolder)->click();
    ASSERT_EQ(questions_.size(), 1u);
    EXPECT_EQ(questions_[0], "Choose a directory");
    EXPECT_EQ(CurrentAppSettings().convertDir, first + "/");
    EXPECT_EQ(Window().Get<QLineEdit>(MainWindow::kOutputFolder)->text().toStdString(), first + "/");
    EXPECT_EQ(Window().Tasks().Task(0).outputPath, home_.Path() + "/out/a.mp4");
    const std::string second = home_ / "second";
    chosenFolder_ = QString::fromStdString(second + "/");
    answer_ = true;
    Window().Get<QPushButton>(MainWindow::kChooseFolder)->click();
    EXPECT_EQ(Window().Tasks().Task(0).outputPath, second + "/a.mp4");
    EXPECT_EQ(Window().Tasks().Task(1).outputPath, second + "/b.mp4");
    // The same folder again asks nothing.
    Window().Get<QPushButton>(MainWindow::kChooseFolder)->click();
    EXPECT_EQ(questions_.size(), 2u);
}

TEST_F(MainWindowTest, OutputSettingsActOnlyOnOneSelectedTask) {
    for (const char* name : {"a.swf", "b.swf"}) chosenMovies_ << QString::fromStdString(Movie(name));
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    Window().List().clearSelection();
    ::testing::internal::CaptureStdout();
    Window().Get<QPushButton>(MainWindow::kFormats)->click();
    Window().Get<QRadioButton>(MainWindow::kOnePass)->click();
    Window().Get<QPushButton>(MainWindow::kOptions)->click();
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_EQ(said, "No items were selected!\nNo items were selected!\nNo items were selected!\n");
    EXPECT_EQ(chooserRuns_, 0);
    EXPECT_FALSE(Window().Get<QRadioButton>(MainWindow::kOnePass)->isChecked());
    // Several selected: silently nothing.
    Select({0, 1});
    ::testing::internal::CaptureStdout();
    Window().Get<QPushButton>(MainWindow::kFormats)->click();
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_EQ(chooserRuns_, 0);
    // One selected: the mode is the task's.
    Select({0});
    Window().Get<QRadioButton>(MainWindow::kOnePass)->click();
    EXPECT_EQ(Window().Tasks().Task(0).outputMode, kOutputInteractiveOnePass);
    EXPECT_EQ(Window().Tasks().Task(1).outputMode, kOutputAuto);
}

TEST_F(MainWindowTest, TheChoosersPickLandsInTheTasksProfileAndOutputName) {
    chosenMovies_ << QString::fromStdString(Movie("a.swf"));
    prompts_.chooseFormat = [](QWidget* parent, int index) { return RunFormatChooser(parent, index); };
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    Select({0});
    bool picked = false;
    QTimer::singleShot(0, [&picked] {
        auto* chooser = dynamic_cast<FormatChooser*>(QApplication::activeModalWidget());
        ASSERT_NE(chooser, nullptr);
        EXPECT_EQ(chooser->windowTitle(), "Please select a format to be converted");
        chooser->Button(1179)->click();  // DVD mpeg: a menu of variants
        ASSERT_NE(chooser->OpenMenu(), nullptr);
        for (QAction* action : chooser->OpenMenu()->actions())
            if (action->text() == "PAL for burning DVD") {
                action->trigger();
                picked = true;
            }
    });
    Window().Get<QPushButton>(MainWindow::kFormats)->click();
    ASSERT_TRUE(picked);
    const ConversionTask& task = Window().Tasks().Task(0);
    EXPECT_EQ(task.profile.ProfileFile, home_.Path() + "/bin/ini/paldvd.ini");
    EXPECT_EQ(task.profile.ProfileName, "mpg Normal");
    EXPECT_EQ(task.aspectFitIndex, -1);
    EXPECT_EQ(task.outputPath, home_.OutputFolder() + "a.mpg");
    EXPECT_EQ(Window().Get<QLineEdit>(MainWindow::kFormatName)->text(), "DVD PAL");
    EXPECT_EQ(Window().Get<QComboBox>(MainWindow::kProfiles)->currentText(), "mpg Normal");
    // The choice of the profile list is remembered for that file.
    Window().Get<QComboBox>(MainWindow::kProfiles)->setCurrentIndex(1);
    emit Window().Get<QComboBox>(MainWindow::kProfiles)->activated(1);
    EXPECT_EQ(Window().Tasks().Task(0).profile.ProfileName, "mpg High");
    EXPECT_EQ(GetDefaultProfileName("paldvd.ini"), "mpg High");
    Window().Get<QPushButton>(MainWindow::kSetDefault)->click();
    const OutputDefault stored = ReadOutputDefault();
    EXPECT_EQ(stored.fileName, "paldvd.ini");
    EXPECT_EQ(stored.profileName, "mpg High");
}

TEST_F(MainWindowTest, TheLanguageMenuRelabelsTheWindowAtOnce) {
    Languages().SetLanguageFolder(testing::BuiltProgramFolder() + "/language/kinolux/");
    MainWindow& window = Window();
    FormatChooser chooser(0, &window);
    window.ChooseLanguage(0);  // Deutsch, first by file name
    EXPECT_EQ(window.Get<QPushButton>(MainWindow::kConvert)->text(), "&Umwandeln");
    EXPECT_EQ(window.Tasks().headerData(0, Qt::Horizontal, Qt::DisplayRole).toString(), "Dateiname");
    EXPECT_EQ(chooser.windowTitle(), "Bitte wählen Sie ein Zielformat");
    Languages().SelectLanguage("English");
    RelabelAllDialogs();
    EXPECT_EQ(window.Get<QPushButton>(MainWindow::kConvert)->text(), "&Convert");
}

TEST_F(MainWindowTest, AnOutputFolderThatCannotBeWrittenIsReportedBeforeAnythingStarts) {
    chosenMovies_ << QString::fromStdString(Movie("a.swf"));
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    // A folder below a file can be neither made nor written, whoever asks.
    const std::string file = WriteFile(home_ / "plain-file", {'x'});
    Window().Tasks().Task(0).outputPath = file + "/sub/a.mp4";
    ::testing::internal::CaptureStdout();
    Window().Get<QPushButton>(MainWindow::kConvert)->click();
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("cannot be written"), std::string::npos) << said;
    EXPECT_TRUE(shownResults_.empty());
}

TEST_F(MainWindowTest, ConvertRunsExactlyTheCheckedTasksInListOrder) {
    if (!fs::exists(testing::BuiltProgramFolder() + "/kinoluxplayer")) GTEST_SKIP() << "no player program";
    for (const char* name : {"first.swf", "skipped.swf", "last.swf"}) chosenMovies_ << QString::fromStdString(Movie(name, 12));
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    Window().Tasks().SetChecked(1, false);
    Window().Get<QPushButton>(MainWindow::kConvert)->click();
    const std::string out = home_.OutputFolder();
    EXPECT_TRUE(fs::exists(out + "first.mp4"));
    EXPECT_TRUE(fs::exists(out + "last.mp4"));
    EXPECT_FALSE(fs::exists(out + "skipped.mp4"));
    ASSERT_EQ(shownResults_.size(), 1u);
    EXPECT_EQ(shownResults_[0], out + "last.mp4");
    EXPECT_LE(fs::last_write_time(out + "first.mp4"), fs::last_write_time(out + "last.mp4"));
    EXPECT_GT(fs::file_size(out + "first.mp4"), 0u);
    for (const auto& entry : fs::directory_iterator(out))
        EXPECT_EQ(entry.path().filename().string().find(".wav"), std::string::npos) << entry.path();
    EXPECT_FALSE(Window().Converting());
}

TEST_F(MainWindowTest, TheFastBoxIsKeptInTheSettingsAndItsConversionsWriteTheirOutputs) {
    chosenMovies_ << QString::fromStdString(Movie("quick.swf", 12));
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    auto* fast = Window().Get<QAbstractButton>(MainWindow::kFast);
    ASSERT_NE(fast, nullptr);
    EXPECT_FALSE(fast->isChecked());
    EXPECT_FALSE(fast->accessibleName().isEmpty());
    fast->click();
    EXPECT_EQ(CurrentAppSettings().fastConversion, 1u);
    uint32_t stored = 0;
    EXPECT_TRUE(SettingsStore("HKLM").ReadDword(kSettingsKey, "fastconversion", stored));
    EXPECT_EQ(stored, 1u);
    EXPECT_TRUE(CurrentRunContext().fast);
    Window().Get<QPushButton>(MainWindow::kConvert)->click();
    EXPECT_GT(fs::file_size(home_.OutputFolder() + "quick.mp4"), 0u);
    fast->click();
    EXPECT_FALSE(CurrentRunContext().fast);
}

// The progress window of the run under way, or null.
ProgressWindow* RunningConversion(MainWindow& window) {
    for (QObject* child : window.children())
        if (auto* run = dynamic_cast<ProgressWindow*>(child)) return run;
    return nullptr;
}

TEST_F(MainWindowTest, ACancelledConversionLeavesTheOtherOutputsOfTheBatch) {
    if (!fs::exists(testing::BuiltProgramFolder() + "/kinoluxplayer")) GTEST_SKIP() << "no player program";
    for (const char* name : {"cancelled.swf", "kept.swf"}) chosenMovies_ << QString::fromStdString(Movie(name, 200));
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    QTimer cancel;
    bool cancelled = false;
    QObject::connect(&cancel, &QTimer::timeout, [&] {
        ProgressWindow* run = RunningConversion(Window());
        if (run && !cancelled) {
            run->Cancel();
            cancelled = true;
        }
    });
    cancel.start(300);
    ::testing::internal::CaptureStdout();
    Window().Get<QPushButton>(MainWindow::kConvert)->click();
    ::testing::internal::GetCapturedStdout();
    ASSERT_TRUE(cancelled);
    const std::string out = home_.OutputFolder();
    EXPECT_FALSE(fs::exists(out + "cancelled.mp4"));
    EXPECT_TRUE(fs::exists(out + "kept.mp4"));
    ASSERT_EQ(shownResults_.size(), 1u);
    EXPECT_EQ(shownResults_[0], out + "kept.mp4");
}

TEST_F(MainWindowTest, ClosingTheWindowDuringAConversionCancelsItAndLeavesNothing) {
    if (!fs::exists(testing::BuiltProgramFolder() + "/kinoluxplayer")) GTEST_SKIP() << "no player program";
    for (const char* name : {"one.swf", "two.swf"}) chosenMovies_ << QString::fromStdString(Movie(name, 200));
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    Window().show();
    QTimer::singleShot(500, [this] { Window().close(); });
    ::testing::internal::CaptureStdout();
    Window().Get<QPushButton>(MainWindow::kConvert)->click();
    ::testing::internal::GetCapturedStdout();
    EXPECT_FALSE(Window().isVisible());
    EXPECT_FALSE(Window().Converting());
    EXPECT_EQ(Window().Tasks().rowCount(), 0);
    EXPECT_TRUE(fs::is_empty(home_.OutputFolder())) << "no output, no temporary file";
    EXPECT_TRUE(shownResults_.empty());
}

// What the capture window showed while it ran, and what the test did in it.
struct InteractiveRun {
    bool rowBelowTheMovie = false;
    int frameWhenClicked = -1;
    bool stopped = false;
};

MovieWindow* CaptureWindow() {
    for (QWidget* widget : QApplication::topLevelWidgets())
        if (auto* window = dynamic_cast<MovieWindow*>(widget); window && window->capturing && window->isVisible())
            return window;
    return nullptr;
}

template <typename Control>
Control* ItemOf(QWidget& window, int itemId) {
    for (Control* control : window.findChildren<Control*>())
        if (control->property("itemId").toInt() == itemId) return control;
    return nullptr;
}

void ClickAtCentre(QWidget& widget) {
    const QPointF centre(widget.width() / 2.0, widget.height() / 2.0);
    const QPointF global = widget.mapToGlobal(centre);
    QMouseEvent move(QEvent::MouseMove, centre, global, Qt::NoButton, Qt::NoButton, Qt::NoModifier);
    QMouseEvent press(QEvent::MouseButtonPress, centre, global, Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, global, Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    for (QMouseEvent* event : {&move, &press, &release}) QApplication::sendEvent(&widget, event);
}

// A movie that stands on its first frame until clicked, converted from the
// window in an interactive mode: the user clicks into the capture window
// once it shows the movie, and presses Stop once the movie has played past
// its sound.
class InteractiveConvert : public MainWindowTest, public ::testing::WithParamInterface<int> {
protected:
    InteractiveRun Convert(const std::string& name) {
        setenv("KINOLUX_AUDIO", "null", 1);
        chosenMovies_ << QString::fromStdString(WriteFile(home_ / ("movies/" + name), testing::MarkerSoundMovie(true)));
        ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
        Select({0});
        Window().Get<QRadioButton>(GetParam())->click();
        InteractiveRun seen;
        // A bound on the wait, not a timing: a movie the click never
        // reaches would otherwise be captured for ever.
        int ticksLeft = 3000;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            MovieWindow* capture = CaptureWindow();
            if (!capture || seen.stopped) return;
            CShockwaveFlash& flash = capture->Pane()->flash();
            SkinButton* stop = ItemOf<SkinButton>(*capture, 1295);
            if (seen.frameWhenClicked < 0) {
                if (!capture->Pane()->movieReady || !stop) return;
                seen.rowBelowTheMovie =
                    stop->isVisible() && stop->mapTo(capture, QPoint(0, 0)).y() >= capture->Pane()->geometry().bottom();
                seen.frameWhenClicked = flash.CurrentFrame();
                ClickAtCentre(*flash.Control());
            } else if (flash.CurrentFrame() >= testing::kMarkerFrame + 15 || --ticksLeft == 0) {
                stop->click();
                seen.stopped = true;
            }
        });
        user.start(10);
        Window().Get<QPushButton>(MainWindow::kConvert)->click();
        EXPECT_GT(ticksLeft, 0) << "the click played the movie";
        return seen;
    }
};

TEST_P(InteractiveConvert, TheCaptureWindowTakesAClickAndStopAndTheOutputHasItsSound) {
    for (const char* tool : {"ffmpeg", "ffprobe"})
        if (!testing::ProgramOnPath(tool)) KINOLUX_MISSING(tool);
    const InteractiveRun seen = Convert("click.swf");
    EXPECT_EQ(Window().Tasks().Task(0).outputMode,
              GetParam() == MainWindow::kOnePass ? kOutputInteractiveOnePass : kOutputInteractiveTwoPasses);
    EXPECT_TRUE(seen.rowBelowTheMovie) << "the control row under the playing movie";
    EXPECT_EQ(seen.frameWhenClicked, 0) << "the movie waited for the click";
    EXPECT_TRUE(seen.stopped);
    const std::string output = home_.OutputFolder() + "click.mp4";
    ASSERT_TRUE(fs::exists(output));
    ASSERT_EQ(shownResults_.size(), 1u);
    EXPECT_EQ(shownResults_[0], output);
    const std::string streams = testing::RunCommand(
                                    "ffprobe -v error -show_entries stream=codec_type "
                                    "-of default=noprint_wrappers=1:nokey=1 '" +
                                    output + "'")
                                    .output;
    EXPECT_EQ(streams, "video\naudio\n");
    // The square wave the movie starts after the click is in the output.
    const std::string sound =
        testing::RunCommand("ffmpeg -v error -i '" + output + "' -f s16le -ac 1 -ar 44100 -").output;
    int loudest = 0;
    for (size_t i = 0; 2 * i + 1 < sound.size(); ++i) {
        int16_t value;
        std::memcpy(&value, sound.data() + 2 * i, 2);
        loudest = std::max(loudest, std::abs(int(value)));
    }
    EXPECT_GT(loudest, 8000) << "the output plays with the movie's sound";
    for (const auto& entry : fs::directory_iterator(home_.OutputFolder()))
        EXPECT_EQ(entry.path().filename(), "click.mp4") << "no temporary file is left";
    EXPECT_EQ(CaptureWindow(), nullptr) << "the capture window is gone with its capture";
}

INSTANTIATE_TEST_SUITE_P(OnePassAndTwoPasses, InteractiveConvert,
                         ::testing::Values(int(MainWindow::kOnePass), int(MainWindow::kTwoPasses)));

TEST_F(MainWindowTest, AMovieThatCannotBeReadIsRefusedWhenSelected) {
    const std::string broken = WriteFile(home_ / "movies/broken.swf", {'F', 'W', 'S', 9, 1, 2});
    chosenMovies_ << QString::fromStdString(broken);
    ::testing::internal::CaptureStdout();
    ChooseFromMenu(MainWindow::kAdd, "Add file(s)");
    const std::string said = ::testing::internal::GetCapturedStdout();
    EXPECT_NE(said.find("broken.swf cannot be read as a Flash movie"), std::string::npos) << said;
    ASSERT_EQ(Window().Tasks().rowCount(), 1);
    EXPECT_FALSE(Window().Tasks().IsChecked(0));
}

}  // namespace
}  // namespace kinolux
