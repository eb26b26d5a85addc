// kq-sensor-sim run as a child process with its standard streams on pipes, as a script or a
// terminal would drive it.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace sim::test {

class SimProcess {
public:
    SimProcess(const std::vector<std::string>& args, const std::map<std::string, std::string>& env);
    ~SimProcess();  // kills the child if it still runs
    SimProcess(const SimProcess&) = delete;
    SimProcess& operator=(const SimProcess&) = delete;

    void WriteLine(const std::string& line);
    void CloseInput();
    // The next line of standard output without its newline, or nothing by `timeout`.
    std::optional<std::string> ReadLine(std::chrono::milliseconds timeout);
    // Everything the child wrote to standard error so far.
    std::string ReadErrors(std::chrono::milliseconds timeout);
    void Signal(int signal);
    // The exit status once it has exited within `timeout`, or nothing.
    std::optional<int> WaitExit(std::chrono::milliseconds timeout);

private:
    pid_t pid_ = -1;
    std::optional<int> exit_;
    int input_ = -1;
    int output_ = -1;
    int errors_ = -1;
    std::string pending_;
};

}  // namespace sim::test
