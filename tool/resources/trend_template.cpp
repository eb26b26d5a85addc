// Dialog template 104: the trend window. Its size is the smallest it can be made; the plots take
// whatever it grows by.
#include "dialog_templates.h"
#include "resource.h"

namespace {

constexpr unsigned kPushButton = kVisible | kTabStop;
constexpr unsigned kRadio = kVisible | kTabStop;
constexpr unsigned kText = kVisible;

const ControlTemplate kControls[] = {
    {.id = IDC_TREND_PAUSE,
     .kind = ControlKind::Button,
     .text = "暂停",
     .rect = {7, 6, 40, 14},
     .style = kPushButton},
    {.id = IDC_TREND_SPAN_1,
     .kind = ControlKind::RadioButton,
     .text = "1分钟",
     .rect = {57, 8, 40, 10},
     .style = kRadio},
    {.id = IDC_TREND_SPAN_5,
     .kind = ControlKind::RadioButton,
     .text = "5分钟",
     .rect = {99, 8, 40, 10},
     .style = kRadio},
    {.id = IDC_TREND_SPAN_30,
     .kind = ControlKind::RadioButton,
     .text = "30分钟",
     .rect = {141, 8, 46, 10},
     .style = kRadio},
    {.id = IDC_TREND_EXPORT,
     .kind = ControlKind::Button,
     .text = "导出数据",
     .rect = {197, 6, 46, 14},
     .style = kPushButton},
    {.id = IDC_TREND_VIBRATION_PEAK,
     .kind = ControlKind::Label,
     .text = "振动峰值: -- G",
     .rect = {7, 26, 100, 8},
     .style = kText},
    {.id = IDC_TREND_MOVEMENT_PEAK,
     .kind = ControlKind::Label,
     .text = "移动峰值: -- 度/S",
     .rect = {115, 26, 110, 8},
     .style = kText},
    {.id = IDC_TREND_PLOTS,
     .kind = ControlKind::OwnerDraw,
     .rect = {7, 38, 316, 175},
     .style = kVisible,
     .accessibleName = "1100 trend plots"},
};

}  // namespace

const DialogTemplate kTrendTemplate{
    .id = IDD_TREND,
    .caption = "实时曲线",
    .width = 330,
    .height = 220,
    .fontFace = "宋体",
    .pointSize = 9,
    .style = kDialogCaption | kDialogSystemMenu | kDialogResizable,
    .controls = kControls,
};
