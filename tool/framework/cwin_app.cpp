#include "cwin_app.h"

#include "backend.h"
#include "resource_module.h"

namespace {

CWinApp* g_app = nullptr;

}  // namespace

CWinApp::CWinApp() { g_app = this; }

CWinApp::~CWinApp() {
    if (g_app == this) {
        g_app = nullptr;
    }
}

BOOL CWinApp::InitInstance() { return TRUE; }

int CWinApp::ExitInstance() { return 0; }

HICON CWinApp::LoadIcon(UINT id) const { return AfxLoadIcon(id); }

HICON AfxLoadIcon(UINT id) {
    const ResourceModule& module = AfxGetResourceHandle();
    return module.iconFile(id) != nullptr ? backend::LoadIcon(module, id) : nullptr;
}

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

std::string AfxGetAppName() { return backend::AppName(); }

int AfxWinMain(int argc, char** argv) {
    const std::shared_ptr<void> windowSystem = backend::StartWindowSystem(argc, argv);
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    if (app->InitInstance() != FALSE) {
        backend::RunMessageLoop();
    }
    return app->ExitInstance();
}
