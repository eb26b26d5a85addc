// Exporting the history view to a text file named after the local time. Readers of these files
// expect GBK text with the line ends a Windows text-mode stream stores: every LF written becomes
// CR LF, so the view's CR LF line ends arrive as CR CR LF.
#include <ctime>
#include <fstream>
#include <string>

#include "export_clock.h"
#include "gbk_text.h"
#include "resource.h"
#include "tools_dlg.h"

namespace {

std::string TextModeLineEnds(const std::string& text) {
    std::string stored;
    stored.reserve(text.size() + text.size() / 8);
    for (const char c : text) {
        if (c == '\n') {
            stored += '\r';
        }
        stored += c;
    }
    return stored;
}

}  // namespace

// The file goes to the working directory under a name the operator is told first. Nothing is
// reported when it cannot be written.
void CToolsDlg::OnExportHistory() {
    const std::time_t now = ExportTime();
    std::tm local{};
    localtime_r(&now, &local);
    CString fileName;
    fileName.Format("历史报警记录 %d-%d-%d %d-%d-%d.txt", local.tm_year + 1900, local.tm_mon + 1,
                    local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    MessageBox("\r\n保存数据的文件名为:\r\n" + fileName + "\r\n\r\n文件保存在根目录.");

    std::ofstream file(fileName.str(), std::ios::out | std::ios::trunc | std::ios::binary);
    CString text;
    GetDlgItem(IDC_HISTORY)->GetWindowText(text);
    file << TextModeLineEnds(ToGbk(text) + "\n");
}
