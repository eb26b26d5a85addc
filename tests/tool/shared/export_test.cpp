// Exporting the history view: the notice, the file named after the local time in the working
// directory, its GBK bytes with the line ends the readers of these files expect, and what happens
// when the file cannot be written. The trend window and its CSV export, under the same name
// pattern and clock.
#include <stdlib.h>
#include <time.h>
#if !defined(_WIN32)
#include <signal.h>
#include <sys/fsuid.h>
#include <sys/resource.h>
#include <unistd.h>
#endif

#include <algorithm>
#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <optional>
#include <random>
#include <string>
#include <utility>
#include <vector>

#include "cwin_app.h"
#include "export_clock.h"
#include "history_fixture.h"
#include "resource.h"
#include "test_platform.h"
#include "tool_state.h"

namespace fs = std::filesystem;

namespace {

constexpr std::time_t kDecember6 = 1796506185;   // 2026-12-06 05:29:45 in China, 21:29:45 UTC
constexpr std::time_t kNovember23 = 1795453689;  // 2026-11-23 17:08:09 UTC
constexpr char kDecember6Name[] = "历史报警记录 2026-12-6 5-29-45.txt";

// The alarm types in GBK, from the code page's table.
constexpr char kVibration[] = "\xD5\xF1\xB6\xAF";               // 振动
constexpr char kMovement[] = "\xD2\xC6\xB6\xAF";                // 移动
constexpr char kOverTemperature[] = "\xB3\xAC\xCE\xC2";         // 超温
constexpr char kTamper[] = "\xB7\xC0\xB2\xF0";                  // 防拆
constexpr char kLowVoltage[] = "\xB5\xCD\xD1\xB9";              // 低压
constexpr char kEnergy[] = "\xC4\xDC\xC1\xBF\xC0\xDB\xBC\xC6";  // 能量累计

std::string Blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

std::string Notice(const std::string& fileName) {
    return "\r\n保存数据的文件名为:\r\n" + fileName + "\r\n\r\n文件保存在根目录.";
}

std::string Failure(const std::string& fileName, const std::string& reason) {
    return "\r\n数据文件未能保存:\r\n" + fileName + "\r\n\r\n" + reason;
}

// Names are UTF-8 here, as the dialog shows them; Windows keeps them in UTF-16.
fs::path PathOf(const std::string& name) { return std::u8string(name.begin(), name.end()); }

std::string NameOf(const fs::path& path) {
    const std::u8string name = path.filename().u8string();
    return {name.begin(), name.end()};
}

std::string ReadFile(const fs::path& path) {
    std::ifstream file(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>()};
}

class ExportTest : public HistoryFixture {
protected:
    void SetUp() override {
        HistoryFixture::SetUp();
        do {
            m_workDir =
                fs::temp_directory_path() / ("kq-export-" + std::to_string(std::random_device{}()));
        } while (!fs::create_directory(m_workDir));
        m_startDir = fs::current_path();
        fs::current_path(m_workDir);
        if (const char* tz = getenv("TZ")) {
            m_startTz = tz;
        }
        SetLocalTime("CST-8", kDecember6);
    }

    void TearDown() override {
        fs::current_path(m_startDir);
        fs::remove_all(m_workDir);
        SetExportClock({});
        if (m_startTz) {
            SetEnvironment("TZ", m_startTz->c_str());
        } else {
            UnsetEnvironment("TZ");
        }
        tzset();
        HistoryFixture::TearDown();
    }

    // The export's clock stands at `at`, seen in the time zone `tz` (POSIX form).
    void SetLocalTime(const char* tz, std::time_t at) {
        SetEnvironment("TZ", tz);
        tzset();
        SetExportClock([at] { return at; });
    }

    // The names in the working directory.
    std::vector<std::string> Files() const {
        std::vector<std::string> names;
        for (const fs::directory_entry& entry : fs::directory_iterator(m_workDir)) {
            names.push_back(NameOf(entry.path()));
        }
        return names;
    }

