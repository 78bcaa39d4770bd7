// The main window's lung picture: the prepared region pictures with their caption, the menu
// "Variable", the live display of a run, the animation and the picture's hot-spots.

#include "app/main_window.h"

#include <QAction>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QFrame>
#include <QLabel>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

#include "app/image_box.h"
#include "graphics/flow_volume_plot.h"
#include "graphics/hot_spots.h"
#include "graphics/live_display.h"
#include "toolkit/canvas.h"
#include "toolkit/message_box.h"
#include "toolkit/string_grid.h"

namespace pulmora {

namespace {

// Caption of each region picture; slot 1 and the empty slots have none.
constexpr const char* kCaptions[kPictureSlots + 1] = {nullptr,       nullptr,   " main", " middle",
                                                      " peripheral", " lungs ", nullptr, nullptr,
                                                      nullptr,       nullptr,   nullptr, nullptr};

// The caption box holds one line of its 16-pixel font.
constexpr int kCaptionHeight = 25;
constexpr int kCaptionPixelsPerCharacter = 10;

// The menu "Variable", by DisplayVariable code 1 ... 6.
constexpr const char* kVariableItems[6] = {"wypywcakowity1",        "wypywzpuc1",
                                           "gdysamoograniczanie1",  "oprperyferyjny1",
                                           "oprposrednichlobesel1", "ci1"};

// Hands the picture's mouse and paint events, the caption's mouse moves and the window's close
// to the window's own handlers.
class PictureEvents : public QObject {
  public:
    PictureEvents(QObject* parent, std::function<bool(QObject*, QEvent*)> handler)
        : QObject(parent), handler_(std::move(handler)) {}
    bool eventFilter(QObject* watched, QEvent* event) override { return handler_(watched, event); }

  private:
    std::function<bool(QObject*, QEvent*)> handler_;
};

// What pulmora-shot saves for --at: the picture taken during the run, or the window itself.
class ShotView : public QWidget {
  public:
    explicit ShotView(TForm1* form) : QWidget(form, Qt::Window), form_(form) {}
    void sync() { resize(form_->shotImage.isNull() ? form_->size() : form_->shotImage.size()); }

  protected:
    void paintEvent(QPaintEvent*) override {
        QPainter p(this);
        if (form_->shotImage.isNull())
            form_->render(&p);
        else
            p.drawImage(0, 0, form_->shotImage);
    }

