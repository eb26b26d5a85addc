#include "icon_static.h"

#include <QIcon>

#include "qt_handles.h"

IconStatic::IconStatic(QWidget* parent, HICON icon) : QLabel(parent) {
    setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Show(icon);
}

void IconStatic::Show(HICON icon) {
    m_icon = icon;
    if (icon == nullptr) {
        clear();
    } else {
        setPixmap(IconOf(icon)->pixmap(GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)));
    }
}

LRESULT IconStatic::ControlProc(UINT message, WPARAM wParam, LPARAM) {
    switch (message) {
        case STM_SETICON: {
            const HICON previous = m_icon;
            Show(reinterpret_cast<HICON>(wParam));
            return reinterpret_cast<LRESULT>(previous);
        }
        case STM_GETICON:
            return reinterpret_cast<LRESULT>(m_icon);
        default:
            return 0;
    }
}
