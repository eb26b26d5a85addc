// The main dialog, template 102. Its handlers and the helpers that show each value are grouped
// by area in files of their own, as marked below; the window behaviours are in tools_dlg.cpp.
// Every exchange with the sensor runs on the dialog's link worker: a handler asks for it, and its
// result is shown on the window's thread once it has ended.
#pragma once

#include <array>
#include <chrono>
#include <functional>
#include <future>
#include <initializer_list>
#include <memory>
#include <optional>
#include <vector>

#include "cdialog.h"
#include "cedit.h"
#include "cslider_ctrl.h"
#include "link_worker.h"
#include "sensor_contract.h"
#include "status_block.h"
#include "trend_dlg.h"
#include "trend_sources.h"
#include "zeko_scan.h"

// What one status poll gave (nothing when it failed), and the local wall-clock time it was sent
// at.
struct PollResult {
    std::optional<StatusReadings> status;
    std::chrono::system_clock::time_point started;
};

// What the start-up scan found: 0 once connected, else the last port's result; and the
// thresholds read once connected.
struct Connection {
    int result = 0;
    std::optional<long> vibrationAlarm;
    std::optional<long> movementAlarm;
};

// A threshold the sensor can learn: its buttons, state and parameter (thresholds.cpp).
struct LearningChannel;

// One alarm record asked for: its number, and its bytes when they came.
struct RecordRead {
    BYTE index = 0;
    bool ok = false;
    std::array<BYTE, sensor::kAlarmRecordLength> bytes{};
};

class CToolsDlg : public CDialog {
public:
    explicit CToolsDlg(CWnd* pParent = nullptr);

    CEdit m_editHistory;
    CSliderCtrl m_sliderMovement;
    CSliderCtrl m_sliderVibration;
    float m_fVibration;
    float m_fVibrationAlarm;
    float m_fAutoVibration;
    int m_nTemperature;
    short m_nMovementAlarm;
    short m_nAutoMovement;
    short m_nMovement;
    HICON m_hIcon;

    BOOL OnInitDialog() override;
    // Whether an exchange asked for has not yet shown its result.
    bool ExchangesPending() const { return m_worker.Busy(); }

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap* GetMessageMap() const override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();
    void OnDestroy();
    LRESULT OnLinkResults(WPARAM wParam, LPARAM lParam);

    // Asks for `exchange`; `buttons` take no press until its result has been shown.
    void RunAction(std::initializer_list<int> buttons, LinkWorker::Exchange exchange);
    // An exchange that writes `value` to `parameter`; `show`, if given, gets the sensor's result.
    static LinkWorker::Exchange SetParameter(int parameter, long value,
                                             std::function<void(int result)> show = {});

    // The start-up scan, and the scan again while the device is gone (scan.cpp, with
    // OnInitDialog).
    void AddAboutToSystemMenu();
    void ShowConnection(const Connection& connection);
    void ShowNoSensor(int result);
    void StartPolling(const Connection& connection);
    void LookForLostSensor();

    // Live status polling (polling.cpp).
    void OnTimer(UINT_PTR nIDEvent);
    void AskPoll();
    // The handler of every poll's result.
    void ShowPoll(const PollResult& poll);
    void CountPollFailure();
    void ShowStatus(const StatusReadings& status);
    void ShowLamps(BYTE flags);

    // Alarm thresholds and learning (thresholds.cpp).
    void OnHScroll(UINT nSBCode, UINT nPos, CWnd* pScrollBar);
    void OnSetVibrationAlarm();
    void OnReadVibrationAlarm();
    void OnSetMovementAlarm();
    void OnReadMovementAlarm();
    void OnLearnVibration();
    void OnCancelLearnVibration();
    void OnLearnMovement();
    void OnCancelLearnMovement();
    // A threshold's "设置" once the edits were read: a zero threshold is refused, else `value` is
    // written to `parameter`; `accepted` runs when the sensor took it.
    void SetAlarm(int button, int parameter, bool zero, long value, std::function<void()> accepted);
    // A press of the channel's learning button: starts learning or, while it learns, saves;
    // `showLearned` runs when the sensor accepted the save.
    void StepLearning(const LearningChannel& channel, std::function<void()> showLearned);
    void OnFactoryCalibration();
    void ShowVibrationAlarm(float g);
    void ShowMovementAlarm(int degreesPerSecond);

    // The trend window and what it shows (tools_dlg_trend.cpp).
    void AddTrendToSystemMenu();
    void OpenTrendWindow();
    void RecordPoll(std::chrono::system_clock::time_point startedAt,
                    const std::optional<StatusReadings>& status);
    void KnowVibrationAlarm(float g);
    void KnowMovementAlarm(int degreesPerSecond);

    // Alarm history (history.cpp) and its export (export.cpp).
    void OnReadNextRecord();
    void OnReadAllRecords();
    void OnClearHistory();
    void OnExportHistory();
    void AppendHistoryLine(const CString& line);
    void ShowRecordCounter();
    // Asks for records `first` to `last`, stopping at the first that fails; `allRead` runs once
    // every one of them has been shown.
    void ReadRecords(BYTE first, BYTE last, std::function<void()> allRead = {});
    void ShowRecords(const std::vector<RecordRead>& records);

private:
    bool m_pollAsked = false;  // a poll is queued or running
    bool m_pollDue = false;    // a tick came meanwhile

    // The worker's own: the scan under way while the sensor is lost, and when the last one
    // started, unset while the link has the sensor. Going with the worker, the scan is waited
    // for; it touches nothing of the dialog's.
    std::future<SensorScan> m_rescan;
    std::optional<std::chrono::steady_clock::time_point> m_rescanStarted;
    TrendSources m_trendSources;
    std::unique_ptr<CTrendDlg> m_pTrendDlg;  // made when first opened

    LinkWorker m_worker;  // last: it stops before the rest goes
};
