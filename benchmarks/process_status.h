// What the benchmarks read about the viewer they started from /proc: its process id, found
// among their own children by executable, and the memory figures of /proc/<pid>/status. Linux.
#pragma once

#include <optional>
#include <string>
#include <sys/types.h>

// The first child of this process whose executable is the given file; nothing when none runs.
std::optional<pid_t> childRunning(const std::string &executable);

// A "Vm..." field of /proc/<pid>/status (VmRSS, VmHWM), in KiB; nothing when unreadable.
std::optional<long> statusKiB(pid_t pid, const std::string &field);
