// The two alarm thresholds and the sensor's threshold learning: the sliders propose a threshold,
// "设置" writes the edit's value, "读阀值" shows the sensor's; each channel's learning button
// starts learning and then saves the learned value, its "取消" button drops it. Results of the
// writes are ignored except for a save, whose learned value is shown only when it was accepted.
// The edits are read and checked on the window's thread, before the exchange is asked for.
#include <cstdint>
#include <functional>

#include "resource.h"
#include "sensor_contract.h"
#include "sensor_float.h"
#include "tool_state.h"
#include "tools_dlg.h"
#include "zeko_api.h"

struct LearningChannel {
    int button;
    int cancel;
    BYTE* learning;
    int parameter;
};

namespace {

// One slider position is 0.01 G of vibration, or 2 degrees/s of movement.
constexpr float kVibrationPerPosition = 0.01f;
constexpr int kMovementPerPosition = 2;

constexpr const char* kZeroThreshold = "报警阀值不能设置为0!";

constexpr LearningChannel kVibrationLearning{IDC_LEARN_VIBRATION, IDC_CANCEL_LEARN_VIBRATION,
                                             &g_bLearnVibration, sensor::kParamLearnVibration};
constexpr LearningChannel kMovementLearning{IDC_LEARN_MOVEMENT, IDC_CANCEL_LEARN_MOVEMENT,
                                            &g_bLearnMovement, sensor::kParamLearnMovement};

// The dialog changes state before anything is sent, whatever the sensor then answers.
void StartLearning(const CDialog& dialog, const LearningChannel& channel) {
    dialog.GetDlgItem(channel.button)->SetWindowText("保存");
    *channel.learning = 1;
    dialog.GetDlgItem(channel.cancel)->EnableWindow(TRUE);
}

// Back to idle; the save or cancel is sent after.
void StopLearning(const CDialog& dialog, const LearningChannel& channel) {
    dialog.GetDlgItem(channel.button)->SetWindowText("开始");
    *channel.learning = 0;
    dialog.GetDlgItem(channel.cancel)->EnableWindow(FALSE);
}

// An exchange that reads `parameter`; `show` gets its value when the read succeeded.
LinkWorker::Exchange GetParameter(int parameter, std::function<void(long value)> show) {
    return [parameter, show = std::move(show)] {
        long value = 0;
        const int result = ZEKO_get(parameter, &value);
        return LinkWorker::Result([result, value, show] {
            if (result == 0) {
                show(value);
            }
        });
    };
}

// A write's result handler that runs `accepted` when the sensor took the value.
std::function<void(int result)> IfAccepted(std::function<void()> accepted) {
    return [accepted = std::move(accepted)](int result) {
        if (result == 0) {
            accepted();
        }
    };
}

}  // namespace

// The threshold edits' texts: G with two decimals, degrees/s whole.
void CToolsDlg::ShowVibrationAlarm(float g) {
    CString text;
    text.Format("%3.2f", static_cast<double>(g));
    GetDlgItem(IDC_VIBRATION_ALARM)->SetWindowText(text);
}

void CToolsDlg::ShowMovementAlarm(int degreesPerSecond) {
    CString text;
    text.Format("%d", degreesPerSecond);
    GetDlgItem(IDC_MOVEMENT_ALARM)->SetWindowText(text);
}

// Any scroll, whatever its code, puts the slider's value into the threshold edit; nothing is
// sent until "设置" is pressed.
void CToolsDlg::OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar) {
    // A scroll of the dialog's own scroll bar names no control.
    const int id = pScrollBar != nullptr ? pScrollBar->GetDlgCtrlID() : IDC_STATIC;
    if (id == IDC_SLIDER_VIBRATION) {
        const auto position = static_cast<int>(m_sliderVibration.SendMessage(TBM_GETPOS));
        m_fVibrationAlarm = static_cast<float>(position) * kVibrationPerPosition;
        ShowVibrationAlarm(m_fVibrationAlarm);
    }
    if (id == IDC_SLIDER_MOVEMENT) {
        const auto position = static_cast<int>(m_sliderMovement.SendMessage(TBM_GETPOS));
        m_nMovementAlarm = static_cast<short>(position * kMovementPerPosition);
        ShowMovementAlarm(m_nMovementAlarm);
    }
    CDialog::OnHScroll(nSBCode, nPos, pScrollBar);
}

