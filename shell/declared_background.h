// The background colour a movie declares for itself (its SetBackgroundColor
// tag before the first frame), so that a task converts the movie on the
// colour it was authored on rather than on white.
#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>

namespace kinolux {

// As a Windows colour value 0x00BBGGRR; nothing when the movie declares none
// before its first frame, or when it cannot be read.
std::optional<uint32_t> DeclaredBackgroundColorRef(std::span<const uint8_t> movieStart);
std::optional<uint32_t> DeclaredBackgroundColorRef(const std::string& moviePath);

// White, the colour of a movie that declares none.
inline constexpr uint32_t kDefaultBackgroundColorRef = 0xFFFFFF;

}  // namespace kinolux
