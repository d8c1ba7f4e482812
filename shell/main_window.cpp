#include "shell/main_window.h"

#include "bindings/veneer.h"
#include "capture/call_interceptor.h"
#include "capture/dialog_units.h"
#include "capture/movie_window.h"
#include "capture/shockwave_flash.h"
#include "controlkit/artwork.h"
#include "controlkit/skin_button.h"
#include "conversion_window/movie_window_capture.h"
#include "conversion_window/progress_window.h"
#include "platform/report.h"
#include "profiles/app_settings.h"
#include "profiles/language_manager.h"
#include "profiles/profile_geometry.h"
#include "profiles/profile_store.h"
#include "shell/artwork_picture.h"
#include "shell/external_programs.h"
#include "shell/preview_controls.h"
#include "shell/probe_rules.h"
#include "shell/show_result.h"
#include "shell/task_list_model.h"
#include "shell/wait_cursor.h"

#include <QAbstractItemView>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTableView>
#include <QThread>
#include <QTimer>
#include <array>

namespace kinolux {

namespace {

constexpr const char* kSection = "MAIN_DLG";

// The window's controls; the preview and its controls are the preview's own.
constexpr std::array<DialogControl, 30> kRows{{
    {0, ControlKind::Frame, nullptr, nullptr, {6, 38, 193, 202}},
    {0, ControlKind::Frame, nullptr, nullptr, {199, 38, 187, 202}},
    {0, ControlKind::Frame, nullptr, nullptr, {7, 241, 378, 72}},
    {1300, ControlKind::Picture, nullptr, "strWebsiteTooltip", {7, 3, 235, 31}},
    {MainWindow::kList, ControlKind::Table, "strFileListInfo", nullptr, {8, 40, 189, 173}},
    {MainWindow::kAdd, ControlKind::Button, "btnAddInfo", "btnAddTooltip", {9, 216, 60, 20}},
    {MainWindow::kRemove, ControlKind::Button, "btnRemoveInfo", "btnRemoveTooltip", {73, 216, 60, 20}},
    {MainWindow::kConvert, ControlKind::Button, "btnConvertInfo", "btnConvertTooltip", {137, 216, 60, 20}},
    {MainWindow::kInfo, ControlKind::Edit, "strMovieInfoInfo", nullptr, {201, 40, 183, 14}},
    {1298, ControlKind::Static, "strOutputModeInfo", nullptr, {12, 247, 56, 8}},
    {MainWindow::kAuto, ControlKind::Radio, "btnAutoModeInfo", nullptr, {70, 247, 81, 10}},
    {MainWindow::kTwoPasses, ControlKind::Radio, "btnInteractiveTwoModeInfo", nullptr, {159, 246, 112, 11}},
    {MainWindow::kOnePass, ControlKind::Radio, "btnInteravtiveOneModeInfo", nullptr, {280, 246, 101, 10}},
    {MainWindow::kFast, ControlKind::CheckBox, "btnFastModeInfo", "btnFastModeTooltip", {12, 255, 56, 8}},
    {1218, ControlKind::Static, "strOutputFormatInfo", nullptr, {12, 263, 56, 8}},
    {MainWindow::kFormatName, ControlKind::Edit, "strOutputFormatInfo", nullptr, {70, 261, 53, 14}},
    {MainWindow::kFormats, ControlKind::Button, "btnChangeFormatInfo", "btnChangeFormatTooltip", {124, 261, 45, 14}},
    {1219, ControlKind::Static, "strOutputProfileNameInfo", nullptr, {173, 264, 28, 8}},
    {MainWindow::kProfiles, ControlKind::ComboBox, "strOutputProfileNameInfo", nullptr, {203, 261, 136, 14}},
    {MainWindow::kOptions, ControlKind::Button, "btnOptionInfo", "btnOptionTooltip", {340, 261, 43, 14}},
    {1211, ControlKind::Static, "strOutputFileNameInfo", nullptr, {12, 282, 56, 8}},
    {MainWindow::kOutputFile, ControlKind::Edit, "strOutputFileNameInfo", nullptr, {70, 279, 195, 14}},
    {MainWindow::kChooseOutputFile,
     ControlKind::Button,
     "btnChangeOutputFileNameInfo",
     "btnChangeOutputFileNameTooltip",
     {267, 279, 23, 14}},
    {MainWindow::kSetDefault, ControlKind::Button, "btnSetDefaultInfo", "btnSetDefaultTooltip", {291, 279, 92, 14}},
    {1217, ControlKind::Static, "strOutputFolderInfo", nullptr, {12, 294, 56, 16}},
    {MainWindow::kOutputFolder, ControlKind::Edit, "strOutputFolderInfo", nullptr, {70, 296, 256, 14}},
    {MainWindow::kChooseFolder,
     ControlKind::Button,
     "btnChangeOutputFolderInfo",
     "btnChangeOutputFolderTooltip",
     {328, 296, 23, 14}},
    {MainWindow::kOpenFolder,
     ControlKind::Button,
     "btnOpenOutputFolderInfo",
     "btnOpenOutputFolderTooltip",
     {352, 296, 31, 14}},
    {MainWindow::kWebPage, ControlKind::PictureButton, nullptr, "btnUpdateTooltip", {334, 9, 23, 23}},
    {MainWindow::kSettings, ControlKind::PictureButton, nullptr, "btnSettingsTooltip", {363, 9, 23, 23}},
}};
constexpr QRect kPreviewUnits(201, 71, 179, 131);

// Controls an empty list leaves as they are; every other one is disabled.
constexpr std::array<int, 8> kAlwaysEnabled{MainWindow::kList,         MainWindow::kAdd,        MainWindow::kSettings,
                                            MainWindow::kOutputFolder, MainWindow::kChooseFolder,
                                            MainWindow::kOpenFolder,   MainWindow::kWebPage,    1300};

const QColor kListBackground(217, 234, 255);
const QColor kListText(125, 0, 0);
const QColor kStaticText(93, 121, 161);

// The picture buttons and their icons; the others keep the faces every
// dialog's buttons have.
struct ButtonIcon {
    int id;
    int icon;
};
constexpr std::array<ButtonIcon, 6> kButtonIcons{{{MainWindow::kAdd, artwork::kIconAdd},
                                                  {MainWindow::kRemove, artwork::kIconRemove},
                                                  {MainWindow::kConvert, artwork::kIconConvert},
                                                  {MainWindow::kFormats, artwork::kIconFormats},
                                                  {MainWindow::kOptions, artwork::kIconOptions},
                                                  {MainWindow::kSetDefault, artwork::kIconSetDefault}}};

// The preview waits this often and this long for a movie to report ready.
constexpr int kReadyPolls = 10;
constexpr unsigned long kReadyPollMs = 100;
constexpr int kAddMenuDelayMs = 100;
constexpr int kFirstUseDelayMs = 50;

QString ToQ(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

MainWindowPrompts StandardPrompts() {
    MainWindowPrompts prompts;
    prompts.chooseMovies = [](QWidget* parent, const QString& folder) {
        return QFileDialog::getOpenFileNames(parent, QStringLiteral("Add files..."), folder,
                                             QStringLiteral("flash file(*.swf) (*.swf *.SWF)"));
    };
    // The instruction line goes into the caption, Qt's chooser having no
    // line of its own for it.
    prompts.chooseFolder = [](QWidget* parent, const QString& title, const QString& text) {
        return QFileDialog::getExistingDirectory(parent, title + QStringLiteral(" - ") + text);
    };
    prompts.chooseOutputFile = [](QWidget* parent, const QString& current, const QString& filter) {
        return QFileDialog::getSaveFileName(parent, QString(), current, filter);
    };
    prompts.ask = [](const std::string& text) { return AskYesNo(text); };
    prompts.chooseFormat = [](QWidget* parent, int aspectFitIndex) { return RunFormatChooser(parent, aspectFitIndex); };
    prompts.showResult = [](const std::string& lastOutputPath) { ShowResult(lastOutputPath); };
    return prompts;
}

MainWindow::MainWindow(MainWindowPrompts prompts, QWidget* parent) : QDialog(parent), prompts_(std::move(prompts)) {
    setWindowTitle(QStringLiteral("Kinolux"));
    setWindowFlag(Qt::WindowMinimizeButtonHint);
    QVS_AddFilterHook(this);
    setFixedSize(DialogUnitsToPixels(*this, QRect(0, 0, 393, 321)).size());
    table_ = std::make_unique<DialogTable>(*this, kSection, kRows);
    BuildList();
    movieWindow_ = std::make_unique<MovieWindow>();
    BuildPreview();
    interactive_ = std::make_unique<MovieWindowCapture>(*movieWindow_);
    // The control's module is loaded now, so its imports can be patched.
    CallInterceptor& interceptor = CallInterceptor::Instance();
    interceptor.consoleMode = 0;
    interceptor.Install();
    for (QLabel* label : findChildren<QLabel*>()) {
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, kStaticText);
        label->setPalette(palette);
    }
    auto* banner = new ArtworkPicture(artwork::kBanner, Qt::AlignLeft | Qt::AlignVCenter, Get<QLabel>(1300));
    banner->setGeometry(Get<QLabel>(1300)->rect());
    SkinButtons();
    Get<QLineEdit>(kInfo)->setAlignment(Qt::AlignCenter);
    // The longest label takes two lines rather than a smaller font.
    Get<QLabel>(1217)->setWordWrap(true);
    Get<QLabel>(1217)->setFont(font());
    Get<QLineEdit>(kOutputFolder)->setText(ToQ(CurrentAppSettings().convertDir));
    setAcceptDrops(true);
    ConnectControls();
    AddAccelerators();
    table_->SetAfterRelabel([this] { Relabel(); });
    Relabel();
    RefreshListState();
    QTimer::singleShot(kAddMenuDelayMs, this, [this] {
        auto* add = Get<QPushButton>(kAdd);
        if (isVisible() && tasks_->rowCount() == 0) OpenAddMenu(add->mapToGlobal(add->rect().bottomLeft()));
    });
    if (CurrentAppSettings().firstUse == 0)
        QTimer::singleShot(kFirstUseDelayMs, this, [] {
            CurrentAppSettings().firstUse = 1;
            WriteFirstUse(1);
            WaitCursor wait;
            OpenProductHomePage();
        });
}

MainWindow::~MainWindow() {
    // The preview and the capture window hold movies of tasks about to go.
    UnloadPreview();
    tasks_->Clear();
}

void MainWindow::BuildList() {
    list_ = Get<QTableView>(kList);
    tasks_ = new TaskListModel(this);
    list_->setModel(tasks_);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
    list_->setEditTriggers(QAbstractItemView::NoEditTriggers);
    list_->setShowGrid(false);
    list_->setWordWrap(false);
    list_->verticalHeader()->hide();
    list_->setAcceptDrops(false);
    list_->setContextMenuPolicy(Qt::CustomContextMenu);
    QFont font = list_->font();
    font.setFamily(QStringLiteral("Sans Serif"));
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(11);
    list_->setFont(font);
    list_->verticalHeader()->setDefaultSectionSize(QFontMetrics(font).height() + 4);
    QPalette palette = list_->palette();
    palette.setColor(QPalette::Base, kListBackground);
    palette.setColor(QPalette::Text, kListText);
    list_->setPalette(palette);
    // The columns share the list's width in the proportions of their
    // design widths; the path column takes what is left.
    const std::array<int, TaskListModel::ColumnCount> widths{100, 50, 50, 125};
    const int room = list_->width() - 2 * list_->frameWidth();
    for (int column = 0; column + 1 < TaskListModel::ColumnCount; ++column)
        list_->setColumnWidth(column, room * widths[column] / 325);
    list_->horizontalHeader()->setStretchLastSection(true);
    list_->viewport()->installEventFilter(this);

    // What the empty list shows: the way to fill it.
    auto* hint = new ArtworkPicture(artwork::kListBackground, Qt::AlignCenter, list_->viewport());
    QPalette hintPalette = hint->palette();
    hintPalette.setColor(QPalette::WindowText, kStaticText);
    hint->setPalette(hintPalette);
    hint->setFont(QWidget::font());
    emptyListHint_ = hint;
}

void MainWindow::SkinButtons() {
    for (const ButtonIcon& entry : kButtonIcons) Get<SkinButton>(entry.id)->SetIcon(entry.icon);
    // Set as default speaks in the system's colour, unlike its neighbours.
    Get<SkinButton>(kSetDefault)->SetTextColor(QColor());
    Get<SkinButton>(kSettings)->SetBitmaps(artwork::kMenuNormal, artwork::kMenuPressed, artwork::kMenuHover, 0, 0,
                                           artwork::kMenuMask, SkinButton::kOneToOne);
    Get<SkinButton>(kWebPage)->SetBitmaps(artwork::kWebNormal, artwork::kWebPressed, artwork::kWebHover, 0, 0,
                                          artwork::kWebMask, SkinButton::kOneToOne);
}

void MainWindow::BuildPreview() {
    previewControls_ =
        std::make_unique<PreviewControls>(*this, kPreviewUnits, *tasks_, *movieWindow_,
                                          [this](bool sayWhenNone) { return SingleSelectedRow(sayWhenNone); });
    preview_ = &previewControls_->Flash();
    preview_->SetReadyStateHandler([this](int state) {
        if (state == 4) movieLoaded_ = 1;
    });
}

void MainWindow::Relabel() {
    Get<QLabel>(1300)->setToolTip(table_->Text("strWebsiteTooltip").replace(QStringLiteral("%s"), QStringLiteral("Kinolux")));
    Get<QLabel>(1300)->setAccessibleName(Get<QLabel>(1300)->toolTip());
    auto* hint = static_cast<ArtworkPicture*>(emptyListHint_);
    hint->SetCaption(table_->Text("btnAddTooltip"));
    hint->setGeometry(list_->viewport()->rect());
    tasks_->Relabel();
}

void MainWindow::RefreshListState() {
    batch_ = 1;
    const bool empty = tasks_->rowCount() == 0;
    emptyListHint_->setGeometry(list_->viewport()->rect());
    emptyListHint_->setVisible(empty);
    for (QWidget* child : findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
        const int id = child->property("itemId").toInt();
        if (id == 0 || std::find(kAlwaysEnabled.begin(), kAlwaysEnabled.end(), id) != kAlwaysEnabled.end()) continue;
        // The frame display only shows a number.
        if (id == PreviewControls::kFrameDisplay) continue;
        if (!empty || id != kPreview) child->setEnabled(!empty);
    }
    if (!empty) {
        list_->clearSelection();
        list_->selectRow(tasks_->rowCount() - 1);
    } else {
        for (int id : {kInfo, kFormatName, kOutputFile}) Get<QLineEdit>(id)->clear();
        Get<QComboBox>(kProfiles)->clear();
    }
}

std::vector<int> MainWindow::SelectedRows() const {
    std::vector<int> rows;
    for (const QModelIndex& index : list_->selectionModel()->selectedRows()) rows.push_back(index.row());
    std::sort(rows.begin(), rows.end());
    return rows;
}

int MainWindow::SingleSelectedRow(bool sayWhenNone) {
    const std::vector<int> rows = SelectedRows();
    if (rows.empty() && sayWhenNone) ReportMessage(Text(kSection, "strNoItemSelectedInfo"));
    return rows.size() == 1 ? rows.front() : -1;
}

void MainWindow::OnSelectionChanged() {
    const std::vector<int> rows = SelectedRows();
    if (rows.size() != 1) return;
    ConversionTask& task = tasks_->Task(rows.front());
    if (task.inputPath == previewPath_ && task.probedFlag) return;
    if (!LoadAndProbe(task)) {
        tasks_->SetChecked(rows.front(), false);
        return;
    }
    ShowTask(rows.front());
}

bool MainWindow::LoadAndProbe(ConversionTask& task) {
    movieLoaded_ = 0;
    preview_->LoadMovie(0, "");
    preview_->SetMovie(task.inputPath);
    previewPath_ = task.inputPath;
    for (int poll = 0; poll < kReadyPolls && !movieLoaded_; ++poll) QThread::msleep(kReadyPollMs);
    if (!task.probedFlag) {
        ProbeTaskOnce(probe_, task, ProbePath::Selection);
        preview_->SetAllowClicks(PreviewAllowsClicks(task.outputMode) ? 1 : 0);
    }
    if (task.totalFrames <= 0 || task.sourceWidth <= 0 || task.sourceHeight <= 0) {
        ReportMessage("The movie " + task.inputPath + " cannot be read as a Flash movie. It is left unchecked.");
        UnloadPreview();
        return false;
    }
    return true;
}

void MainWindow::ShowTask(int row) {
    if (row < 0 || row >= tasks_->rowCount()) return;
    ConversionTask& task = tasks_->Task(row);
    tasks_->ShowFrameRange(row);
    Get<QLineEdit>(kInfo)->setText(ToQ(task.infoText));
    FitTextToWidth(*Get<QLineEdit>(kInfo));
    previewControls_->ShowTask(task);
    Get<QLineEdit>(kOutputFile)->setText(ToQ(task.outputPath));
    Get<QRadioButton>(kAuto)->setChecked(task.outputMode == kOutputAuto);
    Get<QRadioButton>(kOnePass)->setChecked(task.outputMode == kOutputInteractiveOnePass);
    Get<QRadioButton>(kTwoPasses)->setChecked(task.outputMode == kOutputInteractiveTwoPasses);
    Get<QRadioButton>(kAuto)->setEnabled(task.totalFrames > 4);
    Get<QRadioButton>(kTwoPasses)->setEnabled(!IsStillImageProfile(task.profile));
    Get<QLineEdit>(kFormatName)->setText(ToQ(task.profile.FormatName));
    auto* profiles = Get<QComboBox>(kProfiles);
    const QSignalBlocker quiet(profiles);
    profiles->clear();
    for (const std::string& name : ListProfileNames(task.profile.ProfileFile)) profiles->addItem(ToQ(name));
    profiles->setCurrentIndex(profiles->findText(ToQ(task.profile.ProfileName), Qt::MatchFixedString));
}

void MainWindow::UnloadPreview() {
    if (!preview_) return;
    preview_->LoadMovie(0, "");
    previewPath_.clear();
}

void MainWindow::ConnectControls() {
    connect(list_->selectionModel(), &QItemSelectionModel::selectionChanged, this,
            [this] { OnSelectionChanged(); });
    connect(list_, &QTableView::doubleClicked, this, [this] {
        for (int row : SelectedRows()) tasks_->SetChecked(row, !tasks_->IsChecked(row));
    });
    connect(list_, &QTableView::customContextMenuRequested, this, [this](const QPoint& at) {
        const QPoint global = list_->viewport()->mapToGlobal(at);
        const size_t selected = SelectedRows().size();
        if (selected == 0) OpenAddMenu(global);
        else if (selected == 1) OpenContextMenu(global);
    });
    const auto on = [this](int id, void (MainWindow::*handler)()) {
        connect(Get<QPushButton>(id), &QPushButton::clicked, this, handler);
    };
    connect(Get<QPushButton>(kAdd), &QPushButton::clicked, this, [this] {
        auto* add = Get<QPushButton>(kAdd);
        OpenAddMenu(add->mapToGlobal(add->rect().bottomLeft()));
    });
    on(kRemove, &MainWindow::OpenRemoveMenu);
    on(kConvert, &MainWindow::Convert);
    on(kFormats, &MainWindow::ChangeFormat);
    on(kOptions, &MainWindow::ShowOptions);
    on(kSetDefault, &MainWindow::SetFormatAsDefault);
    on(kChooseOutputFile, &MainWindow::ChooseOutputFile);
    on(kChooseFolder, &MainWindow::ChooseOutputFolder);
    on(kSettings, &MainWindow::OpenSettingsMenu);
    connect(Get<QPushButton>(kOpenFolder), &QPushButton::clicked, this,
            [] { OpenWithDesktop(CurrentAppSettings().convertDir); });
    connect(Get<QPushButton>(kWebPage), &QPushButton::clicked, this, [] { OpenProductHomePage(); });
    connect(Get<QComboBox>(kProfiles), &QComboBox::activated, this, &MainWindow::ChooseProfile);
    connect(Get<QRadioButton>(kAuto), &QRadioButton::clicked, this, [this] { SetOutputMode(kOutputAuto); });
    connect(Get<QRadioButton>(kOnePass), &QRadioButton::clicked, this,
            [this] { SetOutputMode(kOutputInteractiveOnePass); });
    connect(Get<QRadioButton>(kTwoPasses), &QRadioButton::clicked, this,
            [this] { SetOutputMode(kOutputInteractiveTwoPasses); });
    auto* fast = Get<QAbstractButton>(kFast);
    fast->setChecked(CurrentAppSettings().fastConversion != 0);
    connect(fast, &QAbstractButton::toggled, this, [](bool on) {
        CurrentAppSettings().fastConversion = on ? 1 : 0;
        WriteFastConversion(on ? 1 : 0);
    });
}

bool MainWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == list_->viewport()) {
        if (event->type() == QEvent::Resize) emptyListHint_->setGeometry(list_->viewport()->rect());
        // A click into the empty list offers the ways to fill it.
        if (event->type() == QEvent::MouseButtonRelease && tasks_->rowCount() == 0)
            OpenAddMenu(QCursor::pos());
    }
    return QDialog::eventFilter(watched, event);
}

void MainWindow::closeEvent(QCloseEvent* event) {
    if (converting_) {
        // The running conversion is cancelled; the window closes once it has
        // cleaned up after itself.
        closeRequested_ = true;
        // Not every dialog here is the run's (findChild knows only QDialog).
        for (QObject* child : children())
            if (auto* progress = dynamic_cast<ProgressWindow*>(child)) progress->Cancel();
        event->ignore();
        return;
    }
    UnloadPreview();
    tasks_->Clear();
    QDialog::closeEvent(event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
    // Escape must not close the program; Alt+F4 and the close box do.
    if (event->key() == Qt::Key_Escape) return;
    QDialog::keyPressEvent(event);
}

void MainWindow::reject() {
    if (converting_) {
        close();
        return;
    }
    QDialog::reject();
}

}  // namespace kinolux
