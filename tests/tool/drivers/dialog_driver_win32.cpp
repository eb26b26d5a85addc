// The dialog driver on user32: clicks, keys and typing go to the real controls as messages, the
// way the system passes a user's input on to them.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <vector>

#include "cwin_app.h"
#include "dialog_driver.h"
#include "resource.h"
#include "utf16.h"

namespace {

constexpr int kTimerTicksMeasured = 3;
constexpr int kTimerWaitMs = 1500;
constexpr int kTimerRoundingMs = 50;

// Control `id`; a missing one fails the test.
HWND Find(const CWnd& dialog, int id) {
    HWND control = GetDlgItem(dialog.GetSafeHwnd(), id);
    if (control == nullptr) ADD_FAILURE() << "no control " << id;
    return control;
}

WPARAM KeyOf(SliderKey key) {
    switch (key) {
        case SliderKey::Home:
            return VK_HOME;
        case SliderKey::End:
            return VK_END;
        case SliderKey::Left:
            return VK_LEFT;
        case SliderKey::Right:
            return VK_RIGHT;
    }
    return 0;
}

// The WM_TIMER messages of one window and timer the thread takes from its queue, with their
// times, while it lives. It takes them away from the window too, so that measuring does not run
// the dialog's timer handler.
class TimerWatch {
public:
    TimerWatch(HWND window, UINT_PTR id) {
        s_window = window;
        s_id = id;
        s_ticks.clear();
        m_hook = SetWindowsHookExW(WH_GETMESSAGE, &TimerWatch::Hook, nullptr, GetCurrentThreadId());
    }
    ~TimerWatch() { UnhookWindowsHookEx(m_hook); }
    TimerWatch(const TimerWatch&) = delete;
    TimerWatch& operator=(const TimerWatch&) = delete;

    const std::vector<ULONGLONG>& Ticks() const { return s_ticks; }

private:
    static LRESULT CALLBACK Hook(int code, WPARAM wParam, LPARAM lParam) {
        auto* message = reinterpret_cast<MSG*>(lParam);
        if (code == HC_ACTION && wParam == PM_REMOVE && message->message == WM_TIMER &&
            message->hwnd == s_window && message->wParam == s_id) {
            s_ticks.push_back(GetTickCount64());
            message->message = WM_NULL;
        }
        return CallNextHookEx(nullptr, code, wParam, lParam);
    }

    static inline HWND s_window = nullptr;
    static inline UINT_PTR s_id = 0;
    static inline std::vector<ULONGLONG> s_ticks;
    HHOOK m_hook;
};

}  // namespace

DialogDriver::DialogDriver(CWnd& dialog) : m_dialog(dialog) {}

// BM_CLICK presses and releases the mouse button on the button, which then notifies the dialog.
void DialogDriver::Press(int id) {
    HWND button = Find(m_dialog, id);
    if (button != nullptr && IsWindowEnabled(button)) SendMessageW(button, BM_CLICK, 0, 0);
}

void DialogDriver::PressKey(int slider, SliderKey key) {
    HWND control = Find(m_dialog, slider);
    if (control == nullptr) return;
    SetFocus(control);
    SendMessageW(control, WM_KEYDOWN, KeyOf(key), 1);
    SendMessageW(control, WM_KEYUP, KeyOf(key), 1 | (1u << 30) | (1u << 31));
}

// The menu's own items (restore, move, close, ...) are the system's and named in its language.
std::vector<std::string> DialogDriver::SystemMenuItems() const {
    std::vector<std::string> texts;
    HMENU menu = GetSystemMenu(m_dialog.GetSafeHwnd(), FALSE);
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        wchar_t text[256] = {};
        GetMenuStringW(menu, static_cast<UINT>(i), text, static_cast<int>(std::size(text)),
                       MF_BYPOSITION);
        const bool separator =
            (GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR) != 0;
        texts.push_back(separator ? "-" : Narrow(text));
    }
    return texts;
}

// As the menu does: the command is posted to the window once an item is chosen.
bool DialogDriver::ChooseSystemMenuItem(const std::string& text) {
    HMENU menu = GetSystemMenu(m_dialog.GetSafeHwnd(), FALSE);
    const std::vector<std::string> items = SystemMenuItems();
    for (std::size_t i = 0; i < items.size(); ++i) {
        if (items[i] == text) {
            PostMessageW(m_dialog.GetSafeHwnd(), WM_SYSCOMMAND,
                         GetMenuItemID(menu, static_cast<int>(i)), 0);
            return true;
        }
    }
    return false;
}

void DialogDriver::Type(int id, const std::string& text) {
    HWND edit = Find(m_dialog, id);
    if (edit == nullptr) return;
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 0, -1);
    for (const wchar_t c : Widen(text)) {
        SendMessageW(edit, WM_CHAR, c, 1);
    }
}

