#include "engine/encoder_arguments.h"

namespace kinolux {

bool EncoderArguments::Append(std::string_view argument) {
    if (refused_) return false;
    if (arguments_.size() >= kMaxArguments || argument.size() > kMaxArgumentLength) {
        refused_ = true;
        refusedArgument_ = std::string(argument);
        return false;
    }
    arguments_.emplace_back(argument);
    return true;
}

char** EncoderArguments::Argv() {
    pointers_.clear();
    for (std::string& argument : arguments_) pointers_.push_back(argument.data());
    pointers_.push_back(nullptr);
    return pointers_.data();
}

}  // namespace kinolux
