#include "sim_process.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <array>
#include <cstring>
#include <thread>

namespace sim::test {
namespace {

using Clock = std::chrono::steady_clock;

int RemainingMs(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<std::chrono::milliseconds>(deadline - Clock::now()).count();
    return left > 0 ? static_cast<int>(left) : 0;
}

}  // namespace

SimProcess::SimProcess(const std::vector<std::string>& args,
                       const std::map<std::string, std::string>& env) {
    std::array<int, 2> in{};
    std::array<int, 2> out{};
    std::array<int, 2> err{};
    if (pipe2(in.data(), O_CLOEXEC) != 0 || pipe2(out.data(), O_CLOEXEC) != 0 ||
        pipe2(err.data(), O_CLOEXEC) != 0) {
        ADD_FAILURE() << "pipe2: " << std::strerror(errno);
        return;
    }
    std::vector<std::string> environment;
    for (char** e = environ; *e != nullptr; ++e) {
        const std::string entry = *e;
        if (env.count(entry.substr(0, entry.find('='))) == 0) {
            environment.push_back(entry);
        }
    }
    for (const auto& [name, value] : env) {
        if (!value.empty()) {
            environment.push_back(name + "=" + value);
        }
    }
    std::vector<char*> argv;
    argv.push_back(const_cast<char*>(KQ_SENSOR_SIM_PATH));
    for (const auto& arg : args) {
        argv.push_back(const_cast<char*>(arg.c_str()));
    }
    argv.push_back(nullptr);
    std::vector<char*> envp;
    for (auto& entry : environment) {
        envp.push_back(entry.data());
    }
    envp.push_back(nullptr);

    pid_ = fork();
    if (pid_ == 0) {
        dup2(in[0], 0);
        dup2(out[1], 1);
        dup2(err[1], 2);
        execve(argv[0], argv.data(), envp.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    input_ = in[1];
    output_ = out[0];
    errors_ = err[0];
    if (pid_ < 0) {
        ADD_FAILURE() << "fork: " << std::strerror(errno);
    }
}

SimProcess::~SimProcess() {
    if (pid_ > 0 && !WaitExit(std::chrono::milliseconds{0})) {
        kill(pid_, SIGKILL);
        waitpid(pid_, nullptr, 0);
    }
    for (int fd : {input_, output_, errors_}) {
        if (fd >= 0) {
            close(fd);
        }
    }
}

void SimProcess::WriteLine(const std::string& line) {
    const std::string text = line + "\n";
    ASSERT_EQ(write(input_, text.data(), text.size()), static_cast<ssize_t>(text.size()));
}

void SimProcess::CloseInput() {
    close(input_);
    input_ = -1;
}

std::optional<std::string> SimProcess::ReadLine(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (pending_.find('\n') == std::string::npos) {
        pollfd fd{output_, POLLIN, 0};
        if (poll(&fd, 1, RemainingMs(deadline)) <= 0) {
            return std::nullopt;
        }
        std::array<char, 256> buffer{};
        const ssize_t n = read(output_, buffer.data(), buffer.size());
        if (n <= 0) {
            return std::nullopt;
        }
        pending_.append(buffer.data(), static_cast<std::size_t>(n));
    }
    const auto end = pending_.find('\n');
    std::string line = pending_.substr(0, end);
    pending_.erase(0, end + 1);
    return line;
}

std::string SimProcess::ReadErrors(std::chrono::milliseconds timeout) {
    std::string text;
    pollfd fd{errors_, POLLIN, 0};
    while (poll(&fd, 1, static_cast<int>(timeout.count())) > 0) {
        std::array<char, 256> buffer{};
        const ssize_t n = read(errors_, buffer.data(), buffer.size());
        if (n <= 0) {
            break;
        }
        text.append(buffer.data(), static_cast<std::size_t>(n));
    }
    return text;
}

void SimProcess::Signal(int signal) { kill(pid_, signal); }

std::optional<int> SimProcess::WaitExit(std::chrono::milliseconds timeout) {
    const auto deadline = Clock::now() + timeout;
    while (!exit_ && pid_ > 0) {
        int status = 0;
        const pid_t done = waitpid(pid_, &status, WNOHANG);
        if (done == pid_) {
            exit_ = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
            break;
        }
        if (done < 0 || Clock::now() >= deadline) {
            return std::nullopt;
        }
        // No descriptor tells of a child's exit without a SIGCHLD handler; a short nap suffices.
        std::this_thread::sleep_for(std::chrono::milliseconds{10});
    }
    return exit_;
}

}  // namespace sim::test
