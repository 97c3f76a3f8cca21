#include "ui/common/Untpicture.h"

#include <QMouseEvent>
#include <QPainter>

namespace qingheng {

TPictureBox::TPictureBox(int width, int height, QWidget* parent) : QWidget(parent) { setFixedSize(width, height); }

void TPictureBox::setPainter(Painter painter) {
    painter_ = std::move(painter);
    update();
}

QImage TPictureBox::render(qreal devicePixelRatio) const {
    QImage image(size() * devicePixelRatio, QImage::Format_ARGB32_Premultiplied);
    image.setDevicePixelRatio(devicePixelRatio);
    image.fill(Qt::white);
    QPainter painter(&image);
    if (painter_) painter_(painter);
    return image;
}

void TPictureBox::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (painter_) painter_(painter);
}

void TPictureBox::mousePressEvent(QMouseEvent* event) { emit pressed(event->position().toPoint(), event->button()); }

}  // namespace qingheng
