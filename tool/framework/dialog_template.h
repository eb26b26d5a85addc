// A dialog template as data: the dialog's caption, size, font and style, and every control with
// its ID, kind, text, rectangle in dialog units and style, in tab order.
#pragma once

#include <span>

#include "platform.h"

enum class ControlKind {
    GroupBox,     // a frame with a caption
    Label,        // static text
    Edit,         // single-line, or multi-line with kMultiLine
    Slider,       // horizontal track bar
    IconStatic,   // a static showing an icon
    Line,         // a grey filled rectangle
    Button,       // push button
    RadioButton,  // a radio button; clicking one clears the others of the dialog
    OwnerDraw,    // a static the dialog draws itself, on WM_DRAWITEM
};

// Control styles, the few the templates use.
enum ControlStyle : unsigned {
    kVisible = 1u << 0,
    kTabStop = 1u << 1,
    kBorder = 1u << 2,
    kReadOnly = 1u << 3,        // edit
    kCentered = 1u << 4,        // edit text; group box caption (else left-aligned)
    kMultiLine = 1u << 5,       // edit
    kVerticalScroll = 1u << 6,  // edit
    kDefaultButton = 1u << 7,   // button
    kNoTicks = 1u << 8,         // slider
};
// Single-line edits always scroll their text sideways, slider thumbs always point both ways and
// labels always show an ampersand as it is: the templates ask for nothing else.

// Dialog styles.
enum DialogStyle : unsigned {
    kDialogVisible = 1u << 0,
    kDialogCaption = 1u << 1,
    kDialogSystemMenu = 1u << 2,
    kDialogModalFrame = 1u << 3,
    kDialogAppWindow = 1u << 4,  // a task-bar button of its own
    kDialogResizable = 1u << 5,  // a sizing border; the template's size is the smallest
};

struct DialogRect {
    int x = 0;
    int y = 0;
    int width = 0;
    int height = 0;
};

struct ControlTemplate {
    int id = IDC_STATIC;
    ControlKind kind = ControlKind::Label;
    const char* text = "";  // UTF-8 caption
    DialogRect rect;
    unsigned style = kVisible;
    UINT icon = 0;                         // icon statics: the icon shown at first
    const char* accessibleName = nullptr;  // controls without a caption: what they show
};

struct DialogTemplate {
    UINT id = 0;
    const char* caption = "";
    int width = 0;  // client area, dialog units
    int height = 0;
    const char* fontFace = "";
    int pointSize = 9;
    unsigned style = 0;
    std::span<const ControlTemplate> controls;
};
