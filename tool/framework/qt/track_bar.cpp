#include "track_bar.h"

#include <QKeyEvent>
#include <algorithm>
#include <iterator>

TrackBar::TrackBar(QWidget* parent) : QSlider(Qt::Horizontal, parent) {
    setRange(0, 100);
    setPageStep(20);
    connect(this, &QAbstractSlider::actionTriggered, this,
            [this](int action) { OnAction(action); });
    connect(this, &QAbstractSlider::sliderReleased, this,
            [this] { Notify(TB_THUMBPOSITION, sliderPosition()); });
}

namespace {

struct ScrollCode {
    int action;
    UINT code;
};

// The scroll code a step of each kind notifies.
constexpr ScrollCode kStepCodes[] = {
    {QAbstractSlider::SliderSingleStepSub, TB_LINEUP},
    {QAbstractSlider::SliderSingleStepAdd, TB_LINEDOWN},
    {QAbstractSlider::SliderPageStepSub, TB_PAGEUP},
    {QAbstractSlider::SliderPageStepAdd, TB_PAGEDOWN},
    {QAbstractSlider::SliderToMinimum, TB_TOP},
    {QAbstractSlider::SliderToMaximum, TB_BOTTOM},
};

struct KeyStep {
    int key;
    QAbstractSlider::SliderAction action;
};

// As on Windows, Up and Page Up move towards the minimum, Down and Page Down towards the maximum.
constexpr KeyStep kKeySteps[] = {
    {Qt::Key_Up, QAbstractSlider::SliderSingleStepSub},
    {Qt::Key_Down, QAbstractSlider::SliderSingleStepAdd},
    {Qt::Key_PageUp, QAbstractSlider::SliderPageStepSub},
    {Qt::Key_PageDown, QAbstractSlider::SliderPageStepAdd},
};

}  // namespace

// The action has moved the slider position already, so TBM_GETPOS in the handler sees the new one.
void TrackBar::OnAction(int action) {
    if (action == SliderMove) {
        Notify(TB_THUMBTRACK, sliderPosition());
        return;
    }
    const auto* step = std::ranges::find(kStepCodes, action, &ScrollCode::action);
    if (step != std::end(kStepCodes)) {
        Notify(step->code, 0);
    }
}

void TrackBar::keyPressEvent(QKeyEvent* event) {
    const auto* step = std::ranges::find(kKeySteps, event->key(), &KeyStep::key);
    if (step == std::end(kKeySteps)) {
        QSlider::keyPressEvent(event);
        return;
    }
    triggerAction(step->action);
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
