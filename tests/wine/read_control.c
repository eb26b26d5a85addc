/* Prints, in UTF-8, the text of one control of a dialog another program shows, as a user sees it:
 * waits (up to ten seconds) for a visible top-level window with the caption given, reads the
 * control's text, and with "close" then asks the dialog to close.
 * Usage: read_control.exe CAPTION CONTROL_ID [close]; exits 1 when there is no such window. */
#include <stdio.h>
#include <wchar.h>
#include <windows.h>

enum { POLL_MS = 50, POLLS = 200, TEXT_CHARS = 512 };

int wmain(int argc, wchar_t** argv) {
    HWND dialog = NULL;
    int i;
    wchar_t text[TEXT_CHARS];
    char utf8[4 * TEXT_CHARS];
    int length;

    if (argc < 3) {
        fputs("usage: read_control.exe CAPTION CONTROL_ID [close]\n", stderr);
        return 2;
    }
    /* A dialog found by caption gets its controls a little later: it counts once visible. */
    for (i = 0; i < POLLS; ++i) {
        dialog = FindWindowW(NULL, argv[1]);
        if (dialog != NULL && IsWindowVisible(dialog)) break;
        dialog = NULL;
        Sleep(POLL_MS);
    }
    if (dialog == NULL) {
        fputs("read_control: no visible window with that caption\n", stderr);
        return 1;
    }
    GetDlgItemTextW(dialog, _wtoi(argv[2]), text, TEXT_CHARS);
    length = WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, NULL, NULL);
    if (length > 0) printf("%s\n", utf8);
    if (argc > 3 && wcscmp(argv[3], L"close") == 0) PostMessageW(dialog, WM_CLOSE, 0, 0);
    return 0;
}
