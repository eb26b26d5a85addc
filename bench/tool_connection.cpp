// How soon the real dialog comes up and comes back: the start-up scan with silent ports before
// the sensor, with silent ports only, and with the sensor on COM1 (the window on screen, and the
// final status); how soon the window answers (a control read, a button's first visible effect)
// while the sensor is silent and while it answers 1500 ms late, and while the loss box of a pulled
// adapter is open, and how soon that box goes after its OK; then, with the adapter pulled,
// how long a button press holds the window and the longest the window stops answering, and how
// soon the readings resume after the adapter is plugged back, with and without silent ports the
// scan for it waits out. The dialog runs in this process on
// Qt's offscreen platform against simulated sensors on ptys; each case runs in a process of its
// own, so that the link starts fresh.
// Usage: tool_connection [--quick]   (--quick leaves out the start-ups with silent ports and
// watches a slow line for 10 s instead of a minute)
#include <stdlib.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "link_error_box.h"
#include "modal_box.h"
#include "pty_server.h"
#include "qt_handles.h"
#include "resource.h"
#include "sensor_model.h"
#include "tool_resources.h"
#include "tools_app.h"
#include "tools_dlg.h"
#include "window_text.h"

namespace {

using Clock = std::chrono::steady_clock;

constexpr int kSilentPorts = 15;
constexpr int kLivePort = 3;
constexpr int kResumeTemperature = 37;
constexpr int kWaitLimitMs = 20000;
constexpr int kFastRuns = 5;  // the quick start-up varies with the machine's load
constexpr char kSearching[] = "系统状态：正在查找设备...";
constexpr int kProbeMs = 5;
constexpr int kPressEveryMs = 1000;
constexpr int kBoxOpenMs = 2000;
constexpr std::size_t kRecords = 100;  // more than the presses of a slow line

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Sensors on ptys in a private ports folder, silent ones as devices that never answer.
class Ports {
public:
    Ports() {
        char pattern[] = "/tmp/kq-connection-XXXXXX";
        m_dir = mkdtemp(pattern);
        setenv("KQ_PORTS_DIR", m_dir.c_str(), 1);
    }
    ~Ports() {
        m_sensors.clear();
        std::filesystem::remove_all(m_dir);
    }
    Ports(const Ports&) = delete;
    Ports& operator=(const Ports&) = delete;

    sim::PtyServer& Add(int com, bool silent = false) {
        m_sensors.push_back(std::make_unique<sim::PtyServer>(m_dir, com));
        m_sensors.back()->SetSilent(silent);
        return *m_sensors.back();
    }

private:
    std::filesystem::path m_dir;
    std::vector<std::unique_ptr<sim::PtyServer>> m_sensors;
};

std::string Text(CToolsDlg& dialog, int id) {
    return WidgetText(WidgetOf(*dialog.GetDlgItem(id))).toStdString();
}

double Percentile(std::vector<double> samples, double fraction) {
    if (samples.empty()) return 0;
    std::sort(samples.begin(), samples.end());
    return samples[static_cast<std::size_t>(fraction * static_cast<double>(samples.size() - 1))];
}

// Reads a control of the dialog from another thread every few milliseconds, as a screen reader or
// a test robot does: each read waits for the window's thread to answer it.
class ControlReader {
public:
    ControlReader(CToolsDlg& dialog, int id)
        : m_thread([this, &dialog, id](std::stop_token stop) {
              while (!stop.stop_requested()) {
                  const auto asked = Clock::now();
                  QMetaObject::invokeMethod(
                      qApp,
                      [this, &dialog, id, asked] {
                          Text(dialog, id);
                          const std::scoped_lock lock(m_mutex);
                          if (m_reading) m_waits.push_back(MillisecondsSince(asked));
                      },
                      Qt::QueuedConnection);
                  std::this_thread::sleep_for(std::chrono::milliseconds(kProbeMs));
              }
          }) {}

