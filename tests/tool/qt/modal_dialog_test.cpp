// The dialogs run modally: Enter saves and closes only when the fields save, Escape and the
// close box close at once, and the application ends when its main dialog does.
#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "about_dlg.h"
#include "cwin_app.h"
#include "dialog_fixture.h"
#include "modal_watcher.h"
#include "qt_handles.h"
#include "resource.h"

namespace {

class ModalDialogTest : public DialogFixture {};

QWidget* ControlOf(QWidget* window, int id) {
    return window->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}

}  // namespace

TEST_F(ModalDialogTest, EnterClosesOnlyWhenTheFieldsSave) {
    CToolsDlg dialog;
    int presses = 0;
    ModalWatcher watcher([&](QWidget* window) {
        auto* threshold = dynamic_cast<QLineEdit*>(ControlOf(window, IDC_VIBRATION_ALARM));
        threshold->setText("1.5");
        QTest::keyClick(threshold, Qt::Key_Return);
        ++presses;
        EXPECT_TRUE(window->isVisible());  // the range check failed: still open
        threshold->setText("0.75");
        QTest::keyClick(threshold, Qt::Key_Enter, Qt::KeypadModifier);
        ++presses;
    });
    EXPECT_EQ(dialog.DoModal(), IDOK);
    EXPECT_EQ(presses, 2);
    ASSERT_EQ(m_boxes.size(), 1u);
    EXPECT_EQ(dialog.m_fVibrationAlarm, 0.75f);
    EXPECT_EQ(dialog.GetSafeHwnd(), nullptr);  // the window is gone with the loop
}

TEST_F(ModalDialogTest, EscapeAndTheCloseBoxCancel) {
    for (const bool closeBox : {false, true}) {
        CToolsDlg dialog;
        ModalWatcher watcher([&](QWidget* window) {
            ControlOf(window, IDC_VIBRATION_ALARM)->setProperty("text", "5");  // not saved
            if (closeBox) {
                window->close();
            } else {
                PressEscape(window);
            }
        });
        EXPECT_EQ(dialog.DoModal(), IDCANCEL) << closeBox;
        EXPECT_EQ(dialog.m_fVibrationAlarm, 0.0f);
    }
    EXPECT_TRUE(m_boxes.empty());
}

TEST_F(ModalDialogTest, AboutBoxClosesWithItsOkButton) {
    CAboutDlg about;
    std::string focused;
    ModalWatcher watcher([&](QWidget* window) {
        QWidget* ok = ControlOf(window, IDOK);
        focused = window->focusWidget() == ok ? "OK" : "other";
        QTest::keyClick(ok, Qt::Key_Return);  // Enter on a push button presses it
    });
    EXPECT_EQ(about.DoModal(), IDOK);
    EXPECT_EQ(focused, "OK");
}

TEST_F(ModalDialogTest, InitInstanceShowsTheMainDialogAndEndsTheProgram) {
    std::string title;
    bool mainWindowIsTheDialog = false;
    ModalWatcher watcher([&](QWidget* window) {
        title = window->windowTitle().toStdString();
        mainWindowIsTheDialog = AfxGetMainWnd() != nullptr && WidgetOf(*AfxGetMainWnd()) == window;
        PressEscape(window);
    });
    EXPECT_EQ(AfxGetApp()->InitInstance(), FALSE);
    EXPECT_EQ(title, "KQ_Tools");
    EXPECT_TRUE(mainWindowIsTheDialog);
    EXPECT_EQ(AfxGetMainWnd(), nullptr);
}
