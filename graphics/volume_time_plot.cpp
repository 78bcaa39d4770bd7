#include "graphics/volume_time_plot.h"

#include <QFont>

#include <cassert>
#include <cmath>

#include "core/simulation_record.h"
#include "graphics/plot_geometry.h"
#include "toolkit/canvas.h"

namespace pulmora {

namespace {

constexpr float kOriginX = 6;      // percent of the width where time 0 lies
constexpr float kOriginY = 92;     // percent of the height where volume 0 lies
constexpr float kTimeScale = 1.52f; // percent of the width per second
constexpr float kVolumeScale = 8;  // percent of the height per litre
constexpr float kAxisY = 84;       // the time axis lies at 1 litre
constexpr float kAxisEnd = 97.2f;  // 60 s
constexpr float kVolumeTop = 12;   // 10 litres

float xPercent(double seconds) { return static_cast<float>(kOriginX + kTimeScale * seconds); }
float yPercent(double litres) { return static_cast<float>(kOriginY - kVolumeScale * litres); }

void drawFrame(Canvas& c, const RunHistory& history) {
    const int W = c.width(), H = c.height();
    auto X = [&](float p) { return PercentX(W, p); };
    auto Y = [&](float p) { return PercentY(H, p); };
    c.setBrushColor(Qt::white);
    c.fillRect(0, 0, W, H);
    c.setPenColor(Qt::black);
    c.setPenWidth(1);
    c.setPenStyle(PenStyle::Solid);
    // A small serif face in place of the classic "MS Serif".
    QFont font("DejaVu Serif");
    font.setStyleHint(QFont::Serif);
    c.setFont(font);
    c.setFontSize(7);
    const int halfI = static_cast<int>(std::nearbyint(c.textHeight("I") * 0.5));
    const int halfH = static_cast<int>(std::nearbyint(c.textWidth("H") * 0.5));

    c.line(X(kOriginX), Y(kAxisY), X(xPercent(60)), Y(kAxisY));
    c.line(X(kOriginX), Y(kAxisY), X(kOriginX), Y(kVolumeTop));
    c.textOut(X(kAxisEnd) - c.textWidth("t (s)"), Y(kAxisY) - c.textHeight("I"), "t (s)");
    c.textOut(X(kOriginX) + 4, Y(kVolumeTop) - halfI, "Vol (l)");
    for (int n = 2; n <= 60; n += 2) {
        const int x = X(xPercent(n));
        c.line(x, Y(kAxisY), x, Y(kAxisY) + 4);
        if (n % 10 == 0) c.textOut(x - halfH, Y(kAxisY) + 4, QString::number(n));
    }
    for (int n = 2; n <= 10; n += 2) {
        const int y = Y(yPercent(n));
        c.line(X(kOriginX), y, X(kOriginX) - 4, y);
        const QString text = QString::number(n);
        c.textOut(X(kOriginX) - c.textWidth(text) - c.textWidth("-") - 3, y - halfI, text);
    }
    // The reference's FRC; the pen stays silver until the next segment sets its colour.
    c.setPenColor(QColor(0xC0, 0xC0, 0xC0));
    const int y = Y(yPercent(history.slot(0).frc));
    c.line(X(kOriginX) + 1, y, X(kAxisEnd), y);
    c.textOut(X(kAxisEnd) - c.textWidth("FRC(ref)"), y - c.textHeight("I"), "FRC(ref)");
}

QPoint samplePoint(const Canvas& c, const SimulationRecord& r, int k) {
    return {PercentX(c.width(), xPercent(r.vtTime[k - 1])),
            PercentY(c.height(), yPercent(r.vtVolume[k - 1]))};
}

} // namespace

void DrawVolumeTimePoint(VolumeTimePlot& plot, Canvas& c, const RunHistory& history, int slot) {
    const int n = plot.VolumeTimeCounter;
    if (n == 1) {
        drawFrame(c, history);
    } else if (n >= 2 && n <= kVolumeTimeSamples) {
        const SimulationRecord& r = history.slot(slot);
        c.setPenColor(CurveColours[slot]);
        if (n == 2) {
            const QPoint first = samplePoint(c, r, 1);
            c.moveTo(first.x(), first.y());
        }
        // From wherever the pen was left: nothing else moves this canvas's pen between
        // two segments.
        const QPoint p = samplePoint(c, r, n);
        c.lineTo(p.x(), p.y());
        c.setPenColor(Qt::black);
    }
    plot.VolumeTimeCounter += 1;
}

void RedrawVolumeTimeCurve(VolumeTimePlot& plot, Canvas& c, const RunHistory& history) {
    assert(history.selectedRun >= 1 && history.selectedRun <= 4 &&
           "the volume-time curve is redrawn only for a selected run");
    const SimulationRecord& r = history.slot(history.selectedRun);
    plot.VolumeTimeCounter = 1;
    for (int i = 1; i <= kVolumeTimeSamples; ++i) {
        if (r.vtTime[i - 1] == 0) break;
        DrawVolumeTimePoint(plot, c, history, history.selectedRun);
    }
}

} // namespace pulmora
