// The program on Windows: the common controls and the thread's message loop.
#include "backend.h"
#include "resource_module.h"
#include "utf16.h"

std::shared_ptr<void> backend::StartWindowSystem(int&, char**) {
    const INITCOMMONCONTROLSEX controls{.dwSize = sizeof(INITCOMMONCONTROLSEX),
                                        .dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    return nullptr;
}

void backend::RunMessageLoop() {
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0) > 0) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
}

std::string backend::AppName() {
    if (const VersionInfo* version = AfxGetResourceHandle().version) {
        return version->internalName;
    }
    wchar_t path[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name(path, length);
    name = name.substr(name.find_last_of(L"\\/") + 1);
    return Narrow(name.substr(0, name.rfind(L'.')));
}