    fs::path ExportFile() const { return m_workDir / PathOf(kDecember6Name); }

    // Reads every record the sensor holds into the view.
    void ReadAll(const std::vector<sim::AlarmRecord>& records) {
        Open(records);
        if (!records.empty()) {
            Press(IDC_READ_ALL_RECORDS);
        }
        m_boxes.clear();
    }

    fs::path m_workDir;
    fs::path m_startDir;
    std::optional<std::string> m_startTz;
};

struct Moment {
    const char* name;
    const char* tz;
    std::time_t at;
    const char* fileName;
};

void PrintTo(const Moment& value, std::ostream* out) { *out << value.name; }

class FileNameTest : public ExportTest, public testing::WithParamInterface<Moment> {};

struct Content {
    const char* name;
    std::vector<sim::AlarmRecord> records;
    std::string bytes;
};

void PrintTo(const Content& value, std::ostream* out) { *out << value.name; }

class ContentTest : public ExportTest, public testing::WithParamInterface<Content> {};

// What keeps the export from being saved.
struct Unwritable {
    const char* name;
    // Returns what has to live while the export runs, if anything.
    std::function<std::shared_ptr<void>(const fs::path& workDir)> arrange;
    const char* reason;        // the system's words for it
    const char* notOnWindows;  // why Windows has no such case, else nullptr
};

#if defined(_WIN32)
// The words Windows has for an error, in its own language (Wine's differ from Windows' too), as
// the export shows them: UTF-8, without the line end.
std::string SystemWords(DWORD error) {
    wchar_t text[256] = {};
    FormatMessageW(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0,
                   text, static_cast<DWORD>(std::size(text)), nullptr);
    char utf8[1024] = {};
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr);
    std::string words = utf8;
    words.erase(words.find_last_not_of("\r\n ") + 1);
    return words;
}

// Windows refuses to move a file onto a directory.
const std::string kIsADirectory = SystemWords(ERROR_ACCESS_DENIED);
#else
const std::string kIsADirectory = "Is a directory";
constexpr uid_t kNobody = 65534;
#endif

// A folder that takes no new entries. Root passes any folder's permissions, so its file access
// is nobody's for the while, held to the permissions like everyone else's.
class ReadOnlyFolder {
public:
    explicit ReadOnlyFolder(fs::path folder) : m_folder(std::move(folder)) {
        fs::permissions(m_folder, fs::perms::owner_read | fs::perms::owner_exec |
                                      fs::perms::others_read | fs::perms::others_exec);
#if !defined(_WIN32)
        if (geteuid() == 0) setfsuid(kNobody);
#endif
    }
    ~ReadOnlyFolder() {
#if !defined(_WIN32)
        if (geteuid() == 0) setfsuid(0);
#endif
        fs::permissions(m_folder, fs::perms::owner_all);
    }
    ReadOnlyFolder(const ReadOnlyFolder&) = delete;
    ReadOnlyFolder& operator=(const ReadOnlyFolder&) = delete;

private:
    fs::path m_folder;
};

// A write that fails half-way, as on a full disk: the file may grow to a few bytes only.
class FileSizeLimit {
public:
#if defined(_WIN32)
    explicit FileSizeLimit(std::uintmax_t) {}
#else
    explicit FileSizeLimit(rlim_t bytes) {
        getrlimit(RLIMIT_FSIZE, &m_before);
        m_previousSignal = signal(SIGXFSZ, SIG_IGN);  // else going past the limit kills the process
        const rlimit limit{.rlim_cur = bytes, .rlim_max = m_before.rlim_max};
        setrlimit(RLIMIT_FSIZE, &limit);
    }
    ~FileSizeLimit() {
        setrlimit(RLIMIT_FSIZE, &m_before);
        signal(SIGXFSZ, m_previousSignal);
    }
    FileSizeLimit(const FileSizeLimit&) = delete;
    FileSizeLimit& operator=(const FileSizeLimit&) = delete;

private:
    rlimit m_before{};
    sighandler_t m_previousSignal;
#endif
};

