// The step a finished AVCHD transport-stream output goes through: a
// Blu-ray folder written beside it. The run only decides when; how is
// left to whoever starts the run (the muxer library in the program).
#pragma once

#include <functional>
#include <string>

namespace kinolux {

class BluRayStep {
public:
    virtual ~BluRayStep() = default;
    // `show` follows the step (a percentage and the library's text);
    // `cancelled` tells whether the user has cancelled, which stops it.
    virtual void Make(const std::string& outputPath, const std::function<void(int, const std::string&)>& show,
                      const std::function<bool()>& cancelled) = 0;
};

}  // namespace kinolux
