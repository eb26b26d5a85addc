// Runs the dialog tests on user32: the common controls, the program's resources and its
// application object, as the program itself has them.
#include <gtest/gtest.h>

#include "platform.h"
#include "tool_resources.h"
#include "tools_app.h"

int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    const INITCOMMONCONTROLSEX controls{.dwSize = sizeof(INITCOMMONCONTROLSEX),
                                        .dwICC = ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    InitCommonControlsEx(&controls);
    AfxSetResourceHandle(&ToolResources());
    CToolsApp app;
    return RUN_ALL_TESTS();
}
