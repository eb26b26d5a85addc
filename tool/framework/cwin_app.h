// The application object. The program defines exactly one, as a static object; AfxWinMain sets
// up the window system, calls its InitInstance and runs a message loop only when that returns
// TRUE.
#pragma once

#include <string>

#include "platform.h"

class CWnd;

class CWinApp {
public:
    CWinApp();
    virtual ~CWinApp();
    CWinApp(const CWinApp&) = delete;
    CWinApp& operator=(const CWinApp&) = delete;

    virtual BOOL InitInstance();
    virtual int ExitInstance();

    // Icon resource `id` at the system's standard icon size.
    HICON LoadIcon(UINT id) const;

    CWnd* m_pMainWnd = nullptr;
};

CWinApp* AfxGetApp();
CWnd* AfxGetMainWnd();
// The application's name: the executable's, as no other is given.
std::string AfxGetAppName();
// The icon `id` of the current resource module, loaded once and kept for the life of the program
// (icons are shared, never freed); nullptr when there is no such icon.
HICON AfxLoadIcon(UINT id);

int AfxWinMain(int argc, char** argv);
