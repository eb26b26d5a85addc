// The main dialog's side of the trend window: its item in the system menu, the recording of
// every poll from the moment the dialog is connected, and the thresholds the plots show, taken
// whenever the sensor accepted or reported one.
#include <chrono>

#include "resource.h"
#include "tools_dlg.h"

namespace {

constexpr char kTrendMenuText[] = "实时曲线...";

}  // namespace

void CToolsDlg::AddTrendToSystemMenu() {
    if (CMenu* pSysMenu = GetSystemMenu(FALSE)) {
        pSysMenu->AppendMenu(MF_STRING, IDM_TREND, kTrendMenuText);
    }
}

// Choosing the item again brings the open window forward.
void CToolsDlg::OpenTrendWindow() {
    if (!m_pTrendDlg) {
        m_pTrendDlg = std::make_unique<CTrendDlg>(m_trendSources, this);
    }
    m_pTrendDlg->Open();
}

void CToolsDlg::RecordPoll(std::chrono::system_clock::time_point startedAt,
                           const std::optional<StatusReadings>& status) {
    m_trendSources.recording.Record(
        std::chrono::duration_cast<std::chrono::milliseconds>(startedAt.time_since_epoch()).count(),
        status);
    if (status) {
        m_trendSources.learnedVibration = status->learnedVibration;
        m_trendSources.learnedMovement = status->learnedMovement;
    }
    if (m_pTrendDlg) {
        m_pTrendDlg->OnPollRecorded();
    }
}

void CToolsDlg::KnowVibrationAlarm(float g) { m_trendSources.vibrationAlarm = g; }

void CToolsDlg::KnowMovementAlarm(int degreesPerSecond) {
    m_trendSources.movementAlarm = degreesPerSecond;
}
