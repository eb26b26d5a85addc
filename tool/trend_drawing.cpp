#include "trend_drawing.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include "cdc.h"
#include "cstring.h"
#include "trend_plot.h"

namespace {

constexpr COLORREF kFace = RGB(240, 240, 240);
constexpr COLORREF kPaper = RGB(255, 255, 255);
constexpr COLORREF kGrid = RGB(225, 225, 225);
constexpr COLORREF kFrame = RGB(0, 0, 0);
constexpr COLORREF kText = RGB(0, 0, 0);
constexpr COLORREF kAlarmShade = RGB(255, 215, 215);
constexpr COLORREF kThreshold = RGB(220, 0, 0);
constexpr COLORREF kLearned = RGB(230, 130, 0);
constexpr COLORREF kCurve = RGB(0, 60, 190);

constexpr int kStandardDpi = 96;
constexpr int kTickSpacingLines = 2;  // value ticks at least two text lines apart
constexpr int kTimeLabelSpacing = 3;  // time ticks at least three label widths apart
// The widest value labels the plots leave room for: movement of four digits with its sign,
// vibration with two decimals.
constexpr char kWidestValueLabel[] = "-2000";
constexpr char kWidestFractionLabel[] = "0.00";

struct Channel {
    TrendChannel channel;
    const char* title;
    double minimumRange;
    double finestStep;
    std::optional<double> threshold;
    std::optional<double> learned;
};

// Where value `v` lies in `plot` on `scale`.
int YOf(double v, const TrendScale& scale, const PlotRect& plot) {
    const double fraction = (v - scale.low) / (scale.high - scale.low);
    return plot.bottom - 1 - static_cast<int>(std::lround(fraction * (plot.bottom - 1 - plot.top)));
}

int XOf(std::int64_t ms, const TrendView& view, const PlotRect& plot) {
    return plot.left + static_cast<int>((ms - view.fromMs) * (plot.right - plot.left) /
                                        (view.toMs - view.fromMs));
}

TrendScale ScaleOf(const std::vector<TrendColumn>& columns, const Channel& channel, int maxTicks) {
    double low = 0;
    double high = 0;
    for (const TrendColumn& column : columns) {
        if (column.hasData) {
            low = std::min(low, static_cast<double>(column.low));
            high = std::max(high, static_cast<double>(column.high));
        }
    }
    for (const std::optional<double>& line : {channel.threshold, channel.learned}) {
        if (line) {
            low = std::min(low, *line);
            high = std::max(high, *line);
        }
    }
    TrendScale scale = NiceScale(low, high, maxTicks, channel.minimumRange, channel.finestStep);
    // A line on the frame's edge would hide in it: one more step gives it room.
    for (const std::optional<double>& line : {channel.threshold, channel.learned}) {
        if (line && *line >= scale.high - scale.step / 10) scale.high += scale.step;
        if (line && *line < 0 && *line <= scale.low + scale.step / 10) scale.low -= scale.step;
    }
    return scale;
}

CString TickLabel(double value, int decimals) {
    CString label;
    label.Format("%.*f", decimals, value + 0.0);  // + 0.0: no "-0"
    return label;
}

// Alarm columns as shaded bands. A band goes on over columns no poll fell in (a narrow span has
// more columns than polls), up to the next poll, unless a gap lies between.
void ShadeAlarms(CDC& dc, const std::vector<TrendColumn>& columns, const PlotRect& plot) {
    constexpr int kNoBand = -1;
    int start = kNoBand;
    int end = 0;
    const auto shade = [&] {
        if (start != kNoBand) {
            dc.FillSolidRect({plot.left + start, plot.top, plot.left + end, plot.bottom},
                             kAlarmShade);
        }
        start = kNoBand;
    };
    for (int c = 0; c < static_cast<int>(columns.size()); ++c) {
        const TrendColumn& column = columns[static_cast<std::size_t>(c)];
        if (!column.hasData) continue;
        if (!column.alarm || !column.joined) shade();
        if (column.alarm) {
            if (start == kNoBand) start = c;
            end = c + 1;
        }
    }
    shade();
}

// Each run of joined columns is one polyline through every column's first, lowest, highest and
// last value, so that a one-sample spike shows as a line of its own.
void DrawCurve(CDC& dc, const std::vector<TrendColumn>& columns, const TrendScale& scale,
               const PlotRect& plot) {
    std::vector<POINT> run;
    const auto flush = [&] {
        if (run.size() == 1) run.push_back({run[0].x, run[0].y + 1});  // a lone sample: a dot
        if (run.size() > 1) dc.Polyline(run.data(), static_cast<int>(run.size()));
        run.clear();
    };
    const auto add = [&](LONG x, double v) {
        const POINT point{x, YOf(v, scale, plot)};
        if (run.empty() || run.back().x != point.x || run.back().y != point.y) run.push_back(point);
    };
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const TrendColumn& column = columns[c];
        if (!column.hasData) continue;
        if (!column.joined) flush();
        const auto x = static_cast<LONG>(plot.left + static_cast<int>(c));
        add(x, column.first);
        add(x, column.first <= column.last ? column.low : column.high);
        add(x, column.first <= column.last ? column.high : column.low);
        add(x, column.last);
    }
    flush();
}

