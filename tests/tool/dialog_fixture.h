// The main dialog against the shared ports folder with simulated sensors, its message boxes
// captured instead of shown.
#pragma once

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "modal_box.h"
#include "qt_handles.h"
#include "sensor_ports_fixture.h"
#include "tools_dlg.h"

class DialogFixture : public SensorPortsFixture {
protected:
    void SetUp() override;
    void TearDown() override;

    // The main dialog, created modelessly: its start-up scan has run when this returns.
    CToolsDlg& OpenMainDialog();
    // A control of the main dialog by ID, as its object name carries it.
    QWidget* Control(int id) const;
    std::string Text(int id) const;
    void SetText(int id, const char* text);

    std::vector<MessageBoxRequest> m_boxes;
    std::unique_ptr<CToolsDlg> m_dialog;
};

// Watches for modal dialogs while it lives; `seen` runs once for each new one on top, which it
// may close. The watch runs inside nested event loops too, so a DoModal can be answered from it.
class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QWidget* modal)> seen);
    ~ModalWatcher();
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Closes a dialog window as its Escape key does.
void PressEscape(QWidget* window);

// Runs the event loop until `done` holds or `limit` milliseconds have passed.
bool ProcessEventsUntil(const std::function<bool()>& done, int limit = 5000);
