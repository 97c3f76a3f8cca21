#pragma once
// TPictureBox: a fixed-size picture that a window draws with QPainter in logical pixels.
// It is painted for the screen's device pixel ratio, so lines and text stay sharp on high-DPI
// screens instead of being scaled up from a low-resolution bitmap.
#include <QImage>
#include <QWidget>

#include <functional>

namespace qingheng {

class TPictureBox : public QWidget {
    Q_OBJECT
public:
    using Painter = std::function<void(QPainter&)>;

    TPictureBox(int width, int height, QWidget* parent = nullptr);

    // What the picture shows; repaints.
    void setPainter(Painter painter);

    // The picture rendered at a device pixel ratio (for tests and screenshots).
    QImage render(qreal devicePixelRatio) const;

signals:
    // A mouse press at a point of the picture, in logical pixels.
    void pressed(QPoint at, Qt::MouseButton button);

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;

private:
    Painter painter_;
};

}  // namespace qingheng
