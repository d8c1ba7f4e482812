#include "shell/external_programs.h"

#include <QProcess>
#include <QStringList>
#include <QUrl>

#include "platform/program_folder.h"
#include "shell/wait_cursor.h"

namespace kinolux {

namespace {

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments) {
    QStringList list;
    for (const std::string& argument : arguments) list << QString::fromStdString(argument);
    WaitCursor wait;
    return QProcess::startDetached(QString::fromStdString(program), list);
}

}  // namespace

bool OpenWithDesktop(const std::string& target) { return StartDetached(kDesktopOpener, {target}); }

bool StartCompanionProgram(const std::string& name, const std::vector<std::string>& arguments) {
    return StartDetached(GetProgramFolder(true) + name, arguments);
}

std::string HelpPageAddress(const std::string& section) {
    QUrl page = QUrl::fromLocalFile(QString::fromStdString(GetProgramFolder(true) + kHelpPageName));
    if (!section.empty()) page.setFragment(QString::fromStdString(section));
    return page.toString(QUrl::FullyEncoded).toStdString();
}

void OpenHelpPage() { OpenWithDesktop(GetProgramFolder(true) + kHelpPageName); }

void StartMediaPlayer() { StartCompanionProgram(kMediaPlayerName); }

void StartDiscBurner() { StartCompanionProgram(kDiscBurnerName); }

void OpenProductHomePage() { OpenWithDesktop(kProductHomePage); }

void OpenBluRayBurningPage() { OpenWithDesktop(HelpPageAddress("bluray")); }

}  // namespace kinolux
