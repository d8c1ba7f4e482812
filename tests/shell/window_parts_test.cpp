// The parts the windows are made of: a dialog built from its table, the
// task list model, finding movies in folders and the background colour a
// movie declares.
#include "profiles/dialog_table.h"
#include "shell/declared_background.h"
#include "shell/movie_scan.h"
#include "shell/task_list_model.h"
#include "tests/shell/window_test_support.h"

#include <gtest/gtest.h>

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <array>
#include <filesystem>
#include <functional>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace kinolux {
namespace {

namespace fs = std::filesystem;
using testing::SmallMovie;
using testing::WriteFile;

constexpr std::array<DialogControl, 5> kRows{{
    {10, ControlKind::Button, "btnAddInfo", "btnAddTooltip", {9, 216, 60, 20}},
    {11, ControlKind::Button, "btnChangeOutputFolderInfo", "btnChangeOutputFolderTooltip", {328, 296, 23, 14}},
    {12, ControlKind::PictureButton, nullptr, "btnSettingsTooltip", {363, 9, 23, 23}},
    {13, ControlKind::Edit, "strOutputFileNameInfo", nullptr, {70, 279, 195, 14}},
    {0, ControlKind::Frame, nullptr, nullptr, {6, 38, 193, 202}},
}};

class LanguageScope {
public:
    LanguageScope() { Languages().SetLanguageFolder(testing::BuiltProgramFolder() + "/language/kinolux/"); }
    ~LanguageScope() { Languages().SelectLanguage("English"); }
};

TEST(DialogTableTest, MakesEveryRowPlacedInDialogUnitsAndNamedForScreenReaders) {
    flash::testing::ensureApplication();
    QWidget dialog;
    DialogTable table(dialog, "MAIN_DLG", kRows);
    auto* add = table.Get<QPushButton>(10);
    ASSERT_NE(add, nullptr);
    EXPECT_EQ(add->text(), "&Add");
    EXPECT_EQ(add->toolTip(), "Add Files to Flash(swf) file list");
    EXPECT_EQ(add->accessibleName(), "Add");
    EXPECT_EQ(add->property("itemId").toInt(), 10);
    // "..." says nothing: its tooltip names it; a picture button is named by its tooltip.
    EXPECT_EQ(table.Widget(11)->accessibleName(), "Change output folder");
    EXPECT_EQ(table.Widget(12)->accessibleName(), "System settings");
    auto* edit = table.Get<QLineEdit>(13);
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->isReadOnly());
    EXPECT_TRUE(edit->text().isEmpty());
    EXPECT_EQ(edit->accessibleName(), "File name:");
    // Twice as far right as a control of half the offset, in proportion.
    const QRect addRect = add->geometry();
    const QRect editRect = edit->geometry();
    EXPECT_GT(addRect.width(), 0);
    EXPECT_NEAR(double(editRect.width()) / addRect.width(), 195.0 / 60, 0.2);
    EXPECT_EQ(table.Widget(0), nullptr);
    EXPECT_EQ(dialog.findChildren<QFrame*>(Qt::FindDirectChildrenOnly).size(), 1);
}

TEST(DialogTableTest, ALanguageChoiceRelabelsEveryOpenTableAtOnce) {
    flash::testing::ensureApplication();
    LanguageScope languages;
    QWidget first, second;
    DialogTable one(first, "MAIN_DLG", kRows);
    DialogTable two(second, "MAIN_DLG", kRows);
    int extraRelabels = 0;
    two.SetAfterRelabel([&] { ++extraRelabels; });
    Languages().SelectLanguage("Deutsch - German");
    RelabelAllDialogs();
    EXPECT_EQ(one.Get<QPushButton>(10)->text(), "&Hinzufügen");
    EXPECT_EQ(two.Get<QPushButton>(10)->accessibleName(), "Hinzufügen");
    EXPECT_EQ(two.Widget(12)->toolTip(), "Systemeinstellungen");
    EXPECT_EQ(extraRelabels, 1);
}

std::unique_ptr<ConversionTask> TaskFor(const std::string& path, int64_t in, int64_t out) {
    auto task = std::make_unique<ConversionTask>();
    task->inputPath = path;
    task->inFrame = in;
    task->outFrame = out;
    return task;
}

