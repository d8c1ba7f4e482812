#include "capture/last_error.h"

namespace kinolux {

namespace {
thread_local uint32_t lastError = kErrorSuccess;
}  // namespace

uint32_t LastErrorCode() { return lastError; }
void SetLastErrorCode(uint32_t code) { lastError = code; }

}  // namespace kinolux
