#include "tools/kinoluxbatch/batch_report.h"

#include <cinttypes>

namespace kinolux::batch {

namespace {

bool EndsWith(const std::string& text, const std::string& end) {
    return text.size() >= end.size() && text.compare(text.size() - end.size(), end.size(), end) == 0;
}

std::string Fixed(double seconds) {
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", seconds);
    return text;
}

}  // namespace

const char* StatusName(Status status) {
    switch (status) {
    case Status::Ok: return "ok";
    case Status::Skipped: return "skipped";
    case Status::Failed: return "failed";
    case Status::Timeout: return "timeout";
    case Status::Crashed: return "crashed";
    }
    return "failed";
}

std::string ReportWriter::CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos) return text;
    std::string quoted = "\"";
    for (char c : text) quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string ReportWriter::JsonString(const std::string& text) {
    std::string out = "\"";
    for (unsigned char c : text) {
        switch (c) {
        case '"': out += "\\\""; break;
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        default:
            if (c < 0x20) {
                char escaped[8];
                std::snprintf(escaped, sizeof escaped, "\\u%04x", c);
                out += escaped;
            } else {
                out += static_cast<char>(c);
            }
        }
    }
    return out + "\"";
}

bool ReportWriter::Open(const std::string& path, std::string& error) {
    json_ = EndsWith(path, ".jsonl");
    if (!json_ && !EndsWith(path, ".csv")) {
        error = "The report " + path + " must end in .csv or .jsonl.";
        return false;
    }
    file_ = std::fopen(path.c_str(), "w");
    if (!file_) {
        error = "The report " + path + " cannot be written.";
        return false;
    }
    std::fputs(json_ ? "[\"movie\",\"output\",\"status\",\"frames\",\"seconds\",\"message\"]\n"
                     : "movie,output,status,frames,seconds,message\n",
               file_);
    std::fflush(file_);
    return true;
}

ReportWriter::~ReportWriter() {
    if (file_) std::fclose(file_);
}

void ReportWriter::Write(const MovieResult& r) {
    if (!file_) return;
    const std::string line =
        json_ ? "{\"movie\":" + JsonString(r.movie) + ",\"output\":" + JsonString(r.output) + ",\"status\":\"" +
                    StatusName(r.status) + "\",\"frames\":" + std::to_string(r.frames) +
                    ",\"seconds\":" + Fixed(r.seconds) + ",\"message\":" + JsonString(r.message) + "}\n"
              : CsvField(r.movie) + "," + CsvField(r.output) + "," + StatusName(r.status) + "," +
                    std::to_string(r.frames) + "," + Fixed(r.seconds) + "," + CsvField(r.message) + "\n";
    std::fputs(line.c_str(), file_);
    std::fflush(file_);
}

}  // namespace kinolux::batch
