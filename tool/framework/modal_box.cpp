#include "modal_box.h"

#include <QApplication>
#include <QMessageBox>

#include "cwin_app.h"
#include "cwnd.h"

namespace {

MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}

// The icons the boxes show: the link's error box and the data exchange's prompts.
QMessageBox::Icon IconOf(UINT type) {
    switch (type & MB_ICONMASK) {
        case MB_ICONSTOP:
            return QMessageBox::Critical;
        case MB_ICONEXCLAMATION:
            return QMessageBox::Warning;
        default:
            return QMessageBox::NoIcon;
    }
}

QWidget* OwnerOf(QWidget* owner) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (owner != nullptr) {
        return owner->window();
    }
    const CWnd* main = AfxGetMainWnd();
    return main != nullptr ? main->Widget() : nullptr;
}

}  // namespace

MessageBoxHook SetMessageBoxHook(MessageBoxHook hook) {
    return std::exchange(Hook(), std::move(hook));
}

int ShowMessageBox(QWidget* owner, const char* text, const char* caption, UINT type) {
    const std::string title = caption != nullptr ? caption : AfxGetAppName();
    if (Hook()) {
        return Hook()(MessageBoxRequest{owner, text, title, type});
    }
    // Line ends are CR LF in the dialogs' texts.
    QString message = QString::fromUtf8(text);
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(IconOf(type), QString::fromStdString(title), message, QMessageBox::Ok,
                    OwnerOf(owner));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}

int AfxMessageBox(const char* text, UINT type) {
    return ShowMessageBox(nullptr, text, nullptr, type);
}
