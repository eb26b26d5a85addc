#include "track_bar.h"

#include <QKeyEvent>
#include <algorithm>

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 100);
    setPageStep(20);
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnAction(action); });
    connect(this, &QAbstractSlider::sliderReleased, this,
            [this] { Notify(TB_THUMBPOSITION, sliderPosition()); });
}

// The action has moved the slider position already, so TBM_GETPOS in the handler sees the new one.
void TrackBar::OnAction(int action) {
    switch (action) {
        case SliderSingleStepSub:
            Notify(TB_LINEUP, 0);
            break;
        case SliderSingleStepAdd:
            Notify(TB_LINEDOWN, 0);
            break;
        case SliderPageStepSub:
            Notify(TB_PAGEUP, 0);
            break;
        case SliderPageStepAdd:
            Notify(TB_PAGEDOWN, 0);
            break;
        case SliderToMinimum:
            Notify(TB_TOP, 0);
            break;
        case SliderToMaximum:
            Notify(TB_BOTTOM, 0);
            break;
        case SliderMove:
            Notify(TB_THUMBTRACK, sliderPosition());
            break;
        default:
            break;
    }
}

// As on Windows, Up and Page Up move towards the minimum, Down and Page Down towards the maximum.
void TrackBar::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_Up:
            triggerAction(SliderSingleStepSub);
            break;
        case Qt::Key_Down:
            triggerAction(SliderSingleStepAdd);
            break;
        case Qt::Key_PageUp:
            triggerAction(SliderPageStepSub);
            break;
        case Qt::Key_PageDown:
            triggerAction(SliderPageStepAdd);
            break;
        default:
            QSlider::keyPressEvent(event);
            return;
    }
    event->accept();
}

// A key that moves the thumb ends its scroll when released.
void TrackBar::keyReleaseEvent(QKeyEvent* event) {
    QSlider::keyReleaseEvent(event);
    static constexpr int kMovingKeys[] = {Qt::Key_Left, Qt::Key_Right,  Qt::Key_Up,
                                          Qt::Key_Down, Qt::Key_PageUp, Qt::Key_PageDown,
                                          Qt::Key_Home, Qt::Key_End};
    if (!event->isAutoRepeat() &&
        std::ranges::find(kMovingKeys, event->key()) != std::end(kMovingKeys)) {
        Notify(TB_ENDTRACK, 0);
    }
}

void TrackBar::mouseReleaseEvent(QMouseEvent* event) {
    QSlider::mouseReleaseEvent(event);
    Notify(TB_ENDTRACK, 0);
}

void TrackBar::Notify(UINT code, int position) {
    if (m_notify) {
        m_notify(code, position);
    }
}

LRESULT TrackBar::ControlProc(UINT message, WPARAM, LPARAM lParam) {
    switch (message) {
        case TBM_GETPOS:
            return sliderPosition();
        case TBM_SETPOS:
            setValue(static_cast<int>(lParam));
            return 0;
        case TBM_SETRANGE: {
            const int low = static_cast<short>(LOWORD(static_cast<std::uintptr_t>(lParam)));
            const int high = static_cast<short>(HIWORD(static_cast<std::uintptr_t>(lParam)));
            setRange(low, high);
            setPageStep(std::max((high - low) / 5, 1));
            return 0;
        }
        default:
            return 0;
    }
}
