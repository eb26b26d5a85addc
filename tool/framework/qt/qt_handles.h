// What the framework's opaque handles are under Qt: a window is its widget, an icon a QIcon, a
// device context the painter of the paint event, a menu a QMenu. For the Qt implementation and
// the tests that look at the widgets themselves.
#pragma once

#include "platform.h"

class CWnd;
class QIcon;
class QMenu;
class QPainter;
class QWidget;

inline QWidget* WidgetOf(HWND window) { return static_cast<QWidget*>(window); }
inline HWND HandleOf(QWidget* widget) { return widget; }
QWidget* WidgetOf(const CWnd& window);

inline const QIcon* IconOf(HICON icon) { return reinterpret_cast<const QIcon*>(icon); }
inline HICON HandleOf(const QIcon* icon) {
    return reinterpret_cast<HICON>(const_cast<QIcon*>(icon));
}

inline QPainter* PainterOf(HDC dc) { return reinterpret_cast<QPainter*>(dc); }
inline HDC HandleOf(QPainter* painter) { return reinterpret_cast<HDC>(painter); }

inline QMenu* MenuOf(HMENU menu) { return reinterpret_cast<QMenu*>(menu); }
inline HMENU HandleOf(QMenu* menu) { return reinterpret_cast<HMENU>(menu); }
