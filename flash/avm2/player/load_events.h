// What the player's loaders share: reading a file a script asked for and
// handing it over after the frame's scripts, and the events that tell a
// loader's listeners how it went.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "flash/avm2/vm.h"

namespace flash {

using LoadedFile = std::optional<std::vector<std::uint8_t>>;

// Reads `url` beside the movie now and calls `arrive` with its bytes (or
// nullopt: missing, elsewhere, or another machine's) once the frame's
// scripts have run. False when the frame holds as many loads as it may,
// which the movie's log is told of.
bool queueLoad(kinolux::avm2::Vm& vm, const std::string& url, std::function<void(LoadedFile)> arrive);

void dispatchEvent(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& target, const char16_t* eventClass,
                   const char16_t* type);
void dispatchProgress(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& target, double loaded, double total);
void dispatchHttpStatus(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& target, int status);
void dispatchIoError(kinolux::avm2::Vm& vm, const kinolux::avm2::Value& target, const std::string& text);

}  // namespace flash
