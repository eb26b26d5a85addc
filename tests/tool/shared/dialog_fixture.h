// The main dialog against the shared ports folder with simulated sensors, worked through the
// dialog driver, its message boxes captured instead of shown.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "dialog_driver.h"
#include "modal_box.h"
#include "sensor_ports_fixture.h"
#include "tools_dlg.h"

class DialogFixture : public SensorPortsFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The main dialog, created modelessly: its start-up scan has run and shown its result when
    // this returns.
    CToolsDlg& OpenMainDialog();
    DialogDriver& Driver() { return *m_driver; }
    std::string Text(int id) const { return m_driver->Text(id); }
    // Presses button `id` and waits until what it asked of the sensor has shown its result.
    void Press(int id) {
        m_driver->Press(id);
        WaitForExchanges();
    }
    // Runs the event loop until every exchange asked for has shown its result.
    void WaitForExchanges();
    // Sets the text of control `id` as the program does, for controls a user cannot type into.
    void SetText(int id, const char* text);

    std::vector<MessageBoxRequest> m_boxes;
    std::unique_ptr<CToolsDlg> m_dialog;
    std::unique_ptr<DialogDriver> m_driver;
};
