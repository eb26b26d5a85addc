// The main dialog's start: the About command in the system menu, the icons, and the scan of
// COM1 to COM16 for the sensor on the link worker, which decides whether the dialog polls or stays
// disconnected; the window shows at once, its buttons disabled until the scan has ended. And the
// same scan repeated while the sensor's device is gone.
#include <array>
#include <cstdint>
#include <limits>
#include <numeric>
#include <span>

#include "port_failures.h"
#include "port_names.h"
#include "resource.h"
#include "sensor_contract.h"
#include "sensor_float.h"
#include "tools_dlg.h"
#include "zeko_api.h"
#include "zeko_scan.h"

namespace {

constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollPeriodMs = 100;
constexpr int kSliderMax = 100;
constexpr int kStartTemperature = 25;
constexpr auto kRescanPeriod = std::chrono::seconds(2);

constexpr char kSearching[] = "系统状态：正在查找设备...";

constexpr int kScannedPortCount = kLastScannedPort - kFirstScannedPort + 1;

constexpr std::array<int, kScannedPortCount> ScannedPorts() {
    std::array<int, kScannedPortCount> ports{};
    std::iota(ports.begin(), ports.end(), kFirstScannedPort);
    return ports;
}

constexpr std::array<int, kScannedPortCount> kScannedPorts = ScannedPorts();

// Every push button, in the order they are disabled when no sensor answers.
constexpr int kButtons[] = {
    IDC_CANCEL_LEARN_VIBRATION, IDC_READ_VIBRATION_ALARM,  IDC_CLEAR_HISTORY,
    IDC_FACTORY_CALIBRATION,    IDC_CANCEL_LEARN_MOVEMENT, IDC_SET_MOVEMENT_ALARM,
    IDC_READ_MOVEMENT_ALARM,    IDC_READ_ALL_RECORDS,      IDC_READ_NEXT_RECORD,
    IDC_SET_VIBRATION_ALARM,    IDC_LEARN_VIBRATION,       IDC_LEARN_MOVEMENT,
    IDC_EXPORT_HISTORY,
};

// Truncates toward zero; a value no int holds (or not a number) gives INT_MIN, as the x86
// conversion does, which the slider then limits to its range.
int TruncateToInt(double value) {
    if (!(value > std::numeric_limits<int>::min() - 1.0 &&
          value < std::numeric_limits<int>::max() + 1.0)) {
        return std::numeric_limits<int>::min();
    }
    return static_cast<int>(value);
}

// value * 100 / 200 in 32-bit arithmetic, the product wrapping as a 32-bit register does.
int MovementSliderPosition(std::int32_t value) {
    const auto product = static_cast<std::int32_t>(static_cast<std::uint32_t>(value) * 100u);
    return product / 200;
}

// Asks COM1 to COM16 at once and opens the lowest port whose device is the sensor; should it
// fail to open after all, the ports above it are asked again, as a scan one port after another
// would go on. 0 once connected, else the last port's result, after saying on standard error
// why each port failed.
int ScanPorts() {
    std::array<int, kScannedPortCount> results{};
    std::span<const int> remaining = kScannedPorts;
    while (!remaining.empty()) {
        const SensorScan scan = ScanForSensor(remaining, sensor::kIdentity, sensor::kBaudRate);
        for (const PortScanResult& port : scan.ports) {
            results[port.port - kFirstScannedPort] = port.result;
        }
        if (scan.found == 0) {
            break;
        }
        const int result = ZEKO_initial(scan.found, sensor::kIdentity, sensor::kBaudRate);
        if (result == 0) {
            return 0;
        }
        results[scan.found - kFirstScannedPort] = result;
        remaining = remaining.subspan(static_cast<std::size_t>(scan.found - remaining.front() + 1));
    }
    ReportPortFailures(results);
    return results.back();
}

// On the worker: the scan, then the two thresholds of the sensor it found.
Connection Connect(const LinkWorker& worker) {
    Connection connection;
    connection.result = ScanPorts();
    long value = 0;
    if (connection.result != 0 || worker.Stopping()) {
        return connection;
    }
    if (ZEKO_get(sensor::kParamVibrationAlarm, &value) == 0) {
        connection.vibrationAlarm = value;
    }
    if (ZEKO_get(sensor::kParamMovementAlarm, &value) == 0) {
        connection.movementAlarm = value;
    }
    return connection;
}

}  // namespace

