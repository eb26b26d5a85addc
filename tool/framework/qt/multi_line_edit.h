// A multi-line edit control. Its text has CR LF line ends, and its positions count both, as the
// edit messages expect; its line count counts displayed rows, so a wrapped line counts once per
// row, and the empty line after a final CR LF counts too.
#pragma once

#include <QPlainTextEdit>

#include "control.h"

class MultiLineEdit : public QPlainTextEdit, public Control {
public:
    explicit MultiLineEdit(QWidget* parent);
    LRESULT ControlProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    QString WindowText() const;

private:
    int ToWindowPosition(int documentPosition) const;
    int ToDocumentPosition(int windowPosition) const;
    int WindowTextLength() const;
    int LineCount() const;
    void Select(int start, int end);
};
