// Renders the main dialog (connected to a simulated sensor) and the About box to PNG files under
// the build folder, for a person to look at, and checks that every caption's characters exist in
// the font the dialogs use, so none renders as a box.
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPixmap>
#include <QWidget>

#include "about_dlg.h"
#include "dialog_fixture.h"
#include "dialog_templates.h"
#include "qt_handles.h"
#include "resource.h"

namespace {

class ScreenshotTest : public DialogFixture {};

void ExpectEveryCaptionInFont(const DialogTemplate& dialog, const QFont& font) {
    const QFontMetrics metrics(font);
    std::vector<const char*> texts = {dialog.caption};
    for (const ControlTemplate& control : dialog.controls) {
        texts.push_back(control.text);
    }
    for (const char* text : texts) {
        for (const char32_t c : QString::fromUtf8(text).toUcs4()) {
            EXPECT_TRUE(metrics.inFontUcs4(c)) << "U+" << std::hex << static_cast<unsigned>(c);
        }
    }
}

QString Save(QWidget* window, const char* name) {
    QDir().mkpath(QStringLiteral(KQ_SCREENSHOT_DIR));
    const QString path = QStringLiteral(KQ_SCREENSHOT_DIR "/") + QString::fromUtf8(name);
    const QPixmap picture = window->grab();
    EXPECT_EQ(picture.size(), window->size());
    EXPECT_TRUE(picture.save(path));
    return path;
}

}  // namespace

TEST_F(ScreenshotTest, MainDialogRendersInTheSongFace) {
    Sensor(3);
    QWidget* window = WidgetOf(OpenMainDialog());
    EXPECT_EQ(QFontInfo(window->font()).family().toStdString(), "AR PL UMing CN");
    ExpectEveryCaptionInFont(kMainTemplate, window->font());
    ExpectEveryCaptionInFont(kAboutTemplate, window->font());
    EXPECT_FALSE(QPixmap(Save(window, "main-dialog.png")).isNull());
}

TEST_F(ScreenshotTest, AboutBoxRendersInTheSongFace) {
    CAboutDlg about;
    ASSERT_TRUE(about.Create());
    QWidget* window = WidgetOf(about);
    EXPECT_EQ(window->windowTitle().toStdString(), "关于 KQ_Tools");
    EXPECT_EQ(window->font().pointSize(), 9);
    EXPECT_FALSE(QPixmap(Save(window, "about.png")).isNull());
}