void PrintTo(const Unwritable& value, std::ostream* out) { *out << value.name; }

class UnwritableTest : public ExportTest, public testing::WithParamInterface<Unwritable> {};

}  // namespace

TEST_P(FileNameTest, TheNameIsTheLocalTimeWithoutLeadingZeros) {
    const Moment& moment = GetParam();
    SetLocalTime(moment.tz, moment.at);
    Open({});

    Press(IDC_EXPORT_HISTORY);

    ASSERT_EQ(Boxes(), std::vector<std::string>{Notice(moment.fileName)});
    EXPECT_EQ(m_boxes[0].caption, AfxGetAppName());                 // no caption of its own
    EXPECT_EQ(Files(), std::vector<std::string>{moment.fileName});  // UTF-8 bytes on disk
    EXPECT_TRUE(Sensor(3).ReceivedBytes().empty());  // the export does not talk to the sensor
}

INSTANTIATE_TEST_SUITE_P(
    Moments, FileNameTest,
    testing::Values(Moment{"December6InChina", "CST-8", kDecember6, kDecember6Name},
                    Moment{"TheSameInstantInUtc", "UTC0", kDecember6,
                           "历史报警记录 2026-12-5 21-29-45.txt"},
                    Moment{"November23", "UTC0", kNovember23, "历史报警记录 2026-11-23 17-8-9.txt"},
                    Moment{"NewYear", "UTC0", 1798761600, "历史报警记录 2027-1-1 0-0-0.txt"}),
    [](const testing::TestParamInfo<Moment>& info) { return info.param.name; });

TEST_P(ContentTest, TheViewIsStoredInGbkWithCrCrLfLineEnds) {
    ReadAll(GetParam().records);
    const std::string view = Text(IDC_HISTORY);

    Press(IDC_EXPORT_HISTORY);

    const std::string bytes = ReadFile(ExportFile());
    EXPECT_EQ(bytes, GetParam().bytes);
    EXPECT_EQ(Text(IDC_HISTORY), view);
}

INSTANTIATE_TEST_SUITE_P(
    Views, ContentTest,
    testing::Values(
        Content{"Empty", {}, "\r\n"},
        Content{"OneOverTemperatureLine",
                {Record(0x04, 70.0f, 72.0f)},
                "  1" + Blanks(8) + kOverTemperature + Blanks(12) + "NULL" + Blanks(10) + "NULL" +
                    "\r\r\n" + "\r\n"},
        Content{"EveryAlarmType",
                {Record(0x01, 0.5f, 0.62f), Record(0x02, 100.0f, 124.0f), Record(0x08),
                 Record(0x10, 9.5f, 8.25f), Record(0x20, 12.5f), Record(0x40)},
                "  1" + Blanks(8) + kVibration + Blanks(10) + "  0.50" + Blanks(8) + "  0.62" +
                    "\r\r\n" + "  2" + Blanks(8) + kMovement + Blanks(10) + "100.00" + Blanks(8) +
                    "124.00" + "\r\r\n" + "  3" + Blanks(8) + kTamper + Blanks(12) + "NULL" +
                    Blanks(10) + "NULL" + "\r\r\n" + "  4" + Blanks(8) + kLowVoltage + Blanks(10) +
                    "  9.50" + Blanks(8) + "  8.25" + "\r\r\n" + "  5" + Blanks(8) + kEnergy +
                    Blanks(6) + " 12.50" + Blanks(11) + "NULL" + "\r\r\n" + "\r\r\n" + "\r\n"}),
    [](const testing::TestParamInfo<Content>& info) { return info.param.name; });

