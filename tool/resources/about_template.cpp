// Dialog template 100: the About box.
#include "dialog_templates.h"
#include "resource.h"

namespace {

constexpr unsigned kText = kVisible;
constexpr unsigned kPushButton = kVisible | kTabStop;

const ControlTemplate kControls[] = {
    {.kind = ControlKind::IconStatic,
     .rect = {11, 17, 20, 20},
     .style = kVisible,
     .icon = IDR_MAINFRAME,
     .accessibleName = "KQ_Tools icon"},
    {.kind = ControlKind::Label,
     .text = "KQ_Tools 1.0 版",
     .rect = {40, 10, 119, 8},
     .style = kText},
    {.kind = ControlKind::Label,
     .text = "版权所有 (C) 2025",
     .rect = {40, 25, 119, 8},
     .style = kText},
    {.id = IDOK,
     .kind = ControlKind::Button,
     .text = "确定",
     .rect = {178, 7, 50, 14},
     .style = kPushButton | kDefaultButton},
};

}  // namespace

const DialogTemplate kAboutTemplate{
    .id = IDD_ABOUTBOX,
    .caption = "关于 KQ_Tools",
    .width = 235,
    .height = 55,
    .fontFace = "宋体",
    .pointSize = 9,
    .style = kDialogCaption | kDialogSystemMenu | kDialogModalFrame,
    .controls = kControls,
};
