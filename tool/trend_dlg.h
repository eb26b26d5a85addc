// The trend window, opened from the main dialog's system menu: modeless, owned by the main
// dialog, showing the recorded polls of the last 1, 5 or 30 minutes, live or paused, with the
// peaks of the span in sight, and exporting the whole recording as CSV.
#pragma once

#include <cstdint>
#include <optional>

#include "cdialog.h"
#include "trend_sources.h"

class CTrendDlg : public CDialog {
public:
    CTrendDlg(const TrendSources& sources, CWnd* pParent);

    // Shows the window live at the 1-minute span, in front of the others.
    void Open();
    // A poll was recorded: a live window shows it.
    void OnPollRecorded();

protected:
    BOOL OnInitDialog() override;
    // Enter does nothing; Escape and the close box hide the window, the recording goes on.
    void OnOK() override {}
    void OnCancel() override;
    const MessageMap* GetMessageMap() const override;

    void OnPause();
    void OnSpan1();
    void OnSpan5();
    void OnSpan30();
    void OnExport();  // trend_export.cpp
    void OnSize(UINT nType, int cx, int cy);
    void OnDrawItem(int nIDCtl, LPDRAWITEMSTRUCT lpDrawItemStruct);

private:
    void ChooseSpan(int radio);
    // The span in sight ends now while live, else when it was paused.
    std::int64_t ViewEndMs() const;
    void ShowPeaks();

    const TrendSources& m_sources;
    std::int64_t m_spanMs;
    std::optional<std::int64_t> m_pausedAtMs;
    std::int64_t m_drawnAtMs = 0;  // when the plots were drawn last
};