TEST_F(ExportTest, OneOverTemperatureLineIsFortyFiveBytes) {
    ReadAll({Record(0x04)});
    Press(IDC_EXPORT_HISTORY);
    const std::string bytes = ReadFile(ExportFile());
    ASSERT_EQ(bytes.size(), 45u + 3 + 2);
    EXPECT_EQ(bytes.substr(45), "\r\r\n\r\n");
}

TEST_F(ExportTest, AnExistingFileOfThatNameIsTruncated) {
    ReadAll({Record(0x08)});
    std::ofstream(ExportFile()) << std::string(1000, 'x');

    Press(IDC_EXPORT_HISTORY);

    EXPECT_EQ(ReadFile(ExportFile()),
              "  1" + Blanks(8) + kTamper + Blanks(12) + "NULL" + Blanks(10) + "NULL\r\r\n\r\n");
}

TEST_F(ExportTest, ASecondExportInTheSameSecondReplacesTheFirst) {
    ReadAll({Record(0x08), Record(0x04)});
    Press(IDC_EXPORT_HISTORY);
    ASSERT_GT(ReadFile(ExportFile()).size(), 2u);
    Press(IDC_CLEAR_HISTORY);

    Press(IDC_EXPORT_HISTORY);

    EXPECT_EQ(Files(), std::vector<std::string>{kDecember6Name});
    EXPECT_EQ(ReadFile(ExportFile()), "\r\n");
}

// The name comes from a single reading of the clock, taken before the notice; the file is
// written only once the notice has been closed.
TEST_F(ExportTest, TheClockIsReadOnceAndTheFileWrittenAfterTheNotice) {
    Open({});
    int readings = 0;
    SetExportClock([&readings] { return kDecember6 + readings++; });
    std::vector<std::string> filesAtNotice;
    SetMessageBoxHook([&](const MessageBoxRequest& box) {
        m_boxes.push_back(box);
        filesAtNotice = Files();
        return IDOK;
    });

    Press(IDC_EXPORT_HISTORY);

    EXPECT_EQ(readings, 1);
    EXPECT_EQ(Boxes(), std::vector<std::string>{Notice(kDecember6Name)});
    EXPECT_TRUE(filesAtNotice.empty());
    EXPECT_EQ(Files(), std::vector<std::string>{kDecember6Name});
}

TEST_F(ExportTest, WithoutATestClockTheNameIsTheLocalTimeNow) {
    SetExportClock({});
    Open({});
    const std::time_t before = std::time(nullptr);
    Press(IDC_EXPORT_HISTORY);
    const std::time_t after = std::time(nullptr);

    const std::vector<std::string> files = Files();
    ASSERT_EQ(files.size(), 1u);
    std::tm named{};
    char rest[8] = {};
    ASSERT_EQ(std::sscanf(files[0].c_str(), "历史报警记录 %d-%d-%d %d-%d-%d%7s", &named.tm_year,
                          &named.tm_mon, &named.tm_mday, &named.tm_hour, &named.tm_min,
                          &named.tm_sec, rest),
              7)
        << files[0];
    EXPECT_STREQ(rest, ".txt");
    named.tm_year -= 1900;
    named.tm_mon -= 1;
    named.tm_isdst = -1;
    const std::time_t at = std::mktime(&named);
    EXPECT_GE(at, before);
    EXPECT_LE(at, after);
}

TEST_P(UnwritableTest, NoFileIsLeftAndTheReasonIsShown) {
    if (kWindowsBuild && GetParam().notOnWindows != nullptr)
        GTEST_SKIP() << GetParam().notOnWindows;
    ReadAll({Record(0x04)});
    const std::string view = Text(IDC_HISTORY);
    {
        const std::shared_ptr<void> arranged = GetParam().arrange(m_workDir);
        Press(IDC_EXPORT_HISTORY);
    }

    EXPECT_EQ(Boxes(), (std::vector<std::string>{Notice(kDecember6Name),
                                                 Failure(kDecember6Name, GetParam().reason)}));
    EXPECT_EQ(Text(IDC_HISTORY), view);
    for (const fs::directory_entry& entry : fs::recursive_directory_iterator(m_workDir)) {
        EXPECT_TRUE(entry.is_directory()) << entry.path();  // no file anywhere
    }
}