TEST(TaskListModelTest, FourColumnsWithCheckBoxesAndTheRangeOnceShown) {
    flash::testing::ensureApplication();
    TaskListModel model;
    EXPECT_EQ(model.columnCount(), 4);
    const QStringList titles{"File Name", "In", "Out", "Path Name"};
    for (int c = 0; c < 4; ++c) EXPECT_EQ(model.headerData(c, Qt::Horizontal, Qt::DisplayRole).toString(), titles[c]);
    model.Append(TaskFor("/m/a.swf", 0, 9), true);
    model.Append(TaskFor("/m/b.swf", 2, 7), false);
    EXPECT_EQ(model.data(model.index(1, 0), Qt::DisplayRole).toString(), "b.swf");
    EXPECT_EQ(model.data(model.index(1, 3), Qt::DisplayRole).toString(), "/m/b.swf");
    EXPECT_EQ(model.data(model.index(0, 0), Qt::CheckStateRole).toInt(), Qt::Checked);
    EXPECT_EQ(model.data(model.index(1, 0), Qt::CheckStateRole).toInt(), Qt::Unchecked);
    EXPECT_TRUE(model.flags(model.index(0, 0)) & Qt::ItemIsUserCheckable);
    EXPECT_FALSE(model.flags(model.index(0, 1)) & Qt::ItemIsUserCheckable);
    // The frame columns stay empty until the task is shown.
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), "");
    model.ShowFrameRange(1);
    EXPECT_EQ(model.data(model.index(1, 1), Qt::DisplayRole).toString(), "2");
    EXPECT_EQ(model.data(model.index(1, 2), Qt::DisplayRole).toString(), "7");
    EXPECT_TRUE(model.setData(model.index(1, 0), Qt::Checked, Qt::CheckStateRole));
    EXPECT_TRUE(model.IsChecked(1));
}

TEST(TaskListModelTest, RemovingSelectedUncheckedAndEverything) {
    flash::testing::ensureApplication();
    TaskListModel model;
    for (const char* name : {"/m/a.swf", "/m/b.swf", "/m/c.swf", "/m/d.swf", "/m/e.swf"})
        model.Append(TaskFor(name, 0, 1), true);
    model.RemoveRows({3, 1, 3});
    ASSERT_EQ(model.rowCount(), 3);
    EXPECT_EQ(model.Task(1).inputPath, "/m/c.swf");
    model.SetChecked(0, false);
    model.SetChecked(2, false);
    model.RemoveUnchecked();
    ASSERT_EQ(model.rowCount(), 1);
    EXPECT_EQ(model.Task(0).inputPath, "/m/c.swf");
    model.Clear();
    EXPECT_EQ(model.rowCount(), 0);
}

std::vector<std::string> Names(const std::vector<std::string>& paths) {
    std::vector<std::string> names;
    for (const std::string& path : paths) names.push_back(fs::path(path).filename());
    std::sort(names.begin(), names.end());
    return names;
}

TEST(MovieScanTest, ByContentFindsAllThreeSignaturesAndEndsOnLinkLoops) {
    testing::ScopedTempFolder folder;
    const std::string root = folder / "tree";
    WriteFile(root + "/plain.swf", SmallMovie(2));
    WriteFile(root + "/zlib.bin", SmallMovie(2, std::nullopt, swf::Compression::Zlib));
    WriteFile(root + "/sub/lzma", SmallMovie(2, std::nullopt, swf::Compression::Lzma));
    WriteFile(root + "/sub/notes.swf", {'h', 'e', 'l', 'l', 'o'});
    WriteFile(root + "/sub/tiny", {'F', 'W'});
    // Links back up the tree, and one to nowhere.
    fs::create_directory_symlink(root, root + "/sub/loop");
    fs::create_directory_symlink(root + "/sub", root + "/again");
    fs::create_symlink(root + "/missing", root + "/dangling.swf");
    // A pipe must not keep the walk waiting for a writer.
    ASSERT_EQ(::mkfifo((root + "/pipe.swf").c_str(), 0600), 0);
    EXPECT_EQ(Names(ScanFolderForMovies(root, ScanBy::Content, true)),
              (std::vector<std::string>{"lzma", "plain.swf", "zlib.bin"}));
    EXPECT_EQ(Names(ScanFolderForMovies(root, ScanBy::Content, false)),
              (std::vector<std::string>{"plain.swf", "zlib.bin"}));
    EXPECT_EQ(Names(ScanFolderForMovies(root, ScanBy::Extension, true)),
              (std::vector<std::string>{"notes.swf", "plain.swf"}));
}

