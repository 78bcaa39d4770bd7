#include "app/image_box.h"

#include <QPainter>

namespace pulmora {

ImageBox::ImageBox(QWidget* parent) : QWidget(parent) {
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void ImageBox::resetPicture(QSize size) {
    picture_ = QImage(size.expandedTo(QSize(1, 1)), QImage::Format_RGB32);
    picture_.fill(Qt::white);
}

void ImageBox::paintEvent(QPaintEvent*) {
    QPainter p(this);
    if (picture_.isNull()) {
        p.fillRect(rect(), Qt::white);
        return;
    }
    p.drawImage(rect(), picture_);
}

} // namespace pulmora
