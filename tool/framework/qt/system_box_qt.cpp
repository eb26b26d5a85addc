#include <QApplication>
#include <QMessageBox>

#include "cwin_app.h"
#include "cwnd.h"
#include "qt_handles.h"
#include "system_box.h"

namespace {

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

QWidget* OwnerOf(HWND owner) {
    if (QWidget* modal = QApplication::activeModalWidget()) {
        return modal;
    }
    if (owner != nullptr) {
        return WidgetOf(owner)->window();
    }
    const CWnd* main = AfxGetMainWnd();
    return main != nullptr ? WidgetOf(*main) : nullptr;
}

}  // namespace

int ShowSystemMessageBox(HWND owner, const std::string& text, const std::string& caption,
                         UINT type) {
    // Line ends are CR LF in the dialogs' texts.
    QString message = QString::fromStdString(text);
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(IconOf(type), QString::fromStdString(caption), message, QMessageBox::Ok,
                    OwnerOf(owner));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}
