// The dialog driver on Qt: clicks, keys and typing go to the widgets as Qt delivers a user's.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "cwin_app.h"
#include "dialog_driver.h"
#include "icon_static.h"
#include "qt_control.h"
#include "qt_handles.h"
#include "resource.h"
#include "window_text.h"

namespace {

// Control `id` as a widget of type T; a missing one fails the test.
template <typename T>
T* Find(const CWnd& dialog, int id) {
    auto* control = dynamic_cast<T*>(ControlWidget(dialog, id));
    if (control == nullptr) ADD_FAILURE() << "no control " << id << " of that kind";
    return control;
}

Qt::Key KeyOf(SliderKey key) {
    switch (key) {
        case SliderKey::Home:
            return Qt::Key_Home;
        case SliderKey::End:
            return Qt::Key_End;
        case SliderKey::Left:
            return Qt::Key_Left;
        case SliderKey::Right:
            return Qt::Key_Right;
    }
    return Qt::Key_unknown;
}

}  // namespace

DialogDriver::DialogDriver(CWnd& dialog) : m_dialog(dialog) {}

void DialogDriver::Press(int id) {
    if (auto* button = Find<QAbstractButton>(m_dialog, id)) button->click();
}

void DialogDriver::PressKey(int slider, SliderKey key) {
    if (auto* control = Find<QSlider>(m_dialog, slider)) {
        control->setFocus();
        QTest::keyClick(control, KeyOf(key));
    }
}

bool DialogDriver::ChooseSystemMenuItem(const std::string& text) {
    for (QAction* item : WidgetOf(m_dialog)->findChild<QMenu*>("system menu")->actions()) {
        if (item->text().toStdString() == text) {
            item->trigger();
            return true;
        }
    }
    return false;
}

void DialogDriver::Type(int id, const std::string& text) {
    auto* edit = Find<QLineEdit>(m_dialog, id);
    if (edit == nullptr) return;
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    // Each character as the key event that brings it, whatever key a keyboard has for it.
    for (const QChar c : QString::fromStdString(text)) {
        QTest::sendKeyEvent(QTest::Click, edit, Qt::Key_unknown, QString(c), Qt::NoModifier);
    }
}

std::string DialogDriver::Text(int id) const {
    const QWidget* control = Find<QWidget>(m_dialog, id);
    return control != nullptr ? WidgetText(control).toStdString() : std::string();
}

int DialogDriver::SliderPosition(int id) const {
    const auto* slider = Find<QSlider>(m_dialog, id);
    return slider != nullptr ? slider->value() : 0;
}

LampColour DialogDriver::Lamp(int id) const {
    const auto* lamp = Find<IconStatic>(m_dialog, id);
    if (lamp == nullptr) return LampColour::Other;
    if (lamp->Icon() == AfxGetApp()->LoadIcon(IDI_LAMP_RED)) return LampColour::Red;
    if (lamp->Icon() == AfxGetApp()->LoadIcon(IDI_LAMP_GREEN)) return LampColour::Green;
    return LampColour::Other;
}

bool DialogDriver::IsEnabled(int id) const {
    const QWidget* control = Find<QWidget>(m_dialog, id);
    return control != nullptr && control->isEnabled();
}

bool DialogDriver::IsChecked(int id) const {
    const auto* button = Find<QAbstractButton>(m_dialog, id);
    return button != nullptr && button->isChecked();
}

std::vector<std::string> DialogDriver::SystemMenuItems() const {
    std::vector<std::string> texts;
    for (QAction* item : WidgetOf(m_dialog)->findChild<QMenu*>("system menu")->actions()) {
        texts.push_back(item->isSeparator() ? "-" : item->text().toStdString());
    }
    return texts;
}

bool DialogDriver::IsVisible(int id) const {
    const QWidget* control = Find<QWidget>(m_dialog, id);
    return control != nullptr && control->isVisible();
}

// The view scrolls by whole lines: its scroll bar counts them.
int DialogDriver::FirstVisibleLine(int id) const {
    const auto* view = Find<QPlainTextEdit>(m_dialog, id);
    return view != nullptr ? view->verticalScrollBar()->value() : 0;
}

bool DialogDriver::CaretInSight(int id) const {
    const auto* view = Find<QPlainTextEdit>(m_dialog, id);
    return view != nullptr && view->viewport()->rect().contains(view->cursorRect());
}

// The label's bottom right corner, below the text's descent, is background.
bool DialogDriver::LabelDrawn(const std::string& text) const {
    for (QLabel* label : WidgetOf(m_dialog)->findChildren<QLabel*>()) {
        if (label->text() != QString::fromStdString(text)) continue;
        const QImage picture = label->grab().toImage();
        const QRgb background = picture.pixel(picture.width() - 1, picture.height() - 1);
        for (int y = 0; y < picture.height(); ++y) {
            for (int x = 0; x < picture.width(); ++x) {
                if (picture.pixel(x, y) != background) return true;
            }
        }
        return false;
    }
    ADD_FAILURE() << "no label " << text;
    return false;
}

int DialogDriver::TimerPeriod(UINT_PTR id) const {
    const auto* timer = WidgetOf(m_dialog)->findChild<QTimer*>(QStringLiteral("timer %1").arg(id));
    return timer != nullptr && timer->isActive() ? timer->interval() : 0;
}

HWND FindShownWindow(const std::string& caption) {
    for (QWidget* window : QApplication::topLevelWidgets()) {
        if (window->isVisible() && window->windowTitle().toStdString() == caption) {
            return HandleOf(window);
        }
    }
    return nullptr;
}

// qWait handles the events that are due and sleeps while none are.
bool ProcessEventsUntil(const std::function<bool()>& done, int limit) {
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > limit) {
            return false;
        }
        QTest::qWait(10);
    }
    return true;
}

void ProcessEventsFor(int milliseconds) { QTest::qWait(milliseconds); }
