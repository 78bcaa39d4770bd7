#pragma once
// The flow-volume plot: every shown run's loop against the reference, each in its colour,
// with a tick at its one-second point; the selected run drawn thick.

#include <QColor>

#include <functional>

namespace pulmora {

class Canvas;
struct RunHistory;

// Called after each segment of the selected run's curve (slot, sample, the run's largest and
// smallest volume); returning false ends the curve there. The animation rides on it.
using FlowVolumeSampleHook = std::function<bool(int slot, int sample, float Vmax, float Vmin)>;

// Clears the image and draws axes, labels (the flow labels only for the airflow variables
// 1 ... 3), the curves of slots 0, 3, 2, 1 and their FEV1 ticks. Slot 4 is never drawn.
void DrawFlowVolumePlot(Canvas& canvas, const RunHistory& history, int displayVariable,
                        const FlowVolumeSampleHook& hook = {});

void DrawFlowVolumeCurve(Canvas& canvas, const RunHistory& history, int slot,
                         const QColor& colour, int penWidth, const FlowVolumeSampleHook& hook);
void DrawFev1Marker(Canvas& canvas, const RunHistory& history, int slot, const QColor& colour);

} // namespace pulmora
