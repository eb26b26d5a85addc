#include "history_fixture.h"

#include "resource.h"
#include "tool_state.h"

sim::AlarmRecord Record(std::uint32_t typeFlags, float first, float second) {
    return {0xDEADBEEF, typeFlags, first, second};
}

void HistoryFixture::Open(const std::vector<sim::AlarmRecord>& records) {
    Sensor(3).WithModel([&](sim::SensorModel& model) { model.SetRecords(records); });
    OpenMainDialog();
    // The test delivers the ticks: a poll of the running timer would come between the records.
    m_dialog->KillTimer(1);
    Poll();
    ASSERT_EQ(g_nRecordTotal, records.size())
        << "status line: " << Text(IDC_STATUS) << "; boxes: " << testing::PrintToString(Boxes());
}

void HistoryFixture::Poll() {
    m_dialog->SendMessage(WM_TIMER, 1);
    WaitForExchanges();
    Sensor(3).ClearLog();
}

std::vector<std::string> HistoryFixture::Boxes() const {
    std::vector<std::string> texts;
    for (const MessageBoxRequest& box : m_boxes) {
        texts.push_back(box.text);
    }
    return texts;
}
