#include <gtest/gtest.h>
#include <sys/stat.h>

#include "platform/ini_document.h"
#include "platform/ini_file.h"
#include "tests/platform/scoped_temp_folder.h"

namespace kinolux {
namespace {

using testing::ReadTextFile;
using testing::ScopedTempFolder;
using testing::WriteTextFile;

TEST(IniFile, NamesIgnoreCaseAndValuesAreTrimmed) {
    ScopedTempFolder dir;
    std::string path = dir / "a.ini";
    WriteTextFile(path, "; comment\n[Main]\n  Key One =  spaced value  \nnum=-42x\n[other]\nkey one=second\n");
    EXPECT_EQ(ReadIniString(path, "MAIN", "key one", "d"), "spaced value");
    EXPECT_EQ(ReadIniString(path, "main", "missing", "d"), "d");
    EXPECT_EQ(ReadIniString(path, "nosuch", "key one", "d"), "d");
    EXPECT_EQ(ReadIniString(dir / "absent.ini", "main", "key one", "d"), "d");
    EXPECT_EQ(ReadIniInt(path, "Main", "NUM", 7), -42);
    EXPECT_EQ(ReadIniInt(path, "Main", "key one", 7), 0);
    EXPECT_EQ(ReadIniInt(path, "Main", "absent", 7), 7);
}

TEST(IniFile, IntegersFollowTheProfileFunctionRules) {
    EXPECT_EQ(ParseIniInt("12abc", 5), 12);
    EXPECT_EQ(ParseIniInt("  +3", 5), 3);
    EXPECT_EQ(ParseIniInt("", 5), 5);
    EXPECT_EQ(ParseIniInt("99999999999999999999", 5), 2147483647);
    EXPECT_EQ(ParseIniInt("-99999999999999999999", 5), -2147483647 - 1);
}

TEST(IniFile, SectionNamesInFileOrderOnce) {
    IniDocument doc = IniDocument::Parse("\xEF\xBB\xBF[b]\n[a]\nx=1\n[B]\n[ c ]\n");
    EXPECT_EQ(doc.SectionNames(), (std::vector<std::string>{"b", "a", "c"}));
    EXPECT_EQ(doc.Get("A", "X").value_or(""), "1");
}

TEST(IniFile, WriteKeepsEveryOtherLine) {
    ScopedTempFolder dir;
    std::string path = dir / "a.ini";
    WriteTextFile(path, "; keep me\r\n[One]\r\nA=1\r\n\r\n[Two]\r\nB = 2\r\nodd line\r\n");
    ASSERT_TRUE(WriteIniString(path, "two", "b", "3"));
    ASSERT_TRUE(WriteIniString(path, "ONE", "C", "new"));
    ASSERT_TRUE(WriteIniString(path, "Three", "D", " padded "));
    EXPECT_EQ(ReadTextFile(path),
              "; keep me\r\n[One]\r\nA=1\r\nC=new\r\n\r\n[Two]\r\nb=3\r\nodd line\r\n\r\n[Three]\r\nD=padded\r\n");
}

TEST(IniFile, WriteCreatesTheFileAndRefusesWhatALineCannotHold) {
    ScopedTempFolder dir;
    std::string path = dir / "new.ini";
    EXPECT_FALSE(WriteIniString(path, "s", "k", "two\nlines"));
    EXPECT_FALSE(WriteIniString(path, "s]", "k", "v"));
    EXPECT_FALSE(WriteIniString(path, "s", "k=", "v"));
    EXPECT_FALSE(WriteIniString(path, "s", "", "v"));
    EXPECT_FALSE(std::filesystem::exists(path));
    ASSERT_TRUE(WriteIniString(path, "s", "k", "v"));
    EXPECT_EQ(ReadTextFile(path), "[s]\nk=v\n");
    EXPECT_FALSE(WriteIniString(dir / "no/such/folder.ini", "s", "k", "v"));
}

// Permissions do not stop root, which CI runs as; what stands in the file's
// place here cannot be read by anyone: a folder, and a FIFO that nobody
// writes to (opening it to read would wait for a writer for ever).
TEST(IniFile, AFileThatCannotBeReadIsNeverReplaced) {
    ScopedTempFolder dir;
    const std::string folder = dir / "folder.ini";
    std::filesystem::create_directory(folder);
    WriteTextFile(folder + "/precious", "kept");
    EXPECT_FALSE(WriteIniString(folder, "s", "k", "v"));
    EXPECT_EQ(ReadTextFile(folder + "/precious"), "kept");

    const std::string fifo = dir / "fifo.ini";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    EXPECT_FALSE(WriteIniString(fifo, "s", "k", "v"));
    struct stat st {};
    ASSERT_EQ(::lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode)) << "not replaced by a file";
    EXPECT_EQ(ReadIniString(fifo, "s", "k", "none"), "none");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2) << "no temporary left";
}

TEST(IniFile, AWriteKeepsTheFilePermissions) {
    ScopedTempFolder dir;
    std::string path = dir / "p.ini";
    WriteTextFile(path, "[s]\n");
    ::chmod(path.c_str(), 0640);
    ASSERT_TRUE(WriteIniString(path, "s", "k", "v"));
    struct stat st {};
    ASSERT_EQ(::stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1) << "no temporary left";
}

}  // namespace
}  // namespace kinolux