    // The waits of the reads answered from now on, until Stop.
    void Start() {
        const std::scoped_lock lock(m_mutex);
        m_reading = true;
    }
    std::vector<double> Stop() {
        const std::scoped_lock lock(m_mutex);
        m_reading = false;
        return m_waits;
    }

private:
    std::mutex m_mutex;
    bool m_reading = false;
    std::vector<double> m_waits;
    std::jthread m_thread;
};

// Runs the window's event loop, sleeping while there is nothing to do, until `done` holds (looked
// at every few milliseconds); false after the limit. `longestStall` gets the longest a probe
// timer due every few milliseconds came late, the longest the window did not answer.
bool RunUntil(const std::function<bool()>& done, int limitMs, double* longestStall = nullptr) {
    QEventLoop loop;
    QTimer probe;
    probe.setTimerType(Qt::PreciseTimer);
    auto last = Clock::now();
    QObject::connect(&probe, &QTimer::timeout, [&] {
        if (longestStall != nullptr) {
            *longestStall = std::max(*longestStall, MillisecondsSince(last) - kProbeMs);
        }
        last = Clock::now();
        if (done()) loop.quit();
    });
    probe.start(kProbeMs);
    QTimer::singleShot(limitMs, &loop, &QEventLoop::quit);
    if (!done()) loop.exec();
    return done();
}

// Runs the window's event loop for `ms` milliseconds, with nothing of its own to do.
void RunFor(int ms) {
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// Times the dialog's creation up to the window being shown, and up to the start-up scan's status.
void StartUp(const char* what) {
    CToolsDlg dialog;
    const auto start = Clock::now();
    dialog.Create();
    const double ms = MillisecondsSince(start);
    RunUntil([&] { return Text(dialog, IDC_STATUS) != kSearching; }, kWaitLimitMs);
    std::printf("start-up, %-36s %8.0f ms to the window, %6.0f ms to the status  (%s)\n", what, ms,
                MillisecondsSince(start), Text(dialog, IDC_STATUS).c_str());
}

void StartUpBehindSilentPorts() {
    Ports ports;
    for (int com = 1; com <= kSilentPorts; ++com) ports.Add(com, true);
    ports.Add(16);
    StartUp("15 silent ports, sensor on COM16:");
}

void StartUpWithoutSensor() {
    Ports ports;
    for (int com = 1; com <= 16; ++com) ports.Add(com, true);
    StartUp("16 silent ports, no sensor:");
}

void StartUpOnCom1() {
    Ports ports;
    ports.Add(1);
    StartUp("sensor on COM1:");
}

// Creates the dialog and lets it find the sensor and poll it for half a second.
void CreatePolling(CToolsDlg& dialog) {
    dialog.Create();
    RunUntil([&] { return Text(dialog, IDC_STATUS) != kSearching; }, kWaitLimitMs);
    RunFor(500);
}

QPushButton* Button(CToolsDlg& dialog, int id) {
    return qobject_cast<QPushButton*>(WidgetOf(*dialog.GetDlgItem(id)));
}

// The window polling a sensor that is silent, or answers `lateMs` late, for `seconds`: how late a
// control read every few milliseconds comes, and a press of "读下一条" every second until its
// button shows it disabled (or, while its read still runs, the press is refused). An unanswered
// record read leaves the link as it is, where an unanswered threshold read would mark it lost and
// the polls would stop reaching the sensor.
void SlowLine(int lateMs, int seconds) {
    Ports ports;
    sim::PtyServer& sensor = ports.Add(kLivePort);
    sensor.WithModel([](sim::SensorModel& model) {
        model.SetRecords(std::vector<sim::AlarmRecord>(kRecords, model.Records().front()));
    });
    CToolsDlg dialog;
    CreatePolling(dialog);
    if (lateMs == 0) {
        sensor.SetSilent(true);
    } else {
        sensor.SetReplyDelay(std::chrono::milliseconds(lateMs));
    }
    ControlReader reader(dialog, IDC_VIBRATION);
    reader.Start();
    std::vector<double> presses;
    QPushButton* button = Button(dialog, IDC_READ_NEXT_RECORD);
    QTimer press;
    auto pressDue = Clock::now() + std::chrono::milliseconds(kPressEveryMs);
    QObject::connect(&press, &QTimer::timeout, [&] {
        const double late = std::max(0.0, MillisecondsSince(pressDue));
        const auto start = Clock::now();
        button->click();
        presses.push_back(late + MillisecondsSince(start));
        pressDue = Clock::now() + std::chrono::milliseconds(kPressEveryMs);
    });
    press.start(kPressEveryMs);
    RunFor(seconds * 1000);
    const std::vector<double> reads = reader.Stop();
    const char* what = lateMs == 0 ? "silent sensor" : "sensor 1500 ms late";
    std::printf(
        "%s, %d s: control read p50 %5.1f ms, p99 %5.1f ms, max %6.1f ms; press p99 "
        "%5.1f ms, max %6.1f ms (%zu presses)\n",
        what, seconds, Percentile(reads, 0.5), Percentile(reads, 0.99), Percentile(reads, 1.0),
        Percentile(presses, 0.99), Percentile(presses, 1.0), presses.size());
}

void SilentSensor(int seconds) { SlowLine(0, seconds); }

void LateSensor(int seconds) { SlowLine(1500, seconds); }

// The loss box of a pulled adapter, shown for real: how late control reads come while it is open
// for 2 s, and how long after its OK it is gone.
void LossBoxOpen() {
    Ports ports;
    sim::PtyServer& sensor = ports.Add(kLivePort);
    CToolsDlg dialog;
    CreatePolling(dialog);
    SetMessageBoxHook({});
    sensor.HangUp();
    // Every step is taken from the probe: the box's own event loop runs the probe while it is open.
    const auto box = [] { return qobject_cast<QMessageBox*>(QApplication::activeModalWidget()); };
    ControlReader reader(dialog, IDC_VIBRATION);
    std::vector<double> reads;
    bool oked = false;
    QMessageBox* shown = nullptr;
    auto opened = Clock::now();
    auto ok = Clock::now();
    const bool gone = RunUntil(
        [&] {
            if (shown == nullptr) {
                shown = box();
                opened = Clock::now();
                reader.Start();
            } else if (!oked && MillisecondsSince(opened) >= kBoxOpenMs) {
                reads = reader.Stop();
                ok = Clock::now();
                oked = true;
                shown->button(QMessageBox::Ok)->click();
            } else if (oked && box() == nullptr) {
                return true;
            }
            return false;
        },
        kWaitLimitMs);
    if (!gone) {
        std::printf("adapter pulled: no loss box, or it stayed\n");
        return;
    }
    std::printf(
        "loss box open 2 s: control read p99 %5.1f ms, max %6.1f ms; gone %5.1f ms after "
        "its OK\n",
        Percentile(reads, 0.99), Percentile(reads, 1.0), MillisecondsSince(ok));
}

// The adapter pulled while the dialog polls, button presses meanwhile, then plugged back; with
// `silentAbove`, silent devices on every port above the sensor's, which each scan waits out.
void PulledAndPluggedBack(bool silentAbove) {
    const char* where = silentAbove ? "silent ports above" : "no other port";
    Ports ports;
    sim::PtyServer& sensor = ports.Add(kLivePort);
    for (int com = kLivePort + 1; silentAbove && com <= 16; ++com) ports.Add(com, true);
    CToolsDlg dialog;
    CreatePolling(dialog);

    sensor.HangUp();
    sensor.WithModel([](sim::SensorModel& model) { model.SetTemperature(kResumeTemperature); });
    RunUntil([&] { return Text(dialog, IDC_STATUS) == "系统状态：连接断开!"; }, kWaitLimitMs);
    RunFor(1000);

    QPushButton* button = Button(dialog, IDC_READ_VIBRATION_ALARM);
    double longestPress = 0;
    for (int press = 0; press < 5; ++press) {
        const auto start = Clock::now();
        button->click();
        longestPress = std::max(longestPress, MillisecondsSince(start));
        RunFor(300);
    }
    std::printf("adapter pulled (%s), a button press holds the window %6.1f ms (longest of 5)\n",
                where, longestPress);
    double longestStall = 0;
    RunUntil([] { return false; }, 5000, &longestStall);
    std::printf("adapter pulled (%s), longest the window stops answering %5.1f ms (over 5 s)\n",
                where, longestStall);
    const std::clock_t cpuBefore = std::clock();
    const auto stretch = Clock::now();
    RunFor(10000);
    const double cpuPercent = 100.0 * static_cast<double>(std::clock() - cpuBefore) /
                              CLOCKS_PER_SEC / (MillisecondsSince(stretch) / 1000);
    std::printf("adapter pulled (%s), CPU %.2f %% of one core (over 10 s, sensors included)\n",
                where, cpuPercent);

    // Plugged back at a moment a scan may be under way.
    const auto plugged = Clock::now();
    sensor.Relink();
    const bool resumed = RunUntil(
        [&] { return Text(dialog, IDC_TEMPERATURE) == std::to_string(kResumeTemperature); },
        kWaitLimitMs);
    if (resumed) {
        std::printf("plugged back (%s), readings resume after %8.0f ms  (%s)\n", where,
                    MillisecondsSince(plugged), Text(dialog, IDC_STATUS).c_str());
    } else {
        std::printf("plugged back (%s), readings resume after never (waited %d ms)\n", where,
                    kWaitLimitMs);
    }
}

// The case in a child process with its own Qt application and application object.
int RunCase(const std::function<void()>& run, int argc, char** argv) {
    const pid_t child = fork();
    if (child == 0) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        QApplication application(argc, argv);
        AfxSetResourceHandle(&ToolResources());
        CToolsApp app;
        InstallLinkErrorBox();
        SetMessageBoxHook([](const MessageBoxRequest&) { return IDOK; });
        run();
        std::fflush(stdout);
        _exit(0);
    }
    int status = 1;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : 1;
}

}  // namespace

int main(int argc, char** argv) {
    int failed = 0;
    const bool quick = argc > 1 && std::string(argv[1]) == "--quick";
    for (const auto& run : {StartUpBehindSilentPorts, StartUpWithoutSensor}) {
        if (!quick) failed |= RunCase(run, argc, argv);
    }
    for (int run = 0; run < kFastRuns; ++run) failed |= RunCase(StartUpOnCom1, argc, argv);
    const int slowSeconds = quick ? 10 : 60;
    for (const auto& run : {SilentSensor, LateSensor}) {
        failed |= RunCase([&] { run(slowSeconds); }, argc, argv);
    }
    failed |= RunCase(LossBoxOpen, argc, argv);
    for (bool silentAbove : {false, true}) {
        failed |= RunCase([silentAbove] { PulledAndPluggedBack(silentAbove); }, argc, argv);
    }
    return failed;
}