INSTANTIATE_TEST_SUITE_P(
    Directories, UnwritableTest,
    testing::Values(
        // A working directory that has been removed takes no new entries.
        Unwritable{"WorkingDirectoryRemoved",
                   [](const fs::path& workDir) {
                       fs::create_directory(workDir / "gone");
                       fs::current_path(workDir / "gone");
                       fs::remove(workDir / "gone");
                       return std::shared_ptr<void>();
                   },
                   "No such file or directory",
                   "Windows lets no one remove a process's working directory"},
        // A directory already holds the name: no file replaces a directory.
        Unwritable{"ADirectoryHoldsTheName",
                   [](const fs::path& workDir) {
                       fs::create_directory(workDir / PathOf(kDecember6Name));
                       return std::shared_ptr<void>();
                   },
                   kIsADirectory.c_str(), nullptr},
        Unwritable{"ReadOnlyFolder",
                   [](const fs::path& workDir) -> std::shared_ptr<void> {
                       return std::make_shared<ReadOnlyFolder>(workDir);
                   },
                   "Permission denied",
                   "Windows lets a folder's owner add to it whatever its read-only attribute says"},
        // The line in the view is longer than the eight bytes the file may grow to.
        Unwritable{"WriteFailsHalfWay",
                   [](const fs::path&) -> std::shared_ptr<void> {
                       return std::make_shared<FileSizeLimit>(8);
                   },
                   "File too large", "Windows sets no limit on the size of a process's files"}),
    [](const testing::TestParamInfo<Unwritable>& info) { return info.param.name; });

// A symbolic link planted at the export name is replaced by the export; the file it points to
// keeps its content.
TEST_F(ExportTest, ALinkPlantedAtTheNameIsReplacedNotWrittenThrough) {
    if (kWindowsBuild) GTEST_SKIP() << "making a symbolic link takes a privilege on Windows";
    ReadAll({Record(0x08)});
    const fs::path target = m_workDir / "precious";
    std::ofstream(target) << "keep me";
    fs::create_symlink(target, ExportFile());

    Press(IDC_EXPORT_HISTORY);

    EXPECT_EQ(ReadFile(target), "keep me");
    EXPECT_FALSE(fs::is_symlink(ExportFile()));
    EXPECT_EQ(ReadFile(ExportFile()),
              "  1" + Blanks(8) + kTamper + Blanks(12) + "NULL" + Blanks(10) + "NULL\r\r\n\r\n");
    EXPECT_EQ(Boxes(), std::vector<std::string>{Notice(kDecember6Name)});
}

