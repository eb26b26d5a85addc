// The live status poll: every tick of the dialog's timer reads the sensor's status block and
// shows its readings, the learned thresholds while learning runs, the record counter and the five
// alarm lamps. Three failed polls in a row mark the link as lost in the status line.
#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "cwin_app.h"
#include "resource.h"
#include "sensor_contract.h"
#include "tool_state.h"
#include "tools_dlg.h"
#include "zeko_api.h"

namespace {

// Shown in place of a vibration the sensor reports as negative or not a number.
constexpr float kVibrationFloor = 0.01f;
constexpr int kFailuresBeforeLost = 2;

struct Lamp {
    int id;
    BYTE flag;
};

// In the order the lamps are set.
constexpr Lamp kLamps[] = {
    {IDC_LAMP_VIBRATION, sensor::kFlagVibration},     {IDC_LAMP_MOVEMENT, sensor::kFlagMovement},
    {IDC_LAMP_TEMPERATURE, sensor::kFlagTemperature}, {IDC_LAMP_TAMPER, sensor::kFlagTamper},
    {IDC_LAMP_VOLTAGE, sensor::kFlagVoltage},
};

float FloatAt(std::size_t offset) {
    return std::bit_cast<float>(static_cast<std::int32_t>(ReadBE32(g_blockReply + offset)));
}

short ShortAt(std::size_t offset) {
    return static_cast<short>(static_cast<std::uint16_t>(ReadBE16(g_blockReply + offset)));
}

}  // namespace

// The timer's ID is not looked at: any tick polls.
void CToolsDlg::OnTimer(UINT_PTR nIDEvent) {
    const int result = ZEKO_super_command(sensor::kBlockStatus, 0, sensor::kStatusBlockLength,
                                          g_blockRequest, g_blockReply);
    if (result != 0) {
        // Saturating, so that a link dead for years cannot wrap the count back below the limit.
        if (g_nPollFailures < std::numeric_limits<int>::max()) {
            ++g_nPollFailures;
        }
        if (g_nPollFailures > kFailuresBeforeLost) {
            GetDlgItem(IDC_STATUS)->SetWindowText("系统状态：连接断开!");
        }
    } else {
        m_fVibration = FloatAt(sensor::kStatusVibration);
        m_nMovement = ShortAt(sensor::kStatusMovement);
        m_nTemperature = g_blockReply[sensor::kStatusTemperature];
        const BYTE flags = g_blockReply[sensor::kStatusFlags];
        m_fAutoVibration = FloatAt(sensor::kStatusLearnedVibration);
        m_nAutoMovement = ShortAt(sensor::kStatusLearnedMovement);
        g_nRecordTotal = g_blockReply[sensor::kStatusRecordCount];

        if (m_fVibration < 0.0f || std::isnan(m_fVibration)) {
            m_fVibration = kVibrationFloor;
        }

        CString text;
        text.Format("%3.2f", static_cast<double>(m_fVibration));
        GetDlgItem(IDC_VIBRATION)->SetWindowText(text);
        text.Format("%d", m_nMovement);
        GetDlgItem(IDC_MOVEMENT)->SetWindowText(text);
        text.Format("%d", m_nTemperature);
        GetDlgItem(IDC_TEMPERATURE)->SetWindowText(text);
        if (g_bLearnVibration) {
            text.Format("%3.2f", static_cast<double>(m_fAutoVibration));
            GetDlgItem(IDC_AUTO_VIBRATION)->SetWindowText(text);
        }
        if (g_bLearnMovement) {
            text.Format("%d", m_nAutoMovement);
            GetDlgItem(IDC_AUTO_MOVEMENT)->SetWindowText(text);
        }
        text.Format("%3d/%3d", g_nRecordIndex, g_nRecordTotal);
        GetDlgItem(IDC_RECORD_COUNTER)->SetWindowText(text);

        for (const Lamp& lamp : kLamps) {
            const HICON icon =
                AfxGetApp()->LoadIcon((flags & lamp.flag) ? IDI_LAMP_RED : IDI_LAMP_GREEN);
            GetDlgItem(lamp.id)->SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }

        g_nPollFailures = 0;
    }
    CDialog::OnTimer(nIDEvent);
}