// The superuser reads everything, so as root the scan runs in a child that
// has given up its rights for those of nobody.
bool AsAnOrdinaryUser(const std::function<bool()>& check) {
    if (::geteuid() != 0) return check();
    const pid_t child = ::fork();
    if (child == 0) {
        constexpr uid_t kNobody = 65534;
        const bool dropped = ::setgid(kNobody) == 0 && ::setuid(kNobody) == 0;
        ::_exit(dropped && check() ? 0 : 1);
    }
    int status = 0;
    return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

TEST(MovieScanTest, UnreadableEntriesAreSkippedAndAMissingFolderFindsNothing) {
    testing::ScopedTempFolder folder;
    const std::string root = folder / "tree";
    WriteFile(root + "/good.swf", SmallMovie(2));
    WriteFile(root + "/locked.swf", SmallMovie(2));
    WriteFile(root + "/closed/inside.swf", SmallMovie(2));
    ::chmod(folder.path().c_str(), 0755);
    ::chmod(root.c_str(), 0755);
    ::chmod((root + "/good.swf").c_str(), 0644);
    ::chmod((root + "/locked.swf").c_str(), 0);
    ::chmod((root + "/closed").c_str(), 0);
    EXPECT_TRUE(AsAnOrdinaryUser([&] {
        return Names(ScanFolderForMovies(root, ScanBy::Content, true)) == std::vector<std::string>{"good.swf"};
    }));
    ::chmod((root + "/closed").c_str(), 0700);
    EXPECT_TRUE(ScanFolderForMovies(folder / "nowhere", ScanBy::Content, true).empty());
}

TEST(MovieScanTest, NamesAndSignatures) {
    EXPECT_TRUE(HasMovieExtension("/a/b.SWF"));
    EXPECT_TRUE(HasMovieExtension("/a/b.swf"));
    EXPECT_FALSE(HasMovieExtension("/a/b.swf.txt"));
    EXPECT_FALSE(HasMovieExtension("swf"));
    EXPECT_FALSE(StartsLikeMovie("/nonexistent/file.swf"));
}

TEST(DeclaredBackgroundTest, TheColourBeforeTheFirstFrameAsAWindowsColourValue) {
    const auto black = SmallMovie(3, swf::Color{0, 0, 0, 255});
    EXPECT_EQ(DeclaredBackgroundColorRef(black), 0x000000u);
    const auto orange = SmallMovie(3, swf::Color{255, 128, 0, 255}, swf::Compression::Zlib);
    EXPECT_EQ(DeclaredBackgroundColorRef(orange), 0x0080FFu);
    const auto lzma = SmallMovie(3, swf::Color{1, 2, 3, 255}, swf::Compression::Lzma);
    EXPECT_EQ(DeclaredBackgroundColorRef(lzma), 0x030201u);
    EXPECT_EQ(DeclaredBackgroundColorRef(SmallMovie(3)), std::nullopt);
    // A colour set after the first frame is the movie's business, not the task's.
    std::vector<swf::Tag> late{swf::ShowFrame{}, swf::SetBackgroundColor{{0, 0, 0, 255}}, swf::ShowFrame{}};
    EXPECT_EQ(DeclaredBackgroundColorRef(testmovies::movie(late, testmovies::header(64, 48, 2))), std::nullopt);
    // Long metadata ahead of the colour: found past the first look.
    std::vector<swf::Tag> behindMetadata{swf::Metadata{std::string(20000, 'm')},
                                         swf::SetBackgroundColor{{9, 8, 7, 255}}, swf::ShowFrame{}};
    EXPECT_EQ(DeclaredBackgroundColorRef(
                  testmovies::movie(behindMetadata, testmovies::header(64, 48, 1, swf::Compression::Zlib))),
              0x070809u);
}

TEST(DeclaredBackgroundTest, DamagedMoviesDeclareNothing) {
    std::vector<uint8_t> cut = SmallMovie(3, swf::Color{0, 0, 0, 255});
    cut.resize(20);
    EXPECT_EQ(DeclaredBackgroundColorRef(cut), std::nullopt);
    EXPECT_EQ(DeclaredBackgroundColorRef(std::vector<uint8_t>{'G', 'I', 'F', '8', '9', 'a'}), std::nullopt);
    EXPECT_EQ(DeclaredBackgroundColorRef(std::vector<uint8_t>{}), std::nullopt);
    EXPECT_EQ(DeclaredBackgroundColorRef(std::string("/nonexistent/movie.swf")), std::nullopt);
}

}  // namespace
}  // namespace kinolux
