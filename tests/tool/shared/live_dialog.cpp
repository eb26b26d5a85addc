#include "live_dialog.h"

#include "big_endian.h"

CToolsDlg& LiveDialogTest::OpenConnected() {
    Sensor();
    CToolsDlg& dialog = OpenMainDialog();
    EXPECT_TRUE(dialog.KillTimer(1)) << "the scan found no sensor";
    Sensor().ClearLog();
    return dialog;
}

void LiveDialogTest::Tick(UINT_PTR id) {
    m_dialog->SendMessage(WM_TIMER, id, 0);
    WaitForExchanges();
}

void LiveDialogTest::ScriptStatus(const StatusBlock& block, std::uint8_t linkStatus,
                                  std::uint8_t commandStatus) {
    sim::Reply reply = Kind(sim::Reply::Kind::Raw);
    reply.bytes = {linkStatus, commandStatus};
    reply.bytes.insert(reply.bytes.end(), block.begin(), block.end());
    Sensor().Script(reply);
}

void LiveDialogTest::ScriptSilence() { Sensor().Script(Kind(sim::Reply::Kind::Silence)); }

StatusBlock QuietStatus() {
    StatusBlock block{};
    sim::PutBEFloat(block, sensor::kStatusVibration, 0.08f);
    block[sensor::kStatusTemperature] = 25;
    return block;
}
