// Exporting the history view to a text file named after the local time. Readers of these files
// expect GBK text with the line ends a Windows text-mode stream stores: every LF written becomes
// CR LF, so the view's CR LF line ends arrive as CR CR LF.
#include <optional>
#include <string>

#include "export_to_file.h"
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

}  // namespace

// The file goes to the working directory under a name the operator is told first; the view is
// read once the notice has been closed.
void CToolsDlg::OnExportHistory() {
    ExportToFile(*this, "历史报警记录", ".txt",
                 [this](std::string& bytes) -> std::optional<std::string> {
                     CString text;
                     GetDlgItem(IDC_HISTORY)->GetWindowText(text);
                     const std::optional<std::string> gbk = ToGbk(text);
                     if (!gbk) {
                         return kNoGbkEncoder;
                     }
                     bytes = TextModeLineEnds(*gbk + "\n");
                     return std::nullopt;
                 });
}