BOOL CToolsDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    AddAboutToSystemMenu();
    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    for (int id : kButtons) {
        GetDlgItem(id)->EnableWindow(FALSE);
    }
    GetDlgItem(IDC_STATUS)->SetWindowText(kSearching);
    m_worker.Ask([this] {
        return LinkWorker::Result(
            [this, connection = Connect(m_worker)] { ShowConnection(connection); });
    });
    return TRUE;
}

// The learning cancel buttons stay disabled until learning starts.
void CToolsDlg::ShowConnection(const Connection& connection) {
    if (connection.result != 0) {
        ShowNoSensor(connection.result);
        return;
    }
    for (int id : kButtons) {
        GetDlgItem(id)->EnableWindow(id != IDC_CANCEL_LEARN_VIBRATION &&
                                     id != IDC_CANCEL_LEARN_MOVEMENT);
    }
    StartPolling(connection);
}

// The About item goes below the menu's own items, when the string table has its text.
void CToolsDlg::AddAboutToSystemMenu() {
    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu != nullptr) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            AddTrendToSystemMenu();
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }
}

// Without a sensor every button is disabled and no timer runs.
void CToolsDlg::ShowNoSensor(int result) {
    for (int id : kButtons) {
        GetDlgItem(id)->EnableWindow(FALSE);
    }
    CString status;
    status.Format("系统状态：未连接，未发现在线设备!ERR:%d", result);
    GetDlgItem(IDC_STATUS)->SetWindowText(status);
}

// The readings start from rest, the sliders at 0 until the sensor's thresholds are read.
void CToolsDlg::StartPolling(const Connection& connection) {
    m_fVibrationAlarm = 0;
    m_fVibration = 0;
    m_fAutoVibration = 0;
    m_nMovementAlarm = 0;
    m_nMovement = 0;
    m_nAutoMovement = 0;
    m_nTemperature = kStartTemperature;

    m_sliderVibration.SetRange(0, kSliderMax, TRUE);
    m_sliderVibration.SendMessage(TBM_SETPOS, TRUE, 0);
    m_sliderMovement.SetRange(0, kSliderMax, TRUE);
    m_sliderMovement.SendMessage(TBM_SETPOS, TRUE, 0);

    if (connection.vibrationAlarm) {
        const float threshold = FloatOfParameter(*connection.vibrationAlarm);
        ShowVibrationAlarm(threshold);
        KnowVibrationAlarm(threshold);
        m_sliderVibration.SendMessage(TBM_SETPOS, TRUE,
                                      TruncateToInt(static_cast<double>(threshold) * 100));
    }
    if (connection.movementAlarm) {
        const auto threshold = static_cast<std::int32_t>(*connection.movementAlarm);
        ShowMovementAlarm(threshold);
        KnowMovementAlarm(threshold);
        m_sliderMovement.SendMessage(TBM_SETPOS, TRUE, MovementSliderPosition(threshold));
    }

    SetTimer(kPollTimer, kPollPeriodMs, nullptr);
    GetDlgItem(IDC_STATUS)->SetWindowText("系统状态：设备连接成功!");
}

// Called on the worker before each poll. From the moment the link's device is gone until the
// link has the sensor again (a port that opens but does not answer as the sensor does not end the
// search), a scan runs on a thread of its own, at once and then every 2 s, one at a time, so that
// polls go on meanwhile; the port a scan found is opened here, on the worker, which alone drives
// the link.
void CToolsDlg::LookForLostSensor() {
    if (!LinkDeviceGone() && !m_rescanStarted) {
        return;
    }
    if (m_rescan.valid()) {
        if (m_rescan.wait_for(std::chrono::seconds(0)) != std::future_status::ready) {
            return;
        }
        const SensorScan scan = m_rescan.get();
        if (scan.found != 0 &&
            ZEKO_initial(scan.found, sensor::kIdentity, sensor::kBaudRate) == 0) {
            m_rescanStarted.reset();  // a later loss is looked after at once
            return;
        }
    }
    const auto now = std::chrono::steady_clock::now();
    if (m_rescanStarted && now - *m_rescanStarted < kRescanPeriod) {
        return;
    }
    m_rescanStarted = now;
    m_rescan = std::async(std::launch::async, [] {
        return FindSensorAgain(kScannedPorts, sensor::kIdentity, sensor::kBaudRate, kRescanPeriod);
    });
}
