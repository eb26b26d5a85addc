#include "zeko_fixture.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

#include "sensor_contract.h"

extern char** environ;

namespace {

std::string Contents(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

}  // namespace

std::vector<std::string> ZekoRun::OutLines() const {
    std::vector<std::string> lines;
    std::istringstream in(out);
    for (std::string line; std::getline(in, line);) lines.push_back(line);
    return lines;
}

void ZekoFixture::SetUp() {
    SensorPortsFixture::SetUp();
    m_outPath = m_portsDir / "out.txt";
    m_errPath = m_portsDir / "err.txt";
}

// Drifting readings would make the command's output differ from run to run.
sim::PtyServer& ZekoFixture::Sensor(int com) {
    sim::PtyServer& sensor = SensorPortsFixture::Sensor(com);
    sensor.WithModel([](sim::SensorModel& model) { model.SetLive(false); });
    return sensor;
}

pid_t ZekoFixture::Start(const std::vector<std::string>& args, const std::string& out) {
    std::vector<char*> argv{const_cast<char*>(KQ_ZEKO_PATH)};
    for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    std::filesystem::remove(m_outPath);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO,
                                     out.empty() ? m_outPath.c_str() : out.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, m_errPath.c_str(),
                                     O_WRONLY | O_CREAT | O_TRUNC, 0600);
    pid_t child = -1;
    const int error = posix_spawn(&child, KQ_ZEKO_PATH, &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    EXPECT_EQ(error, 0);
    return child;
}

ZekoRun ZekoFixture::Finish(pid_t child) {
    int waitStatus = 0;
    ZekoRun run;
    if (waitpid(child, &waitStatus, 0) == child && WIFEXITED(waitStatus)) {
        run.status = WEXITSTATUS(waitStatus);
    }
    run.out = Contents(m_outPath);
    run.err = Contents(m_errPath);
    return run;
}

ZekoRun ZekoFixture::Run(const std::vector<std::string>& args, const std::string& out) {
    return Finish(Start(args, out));
}

std::vector<std::string> ZekoFixture::Requests(int com) {
    std::vector<std::string> texts;
    for (const sim::Received& r : Sensor(com).Requests()) {
        const bool block = !r.bytes.empty() && (r.bytes[0] == sensor::kFrameTypeLow ||
                                                r.bytes[0] == sensor::kFrameTypeHigh);
        texts.push_back(block && r.bytes.size() >= sensor::kFrameHeaderLength
                            ? "block " + std::to_string(r.bytes[3])
                            : std::string(r.bytes.begin(), r.bytes.end()));
    }
    return texts;
}