std::string DialogDriver::Text(int id) const {
    HWND control = Find(m_dialog, id);
    if (control == nullptr) return {};
    std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
    text.resize(static_cast<std::size_t>(
        GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
    return Narrow(text);
}

int DialogDriver::SliderPosition(int id) const {
    HWND slider = Find(m_dialog, id);
    return slider != nullptr ? static_cast<int>(SendMessageW(slider, TBM_GETPOS, 0, 0)) : 0;
}

LampColour DialogDriver::Lamp(int id) const {
    HWND lamp = Find(m_dialog, id);
    if (lamp == nullptr) return LampColour::Other;
    const auto icon = reinterpret_cast<HICON>(SendMessageW(lamp, STM_GETICON, 0, 0));
    if (icon == AfxGetApp()->LoadIcon(IDI_LAMP_RED)) return LampColour::Red;
    if (icon == AfxGetApp()->LoadIcon(IDI_LAMP_GREEN)) return LampColour::Green;
    return LampColour::Other;
}

bool DialogDriver::IsEnabled(int id) const {
    HWND control = Find(m_dialog, id);
    return control != nullptr && IsWindowEnabled(control);
}

bool DialogDriver::IsChecked(int id) const {
    HWND button = Find(m_dialog, id);
    return button != nullptr && SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool DialogDriver::IsVisible(int id) const {
    HWND control = Find(m_dialog, id);
    return control != nullptr && IsWindowVisible(control);
}

int DialogDriver::FirstVisibleLine(int id) const {
    HWND view = Find(m_dialog, id);
    return view != nullptr ? static_cast<int>(SendMessageW(view, EM_GETFIRSTVISIBLELINE, 0, 0)) : 0;
}

// The caret's line lies among the lines the view's height has room for.
bool DialogDriver::CaretInSight(int id) const {
    HWND view = Find(m_dialog, id);
    if (view == nullptr) return false;
    DWORD start = 0;
    DWORD caret = 0;
    SendMessageW(view, EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&caret));
    const auto line = static_cast<int>(SendMessageW(view, EM_LINEFROMCHAR, caret, 0));
    const int first = FirstVisibleLine(id);
    RECT rect{};
    SendMessageW(view, EM_GETRECT, 0, reinterpret_cast<LPARAM>(&rect));
    HDC dc = GetDC(view);
    const HGDIOBJ before =
        SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(view, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    SelectObject(dc, before);
    ReleaseDC(view, dc);
    const int rows =
        std::max<int>(1, (rect.bottom - rect.top) / std::max<LONG>(1, metrics.tmHeight));
    return line >= first && line < first + rows;
}

// Windows tells no timer's period: it is measured, as the shortest time between ticks the
// thread takes from its queue, to the nearest 50 ms; 0 when no tick comes.
// The label paints itself into a bitmap, background first; its bottom right corner, below the
// text's descent, is background.
bool DialogDriver::LabelDrawn(const std::string& text) const {
    HWND label = FindWindowExW(m_dialog.GetSafeHwnd(), nullptr, L"Static", Widen(text).c_str());
    if (label == nullptr) {
        ADD_FAILURE() << "no label " << text;
        return false;
    }
    RECT rect{};
    GetClientRect(label, &rect);
    HDC screen = GetDC(label);
    HDC picture = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, rect.right, rect.bottom);
    const HGDIOBJ before = SelectObject(picture, bitmap);
    SendMessageW(label, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(picture), PRF_CLIENT);
    const COLORREF background = GetPixel(picture, rect.right - 1, rect.bottom - 1);
    bool drawn = false;
    for (int y = 0; y < rect.bottom && !drawn; ++y) {
        for (int x = 0; x < rect.right && !drawn; ++x) {
            drawn = GetPixel(picture, x, y) != background;
        }
    }
    SelectObject(picture, before);
    DeleteObject(bitmap);
    DeleteDC(picture);
    ReleaseDC(label, screen);
    return drawn;
}

int DialogDriver::TimerPeriod(UINT_PTR id) const {
    const TimerWatch watch(m_dialog.GetSafeHwnd(), id);
    ProcessEventsUntil([&] { return watch.Ticks().size() >= kTimerTicksMeasured; }, kTimerWaitMs);
    const std::vector<ULONGLONG>& ticks = watch.Ticks();
    if (ticks.size() < 2) return 0;
    ULONGLONG shortest = ticks[1] - ticks[0];
    for (std::size_t i = 2; i < ticks.size(); ++i) {
        shortest = std::min(shortest, ticks[i] - ticks[i - 1]);
    }
    return static_cast<int>((shortest + kTimerRoundingMs / 2) / kTimerRoundingMs *
                            kTimerRoundingMs);
}

// The program's windows are its only ones with these captions on the test's display.
HWND FindShownWindow(const std::string& caption) {
    HWND window = FindWindowW(nullptr, Widen(caption).c_str());
    return window != nullptr && IsWindowVisible(window) ? window : nullptr;
}

// One message at a time, asking `done` after each: while a handler takes longer than its timer's
// period, a new tick is due every time the queue is looked at, so the queue never runs dry.
bool ProcessEventsUntil(const std::function<bool()>& done, int limit) {
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(limit);
    for (;;) {
        if (done()) return true;
        if (GetTickCount64() > end) return false;
        MSG message;
        if (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&message);
            DispatchMessageW(&message);
        } else {
            MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
        }
    }
}

void ProcessEventsFor(int milliseconds) {
    ProcessEventsUntil([] { return false; }, milliseconds);
}
