#include "graphics/live_display.h"

#include <QLocale>
#include <QWidget>

#include <cassert>
#include <cmath>

#include "core/session.h"
#include "graphics/volume_time_plot.h"
#include "toolkit/message_box.h"

namespace pulmora {

namespace {

const QColor kClockYellow(0xFF, 0xFF, 0x00);

} // namespace

int animationWaitMs(int speed) {
    switch (speed) {
    case 1:
        return 200;
    case 2:
        return 50;
    default:
        return 0;
    }
}

bool animationFrameDue(float volume, float& lastShown, float Vmax, float Vmin) {
    const double range = double{Vmax} - double{Vmin};
    if (!(range > 0) || !std::isfinite(range)) return false;
    const double moved = std::fabs(double{volume} - double{lastShown}) / range;
    if (!(moved > 0.005)) return false;
    lastShown = volume;
    return true;
}

QString runClockText(double seconds, QChar decimalPoint) {
    QString text = QString::number(seconds, 'f', 2);
    text.replace('.', decimalPoint);
    return text + "    ";
}

LiveDisplay::LiveDisplay(const Targets& targets)
    : t_(targets), volumeTime_(*targets.volumeTimePicture) {
    assert(t_.session && t_.volumeTime && t_.volumeTimeWidget && t_.lungPicture && t_.lungWidget &&
           t_.pictures && "the live display needs every target");
}

void LiveDisplay::ShowRunClock(double seconds) {
    Canvas& c = volumeTime_;
    // The next segment of the curve starts where the pen is: the clock must leave it there.
    const QPoint pen = c.penPosition();
    const QFont font = c.font();
    const QColor brush = c.brushColor();
    const BrushStyle brushStyle = c.brushStyle();
    c.setBrushColor(kClockYellow);
    c.setBrushStyle(BrushStyle::Solid);
    QFont arial = font;
    arial.setFamilies({"Arial", "Liberation Sans", "DejaVu Sans"});
    c.setFont(arial);
    const QChar point =
        QLocale().decimalPoint().isEmpty() ? QChar('.') : QLocale().decimalPoint().at(0);
    c.textOut(c.width() - c.textWidth("000,00"), 0, runClockText(seconds, point));
    c.moveTo(pen.x(), pen.y());
    c.setFont(font);
    c.setBrushColor(brush);
    c.setBrushStyle(brushStyle);
    t_.volumeTimeWidget->repaint();
}

void LiveDisplay::ShowLiveStep(const ModelState& model, const SimulationRecord& run, int sample) {
    DrawVolumeTimePoint(*t_.volumeTime, volumeTime_, *t_.session->history, 1);
    t_.volumeTimeWidget->repaint();
    Canvas picture(*t_.lungPicture);
    DrawAirwayPicture(picture, 0, 0, picture.width(), picture.height(), 2, Qt::black,
                      liveAirwayValues(model), t_.pictures->PictureBuffer,
                      t_.pictures->BackgroundPicture);
    t_.lungWidget->repaint();
    if (onLiveStep && sample >= 1 && sample <= kVolumeTimeSamples)
        onLiveStep(run.vtTime[sample - 1]);
}

void LiveDisplay::Beep() {
    beep();
}

} // namespace pulmora
