#include "shell/post_process.h"

#include <QProcess>
#include <QStringList>

#include "platform/program_folder.h"

namespace kinolux {

namespace {

std::string_view WithoutQuotes(std::string_view item, bool closingQuoteToo) {
    if (!item.empty() && item.front() == '"') item.remove_prefix(1);
    if (closingQuoteToo && !item.empty() && item.back() == '"') item.remove_suffix(1);
    return item;
}

// "./" that starts a path: at the start of the item or after a character
// that could not be part of a path before it ("../" and "a/./" are paths).
size_t FindProgramFolderPlaceHolder(const std::string& item) {
    for (size_t at = item.find("./"); at != std::string::npos; at = item.find("./", at + 1))
        if (at == 0 || (item[at - 1] != '.' && item[at - 1] != '/')) return at;
    return std::string::npos;
}

}  // namespace

std::vector<std::string> SplitPostProcessItems(std::string_view command) {
    std::vector<std::string> items;
    size_t start = command.find_first_not_of(' ');
    if (start == std::string_view::npos) return items;
    for (size_t end = command.find("\" ", start); end != std::string_view::npos; end = command.find("\" ", start)) {
        items.emplace_back(WithoutQuotes(command.substr(start, end - start), false));
        start = command.find_first_not_of(' ', end + 1);
        if (start == std::string_view::npos) return items;
    }
    items.emplace_back(WithoutQuotes(command.substr(start), true));
    return items;
}

std::string ReplacePostProcessPlaceHolder(const std::string& item, const std::string& outputPath) {
    std::string replaced = item;
    if (size_t at = FindProgramFolderPlaceHolder(item); at != std::string::npos)
        return replaced.replace(at, 2, GetProgramFolder(true));
    if (size_t at = item.find("%out"); at != std::string::npos) return replaced.replace(at, 4, outputPath);
    return replaced;
}

std::vector<std::string> PostProcessArguments(std::string_view command, const std::string& outputPath) {
    std::vector<std::string> arguments;
    for (const std::string& item : SplitPostProcessItems(command))
        arguments.push_back(ReplacePostProcessPlaceHolder(item, outputPath));
    return arguments;
}

bool RunPostProcess(const std::string& outputPath, std::string_view command) {
    std::vector<std::string> arguments = PostProcessArguments(command, outputPath);
    if (arguments.empty() || arguments[0].empty()) return false;
    QStringList rest;
    for (size_t i = 1; i < arguments.size(); ++i) rest << QString::fromStdString(arguments[i]);
    QProcess process;
    process.setProgram(QString::fromStdString(arguments[0]));
    process.setArguments(rest);
    // The program talks to the same terminal as we do and can never wait
    // for input that nobody will type.
    process.setProcessChannelMode(QProcess::ForwardedChannels);
    process.setStandardInputFile(QProcess::nullDevice());
    process.start();
    if (!process.waitForStarted(-1)) return false;
    process.waitForFinished(-1);
    return true;
}

}  // namespace kinolux
