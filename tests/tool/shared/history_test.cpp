// The alarm history against a simulated sensor on a pty: records read one at a time or all at
// once into the history view, row by row in the view's column layout, the record counter, the
// 200-line cap, failed exchanges, and clearing the sensor's history.
#include <algorithm>
#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "cwin_app.h"
#include "history_fixture.h"
#include "resource.h"
#include "tool_state.h"

namespace {

constexpr char kNoMore[] = "没有更多的历史记录信息!";
constexpr char kAllRead[] = "所有历史记录信息已读出!";
constexpr std::uint8_t kRecordCommand = 11;

std::string Blanks(int count) { return std::string(static_cast<std::size_t>(count), ' '); }

// The two-value rows: vibration, movement, low voltage.
std::string ValuesRow(const char* number, const char* type, const char* first, const char* second) {
    return number + Blanks(8) + type + Blanks(10) + first + Blanks(8) + second;
}

// The rows with no values: over-temperature, tamper.
std::string NullRow(const char* number, const char* type) {
    return number + Blanks(8) + type + Blanks(12) + "NULL" + Blanks(10) + "NULL";
}

std::string EnergyRow(const char* number, const char* first) {
    return number + Blanks(8) + "能量累计" + Blanks(6) + first + Blanks(11) + "NULL";
}

// A record reply: two status bytes, then 16 data bytes.
std::vector<std::uint8_t> RecordReply(std::uint8_t linkStatus, std::uint8_t commandStatus) {
    std::vector<std::uint8_t> bytes(18, 0);
    bytes[0] = linkStatus;
    bytes[1] = commandStatus;
    bytes[7] = 0x01;  // a vibration record, were it taken
    return bytes;
}

class HistoryTest : public HistoryFixture {
protected:
    // The record numbers asked for, in order; any other request fails the test.
    std::vector<int> RecordsAsked() {
        std::vector<int> numbers;
        for (const sim::Received& request : Sensor(3).Requests()) {
            const std::vector<std::uint8_t> frame = {0x03, 0x04, 0x11, kRecordCommand};
            if (request.bytes.size() != frame.size() + 1 ||
                !std::equal(frame.begin(), frame.end(), request.bytes.begin())) {
                ADD_FAILURE() << "not a record request";
                continue;
            }
            numbers.push_back(request.bytes.back());
        }
        return numbers;
    }

    // An alarm raised on the sensor is counted at the next poll, and "读下一条" reads it alone.
    void ExpectNewAlarmRead(sim::Alarm alarm, const std::string& counter, int record,
                            const std::string& row) {
        Sensor(3).WithModel([alarm](sim::SensorModel& model) { model.RaiseAlarm(alarm); });
        Poll();
        EXPECT_EQ(Text(IDC_RECORD_COUNTER), counter);
        Press(IDC_READ_NEXT_RECORD);
        EXPECT_EQ(RecordsAsked(), std::vector<int>{record});
        EXPECT_EQ(ViewLines(), std::vector<std::string>{row});
    }

    // The view's lines, each of which must end with CR LF.
    std::vector<std::string> ViewLines() const {
        const std::string text = Text(IDC_HISTORY);
        std::vector<std::string> lines;
        std::size_t start = 0;
        for (std::size_t end = text.find("\r\n"); end != std::string::npos;
             end = text.find("\r\n", start)) {
            lines.push_back(text.substr(start, end - start));
            start = end + 2;
        }
        EXPECT_EQ(start, text.size()) << "text after the last line end";
        return lines;
    }

    LRESULT ViewLineCount() { return m_dialog->m_editHistory.SendMessage(EM_GETLINECOUNT); }
};

struct Row {
    const char* name;
    sim::AlarmRecord record;
    std::string line;
};

struct ReadFailure {
    const char* name;
    sim::Reply reply;
};

void PrintTo(const ReadFailure& failure, std::ostream* out) { *out << failure.name; }

class RecordFailureTest : public HistoryTest, public testing::WithParamInterface<ReadFailure> {};

struct ClearFailure {
    const char* name;
    std::function<void(sim::PtyServer&)> arrange;
};

void PrintTo(const ClearFailure& failure, std::ostream* out) { *out << failure.name; }

class ClearFailureTest : public HistoryTest, public testing::WithParamInterface<ClearFailure> {};

}  // namespace

