#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "pty_client.h"
#include "sensor_contract.h"

namespace sim {
namespace {

using namespace std::chrono_literals;

constexpr auto kWithin = 5000ms;  // generous: only a broken command takes this long

// kq-sensor-sim as a child process with stdin and stdout (stderr too) on pipes. A child that
// hangs blocks the reads and waits here until the test's own timeout fails it.
class SimProcess {
public:
    SimProcess(std::vector<std::string> args, const char* portsDir) {
        int in[2];
        int out[2];
        EXPECT_EQ(pipe(in) | pipe(out), 0);
        m_pid = fork();
        if (m_pid == 0) {
            dup2(in[0], 0);
            dup2(out[1], 1);
            dup2(out[1], 2);
            portsDir != nullptr ? setenv("KQ_PORTS_DIR", portsDir, 1) : unsetenv("KQ_PORTS_DIR");
            std::vector<char*> argv{const_cast<char*>(KQ_SENSOR_SIM_PATH)};
            for (auto& arg : args) {
                argv.push_back(arg.data());
            }
            argv.push_back(nullptr);
            execv(argv[0], argv.data());
            _exit(127);
        }
        close(in[0]);
        close(out[1]);
        m_input = fdopen(in[1], "w");
        m_output = fdopen(out[0], "r");
    }
    ~SimProcess() {
        if (m_pid > 0) {
            kill(m_pid, SIGKILL);
            Exit();
        }
        CloseInput();
        fclose(m_output);
    }

    void WriteLine(const std::string& line) {
        fprintf(m_input, "%s\n", line.c_str());
        fflush(m_input);
    }
    void CloseInput() {
        if (m_input != nullptr) {
            fclose(std::exchange(m_input, nullptr));
        }
    }
    std::string ReadLine() {
        char line[512] = {};
        return fgets(line, sizeof line, m_output) != nullptr ? std::string(line) : "";
    }
    void Signal(int signal) { kill(m_pid, signal); }
    int Exit() {
        int status = 0;
        waitpid(std::exchange(m_pid, -1), &status, 0);
        return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
    }

private:
    pid_t m_pid = -1;
    FILE* m_input = nullptr;
    FILE* m_output = nullptr;
};

bool HasLink(const std::filesystem::path& link) {
    return std::filesystem::exists(std::filesystem::symlink_status(link));
}

TEST(SimCommandTest, ServesAndTakesCommandsUntilQuit) {
    PortsDir ports;
    const auto link = ports.Path() / "COM7";
    SimProcess sim({"--com", "7", "--ports-dir", ports.Path().string()}, nullptr);
    const std::string banner = sim.ReadLine();
    EXPECT_NE(banner.find(link.string() + " -> /dev/pts/"), std::string::npos) << banner;
    EXPECT_EQ(sim.ReadLine(), "type help for commands\n");

    const std::pair<std::string, std::string> commands[] = {
        {"alarm tamper", "ok: tamper alarm raised, record 13"},
        {"alarm fire", "error: no alarm 'fire' (try help)"},
        {"record energy 12.5 3", "ok: energy record added, record 14"},
        {"record energy x", "error: record takes a type and up to two numbers (try help)"},
        {"clear", "ok: alarm flags cleared"},
        {" alarm  vibration ", "ok: vibration alarm raised, record 15"},
        {"delay 0", "ok: reply delay 0 ms"},
        {"delay soon", "error: delay takes milliseconds (try help)"},
        {"silent off", "ok: silent off"},
        {"launch", "error: cannot understand 'launch' (try help)"}};
    for (const auto& [line, answer] : commands) {
        sim.WriteLine(line);
        EXPECT_EQ(sim.ReadLine(), answer + "\n");
    }
    test::PtyClient client(link);
    client.Write(std::vector<std::uint8_t>{0x03, 0x03, 0x10, 0x0A, 0x03, 0x04, 0x11, 0x0B, 14});
    const auto reply = client.Read(17 + 18, kWithin);
    ASSERT_EQ(reply.size(), 17u + 18u);
    EXPECT_EQ(reply[2 + sensor::kStatusFlags], sensor::kFlagVibration);
    EXPECT_EQ(reply[2 + sensor::kStatusRecordCount], 15);
    const std::vector<std::uint8_t> energy = {0, 0, 0, 0x20, 0x41, 0x48, 0, 0, 0x40, 0x40, 0, 0};
    EXPECT_EQ(std::vector(reply.begin() + 17 + 6, reply.end()), energy);

    // The state it prints ends with the requests it has received.
    sim.WriteLine("status");
    std::string line;
    for (int lines = 0; lines < 10 && line.rfind("requests:", 0) != 0; ++lines) {
        line = sim.ReadLine();
    }
    EXPECT_EQ(line, "requests: 2 received\n");

    sim.WriteLine("quit");
    EXPECT_EQ(sim.ReadLine(), "ok: quitting\n");
    EXPECT_EQ(sim.Exit(), 0);
    EXPECT_FALSE(HasLink(link));
}

// The end of stdin does not stop the sensor (it may run in the background); a signal does,
// cleanly.
TEST(SimCommandTest, ServesPastEndOfInputUntilASignal) {
    for (int signal : {SIGINT, SIGTERM, SIGHUP}) {
        PortsDir ports;
        SimProcess sim({"--com", "2", "--identity", "77", "--silent"}, ports.Path().c_str());
        sim.ReadLine();
        EXPECT_EQ(sim.ReadLine(), "type help for commands\n");
        test::PtyClient client(ports.Path() / "COM2");
        client.Write("P8;");
        EXPECT_TRUE(client.Read(1, 300ms).empty()) << "started silent";
        sim.WriteLine("silent off");
        EXPECT_EQ(sim.ReadLine(), "ok: silent off\n");
        sim.CloseInput();
        client.Write("P8;");
        EXPECT_EQ(client.ReadText(kWithin), "P8=77;");
        sim.Signal(signal);
        EXPECT_EQ(sim.Exit(), 0) << signal;
        EXPECT_FALSE(HasLink(ports.Path() / "COM2")) << signal;
    }
}

TEST(SimCommandTest, ExplainsItselfOrWhatIsWrong) {
    const std::tuple<std::vector<std::string>, int, std::string> cases[] = {
        {{"--help"}, 0, "alarm vibration|movement|temperature|tamper|voltage"},
        {{"--com", "3"}, 2, "give --ports-dir DIR or set KQ_PORTS_DIR"},
        {{"--com", "3", "--baud", "9600"}, 2, "unknown option '--baud'"}};
    for (const auto& [args, exit, text] : cases) {
        SimProcess sim(args, nullptr);
        std::string output;
        for (std::string line; !(line = sim.ReadLine()).empty();) {
            output += line;
        }
        EXPECT_EQ(sim.Exit(), exit) << output;
        EXPECT_NE(output.find(text), std::string::npos) << output;
        EXPECT_NE(output.find("usage: kq-sensor-sim"), std::string::npos) << output;
    }
}

}  // namespace
}  // namespace sim
