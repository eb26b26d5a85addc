// The device context on Qt: a QPixmap at the screen's pixel ratio, painted with its own
// QPainter and drawn onto the control's painter at the end.
#include "cdc.h"

#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <climits>

#include "qt_handles.h"

namespace {

QColor ColourOf(COLORREF colour) {
    return {GetRValue(colour), GetGValue(colour), GetBValue(colour)};
}

}  // namespace

struct CDC::Drawing {
    QPainter* target;
    QRect area;
    QPixmap pixmap;
    QPainter painter;
    QPoint position;
    QColor textColour = Qt::black;
    int pixelsPerInch;
};

CDC::CDC(const DRAWITEMSTRUCT& item) : m_drawing(std::make_unique<Drawing>()) {
    Drawing& d = *m_drawing;
    const QWidget* control = WidgetOf(item.hwndItem);
    d.target = PainterOf(item.hDC);
    d.area = QRect(QPoint(item.rcItem.left, item.rcItem.top),
                   QPoint(item.rcItem.right - 1, item.rcItem.bottom - 1));
    // The screen's pixels per logical one: the device's ratio, or the scale of a painter that
    // renders the window for another device.
    const qreal ratio = d.target->deviceTransform().m11();
    d.pixmap = QPixmap(d.area.size() * ratio);
    d.pixmap.setDevicePixelRatio(ratio);
    d.pixelsPerInch = static_cast<int>(control->logicalDpiY() * ratio);
    d.painter.begin(&d.pixmap);
    d.painter.translate(-d.area.topLeft());
    d.painter.setFont(control->font());
}

CDC::~CDC() {
    m_drawing->painter.end();
    m_drawing->target->drawPixmap(m_drawing->area.topLeft(), m_drawing->pixmap);
}

int CDC::PixelsPerInch() const { return m_drawing->pixelsPerInch; }

void CDC::SetPen(COLORREF colour, int width, PenStyle style) {
    QPen pen(ColourOf(colour), width, style == PenStyle::Dash ? Qt::DashLine : Qt::SolidLine,
             Qt::FlatCap, Qt::MiterJoin);
    pen.setCosmetic(true);  // widths in the screen's pixels, as GDI's
    m_drawing->painter.setPen(pen);
}

void CDC::MoveTo(int x, int y) { m_drawing->position = {x, y}; }

void CDC::LineTo(int x, int y) {
    m_drawing->painter.drawLine(m_drawing->position, QPoint(x, y));
    m_drawing->position = {x, y};
}

void CDC::Polyline(const POINT* points, int count) {
    QPolygon polygon(count);
    for (int i = 0; i < count; ++i) {
        polygon.setPoint(i, points[i].x, points[i].y);
    }
    m_drawing->painter.drawPolyline(polygon);
}

void CDC::FrameRect(const RECT& rect) {
    m_drawing->painter.setBrush(Qt::NoBrush);
    m_drawing->painter.drawRect(rect.left, rect.top, rect.right - rect.left - 1,
                                rect.bottom - rect.top - 1);
}

void CDC::FillSolidRect(const RECT& rect, COLORREF colour) {
    m_drawing->painter.fillRect(
        QRect(QPoint(rect.left, rect.top), QPoint(rect.right - 1, rect.bottom - 1)),
        ColourOf(colour));
}

void CDC::SetTextColor(COLORREF colour) { m_drawing->textColour = ColourOf(colour); }

void CDC::TextOut(int x, int y, const char* text) {
    QPainter& painter = m_drawing->painter;
    const QPen pen = painter.pen();
    painter.setPen(m_drawing->textColour);
    painter.drawText(QRect(x, y, SHRT_MAX, SHRT_MAX), Qt::AlignLeft | Qt::AlignTop,
                     QString::fromUtf8(text));
    painter.setPen(pen);
}

SIZE CDC::GetTextExtent(const char* text) const {
    const QFontMetrics metrics(m_drawing->painter.font());
    return {.cx = metrics.horizontalAdvance(QString::fromUtf8(text)), .cy = metrics.height()};
}
