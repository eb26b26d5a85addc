// The main dialog's start: the About command in the system menu, the icons, and the scan of
// COM1 to COM16 for the sensor, which decides whether the dialog polls or stays disconnected.
#include <array>
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "port_failures.h"
#include "resource.h"
#include "sensor_contract.h"
#include "tools_dlg.h"
#include "zeko_api.h"

namespace {

constexpr int kFirstPort = 1;
constexpr int kLastPort = 16;
constexpr UINT_PTR kPollTimer = 1;
constexpr UINT kPollPeriodMs = 100;
constexpr int kSliderMax = 100;
constexpr int kStartTemperature = 25;

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

}  // namespace

BOOL CToolsDlg::OnInitDialog() {
    CDialog::OnInitDialog();

    CMenu* pSysMenu = GetSystemMenu(FALSE);
    if (pSysMenu != nullptr) {
        CString strAboutMenu;
        strAboutMenu.LoadString(IDS_ABOUTBOX);
        if (!strAboutMenu.IsEmpty()) {
            pSysMenu->AppendMenu(MF_SEPARATOR);
            pSysMenu->AppendMenu(MF_STRING, IDM_ABOUTBOX, strAboutMenu);
        }
    }

    SetIcon(m_hIcon, TRUE);
    SetIcon(m_hIcon, FALSE);

    int result = 0;
    std::array<int, kLastPort - kFirstPort + 1> results{};
    for (int port = kFirstPort; port <= kLastPort; ++port) {
        result = ZEKO_initial(port, sensor::kIdentity, sensor::kBaudRate);
        results[port - kFirstPort] = result;
        if (result == 0) {
            break;
        }
    }

    CString status;
    if (result != 0) {
        status.Format("系统状态：未连接，未发现在线设备!ERR:%d", result);
        for (int id : kButtons) {
            GetDlgItem(id)->EnableWindow(FALSE);
        }
        ReportPortFailures(results);
    } else {
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

        long value = 0;
        if (ZEKO_get(sensor::kParamVibrationAlarm, &value) == 0) {
            const float threshold = std::bit_cast<float>(static_cast<std::int32_t>(value));
            CString text;
            text.Format("%3.2f", static_cast<double>(threshold));
            GetDlgItem(IDC_VIBRATION_ALARM)->SetWindowText(text);
            m_sliderVibration.SendMessage(TBM_SETPOS, TRUE,
                                          TruncateToInt(static_cast<double>(threshold) * 100));
        }
        if (ZEKO_get(sensor::kParamMovementAlarm, &value) == 0) {
            const auto threshold = static_cast<std::int32_t>(value);
            CString text;
            text.Format("%d", threshold);
            GetDlgItem(IDC_MOVEMENT_ALARM)->SetWindowText(text);
            m_sliderMovement.SendMessage(TBM_SETPOS, TRUE, MovementSliderPosition(threshold));
        }

        SetTimer(kPollTimer, kPollPeriodMs, nullptr);
        status = "系统状态：设备连接成功!";
    }

    GetDlgItem(IDC_STATUS)->SetWindowText(status);
    GetDlgItem(IDC_CANCEL_LEARN_VIBRATION)->EnableWindow(FALSE);
    GetDlgItem(IDC_CANCEL_LEARN_MOVEMENT)->EnableWindow(FALSE);
    return TRUE;
}
