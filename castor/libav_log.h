// Routes libav's log. While a thread runs an encoding (a LibavLogScope is
// alive on it), libav's errors on that thread are kept so that castor's
// own messages can say what libav objected to; nothing reaches the
// terminal unless KINOLUX_DEBUG is set. Other threads of the process (the
// SWF engine decodes sound with libavcodec too) keep libav's default log.
#pragma once

#include <string>

namespace castor {

// Installs the routing callback; CSInit calls it once.
void InstallLibavLog();
// Restores libav's default callback; CSExit calls it.
void RemoveLibavLog();

class LibavLogScope {
public:
    LibavLogScope();
    ~LibavLogScope();
    LibavLogScope(const LibavLogScope&) = delete;
    LibavLogScope& operator=(const LibavLogScope&) = delete;
};

// The last error libav logged on this thread inside a scope, and forgets
// it; empty when there was none.
std::string TakeLastLibavError();

}  // namespace castor