  private:
    TForm1* form_;
};

// Waits without leaving the window dead: pending events are handled meanwhile.
void waitProcessingEvents(int ms) {
    if (ms <= 0) return;
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

void TForm1::createLungPicture() {
    lungPicture_ = std::make_shared<LungPictureState>();
    pictureFilter_ = new PictureEvents(
        this, [this](QObject* watched, QEvent* event) { return pictureEvent(watched, event); });
    Image1->setMouseTracking(true);
    Image1->installEventFilter(pictureFilter_);
    Memo1->setMouseTracking(true);
    Memo1->installEventFilter(pictureFilter_);
    installEventFilter(pictureFilter_);

    connect(Timer1, &QTimer::timeout, this, &TForm1::Timer1Timer);
    connect(Button8, &QPushButton::clicked, this, &TForm1::Button8Click);
    connect(Button9, &QPushButton::clicked, this, &TForm1::Button9Click);
    connect(Button10, &QPushButton::clicked, this, &TForm1::Button10Click);
    for (int code = 1; code <= 6; ++code)
        connect(menuItem(kVariableItems[code - 1]), &QAction::triggered, this,
                [this, code] { SetDisplayVariable(code); });
}

void TForm1::startUpLungPicture() {
    ProgramState& s = state();
    LungPictureState& st = *lungPicture_;
    LoadHotSpotTable(s.ProgramFolder + "datfiles1/F000.dat", *tparm);
    Memo1->resize(Memo1->width(), kCaptionHeight);
    const QString error = LoadPictureResources(s.ProgramFolder, Image1->size(), st.pictures);
    if (!error.isEmpty()) {
        // The window cannot show its pictures: say why, and end the program.
        showError(this, error);
        requestProgramEnd();
    }
    // The buffer must exist even without pictures, so that a run can still be drawn.
    if (st.pictures.PictureBuffer.isNull()) {
        st.pictures.PictureBuffer =
            QImage(Image1->size().expandedTo(QSize(1, 1)), QImage::Format_RGB32);
        st.pictures.PictureBuffer.fill(Qt::white);
    }
    LiveDisplay::Targets targets;
    targets.session = &s.session;
    targets.volumeTime = &s.volumeTime;
    targets.volumeTimePicture = &Image3->picture();
    targets.volumeTimeWidget = Image3;
    targets.lungPicture = &Image1->picture();
    targets.lungWidget = Image1;
    targets.pictures = &st.pictures;
    liveDisplay_ = std::make_shared<LiveDisplay>(targets);
    liveDisplay_->onLiveStep = [this](double seconds) {
        if (shotAtSeconds < 0 || seconds < shotAtSeconds) return;
        shotImage = grab().toImage();
        shotAtSeconds = -1; // one picture, of the first run that gets there
    };
}

RunObserver& TForm1::liveDisplay() {
    return *liveDisplay_;
}

LungPictureState& TForm1::lungPicture() {
    return *lungPicture_;
}

int TForm1::ShownPicture() const {
    return lungPicture_->ShownPicture;
}

QWidget* TForm1::shotWidget() {
    if (!shotWidget_) shotWidget_ = new ShotView(this);
    static_cast<ShotView*>(shotWidget_)->sync();
    return shotWidget_;
}

void TForm1::ShowPicture(int request, int x, int y) {
    LungPictureState& st = *lungPicture_;
    // -2 must redraw slot 1 even when it is the one shown.
    if (request == -2) {
        request = 1;
        st.ShownPicture = 2;
    }
    if (request == st.ShownPicture || request == -1) return;
    bool caption = true;
    if (request == -3) {
        request = st.ShownPicture == -2 ? 1 : st.ShownPicture;
        caption = false;
    }
    if (request >= -6 && request <= -4) {
        showMessage(this, "Bad num. " + QString::number(request));
        return;
    }
    // The table has slots 1 ... 11 only; any other number is a caller's mistake.
    if (request < 1 || request > kPictureSlots) return;
    if (caption) {
        if (const char* text = kCaptions[request]) {
            const QString t = QString::fromLatin1(text);
            Memo1->setText(t);
            Memo1->setGeometry(Image1->x() + x + 5, Image1->y() + y - Memo1->height() - 5,
                               kCaptionPixelsPerCharacter * static_cast<int>(t.size()),
                               Memo1->height());
            Memo1->show();
            Memo1->raise();
            // Like switching a timer on that is on already: the running count goes on.
            if (!Timer1->isActive()) Timer1->start();
        } else {
            Memo1->hide();
        }
    }
    Canvas canvas(Image1->picture());
    canvas.stretchDraw(0, 0, canvas.width(), canvas.height(), st.pictures.PictureTable[request]);
    Image1->update();
    st.ShownPicture = request;
}

void TForm1::FormPaint() {
    ShowPicture(-3);
}

void TForm1::Timer1Timer() {
    Memo1->hide();
    if (state().session.parameters.activePanel == 0) ShowPicture(-2);
}

void TForm1::SetDisplayVariable(int code) {
    if (code < 1 || code > 6) return;
    state().session.parameters.displayVariable = code;
    for (int c = 1; c <= 6; ++c)
        menuItem(kVariableItems[c - 1])->setChecked(c == code);
}

void TForm1::wypywcakowity1Click() {
    SetDisplayVariable(1);
}
void TForm1::wypywzpuc1Click() {
    SetDisplayVariable(2);
}
void TForm1::gdysamoograniczanie1Click() {
    SetDisplayVariable(3);
}
void TForm1::oprperyferyjny1Click() {
    SetDisplayVariable(4);
}
void TForm1::oprposrednichlobesel1Click() {
    SetDisplayVariable(5);
}
void TForm1::ci1Click() {
    SetDisplayVariable(6);
}

void TForm1::Button8Click() {
    AnimationState& a = lungPicture_->animation;
    if (a.AnimationBusy) return;
    a.AnimationBusy = true;
    a.framesShown = 0;
    a.stopRequested = false;
    a.lastShownVolume = 0;

    // Everything that could change the history or start another drawing waits; pause and
    // speed stay usable.
    const QList<QWidget*> locked = {Button1,  Button2,     Button3, Button6, Button8, Button11,
                                    Button12, StringGrid2, Panel1,  Panel2,  Panel3,  Panel4};
    const QList<QAction*> menus = menuBar()->actions();
    for (QWidget* w : locked)
        w->setEnabled(false);
    for (QAction* m : menus)
        m->setEnabled(false);
    Timer1->stop();

    a.AnimationOn = true;
    {
        bool curveStarted = false;
        const FlowVolumeSampleHook hook = [this, &curveStarted](int slot, int i, float Vmax,
                                                                float Vmin) {
            if (!lungPicture_->animation.AnimationOn) return true;
            // Each curve starts counting its frames from its smallest volume.
            if (!curveStarted) lungPicture_->animation.lastShownVolume = Vmin;
            curveStarted = true;
            return animationStep(slot, i, Vmax, Vmin);
        };
        Canvas canvas(Image2->picture());
        pulmora::DrawFlowVolumePlot(canvas, *state().session.history,
                                    state().session.parameters.displayVariable, hook);
        Image2->update();
    }
    a.AnimationOn = false;

    Timer1->start();
    for (QWidget* w : locked)
        w->setEnabled(true);
    for (QAction* m : menus)
        m->setEnabled(true);
    a.AnimationBusy = false;
    // A close asked for during the animation happens now that nothing runs inside the window.
    if (a.stopRequested) QTimer::singleShot(0, this, &QWidget::close);
}

bool TForm1::animationStep(int slot, int i, float Vmax, float Vmin) {
    AnimationState& a = lungPicture_->animation;
    const SimulationRecord& r = state().session.history->slot(slot);
    if (i < 1 || i >= kLobeTableRows || a.stopRequested) return false;
    // An empty lobe row: the run's stored samples are over.
    if (r.lobeIntermediateR[i][0] == 0) return false;
    a.AnimationFrame = i;
    if (!animationFrameDue(r.volumeCurve[i - 1], a.lastShownVolume, Vmax, Vmin)) return true;

    Canvas picture(Image1->picture());
    DrawAirwayPicture(picture, 0, 0, picture.width(), picture.height(), 2, Qt::black,
                      recordAirwayValues(r, a.AnimationFrame), lungPicture_->pictures.PictureBuffer,
                      lungPicture_->pictures.BackgroundPicture);
    Image1->repaint();
    ++a.framesShown;
    Image2->repaint();
    // The caption's time-out would put the prepared picture back over the frame.
    Timer1->stop();
    processPendingEvents();
    waitProcessingEvents(animationWaitMs(a.AnimationSpeed));
    while (a.AnimationPaused && !a.stopRequested)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    return !a.stopRequested;
}

void TForm1::Button9Click() {
    AnimationState& a = lungPicture_->animation;
    a.AnimationPaused = !a.AnimationPaused;
    Button9->setText(a.AnimationPaused ? "go" : "pauza");
}

void TForm1::Button10Click() {
    AnimationState& a = lungPicture_->animation;
    a.AnimationSpeed = a.AnimationSpeed >= 3 ? 1 : a.AnimationSpeed + 1;
    Button10->setText(QString::number(a.AnimationSpeed));
}

void TForm1::FindHotSpot(int X, int Y) {
    LungPictureState& st = *lungPicture_;
    // The picture does not follow the mouse while the user edits a region.
    if (state().session.parameters.activePanel != 0) {
        st.HoveredHotSpot = -1;
        return;
    }
    const int xp = positionPercent(X, Image1->width());
    const int yp = positionPercent(Y, Image1->height());
    st.HoveredHotSpot = findHotSpotRow(*tparm, xp, yp);
    const int group =
        st.HoveredHotSpot < 0 ? 1 : hoverGroup(tparm->cells(3, st.HoveredHotSpot).toStdString());
    ShowPicture(HotSpotGroups[group].slot, X, Y);
}

void TForm1::HotSpotClick(Qt::MouseButton button, int, int) {
    const int r = lungPicture_->HoveredHotSpot;
    ParameterSet& p = state().session.parameters;
    if (r == -1) {
        p.activePanel = 0;
        ApplyEnableRules();
    }
    if (button == Qt::LeftButton && r != -1) {
        const QString text = tparm->cells(3, r);
        for (int g = 1; g <= 5; ++g)
            if (text == QString::number(g)) {
                p.activePanel = HotSpotGroups[g].panel;
                ApplyEnableRules();
            }
    } else if (button == Qt::RightButton) {
        // A group the pictures do not have opens the general page rather than an empty window.
        int group = 0;
        if (r != -1) {
            const std::optional<int> g = parseWholeNumber(tparm->cells(3, r).toStdString());
            if (g && *g >= 1 && *g <= 5) group = *g;
        }
        ShowHelpPage(HotSpotGroups[group].helpPage);
    }
}

bool TForm1::pictureEvent(QObject* watched, QEvent* event) {
    const ProgramState& s = state();
    const AnimationState& a = lungPicture_->animation;
    if (watched == this) {
        // Closing while the animation pumps events: end the animation first, then close.
        if (event->type() == QEvent::Close && a.AnimationBusy) {
            lungPicture_->animation.stopRequested = true;
            event->ignore();
            return true;
        }
        return false;
    }
    if (watched == Memo1) {
        if (event->type() == QEvent::MouseMove) ShowPicture(-3);
        return false;
    }
    switch (event->type()) {
    case QEvent::Paint:
        if (lungPicture_->ShownPicture == -2) FormPaint();
        return false;
    case QEvent::MouseMove: {
        if (s.RunInProgress || a.AnimationBusy) return true;
        const QPoint pos = static_cast<QMouseEvent*>(event)->position().toPoint();
        FindHotSpot(pos.x(), pos.y());
        return true;
    }
    case QEvent::MouseButtonPress: {
        if (s.RunInProgress || a.AnimationBusy) return true;
        const auto* me = static_cast<QMouseEvent*>(event);
        const QPoint pos = me->position().toPoint();
        HotSpotClick(me->button(), pos.x(), pos.y());
        return true;
    }
    default:
        return false;
    }
}

} // namespace pulmora
