#include "graphics/flow_volume_plot.h"

#include "core/simulation_record.h"
#include "graphics/plot_geometry.h"
#include "toolkit/canvas.h"

namespace pulmora {

namespace {

constexpr float kOriginX = 6;     // percent of the width where volume 0 lies
constexpr float kOriginY = 72;    // percent of the height where flow 0 lies
constexpr float kVolumeScale = 11.5f; // percent of the width per litre
constexpr float kFlowScale = 5.6f;    // percent of the height per l/s

float xPercent(double litres) { return static_cast<float>(kOriginX + kVolumeScale * litres); }
float yPercent(double flow) { return static_cast<float>(kOriginY + kFlowScale * flow); }

} // namespace

void DrawFlowVolumePlot(Canvas& c, const RunHistory& history, int displayVariable,
                        const FlowVolumeSampleHook& hook) {
    const int W = c.width(), H = c.height();
    auto X = [&](float p) { return PercentX(W, p); };
    auto Y = [&](float p) { return PercentY(H, p); };

    c.setBrushColor(Qt::white);
    c.fillRect(0, 0, W, H);
    c.setPenWidth(1);
    c.setPenColor(Qt::black);
    c.setPenStyle(PenStyle::Solid);
    c.setFontSize(8);
    const int halfI = static_cast<int>(std::nearbyint(c.textHeight("I") * 0.5));

    // Axes: volume to 8 l, expiratory flow up to 12 l/s, inspiratory down to 4 l/s.
    c.line(X(kOriginX), Y(kOriginY), X(xPercent(8)), Y(kOriginY));
    c.line(X(kOriginX), Y(kOriginY), X(kOriginX), Y(yPercent(-12)));
    c.line(X(kOriginX), Y(kOriginY), X(kOriginX), Y(yPercent(4)));
    c.textOut(X(xPercent(8)) - c.textWidth("Vol (l)"), Y(kOriginY) - c.textHeight("I"), "Vol (l)");
    if (displayVariable >= 1 && displayVariable <= 3) {
        c.textOut(X(kOriginX) + 4, Y(yPercent(-12)) - halfI, "Flow exp. (l/s)");
        c.textOut(X(kOriginX) + 4, Y(yPercent(4)) - halfI, "Flow insp. (l/s)");
    }
    const int halfH = static_cast<int>(std::nearbyint(c.textWidth("H") * 0.5));
    for (int n = 1; n <= 8; ++n) {
        const int x = X(xPercent(n));
        c.line(x, Y(kOriginY), x, Y(kOriginY) + 4);
        c.textOut(x - halfH, Y(kOriginY) + 4, QString::number(n));
    }
    for (int n = 2; n <= 12; n += 2) {
        const int y = Y(yPercent(-n));
        c.line(X(kOriginX), y, X(kOriginX) - 4, y);
        const QString text = QString::number(n);
        c.textOut(X(kOriginX) - c.textWidth(text) - c.textWidth("-") - 3, y - halfI, text);
    }
    for (int n = 2; n <= 4; n += 2) {
        const int y = Y(yPercent(n));
        c.line(X(kOriginX), y, X(kOriginX) - 4, y);
        c.textOut(X(kOriginX) - c.textWidth(QString::number(n)) - 2 * c.textWidth("-") - 3,
                  y - halfI, QString::number(-n));
    }

    // Back to front: the reference, then the older runs, the newest on top.
    int widths[kHistorySlots] = {1, 1, 1, 1, 1};
    if (history.selectedRun > 0 && history.selectedRun < kHistorySlots)
        widths[history.selectedRun] = 3;
    for (int slot : {0, 3, 2, 1}) {
        DrawFlowVolumeCurve(c, history, slot, CurveColours[slot], slot == 0 ? 1 : widths[slot],
                            hook);
        DrawFev1Marker(c, history, slot, CurveColours[slot]);
    }
}

void DrawFlowVolumeCurve(Canvas& c, const RunHistory& history, int slot, const QColor& colour,
                         int width, const FlowVolumeSampleHook& hook) {
    const SimulationRecord& r = history.slot(slot);
    const int W = c.width(), H = c.height();
    float Vmax = -100, Vmin = 100;
    for (float v : r.volumeCurve) {
        if (v > Vmax) Vmax = v;
        if (v > 0 && v < Vmin) Vmin = v;
    }
    // Horizontally: the volume expired since the run's largest volume.
    auto point = [&](int i) {
        return QPoint(PercentX(W, xPercent(double{Vmax} - double{r.volumeCurve[i - 1]})),
                      PercentY(H, yPercent(r.flowCurve[i - 1])));
    };
    const QPoint first = point(1);
    c.moveTo(first.x(), first.y());
    c.setPenColor(colour);
    c.setPenWidth(width);
    c.setPenStyle(PenStyle::Solid);
    for (int i = 2; i <= kFlowVolumeSamples; ++i) {
        if (r.volumeCurve[i - 1] == 0) break;
        // A segment ending on a zero flow is not shown; the pen still moves.
        c.setPenStyle(r.flowCurve[i - 1] != 0 ? PenStyle::Solid : PenStyle::Invisible);
        const QPoint p = point(i);
        c.lineTo(p.x(), p.y());
        if (hook && width > 1 && !hook(slot, i, Vmax, Vmin)) break;
    }
    c.setPenColor(Qt::black);
    c.setPenStyle(PenStyle::Solid);
}

void DrawFev1Marker(Canvas& c, const RunHistory& history, int slot, const QColor& colour) {
    const SimulationRecord& r = history.slot(slot);
    if (!(r.volumeCurve[1] != 0 && r.fev1 > 0 && r.frc > 0)) return;
    c.setPenColor(colour);
    const int x = PercentX(c.width(), xPercent(r.fev1));
    const int y = PercentY(c.height(), yPercent(r.flowAtFev1));
    c.line(x, y, x, y - 8);
    c.setPenColor(Qt::black);
}

} // namespace pulmora
