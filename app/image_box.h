#pragma once
// An image control: a picture the program draws into, shown stretched to the control.

#include <QImage>
#include <QWidget>

namespace pulmora {

class ImageBox : public QWidget {
    Q_OBJECT

public:
    explicit ImageBox(QWidget* parent = nullptr);

    QImage& picture() { return picture_; }
    // A fresh white picture of the control's size (the plots draw at the control's size).
    void resetPicture(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QImage picture_;
};

} // namespace pulmora
