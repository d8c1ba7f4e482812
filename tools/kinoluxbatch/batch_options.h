// kinoluxbatch's command line: one table of options drives the parsing, the
// checks and the usage text, so a new option is a new row.
#pragma once

#include <cstdio>
#include <span>
#include <string>
#include <variant>
#include <vector>

namespace kinolux::batch {

struct Shard {
    int index = 0;
    int count = 1;
};

struct BatchOptions {
    int jobs = 0;  // 0: one per core
    Shard shard;
    std::string reportPath;
    std::string profileFile;   // --pi
    std::string profileName;   // --pn
    std::string outputFolder;  // -o
    std::vector<std::string> inputs;
    bool help = false;
};

enum class OptionKind {
    Flag,   // no value
    Count,  // a whole number from 1 to 1024
    Shard,  // "I/N" with 0 <= I < N
    Text,   // any non-empty text
};

using BatchField =
    std::variant<bool BatchOptions::*, int BatchOptions::*, Shard BatchOptions::*, std::string BatchOptions::*>;

struct BatchOptionDef {
    const char* shortName;  // "-j", or null
    const char* longName;   // "--jobs", or null
    OptionKind kind;
    BatchField field;      // where the value goes
    const char* argument;  // the value's name in the usage text
    const char* help;
    bool required;
};

std::span<const BatchOptionDef> BatchOptionTable();

// Parses argv[1..argc-1]; every argument that is no option is an input.
// Returns "" or the message for the first bad argument (or what is
// missing), the usage text left to the caller.
std::string ParseBatchOptions(int argc, const char* const* argv, BatchOptions& options);

void WriteBatchUsage(FILE* out);

}  // namespace kinolux::batch
