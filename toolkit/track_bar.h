#pragma once
// A slider the way the parameter controls are specified: a vertical bar has its minimum at the
// top and its position grows downwards (keys, wheel and clicks follow the thumb on the screen),
// setting a position clamps it to the range, and onChange fires exactly when the position
// changes, whoever changes it.

#include <QSlider>

#include <functional>

class QProxyStyle;

namespace pulmora {

enum class TickMarks {
    None,
    TopLeft,     // above a horizontal bar, left of a vertical one
    BottomRight, // below a horizontal bar, right of a vertical one
    Both,
};

class TrackBar : public QSlider {
    Q_OBJECT

  public:
    explicit TrackBar(Qt::Orientation orientation = Qt::Vertical, QWidget* parent = nullptr);

    // Hides QSlider's: a vertical bar keeps its minimum at the top.
    void setOrientation(Qt::Orientation orientation);

    // Range: QSlider's minimum(), maximum(), setMinimum(), setMaximum() and setRange().
    int position() const { return value(); }
    void setPosition(int position) { setValue(position); } // clamped to [minimum, maximum]

    int frequency() const { return tickInterval(); } // positions between two ticks
    void setFrequency(int positions) { setTickInterval(positions); }
    TickMarks tickMarks() const;
    void setTickMarks(TickMarks marks);

    // The thumb's extent along the bar, in pixels.
    int thumbLength() const;
    void setThumbLength(int pixels);
    QRect thumbRect() const; // where the thumb is drawn now, in the bar's coordinates

    // How far the arrow keys and a left click on the bar beside the thumb move the position
    // (one page per click; holding the button does not repeat).
    int lineSize() const { return singleStep(); }
    void setLineSize(int positions) { setSingleStep(positions); }
    int pageSize() const { return pageStep(); }
    void setPageSize(int positions) { setPageStep(positions); }

    // The position changed: by the mouse, the keyboard, the wheel or a program. Never called
    // when a program sets the position the bar already has.
    std::function<void(int position)> onChange;
    // A right-button press on the bar, at `pos` in the bar's coordinates (help requests). When
    // unset the press goes on to the parent widget.
    std::function<void(QPoint pos)> onContextMenu;

  protected:
    void mousePressEvent(QMouseEvent* event) override;

  private:
    QProxyStyle* thumbStyle_ = nullptr; // owned as a child; made when a thumb length is set
    int thumbLength_ = -1;              // −1: the style's own length
};

} // namespace pulmora
