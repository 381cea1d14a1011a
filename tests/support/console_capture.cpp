#include "console_capture.h"

#include <cstdio>
#include <gtest/gtest.h>

std::string captureConsole(const std::function<void()> &action) {
    std::fflush(stdout);
    ::testing::internal::CaptureStdout();
    action();
    std::fflush(stdout);
    return ::testing::internal::GetCapturedStdout();
}
