#include "window_text.h"

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>

#include "multi_line_edit.h"

QString WidgetText(const QWidget* widget) {
    if (const auto* edit = dynamic_cast<const QLineEdit*>(widget)) {
        return edit->text();
    }
    if (const auto* edit = dynamic_cast<const MultiLineEdit*>(widget)) {
        return edit->WindowText();
    }
    if (const auto* button = dynamic_cast<const QAbstractButton*>(widget)) {
        return button->text();
    }
    if (const auto* label = dynamic_cast<const QLabel*>(widget)) {
        return label->text();
    }
    if (const auto* group = dynamic_cast<const QGroupBox*>(widget)) {
        return group->title();
    }
    return widget->isWindow() ? widget->windowTitle() : QString();
}

void SetWidgetText(QWidget* widget, const QString& text) {
    if (auto* edit = dynamic_cast<QLineEdit*>(widget)) {
        edit->setText(text);
    } else if (auto* edit = dynamic_cast<MultiLineEdit*>(widget)) {
        edit->setPlainText(text);  // CR LF becomes one line break
    } else if (auto* button = dynamic_cast<QAbstractButton*>(widget)) {
        button->setText(text);
    } else if (auto* label = dynamic_cast<QLabel*>(widget)) {
        label->setText(text);
    } else if (auto* group = dynamic_cast<QGroupBox*>(widget)) {
        group->setTitle(text);
    } else if (widget->isWindow()) {
        widget->setWindowTitle(text);
    }
}
