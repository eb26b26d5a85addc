#include "owner_draw.h"

#include <QPainter>

#include "qt_handles.h"

OwnerDrawControl::OwnerDrawControl(QWidget* parent, int id, NotifyDialog notify)
    : QWidget(parent), m_id(id), m_notify(std::move(notify)) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void OwnerDrawControl::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    DRAWITEMSTRUCT item{.CtlID = static_cast<UINT>(m_id),
                        .hwndItem = HandleOf(this),
                        .hDC = HandleOf(&painter),
                        .rcItem = {.left = 0, .top = 0, .right = width(), .bottom = height()}};
    m_notify(WM_DRAWITEM, static_cast<WPARAM>(m_id), reinterpret_cast<LPARAM>(&item));
}
