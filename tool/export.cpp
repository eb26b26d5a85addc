// Exporting the history view to a text file named after the local time. Readers of these files
// expect GBK text with the line ends a Windows text-mode stream stores: every LF written becomes
// CR LF, so the view's CR LF line ends arrive as CR CR LF.
#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <ctime>
#include <optional>
#include <string>
#include <system_error>

#include "export_clock.h"
#include "gbk_text.h"
#include "resource.h"
#include "tools_dlg.h"

namespace {

constexpr mode_t kNewFileMode = 0666;  // narrowed by the umask, as for any new file
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

int WriteAll(int fd, const std::string& bytes) {
    for (std::size_t done = 0; done < bytes.size();) {
        const ssize_t written = write(fd, bytes.data() + done, bytes.size() - done);
        if (written < 0 && errno != EINTR) {
            return errno;
        }
        if (written > 0) {
            done += static_cast<std::size_t>(written);
        }
    }
    return 0;
}

// Writes a new file beside `name` and renames it over the name once it is complete. The rename
// replaces whatever the name held (a symbolic link planted there too) without following it, and
// a failure at any step removes the new file, so the name never holds a partial export and no
// other file is touched. Returns the errno of the step that failed, else 0.
int SaveFile(const std::string& name, const std::string& bytes) {
    std::string temporary = name + ".XXXXXX";
    const int fd = mkostemp(temporary.data(), O_CLOEXEC);
    if (fd < 0) {
        return errno;
    }
    // mkostemp makes the file private; the export gets the mode any new file gets.
    const mode_t mask = umask(0);
    umask(mask);
    int error = fchmod(fd, kNewFileMode & ~mask) == 0 ? 0 : errno;
    if (error == 0) {
        error = WriteAll(fd, bytes);
    }
    if (error == 0 && fsync(fd) != 0) {
        error = errno;
    }
    if (close(fd) != 0 && error == 0) {
        error = errno;
    }
    if (error == 0 && std::rename(temporary.c_str(), name.c_str()) != 0) {
        error = errno;
    }
    if (error != 0) {
        unlink(temporary.c_str());
    }
    return error;
}

// Why the view could not be saved under `name`, or nothing when it was.
std::optional<std::string> SaveView(const std::string& name, const CString& view) {
    const std::optional<std::string> gbk = ToGbk(view);
    if (!gbk) {
        return kNoGbkEncoder;
    }
    if (const int error = SaveFile(name, TextModeLineEnds(*gbk + "\n")); error != 0) {
        return std::generic_category().message(error);
    }
    return std::nullopt;
}

}  // namespace

// The file goes to the working directory under a name the operator is told first; when it cannot
// be written, a second box names the file and the reason.
void CToolsDlg::OnExportHistory() {
    const std::time_t now = ExportTime();
    std::tm local{};
    localtime_r(&now, &local);
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
