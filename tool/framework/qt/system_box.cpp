#include <QApplication>
#include <QMessageBox>

#include "backend.h"
#include "qt_handles.h"

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

}  // namespace

HWND backend::TopLevelOf(HWND window) { return HandleOf(WidgetOf(window)->window()); }

// An application-modal window blocks every other; none is disabled for it.
bool backend::TakesInput(HWND window) {
    const QWidget* modal = QApplication::activeModalWidget();
    return modal == nullptr || modal == WidgetOf(window);
}

HWND backend::ActiveModalWindow() { return HandleOf(QApplication::activeModalWidget()); }

int backend::ShowMessageBox(HWND owner, const std::string& text, const std::string& caption,
                            UINT type) {
    // Line ends are CR LF in the dialogs' texts.
    QString message = QString::fromStdString(text);
    message.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QMessageBox box(IconOf(type), QString::fromStdString(caption), message, QMessageBox::Ok,
                    WidgetOf(owner));
    box.setTextFormat(Qt::PlainText);
    box.exec();
    return IDOK;
}
