#include "multi_line_edit.h"

#include <QAbstractTextDocumentLayout>
#include <QScrollBar>
#include <QTextBlock>
#include <algorithm>

namespace {

// EM_GETSEL's answer: start and end through the optional DWORD pointers, both packed in the result.
LRESULT SelectionResult(int start, int end, WPARAM wParam, LPARAM lParam) {
    if (wParam != 0) {
        *reinterpret_cast<DWORD*>(wParam) = static_cast<DWORD>(start);
    }
    if (lParam != 0) {
        *reinterpret_cast<DWORD*>(lParam) = static_cast<DWORD>(end);
    }
    return static_cast<LRESULT>((static_cast<DWORD>(start) & 0xFFFF) |
                                ((static_cast<DWORD>(end) & 0xFFFF) << 16));
}

}  // namespace

MultiLineEdit::MultiLineEdit(QWidget* parent) : QPlainTextEdit(parent) {
    setTabChangesFocus(true);  // Tab moves through the dialog, as in every dialog edit
    setUndoRedoEnabled(false);
}

QString MultiLineEdit::WindowText() const {
    QString text = toPlainText();
    text.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return text;
}

// Every block before the position adds one character: its line end is CR LF, not one separator.
int MultiLineEdit::ToWindowPosition(int documentPosition) const {
    return documentPosition + document()->findBlock(documentPosition).blockNumber();
}

int MultiLineEdit::ToDocumentPosition(int windowPosition) const {
    for (QTextBlock block = document()->lastBlock(); block.isValid(); block = block.previous()) {
        const int windowStart = block.position() + block.blockNumber();
        if (windowPosition >= windowStart) {
            // A position between CR and LF falls to the end of the line.
            return block.position() + std::min(windowPosition - windowStart, block.length() - 1);
        }
    }
    return 0;
}

int MultiLineEdit::WindowTextLength() const {
    return ToWindowPosition(document()->characterCount() - 1);
}

int MultiLineEdit::LineCount() const {
    QAbstractTextDocumentLayout* layout = document()->documentLayout();
    int lines = 0;
    for (QTextBlock block = document()->begin(); block.isValid(); block = block.next()) {
        layout->blockBoundingRect(block);  // lays the block out at the current width
        lines += std::max(block.lineCount(), 1);
    }
    return lines;
}

// Selecting does not scroll: only EM_SCROLLCARET and replacing do.
void MultiLineEdit::Select(int start, int end) {
    const int length = WindowTextLength();
    QTextCursor cursor = textCursor();
    if (start == -1) {
        cursor.clearSelection();
    } else if (start == 0 && end == -1) {
        cursor.select(QTextCursor::Document);
    } else {
        const int caret = end < 0 ? length : std::min(end, length);
        cursor.setPosition(ToDocumentPosition(std::clamp(start, 0, length)));
        cursor.setPosition(ToDocumentPosition(caret), QTextCursor::KeepAnchor);
    }
    const int scrolled = verticalScrollBar()->value();
    setTextCursor(cursor);
    verticalScrollBar()->setValue(scrolled);
}

LRESULT MultiLineEdit::ControlProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case EM_GETLINECOUNT:
            return LineCount();
        case EM_GETSEL: {
            const QTextCursor cursor = textCursor();
            return SelectionResult(ToWindowPosition(cursor.selectionStart()),
                                   ToWindowPosition(cursor.selectionEnd()), wParam, lParam);
        }
        case EM_SETSEL:
            Select(static_cast<int>(static_cast<INT_PTR>(wParam)), static_cast<int>(lParam));
            return 0;
        case EM_REPLACESEL: {
            QTextCursor cursor = textCursor();
            cursor.insertText(QString::fromUtf8(reinterpret_cast<const char*>(lParam)));
            setTextCursor(cursor);
            ensureCursorVisible();
            return 0;
        }
        case EM_SCROLLCARET:
            ensureCursorVisible();
            return 1;
        default:
            return 0;
    }
}
