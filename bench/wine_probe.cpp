/* KQ_Tools.exe's dialog as another program meets it (a screen reader, a test robot, a user's
 * click): how soon it is on screen, how soon it answers a control read and a button press, and how
 * soon a box goes after its OK. Each measurement prints one line, in UTF-8.
 * Usage: wine_probe.exe start LABEL PROGRAM   starts PROGRAM, times its window and its final
 *                                             status, then closes it
 *        wine_probe.exe answers LABEL SECONDS control reads due every 5 ms and a press of
 *                                             "读下一条" every second, on the running dialog
 *        wine_probe.exe lossbox               waits for a box of the dialog, reads controls for
 *                                             2 s while it is open, then OKs it */
#include <stdio.h>
#include <stdlib.h>
#include <wchar.h>
#include <windows.h>

#include "resource.h"

constexpr int kProbeMs = 5;
constexpr int kPressEveryMs = 1000;
constexpr int kBoxOpenMs = 2000;
constexpr int kWaitLimitMs = 20000;
constexpr int kAnswerLimitMs = 10000;
constexpr int kTextChars = 512;

static const wchar_t kCaption[] = L"KQ_Tools";
static const wchar_t kSearching[] = L"系统状态：正在查找设备...";

static double Now() {
    static LARGE_INTEGER frequency;
    LARGE_INTEGER counter;
    if (frequency.QuadPart == 0) QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return 1000.0 * (double)counter.QuadPart / (double)frequency.QuadPart;
}

typedef struct {
    double* values;
    size_t count;
    size_t capacity;
} Samples;

static void Add(Samples* samples, double value) {
    if (samples->count == samples->capacity) {
        samples->capacity = samples->capacity ? 2 * samples->capacity : 1024;
        samples->values =
            static_cast<double*>(realloc(samples->values, samples->capacity * sizeof(double)));
        if (samples->values == nullptr) abort();
    }
    samples->values[samples->count++] = value;
}

static int Ascending(const void* a, const void* b) {
    const double x = *(const double*)a, y = *(const double*)b;
    return (x > y) - (x < y);
}

static double Percentile(Samples* samples, double fraction) {
    if (samples->count == 0) return 0;
    qsort(samples->values, samples->count, sizeof(double), Ascending);
    return samples->values[(size_t)(fraction * (double)(samples->count - 1))];
}

static const char* Utf8(const wchar_t* text) {
    static char utf8[4 * kTextChars];
    if (WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8, sizeof utf8, nullptr, nullptr) == 0)
        utf8[0] = 0;
    return utf8;
}

/* The text of a control, asked of the window's thread as a screen reader asks; empty when the
 * window did not answer within the limit. */
static void ReadText(HWND control, wchar_t* text) {
    DWORD_PTR copied = 0;
    text[0] = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, kTextChars, (LPARAM)text, SMTO_NORMAL, kAnswerLimitMs,
                        &copied);
}

/* The dialog, once it is on screen; nullptr after the limit. */
static HWND ShownDialog(double limitMs) {
    const double start = Now();
    do {
        HWND dialog = FindWindowW(nullptr, kCaption);
        if (dialog != nullptr && IsWindowVisible(dialog)) return dialog;
        Sleep(1);
    } while (Now() - start < limitMs);
    return nullptr;
}

typedef struct {
    HWND dialog;
    HWND found;
} BoxSearch;

