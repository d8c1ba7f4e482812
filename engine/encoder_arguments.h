// The argument vector handed to the encoder's ffmain: owned strings with the
// encoder's limits of 100 arguments of at most 255 characters each. A vector
// that would break a limit is refused, never overrun or cut.
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace kinolux {

class EncoderArguments {
public:
    static constexpr size_t kMaxArguments = 100;
    static constexpr size_t kMaxArgumentLength = 255;

    // Appends one argument. After the first refusal every later append is
    // refused too, so a refused vector is never handed on half-built.
    bool Append(std::string_view argument);

    bool Refused() const { return refused_; }
    // Why the vector was refused: the argument that broke a limit.
    const std::string& RefusedArgument() const { return refusedArgument_; }

    const std::vector<std::string>& Arguments() const { return arguments_; }
    int Count() const { return static_cast<int>(arguments_.size()); }

    // argv for ffmain, ending in a null pointer; valid while this object
    // lives unchanged.
    char** Argv();

private:
    std::vector<std::string> arguments_;
    std::vector<char*> pointers_;
    bool refused_ = false;
    std::string refusedArgument_;
};

}  // namespace kinolux
