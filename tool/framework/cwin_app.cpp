#include "cwin_app.h"

#include <QApplication>

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

CWinApp* AfxGetApp() { return g_app; }

CWnd* AfxGetMainWnd() { return g_app != nullptr ? g_app->m_pMainWnd : nullptr; }

std::string AfxGetAppName() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationName().toStdString();
    }
    return "";
}

int AfxWinMain(int argc, char** argv) {
    QApplication application(argc, argv);
    if (const VersionInfo* version = AfxGetResourceHandle().version) {
        QApplication::setApplicationVersion(QString::fromUtf8(version->productVersion));
        // The program's own name captions its message boxes, whatever the installed file is
        // called (kq-tools on the PATH).
        QApplication::setApplicationName(QString::fromUtf8(version->internalName));
    }
    CWinApp* app = AfxGetApp();
    if (app == nullptr) {
        return 1;
    }
    if (app->InitInstance() == FALSE) {
        return app->ExitInstance();
    }
    QApplication::exec();
    return app->ExitInstance();
}