static BOOL CALLBACK FindBox(HWND window, LPARAM argument) {
    BoxSearch* search = (BoxSearch*)argument;
    DWORD process = 0, dialogProcess = 0;
    GetWindowThreadProcessId(window, &process);
    GetWindowThreadProcessId(search->dialog, &dialogProcess);
    if (window != search->dialog && process == dialogProcess && IsWindowVisible(window)) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

/* A visible top-level window of the dialog's program other than the dialog: a box. */
static HWND BoxOf(HWND dialog) {
    BoxSearch search = {dialog, nullptr};
    EnumWindows(FindBox, (LPARAM)&search);
    return search.found;
}

/* Presses the box's OK as a user does; the box goes once its thread has taken the click. */
static void PressOk(HWND box) { PostMessageW(GetDlgItem(box, IDOK), BM_CLICK, 0, 0); }

static void CALLBACK Handled(HWND, UINT, ULONG_PTR handled, LRESULT) {
    *reinterpret_cast<double*>(handled) = Now();
}

/* What a press showed first. */
typedef enum { HANDLED, DISABLED, BOX, EFFECTS } Effect;

/* Presses the button and times its first visible effect: the button disabled while its action
 * runs, a box, or else the press handled (a window that ran the action on its own thread shows
 * nothing before). A box is OKed; the press ends once handled. */
static double Press(HWND dialog, HWND button, Effect* shown) {
    MSG message;
    HWND oked = nullptr;
    double handled = 0, effect = 0;
    const double start = Now();
    *shown = HANDLED;
    SendMessageCallbackW(button, BM_CLICK, 0, 0, Handled, reinterpret_cast<ULONG_PTR>(&handled));
    for (;;) {
        const HWND box = BoxOf(dialog);
        if (effect == 0 && !IsWindowEnabled(button)) {
            effect = Now();
            *shown = DISABLED;
        }
        if (box != nullptr && box != oked) {
            if (effect == 0) {
                effect = Now();
                *shown = BOX;
            }
            PressOk(box);
            oked = box;
        }
        if (handled != 0 || Now() - start > kAnswerLimitMs) break;
        PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE); /* takes the callback */
        Sleep(1);
    }
    if (effect == 0) effect = handled != 0 ? handled : Now();
    return effect - start;
}

/* Reads the status line and an edit in turn, one read due every few milliseconds. A read the
 * window holds makes the reads that fall due meanwhile wait too: each counts from when it fell
 * due. */
typedef struct {
    HWND controls[2];
    volatile LONG stop;
    Samples waits;
    unsigned unanswered; /* reads that gave no text */
} Reader;

static DWORD WINAPI ReadControls(void* argument) {
    Reader* reader = static_cast<Reader*>(argument);
    wchar_t text[kTextChars];
    unsigned reads = 0;
    double due = Now();
    while (!reader->stop) {
        double end;
        const double start = Now();
        if (start < due) {
            Sleep((DWORD)(due - start));
            continue;
        }
        ReadText(reader->controls[reads++ % 2], text);
        end = Now();
        if (text[0] == 0) ++reader->unanswered;
        Add(&reader->waits, end - start);
        for (due = start + kProbeMs; due < end; due += kProbeMs) Add(&reader->waits, end - due);
    }
    return 0;
}

static HANDLE StartReader(Reader* reader, HWND dialog) {
    reader->controls[0] = GetDlgItem(dialog, IDC_STATUS);
    reader->controls[1] = GetDlgItem(dialog, IDC_VIBRATION);
    reader->stop = 0;
    return CreateThread(nullptr, 0, ReadControls, reader, 0, nullptr);
}

static void StopReader(Reader* reader, HANDLE thread) {
    InterlockedExchange(&reader->stop, 1);
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(thread);
}

static int StartUp(const wchar_t* label, const wchar_t* program) {
    STARTUPINFOW startup;
    PROCESS_INFORMATION process;
    wchar_t command[MAX_PATH + 3];
    wchar_t text[kTextChars] = L"";
    HWND dialog, status = nullptr;
    double start, shown;

    ZeroMemory(&startup, sizeof startup);
    startup.cb = sizeof startup;
    swprintf(command, MAX_PATH + 3, L"\"%ls\"", program);
    start = Now();
    if (!CreateProcessW(nullptr, command, nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &process)) {
        fprintf(stderr, "wine_probe: cannot start %s\n", Utf8(program));
        return 1;
    }
    dialog = ShownDialog(kWaitLimitMs);
    shown = Now() - start;
    while (dialog != nullptr && Now() - start < kWaitLimitMs) {
        if (status == nullptr) status = GetDlgItem(dialog, IDC_STATUS);
        if (status != nullptr) ReadText(status, text);
        if (text[0] != 0 && wcscmp(text, kSearching) != 0) break;
        Sleep(kProbeMs);
    }
    printf("start-up, %-36s", Utf8(label));
    if (dialog == nullptr) {
        printf(" no window within %d ms\n", kWaitLimitMs);
    } else {
        printf(" %8.0f ms to the window, %6.0f ms to the status  (", shown, Now() - start);
        printf("%s)\n", Utf8(text));
        PostMessageW(dialog, WM_CLOSE, 0, 0);
    }
    if (WaitForSingleObject(process.hProcess, kAnswerLimitMs) != WAIT_OBJECT_0) {
        TerminateProcess(process.hProcess, 1);
    }
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return dialog == nullptr;
}

