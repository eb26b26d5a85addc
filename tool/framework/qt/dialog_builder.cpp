#include "dialog_builder.h"

#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QLabel>
#include <QPushButton>

#include "cwin_app.h"
#include "icon_static.h"
#include "multi_line_edit.h"
#include "owner_draw.h"
#include "qt_handles.h"
#include "radio_button.h"
#include "resource_module.h"
#include "single_line_edit.h"
#include "track_bar.h"

namespace {

LPARAM ParameterOf(QWidget* widget) { return reinterpret_cast<LPARAM>(HandleOf(widget)); }

// The free Song face draws an underscore just below the descent it reports, where SimSun keeps it
// inside; a label reaches that far down so the underscore is not cut off.
int LabelOverhang(const QFont& font) { return QFontMetrics(font).descent(); }

bool Has(const ControlTemplate& control, unsigned style) { return (control.style & style) != 0; }

// Read-only edits show the dialog's face colour, as on Windows.
void ShowReadOnly(QWidget* edit) {
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, palette.color(QPalette::Window));
    edit->setPalette(palette);
}

QWidget* MakeEdit(QWidget* window, const ControlTemplate& control) {
    if (Has(control, kMultiLine)) {
        auto* edit = new MultiLineEdit(window);
        edit->setReadOnly(Has(control, kReadOnly));
        edit->setLineWrapMode(QPlainTextEdit::WidgetWidth);
        edit->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
        edit->setVerticalScrollBarPolicy(Has(control, kVerticalScroll) ? Qt::ScrollBarAlwaysOn
                                                                       : Qt::ScrollBarAlwaysOff);
        edit->setFrameShape(Has(control, kBorder) ? QFrame::StyledPanel : QFrame::NoFrame);
        if (Has(control, kReadOnly)) {
            ShowReadOnly(edit);
        }
        return edit;
    }
    auto* edit = new SingleLineEdit(window);
    edit->setReadOnly(Has(control, kReadOnly));
    edit->setAlignment(Has(control, kCentered) ? Qt::AlignCenter
                                               : Qt::AlignLeft | Qt::AlignVCenter);
    edit->setFrame(Has(control, kBorder));
    if (Has(control, kReadOnly)) {
        ShowReadOnly(edit);
    }
    return edit;
}

QWidget* MakeControl(QWidget* window, const ControlTemplate& control, const NotifyDialog& notify) {
    const QString text = QString::fromUtf8(control.text);
    switch (control.kind) {
        case ControlKind::GroupBox: {
            auto* group = new QGroupBox(text, window);
            group->setAlignment(Has(control, kCentered) ? Qt::AlignHCenter : Qt::AlignLeft);
            return group;
        }
        case ControlKind::Label: {
            // Shown as written: the labels' ampersands are text, never mnemonics.
            auto* label = new QLabel(text, window);
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            label->setAttribute(Qt::WA_TransparentForMouseEvents);  // statics let clicks through
            return label;
        }
        case ControlKind::Edit:
            return MakeEdit(window, control);
        case ControlKind::Slider: {
            auto* slider = new TrackBar(window);
            slider->setTickPosition(Has(control, kNoTicks) ? QSlider::NoTicks
                                                           : QSlider::TicksBelow);
            slider->SetNotify([slider, notify](UINT code, int position) {
                notify(WM_HSCROLL, MAKEWPARAM(code, static_cast<unsigned>(position)),
                       ParameterOf(slider));
            });
            return slider;
        }
        case ControlKind::IconStatic:
            return new IconStatic(window, AfxLoadIcon(control.icon));
        case ControlKind::Line: {
            auto* line = new QFrame(window);
            line->setAutoFillBackground(true);
            line->setBackgroundRole(QPalette::Mid);
            return line;
        }
        case ControlKind::Button: {
            auto* button = new QPushButton(text, window);
            button->setAutoDefault(false);
            button->setDefault(Has(control, kDefaultButton));
            const int id = control.id;
            QObject::connect(button, &QPushButton::clicked, window, [button, id, notify] {
                notify(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                       ParameterOf(button));
            });
            return button;
        }
        case ControlKind::RadioButton: {
            auto* button = new RadioButton(text, window);
            const int id = control.id;
            QObject::connect(button, &QAbstractButton::clicked, window, [button, id, notify] {
                notify(WM_COMMAND, MAKEWPARAM(static_cast<unsigned>(id), BN_CLICKED),
                       ParameterOf(button));
            });
            return button;
        }
        case ControlKind::OwnerDraw:
            return new OwnerDrawControl(window, control.id, notify);
    }
    return nullptr;
}

}  // namespace

std::vector<BuiltControl> BuildControls(QWidget* window, const DialogTemplate& dialog,
                                        DialogBaseUnits units, const NotifyDialog& notify) {
    std::vector<BuiltControl> built;
    QWidget* previousTabStop = nullptr;
    for (const ControlTemplate& control : dialog.controls) {
        QWidget* widget = MakeControl(window, control, notify);
        QRect rect = MapDialogRect(control.rect, units);
        if (control.kind == ControlKind::IconStatic) {
            // An icon static takes the size of its icon.
            rect.setSize({GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON)});
        } else if (control.kind == ControlKind::Label) {
            rect.setHeight(rect.height() + LabelOverhang(window->font()));
        }
        widget->setGeometry(rect);
        if (control.id != IDC_STATIC) {
            widget->setObjectName(QString::number(control.id));
        }
        if (control.accessibleName != nullptr) {
            widget->setAccessibleName(QString::fromUtf8(control.accessibleName));
        }
        if (Has(control, kTabStop)) {
            widget->setFocusPolicy(Qt::StrongFocus);
            if (previousTabStop != nullptr) {
                QWidget::setTabOrder(previousTabStop, widget);
            }
            previousTabStop = widget;
        } else {
            widget->setFocusPolicy(Qt::NoFocus);
        }
        widget->setVisible(Has(control, kVisible));
        built.push_back({&control, widget});
    }
    return built;
}
