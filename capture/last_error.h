// The calling thread's last-error code, as the Windows-born callers of the
// import patcher expect to read it after a failure, with the codes it sets.
#pragma once

#include <cstdint>

namespace kinolux {

inline constexpr uint32_t kErrorSuccess = 0;
inline constexpr uint32_t kErrorInvalidParameter = 87;
inline constexpr uint32_t kErrorInvalidExeSignature = 191;
inline constexpr uint32_t kErrorBadExeFormat = 193;
inline constexpr uint32_t kErrorInvalidAddress = 487;
inline constexpr uint32_t kErrorAlreadyInitialized = 1247;
inline constexpr uint32_t kErrorModuleNotLoaded = 1428;

uint32_t LastErrorCode();
void SetLastErrorCode(uint32_t code);

}  // namespace kinolux
