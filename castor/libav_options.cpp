#include "castor/libav_options.h"

#include "castor/failure.h"

extern "C" {
#include <libavutil/error.h>
#include <libavutil/opt.h>
}

namespace castor {

bool SetLibavOption(void* object, const std::string& name, const std::string& value) {
    // The private options go first: libx264's "profile" takes "baseline",
    // the context's own "profile" would not.
    int status = AVERROR_OPTION_NOT_FOUND;
    if (void* own = av_opt_child_next(object, nullptr)) {
        status = av_opt_set(own, name.c_str(), value.c_str(), 0);
    }
    if (status == AVERROR_OPTION_NOT_FOUND) {
        status = av_opt_set(object, name.c_str(), value.c_str(), 0);
    }
    if (status == AVERROR_OPTION_NOT_FOUND) {
        return false;
    }
    Check(status, "Invalid value '" + value + "' for option '-" + name + "'");
    return true;
}

}  // namespace castor
