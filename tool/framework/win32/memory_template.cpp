#include "memory_template.h"

#include "utf16.h"

namespace {

constexpr WORD kIconOrdinal = 0xFFFF;  // an icon static's text names its icon by number

bool Has(unsigned styles, unsigned style) { return (styles & style) != 0; }

class TemplateWriter {
public:
    void Word(WORD value) { m_words.push_back(value); }
    void Dword(DWORD value) {
        Word(LOWORD(value));
        Word(HIWORD(value));
    }
    void Text(const char* utf8) {
        for (const wchar_t c : Widen(utf8)) {
            Word(static_cast<WORD>(c));
        }
        Word(0);
    }
    // Each control's entry starts on a DWORD boundary.
    void AlignDword() {
        if (m_words.size() % 2 != 0) {
            Word(0);
        }
    }
    std::vector<WORD> Take() { return std::move(m_words); }

private:
    std::vector<WORD> m_words;
};

DWORD WindowStyleOf(const DialogTemplate& dialog) {
    DWORD style = WS_POPUP | DS_SETFONT | DS_CENTER;
    if (Has(dialog.style, kDialogVisible)) style |= WS_VISIBLE;
    if (Has(dialog.style, kDialogCaption)) style |= WS_CAPTION;
    if (Has(dialog.style, kDialogSystemMenu)) style |= WS_SYSMENU;
    if (Has(dialog.style, kDialogModalFrame)) style |= DS_MODALFRAME;
    if (Has(dialog.style, kDialogResizable)) style |= WS_THICKFRAME;
    return style;
}

struct ControlClass {
    const char* name;
    DWORD style;
};

ControlClass ClassOf(const ControlTemplate& control) {
    const unsigned s = control.style;
    switch (control.kind) {
        case ControlKind::GroupBox:
            return {"Button", DWORD{BS_GROUPBOX} | (Has(s, kCentered) ? BS_CENTER : BS_LEFT)};
        case ControlKind::Label:
            // One line, cut at the control's edge as on Linux: a word wrapped to a second line
            // falls below an 8-unit label and is lost.
            return {"Static", SS_LEFTNOWORDWRAP | SS_NOPREFIX};
        case ControlKind::Edit: {
            DWORD style = Has(s, kCentered) ? ES_CENTER : ES_LEFT;
            if (Has(s, kReadOnly)) style |= ES_READONLY;
            // A multi-line view wraps its lines; a single line scrolls sideways.
            style |= Has(s, kMultiLine) ? ES_MULTILINE : ES_AUTOHSCROLL;
            if (Has(s, kVerticalScroll)) style |= WS_VSCROLL;
            return {"Edit", style};
        }
        case ControlKind::Slider:
            return {"msctls_trackbar32",
                    DWORD{TBS_HORZ | TBS_BOTH} | (Has(s, kNoTicks) ? TBS_NOTICKS : 0)};
        case ControlKind::IconStatic:
            return {"Static", SS_ICON};
        case ControlKind::Line:
            return {"Static", SS_GRAYRECT};
        case ControlKind::Button:
            return {"Button",
                    Has(s, kDefaultButton) ? DWORD{BS_DEFPUSHBUTTON} : DWORD{BS_PUSHBUTTON}};
        case ControlKind::RadioButton:
            return {"Button", BS_AUTORADIOBUTTON};
        case ControlKind::OwnerDraw:
            return {"Static", SS_OWNERDRAW};
    }
    return {"Static", SS_LEFT};
}

void WriteControl(TemplateWriter& out, const ControlTemplate& control) {
    const ControlClass kind = ClassOf(control);
    DWORD style = WS_CHILD | kind.style;
    if (Has(control.style, kVisible)) style |= WS_VISIBLE;
    if (Has(control.style, kTabStop)) style |= WS_TABSTOP;
    if (Has(control.style, kBorder)) style |= WS_BORDER;
    out.AlignDword();
    out.Dword(0);  // help ID
    out.Dword(0);  // extended style
    out.Dword(style);
    out.Word(static_cast<WORD>(control.rect.x));
    out.Word(static_cast<WORD>(control.rect.y));
    out.Word(static_cast<WORD>(control.rect.width));
    out.Word(static_cast<WORD>(control.rect.height));
    out.Dword(static_cast<DWORD>(control.id));
    out.Text(kind.name);
    if (control.kind == ControlKind::IconStatic) {
        out.Word(kIconOrdinal);
        out.Word(static_cast<WORD>(control.icon));
    } else {
        out.Text(control.text);
    }
    out.Word(0);  // no creation data
}

}  // namespace

std::vector<WORD> BuildDialogTemplate(const DialogTemplate& dialog) {
    TemplateWriter out;
    out.Word(1);       // version
    out.Word(0xFFFF);  // an extended template
    out.Dword(0);      // help ID
    out.Dword(Has(dialog.style, kDialogAppWindow) ? WS_EX_APPWINDOW : 0);
    out.Dword(WindowStyleOf(dialog));
    out.Word(static_cast<WORD>(dialog.controls.size()));
    out.Word(0);  // x and y: centred
    out.Word(0);
    out.Word(static_cast<WORD>(dialog.width));
    out.Word(static_cast<WORD>(dialog.height));
    out.Word(0);  // no menu
    out.Word(0);  // the standard dialog class
    out.Text(dialog.caption);
    out.Word(static_cast<WORD>(dialog.pointSize));
    out.Word(FW_NORMAL);
    out.Word(MAKEWORD(FALSE, GB2312_CHARSET));  // not italic; the Chinese character set
    out.Text(dialog.fontFace);
    for (const ControlTemplate& control : dialog.controls) {
        WriteControl(out, control);
    }
    return out.Take();
}
