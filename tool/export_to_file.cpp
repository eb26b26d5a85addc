#include "export_to_file.h"

#include <ctime>

#include "cwnd.h"
#include "export_clock.h"
#include "export_file.h"

void ExportToFile(CWnd& owner, const char* title, const char* extension,
                  const ExportContent& content) {
    const std::tm local = LocalTime(ExportTime());
    CString fileName;
    fileName.Format("%s %d-%d-%d %d-%d-%d%s", title, local.tm_year + 1900, local.tm_mon + 1,
                    local.tm_mday, local.tm_hour, local.tm_min, local.tm_sec, extension);
    owner.MessageBox("\r\n保存数据的文件名为:\r\n" + fileName + "\r\n\r\n文件保存在根目录.");

    std::string bytes;
    std::optional<std::string> failure = content(bytes);
    if (!failure) {
        failure = SaveWholeFile(fileName.str(), bytes);
    }
    if (failure) {
        owner.MessageBox("\r\n数据文件未能保存:\r\n" + fileName + "\r\n\r\n" + CString(*failure));
    }
}
