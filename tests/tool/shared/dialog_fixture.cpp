#include "dialog_fixture.h"

#include "tool_state.h"

// The tool-wide state starts at zero for every test, as it does for every run of the program.
void DialogFixture::SetUp() {
    SensorPortsFixture::SetUp();
    ResetToolState();
    SetMessageBoxHook([this](const MessageBoxRequest& box) {
        m_boxes.push_back(box);
        return IDOK;
    });
}

void DialogFixture::TearDown() {
    m_driver.reset();
    m_dialog.reset();
    SetMessageBoxHook({});
    SensorPortsFixture::TearDown();
}

CToolsDlg& DialogFixture::OpenMainDialog() {
    m_dialog = std::make_unique<CToolsDlg>();
    EXPECT_TRUE(m_dialog->Create());
    m_driver = std::make_unique<DialogDriver>(*m_dialog);
    WaitForExchanges();
    return *m_dialog;
}

void DialogFixture::WaitForExchanges() {
    constexpr int kLongestRunMs = 30000;
    EXPECT_TRUE(ProcessEventsUntil([this] { return !m_dialog->ExchangesPending(); }, kLongestRunMs))
        << "the dialog's exchanges did not end";
}

void DialogFixture::SetText(int id, const char* text) {
    m_dialog->GetDlgItem(id)->SetWindowText(text);
}
