#include "tools/kinoluxbatch/batch_options.h"

#include <array>
#include <charconv>
#include <cstring>

namespace kinolux::batch {

namespace {

constexpr int kMostJobs = 1024;

// The rows, in the order of the usage text.
constexpr std::array<BatchOptionDef, 7> kOptions{{
    {"-j", "--jobs", OptionKind::Count, &BatchOptions::jobs, "N", "convert N movies at once (default: one per core)",
     false},
    {nullptr, "--shard", OptionKind::Shard, &BatchOptions::shard, "I/N",
     "take every N-th movie of the sorted list, from the I-th", false},
    {nullptr, "--report", OptionKind::Text, &BatchOptions::reportPath, "FILE",
     "write a report: CSV for .csv, JSON lines for .jsonl", false},
    {nullptr, "--pi", OptionKind::Text, &BatchOptions::profileFile, "PROFILEFILE",
     "the output profile file (ini/mp4.ini, or any path)", true},
    {nullptr, "--pn", OptionKind::Text, &BatchOptions::profileName, "PROFILE", "the profile in that file (mp4 Normal)",
     true},
    {"-o", nullptr, OptionKind::Text, &BatchOptions::outputFolder, "OUTDIR", "the folder the outputs are written to",
     true},
    {"-h", "--help", OptionKind::Flag, &BatchOptions::help, nullptr, "show this help", false},
}};

bool Named(const BatchOptionDef& row, std::string_view name) {
    return (row.shortName && name == row.shortName) || (row.longName && name == row.longName);
}

std::string NameOf(const BatchOptionDef& row) { return row.longName ? row.longName : row.shortName; }

bool ParseNumber(std::string_view text, int& value) {
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

// The value of `row` checked and stored in its field; "" or why it is
// refused.
std::string Store(const BatchOptionDef& row, const std::string& value, BatchOptions& options) {
    const std::string name = NameOf(row);
    switch (row.kind) {
    case OptionKind::Flag: options.*std::get<bool BatchOptions::*>(row.field) = true; return {};
    case OptionKind::Count: {
        int count = 0;
        if (!ParseNumber(value, count) || count < 1 || count > kMostJobs)
            return name + " wants a whole number from 1 to " + std::to_string(kMostJobs) + ", not \"" + value + "\".";
        options.*std::get<int BatchOptions::*>(row.field) = count;
        return {};
    }
    case OptionKind::Shard: {
        const size_t slash = value.find('/');
        Shard shard;
        if (slash == std::string::npos || !ParseNumber(std::string_view(value).substr(0, slash), shard.index) ||
            !ParseNumber(std::string_view(value).substr(slash + 1), shard.count) || shard.count < 1 ||
            shard.index < 0 || shard.index >= shard.count)
            return name + " wants I/N with 0 <= I < N, not \"" + value + "\".";
        options.*std::get<Shard BatchOptions::*>(row.field) = shard;
        return {};
    }
    case OptionKind::Text:
        if (value.empty()) return name + " wants a value.";
        options.*std::get<std::string BatchOptions::*>(row.field) = value;
        return {};
    }
    return {};
}

bool Given(const BatchOptionDef& row, const BatchOptions& options) {
    return row.kind != OptionKind::Text || !(options.*std::get<std::string BatchOptions::*>(row.field)).empty();
}

}  // namespace

std::span<const BatchOptionDef> BatchOptionTable() { return kOptions; }

std::string ParseBatchOptions(int argc, const char* const* argv, BatchOptions& options) {
    bool onlyInputs = false;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i] ? argv[i] : "";
        if (onlyInputs || argument.empty() || argument[0] != '-' || argument == "-") {
            options.inputs.push_back(argument);
            continue;
        }
        if (argument == "--") {
            onlyInputs = true;
            continue;
        }
        // "--name=value" and "-jN" carry their value with them.
        std::string name = argument, value;
        bool attached = false;
        if (const size_t equals = argument.find('='); argument.rfind("--", 0) == 0 && equals != std::string::npos) {
            name = argument.substr(0, equals);
            value = argument.substr(equals + 1);
            attached = true;
        } else if (argument.rfind("--", 0) != 0 && argument.size() > 2) {
            name = argument.substr(0, 2);
            value = argument.substr(2);
            attached = true;
        }
        const BatchOptionDef* row = nullptr;
        for (const BatchOptionDef& candidate : kOptions)
            if (Named(candidate, name)) row = &candidate;
        if (!row) return "Unknown option " + argument + ".";
        if (row->kind == OptionKind::Flag) {
            if (attached) return NameOf(*row) + " takes no value.";
        } else if (!attached) {
            if (i + 1 >= argc || !argv[i + 1]) return NameOf(*row) + " wants a value.";
            value = argv[++i];
        }
        if (std::string problem = Store(*row, value, options); !problem.empty()) return problem;
    }
    if (options.help) return {};
    for (const BatchOptionDef& row : kOptions)
        if (row.required && !Given(row, options)) return NameOf(row) + " " + row.argument + " is missing.";
    if (options.inputs.empty()) return "No movie, folder or list of movies was given.";
    return {};
}

void WriteBatchUsage(FILE* out) {
    std::fprintf(out,
                 "Usage: kinoluxbatch [-j N] [--shard I/N] [--report FILE] --pi PROFILEFILE --pn PROFILE -o OUTDIR "
                 "INPUT...\n\n"
                 "Converts many Flash movies, each by its own kinolux in fast mode. An INPUT is a movie, a folder\n"
                 "(searched for movies by their content, with its subfolders) or a text file that lists movies,\n"
                 "one a line. Outputs that exist already are skipped, so a stopped run picks up where it was.\n\n");
    for (const BatchOptionDef& row : kOptions) {
        std::string names = row.shortName ? row.shortName : "";
        if (row.longName) names += (names.empty() ? "" : ", ") + std::string(row.longName);
        if (row.argument) names += std::string(" ") + row.argument;
        std::fprintf(out, "  %-22s %s\n", names.c_str(), row.help);
    }
    std::fprintf(out, "\nExit status: 0 when every movie was converted (or was already), 1 otherwise.\n");
}

}  // namespace kinolux::batch
