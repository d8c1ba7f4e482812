#include "bindings/veneer.h"

#include <QFile>
#include <QString>
#include <QWidget>
#include <dlfcn.h>
#include <mutex>
#include <string>

namespace {

std::mutex sheetLock;
QString loadedSheet;

// The library lives in the program folder beside the executable; its own
// file name leads there without asking the program.
std::string LibraryFolder() {
    Dl_info info{};
    if (::dladdr(reinterpret_cast<void*>(&QVS_InitSkin), &info) == 0 || info.dli_fname == nullptr) return ".";
    std::string path = info.dli_fname;
    size_t slash = path.rfind('/');
    return slash == std::string::npos ? "." : path.substr(0, slash);
}

}  // namespace

extern "C" int QVS_InitSkin(int, int, const char* skinName) {
    if (skinName == nullptr || *skinName == '\0' || std::string(skinName).find('/') != std::string::npos) return 0;
    QFile file(QString::fromStdString(LibraryFolder() + "/resources/" + skinName + ".qss"));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text)) return 0;
    QString sheet = QString::fromUtf8(file.readAll());
    std::lock_guard<std::mutex> hold(sheetLock);
    loadedSheet = sheet;
    return 1;
}

extern "C" int QVS_AddFilterHook(QWidget* window) {
    if (window == nullptr) return 0;
    QString sheet;
    {
        std::lock_guard<std::mutex> hold(sheetLock);
        sheet = loadedSheet;
    }
    if (sheet.isEmpty()) return 0;
    window->setStyleSheet(sheet);
    return 1;
}
