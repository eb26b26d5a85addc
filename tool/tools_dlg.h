// The main dialog, template 102. Its handlers and the helpers that show each value are grouped
// by area in files of their own, as marked below; the window behaviours are in tools_dlg.cpp.
#pragma once

#include <chrono>
#include <future>
#include <memory>
#include <optional>

#include "cdialog.h"
#include "cedit.h"
#include "cslider_ctrl.h"
#include "status_block.h"
#include "trend_dlg.h"
#include "trend_sources.h"
#include "zeko_scan.h"

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

protected:
    void DoDataExchange(CDataExchange* pDX) override;
    const MessageMap* GetMessageMap() const override;

    void OnSysCommand(UINT nID, LPARAM lParam);
    void OnPaint();
    HCURSOR OnQueryDragIcon();

    // The start-up scan, and the scan again while the device is gone (scan.cpp, with
    // OnInitDialog).
    void AddAboutToSystemMenu();
    void ShowNoSensor(int result);
    void StartPolling();
    void LookForLostSensor();

    // Live status polling (polling.cpp).
    void OnTimer(UINT_PTR nIDEvent);
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
    BOOL ReadRecord();

private:
    // The scan under way while the sensor is lost, and when the last one started, unset while
    // the link has the sensor. Going with the dialog, the scan is waited for; it touches
    // nothing of the dialog's.
    std::future<SensorScan> m_rescan;
    std::optional<std::chrono::steady_clock::time_point> m_rescanStarted;
    TrendSources m_trendSources;
    std::unique_ptr<CTrendDlg> m_pTrendDlg;  // made when first opened
};
