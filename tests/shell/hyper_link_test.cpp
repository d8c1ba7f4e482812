// The hyperlink control: its looks, its size, and what a click reports.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>

#include "platform/report.h"
#include "shell/hyper_link.h"
#include "tests/platform/test_application.h"
#include "tests/shell/recorded_runs.h"

// Fontconfig, loaded with Qt's fonts, keeps its configuration for the life of
// the process; the leak checker of sanitized builds is told so.
extern "C" const char* __lsan_default_suppressions() { return "leak:libfontconfig.so"; }

namespace kinolux {
namespace {

class HyperLinks : public ::testing::Test {
protected:
    static void SetUpTestSuite() { testing::EnsureApplication<QApplication>(); }
    static void PumpUntil(const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < 10000) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
    }
};

TEST(HyperLinkTexts, ResultCodesOfTheOpener) {
    EXPECT_EQ(OpenResultCode(true, QProcess::NormalExit, 0), kOpenSucceeded);
    EXPECT_EQ(OpenResultCode(true, QProcess::NormalExit, 2), 2);
    EXPECT_EQ(OpenResultCode(true, QProcess::NormalExit, 3), 31);
    EXPECT_EQ(OpenResultCode(true, QProcess::NormalExit, 4), 0);
    EXPECT_EQ(OpenResultCode(true, QProcess::CrashExit, 0), 0);
    EXPECT_EQ(OpenResultCode(false, QProcess::NormalExit, 0), 31);
    EXPECT_EQ(HyperLinkErrorMessage(31),
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.");
    EXPECT_EQ(HyperLinkErrorMessage(26), "Unable to open hyperlink:\n\nA sharing violation occurred. ");
    EXPECT_EQ(HyperLinkErrorMessage(44), "Unable to open hyperlink:\n\nUnknown Error (44) occurred.");
}

TEST_F(HyperLinks, TooltipCursorAndFitToText) {
    QWidget parent;
    HyperLink link(&parent);
    link.setText(QStringLiteral("Kinolux on the web"));
    link.setGeometry(100, 50, 400, 40);
    link.setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    link.SetAddress("https://example.org/");
    EXPECT_EQ(link.toolTip(), QStringLiteral("https://example.org/")) << "the address when there is no tooltip";
    EXPECT_EQ(link.cursor().shape(), Qt::PointingHandCursor);
    EXPECT_EQ(link.width(), link.sizeHint().width());
    EXPECT_EQ(link.geometry().right(), 499) << "right-aligned: the right edge stays";
    EXPECT_NEAR(link.geometry().center().y(), 69, 1) << "vertically centred: the middle stays";
    EXPECT_EQ(link.height(), link.sizeHint().height());
    link.SetTooltip("Visit us");
    EXPECT_EQ(link.toolTip(), QStringLiteral("Visit us"));

    HyperLink centred(&parent);
    centred.setText(QStringLiteral("Help"));
    centred.setGeometry(0, 0, 300, 20);
    centred.setAlignment(Qt::AlignHCenter);
    centred.SetAddress("x");
    EXPECT_NEAR(centred.geometry().center().x(), 149, 1);
    EXPECT_EQ(centred.height(), 20);

    HyperLink fixed(&parent);
    fixed.SetFitToText(false);
    fixed.setGeometry(0, 0, 300, 20);
    fixed.SetAddress("x");
    EXPECT_EQ(fixed.width(), 300);
}

TEST_F(HyperLinks, AnOpenedLinkIsVisited) {
    testing::RecordedRuns runs;
    runs.AddProgram("xdg-open");
    HyperLink link;
    link.SetAddress("https://example.org/a?b=1&c=2");
    EXPECT_FALSE(link.Visited());
    ::testing::internal::CaptureStdout();
    link.Open();
    PumpUntil([&] { return link.Visited(); });
    EXPECT_EQ(::testing::internal::GetCapturedStdout(), "");
    EXPECT_TRUE(link.Visited());
    EXPECT_EQ(runs.Runs(), (std::vector<testing::ProgramRun>{{"xdg-open", "https://example.org/a?b=1&c=2"}}));
}

TEST_F(HyperLinks, WhenNeitherTheDesktopNorTheBrowserCanOpenItTheUserIsTold) {
    testing::RecordedRuns runs;
    runs.AddProgram("xdg-open");
    runs.SetExitCode(3);
    HyperLink link;
    link.SetAddress("https://example.org/");
    ::testing::internal::CaptureStdout();
    link.Open();
    EXPECT_TRUE(link.Opening());
    PumpUntil([&] { return !link.Opening(); });
    EXPECT_EQ(::testing::internal::GetCapturedStdout(),
              "Unable to open hyperlink:\n\nThere is no application associated\nwith the given filename extension.\n");
    EXPECT_FALSE(link.Visited());
}

TEST_F(HyperLinks, TheBrowserStepsInWhenTheDesktopCannot) {
    testing::RecordedRuns runs;
    runs.AddProgram("x-www-browser");  // and no xdg-open at all
    HyperLink link;
    link.SetAddress("https://example.org/");
    link.Open();
    PumpUntil([&] { return link.Visited(); });
    EXPECT_TRUE(link.Visited());
    EXPECT_EQ(runs.Runs(), (std::vector<testing::ProgramRun>{{"x-www-browser", "https://example.org/"}}));
}

}  // namespace
}  // namespace kinolux
