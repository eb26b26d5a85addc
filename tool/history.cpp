// The alarm history: the sensor's records read one at a time or all at once into the history
// view, and the sensor's history erased.
#include "alarm_record_format.h"
#include "resource.h"
#include "sensor_contract.h"
#include "tool_state.h"
#include "tools_dlg.h"
#include "zeko_api.h"

namespace {

// More lines than this and the view starts afresh. The count includes the empty line after the
// last line end, so a full view shows 200 records.
constexpr LRESULT kHistoryLineCap = 200;

constexpr char kNoMoreRecords[] = "没有更多的历史记录信息!";
constexpr char kAllRecordsRead[] = "所有历史记录信息已读出!";

void EmptyView(CEdit& view) {
    view.SendMessage(EM_SETSEL, 0, -1);
    view.SendMessage(EM_SCROLLCARET);
    view.SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
}

}  // namespace

void CToolsDlg::AppendHistoryLine(const CString& line) {
    if (m_editHistory.SendMessage(EM_GETLINECOUNT) > kHistoryLineCap) {
        EmptyView(m_editHistory);
    }
    m_editHistory.SendMessage(EM_SETSEL, 0, -1);
    m_editHistory.SendMessage(EM_SCROLLCARET);
    DWORD start = 0;
    DWORD end = 0;
    m_editHistory.SendMessage(EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                              reinterpret_cast<LPARAM>(&end));
    m_editHistory.SendMessage(EM_SETSEL, end, static_cast<LPARAM>(end));
    m_editHistory.SendMessage(EM_SCROLLCARET);
    const CString text = line + "\r\n";
    m_editHistory.SendMessage(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(text.str().c_str()));
}

void CToolsDlg::ShowRecordCounter() {
    CString counter;
    counter.Format("%3d/%3d", g_nRecordIndex, g_nRecordTotal);
    GetDlgItem(IDC_RECORD_COUNTER)->SetWindowText(counter);
}

// A failed exchange still uses up its record number, so the next read asks for the one after.
BOOL CToolsDlg::ReadRecord() {
    ++g_nRecordIndex;
    g_blockRequest[0] = g_nRecordIndex;
    if (ZEKO_super_command(sensor::kBlockAlarmRecord, sensor::kAlarmRecordPayloadLength,
                           sensor::kAlarmRecordLength, g_blockRequest, g_blockReply) != 0) {
        return FALSE;
    }
    AppendHistoryLine(FormatAlarmRecord(g_nRecordIndex, g_blockReply));
    ShowRecordCounter();
    return TRUE;
}

void CToolsDlg::OnReadNextRecord() {
    if (g_nRecordTotal <= g_nRecordIndex) {
        MessageBox(kNoMoreRecords);
        return;
    }
    ReadRecord();
}

// The total is looked at again after every record: a poll that ran while an error box was open
// may have changed it.
void CToolsDlg::OnReadAllRecords() {
    if (g_nRecordTotal <= g_nRecordIndex) {
        MessageBox(kNoMoreRecords);
        return;
    }
    while (g_nRecordTotal > g_nRecordIndex) {
        if (!ReadRecord()) {
            return;
        }
    }
    MessageBox(kAllRecordsRead);
}

void CToolsDlg::OnClearHistory() {
    if (ZEKO_set(sensor::kParamClearHistory, sensor::kCommandValue) != 0) {
        return;
    }
    EmptyView(m_editHistory);
    g_nRecordIndex = 0;
    g_nRecordTotal = 0;
    ShowRecordCounter();
}
