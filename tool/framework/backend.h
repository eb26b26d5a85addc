// What a window-system backend supplies: everything the shared framework asks of it, and nothing
// else. A backend is a folder, qt/ for the Linux build and win32/ for the Windows build; each
// defines every function below and the members the sections name. The rest of the framework
// (message maps, data exchange, message boxes' hook and owner, timers' and texts' rules) is shared
// code written on these. Texts are UTF-8; a window is the HWND of a dialog or of one of its
// controls.
#pragma once

#include <memory>
#include <string>

#include "platform.h"

class CWnd;
struct ResourceModule;

namespace backend {

// The application (AfxWinMain). The window system set up for as long as the returned object
// lives: the Qt application, the common controls on Windows.
std::shared_ptr<void> StartWindowSystem(int& argc, char** argv);
// Runs the program's message loop until the program quits.
void RunMessageLoop();
// The application's name (AfxGetAppName): the resources' internal name once the program runs,
// else the executable's.
std::string AppName();

// Windows (CWnd).
std::string WindowText(HWND window);
void SetWindowText(HWND window, const std::string& text);
// Returns whether the window was disabled before.
BOOL EnableWindow(HWND window, BOOL enable);
BOOL IsIconic(HWND window);
void SetFocus(HWND window);
RECT ClientRect(HWND window);
// Places the window at (x, y) of its parent's client area with that size, and redraws it.
void MoveWindow(HWND window, int x, int y, int width, int height);
// Has the window drawn again soon, without erasing it first.
void Invalidate(HWND window);
// SW_SHOW or SW_HIDE; returns whether it was visible before.
BOOL ShowWindow(HWND window, int command);
BOOL IsWindowVisible(HWND window);
// Puts a top-level window above the others of the program and activates it.
void BringWindowToTop(HWND window);
// Sends `window` WM_TIMER with `id` every `elapse` ms on the window's thread; a tick that falls
// due while a handler runs is delivered once afterwards.
UINT_PTR SetTimer(CWnd& window, UINT_PTR id, UINT elapse);
BOOL KillTimer(HWND window, UINT_PTR id);
// Queues a message for `window`, handled on the window's thread; callable from any thread.
BOOL PostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// A control's own handling of a message (edit, track bar and icon static messages).
LRESULT ControlMessage(HWND control, UINT message, WPARAM wParam, LPARAM lParam);

// Dialogs (CDialog). A dialog's window is made from its template and holds its controls, so
// these are CDialog's members, defined by the backend beside its CDialog::Window: DoModal,
// Create, CreateFromTemplate, DefWindowProc and WindowDeleter::operator(). And two functions:
// destroys a dialog's window before the dialog lets go of it; ends the dialog's modal loop with
// `result` and hides it.
void DestroyDialog(HWND dialog);
void EndDialog(HWND dialog, int result);
// Dialog units to the dialog's pixels, by the metrics of its font.
void MapDialogRect(HWND dialog, LPRECT rect);

// Menus (CMenu): MF_SEPARATOR, or MF_STRING with an ID and a text whose "&x" marks the mnemonic.
BOOL AppendMenu(HMENU menu, UINT flags, UINT_PTR id, const char* text);

// Painting (CPaintDC, CDC): the backend defines CPaintDC::Painting, its constructor, destructor
// and DrawIcon; and CDC's drawing state, constructor, destructor and drawing members (cdc.h),
// which draw into a memory bitmap that goes on screen at the end.

// Icons (AfxLoadIcon): the module's icon `id`, which it has, at the system's icon size; loaded
// once and kept for the life of the program.
HICON LoadIcon(const ResourceModule& module, UINT id);

// Message boxes (ShowMessageBox, when no test hook takes the box). The top-level window that
// `window` belongs to; whether it takes input now (no modal box or dialog above it); the window of
// this thread the user works in, the modal box or dialog on top, nullptr for none.
HWND TopLevelOf(HWND window);
bool TakesInput(HWND window);
HWND ActiveModalWindow();
// A modal box over `owner` with an OK button and the icon `type` names; returns IDOK.
int ShowMessageBox(HWND owner, const std::string& text, const std::string& caption, UINT type);

// Numbers (CNumbersScope): makes this thread format numbers as the C locale does and returns what
// to give RestoreNumbers to undo it.
void* UseCNumbers();
void RestoreNumbers(void* saved);

}  // namespace backend
