#include "live_dialog.h"

#include <QPushButton>
#include <bit>

#include "tool_state.h"

void LiveDialogTest::SetUp() {
    DialogFixture::SetUp();
    std::fill(std::begin(g_blockRequest), std::end(g_blockRequest), 0);
    std::fill(std::begin(g_blockReply), std::end(g_blockReply), 0);
    g_bLearnVibration = 0;
    g_bLearnMovement = 0;
    g_nRecordTotal = 0;
    g_nRecordIndex = 0;
    g_nPollFailures = 0;
}

CToolsDlg& LiveDialogTest::OpenConnected() {
    Sensor();
    CToolsDlg& dialog = OpenMainDialog();
    EXPECT_TRUE(dialog.KillTimer(1)) << "the scan found no sensor";
    Sensor().ClearLog();
    return dialog;
}

void LiveDialogTest::Tick(UINT_PTR id) { m_dialog->SendMessage(WM_TIMER, id, 0); }

void LiveDialogTest::Press(int button) {
    auto* pushButton = qobject_cast<QPushButton*>(Control(button));
    ASSERT_NE(pushButton, nullptr) << button;
    pushButton->click();
}

HICON LiveDialogTest::Lamp(int id) const {
    return reinterpret_cast<HICON>(m_dialog->GetDlgItem(id)->SendMessage(STM_GETICON));
}

void LiveDialogTest::ScriptStatus(const StatusBlock& block, std::uint8_t linkStatus,
                                  std::uint8_t commandStatus) {
    sim::Reply reply;
    reply.kind = sim::Reply::Kind::Raw;
    reply.bytes = {linkStatus, commandStatus};
    reply.bytes.insert(reply.bytes.end(), block.begin(), block.end());
    Sensor().Script(reply);
}

void LiveDialogTest::ScriptSilence() {
    sim::Reply silence;
    silence.kind = sim::Reply::Kind::Silence;
    Sensor().Script(silence);
}

std::vector<std::string> LiveDialogTest::Received() {
    std::vector<std::string> texts;
    for (const sim::Received& request : Sensor().Requests()) {
        texts.emplace_back(request.bytes.begin(), request.bytes.end());
    }
    return texts;
}

StatusBlock QuietStatus() {
    StatusBlock block{};
    PutBE32(block, sensor::kStatusVibration, std::bit_cast<std::uint32_t>(0.08f));
    block[sensor::kStatusTemperature] = 25;
    return block;
}

void PutBE32(StatusBlock& block, std::size_t offset, std::uint32_t value) {
    PutBE16(block, offset, static_cast<std::uint16_t>(value >> 16));
    PutBE16(block, offset + 2, static_cast<std::uint16_t>(value));
}

void PutBE16(StatusBlock& block, std::size_t offset, std::uint16_t value) {
    block[offset] = static_cast<std::uint8_t>(value >> 8);
    block[offset + 1] = static_cast<std::uint8_t>(value);
}
