#pragma once
// What makes the simulation visible while it happens and afterwards: during a run the
// volume-time curve grows segment by segment, the airway tree follows the live model and a
// clock in the corner of the volume-time plot shows the recording time; after a run the
// animation replays the selected run's loop with the airway tree following it.

#include <QImage>

#include <functional>

#include "core/manoeuvre_driver.h"
#include "graphics/airway_picture.h"
#include "toolkit/canvas.h"

class QWidget;

namespace pulmora {

struct Session;
struct VolumeTimePlot;

// The animation command's flags.
struct AnimationState {
    bool AnimationBusy = false;   // the animation command runs: the hot-spots do nothing
    bool AnimationOn = false;     // the flow-volume plot is being redrawn for the animation
    bool AnimationPaused = false; // toggled by the pause button, also outside the animation
    int AnimationSpeed = 3;       // 1 ... 3: 200 ms, 50 ms or no wait after each frame
    int AnimationFrame = 0;       // sample index of the frame shown
    float lastShownVolume = 0;    // volume of the last sample that got a frame, l
    int framesShown = 0;          // frames of the current (or last) animation
    bool stopRequested = false;   // the window was asked to close: end the curve, then close
};

// The wait after each animation frame at speed 1 ... 3, ms.
int animationWaitMs(int speed);

// The frame test: a frame is due when the volume has moved by more than half a percent of the
// run's volume range since the last frame; it then becomes the last shown volume. A run whose
// range is 0 (or not a number) shows no frames.
bool animationFrameDue(float volume, float& lastShown, float Vmax, float Vmin);

// The clock's text: the seconds with 2 decimals in the user's number format, then four blanks
// that wipe out the tail of a longer previous text.
QString runClockText(double seconds, QChar decimalPoint);

// The lung picture area's state: the resources, which prepared picture is shown, the hot-spot
// under the mouse and the animation.
struct LungPictureState {
    PictureResources pictures;
    int ShownPicture = -2;   // slot shown; -2 before anything was shown
    int HoveredHotSpot = -1; // grid row of the hot-spot last found under the mouse, or -1
    AnimationState animation;
};

// The window's run observer. Draws into the pictures of `Image1` and `Image3`, which must
// outlive it, and repaints their widgets at once: the run does not return to the event loop.
class LiveDisplay : public RunObserver {
  public:
    struct Targets {
        const Session* session = nullptr; // the history whose slot 1 is being recorded
        VolumeTimePlot* volumeTime = nullptr;
        QImage* volumeTimePicture = nullptr; // Image3's picture
        QWidget* volumeTimeWidget = nullptr; // Image3
        QImage* lungPicture = nullptr;       // Image1's picture
        QWidget* lungWidget = nullptr;       // Image1
        PictureResources* pictures = nullptr;
    };
    explicit LiveDisplay(const Targets& targets);

    void ShowRunClock(double seconds) override;
    void ShowLiveStep(const ModelState& model, const SimulationRecord& run, int sample) override;
    void Beep() override;

    // Called after each live step with the recording time it showed, s (the screenshot tool
    // takes its picture here).
    std::function<void(double seconds)> onLiveStep;

  private:
    Targets t_;
    Canvas volumeTime_; // one canvas for the whole run: its pen carries each segment's start
};

} // namespace pulmora
