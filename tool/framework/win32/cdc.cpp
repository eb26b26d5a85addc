// The device context on Windows: a memory DC with a bitmap the size of the control, in the
// control's font, copied onto the control's DC with one BitBlt at the end.
#include "cdc.h"

#include "utf16.h"

struct CDC::Drawing {
    HDC target;
    RECT area;
    HDC memory;
    HBITMAP bitmap;
    HGDIOBJ previousBitmap;
    HGDIOBJ previousFont;
    HPEN pen = nullptr;
    HGDIOBJ previousPen = nullptr;
};

CDC::CDC(const DRAWITEMSTRUCT& item) : m_drawing(std::make_unique<Drawing>()) {
    Drawing& d = *m_drawing;
    d.target = item.hDC;
    d.area = item.rcItem;
    d.memory = CreateCompatibleDC(d.target);
    d.bitmap =
        CreateCompatibleBitmap(d.target, d.area.right - d.area.left, d.area.bottom - d.area.top);
    d.previousBitmap = SelectObject(d.memory, d.bitmap);
    SetViewportOrgEx(d.memory, -d.area.left, -d.area.top, nullptr);
    d.previousFont = SelectObject(
        d.memory, reinterpret_cast<HGDIOBJ>(SendMessageW(item.hwndItem, WM_GETFONT, 0, 0)));
    SetBkMode(d.memory, TRANSPARENT);
}

CDC::~CDC() {
    Drawing& d = *m_drawing;
    BitBlt(d.target, d.area.left, d.area.top, d.area.right - d.area.left,
           d.area.bottom - d.area.top, d.memory, d.area.left, d.area.top, SRCCOPY);
    if (d.pen != nullptr) {
        SelectObject(d.memory, d.previousPen);
        DeleteObject(d.pen);
    }
    SelectObject(d.memory, d.previousFont);
    SelectObject(d.memory, d.previousBitmap);
    DeleteObject(d.bitmap);
    DeleteDC(d.memory);
}

int CDC::PixelsPerInch() const { return GetDeviceCaps(m_drawing->memory, LOGPIXELSY); }

// A geometric pen, so that a dashed line may be wider than one pixel.
void CDC::SetPen(COLORREF colour, int width, PenStyle style) {
    Drawing& d = *m_drawing;
    const LOGBRUSH brush{.lbStyle = BS_SOLID, .lbColor = colour, .lbHatch = 0};
    const DWORD penStyle = PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER |
                           (style == PenStyle::Dash ? PS_DASH : PS_SOLID);
    HPEN pen = ExtCreatePen(penStyle, static_cast<DWORD>(width), &brush, 0, nullptr);
    const HGDIOBJ previous = SelectObject(d.memory, pen);
    if (d.pen != nullptr) {
        DeleteObject(d.pen);
    } else {
        d.previousPen = previous;
    }
    d.pen = pen;
}

void CDC::MoveTo(int x, int y) { MoveToEx(m_drawing->memory, x, y, nullptr); }

void CDC::LineTo(int x, int y) { ::LineTo(m_drawing->memory, x, y); }

void CDC::Polyline(const POINT* points, int count) { ::Polyline(m_drawing->memory, points, count); }

void CDC::FrameRect(const RECT& rect) {
    const HGDIOBJ previous = SelectObject(m_drawing->memory, GetStockObject(NULL_BRUSH));
    ::Rectangle(m_drawing->memory, rect.left, rect.top, rect.right, rect.bottom);
    SelectObject(m_drawing->memory, previous);
}

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
    HBRUSH brush = CreateSolidBrush(colour);
    FillRect(m_drawing->memory, &rect, brush);
    DeleteObject(brush);
}

void CDC::SetTextColor(COLORREF colour) { ::SetTextColor(m_drawing->memory, colour); }

void CDC::TextOut(int x, int y, const char* text) {
    const std::wstring wide = Widen(text);
    ::TextOutW(m_drawing->memory, x, y, wide.c_str(), static_cast<int>(wide.size()));
}

SIZE CDC::GetTextExtent(const char* text) const {
    const std::wstring wide = Widen(text);
    SIZE size{};
    GetTextExtentPoint32W(m_drawing->memory, wide.c_str(), static_cast<int>(wide.size()), &size);
    return size;
}
