// The capture's hold on the real engine module, as the capture tests need
// it: the module loaded from the built program folder and its imports of
// timeGetTime, waveOutOpen and waveOutWrite redirected, once per process.
#pragma once

#include "capture/call_interceptor.h"
#include "capture/flash_control_module.h"
#include "tests/capture/flash_host_support.h"

#include <gtest/gtest.h>

namespace kinolux::testing {

// True when all three imports were redirected.
inline bool InstallInterceptionOnce()
{
    static const bool installed = [] {
        UseBuiltProgramFolder();
        if (!LoadFlashControlModule()) return false;
        CallInterceptor& interceptor = CallInterceptor::Instance();
        interceptor.consoleMode = 1;
        ::testing::internal::CaptureStdout();
        interceptor.Install();
        return ::testing::internal::GetCapturedStdout().empty();
    }();
    return installed;
}

}  // namespace kinolux::testing
