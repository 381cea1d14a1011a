// Everything a piece of code prints on standard output, for asserting on console messages.
#pragma once

#include <functional>
#include <string>

std::string captureConsole(const std::function<void()> &action);