// The trend window, opened from the system menu, follows the polls live, freezes while paused,
// changes its span, shows the peaks of the span and exports every recorded poll, the failed
// ones too, as CSV.
TEST_F(ExportTest, TheTrendWindowShowsThePollsAndExportsThemAsCsv) {
    Sensor(3).WithModel([](sim::SensorModel& m) {
        m.SetVibration(0.83f);
        m.SetMovement(-120);
        m.SetTemperature(25);
        m.SetFlags(sensor::kFlagVibration);
    });
    Open({});
    const std::vector<std::string> items = Driver().SystemMenuItems();
    const auto about = std::find(items.begin(), items.end(), "关于 KQ_Tools(&A)...");
    ASSERT_NE(about, items.begin());
    EXPECT_EQ(about[-1], "实时曲线...");
    ASSERT_TRUE(Driver().ChooseSystemMenuItem("实时曲线..."));
    HWND shown = nullptr;
    ASSERT_TRUE(
        ProcessEventsUntil([&] { return (shown = FindShownWindow("实时曲线")) != nullptr; }));
    CWnd window;
    window.Attach(shown, IDC_STATIC);
    DialogDriver trend(window);
    EXPECT_TRUE(trend.IsChecked(IDC_TREND_SPAN_1));
    EXPECT_TRUE(ProcessEventsUntil(
        [&] { return trend.Text(IDC_TREND_VIBRATION_PEAK) == "振动峰值: 0.83 G"; }));
    EXPECT_EQ(trend.Text(IDC_TREND_MOVEMENT_PEAK), "移动峰值: -120 度/S");

    trend.Press(IDC_TREND_PAUSE);
    EXPECT_EQ(trend.Text(IDC_TREND_PAUSE), "继续");
    Sensor(3).WithModel([](sim::SensorModel& m) { m.SetVibration(0.95f); });
    Poll();
    EXPECT_EQ(trend.Text(IDC_TREND_VIBRATION_PEAK), "振动峰值: 0.83 G");  // the view stands still
    trend.Press(IDC_TREND_PAUSE);
    EXPECT_EQ(trend.Text(IDC_TREND_PAUSE), "暂停");
    EXPECT_EQ(trend.Text(IDC_TREND_VIBRATION_PEAK), "振动峰值: 0.95 G");  // recorded meanwhile

    trend.Press(IDC_TREND_SPAN_30);
    EXPECT_TRUE(trend.IsChecked(IDC_TREND_SPAN_30));
    EXPECT_FALSE(trend.IsChecked(IDC_TREND_SPAN_1));
    Sensor(3).SetSilent(true);
    Poll();
    ASSERT_GT(g_nPollFailures, 0);
    ASSERT_TRUE(Driver().ChooseSystemMenuItem("实时曲线..."));  // brings the same window forward
    ProcessEventsFor(50);
    EXPECT_EQ(FindShownWindow("实时曲线"), shown);

    m_boxes.clear();
    trend.Press(IDC_TREND_EXPORT);

    const std::string name = "实时曲线 2026-12-6 5-29-45.csv";
    EXPECT_EQ(Boxes(), std::vector<std::string>{Notice(name)});
    const std::string bytes = ReadFile(m_workDir / PathOf(name));
    const std::string head = "\xEF\xBB\xBF时间,振动(G),移动(度/S),温度,报警标志\r\n";
    ASSERT_EQ(bytes.substr(0, head.size()), head);
    const std::string timePattern = "0000-00-00 00:00:00.0";  // 0: any digit
    const auto isTime = [&](const std::string& text) {
        return text.size() == timePattern.size() &&
               std::equal(text.begin(), text.end(), timePattern.begin(),
                          [](char c, char p) { return p == '0' ? c >= '0' && c <= '9' : c == p; });
    };
    std::vector<std::string> kinds;
    std::string previous;
    for (std::size_t at = head.size(), end; at < bytes.size(); at = end + 2) {
        end = bytes.find("\r\n", at);
        ASSERT_NE(end, std::string::npos) << "an unfinished line";
        const std::string line = bytes.substr(at, end - at);
        const std::string fields = line.substr(std::min(line.size(), timePattern.size()));
        EXPECT_TRUE(isTime(line.substr(0, timePattern.size()))) << line;
        EXPECT_TRUE(fields == ",0.83,-120,25,1" || fields == ",0.95,-120,25,1" || fields == ",,,,")
            << line;
        EXPECT_LE(previous, line.substr(0, timePattern.size()));  // oldest first
        const std::string kind = fields == ",,,," ? "failed" : fields.substr(1, 4);
        if (kinds.empty() || kinds.back() != kind) kinds.push_back(kind);
        previous = line.substr(0, timePattern.size());
    }
    EXPECT_EQ(kinds, (std::vector<std::string>{"0.83", "0.95", "failed"}));
    window.Detach();
}
