#include "dialog_fixture.h"

#include <stdlib.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QTest>
#include <QTimer>

#include "window_text.h"

void DialogFixture::SetUp() {
    char pattern[] = "/tmp/kq-tool-ports-XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    portsDir_ = pattern;
    setenv("KQ_PORTS_DIR", portsDir_.c_str(), 1);
    SetMessageBoxHook([this](const MessageBoxRequest& box) {
        boxes_.push_back(box);
        return IDOK;
    });
}

void DialogFixture::TearDown() {
    dialog_.reset();
    SetMessageBoxHook({});
    sensors_.clear();
    std::filesystem::remove_all(portsDir_);
}

sim::PtyServer& DialogFixture::Sensor(int com) {
    auto& sensor = sensors_[com];
    if (!sensor) {
        sensor = std::make_unique<sim::PtyServer>(portsDir_, com);
    }
    return *sensor;
}

CToolsDlg& DialogFixture::OpenMainDialog() {
    dialog_ = std::make_unique<CToolsDlg>();
    EXPECT_TRUE(dialog_->Create());
    return *dialog_;
}

QWidget* DialogFixture::Control(int id) const {
    return dialog_->Widget()->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

std::string DialogFixture::Text(int id) const { return WidgetText(Control(id)).toStdString(); }

void DialogFixture::SetText(int id, const char* text) {
    dialog_->GetDlgItem(id)->SetWindowText(text);
}

struct ModalWatcher::State {
    QTimer timer;
    QWidget* last = nullptr;
};

ModalWatcher::ModalWatcher(std::function<void(QWidget* modal)> seen)
    : state_(std::make_unique<State>()) {
    QObject::connect(&state_->timer, &QTimer::timeout, [state = state_.get(), seen] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            state->last = nullptr;
        } else if (modal != state->last && modal->isVisible()) {
            state->last = modal;
            seen(modal);
        }
    });
    state_->timer.start(10);
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
