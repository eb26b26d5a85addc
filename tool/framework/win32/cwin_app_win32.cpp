// The program on Windows: the common controls, InitInstance, and a message loop only when that
// asks for one.
#include "cwin_app.h"
#include "resource_module.h"
#include "utf16.h"

std::string AfxGetAppName() {
    if (const VersionInfo* version = AfxGetResourceHandle().version) {
        return version->internalName;
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return Narrow(name.substr(0, name.rfind(L'.')));
}

int AfxWinMain(int, char**) {
    const INITCOMMONCONTROLSEX controls{.dwSize = sizeof(INITCOMMONCONTROLSEX),
                                        .dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    if (app->InitInstance() == FALSE) {
        return app->ExitInstance();
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return app->ExitInstance();
}
