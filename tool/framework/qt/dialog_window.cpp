#include "dialog_window.h"

#include <QCloseEvent>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QPushButton>
#include <QResizeEvent>
#include <QShortcut>

#include "dialog_font.h"
#include "dialog_units.h"
#include "posted_message.h"

namespace {

Qt::WindowFlags FlagsOf(const DialogTemplate& dialog) {
    Qt::WindowFlags flags = (dialog.style & kDialogAppWindow) != 0 ? Qt::Window : Qt::Dialog;
    flags |= Qt::CustomizeWindowHint;
    if ((dialog.style & kDialogCaption) != 0) {
        flags |= Qt::WindowTitleHint;
    }
    if ((dialog.style & kDialogSystemMenu) != 0) {
        flags |= Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint;
    }
    return flags;
}

}  // namespace

DialogWindow::DialogWindow(QWidget* parent, const DialogTemplate& dialog, NotifyDialog send)
    : QDialog(parent, FlagsOf(dialog)), m_send(std::move(send)), m_systemMenu(new QMenu(this)) {
    setWindowTitle(QString::fromUtf8(dialog.caption));
    setFont(DialogFont(dialog.fontFace, dialog.pointSize));
    const QSize size = MapDialogSize(dialog.width, dialog.height, BaseUnitsOf(font()));
    if ((dialog.style & kDialogResizable) != 0) {
        setMinimumSize(size);
        resize(size);
    } else {
        setFixedSize(size);
    }
    m_systemMenu->setObjectName(QStringLiteral("system menu"));
    // The menu's standard item; the dialogs append theirs after it.
    QAction* close = m_systemMenu->addAction(QStringLiteral("关闭(&C)\tAlt+F4"));
    connect(close, &QAction::triggered, this, [this] { SystemCommand(SC_CLOSE); });
    auto* shortcut = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Space), this);
    connect(shortcut, &QShortcut::activated, this,
            [this] { ShowSystemMenu(mapToGlobal(QPoint(0, 0))); });
}

void DialogWindow::ShowSystemMenu(const QPoint& globalPosition) {
    m_systemMenu->popup(globalPosition);
}

// Queued, so that the command runs once the menu is gone, not inside its event handling.
void DialogWindow::SystemCommand(UINT id) {
    QMetaObject::invokeMethod(
        this, [this, id] { m_send(WM_SYSCOMMAND, id, 0); }, Qt::QueuedConnection);
}

void DialogWindow::Command(int id) {
    m_send(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED), 0);
}

void DialogWindow::accept() { Command(IDOK); }

void DialogWindow::reject() { Command(IDCANCEL); }

void DialogWindow::keyPressEvent(QKeyEvent* event) {
    const bool plain = (event->modifiers() & ~Qt::KeypadModifier) == Qt::NoModifier;
    if (plain && (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter)) {
        if (auto* button = qobject_cast<QPushButton*>(focusWidget())) {
            button->click();
        } else {
            Command(IDOK);
        }
        return;
    }
    QDialog::keyPressEvent(event);  // Escape comes back through reject()
}

bool DialogWindow::event(QEvent* event) {
    if (event->type() != PostedMessage::Kind()) {
        return QDialog::event(event);
    }
    const auto* posted = static_cast<PostedMessage*>(event);
    m_send(posted->message, posted->wParam, posted->lParam);
    return true;
}

void DialogWindow::closeEvent(QCloseEvent* event) {
    if (!isVisible()) {
        event->accept();
        return;
    }
    m_send(WM_SYSCOMMAND, SC_CLOSE, 0);
    if (isVisible()) {
        event->ignore();
    }
}

void DialogWindow::paintEvent(QPaintEvent*) { m_send(WM_PAINT, 0, 0); }

void DialogWindow::resizeEvent(QResizeEvent* event) {
    m_send(WM_SIZE, 0,
           MAKELPARAM(static_cast<unsigned>(event->size().width()),
                      static_cast<unsigned>(event->size().height())));
}

// The background is the dialog itself or a static control on it, none of which takes the focus.
void DialogWindow::contextMenuEvent(QContextMenuEvent* event) {
    const QWidget* under = childAt(event->pos());
    if (under == nullptr || under->focusPolicy() == Qt::NoFocus) {
        ShowSystemMenu(event->globalPos());
    }
}
