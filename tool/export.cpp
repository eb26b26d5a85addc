// Exporting the history view to a text file named after the local time. Readers of these files
// expect GBK text with the line ends a Windows text-mode stream stores: every LF written becomes
// CR LF, so the view's CR LF line ends arrive as CR CR LF.
#include <ctime>
#include <optional>
#include <string>

#include "export_clock.h"
#include "export_file.h"
#include "gbk_text.h"
#include "resource.h"
#include "tools_dlg.h"

namespace {

constexpr char kNoGbkEncoder[] = "没有可用的 GBK 编码器";

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

// Why the view could not be saved under `name`, or nothing when it was.
std::optional<std::string> SaveView(const std::string& name, const CString& view) {
    const std::optional<std::string> gbk = ToGbk(view);
    if (!gbk) {
        return kNoGbkEncoder;
    }
    return SaveWholeFile(name, TextModeLineEnds(*gbk + "\n"));
}

}  // namespace

// The file goes to the working directory under a name the operator is told first; when it cannot
// be written, a second box names the file and the reason.
void CToolsDlg::OnExportHistory() {
    const std::time_t now = ExportTime();
    const std::tm local = LocalTime(now);
    CString fileName;
    fileName.Format("历史报警记录 %d-%d-%d %d-%d-%d.txt", local.tm_year + 1900, local.tm_mon + 1,
                    local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec);
    MessageBox("\r\n保存数据的文件名为:\r\n" + fileName + "\r\n\r\n文件保存在根目录.");

    CString text;
    GetDlgItem(IDC_HISTORY)->GetWindowText(text);
    if (const std::optional<std::string> failure = SaveView(fileName.str(), text)) {
        MessageBox("\r\n数据文件未能保存:\r\n" + fileName + "\r\n\r\n" + CString(*failure));
    }
}
