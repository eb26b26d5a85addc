#include "tool_resources.h"

#include "dialog_templates.h"
#include "resource.h"

namespace {

const DialogTemplate* FindDialog(UINT id) {
    switch (id) {
        case IDD_ABOUTBOX:
            return &kAboutTemplate;
        case IDD_KQ_TOOLS_DIALOG:
            return &kMainTemplate;
        case IDD_TREND:
            return &kTrendTemplate;
        default:
            return nullptr;
    }
}

const char* FindString(UINT id) { return id == IDS_ABOUTBOX ? "关于 KQ_Tools(&A)..." : nullptr; }

// The images the build embeds in the program (tool/CMakeLists.txt).
const char* IconFile(UINT id) {
    switch (id) {
        case IDR_MAINFRAME:
            return ":/icons/kq_tools.png";
        case IDI_LAMP_RED:
            return ":/icons/lamp_red.png";
        case IDI_LAMP_GREEN:
            return ":/icons/lamp_green.png";
        default:
            return nullptr;
    }
}

constexpr WORD kChinesePrc = 0x0804;

const VersionInfo kVersion{
    .fileVersion = KQ_VERSION,
    .productVersion = KQ_VERSION,
    .internalName = "KQ_Tools",
    .language = kChinesePrc,
};

const ResourceModule kToolResources{
    .findDialog = FindDialog,
    .findString = FindString,
    .iconFile = IconFile,
    .version = &kVersion,
};

}  // namespace

const ResourceModule& ToolResources() { return kToolResources; }
