// Works a dialog as its user does, for the dialog tests that run on every platform: one
// implementation per window system (dialog_driver_qt.cpp, and one on user32 for Windows).
// Controls are named by their IDs; texts are UTF-8. A control that is not there fails the test
// and reads as empty, disabled and hidden. Message boxes are not the driver's: the tests capture
// them with SetMessageBoxHook (modal_box.h).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "cwnd.h"

// What an alarm lamp shows: the red icon (129) or the green one (130), else something else.
enum class LampColour { Red, Green, Other };

// Keys a user presses on a focused slider.
enum class SliderKey {
    Home,   // to the left end
    End,    // to the right end
    Left,   // one step to the left
    Right,  // one step to the right
};

class DialogDriver {
public:
    // Drives `dialog`, which must be open while the driver is used.
    explicit DialogDriver(CWnd& dialog);

    // Clicks button `id` as with the mouse; returns once the dialog has handled the click. A
    // disabled button takes no click.
    void Press(int id);
    // Gives slider `id` the keyboard focus and presses and releases `key` on it, so the slider
    // moves and the dialog gets the WM_HSCROLL notifications a user's key press causes.
    void PressKey(int slider, SliderKey key);
    // Chooses the item of the dialog's system menu with that text, as a user does; the command
    // arrives once the menu has closed. False when the menu has no such item.
    bool ChooseSystemMenuItem(const std::string& text);
    // Replaces everything edit `id` holds with `text`, as a user selecting all and typing it.
    void Type(int id, const std::string& text);

    // The text control `id` shows: a button's or label's caption, an edit's contents (lines of a
    // multi-line edit end with CR LF).
    std::string Text(int id) const;
    // Where slider `id` stands.
    int SliderPosition(int id) const;
    // The icon lamp `id` shows.
    LampColour Lamp(int id) const;
    bool IsEnabled(int id) const;
    // Whether radio button `id` is checked.
    bool IsChecked(int id) const;
    // The texts of the system menu's items in order, "-" for a separator.
    std::vector<std::string> SystemMenuItems() const;
    // Whether control `id` is shown (a hidden control of a shown dialog is not).
    bool IsVisible(int id) const;
    // For a multi-line edit: the first line in sight (0 when scrolled to the top), and whether
    // the caret lies inside the part that is in sight.
    int FirstVisibleLine(int id) const;
    bool CaretInSight(int id) const;
    // Whether the label that says `text` draws some of it: its picture is not all background.
    bool LabelDrawn(const std::string& text) const;
    // The period in milliseconds of the dialog's timer `id`, 0 when that timer is not running.
    int TimerPeriod(UINT_PTR id) const;

private:
    CWnd& m_dialog;
};

// The shown top-level window of this program with that caption, nullptr when there is none.
HWND FindShownWindow(const std::string& caption);

// Runs the event loop (timers, painting, the link's events) until `done` holds, asking it again
// at least every 10 ms; false when `limit` milliseconds passed first.
bool ProcessEventsUntil(const std::function<bool()>& done, int limit = 5000);
// Runs the event loop for `milliseconds`.
void ProcessEventsFor(int milliseconds);
