#include <gtest/gtest.h>

#include <QApplication>
#include <QDialog>
#include <QFile>

#include "bindings/veneer.h"

namespace {

TEST(Veneer, LoadsTheSkinFromTheProgramFolderAndAppliesIt) {
    int argc = 1;
    char name[] = "veneer_test";
    char* argv[] = {name, nullptr};
    QApplication app(argc, argv);
    QDialog window;
    EXPECT_EQ(QVS_AddFilterHook(&window), 0) << "nothing loaded yet";
    EXPECT_EQ(QVS_InitSkin(1, 1, "no_such_skin"), 0);
    EXPECT_EQ(QVS_InitSkin(1, 1, "../resources/kinolux_skin"), 0) << "a name, not a path";
    ASSERT_TRUE(QFile::exists(KINOLUX_BIN_DIR "/resources/kinolux_skin.qss"));
    EXPECT_EQ(QVS_InitSkin(1, 1, "kinolux_skin"), 1);
    EXPECT_EQ(QVS_AddFilterHook(&window), 1);
    EXPECT_TRUE(window.styleSheet().contains("#D9EAFF"));
    EXPECT_EQ(QVS_AddFilterHook(nullptr), 0);
}

}  // namespace
