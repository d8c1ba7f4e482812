#include "castor/failure.h"

#include "castor/libav_log.h"

extern "C" {
#include <libavutil/error.h>
}

namespace castor {

void Fail(const std::string& message) { throw Failure(message); }

std::string LibavErrorText(int code) {
    char text[AV_ERROR_MAX_STRING_SIZE] = {};
    av_strerror(code, text, sizeof text);
    std::string result = text;
    const std::string logged = TakeLastLibavError();
    if (!logged.empty()) {
        result += " (" + logged + ")";
    }
    return result;
}

int Check(int code, const std::string& what) {
    if (code < 0) {
        Fail(what + ": " + LibavErrorText(code));
    }
    return code;
}

}  // namespace castor
