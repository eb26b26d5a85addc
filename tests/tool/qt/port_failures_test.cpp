// When the start-up scan finds no sensor, standard error tells why each port with a device node
// failed, in the words `zeko ports` uses; the status line stays as it was.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <filesystem>
#include <string>

#include "dialog_fixture.h"
#include "resource.h"

namespace {

using PortFailures = DialogFixture;

TEST_F(PortFailures, ScanThatFindsNothingSaysWhyOnStandardError) {
    Sensor(1).SetSilent(true);
    Sensor(2).WithModel([](sim::SensorModel& m) { m.SetIdentity(4660); });
    Sensor(3);
    const int held = open((m_portsDir / "COM3").c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    ASSERT_GE(held, 0);
    ASSERT_EQ(flock(held, LOCK_EX | LOCK_NB), 0);
    std::filesystem::create_symlink("/dev/kq-no-such-device", m_portsDir / "COM4");

    testing::internal::CaptureStderr();
    OpenMainDialog();
    const std::string err = testing::internal::GetCapturedStderr();

    const std::string dir = m_portsDir.string();
    EXPECT_EQ(err, "KQ_Tools: COM1 (" + dir + "/COM1): no answer\n" + "KQ_Tools: COM2 (" + dir +
                       "/COM2): another identity\n" + "KQ_Tools: COM3 (" + dir +
                       "/COM3): busy (held by another program)\n");
    EXPECT_EQ(Text(IDC_STATUS), "系统状态：未连接，未发现在线设备!ERR:9");
    close(held);
}

TEST_F(PortFailures, ScanThatFindsTheSensorSaysNothing) {
    Sensor(1).SetSilent(true);
    Sensor(2);
    testing::internal::CaptureStderr();
    OpenMainDialog();
    EXPECT_EQ(testing::internal::GetCapturedStderr(), "");
    EXPECT_EQ(Text(IDC_STATUS), "系统状态：设备连接成功!");
}

}  // namespace
