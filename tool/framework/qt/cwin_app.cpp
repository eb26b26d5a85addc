// The program on Qt: a QApplication that carries the program's name and version.
#include <QApplication>

#include "backend.h"
#include "resource_module.h"

std::shared_ptr<void> backend::StartWindowSystem(int& argc, char** argv) {
    auto application = std::make_shared<QApplication>(argc, argv);
    if (const VersionInfo* version = AfxGetResourceHandle().version) {
        QApplication::setApplicationVersion(QString::fromUtf8(version->productVersion));
        // The program's own name, whatever the installed file is called (kq-tools on the PATH).
        QApplication::setApplicationName(QString::fromUtf8(version->internalName));
    }
    return application;
}

void backend::RunMessageLoop() { QApplication::exec(); }

// Named at start-up; a test that runs no program keeps the executable's name.
std::string backend::AppName() {
    if (QCoreApplication::instance() != nullptr) {
        return QCoreApplication::applicationName().toStdString();
    }
    return "";
}
