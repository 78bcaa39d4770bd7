#include "toolkit/canvas.h"

#include "toolkit/font_size.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QRect>

#include <algorithm>
#include <cmath>
#include <numbers>

namespace pulmora {

namespace {

// Every operation opens its own painter, so the image can be read (or replaced by its owner)
// between any two calls; opening one costs a few microseconds.
class ImagePainter : public QPainter {
  public:
    explicit ImagePainter(QImage& image) : QPainter(&image) {
        setRenderHint(QPainter::Antialiasing, false);
        setRenderHint(QPainter::SmoothPixmapTransform, false);
    }
};

QPen solidPen(const QColor& color, int width) {
    return QPen(QBrush(color), width, Qt::SolidLine, Qt::SquareCap, Qt::MiterJoin);
}

// The ellipse of a box whose right and bottom edges are exclusive, as Qt's outline covers one
// pixel more than the rectangle's width.
QRectF ellipseBox(int left, int top, int right, int bottom) {
    return QRectF(left, top, right - left - 1, bottom - top - 1);
}

// Qt measures arc angles along the ellipse's parameter, the classic arc by the direction of a
// radius from the centre: for a non-circular ellipse the two differ except on the axes.
double parametricDegrees(double dx, double dy, double a, double b) {
    const double radial = std::atan2(-dy, dx); // screen y points down, angles turn anticlockwise
    const double t = std::atan2(a * std::sin(radial), b * std::cos(radial));
    return t * 180.0 / std::numbers::pi;
}

} // namespace

// The drawings' default: the default face at 8 points.
Canvas::Canvas(QImage& image) : image_(&image) {
    setFontPoints(font_, 8);
}

void Canvas::setFontSize(int points) {
    setFontPoints(font_, points);
}

int Canvas::fontSize() const {
    return fontPoints(font_);
}

void Canvas::moveTo(int x, int y) {
    pen_ = QPoint(x, y);
}

void Canvas::lineTo(int x, int y) {
    const QPoint to(x, y);
    if (penStyle_ == PenStyle::Solid) {
        ImagePainter p(*image_);
        p.setPen(solidPen(penColor_, penWidth_));
        // A zero-length line still marks its pixel (a square of the pen's width).
        p.drawLine(pen_, to);
    }
    pen_ = to;
}

void Canvas::fillRect(int left, int top, int right, int bottom) {
    if (brushStyle_ == BrushStyle::Clear || right <= left || bottom <= top) return;
    ImagePainter p(*image_);
    p.fillRect(QRect(left, top, right - left, bottom - top), brushColor_);
}

void Canvas::ellipse(int left, int top, int right, int bottom) {
    if (right - left < 1 || bottom - top < 1) return;
    ImagePainter p(*image_);
    p.setPen(penStyle_ == PenStyle::Solid ? solidPen(penColor_, penWidth_) : QPen(Qt::NoPen));
    p.setBrush(brushStyle_ == BrushStyle::Solid ? QBrush(brushColor_) : QBrush(Qt::NoBrush));
    p.drawEllipse(ellipseBox(left, top, right, bottom));
}

void Canvas::arc(int left, int top, int right, int bottom, int x3, int y3, int x4, int y4) {
    if (penStyle_ != PenStyle::Solid || right - left < 1 || bottom - top < 1) return;
    const QRectF box = ellipseBox(left, top, right, bottom);
    const QPointF c = box.center();
    const double a = std::max(box.width() / 2.0, 0.5);
    const double b = std::max(box.height() / 2.0, 0.5);
    const double start = parametricDegrees(x3 - c.x(), y3 - c.y(), a, b);
    const double end = parametricDegrees(x4 - c.x(), y4 - c.y(), a, b);
    // Anticlockwise from start to end; equal directions close the whole ellipse.
    double span = std::fmod(end - start, 360.0);
    if (span <= 0.0) span += 360.0;
    ImagePainter p(*image_);
    p.setPen(solidPen(penColor_, penWidth_));
    p.drawArc(box, static_cast<int>(std::lround(start * 16.0)),
              static_cast<int>(std::lround(span * 16.0)));
}

void Canvas::textOut(int x, int y, const QString& text) {
    if (text.isEmpty()) return;
    ImagePainter p(*image_);
    p.setFont(font_);
    const QFontMetrics fm = p.fontMetrics();
    if (brushStyle_ == BrushStyle::Solid)
        p.fillRect(QRect(x, y, fm.horizontalAdvance(text), fm.height()), brushColor_);
    p.setPen(fontColor_);
    p.drawText(QPoint(x, y + fm.ascent()), text);
}

int Canvas::textWidth(const QString& text) const {
    return QFontMetrics(font_, image_).horizontalAdvance(text);
}

int Canvas::textHeight(const QString&) const {
    // The height of a line of the font, whatever the characters, as the plots' layout expects.
    return QFontMetrics(font_, image_).height();
}

void Canvas::stretchDraw(int left, int top, int right, int bottom, const QImage& source) {
    if (right <= left || bottom <= top || source.isNull()) return;
    ImagePainter p(*image_);
    p.drawImage(QRect(left, top, right - left, bottom - top), source);
}

void Canvas::setPixel(int x, int y, const QColor& c) {
    if (image_->valid(x, y)) image_->setPixelColor(x, y, c);
}

} // namespace pulmora
