#include "single_line_edit.h"

#include <algorithm>

LRESULT SingleLineEdit::ControlProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case EM_GETLINECOUNT:
            return 1;
        case EM_GETSEL: {
            const int start = hasSelectedText() ? selectionStart() : cursorPosition();
            const int end = hasSelectedText() ? selectionEnd() : cursorPosition();
            return SelectionResult(start, end, wParam, lParam);
        }
        case EM_SETSEL: {
            const int start = static_cast<int>(static_cast<INT_PTR>(wParam));
            const int end = static_cast<int>(lParam);
            const int length = static_cast<int>(text().size());
            if (start == -1) {
                deselect();
            } else if (start == 0 && end == -1) {
                selectAll();
            } else {
                const int anchor = std::clamp(start, 0, length);
                const int caret = end < 0 ? length : std::clamp(end, 0, length);
                setSelection(anchor, caret - anchor);
            }
            return 0;
        }
        case EM_REPLACESEL:
            insert(QString::fromUtf8(reinterpret_cast<const char*>(lParam)));
            return 0;
        case EM_SCROLLCARET:
            return 1;  // a line edit always keeps its caret in view
        default:
            return 0;
    }
}
