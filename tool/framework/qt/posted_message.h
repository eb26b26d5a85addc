// A window message posted from any thread: a Qt event, which Qt queues for the thread the
// window's widget lives on. A dialog's window hands it to the dialog's message map.
#pragma once

#include <QEvent>

#include "platform.h"

class PostedMessage : public QEvent {
public:
    PostedMessage(UINT message, WPARAM wParam, LPARAM lParam)
        : QEvent(Kind()), message(message), wParam(wParam), lParam(lParam) {}

    static QEvent::Type Kind() {
        static const auto kind = static_cast<QEvent::Type>(QEvent::registerEventType());
        return kind;
    }

    const UINT message;
    const WPARAM wParam;
    const LPARAM lParam;
};
