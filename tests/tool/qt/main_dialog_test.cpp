// The main dialog as the program opens it with no sensor anywhere: every control of its
// template, in order, with its kind, caption, place, state, tab order and accessible name.
#include <QAccessible>
#include <QFontMetrics>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSlider>
#include <map>
#include <set>

#include "cwin_app.h"
#include "dialog_fixture.h"
#include "dialog_units.h"
#include "icon_static.h"
#include "qt_control.h"
#include "resource.h"
#include "window_text.h"

namespace {

enum class Kind {
    Group,
    LeftGroup,
    Label,
    ValueEdit,
    ThresholdEdit,
    History,
    Slider,
    Lamp,
    Line,
    Button,
    HiddenButton,
};

struct Expected {
    int id;
    Kind kind;
    const char* caption;
    DialogRect rect;
};

// The template, control by control in template order.
const Expected kControls[] = {
    {IDC_STATIC, Kind::Group, "振动", {7, 15, 102, 96}},
    {IDC_STATIC, Kind::Label, "当前值", {15, 31, 23, 8}},
    {1000, Kind::ValueEdit, "", {51, 30, 42, 12}},
    {IDC_STATIC, Kind::Label, "报警阀值", {15, 51, 31, 8}},
    {1001, Kind::ThresholdEdit, "", {51, 49, 42, 12}},
    {IDC_STATIC, Kind::Line, "", {6, 7, 309, 1}},
    {1019, Kind::Lamp, "", {18, 85, 20, 20}},
    {1002, Kind::Button, "设置", {49, 89, 23, 13}},
    {IDC_STATIC, Kind::Label, "G", {97, 32, 8, 8}},
    {IDC_STATIC, Kind::Label, "G", {97, 51, 8, 8}},
    {1006, Kind::Slider, "", {9, 67, 99, 15}},
    {IDC_STATIC, Kind::Group, "移动", {118, 15, 108, 96}},
    {IDC_STATIC, Kind::Label, "当前值", {122, 31, 23, 8}},
    {1007, Kind::ValueEdit, "", {158, 30, 42, 12}},
    {IDC_STATIC, Kind::Label, "报警阀值", {122, 51, 31, 8}},
    {1008, Kind::ThresholdEdit, "", {158, 49, 42, 12}},
    {1021, Kind::Lamp, "", {128, 85, 20, 20}},
    {1009, Kind::Button, "设置", {159, 89, 23, 13}},
    {IDC_STATIC, Kind::Label, "度/S", {204, 33, 19, 8}},
    {IDC_STATIC, Kind::Label, "度/S", {204, 51, 19, 8}},
    {1010, Kind::Slider, "", {119, 67, 99, 15}},
    {IDC_STATIC, Kind::Group, "温度", {233, 15, 79, 57}},
    {IDC_STATIC, Kind::Label, "当前值", {241, 30, 23, 8}},
    {1016, Kind::ValueEdit, "", {269, 29, 25, 12}},
    {1022, Kind::Lamp, "", {262, 47, 20, 20}},
    {IDC_STATIC, Kind::Label, "℃", {299, 31, 8, 8}},
    {IDC_STATIC, Kind::LeftGroup, "历史报警记录", {6, 119, 220, 100}},
    {1012, Kind::History, "", {11, 142, 209, 52}},
    {IDC_STATIC, Kind::Line, "", {6, 236, 309, 1}},
    {1013, Kind::Button, "读下一条", {78, 202, 32, 13}},
    {1020, Kind::Button, "读所有", {10, 202, 27, 13}},
    {1018, Kind::Label, "000/000", {43, 204, 30, 8}},
    {IDC_STATIC, Kind::Group, "自动振动阀值设置", {233, 119, 79, 47}},
    {1017, Kind::Label, "系统状态：未连接，未发现在线设备！", {10, 224, 255, 8}},
    {IDC_STATIC, Kind::Label, "序号       报警类型       设置阀值       报警值", {11, 131, 196, 8}},
    {1014, Kind::Button, "开始", {244, 149, 25, 13}},
    {1004, Kind::ValueEdit, "", {245, 132, 42, 12}},
    {IDC_STATIC, Kind::Label, "G", {291, 133, 8, 8}},
    {IDC_STATIC, Kind::Group, "自动移动阀值设置", {234, 172, 79, 47}},
    {1015, Kind::Button, "开始", {244, 203, 25, 13}},
    {1005, Kind::ValueEdit, "", {246, 186, 42, 12}},
    {IDC_STATIC, Kind::Label, "度/S", {290, 188, 19, 8}},
    {IDC_STATIC, Kind::Group, "防拆    电压", {233, 76, 79, 35}},
    {1023, Kind::Lamp, "", {246, 88, 20, 20}},
    {1024, Kind::Lamp, "", {278, 88, 20, 20}},
    {1025, Kind::Button, "取消", {277, 149, 25, 13}},
    {1026, Kind::Button, "取消", {277, 203, 25, 13}},
    {1003, Kind::Button, "读阀值", {78, 89, 26, 13}},
    {1011, Kind::Button, "读阀值", {189, 89, 26, 13}},
    {1029, Kind::Button, "清除历史记录", {170, 202, 49, 13}},
    {1027, Kind::HiddenButton, "工厂校正", {270, 221, 32, 13}},
    {1030, Kind::Button, "导出记录", {122, 202, 36, 13}},
};

// What the controls without a caption are called for a screen reader.
const std::map<int, const char*> kAccessibleNames = {
    {1000, "1000 current vibration"},
    {1001, "1001 vibration alarm threshold"},
    {1004, "1004 learned vibration threshold"},
    {1005, "1005 learned movement threshold"},
    {1006, "1006 vibration threshold slider"},
    {1007, "1007 current movement"},
    {1008, "1008 movement alarm threshold"},
    {1010, "1010 movement threshold slider"},
    {1012, "1012 alarm history"},
    {1016, "1016 current temperature"},
    {1019, "1019 vibration alarm lamp"},
    {1021, "1021 movement alarm lamp"},
    {1022, "1022 temperature alarm lamp"},
    {1023, "1023 tamper lamp"},
    {1024, "1024 voltage lamp"},
};

const std::set<int> kButtons = {1002, 1003, 1009, 1011, 1013, 1014, 1015,
                                1020, 1025, 1026, 1027, 1029, 1030};

bool IsTabStop(Kind kind) {
    return kind == Kind::ValueEdit || kind == Kind::ThresholdEdit || kind == Kind::History ||
           kind == Kind::Slider || kind == Kind::Button || kind == Kind::HiddenButton;
}

// The dialog's controls in the order they were made, leaving out its menu (a window of its own).
std::vector<QWidget*> ControlsInOrder(QWidget* window) {
    std::vector<QWidget*> controls;
    for (QObject* child : window->children()) {
        auto* widget = qobject_cast<QWidget*>(child);
        if (widget != nullptr && !widget->isWindow()) {
            controls.push_back(widget);
        }
    }
    return controls;
}

void ExpectKind(QWidget* widget, Kind kind) {
    auto* edit = dynamic_cast<QLineEdit*>(widget);
    auto* group = dynamic_cast<QGroupBox*>(widget);
    auto* button = dynamic_cast<QPushButton*>(widget);
    switch (kind) {
        case Kind::Group:
        case Kind::LeftGroup:
            ASSERT_NE(group, nullptr);
            EXPECT_EQ(group->alignment(), kind == Kind::Group ? Qt::AlignHCenter : Qt::AlignLeft);
            break;
        case Kind::Label:
            EXPECT_NE(dynamic_cast<QLabel*>(widget), nullptr);
            EXPECT_EQ(dynamic_cast<IconStatic*>(widget), nullptr);
            break;
        case Kind::ValueEdit:
        case Kind::ThresholdEdit:
            ASSERT_NE(edit, nullptr);
            EXPECT_EQ(edit->isReadOnly(), kind == Kind::ValueEdit);
            EXPECT_EQ(edit->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
            EXPECT_TRUE(edit->hasFrame());
            break;
        case Kind::History: {
            auto* view = dynamic_cast<QPlainTextEdit*>(widget);
            ASSERT_NE(view, nullptr);
            EXPECT_TRUE(view->isReadOnly());
            EXPECT_EQ(view->lineWrapMode(), QPlainTextEdit::WidgetWidth);
            EXPECT_EQ(view->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
            EXPECT_EQ(view->horizontalScrollBarPolicy(), Qt::ScrollBarAlwaysOff);
            break;
        }
        case Kind::Slider: {
            auto* slider = dynamic_cast<QSlider*>(widget);
            ASSERT_NE(slider, nullptr);
            EXPECT_EQ(slider->orientation(), Qt::Horizontal);
            EXPECT_EQ(slider->tickPosition(), QSlider::NoTicks);
            break;
        }
        case Kind::Lamp: {
            auto* lamp = dynamic_cast<IconStatic*>(widget);
            ASSERT_NE(lamp, nullptr);
            EXPECT_EQ(lamp->Icon(), AfxGetApp()->LoadIcon(IDI_LAMP_GREEN));
            break;
        }
        case Kind::Line:
            EXPECT_EQ(std::string(widget->metaObject()->className()), "QFrame");
            EXPECT_TRUE(widget->autoFillBackground());
            break;
        case Kind::Button:
        case Kind::HiddenButton:
            ASSERT_NE(button, nullptr);
            break;
    }
}

std::string AccessibleName(QWidget* widget) {
    return QAccessible::queryAccessibleInterface(widget)->text(QAccessible::Name).toStdString();
}

class MainDialogTest : public DialogFixture {};

}  // namespace

TEST_F(MainDialogTest, EveryControlOfTheTemplateInOrderWithKindCaptionAndPlace) {
    QWidget* window = WidgetOf(OpenMainDialog());
    const std::vector<QWidget*> controls = ControlsInOrder(window);
    ASSERT_EQ(controls.size(), std::size(kControls));
    const DialogBaseUnits units = BaseUnitsOf(window->font());
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Expected& expected = kControls[i];
        QWidget* widget = controls[i];
        SCOPED_TRACE(testing::Message() << "control " << i + 1 << ", ID " << expected.id);
        EXPECT_EQ(widget->objectName().toStdString(),
                  expected.id == IDC_STATIC ? "" : std::to_string(expected.id));
        ExpectKind(widget, expected.kind);
        const QRect place = MapDialogRect(expected.rect, units);
        if (expected.kind == Kind::Lamp) {
            EXPECT_EQ(widget->geometry(), QRect(place.topLeft(), QSize(32, 32)));
        } else if (expected.kind == Kind::Label) {
            // Reaching below by the descent, for the underscore.
            EXPECT_EQ(widget->geometry(),
                      place.adjusted(0, 0, 0, QFontMetrics(window->font()).descent()));
        } else {
            EXPECT_EQ(widget->geometry(), place);
        }
        if (expected.kind == Kind::ValueEdit || expected.kind == Kind::ThresholdEdit) {
            EXPECT_EQ(WidgetText(widget).toStdString(), "0");  // loaded from the zero members
        } else if (expected.id != IDC_STATUS) {
            EXPECT_EQ(WidgetText(widget).toStdString(), expected.caption);
        }
        EXPECT_EQ(widget->isVisible(), expected.kind != Kind::HiddenButton);
        EXPECT_EQ(widget->focusPolicy() == Qt::StrongFocus, IsTabStop(expected.kind));
    }
}

TEST_F(MainDialogTest, TabOrderIsTemplateOrderStartingAtTheCurrentVibration) {
    QWidget* window = WidgetOf(OpenMainDialog());
    std::vector<QWidget*> expected;
    for (QWidget* widget : ControlsInOrder(window)) {
        if (widget->focusPolicy() == Qt::StrongFocus) {
            expected.push_back(widget);
        }
    }
    ASSERT_EQ(expected.size(), 23u);  // 8 edits, 2 sliders, 13 buttons
    EXPECT_EQ(window->focusWidget(), ControlWidget(*m_dialog, IDC_VIBRATION));
    std::vector<QWidget*> chain;
    for (QWidget* widget = expected.front(); chain.size() < expected.size();
         widget = widget->nextInFocusChain()) {
        if (widget->focusPolicy() == Qt::StrongFocus) {
            chain.push_back(widget);
        }
    }
    EXPECT_EQ(chain, expected);
}

TEST_F(MainDialogTest, EveryControlHasAnAccessibleName) {
    QWidget* window = WidgetOf(OpenMainDialog());
    for (const auto& [id, name] : kAccessibleNames) {
        EXPECT_EQ(AccessibleName(ControlWidget(*m_dialog, id)), name) << id;
    }
    const auto controls = ControlsInOrder(window);
    for (std::size_t i = 0; i < controls.size(); ++i) {
        const Expected& expected = kControls[i];
        if (expected.caption[0] != '\0' && expected.id != IDC_STATUS) {
            EXPECT_EQ(AccessibleName(controls[i]), expected.caption) << "control " << i + 1;
        }
        EXPECT_FALSE(AccessibleName(controls[i]).empty()) << "control " << i + 1;
    }
}

TEST_F(MainDialogTest, WithoutSensorTheStatusShowsTheLastCodeAndEveryButtonIsDisabled) {
    OpenMainDialog();
    EXPECT_EQ(Text(IDC_STATUS), "系统状态：未连接，未发现在线设备!ERR:9");
    for (const Expected& control : kControls) {
        if (control.id != IDC_STATIC) {
            EXPECT_EQ(Driver().IsEnabled(control.id), !kButtons.contains(control.id)) << control.id;
        }
    }
    EXPECT_EQ(Driver().TimerPeriod(1), 0);
}

TEST_F(MainDialogTest, DialogHasItsCaptionSizeFontAndIcon) {
    QWidget* window = WidgetOf(OpenMainDialog());
    EXPECT_EQ(window->windowTitle().toStdString(), "KQ_Tools");
    EXPECT_EQ(window->size(), MapDialogSize(319, 245, BaseUnitsOf(window->font())));
    EXPECT_EQ(window->minimumSize(), window->maximumSize());
    EXPECT_EQ(window->font().pointSize(), 10);
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMinimizeButtonHint));
    EXPECT_FALSE(window->windowFlags().testFlag(Qt::WindowMaximizeButtonHint));
    EXPECT_EQ(window->windowType(), Qt::Window);
    EXPECT_FALSE(window->windowIcon().isNull());
    EXPECT_EQ(m_dialog->m_hIcon, AfxGetApp()->LoadIcon(IDR_MAINFRAME));
    EXPECT_EQ(IconOf(m_dialog->m_hIcon)->availableSizes(), QList<QSize>{QSize(128, 128)});
}

TEST_F(MainDialogTest, DataExchangeBindsTheControlMembers) {
    CToolsDlg& dialog = OpenMainDialog();
    EXPECT_EQ(WidgetOf(dialog.m_editHistory), ControlWidget(*m_dialog, IDC_HISTORY));
    EXPECT_EQ(WidgetOf(dialog.m_sliderMovement), ControlWidget(*m_dialog, IDC_SLIDER_MOVEMENT));
    EXPECT_EQ(WidgetOf(dialog.m_sliderVibration), ControlWidget(*m_dialog, IDC_SLIDER_VIBRATION));
    EXPECT_EQ(dialog.GetDlgItem(IDC_SLIDER_VIBRATION), &dialog.m_sliderVibration);
    EXPECT_EQ(dialog.m_sliderVibration.GetDlgCtrlID(), IDC_SLIDER_VIBRATION);
}
