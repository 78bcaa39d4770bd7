#pragma once
// A drawing surface with a pen position, the way the plots and pictures are specified: move to,
// line to, a pen with colour, width and style (solid or invisible), a brush, a font, text
// measurement, lines, arcs, ellipses and stretched drawing, all onto a QImage.

#include <QColor>
#include <QFont>
#include <QImage>
#include <QPoint>
#include <QString>

namespace pulmora {

enum class PenStyle {
    Solid,
    Invisible, // the pen moves, nothing is drawn
};

enum class BrushStyle {
    Solid, // fills, and paints the box behind text
    Clear, // no fill: shapes keep only their outline and text is drawn on what is there
};

class Canvas {
  public:
    // Draws into `image`, which must outlive the canvas.
    explicit Canvas(QImage& image);

    QImage& image() { return *image_; }
    int width() const { return image_->width(); }
    int height() const { return image_->height(); }

    // Pen.
    void setPenColor(const QColor& c) { penColor_ = c; }
    QColor penColor() const { return penColor_; }
    void setPenWidth(int w) { penWidth_ = w < 1 ? 1 : w; }
    int penWidth() const { return penWidth_; }
    void setPenStyle(PenStyle s) { penStyle_ = s; }
    PenStyle penStyle() const { return penStyle_; }
    QPoint penPosition() const { return pen_; }

    // Brush (fills) and font (text).
    void setBrushColor(const QColor& c) { brushColor_ = c; }
    QColor brushColor() const { return brushColor_; }
    void setBrushStyle(BrushStyle s) { brushStyle_ = s; }
    BrushStyle brushStyle() const { return brushStyle_; }
    void setFont(const QFont& f) { font_ = f; }
    QFont& font() { return font_; }
    // Font size in points, as the drawings give it; the pixel size follows the screen's 96 dpi.
    void setFontSize(int points);
    int fontSize() const;
    void setFontColor(const QColor& c) { fontColor_ = c; }
    QColor fontColor() const { return fontColor_; }

    // Drawing. Coordinates are whole pixels, no antialiasing (text keeps its smoothing); a line
    // covers both end pixels.
    void moveTo(int x, int y);
    void lineTo(int x, int y); // draws from the pen position, then moves the pen there
    void line(int x1, int y1, int x2, int y2) { moveTo(x1, y1), lineTo(x2, y2); }
    void fillRect(int left, int top, int right, int bottom); // brush, right/bottom exclusive
    void ellipse(int left, int top, int right, int bottom);  // outline with the pen, brush inside
    // Arc of the ellipse in the box, counter-clockwise from the direction of (x3, y3) to that of
    // (x4, y4) as seen from the box's centre.
    void arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4);
    // Top-left of the text at (x, y); with a solid brush the text's box is first filled with the
    // brush colour, so a new text wipes out an older one beneath it.
    void textOut(int x, int y, const QString& text);
    int textWidth(const QString& text) const;
    int textHeight(const QString& text) const;
    // Copies `source` scaled into the rectangle (right/bottom exclusive) in one operation.
    void stretchDraw(int left, int top, int right, int bottom, const QImage& source);
    QColor pixel(int x, int y) const {
        return image_->valid(x, y) ? image_->pixelColor(x, y) : QColor();
    }
    void setPixel(int x, int y, const QColor& c);

  private:
    QImage* image_;
    QPoint pen_{0, 0};
    QColor penColor_ = Qt::black;
    int penWidth_ = 1;
    PenStyle penStyle_ = PenStyle::Solid;
    QColor brushColor_ = Qt::white;
    BrushStyle brushStyle_ = BrushStyle::Solid;
    QColor fontColor_ = Qt::black;
    QFont font_;
};

} // namespace pulmora