/* Control reads throughout, and a press of the button every second while it is enabled. */
static int Answers(const wchar_t* label, int seconds) {
    Reader reader{};
    Samples presses{};
    unsigned shown[EFFECTS] = {0};
    HWND dialog = ShownDialog(kWaitLimitMs), button;
    HANDLE thread;
    double end, next;

    if (dialog == nullptr) return 1;
    button = GetDlgItem(dialog, IDC_READ_NEXT_RECORD);
    thread = StartReader(&reader, dialog);
    end = Now() + 1000.0 * seconds;
    for (next = Now() + kPressEveryMs; next < end; next += kPressEveryMs) {
        Effect effect;
        while (Now() < next) Sleep(1);
        if (!IsWindowEnabled(button)) continue;
        Add(&presses, Press(dialog, button, &effect));
        ++shown[effect];
    }
    StopReader(&reader, thread);
    printf("%s, %d s: control read p50 %5.1f ms, p99 %5.1f ms, max %6.1f ms (%u unanswered); ",
           Utf8(label), seconds, Percentile(&reader.waits, 0.5), Percentile(&reader.waits, 0.99),
           Percentile(&reader.waits, 1.0), reader.unanswered);
    printf(
        "press p99 %5.1f ms, max %6.1f ms (%u presses: %u showed the button disabled, %u a box, ",
        Percentile(&presses, 0.99), Percentile(&presses, 1.0), (unsigned)presses.count,
        shown[DISABLED], shown[BOX]);
    printf("%u nothing before handled)\n", shown[HANDLED]);
    return 0;
}

static int LossBox() {
    Reader reader{};
    HWND dialog = ShownDialog(kWaitLimitMs), box = nullptr;
    HANDLE thread;
    double start, oked, gone;

    if (dialog == nullptr) return 1;
    for (start = Now(); box == nullptr && Now() - start < kWaitLimitMs; Sleep(1))
        box = BoxOf(dialog);
    if (box == nullptr) {
        printf("adapter pulled: no loss box within %d ms\n", kWaitLimitMs);
        return 1;
    }
    thread = StartReader(&reader, dialog);
    Sleep(kBoxOpenMs);
    StopReader(&reader, thread);
    oked = Now();
    PressOk(box);
    while (IsWindow(box) && IsWindowVisible(box) && Now() - oked < kWaitLimitMs) Sleep(1);
    gone = Now() - oked;
    printf("loss box open 2 s: control read p99 %5.1f ms, max %6.1f ms (%u unanswered); ",
           Percentile(&reader.waits, 0.99), Percentile(&reader.waits, 1.0), reader.unanswered);
    printf("gone %5.1f ms after its OK\n", gone);
    return 0;
}

int wmain(int argc, wchar_t** argv) {
    int status = 2;
    if (argc == 4 && wcscmp(argv[1], L"start") == 0) {
        status = StartUp(argv[2], argv[3]);
    } else if (argc == 4 && wcscmp(argv[1], L"answers") == 0) {
        status = Answers(argv[2], _wtoi(argv[3]));
    } else if (argc == 2 && wcscmp(argv[1], L"lossbox") == 0) {
        status = LossBox();
    } else {
        fputs("usage: wine_probe.exe start LABEL PROGRAM | answers LABEL SECONDS | lossbox\n",
              stderr);
    }
    fflush(stdout);
    return status;
}
