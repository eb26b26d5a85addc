#include "tools_dlg.h"

#include "about_dlg.h"
#include "cpaint_dc.h"
#include "cwin_app.h"
#include "data_exchange.h"
#include "message_map.h"
#include "resource.h"
#include "zeko_api.h"

namespace {

// Posted by the link worker whenever results wait to be shown.
constexpr UINT WM_LINK_RESULTS = WM_APP + 1;

}  // namespace

CToolsDlg::CToolsDlg(CWnd* pParent)
    : CDialog(IDD_KQ_TOOLS_DIALOG, pParent),
      m_fVibration(0),
      m_fVibrationAlarm(0),
      m_fAutoVibration(0),
      m_nTemperature(0),
      m_nMovementAlarm(0),
      m_nAutoMovement(0),
      m_nMovement(0),
      m_hIcon(AfxGetApp()->LoadIcon(IDR_MAINFRAME)),
      m_worker(*this, WM_LINK_RESULTS) {}

void CToolsDlg::DoDataExchange(CDataExchange* pDX) {
    CDialog::DoDataExchange(pDX);
    DDX_Control(pDX, IDC_HISTORY, m_editHistory);
    DDX_Control(pDX, IDC_SLIDER_MOVEMENT, m_sliderMovement);
    DDX_Control(pDX, IDC_SLIDER_VIBRATION, m_sliderVibration);
    DDX_Text(pDX, IDC_VIBRATION, m_fVibration);
    DDX_Text(pDX, IDC_VIBRATION_ALARM, m_fVibrationAlarm);
    DDV_MinMaxFloat(pDX, m_fVibrationAlarm, 0.0f, 1.0f);
    DDX_Text(pDX, IDC_AUTO_VIBRATION, m_fAutoVibration);
    DDX_Text(pDX, IDC_TEMPERATURE, m_nTemperature);
    DDX_Text(pDX, IDC_MOVEMENT_ALARM, m_nMovementAlarm);
    DDV_MinMaxInt(pDX, m_nMovementAlarm, 0, 200);
    DDX_Text(pDX, IDC_AUTO_MOVEMENT, m_nAutoMovement);
    DDX_Text(pDX, IDC_MOVEMENT, m_nMovement);
}

const MessageMap* CToolsDlg::GetMessageMap() const {
    static const MessageMap map{
        .base = CDialog::GetMessageMap(),
        .entries =
            {
                ON_WM_SYSCOMMAND(&CToolsDlg::OnSysCommand),
                ON_WM_PAINT(&CToolsDlg::OnPaint),
                ON_WM_QUERYDRAGICON(&CToolsDlg::OnQueryDragIcon),
                ON_WM_HSCROLL(&CToolsDlg::OnHScroll),
                ON_WM_TIMER(&CToolsDlg::OnTimer),
                ON_WM_DESTROY(&CToolsDlg::OnDestroy),
                ON_MESSAGE(WM_LINK_RESULTS, &CToolsDlg::OnLinkResults),
                ON_BN_CLICKED(IDC_SET_VIBRATION_ALARM, &CToolsDlg::OnSetVibrationAlarm),
                ON_BN_CLICKED(IDC_LEARN_VIBRATION, &CToolsDlg::OnLearnVibration),
                ON_BN_CLICKED(IDC_LEARN_MOVEMENT, &CToolsDlg::OnLearnMovement),
                ON_BN_CLICKED(IDC_CANCEL_LEARN_VIBRATION, &CToolsDlg::OnCancelLearnVibration),
                ON_BN_CLICKED(IDC_CANCEL_LEARN_MOVEMENT, &CToolsDlg::OnCancelLearnMovement),
                ON_BN_CLICKED(IDC_READ_VIBRATION_ALARM, &CToolsDlg::OnReadVibrationAlarm),
                ON_BN_CLICKED(IDC_READ_MOVEMENT_ALARM, &CToolsDlg::OnReadMovementAlarm),
                ON_BN_CLICKED(IDC_SET_MOVEMENT_ALARM, &CToolsDlg::OnSetMovementAlarm),
                ON_BN_CLICKED(IDC_READ_NEXT_RECORD, &CToolsDlg::OnReadNextRecord),
                ON_BN_CLICKED(IDC_CLEAR_HISTORY, &CToolsDlg::OnClearHistory),
                ON_BN_CLICKED(IDC_READ_ALL_RECORDS, &CToolsDlg::OnReadAllRecords),
                ON_BN_CLICKED(IDC_FACTORY_CALIBRATION, &CToolsDlg::OnFactoryCalibration),
                ON_BN_CLICKED(IDC_EXPORT_HISTORY, &CToolsDlg::OnExportHistory),
            },
    };
    return &map;
}

// Commands 16 to 31 are the About item of the system menu, 32 to 47 the trend window's.
void CToolsDlg::OnSysCommand(UINT nID, LPARAM lParam) {
    if ((nID & 0xFFF0) == IDM_TREND) {
        OpenTrendWindow();
    } else if ((nID & 0xFFF0) == IDM_ABOUTBOX) {
        CAboutDlg dlgAbout;
        dlgAbout.DoModal();
    } else {
        CDialog::OnSysCommand(nID, lParam);
    }
}

// Minimized, the dialog shows its icon centred in the client area.
void CToolsDlg::OnPaint() {
    if (IsIconic()) {
        CPaintDC dc(this);
        SendMessage(WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(dc.GetSafeHdc()), 0);
        const int cxIcon = GetSystemMetrics(SM_CXICON);
        const int cyIcon = GetSystemMetrics(SM_CYICON);
        CRect rect;
        GetClientRect(&rect);
        const int x = (rect.Width() - cxIcon + 1) / 2;
        const int y = (rect.Height() - cyIcon + 1) / 2;
        dc.DrawIcon(x, y, m_hIcon);
    } else {
        CDialog::OnPaint();
    }
}

// The cursor shown while the minimized window is dragged.
HCURSOR CToolsDlg::OnQueryDragIcon() { return m_hIcon; }

// The exchange under way ends as it would; the others are dropped, so nothing reaches the sensor
// half-way and no result comes back to a window that is gone.
void CToolsDlg::OnDestroy() {
    m_worker.Stop();
    CDialog::OnDestroy();
}

LRESULT CToolsDlg::OnLinkResults(WPARAM, LPARAM) {
    m_worker.ShowResults();
    return 0;
}

// A button that was enabled is disabled until its result is shown, so an action is never asked
// for twice; one that its own handler disabled stays as that handler left it.
void CToolsDlg::RunAction(std::initializer_list<int> buttons, LinkWorker::Exchange exchange) {
    std::vector<int> disabled;
    for (const int id : buttons) {
        if (!GetDlgItem(id)->EnableWindow(FALSE)) {
            disabled.push_back(id);
        }
    }
    m_worker.Ask([this, disabled, exchange = std::move(exchange)] {
        return LinkWorker::Result([this, disabled, show = exchange()] {
            for (const int id : disabled) {
                GetDlgItem(id)->EnableWindow(TRUE);
            }
            show();
        });
    });
}

LinkWorker::Exchange CToolsDlg::SetParameter(int parameter, long value,
                                             std::function<void(int result)> show) {
    return [parameter, value, show = std::move(show)] {
        const int result = ZEKO_set(parameter, value);
        return LinkWorker::Result([result, show] {
            if (show) {
                show(result);
            }
        });
    };
}
