#include "trend_dlg.h"

#include <algorithm>
#include <chrono>
#include <ctime>

#include "cdc.h"
#include "export_file.h"
#include "message_map.h"
#include "resource.h"
#include "tool_state.h"
#include "trend_drawing.h"
#include "trend_plot.h"

namespace {

constexpr std::int64_t kMsPerMinute = 60 * 1000;
constexpr int kSecondsPerDay = 24 * 60 * 60;
constexpr int kEastmostOffset = 14 * 60 * 60;

// Where the plots start and how far they keep from the window's edges, in dialog units.
constexpr RECT kPlotsStart{.left = 7, .top = 38, .right = 7, .bottom = 7};

struct Span {
    int radio;
    std::int64_t ms;
};

constexpr Span kSpans[] = {{IDC_TREND_SPAN_1, 1 * kMsPerMinute},
                           {IDC_TREND_SPAN_5, 5 * kMsPerMinute},
                           {IDC_TREND_SPAN_30, 30 * kMsPerMinute}};

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

// How far the local time is ahead of UTC at `ms`.
int UtcOffsetSeconds(std::int64_t ms) {
    const std::time_t time = static_cast<std::time_t>(ms / 1000);
    const std::tm local = LocalTime(time);
    const int localSeconds = (local.tm_hour * 60 + local.tm_min) * 60 + local.tm_sec;
    int offset = (localSeconds - static_cast<int>(time % kSecondsPerDay)) % kSecondsPerDay;
    if (offset > kEastmostOffset) offset -= kSecondsPerDay;
    if (offset < kEastmostOffset - kSecondsPerDay) offset += kSecondsPerDay;
    return offset;
}

}  // namespace

CTrendDlg::CTrendDlg(const TrendSources& sources, CWnd* pParent)
    : CDialog(IDD_TREND, pParent), m_sources(sources), m_spanMs(kSpans[0].ms) {}

const MessageMap* CTrendDlg::GetMessageMap() const {
    static const MessageMap map{
        .base = CDialog::GetMessageMap(),
        .entries =
            {
                ON_BN_CLICKED(IDC_TREND_PAUSE, &CTrendDlg::OnPause),
                ON_BN_CLICKED(IDC_TREND_SPAN_1, &CTrendDlg::OnSpan1),
                ON_BN_CLICKED(IDC_TREND_SPAN_5, &CTrendDlg::OnSpan5),
                ON_BN_CLICKED(IDC_TREND_SPAN_30, &CTrendDlg::OnSpan30),
                ON_BN_CLICKED(IDC_TREND_EXPORT, &CTrendDlg::OnExport),
                ON_WM_SIZE(&CTrendDlg::OnSize),
                ON_WM_DRAWITEM(&CTrendDlg::OnDrawItem),
            },
    };
    return &map;
}

BOOL CTrendDlg::OnInitDialog() {
    CDialog::OnInitDialog();
    CRect client;
    GetClientRect(&client);
    OnSize(0, client.Width(), client.Height());
    return TRUE;
}

void CTrendDlg::Open() {
    if (GetSafeHwnd() == nullptr && !Create()) {
        return;
    }
    if (!IsWindowVisible()) {
        m_pausedAtMs.reset();
        GetDlgItem(IDC_TREND_PAUSE)->SetWindowText("暂停");
        ChooseSpan(IDC_TREND_SPAN_1);
        ShowWindow(SW_SHOW);
    }
    BringWindowToTop();
}

void CTrendDlg::OnCancel() { ShowWindow(SW_HIDE); }

// The plots are drawn again once the view has moved by a pixel column's time, so that at the
// 30-minute span (1.5 s a column in a window 1200 pixels wide) a poll costs no repaint of its own.
void CTrendDlg::OnPollRecorded() {
    if (GetSafeHwnd() == nullptr || !IsWindowVisible() || m_pausedAtMs) {
        return;
    }
    ShowPeaks();
    CWnd* plots = GetDlgItem(IDC_TREND_PLOTS);
    CRect area;
    plots->GetClientRect(&area);
    if (NowMs() - m_drawnAtMs >= m_spanMs / std::max(1, area.Width())) {
        plots->Invalidate();
    }
}

// Pausing freezes the view where it is; going on returns to the live view.
void CTrendDlg::OnPause() {
    if (m_pausedAtMs) {
        m_pausedAtMs.reset();
        GetDlgItem(IDC_TREND_PAUSE)->SetWindowText("暂停");
    } else {
        m_pausedAtMs = NowMs();
        GetDlgItem(IDC_TREND_PAUSE)->SetWindowText("继续");
    }
    ShowPeaks();
    GetDlgItem(IDC_TREND_PLOTS)->Invalidate();
}

void CTrendDlg::OnSpan1() { ChooseSpan(IDC_TREND_SPAN_1); }

void CTrendDlg::OnSpan5() { ChooseSpan(IDC_TREND_SPAN_5); }

void CTrendDlg::OnSpan30() { ChooseSpan(IDC_TREND_SPAN_30); }

void CTrendDlg::ChooseSpan(int radio) {
    for (const Span& span : kSpans) {
        GetDlgItem(span.radio)
            ->SendMessage(BM_SETCHECK, span.radio == radio ? BST_CHECKED : BST_UNCHECKED);
        if (span.radio == radio) m_spanMs = span.ms;
    }
    ShowPeaks();
    GetDlgItem(IDC_TREND_PLOTS)->Invalidate();
}

std::int64_t CTrendDlg::ViewEndMs() const { return m_pausedAtMs ? *m_pausedAtMs : NowMs(); }

void CTrendDlg::ShowPeaks() {
    const std::int64_t to = ViewEndMs() + 1;
    const std::int64_t from = to - m_spanMs;
    CString text("振动峰值: -- G");
    if (const auto peak = Peak(m_sources.recording, TrendChannel::Vibration, from, to)) {
        text.Format("振动峰值: %3.2f G", static_cast<double>(*peak));
    }
    GetDlgItem(IDC_TREND_VIBRATION_PEAK)->SetWindowText(text);
    text = "移动峰值: -- 度/S";
    if (const auto peak = Peak(m_sources.recording, TrendChannel::Movement, from, to)) {
        text.Format("移动峰值: %d 度/S", static_cast<int>(*peak));
    }
    GetDlgItem(IDC_TREND_MOVEMENT_PEAK)->SetWindowText(text);
}

// The plots take the room the window has beyond the controls above them.
void CTrendDlg::OnSize(UINT, int cx, int cy) {
    CWnd* plots = GetDlgItem(IDC_TREND_PLOTS);
    if (plots == nullptr) {
        return;
    }
    RECT margins = kPlotsStart;
    MapDialogRect(&margins);
    plots->MoveWindow(margins.left, margins.top, cx - margins.left - margins.right,
                      cy - margins.top - margins.bottom);
}

void CTrendDlg::OnDrawItem(int, LPDRAWITEMSTRUCT lpDrawItemStruct) {
    CDC dc(*lpDrawItemStruct);
    m_drawnAtMs = NowMs();
    const std::int64_t to = ViewEndMs() + 1;
    DrawTrend(dc, lpDrawItemStruct->rcItem, m_sources,
              {.fromMs = to - m_spanMs,
               .toMs = to,
               .learningVibration = g_bLearnVibration != 0,
               .learningMovement = g_bLearnMovement != 0,
               .utcOffsetSeconds = UtcOffsetSeconds(to)});
}
