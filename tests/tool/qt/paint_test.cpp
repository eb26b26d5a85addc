// The main dialog's window behaviours: its icon drawn centred while minimized, the drag icon,
// and the icons it gives its window.
#include <QIcon>
#include <QImage>
#include <QPainter>
#include <QWidget>

#include "dialog_fixture.h"
#include "qt_handles.h"
#include "resource.h"

namespace {

class PaintTest : public DialogFixture {};

// The minimized dialog's own painting, without its controls, in an image of its client size.
QImage PaintMinimized(QWidget* window, int side) {
    window->setFixedSize(side, side);
    window->setWindowState(Qt::WindowMinimized);
    QImage image(side, side, QImage::Format_ARGB32);
    image.fill(Qt::magenta);
    window->render(&image, QPoint(), QRegion(), QWidget::DrawWindowBackground);
    return image;
}

}  // namespace

TEST_F(PaintTest, MinimizedDialogDrawsItsIconCentred) {
    CToolsDlg& dialog = OpenMainDialog();
    ASSERT_EQ(GetSystemMetrics(SM_CXICON), 32);
    for (const auto& [side, corner] : {std::pair{36, 2}, std::pair{37, 3}, std::pair{40, 4}}) {
        const QImage painted = PaintMinimized(WidgetOf(dialog), side);
        QImage expected(side, side, QImage::Format_ARGB32);
        expected.fill(WidgetOf(dialog)->palette().window().color());
        {
            QPainter painter(&expected);
            IconOf(dialog.m_hIcon)->paint(&painter, corner, corner, 32, 32);
        }
        EXPECT_EQ(painted, expected) << side;
    }
}

TEST_F(PaintTest, DragIconAndWindowIconAreTheApplicationIcon) {
    CToolsDlg& dialog = OpenMainDialog();
    EXPECT_EQ(reinterpret_cast<HICON>(dialog.SendMessage(WM_QUERYDRAGICON)), dialog.m_hIcon);
    // Both sizes were set to it: setting one gives back the one before.
    EXPECT_EQ(dialog.SetIcon(nullptr, TRUE), dialog.m_hIcon);
    EXPECT_EQ(dialog.SetIcon(nullptr, FALSE), dialog.m_hIcon);
    EXPECT_TRUE(WidgetOf(dialog)->windowIcon().isNull());
}
