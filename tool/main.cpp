// KQ_Tools, the alarm sensor's maintenance tool. It takes no arguments.
#include "link_error_box.h"
#include "tool_resources.h"
#include "tools_app.h"

CToolsApp g_toolsApp;

int main(int argc, char** argv) {
    AfxSetResourceHandle(&ToolResources());
    InstallLinkErrorBox();
    return AfxWinMain(argc, argv);
}
