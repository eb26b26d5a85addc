// Timers and modal boxes: ticks arrive as WM_TIMER through the message map, a tick that falls
// due during a long handler is delivered once, not once per missed period, and a message box
// keeps the ticks coming while it waits.
#include <QApplication>
#include <QElapsedTimer>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <chrono>
#include <thread>

#include "dialog_fixture.h"
#include "error_box.h"
#include "link_error_box.h"
#include "message_map.h"
#include "modal_watcher.h"
#include "resource.h"
#include "zeko_error_box.h"

namespace {

// The About template with a timer handler of its own, recording every tick.
class TickingDialog : public CDialog {
public:
    TickingDialog() : CDialog(IDD_ABOUTBOX) { m_clock.start(); }

    struct Tick {
        UINT_PTR id;
        qint64 at;  // milliseconds
    };
    std::vector<Tick> m_ticks;
    std::chrono::milliseconds m_stall{0};  // the first tick of timer 1 takes this long
    qint64 m_stallEnd = -1;

    qint64 Now() const { return m_clock.elapsed(); }
    std::size_t Count(UINT_PTR id) const {
        return std::count_if(m_ticks.begin(), m_ticks.end(),
                             [id](const Tick& t) { return t.id == id; });
    }

protected:
    const MessageMap* GetMessageMap() const override {
        static const MessageMap map{.base = CDialog::GetMessageMap(),
                                    .entries = {ON_WM_TIMER(&TickingDialog::OnTimer)}};
        return &map;
    }

    void OnTimer(UINT_PTR id) {
        m_ticks.push_back({id, Now()});
        if (id == 1 && m_stallEnd < 0 && m_stall.count() > 0) {
            std::this_thread::sleep_for(m_stall);
            m_stallEnd = Now();
        }
        CDialog::OnTimer(id);
    }

private:
    QElapsedTimer m_clock;
};

class TimerTest : public DialogFixture {};

// Waits, ticking, until `count` ticks of timer `id` have come.
bool WaitForTicks(const TickingDialog& dialog, UINT_PTR id, std::size_t count) {
    return ProcessEventsUntil([&] { return dialog.Count(id) >= count; });
}

}  // namespace

TEST_F(TimerTest, TicksCarryTheirTimerIdUntilKilled) {
    TickingDialog dialog;
    ASSERT_TRUE(dialog.Create());
    EXPECT_EQ(dialog.SetTimer(1, 20), 1u);
    EXPECT_EQ(dialog.SetTimer(7, 15), 7u);
    ASSERT_TRUE(WaitForTicks(dialog, 7, 3));
    EXPECT_TRUE(dialog.KillTimer(7));
    EXPECT_FALSE(dialog.KillTimer(7));
    const std::size_t sevens = dialog.Count(7);
    ASSERT_TRUE(WaitForTicks(dialog, 1, dialog.Count(1) + 3));
    EXPECT_EQ(dialog.Count(7), sevens);
}

TEST_F(TimerTest, TicksMissedDuringALongHandlerComeOnceAfterIt) {
    TickingDialog dialog;
    ASSERT_TRUE(dialog.Create());
    constexpr int kPeriod = 20;
    dialog.m_stall = std::chrono::milliseconds(15 * kPeriod);
    dialog.SetTimer(1, kPeriod);
    ASSERT_TRUE(WaitForTicks(dialog, 1, 6));
    // Fourteen periods fell due during the stall; at most one tick may start before the next
    // period after it has begun.
    const auto piled = std::count_if(
        dialog.m_ticks.begin() + 1, dialog.m_ticks.end(),
        [&](const TickingDialog::Tick& tick) { return tick.at < dialog.m_stallEnd + kPeriod; });
    EXPECT_LE(piled, 1);
}

TEST_F(TimerTest, MessageBoxKeepsTicksComing) {
    SetMessageBoxHook({});  // a real box
    TickingDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.SetTimer(1, 10);
    std::size_t ticksWhenShown = 0;
    std::string title;
    QTimer closer;
    ModalWatcher watcher([&](QWidget* box) {
        ticksWhenShown = dialog.Count(1);
        title = box->windowTitle().toStdString();
        QObject::connect(&closer, &QTimer::timeout, [&, box] {
            if (dialog.Count(1) >= ticksWhenShown + 3) {
                PressEscape(box);
            }
        });
        closer.start(5);
    });
    EXPECT_EQ(dialog.MessageBox("报警阀值不能设置为0!"), IDOK);
    EXPECT_GE(dialog.Count(1), ticksWhenShown + 3);
    EXPECT_EQ(title, "tool_tests");  // no caption given: the application's name
}

TEST_F(TimerTest, LinkErrorBoxIsModalWithTheStopIconAndKeepsTicksComing) {
    InstallLinkErrorBox();
    ShowErrorBox("Open COM3 failed", "Application Error");
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(m_boxes[0].text, "Open COM3 failed");
    EXPECT_EQ(m_boxes[0].caption, "Application Error");
    EXPECT_EQ(m_boxes[0].type & MB_ICONMASK, MB_ICONSTOP);

    SetMessageBoxHook({});
    TickingDialog dialog;
    ASSERT_TRUE(dialog.Create());
    dialog.SetTimer(1, 10);
    std::size_t ticksWhenShown = 0;
    bool critical = false;
    QTimer closer;
    ModalWatcher watcher([&](QWidget* modal) {
        auto* box = dynamic_cast<QMessageBox*>(modal);
        critical = box != nullptr && box->icon() == QMessageBox::Critical &&
                   box->windowTitle() == "Application Error";
        ticksWhenShown = dialog.Count(1);
        QObject::connect(&closer, &QTimer::timeout, [&, modal] {
            if (dialog.Count(1) >= ticksWhenShown + 3) {
                PressEscape(modal);
            }
        });
        closer.start(5);
    });
    ShowErrorBox("Open COM3 failed", "Application Error");
    EXPECT_TRUE(critical);
    EXPECT_GE(dialog.Count(1), ticksWhenShown + 3);
    SetMessageBoxHandler(nullptr);
}
