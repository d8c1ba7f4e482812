#include "tools/kinoluxbatch/batch_progress.h"

#include <unistd.h>

namespace kinolux::batch {

ProgressLine::ProgressLine(FILE* out, size_t total)
    : out_(out), terminal_(::isatty(::fileno(out)) == 1), total_(total) {}

void ProgressLine::Count(const MovieResult& result) {
    ++done_;
    ++counts_[static_cast<int>(result.status)];
    const auto count = [&](Status status) { return counts_[static_cast<int>(status)]; };
    if (terminal_) {
        std::fprintf(out_, "\r[%zu/%zu] %zu ok, %zu skipped, %zu failed, %zu timed out, %zu crashed\033[K", done_,
                     total_, count(Status::Ok), count(Status::Skipped), count(Status::Failed), count(Status::Timeout),
                     count(Status::Crashed));
    } else {
        std::fprintf(out_, "[%zu/%zu] %s %s%s%s\n", done_, total_, StatusName(result.status), result.movie.c_str(),
                     result.message.empty() ? "" : ": ", result.message.c_str());
    }
    std::fflush(out_);
}

void ProgressLine::End() {
    if (terminal_ && done_ > 0) std::fputc('\n', out_);
    std::fflush(out_);
}

}  // namespace kinolux::batch
