// What the probe tells of a COM name without talking to the device.
#include "port_probe.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "ports_dir.h"
#include "pty_server.h"
#include "sensor_contract.h"
#include "zeko_api.h"

namespace {

namespace fs = std::filesystem;

constexpr uid_t kNobody = 65534;

class PortProbe : public ::testing::Test {
protected:
    void SetUp() override {
        // Open to all, so that a probe run as another user can reach the entries.
        fs::permissions(m_dir, fs::perms::all);
        setenv("KQ_PORTS_DIR", m_dir.c_str(), 1);
    }

    fs::path File(const char* name, fs::perms perms) {
        const fs::path path = m_dir / name;
        std::ofstream(path) << "not a terminal";
        fs::permissions(path, perms);
        return path;
    }

    PortsDir m_ports;
    const fs::path m_dir = m_ports.Path();
};

// The state a probe run as an unprivileged user sees; as root, from a child that drops to nobody.
PortState ProbeAsUnprivileged(int number) {
    if (geteuid() != 0) return ProbePort(number).state;
    int pipeFds[2];
    if (pipe(pipeFds) != 0) return PortState::Sensor;
    const pid_t child = fork();
    if (child == 0) {
        const bool dropped = setgid(kNobody) == 0 && setuid(kNobody) == 0;
        const auto state = dropped ? ProbePort(number).state : PortState::Sensor;
        _exit(write(pipeFds[1], &state, sizeof state) == sizeof state ? 0 : 1);
    }
    close(pipeFds[1]);
    auto state = PortState::Sensor;
    const bool readOk = read(pipeFds[0], &state, sizeof state) == sizeof state;
    close(pipeFds[0]);
    waitpid(child, nullptr, 0);
    return readOk ? state : PortState::Sensor;
}

TEST_F(PortProbe, TellsEachStateBeforeAByteIsSent) {
    sim::PtyServer sensor(m_dir, 1);
    fs::create_symlink("/dev/kq-no-such-device", m_dir / "COM2");
    File("COM4", fs::perms::owner_all | fs::perms::others_read);
    File("COM5", fs::perms::none);
    sim::PtyServer held(m_dir, 6);
    const int holder = open(held.LinkPath().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(holder, 0);
    ASSERT_EQ(flock(holder, LOCK_EX | LOCK_NB), 0);

    struct Case {
        int number;
        PortState state;
        const char* text;
    };
    const Case cases[] = {
        {1, PortState::Openable, "openable"},
        {2, PortState::Absent, "absent"},
        {3, PortState::Absent, "absent"},
        {4, PortState::Unusable, "cannot open: Inappropriate ioctl for device"},
        {6, PortState::Busy, "busy (held by another program)"},
    };
    for (const Case& c : cases) {
        const PortReport report = ProbePort(c.number);
        EXPECT_EQ(report.name, "COM" + std::to_string(c.number));
        EXPECT_EQ(report.path, (m_dir / report.name).string());
        EXPECT_EQ(report.state, c.state) << report.name;
        EXPECT_EQ(StateText(report), c.text) << report.name;
    }
    // Another program's TIOCEXCL stays its own: root's probe opens the port, the flag stays.
    sim::PtyServer exclusive(m_dir, 7);
    const int exclusiveHolder = open(exclusive.LinkPath().c_str(), O_RDWR | O_NOCTTY);
    ASSERT_EQ(ioctl(exclusiveHolder, TIOCEXCL), 0);
    EXPECT_EQ(ProbePort(7).state, geteuid() == 0 ? PortState::Openable : PortState::Busy);
    int stillExclusive = 0;
    EXPECT_EQ(ioctl(exclusiveHolder, TIOCGEXCL, &stillExclusive), 0);
    EXPECT_EQ(stillExclusive, 1);
    close(exclusiveHolder);
    EXPECT_EQ(ProbeAsUnprivileged(5), PortState::PermissionDenied);
    EXPECT_EQ(
        StateText({.state = PortState::PermissionDenied}).find("dialout") != std::string::npos,
        true);
    EXPECT_TRUE(sensor.Requests().empty());
    close(holder);
    EXPECT_EQ(ProbePort(6).state, PortState::Openable);
}

// The link holds its port exclusively, which any probe, in this program or another, sees.
TEST_F(PortProbe, PortTheLinkHoldsIsBusy) {
    sim::PtyServer sensor(m_dir, 3);
    ASSERT_EQ(ZEKO_initial(3, sensor::kIdentity, sensor::kBaudRate), 0);
    EXPECT_EQ(ProbePort(3).state, PortState::Busy);
    ASSERT_EQ(ZEKO_close(), 0);
    EXPECT_EQ(ProbePort(3).state, PortState::Openable);
}

TEST_F(PortProbe, CandidatesAreThePortsFolderEntriesInOrder) {
    for (const char* name : {"COM10", "COM2", "COM03", "LPT1", "COM7x"}) {
        File(name, fs::perms::owner_read);
    }
    EXPECT_EQ(CandidatePorts(), (std::vector<int>{2, 10}));
    unsetenv("KQ_PORTS_DIR");
    const std::vector<int> builtIn = CandidatePorts();
    ASSERT_EQ(builtIn.size(), 16u);
    EXPECT_EQ(builtIn.front(), 1);
    EXPECT_EQ(builtIn.back(), 16);
    EXPECT_EQ(ProbePort(3).path, "/dev/ttyUSB2");
}

TEST(PortStateText, NamesTheAnswer) {
    EXPECT_EQ(StateText({.state = PortState::NoAnswer}), "no answer");
    EXPECT_EQ(StateText({.state = PortState::OtherIdentity, .identity = 4660}), "identity 4660");
    EXPECT_EQ(StateText({.state = PortState::OtherIdentity}), "another identity");
    EXPECT_EQ(StateText({.state = PortState::Sensor}), "sensor");
}

}  // namespace
