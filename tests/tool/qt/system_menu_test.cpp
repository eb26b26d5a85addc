// The system menu and its About command: opened by Alt+Space or a right click on the dialog's
// background, dispatched as system commands, of which 16 to 31 open the About box (32 to 47 the
// trend window, which is not modal).
#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QMenu>
#include <QTest>

#include "dialog_fixture.h"
#include "modal_watcher.h"
#include "qt_control.h"
#include "resource.h"
#include "tool_resources.h"

namespace {

class SystemMenuTest : public DialogFixture {
protected:
    QMenu* Menu() const { return WidgetOf(*m_dialog)->findChild<QMenu*>("system menu"); }

    std::vector<std::string> MenuTexts() const {
        std::vector<std::string> texts;
        for (QAction* action : Menu()->actions()) {
            texts.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        }
        return texts;
    }

    void RightClick(QPoint at) {
        QWidget* window = WidgetOf(*m_dialog);
        QContextMenuEvent event(QContextMenuEvent::Mouse, at, window->mapToGlobal(at));
        QApplication::sendEvent(window->childAt(at) != nullptr ? window->childAt(at) : window,
                                &event);
    }

    // Titles of the modal dialogs that opened, each closed with Escape as it appeared.
    std::vector<std::string> m_opened;
    ModalWatcher m_closer{[this](QWidget* modal) {
        m_opened.push_back(modal->windowTitle().toStdString());
        PressEscape(modal);
    }};
};

}  // namespace

TEST_F(SystemMenuTest, HoldsCloseThenTheTrendAndAboutCommands) {
    OpenMainDialog();
    EXPECT_EQ(MenuTexts(), (std::vector<std::string>{"关闭(&C)\tAlt+F4", "-", "实时曲线...",
                                                     "关于 KQ_Tools(&A)..."}));
}

TEST_F(SystemMenuTest, CommandsSixteenToThirtyOneOpenTheAboutBox) {
    CToolsDlg& dialog = OpenMainDialog();
    for (const UINT command : {16u, 31u, 32u, 0xF010u /* move */}) {
        m_opened.clear();
        dialog.SendMessage(WM_SYSCOMMAND, command, 0);
        const bool about = command == 16 || command == 31;
        EXPECT_EQ(m_opened,
                  about ? std::vector<std::string>{"关于 KQ_Tools"} : std::vector<std::string>{})
            << command;
        EXPECT_TRUE(WidgetOf(dialog)->isVisible());
    }
}

TEST_F(SystemMenuTest, CloseCommandGetsDefaultProcessingAndEndsTheDialog) {
    CToolsDlg& dialog = OpenMainDialog();
    dialog.SendMessage(WM_SYSCOMMAND, SC_CLOSE, 0);
    EXPECT_FALSE(WidgetOf(dialog)->isVisible());
    EXPECT_TRUE(m_opened.empty());
}

TEST_F(SystemMenuTest, AltSpaceOpensTheMenuAndItsMnemonicOpensTheAboutBox) {
    QWidget* window = WidgetOf(OpenMainDialog());
    QApplication::setActiveWindow(window);  // shortcuts reach the active window only
    QTest::keyClick(window->focusWidget(), Qt::Key_Space, Qt::AltModifier);
    ASSERT_TRUE(ProcessEventsUntil([&] { return QApplication::activePopupWidget() == Menu(); }));
    QTest::keyClick(Menu(), Qt::Key_A);
    EXPECT_TRUE(ProcessEventsUntil([&] { return !m_opened.empty(); }));
    EXPECT_EQ(m_opened, std::vector<std::string>{"关于 KQ_Tools"});
}

TEST_F(SystemMenuTest, RightClickOnTheBackgroundOpensTheMenu) {
    OpenMainDialog();
    const QPoint onEdit = ControlWidget(*m_dialog, IDC_VIBRATION_ALARM)->geometry().center();
    RightClick(onEdit);
    EXPECT_FALSE(Menu()->isVisible());  // an edit keeps its own menu
    if (QWidget* editMenu = QApplication::activePopupWidget()) {
        editMenu->close();
    }
    const QPoint onLabel = ControlWidget(*m_dialog, IDC_STATUS)->geometry().center();
    RightClick(onLabel);
    EXPECT_TRUE(Menu()->isVisible());
    Menu()->hide();
    RightClick(QPoint(2, 2));
    EXPECT_TRUE(Menu()->isVisible());
}

TEST_F(SystemMenuTest, WithoutString101TheMenuKeepsOnlyItsOwnItems) {
    ResourceModule withoutStrings = ToolResources();
    withoutStrings.findString = [](UINT) -> const char* { return nullptr; };
    AfxSetResourceHandle(&withoutStrings);
    OpenMainDialog();
    AfxSetResourceHandle(&ToolResources());
    EXPECT_EQ(MenuTexts(), std::vector<std::string>{"关闭(&C)\tAlt+F4"});
}
