#include "shell/command_line.h"

#include <array>

namespace kinolux {

namespace {

constexpr std::array<std::string_view, 11> kSwitches = {"/f",  "/o",  "/if", "/of",   "/om",  "/fd",
                                                        "/pi", "/pn", "/h",  "/help", "/fast"};

bool IsSwitchAt(std::string_view text, size_t at) {
    if (text[at] != '/' || (at > 0 && text[at - 1] != ' ')) return false;
    size_t end = text.find(' ', at);
    std::string_view word = text.substr(at, end == std::string_view::npos ? std::string_view::npos : end - at);
    for (std::string_view name : kSwitches)
        if (word == name) return true;
    return false;
}

size_t FindSwitch(std::string_view text, size_t from) {
    for (size_t at = text.find('/', from); at != std::string_view::npos; at = text.find('/', at + 1))
        if (IsSwitchAt(text, at)) return at;
    return std::string_view::npos;
}

// Where the switches start: after the program name (to its closing quote
// when it is quoted, else to the first blank) and the blanks that follow.
size_t SwitchTextStart(std::string_view text) {
    size_t end = 0;
    if (!text.empty() && text[0] == '"') {
        size_t close = text.find('"', 1);
        end = close == std::string_view::npos ? text.size() : close + 1;
    }
    end = text.find(' ', end);
    if (end == std::string_view::npos) return text.size();
    size_t start = text.find_first_not_of(' ', end);
    return start == std::string_view::npos ? text.size() : start;
}

std::string* ValueOf(CommandLineJob& job, std::string_view name) {
    if (name == "/f") return &job.inputFile;
    if (name == "/o") return &job.outputFile;
    if (name == "/if") return &job.inFrame;
    if (name == "/of") return &job.outFrame;
    if (name == "/om") return &job.outputMode;
    if (name == "/fd") return &job.frameDuration;
    if (name == "/pi") return &job.profileFile;
    if (name == "/pn") return &job.profileName;
    return nullptr;
}

}  // namespace

bool NextSwitch(std::string_view text, size_t& cursor, std::string& name, std::string& value) {
    name.clear();
    value.clear();
    size_t at = FindSwitch(text, cursor);
    if (at == std::string_view::npos) {
        cursor = text.size();
        return false;
    }
    size_t blank = text.find(' ', at);
    name = std::string(text.substr(at, blank == std::string_view::npos ? std::string_view::npos : blank - at));
    if (blank == std::string_view::npos) {
        cursor = text.size();
        return true;
    }
    size_t valueStart = text.find_first_not_of(' ', blank);
    size_t next = FindSwitch(text, blank);
    if (next == std::string_view::npos) {
        cursor = text.size();
        if (valueStart != std::string_view::npos) value = std::string(text.substr(valueStart));
        return true;
    }
    cursor = next;
    size_t valueEnd = next;
    while (valueEnd > blank && text[valueEnd - 1] == ' ') --valueEnd;
    if (valueStart < valueEnd) value = std::string(text.substr(valueStart, valueEnd - valueStart));
    return true;
}

ParseResult ParseCommandLine(CommandLineJob& job, std::string& error) {
    const std::string_view text = job.commandLine;
    if (text.size() > kMaxCommandLine) {
        error = "The command line is longer than " + std::to_string(kMaxCommandLine) + " characters.";
        return ParseResult::Refused;
    }
    size_t cursor = SwitchTextStart(text);
    size_t first = FindSwitch(text, cursor);
    job.ignoredText = std::string(text.substr(cursor, first == std::string_view::npos ? std::string_view::npos : first - cursor));
    while (!job.ignoredText.empty() && job.ignoredText.back() == ' ') job.ignoredText.pop_back();

    std::string name, value;
    while (NextSwitch(text, cursor, name, value)) {
        if (value.size() > kMaxSwitchValue) {
            error = "The value of " + name + " is longer than " + std::to_string(kMaxSwitchValue) + " characters.";
            return ParseResult::Refused;
        }
        if (std::string* slot = ValueOf(job, name)) *slot = value;
        else if (name == "/fast") job.fast = 1;  // the value is ignored
        else job.helpRequested = 1;  // "/h" or "/help"; the value is ignored
    }
    bool console = job.helpRequested != 0 || (!job.inputFile.empty() && !job.outputFile.empty());
    return console ? ParseResult::Console : ParseResult::Window;
}

}  // namespace kinolux
