// The text of a window: a dialog's caption, a control's caption or an edit's contents.
#pragma once

#include <QString>

class QWidget;

QString WidgetText(const QWidget* widget);
void SetWidgetText(QWidget* widget, const QString& text);
