// A control of a dialog on Qt, for the tests of how the framework builds it there: the widget
// whose object name is its ID.
#pragma once

#include <QString>
#include <QWidget>

#include "cwnd.h"
#include "qt_handles.h"

inline QWidget* ControlWidget(const CWnd& dialog, int id) {
    return WidgetOf(dialog)->findChild<QWidget*>(QString::number(id), Qt::FindDirectChildrenOnly);
}
