#include "player/player_arguments.h"

#include "platform/number_text.h"
#include "platform/text_compare.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cmath>
#include <variant>

namespace kinolux {

namespace {

using Field = std::variant<std::string PlayerArguments::*, float PlayerArguments::*, int PlayerArguments::*>;

struct PlayerSwitch {
    std::string_view name;
    Field field;
};

// In the order they must appear; each value ends where the next switch starts.
constexpr std::array<PlayerSwitch, 8> kSwitches = {{
    {"'-in'", &PlayerArguments::inputPath},
    {"'-ou'", &PlayerArguments::wavPath},
    {"'-sn'", &PlayerArguments::syncPath},
    {"'-fr'", &PlayerArguments::frameRate},
    {"'-ff'", &PlayerArguments::fromFrame},
    {"'-tf'", &PlayerArguments::toFrame},
    {"'-of'", &PlayerArguments::totalFrames},
    {"'-cm'", &PlayerArguments::consoleMode},
}};

// Like the C library's atoi, but a number beyond int stops at its limit
// instead of being undefined.
int ParseLeadingInt(std::string_view text) {
    text = TrimBlanks(text);
    size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    constexpr long long kLimit = static_cast<long long>(INT_MAX) + 1;  // the size of INT_MIN
    long long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        value = std::min(value * 10 + (text[i] - '0'), kLimit);
    return static_cast<int>(negative ? -value : std::min(value, kLimit - 1));
}

void Store(PlayerArguments& arguments, const Field& field, std::string_view value) {
    struct Visitor {
        PlayerArguments& arguments;
        std::string_view value;
        void operator()(std::string PlayerArguments::*member) const { arguments.*member = std::string(value); }
        void operator()(float PlayerArguments::*member) const {
            arguments.*member = static_cast<float>(ParseLeadingDouble(value));
        }
        void operator()(int PlayerArguments::*member) const { arguments.*member = ParseLeadingInt(value); }
    };
    std::visit(Visitor{arguments, value}, field);
}

}  // namespace

std::optional<PlayerArguments> ParsePlayerCommandLine(std::string_view wholeCommandLine, std::string& problem) {
    PlayerArguments arguments;
    std::string_view rest = wholeCommandLine;
    const PlayerSwitch* previous = nullptr;
    for (const PlayerSwitch& item : kSwitches) {
        const size_t at = rest.find(item.name);
        if (at == std::string_view::npos || at == 0) {
            problem = "the command line has no " + std::string(item.name) + " where it is expected";
            return std::nullopt;
        }
        if (previous) Store(arguments, previous->field, TrimBlanks(rest.substr(0, at)));
        rest = rest.substr(at + item.name.size());
        previous = &item;
    }
    Store(arguments, previous->field, TrimBlanks(rest));
    if (!(std::isfinite(arguments.frameRate) && arguments.frameRate > 0)) {
        problem = "the frame rate of '-fr' is not a positive number";
        return std::nullopt;
    }
    return arguments;
}

}  // namespace kinolux
