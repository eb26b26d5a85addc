// A device context for custom drawing: pens, lines, polylines, rectangles, fills and text, drawn
// into a memory bitmap first and copied onto the window in one piece when the context ends, so a
// picture redrawn ten times a second never shows half-drawn. Made over the painting a control's
// WM_DRAWITEM hands its dialog; coordinates are the control's, in pixels.
#pragma once

#include <memory>

#include "platform.h"

enum class PenStyle { Solid, Dash };

class CDC {
public:
    // Draws on the control and the device context `item` names, in the control's font.
    explicit CDC(const DRAWITEMSTRUCT& item);
    ~CDC();
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    // Pixels per inch of the drawing: 96 at 100 %, 144 at 150 %.
    int PixelsPerInch() const;

    // Lines, polylines and rectangle outlines are drawn with the pen set last; its width is in
    // the screen's pixels.
    void SetPen(COLORREF colour, int width, PenStyle style = PenStyle::Solid);
    void MoveTo(int x, int y);
    void LineTo(int x, int y);
    void Polyline(const POINT* points, int count);
    // The outline of `rect`, right and bottom edges inside it.
    void FrameRect(const RECT& rect);
    void FillSolidRect(const RECT& rect, COLORREF colour);

    void SetTextColor(COLORREF colour);
    // UTF-8 text with its top-left corner at (x, y).
    void TextOut(int x, int y, const char* text);
    SIZE GetTextExtent(const char* text) const;

private:
    struct Drawing;  // the platform's memory bitmap and what draws on it
    std::unique_ptr<Drawing> m_drawing;
};