TEST_F(HistoryTest, EachAlarmTypeHasItsRowAndTheLowestTypeBitWins) {
    const std::vector<Row> rows = {
        {"vibration", Record(0x01, 0.5f, 0.62f), ValuesRow("  1", "振动", "  0.50", "  0.62")},
        {"movement", Record(0x02, 100.0f, 124.0f), ValuesRow("  2", "移动", "100.00", "124.00")},
        {"over-temperature", Record(0x04, 70.0f, 72.0f), NullRow("  3", "超温")},
        {"tamper", Record(0x08, 1.0f, 2.0f), NullRow("  4", "防拆")},
        {"low voltage", Record(0x10, 9.5f, 8.25f), ValuesRow("  5", "低压", "  9.50", "  8.25")},
        {"flags 3: vibration", Record(0x03, 0.25f, 0.3f),
         ValuesRow("  6", "振动", "  0.25", "  0.30")},
        {"energy", Record(0x20, 12.5f, 99.0f), EnergyRow("  7", " 12.50")},
        {"flags 64: no type", Record(0x40, 1.0f, 1.0f), ""},
        {"flags 0x60: energy", Record(0x60, 3.25f), EnergyRow("  9", "  3.25")},
        {"no flags", Record(0x00, 1.0f, 1.0f), ""},
        {"high bits ignored", Record(0x80000010, -1.5f, 1234567.0f),
         ValuesRow(" 11", "低压", " -1.50", "1234567.00")},
        {"all six: vibration", Record(0x3F, 1.0f, 0.75f),
         ValuesRow(" 12", "振动", "  1.00", "  0.75")},
    };
    std::vector<sim::AlarmRecord> records;
    std::vector<int> numbers;
    for (const Row& row : rows) {
        records.push_back(row.record);
        numbers.push_back(static_cast<int>(records.size()));
    }
    Open(records);

    Press(IDC_READ_ALL_RECORDS);

    EXPECT_EQ(RecordsAsked(), numbers);
    const std::vector<std::string> lines = ViewLines();
    ASSERT_EQ(lines.size(), rows.size());
    for (std::size_t i = 0; i < rows.size(); ++i) {
        EXPECT_EQ(lines[i], rows[i].line) << rows[i].name;
    }
    EXPECT_EQ(Boxes(), std::vector<std::string>{kAllRead});
    EXPECT_EQ(Text(IDC_RECORD_COUNTER), " 12/ 12");
}

TEST_F(HistoryTest, WithNoRecordsBothReadsSayNoMoreAndSendNothing) {
    Open({});
    for (const int button : {IDC_READ_NEXT_RECORD, IDC_READ_ALL_RECORDS}) {
        m_boxes.clear();
        Press(button);
        EXPECT_EQ(Boxes(), std::vector<std::string>{kNoMore}) << button;
        ASSERT_EQ(m_boxes.size(), 1u);
        EXPECT_EQ(m_boxes[0].caption, AfxGetAppName());  // no caption of its own
        EXPECT_EQ(m_boxes[0].type, static_cast<UINT>(MB_OK));
    }
    EXPECT_TRUE(Sensor(3).ReceivedBytes().empty());
    EXPECT_EQ(Text(IDC_HISTORY), "");
    EXPECT_EQ(Text(IDC_RECORD_COUNTER), "  0/  0");
    EXPECT_EQ(g_nRecordIndex, 0);
}

TEST_F(HistoryTest, ReadNextThenReadAllThenNothingMore) {
    Open({Record(0x01, 0.5f, 0.6f), Record(0x08), Record(0x20, 2.0f)});

    Press(IDC_READ_NEXT_RECORD);
    EXPECT_EQ(RecordsAsked(), (std::vector<int>{1}));
    EXPECT_EQ(ViewLines(),
              (std::vector<std::string>{ValuesRow("  1", "振动", "  0.50", "  0.60")}));
    EXPECT_EQ(Text(IDC_RECORD_COUNTER), "  1/  3");
    EXPECT_TRUE(Boxes().empty());

    Press(IDC_READ_ALL_RECORDS);
    EXPECT_EQ(RecordsAsked(), (std::vector<int>{1, 2, 3}));
    EXPECT_EQ(ViewLines(),
              (std::vector<std::string>{ValuesRow("  1", "振动", "  0.50", "  0.60"),
                                        NullRow("  2", "防拆"), EnergyRow("  3", "  2.00")}));
    EXPECT_EQ(Text(IDC_RECORD_COUNTER), "  3/  3");
    EXPECT_EQ(Boxes(), std::vector<std::string>{kAllRead});

    Press(IDC_READ_ALL_RECORDS);
    Press(IDC_READ_NEXT_RECORD);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{kAllRead, kNoMore, kNoMore}));
    EXPECT_EQ(RecordsAsked().size(), 3u);
}

