// A horizontal track bar. It reports every scroll, whatever moved it (keys, wheel, thumb or
// groove), to its dialog as a WM_HSCROLL notification; setting its position by message does not.
#pragma once

#include <QSlider>
#include <functional>

#include "control.h"

class TrackBar : public QSlider, public Control {
public:
    explicit TrackBar(QWidget* parent);
    // `notify` receives the scroll code and, for the thumb codes, the position.
    void SetNotify(std::function<void(UINT code, int position)> notify) {
        m_notify = std::move(notify);
    }
    LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) override;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void OnAction(int action);
    void Notify(UINT code, int position);

    std::function<void(UINT code, int position)> m_notify;
};
