// The Qt window of a dialog. It turns the window's events into the dialog's messages: Enter is
// IDOK unless a push button has the focus, Escape IDCANCEL, the close box the system command
// SC_CLOSE, painting WM_PAINT. It also holds the dialog's system menu, which opens with Alt+Space
// or a right click on the dialog's background, since title-bar menus belong to the window manager.
#pragma once

#include <QDialog>

#include "dialog_builder.h"

class QMenu;

class DialogWindow : public QDialog {
public:
    // `send` passes a message to the dialog.
    DialogWindow(QWidget* parent, const DialogTemplate& dialog, NotifyDialog send);

    QMenu* SystemMenu() const { return m_systemMenu; }
    void ShowSystemMenu(const QPoint& globalPosition);
    // Passes the dialog a message of the window's own.
    void Send(UINT message) { m_send(message, 0, 0); }
    // Sends the dialog WM_SYSCOMMAND with `id` once the menu that chose it has closed.
    void SystemCommand(UINT id);

    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    bool event(QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

private:
    void Command(int id);

    NotifyDialog m_send;
    QMenu* m_systemMenu;
};