// The exchange covers every field, so a bad movement threshold stops either button.
void CToolsDlg::OnSetVibrationAlarm() {
    if (UpdateData(TRUE)) {
        SetAlarm(IDC_SET_VIBRATION_ALARM, sensor::kParamVibrationAlarm, m_fVibrationAlarm == 0.0f,
                 ParameterOfFloat(m_fVibrationAlarm),
                 [this, threshold = m_fVibrationAlarm] { KnowVibrationAlarm(threshold); });
    }
}

void CToolsDlg::OnSetMovementAlarm() {
    if (UpdateData(TRUE)) {
        SetAlarm(IDC_SET_MOVEMENT_ALARM, sensor::kParamMovementAlarm, m_nMovementAlarm == 0,
                 m_nMovementAlarm,
                 [this, threshold = m_nMovementAlarm] { KnowMovementAlarm(threshold); });
    }
}

void CToolsDlg::SetAlarm(int button, int parameter, bool zero, long value,
                         std::function<void()> accepted) {
    if (zero) {
        MessageBox(kZeroThreshold);
        return;
    }
    RunAction({button}, SetParameter(parameter, value, IfAccepted(std::move(accepted))));
}

// Only the edit shows what was read: the member takes it at the next "设置", the slider never.
void CToolsDlg::OnReadVibrationAlarm() {
    RunAction({IDC_READ_VIBRATION_ALARM},
              GetParameter(sensor::kParamVibrationAlarm, [this](long value) {
                  ShowVibrationAlarm(FloatOfParameter(value));
                  KnowVibrationAlarm(FloatOfParameter(value));
              }));
}

void CToolsDlg::OnReadMovementAlarm() {
    RunAction({IDC_READ_MOVEMENT_ALARM},
              GetParameter(sensor::kParamMovementAlarm, [this](long value) {
                  ShowMovementAlarm(static_cast<std::int32_t>(value));
                  KnowMovementAlarm(static_cast<std::int32_t>(value));
              }));
}

// A save accepted by the sensor shows the value learned at the last poll as the alarm threshold.
void CToolsDlg::StepLearning(const LearningChannel& channel, std::function<void()> showLearned) {
    if (*channel.learning == 0) {
        StartLearning(*this, channel);
        RunAction({channel.button}, SetParameter(channel.parameter, sensor::kLearnStart));
    } else {
        StopLearning(*this, channel);
        RunAction({channel.button}, SetParameter(channel.parameter, sensor::kLearnSave,
                                                 IfAccepted(std::move(showLearned))));
    }
}

void CToolsDlg::OnLearnVibration() {
    StepLearning(kVibrationLearning, [this] {
        ShowVibrationAlarm(m_fAutoVibration);
        KnowVibrationAlarm(m_fAutoVibration);
    });
}

void CToolsDlg::OnLearnMovement() {
    StepLearning(kMovementLearning, [this] {
        ShowMovementAlarm(m_nAutoMovement);
        KnowMovementAlarm(m_nAutoMovement);
    });
}

void CToolsDlg::OnCancelLearnVibration() {
    StopLearning(*this, kVibrationLearning);
    RunAction({kVibrationLearning.cancel},
              SetParameter(kVibrationLearning.parameter, sensor::kLearnCancel));
}

void CToolsDlg::OnCancelLearnMovement() {
    StopLearning(*this, kMovementLearning);
    RunAction({kMovementLearning.cancel},
              SetParameter(kMovementLearning.parameter, sensor::kLearnCancel));
}

// Behind a button the dialog never shows.
void CToolsDlg::OnFactoryCalibration() {
    RunAction({IDC_FACTORY_CALIBRATION},
              SetParameter(sensor::kParamFactoryCalibration, sensor::kCommandValue));
}
