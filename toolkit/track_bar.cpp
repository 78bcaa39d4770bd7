#include "toolkit/track_bar.h"

#include <QApplication>
#include <QMouseEvent>
#include <QProxyStyle>
#include <QStyleOptionSlider>

namespace pulmora {

namespace {

// The application's style, except for the thumb length of the one bar that owns it (the style
// asks for the length without naming the widget, so each bar has its own instance).
class ThumbLengthStyle : public QProxyStyle {
  public:
    explicit ThumbLengthStyle(const int* length)
        : QProxyStyle(QApplication::style()->name()), length_(length) {}

    int pixelMetric(PixelMetric metric, const QStyleOption* option,
                    const QWidget* widget) const override {
        if (metric == PM_SliderLength && *length_ > 0) return *length_;
        return QProxyStyle::pixelMetric(metric, option, widget);
    }

  private:
    const int* length_;
};

// The classic steps: one position per arrow key, two per click beside the thumb.
constexpr int kDefaultLineSize = 1;
constexpr int kDefaultPageSize = 2;

} // namespace

TrackBar::TrackBar(Qt::Orientation orientation, QWidget* parent) : QSlider(parent) {
    setOrientation(orientation);
    setSingleStep(kDefaultLineSize);
    setPageStep(kDefaultPageSize);
    setTickInterval(1);
    setTickPosition(QSlider::TicksBelow);
    // Right presses reach mousePressEvent, so a help request is not turned into a context menu.
    setContextMenuPolicy(Qt::PreventContextMenu);
    connect(this, &QAbstractSlider::valueChanged, this, [this](int v) {
        if (onChange) onChange(v);
    });
}

void TrackBar::setOrientation(Qt::Orientation orientation) {
    QSlider::setOrientation(orientation);
    // Qt puts a vertical minimum at the bottom; turning both the drawing and the controls over
    // puts it at the top with Down, wheel-down and a click below the thumb all increasing.
    const bool vertical = orientation == Qt::Vertical;
    setInvertedAppearance(vertical);
    setInvertedControls(vertical);
}

TickMarks TrackBar::tickMarks() const {
    switch (tickPosition()) {
    case QSlider::NoTicks:
        return TickMarks::None;
    case QSlider::TicksAbove:
        return TickMarks::TopLeft;
    case QSlider::TicksBelow:
        return TickMarks::BottomRight;
    case QSlider::TicksBothSides:
        return TickMarks::Both;
    }
    return TickMarks::None;
}

void TrackBar::setTickMarks(TickMarks marks) {
    switch (marks) {
    case TickMarks::None:
        setTickPosition(QSlider::NoTicks);
        break;
    case TickMarks::TopLeft:
        setTickPosition(QSlider::TicksAbove);
        break;
    case TickMarks::BottomRight:
        setTickPosition(QSlider::TicksBelow);
        break;
    case TickMarks::Both:
        setTickPosition(QSlider::TicksBothSides);
        break;
    }
}

int TrackBar::thumbLength() const {
    if (thumbLength_ > 0) return thumbLength_;
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    return style()->pixelMetric(QStyle::PM_SliderLength, &opt, this);
}

void TrackBar::setThumbLength(int pixels) {
    thumbLength_ = pixels;
    if (!thumbStyle_) {
        thumbStyle_ = new ThumbLengthStyle(&thumbLength_);
        thumbStyle_->setParent(this);
        setStyle(thumbStyle_);
    }
    updateGeometry();
    update();
}

QRect TrackBar::thumbRect() const {
    QStyleOptionSlider opt;
    initStyleOption(&opt);
    return style()->subControlRect(QStyle::CC_Slider, &opt, QStyle::SC_SliderHandle, this);
}

void TrackBar::mousePressEvent(QMouseEvent* event) {
    const QPoint pos = event->position().toPoint();
    if (event->button() == Qt::RightButton && onContextMenu) {
        event->accept();
        onContextMenu(pos);
        return;
    }
    // A left press beside the thumb, anywhere across the bar (Qt reacts only on its thin
    // groove, and only after a delay), moves one page towards the press at once.
    const QRect thumb = thumbRect();
    if (event->button() == Qt::LeftButton && event->buttons() == Qt::LeftButton &&
        !thumb.contains(pos) && rect().contains(pos)) {
        event->accept();
        const bool vertical = orientation() == Qt::Vertical;
        const int along = vertical ? pos.y() : pos.x();
        // The low end is the top or the left in both orientations.
        if (along > (vertical ? thumb.bottom() : thumb.right()))
            triggerAction(QAbstractSlider::SliderPageStepAdd);
        else if (along < (vertical ? thumb.top() : thumb.left()))
            triggerAction(QAbstractSlider::SliderPageStepSub);
        return;
    }
    QSlider::mousePressEvent(event);
}

} // namespace pulmora
