// The progress line of a batch on the terminal: counts of what has ended,
// redrawn in place on a terminal, one line per movie elsewhere (a log).
#pragma once

#include "tools/kinoluxbatch/batch_report.h"

#include <cstdio>

namespace kinolux::batch {

class ProgressLine {
public:
    ProgressLine(FILE* out, size_t total);
    void Count(const MovieResult& result);
    // Ends the line in place with a line feed.
    void End();

private:
    FILE* out_;
    bool terminal_;
    size_t total_;
    size_t done_ = 0;
    size_t counts_[5] = {};
};

}  // namespace kinolux::batch
