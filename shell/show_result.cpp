#include "shell/show_result.h"

#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QStringList>
#include <QUrl>
#include <algorithm>
#include <array>
#include <dirent.h>

#include "platform/paths.h"
#include "platform/report.h"
#include "shell/external_programs.h"

namespace kinolux {

namespace {

constexpr const char* kFileManagerService = "org.freedesktop.FileManager1";
constexpr int kFileManagerTimeoutMs = 5000;

std::string UpperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(), [](unsigned char c) { return char(std::toupper(c)); });
    return text;
}

bool CanList(const std::string& folder) {
    DIR* dir = ::opendir(folder.c_str());
    if (!dir) return false;
    ::closedir(dir);
    return true;
}

bool OffersFileManager(const QDBusConnection& bus) {
    if (!bus.isConnected() || !bus.interface()) return false;
    const QString service = QString::fromLatin1(kFileManagerService);
    return bus.interface()->isServiceRegistered(service).value() ||
           bus.interface()->activatableServiceNames().value().contains(service);
}

}  // namespace

ShowResultAction ChooseShowResult(const std::string& lastOutputPath) {
    static constexpr std::array<const char*, 6> kFolderOutputs = {"JPG", "BMP", "TIF", "TGA", "PNG", "TS"};
    const std::string extension = UpperCase(ExtensionOf(lastOutputPath));
    for (const char* folderOutput : kFolderOutputs) {
        if (extension != folderOutput) continue;
        const std::string folder = WithoutExtension(lastOutputPath);
        if (CanList(folder)) return {ShowResultAction::OpenFolder, folder};
        break;
    }
    return {ShowResultAction::SelectFile, lastOutputPath};
}

void ShowFileSelected(const std::string& path, const QDBusConnection& bus) {
    if (OffersFileManager(bus)) {
        QDBusMessage call = QDBusMessage::createMethodCall(QString::fromLatin1(kFileManagerService),
                                                           QStringLiteral("/org/freedesktop/FileManager1"),
                                                           QString::fromLatin1(kFileManagerService),
                                                           QStringLiteral("ShowItems"));
        const QString uri = QUrl::fromLocalFile(QString::fromStdString(path)).toString(QUrl::FullyEncoded);
        call << QStringList{uri} << QString();
        QDBusMessage reply = QDBusConnection(bus).call(call, QDBus::Block, kFileManagerTimeoutMs);
        if (reply.type() == QDBusMessage::ReplyMessage) return;
    }
    std::string folder = FolderOf(path);
    OpenWithDesktop(folder.empty() && !IsAbsolutePath(path) ? "." : folder.empty() ? "/" : folder);
}

void ShowResult(const std::string& lastOutputPath) {
    if (ConsoleMode() != 0) return;
    ShowResultAction action = ChooseShowResult(lastOutputPath);
    if (action.kind == ShowResultAction::OpenFolder) OpenWithDesktop(action.path);
    else ShowFileSelected(action.path, QDBusConnection::sessionBus());
}

}  // namespace kinolux
