// Renders the main dialog (connected to a simulated sensor), the About box and the trend window
// (at 96 and at 144 DPI) to PNG files under the build folder, for a person to look at, and checks
// that every caption's characters exist in the font the dialogs use, so none renders as a box.
#include <QDir>
#include <QFontInfo>
#include <QFontMetrics>
#include <QPainter>
#include <QPixmap>
#include <QWidget>
#include <chrono>
#include <cmath>

#include "about_dlg.h"
#include "dialog_fixture.h"
#include "dialog_templates.h"
#include "qt_handles.h"
#include "resource.h"
#include "sensor_contract.h"
#include "tool_state.h"
#include "trend_dlg.h"

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

// The last minute as the trend window records it: a quiet signal with a one-sample knock, an
// alarm period, a lost link and the thresholds the sensor reported.
TrendSources MinuteWithAKnock() {
    TrendSources sources;
    sources.vibrationAlarm = 0.6f;
    sources.movementAlarm = 80;
    sources.learnedMovement = 45;
    const auto now = std::chrono::duration_cast<std::chrono::milliseconds>(
                         std::chrono::system_clock::now().time_since_epoch())
                         .count();
    constexpr int kPolls = 600;
    for (int i = 0; i < kPolls; ++i) {
        const std::int64_t ms = now - (kPolls - i) * 100;
        if (i >= 400 && i < 430) {  // three seconds without an answer
            sources.recording.Record(ms, std::nullopt);
            continue;
        }
        const bool alarm = i >= 200 && i < 260;
        StatusReadings status{};
        status.vibration = static_cast<float>(0.12 + 0.05 * std::sin(i / 7.0) + (alarm ? 0.55 : 0));
        status.movement = static_cast<std::int16_t>(i == 120 ? -140 : 30 * std::sin(i / 23.0));
        status.flags = alarm ? sensor::kFlagVibration : 0;
        if (i == 500) status.vibration = 0.93f;  // one sample's knock
        sources.recording.Record(ms, status);
    }
    return sources;
}

// The window as a screen of `ratio` times 96 DPI shows it.
QString SaveScaled(QWidget* window, const char* name, qreal ratio) {
    QDir().mkpath(QStringLiteral(KQ_SCREENSHOT_DIR));
    const QString path = QStringLiteral(KQ_SCREENSHOT_DIR "/") + QString::fromUtf8(name);
    QPixmap picture(window->size() * ratio);
    picture.setDevicePixelRatio(ratio);
    window->render(&picture);
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

TEST_F(ScreenshotTest, TrendWindowShowsAKnockAnAlarmAGapAndTheThresholds) {
    Sensor(3);
    CToolsDlg& main = OpenMainDialog();
    main.KillTimer(1);
    const TrendSources sources = MinuteWithAKnock();
    g_bLearnMovement = 1;
    CTrendDlg trend(sources, &main);
    trend.Open();
    QWidget* window = WidgetOf(trend);
    EXPECT_EQ(window->windowTitle().toStdString(), "实时曲线");
    ExpectEveryCaptionInFont(kTrendTemplate, window->font());
    window->resize(window->minimumSize() * 1.3);
    ProcessEventsFor(50);
    EXPECT_EQ(Text(IDC_STATUS), "系统状态：设备连接成功!");
    const DialogDriver driver(trend);
    EXPECT_EQ(driver.Text(IDC_TREND_VIBRATION_PEAK), "振动峰值: 0.93 G");
    EXPECT_EQ(driver.Text(IDC_TREND_MOVEMENT_PEAK), "移动峰值: -140 度/S");
    EXPECT_FALSE(QPixmap(SaveScaled(window, "trend-96dpi.png", 1)).isNull());
    EXPECT_FALSE(QPixmap(SaveScaled(window, "trend-144dpi.png", 1.5)).isNull());
}
