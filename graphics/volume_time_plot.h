#pragma once
// The volume-time plot: one run's lung volume against time, with the reference's FRC as a
// grey line. During a run it grows one segment per stored sample; otherwise it shows the
// selected run's whole curve.

namespace pulmora {

class Canvas;
struct RunHistory;

// Numbers the calls of DrawVolumeTimePoint: at 1 the call draws the frame, at n >= 2 the
// segment ending at sample n; every call adds 1. Set it to 1 to start a fresh plot.
struct VolumeTimePlot {
    int VolumeTimeCounter = 0;
};

// One step of the plot, as the counter says. A counter beyond the 1000 samples draws nothing.
void DrawVolumeTimePoint(VolumeTimePlot& plot, Canvas& canvas, const RunHistory& history,
                         int slot);

// The frame and the whole curve of the selected run; nothing at all (not even the frame)
// when the run has no first sample. Only while a run is selected.
void RedrawVolumeTimeCurve(VolumeTimePlot& plot, Canvas& canvas, const RunHistory& history);

} // namespace pulmora
