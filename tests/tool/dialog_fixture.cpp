#include "dialog_fixture.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "tool_state.h"
#include "window_text.h"

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
    m_dialog.reset();
    SetMessageBoxHook({});
    SensorPortsFixture::TearDown();
}

CToolsDlg& DialogFixture::OpenMainDialog() {
    m_dialog = std::make_unique<CToolsDlg>();
    EXPECT_TRUE(m_dialog->Create());
    return *m_dialog;
}

QWidget* DialogFixture::Control(int id) const {
    return WidgetOf(*m_dialog)->findChild<QWidget*>(QString::number(id),
                                                    Qt::FindDirectChildrenOnly);
}

std::string DialogFixture::Text(int id) const { return WidgetText(Control(id)).toStdString(); }

void DialogFixture::SetText(int id, const char* text) {
    m_dialog->GetDlgItem(id)->SetWindowText(text);
}

struct ModalWatcher::State {
    QTimer timer;
    QWidget* last = nullptr;
};

ModalWatcher::ModalWatcher(std::function<void(QWidget* modal)> seen)
    : m_state(std::make_unique<State>()) {
    QObject::connect(&m_state->timer, &QTimer::timeout, [state = m_state.get(), seen] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            state->last = nullptr;
        } else if (modal != state->last && modal->isVisible()) {
            state->last = modal;
            seen(modal);
        }
    });
    m_state->timer.start(10);
}

ModalWatcher::~ModalWatcher() = default;

void PressEscape(QWidget* window) { QTest::keyClick(window, Qt::Key_Escape); }

bool ProcessEventsUntil(const std::function<bool()>& done, int limit) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit) {
            return false;
        }
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return true;
}
