#include "castor/libav_log.h"

#include <cstdio>
#include <cstdlib>

extern "C" {
#include <libavutil/log.h>
}

namespace castor {
namespace {

thread_local int scopeDepth = 0;
thread_local std::string lastError;

std::string Trimmed(const char* line) {
    std::string text = line;
    while (!text.empty() && (text.back() == '\n' || text.back() == ' ' || text.back() == '.')) {
        text.pop_back();
    }
    return text;
}

void RouteLog(void* object, int level, const char* format, va_list arguments) {
    if (scopeDepth == 0) {
        av_log_default_callback(object, level, format, arguments);
        return;
    }
    if (level > AV_LOG_ERROR && std::getenv("KINOLUX_DEBUG") == nullptr) {
        return;
    }
    char line[1024];
    int prefix = 0;
    av_log_format_line2(object, level, format, arguments, line, sizeof line, &prefix);
    if (level <= AV_LOG_ERROR) {
        lastError = Trimmed(line);
    }
    if (std::getenv("KINOLUX_DEBUG") != nullptr) {
        std::fputs(line, stderr);
    }
}

}  // namespace

void InstallLibavLog() { av_log_set_callback(RouteLog); }

void RemoveLibavLog() { av_log_set_callback(av_log_default_callback); }

LibavLogScope::LibavLogScope() {
    ++scopeDepth;
    lastError.clear();
}

LibavLogScope::~LibavLogScope() { --scopeDepth; }

std::string TakeLastLibavError() {
    std::string text;
    text.swap(lastError);
    return text;
}

}  // namespace castor
