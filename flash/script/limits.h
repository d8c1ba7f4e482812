// Bounds on what one script run may cost, and the failures that end a run.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>

namespace kinolux::script {

struct ScriptLimits {
    // A script that runs longer than this is stopped and scripts are turned
    // off for the movie, as the Flash player does when the user answers its
    // "script is running slowly" question. Time is counted in actions, at
    // `actionsPerSecond`, so that a movie stops at the same place on every
    // machine; the wall clock is only a backstop.
    double timeLimitSeconds = 15;
    double actionsPerSecond = 20e6;
    // Nested function calls (the Flash player's default is 256).
    int maxCallDepth = 256;
    // Values on the operand stack of all running functions together.
    std::size_t maxStackValues = std::size_t(1) << 20;
    // UTF-16 units in one string.
    std::size_t maxStringLength = std::size_t(1) << 26;
    // Estimated bytes of all script objects and their properties.
    std::size_t maxMemoryBytes = std::size_t(512) << 20;
    // Array elements one built-in call may create or visit at once.
    std::size_t maxArrayLength = std::size_t(1) << 24;

    std::uint64_t actionBudget() const {
        double n = timeLimitSeconds * actionsPerSecond;
        return n < 1 ? 1 : static_cast<std::uint64_t>(n);
    }
};

// Counts one more level of nested calls for as long as it lives, however
// the call ends.
class DepthGuard {
public:
    explicit DepthGuard(int& depth) : depth_(depth) { ++depth_; }
    ~DepthGuard() { --depth_; }
    DepthGuard(const DepthGuard&) = delete;
    DepthGuard& operator=(const DepthGuard&) = delete;

private:
    int& depth_;
};

// Ends the running script and everything that called it. `stopsMovie`:
// scripts stay turned off for the rest of the movie.
class ScriptAbort : public std::runtime_error {
public:
    ScriptAbort(const std::string& message, bool stopsMovie)
        : std::runtime_error(message), stopsMovie_(stopsMovie) {}
    bool stopsMovie() const { return stopsMovie_; }

private:
    bool stopsMovie_;
};

// The messages the player shows for each limit.
namespace LimitMessage {
inline constexpr const char* kTimeout =
    "A script in this movie is causing the player to run slowly. It was stopped, and "
    "further scripts in this movie have been disabled.";
// Preceded by the depth limit ("256 levels of recursion...").
inline constexpr const char* kRecursion =
    " levels of recursion were exceeded in one action list. This is probably an "
    "infinite loop. Further execution of actions has been disabled in this movie.";
inline constexpr const char* kStack =
    "A script in this movie overflowed the player's stack and was stopped.";
inline constexpr const char* kMemory =
    "A script in this movie used more memory than the player allows and was stopped.";
inline constexpr const char* kString =
    "A script in this movie built a string longer than the player allows and was stopped.";
inline constexpr const char* kArray =
    "A script in this movie built an array larger than the player allows and was stopped.";
}  // namespace LimitMessage

}  // namespace kinolux::script
