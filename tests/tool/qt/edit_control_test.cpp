// The edit messages on the history view: positions count CR LF as two
// characters, the line count counts displayed rows with the empty one after a final line end,
// selecting does not scroll and scrolling the caret does.
#include <QPlainTextEdit>
#include <QScrollBar>

#include "dialog_fixture.h"
#include "qt_control.h"
#include "resource.h"

namespace {

class EditControlTest : public DialogFixture {
protected:
    LRESULT History(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) {
        return m_dialog->m_editHistory.SendMessage(message, wParam, lParam);
    }

    // Appends a line at the end of the view, selecting the end first.
    void Append(const char* line) {
        History(EM_SETSEL, 0, -1);
        DWORD start = 0;
        DWORD end = 0;
        History(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        History(EM_SETSEL, end, static_cast<LPARAM>(end));
        History(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(line));
    }

    std::pair<int, int> Selection() {
        DWORD start = 0;
        DWORD end = 0;
        const LRESULT packed =
            History(EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
        EXPECT_EQ(packed, static_cast<LRESULT>(start | (end << 16)));
        return {static_cast<int>(start), static_cast<int>(end)};
    }
};

}  // namespace

TEST_F(EditControlTest, LinesAppendWithCrLfAndCountTheEmptyLastLine) {
    OpenMainDialog();
    EXPECT_EQ(History(EM_GETLINECOUNT), 1);
    Append("  1        振动\r\n");
    Append("  2        移动\r\n");
    EXPECT_EQ(Text(IDC_HISTORY), "  1        振动\r\n  2        移动\r\n");
    EXPECT_EQ(History(EM_GETLINECOUNT), 3);
    History(EM_SETSEL, 0, -1);
    EXPECT_EQ(Selection(), std::make_pair(0, 30));  // 13 characters and CR LF, twice
}

TEST_F(EditControlTest, PositionsCountLineEndsAsTwo) {
    OpenMainDialog();
    SetText(IDC_HISTORY, "ab\r\ncd\r\nef");
    History(EM_SETSEL, 4, 6);
    EXPECT_EQ(Selection(), std::make_pair(4, 6));
    History(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>("XY"));
    EXPECT_EQ(Text(IDC_HISTORY), "ab\r\nXY\r\nef");
    History(EM_SETSEL, 3, 3);  // between CR and LF: the end of that line
    EXPECT_EQ(Selection(), std::make_pair(2, 2));
    History(EM_SETSEL, 8, 100);
    EXPECT_EQ(Selection(), std::make_pair(8, 10));
    History(EM_SETSEL, static_cast<WPARAM>(-1), 0);
    EXPECT_EQ(Selection(), std::make_pair(10, 10));
    History(EM_SETSEL, 0, -1);
    History(EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(""));
    EXPECT_EQ(Text(IDC_HISTORY), "");
}

TEST_F(EditControlTest, AWrappedLineCountsOncePerRow) {
    OpenMainDialog();
    std::string line;
    for (int i = 0; i < 60; ++i) {
        line += "振";
    }
    Append((line + "\r\n").c_str());
    EXPECT_GT(History(EM_GETLINECOUNT), 2);
}

TEST_F(EditControlTest, SelectingDoesNotScrollButScrollingTheCaretDoes) {
    OpenMainDialog();
    for (int i = 0; i < 40; ++i) {
        Append("line\r\n");
    }
    auto* view = dynamic_cast<QPlainTextEdit*>(ControlWidget(*m_dialog, IDC_HISTORY));
    QScrollBar* bar = view->verticalScrollBar();
    ASSERT_GT(bar->maximum(), 0);
    bar->setValue(0);
    History(EM_SETSEL, 0, -1);
    History(EM_SETSEL, 240, 240);  // the end
    EXPECT_EQ(bar->value(), 0);
    EXPECT_FALSE(view->viewport()->rect().contains(view->cursorRect()));
    EXPECT_EQ(History(EM_SCROLLCARET), 1);
    EXPECT_GT(bar->value(), 0);
    EXPECT_TRUE(view->viewport()->rect().contains(view->cursorRect()));
}
