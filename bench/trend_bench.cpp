// What the trend window costs with a full recording (18,000 polls, 30 minutes) shown at the
// 30-minute span: the time of one repaint of its plots, the share of a core the window takes while
// a poll arrives ten times a second (each recorded and shown live), and the recording's memory.
// The window runs in this process on Qt's offscreen platform; the polls are made up here, so the
// figures are the window's own, on top of the polling tool_cpu measures.
// Usage: trend_bench [SECONDS]   (the live stretch; 20 by default)
#include <stdlib.h>
#include <sys/resource.h>

#include <QAbstractButton>
#include <QApplication>
#include <QElapsedTimer>
#include <QPixmap>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

#include "qt_handles.h"
#include "resource.h"
#include "tool_resources.h"
#include "trend_dlg.h"

namespace {

constexpr int kRepaints = 200;
constexpr double kRepaintTargetMs = 5.0;
constexpr double kCpuTargetPercent = 3.0;
constexpr std::size_t kMemoryTargetBytes = 2 * 1024 * 1024;
constexpr int kPollMs = 100;
constexpr int kWindowWidth = 1200;  // a window made large, so the plots have many columns
constexpr int kWindowHeight = 700;

std::int64_t NowMs() {
    return std::chrono::duration_cast<std::chrono::milliseconds>(
               std::chrono::system_clock::now().time_since_epoch())
        .count();
}

double CpuSeconds() {
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

// A poll as a restless sensor gives it, an alarm now and then.
StatusReadings MadeUpPoll(int i) {
    return {.vibration = static_cast<float>(0.2 + 0.15 * std::sin(i / 9.0) + (i % 997 == 0)),
            .movement = static_cast<std::int16_t>(60 * std::sin(i / 31.0)),
            .temperature = 25,
            .flags = static_cast<std::uint8_t>(i % 3000 < 200 ? 1 : 0),
            .learnedVibration = 0,
            .learnedMovement = 0,
            .recordCount = 0};
}

}  // namespace

int main(int argc, char** argv) {
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 20;
    setenv("QT_QPA_PLATFORM", "offscreen", 1);
    QApplication application(argc, argv);
    AfxSetResourceHandle(&ToolResources());

    TrendSources sources;
    sources.vibrationAlarm = 0.5f;
    sources.movementAlarm = 100;
    const std::int64_t start = NowMs() - TrendRecording::kKeptMs;
    int polls = 0;
    for (; polls < static_cast<int>(TrendRecording::kCapacity); ++polls) {
        sources.recording.Record(start + polls * kPollMs, MadeUpPoll(polls));
    }
    CTrendDlg trend(sources, nullptr);
    trend.Open();
    QWidget* window = WidgetOf(trend);
    window->findChild<QAbstractButton*>(QString::number(IDC_TREND_SPAN_30))->click();
    window->resize(kWindowWidth, kWindowHeight);
    QApplication::processEvents();
    QWidget* plots = window->findChild<QWidget*>(QString::number(IDC_TREND_PLOTS));
    std::printf("trend window %dx%d, plots %dx%d, %zu samples\n", window->width(), window->height(),
                plots->width(), plots->height(), sources.recording.Size());

    // CPU time, not wall time: on a shared machine the wall clock counts the others' work too.
    QPixmap picture(plots->size());
    const double repaintsBefore = CpuSeconds();
    for (int i = 0; i < kRepaints; ++i) plots->render(&picture);
    const double repaintMs = (CpuSeconds() - repaintsBefore) * 1000 / kRepaints;
    std::printf("one repaint at the 30-minute span   %6.2f ms of CPU%s\n", repaintMs,
                repaintMs < kRepaintTargetMs ? "" : "  ABOVE TARGET");
    QElapsedTimer clock;

    QTimer poller;
    poller.setTimerType(Qt::PreciseTimer);
    QObject::connect(&poller, &QTimer::timeout, [&] {
        sources.recording.Record(NowMs(), MadeUpPoll(polls++));
        trend.OnPollRecorded();
    });
    const double cpuBefore = CpuSeconds();
    clock.start();
    poller.start(kPollMs);
    QTimer::singleShot(seconds * 1000, &application, &QApplication::quit);
    QApplication::exec();
    const double wall = static_cast<double>(clock.elapsed()) / 1000;
    const double percent = 100 * (CpuSeconds() - cpuBefore) / wall;
    std::printf("live at 10 polls a second           %6.2f %% of one core over %.0f s%s\n", percent,
                wall, percent < kCpuTargetPercent ? "" : "  ABOVE TARGET");

    const std::size_t bytes = sources.recording.Bytes();
    std::printf("recording of %zu samples            %6.0f kB (%zu bytes a sample)%s\n",
                sources.recording.Size(), static_cast<double>(bytes) / 1024, sizeof(TrendSample),
                bytes < kMemoryTargetBytes ? "" : "  ABOVE TARGET");
    return 0;
}