void DrawPlot(CDC& dc, const Channel& channel, const PlotRect& plot, const TrendScale& scale,
              const std::vector<TrendColumn>& columns, const TrendView& view,
              const std::vector<TimeTick>& ticks, int unit) {
    const int textHeight = dc.GetTextExtent("0").cy;
    dc.FillSolidRect({plot.left, plot.top, plot.right, plot.bottom}, kPaper);
    ShadeAlarms(dc, columns, plot);

    dc.SetTextColor(kText);
    dc.TextOut(plot.left, plot.top - textHeight - unit, channel.title);
    dc.SetPen(kGrid, unit);
    for (double v = scale.low; v <= scale.high + scale.step / 2; v += scale.step) {
        const int y = YOf(v, scale, plot);
        dc.MoveTo(plot.left, y);
        dc.LineTo(plot.right, y);
        const CString label = TickLabel(v, scale.decimals);
        const SIZE size = dc.GetTextExtent(label);
        dc.TextOut(plot.left - size.cx - textHeight / 2, y - size.cy / 2, label);
    }
    for (const TimeTick& tick : ticks) {
        const int x = XOf(tick.ms, view, plot);
        dc.MoveTo(x, plot.top);
        dc.LineTo(x, plot.bottom);
        const SIZE size = dc.GetTextExtent(tick.label.c_str());
        // Within the control's right margin, clear of the value labels on the left.
        if (x + size.cx / 2 <= plot.right + textHeight &&
            x - size.cx / 2 >= plot.left - textHeight / 2) {
            dc.TextOut(x - size.cx / 2, plot.bottom + unit, tick.label.c_str());
        }
    }

    if (channel.learned) {
        dc.SetPen(kLearned, unit, PenStyle::Dash);
        const int y = YOf(*channel.learned, scale, plot);
        dc.MoveTo(plot.left, y);
        dc.LineTo(plot.right, y);
    }
    if (channel.threshold) {
        dc.SetPen(kThreshold, unit);
        const int y = YOf(*channel.threshold, scale, plot);
        dc.MoveTo(plot.left, y);
        dc.LineTo(plot.right, y);
    }
    dc.SetPen(kCurve, unit);
    DrawCurve(dc, columns, scale, plot);
    dc.SetPen(kFrame, 1);
    dc.FrameRect({plot.left, plot.top, plot.right, plot.bottom});
}

}  // namespace

void DrawTrend(CDC& dc, const RECT& area, const TrendSources& sources, const TrendView& view) {
    dc.FillSolidRect(area, kFace);
    const int width = area.right - area.left;
    const int height = area.bottom - area.top;
    const int unit = std::max(1, (dc.PixelsPerInch() + kStandardDpi / 2) / kStandardDpi);
    const int textHeight = dc.GetTextExtent("0").cy;

    const Channel channels[] = {
        {.channel = TrendChannel::Vibration,
         .title = "振动 (G)",
         .minimumRange = 0.1,
         .finestStep = 0.01,
         .threshold = sources.vibrationAlarm,
         .learned = view.learningVibration ? std::optional<double>(sources.learnedVibration)
                                           : std::nullopt},
        {.channel = TrendChannel::Movement,
         .title = "移动 (度/S)",
         .minimumRange = 10,
         .finestStep = 1,
         .threshold = sources.movementAlarm,
         .learned =
             view.learningMovement ? std::optional<double>(sources.learnedMovement) : std::nullopt},
    };
    // Room for the widest label any scale has, so that the plots keep their place as the scales
    // change.
    const int labelWidth =
        std::max(dc.GetTextExtent(kWidestValueLabel).cx, dc.GetTextExtent(kWidestFractionLabel).cx);
    const TrendLayout layout = LayOutPlots(width, height, textHeight, labelWidth);
    const PlotRect plots[] = {layout.vibration, layout.movement};
    const int plotWidth = plots[0].right - plots[0].left;
    const int maxValueTicks =
        std::max(1, (plots[0].bottom - plots[0].top) / (kTickSpacingLines * textHeight));
    const int timeLabelWidth = dc.GetTextExtent("00:00:00").cx;
    const std::vector<TimeTick> ticks =
        TimeTicks(view.fromMs, view.toMs, plotWidth / (kTimeLabelSpacing * timeLabelWidth / 2),
                  view.utcOffsetSeconds);
    for (int i = 0; i < 2; ++i) {
        PlotRect plot = plots[i];
        plot.left += area.left;
        plot.right += area.left;
        plot.top += area.top;
        plot.bottom += area.top;
        const std::vector<TrendColumn> columns = ReduceToColumns(
            sources.recording, channels[i].channel, view.fromMs, view.toMs, plotWidth);
        DrawPlot(dc, channels[i], plot, ScaleOf(columns, channels[i], maxValueTicks), columns, view,
                 ticks, unit);
    }
}
