#include "flash/core/movie_scripts.h"
#include "flash/avm2/player/as3_scripts.h"

namespace flash {

std::unique_ptr<MovieScripts> makeAs3Scripts(Player& player, const kinolux::avm1::ScriptLimits& limits) {
    return std::make_unique<As3Scripts>(player, limits);
}

}  // namespace flash
