// The report of a batch: a header row, then one row per movie, written as
// each movie ends so a stopped run leaves what it did. CSV for a ".csv"
// file, JSON lines for ".jsonl" (the header a JSON array, each row an
// object).
#pragma once

#include <cstdio>
#include <string>

namespace kinolux::batch {

enum class Status { Ok, Skipped, Failed, Timeout, Crashed };

const char* StatusName(Status status);

struct MovieResult {
    std::string movie;
    std::string output;
    Status status = Status::Failed;
    int frames = 0;
    double seconds = 0;
    std::string message;
};

class ReportWriter {
public:
    // False, with `error`, when the file cannot be made or its name ends in
    // neither ".csv" nor ".jsonl".
    bool Open(const std::string& path, std::string& error);
    ~ReportWriter();
    void Write(const MovieResult& result);

    static std::string CsvField(const std::string& text);
    static std::string JsonString(const std::string& text);

private:
    FILE* file_ = nullptr;
    bool json_ = false;
};

}  // namespace kinolux::batch
