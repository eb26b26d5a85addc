// The real KQ_Tools as a child process on Qt's offscreen platform, watched from outside: its CPU
// time and resident memory from /proc, and the status polls a simulated sensor received.
#pragma once

#include <sys/types.h>

#include <cstddef>
#include <filesystem>
#include <functional>

#include "pty_server.h"

// Starts KQ_Tools with KQ_PORTS_DIR set to `portsDir`; -1 when it cannot be started.
pid_t StartTool(const std::filesystem::path& portsDir);
// Reaps the tool once it has ended; from then on the answer stays false.
bool ToolAlive(pid_t pid);
void StopTool(pid_t pid);
// Waits up to 30 s for the first status poll after the start-up scan.
bool WaitForPolling(pid_t pid, const sim::PtyServer& sensor);

// Runs `measure` on KQ_Tools once it polls a simulated sensor on COM`com` in a private ports
// folder, then stops the tool and removes the folder. Returns `measure`'s exit status, or 1 when
// the tool did not get that far; `program` heads the messages saying why.
int WithPollingTool(const char* program, int com,
                    const std::function<int(pid_t tool, sim::PtyServer& sensor)>& measure);

// User plus system time of `pid` so far, in seconds.
double CpuSeconds(pid_t pid);
// Resident set size of `pid`, in KiB.
long ResidentKiB(pid_t pid);
std::size_t StatusPolls(const sim::PtyServer& sensor);