TEST_P(RecordFailureTest, AFailedRecordIsSkippedSilentlyAndReadingGoesOnAfterIt) {
    std::vector<sim::AlarmRecord> records;
    for (int i = 1; i <= 8; ++i) {
        records.push_back(Record(0x02, 100.0f, static_cast<float>(100 + i)));
    }
    Open(records);
    for (int answered = 0; answered < 4; ++answered) {
        Sensor(3).Script({});
    }
    Sensor(3).Script(GetParam().reply);

    Press(IDC_READ_ALL_RECORDS);

    EXPECT_EQ(RecordsAsked(), (std::vector<int>{1, 2, 3, 4, 5}));
    EXPECT_TRUE(Boxes().empty());
    const std::vector<std::string> four = ViewLines();
    ASSERT_EQ(four.size(), 4u);
    EXPECT_EQ(four[3], ValuesRow("  4", "移动", "100.00", "104.00"));
    EXPECT_EQ(Text(IDC_RECORD_COUNTER), "  4/  8");
    EXPECT_EQ(g_nRecordIndex, 5);

    Press(IDC_READ_NEXT_RECORD);
    EXPECT_EQ(RecordsAsked(), (std::vector<int>{1, 2, 3, 4, 5, 6}));
    const std::vector<std::string> five = ViewLines();
    ASSERT_EQ(five.size(), 5u);
    EXPECT_EQ(five[4], ValuesRow("  6", "移动", "100.00", "106.00"));
    EXPECT_EQ(Text(IDC_RECORD_COUNTER), "  6/  8");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, RecordFailureTest,
    testing::Values(ReadFailure{"Silence", SensorPortsFixture::Kind(sim::Reply::Kind::Silence)},
                    ReadFailure{"NoSuchRecord", SensorPortsFixture::Raw(RecordReply(0, 2))},
                    ReadFailure{"BadFrame", SensorPortsFixture::Raw(RecordReply(1, 0))}),
    [](const testing::TestParamInfo<ReadFailure>& info) { return info.param.name; });

TEST_F(HistoryTest, TheLineAfterTwoHundredEmptiesTheViewFirst) {
    std::vector<sim::AlarmRecord> records(200, Record(0x01, 0.5f, 0.75f));
    Open(records);
    Press(IDC_READ_ALL_RECORDS);
    const std::vector<std::string> full = ViewLines();
    ASSERT_EQ(full.size(), 200u);
    EXPECT_EQ(full[199], ValuesRow("200", "振动", "  0.50", "  0.75"));
    EXPECT_EQ(ViewLineCount(), 201);  // the empty line after the last line end counts
    // The view has followed its lines down: the caret after the last one is in sight.
    EXPECT_GT(Driver().FirstVisibleLine(IDC_HISTORY), 0);
    EXPECT_TRUE(Driver().CaretInSight(IDC_HISTORY));

    // A new alarm on the sensor becomes record 201.
    ExpectNewAlarmRead(sim::Alarm::Tamper, "200/201", 201, NullRow("201", "防拆"));
    EXPECT_EQ(ViewLineCount(), 2);
}

TEST_F(HistoryTest, ClearingErasesTheSensorsHistoryAndStartsCountingAgain) {
    Open({Record(0x01, 0.5f, 0.6f), Record(0x02, 10.0f, 20.0f), Record(0x04)});
    Press(IDC_READ_NEXT_RECORD);
    Sensor(3).ClearLog();

    Press(IDC_CLEAR_HISTORY);

    const std::vector<sim::Received> requests = Sensor(3).Requests();
    ASSERT_EQ(requests.size(), 1u);
    EXPECT_EQ(std::string(requests[0].bytes.begin(), requests[0].bytes.end()), "P16=1;");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Text(IDC_HISTORY), "");
    EXPECT_EQ(Text(IDC_RECORD_COUNTER), "  0/  0");
    EXPECT_EQ(g_nRecordIndex, 0);
    EXPECT_EQ(g_nRecordTotal, 0);
    Sensor(3).WithModel([](sim::SensorModel& model) { EXPECT_TRUE(model.Records().empty()); });

    // The sensor's next alarm is record 1 again, and reading starts from it.
    ExpectNewAlarmRead(sim::Alarm::Temperature, "  0/  1", 1, NullRow("  1", "超温"));
}

TEST_P(ClearFailureTest, AFailedClearChangesNothing) {
    Open({Record(0x01, 0.5f, 0.6f), Record(0x02, 10.0f, 20.0f), Record(0x04)});
    Press(IDC_READ_NEXT_RECORD);
    const std::string view = Text(IDC_HISTORY);
    GetParam().arrange(Sensor(3));

    Press(IDC_CLEAR_HISTORY);

    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Text(IDC_HISTORY), view);
    EXPECT_EQ(Text(IDC_RECORD_COUNTER), "  1/  3");
    EXPECT_EQ(g_nRecordIndex, 1);
    EXPECT_EQ(g_nRecordTotal, 3);
    Sensor(3).WithModel([](sim::SensorModel& model) { EXPECT_EQ(model.Records().size(), 3u); });
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ClearFailureTest,
    testing::Values(ClearFailure{"Refused",
                                 [](sim::PtyServer& sensor) {
                                     const std::string refusal = "P16R=5;";
                                     sensor.Script(SensorPortsFixture::Raw(refusal));
                                 }},
                    ClearFailure{"NoAnswer",
                                 [](sim::PtyServer& sensor) {
                                     const sim::Reply silence =
                                         SensorPortsFixture::Kind(sim::Reply::Kind::Silence);
                                     sensor.Script(silence);  // both attempts
                                     sensor.Script(silence);
                                 }}),
    [](const testing::TestParamInfo<ClearFailure>& info) { return info.param.name; });
