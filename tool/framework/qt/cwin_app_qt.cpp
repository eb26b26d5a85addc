// The program on Qt: a QApplication, and its event loop only when InitInstance asks for one.
#include <QApplication>

#include "cwin_app.h"
#include "resource_module.h"

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
