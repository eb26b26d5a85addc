// Exporting the trend window's recording: every sample, oldest first, as CSV in UTF-8 with a
// byte-order mark (so that spreadsheet programs read the Chinese header as such) and CR LF line
// ends, under the history export's name pattern, notice and safe write.
#include <optional>
#include <string>

#include "export_to_file.h"
#include "status_csv.h"
#include "trend_dlg.h"

namespace {

constexpr char kByteOrderMark[] = "\xEF\xBB\xBF";
constexpr char kLineEnd[] = "\r\n";

}  // namespace

// The samples are taken once the notice has been closed: those recorded meanwhile are in.
void CTrendDlg::OnExport() {
    ExportToFile(
        *this, "实时曲线", ".csv", [this](std::string& bytes) -> std::optional<std::string> {
            const TrendRecording& recording = m_sources.recording;
            bytes = std::string(kByteOrderMark) + kStatusCsvHeader + kLineEnd;
            for (std::size_t i = 0; i < recording.Size(); ++i) {
                const TrendSample& sample = recording[i];
                const StatusReadings readings = sample.Readings();
                bytes += StatusCsvLine(sample.startedMs, sample.Failed() ? nullptr : &readings);
                bytes += kLineEnd;
            }
            return std::nullopt;
        });
}
