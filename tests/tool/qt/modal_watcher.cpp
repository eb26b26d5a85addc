#include "modal_watcher.h"

#include <QApplication>
#include <QTest>
#include <QTimer>

struct ModalWatcher::State {
    QTimer timer;
    QWidget* last = nullptr;
};

ModalWatcher::ModalWatcher(std::function<void(QWidget* modal)> seen)
    : m_state(std::make_unique<State>()) {
    QObject::connect(&m_state->timer, &QTimer::timeout, [state = m_state.get(), seen] {
        QWidget* modal = QApplication::activeModalWidget();
        if (modal == nullptr) {
            state->last = nullptr;
        } else if (modal != state->last && modal->isVisible()) {
            state->last = modal;
            seen(modal);
        }
    });
    m_state->timer.start(10);
}

ModalWatcher::~ModalWatcher() = default;

void PressEscape(QWidget* window) { QTest::keyClick(window, Qt::Key_Escape); }
