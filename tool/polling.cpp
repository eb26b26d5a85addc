// The live status poll: every tick of the dialog's timer asks the link worker to read the
// sensor's status block, and the result shows its readings, the learned thresholds while learning
// runs, the record counter and the five alarm lamps. Three failed polls in a row mark the link as
// lost in the status line, and it stays so while readings resume.
#include <chrono>
#include <limits>
#include <optional>

#include "cwin_app.h"
#include "resource.h"
#include "sensor_contract.h"
#include "status_block.h"
#include "tool_state.h"
#include "tools_dlg.h"
#include "zeko_api.h"

namespace {

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

// On the worker.
PollResult Poll() {
    PollResult poll;
    poll.started = std::chrono::system_clock::now();
    if (ZEKO_super_command(sensor::kBlockStatus, 0, sensor::kStatusBlockLength, g_blockRequest,
                           g_blockReply) == 0) {
        poll.status = DecodeStatusBlock(g_blockReply);
    }
    return poll;
}

}  // namespace

// The timer's ID is not looked at: any tick polls. A tick that finds a poll still asked for starts
// none; the next poll then starts once that one has been shown, as a timer's tick that fell due
// during a long handler comes once after it. A slow or silent sensor gets fewer polls, never a
// queue of them. While the device is gone each poll fails at once and counts as failed, and the
// sensor is looked for, so polls succeed again as soon as it is back.
void CToolsDlg::OnTimer(UINT_PTR nIDEvent) {
    if (m_pollAsked) {
        m_pollDue = true;
    } else {
        AskPoll();
    }
    CDialog::OnTimer(nIDEvent);
}

void CToolsDlg::AskPoll() {
    m_pollAsked = true;
    m_pollDue = false;
    m_worker.Ask([this] {
        LookForLostSensor();
        return LinkWorker::Result([this, poll = Poll()] { ShowPoll(poll); });
    });
}

void CToolsDlg::ShowPoll(const PollResult& poll) {
    m_pollAsked = false;
    RecordPoll(poll.started, poll.status);
    if (!poll.status) {
        CountPollFailure();
    } else {
        ShowStatus(*poll.status);
        g_nPollFailures = 0;
    }
    if (m_pollDue) {
        AskPoll();
    }
}

// Saturating, so that a link dead for years cannot wrap the count back below the limit.
void CToolsDlg::CountPollFailure() {
    if (g_nPollFailures < std::numeric_limits<int>::max()) {
        ++g_nPollFailures;
    }
    if (g_nPollFailures > kFailuresBeforeLost) {
        GetDlgItem(IDC_STATUS)->SetWindowText("系统状态：连接断开!");
    }
}

// The learned thresholds show only while their learning runs.
void CToolsDlg::ShowStatus(const StatusReadings& status) {
    m_fVibration = status.vibration;
    m_nMovement = status.movement;
    m_nTemperature = status.temperature;
    m_fAutoVibration = status.learnedVibration;
    m_nAutoMovement = status.learnedMovement;
    g_nRecordTotal = status.recordCount;

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
    ShowRecordCounter();
    ShowLamps(status.flags);
}

// Setting a lamp's icon redraws it, background first: a lamp set on every tick would flicker ten
// times a second, so only a change is set.
void CToolsDlg::ShowLamps(BYTE flags) {
    for (const Lamp& lamp : kLamps) {
        const HICON icon =
            AfxGetApp()->LoadIcon((flags & lamp.flag) != 0 ? IDI_LAMP_RED : IDI_LAMP_GREEN);
        CWnd* control = GetDlgItem(lamp.id);
        if (reinterpret_cast<HICON>(control->SendMessage(STM_GETICON, 0, 0)) != icon) {
            control->SendMessage(STM_SETICON, reinterpret_cast<WPARAM>(icon), 0);
        }
    }
}
