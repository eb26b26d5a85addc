// Watches for modal dialogs while it lives; `seen` runs once for each new one on top, which it
// may close. The watch runs inside nested event loops too, so a DoModal can be answered from it.
#pragma once

#include <functional>
#include <memory>

class QWidget;

class ModalWatcher {
public:
    explicit ModalWatcher(std::function<void(QWidget* modal)> seen);
    ~ModalWatcher();
    ModalWatcher(const ModalWatcher&) = delete;
    ModalWatcher& operator=(const ModalWatcher&) = delete;

private:
    struct State;
    std::unique_ptr<State> m_state;
};

// Closes a dialog window as its Escape key does.
void PressEscape(QWidget* window);
