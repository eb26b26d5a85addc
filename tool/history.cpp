// The alarm history: the sensor's records read one at a time or all at once into the history
// view, and the sensor's history erased. While one of these runs, none of their buttons takes a
// press: each asks for records from the counter as the last result left it.
#include <algorithm>
#include <functional>
#include <vector>

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

constexpr std::initializer_list<int> kHistoryButtons = {IDC_READ_NEXT_RECORD, IDC_READ_ALL_RECORDS,
                                                        IDC_CLEAR_HISTORY};

// On the worker. A failed exchange still uses up its record number, so the next read asks for
// the one after.
RecordRead ReadRecord(BYTE index) {
    RecordRead record;
    record.index = index;
    g_blockRequest[0] = index;
    record.ok = ZEKO_super_command(sensor::kBlockAlarmRecord, sensor::kAlarmRecordPayloadLength,
                                   sensor::kAlarmRecordLength, g_blockRequest, g_blockReply) == 0;
    if (record.ok) {
        std::copy_n(g_blockReply, record.bytes.size(), record.bytes.begin());
    }
    return record;
}

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

// Polls wait behind the exchange, so the total cannot change while the records are read. Closing
// the dialog ends the run between two records.
void CToolsDlg::ReadRecords(BYTE first, BYTE last, std::function<void()> allRead) {
    RunAction(kHistoryButtons, [this, first, last, allRead = std::move(allRead)] {
        std::vector<RecordRead> records;
        for (int index = first; index <= last && !m_worker.Stopping(); ++index) {
            records.push_back(ReadRecord(static_cast<BYTE>(index)));
            if (!records.back().ok) {
                break;
            }
        }
        return LinkWorker::Result([this, records, last, allRead] {
            ShowRecords(records);
            if (allRead && !records.empty() && records.back().ok && records.back().index == last) {
                allRead();
            }
        });
    });
}

void CToolsDlg::ShowRecords(const std::vector<RecordRead>& records) {
    for (const RecordRead& record : records) {
        g_nRecordIndex = record.index;
        if (record.ok) {
            AppendHistoryLine(FormatAlarmRecord(record.index, record.bytes.data()));
            ShowRecordCounter();
        }
    }
}

void CToolsDlg::OnReadNextRecord() {
    if (g_nRecordTotal <= g_nRecordIndex) {
        MessageBox(kNoMoreRecords);
        return;
    }
    const auto next = static_cast<BYTE>(g_nRecordIndex + 1);
    ReadRecords(next, next);
}

void CToolsDlg::OnReadAllRecords() {
    if (g_nRecordTotal <= g_nRecordIndex) {
        MessageBox(kNoMoreRecords);
        return;
    }
    ReadRecords(static_cast<BYTE>(g_nRecordIndex + 1), g_nRecordTotal,
                [this] { MessageBox(kAllRecordsRead); });
}

void CToolsDlg::OnClearHistory() {
    RunAction(kHistoryButtons,
              SetParameter(sensor::kParamClearHistory, sensor::kCommandValue, [this](int result) {
                  if (result != 0) {
                      return;
                  }
                  EmptyView(m_editHistory);
                  g_nRecordIndex = 0;
                  g_nRecordTotal = 0;
                  ShowRecordCounter();
              }));
}
