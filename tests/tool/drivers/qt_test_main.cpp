// Runs the tool's tests with a Qt application on the offscreen platform, the program's resources
// and its application object, as the program itself has them.
#include <gtest/gtest.h>

#include <QApplication>

#include "tool_resources.h"
#include "tools_app.h"

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    AfxSetResourceHandle(&ToolResources());
    CToolsApp app;
    return RUN_ALL_TESTS();
}
