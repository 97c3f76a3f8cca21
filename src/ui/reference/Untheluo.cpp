#include "ui/reference/Untheluo.h"

#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <array>
#include <cmath>
#include <numbers>

#include "calendar/Yidate.h"
#include "ui/common/Untpicture.h"
#include "ui/common/Unttext.h"
#include "ui/common/Untwindow.h"

namespace qingheng {
namespace {

constexpr int kImageSize = 450;
constexpr int kCentre = kImageSize / 2;
constexpr int kOuterRadius = kCentre - 5;
const QColor kBackground(0xE2, 0xEB, 0xB3);  // stored as 0xB3EBE2 in the BGR order of Windows colours
const QColor kOddColor(255, 0, 0);           // 天 numbers
const QColor kEvenColor(0, 0, 0);            // 地 numbers
const QColor kTitleColor(0, 0, 255);
constexpr int kTextPoints = 10;
constexpr int kTitlePoints = 14;
constexpr int kDotRadius = 3;

QFont diagramFont(int points) {
    QFont font(QStringLiteral("宋体"));
    font.setPixelSize(points * 96 / 72);
    return font;
}

QColor colorOf(int n) { return n % 2 == 1 ? kOddColor : kEvenColor; }

// The point at a screen angle (degrees, counter-clockwise from the right) and a radius,
// rounded toward zero.
QPoint polar(double degrees, double radius) {
    const double a = degrees * std::numbers::pi / 180.0;
    return QPoint(static_cast<int>(kCentre + radius * std::cos(a)), static_cast<int>(kCentre - radius * std::sin(a)));
}

// A diagram painter: text placed by its top-left corner, dots, circles and arcs.
class Canvas {
public:
    explicit Canvas(QPainter& painter) : p_(painter) {
        p_.setRenderHint(QPainter::Antialiasing);
        p_.setRenderHint(QPainter::TextAntialiasing);
        p_.setFont(diagramFont(kTextPoints));
        const QFontMetrics metrics(p_.font());
        charWidth_ = metrics.horizontalAdvance(QStringLiteral("字"));
        charHeight_ = metrics.height();
    }

    int charWidth() const { return charWidth_; }
    int charHeight() const { return charHeight_; }

    void text(int x, int y, const QString& s, const QColor& color = kEvenColor) {
        p_.setPen(color);
        p_.drawText(QRect(x, y, kImageSize, kImageSize), Qt::AlignLeft | Qt::AlignTop, s);
    }
    // Text centred on a point.
    void textAround(QPoint at, const QString& s, const QColor& color = kEvenColor) {
        const QFontMetrics metrics(p_.font());
        text(at.x() - metrics.horizontalAdvance(s) / 2, at.y() - charHeight_ / 2, s, color);
    }
    void circle(QPoint centre, int radius, const QColor& color) {
        p_.setPen(QPen(color, 1));
        p_.setBrush(Qt::NoBrush);
        p_.drawEllipse(centre, radius, radius);
    }
    void dot(QPoint centre, const QColor& color) {
        p_.setPen(QPen(color, 1));
        p_.setBrush(color);
        p_.drawEllipse(centre, kDotRadius, kDotRadius);
    }
    void line(QPoint from, QPoint to, const QColor& color) {
        p_.setPen(QPen(color, 1));
        p_.drawLine(from, to);
    }
    // An arc of the circle of that radius around the centre, from a0 over 45 degrees.
    void arc(double a0, int radius, const QColor& color) {
        p_.setPen(QPen(color, 1));
        p_.setBrush(Qt::NoBrush);
        const QRect box(kCentre - radius, kCentre - radius, 2 * radius, 2 * radius);
        p_.drawArc(box, static_cast<int>(std::fmod(a0 + 360.0, 360.0) * 16), 45 * 16);
    }
    void title(const QString& s) {
        const QFont normal = p_.font();
        p_.setFont(diagramFont(kTitlePoints));
        text(6, 6, s, kTitleColor);
        p_.setFont(normal);
    }

private:
    QPainter& p_;
    int charWidth_ = 0;
    int charHeight_ = 0;
};

QString numberLabel(int n) { return qstr(CYiDate().ChineseNumeral(n)) + (n % 2 == 1 ? "天" : "地"); }

void drawHeTu(Canvas& c) {
    const QPoint centre(kCentre, kCentre);
    c.circle(centre, kOuterRadius, kEvenColor);
    c.circle(centre, 50, kEvenColor);
    c.dot(centre, kOddColor);
    for (int k = 0; k < 10; ++k) c.dot(polar(36.0 * k, 50), kEvenColor);
    c.text(kCentre - 49, kCentre - 5, QStringLiteral("十地"));
    c.text(kCentre + 23, kCentre - 5, QStringLiteral("十地"));
    c.text(kCentre - 18, kCentre - 18, QStringLiteral("五  天"));

    struct Direction {
        int dx, dy, inner;
    };
    // West (right), south (up), east (left), north (down).
    static constexpr std::array<Direction, 4> kDirections = {{{1, 0, 4}, {0, -1, 2}, {-1, 0, 3}, {0, 1, 1}}};
    for (int k = 1; k <= 4; ++k) {
        const auto [dx, dy, n] = kDirections[k - 1];
        const int outer = n + 5;
        c.line(QPoint(kCentre + 6 * dx, kCentre + 6 * dy), QPoint(kCentre + 21 * dx, kCentre + 21 * dy), kOddColor);
        c.dot(QPoint(kCentre + 18 * dx, kCentre + 18 * dy), kOddColor);

        const double a0 = (k - 1) * 90.0 - 22.5;
        if (k <= 3) c.arc(a0, 140, colorOf(n));
        c.arc(a0, 200, colorOf(outer));

        // Labels sit inside their arcs: moved up and left where they would run over them.
        const int w = c.charWidth(), h = c.charHeight();
        const QPoint shift = k == 2   ? QPoint(-w, -2 * h)
                             : k == 3 ? QPoint(-2 * w, 0)
                             : k == 4 ? QPoint(-w, 0)
                                      : QPoint();
        const QPoint innerAt = QPoint(kCentre + 110 * dx, kCentre + 110 * dy) + shift;
        const QPoint outerAt = QPoint(kCentre + 170 * dx, kCentre + 170 * dy) + shift + QPoint(0, k == 4 ? h : 0);
        c.text(innerAt.x(), innerAt.y(), numberLabel(n), colorOf(n));
        c.text(outerAt.x(), outerAt.y(), numberLabel(outer), colorOf(outer));

        if (n == 1) c.dot(polar(a0 + 22.5, 140), colorOf(n));
        else
            for (int i = 0; i < n; ++i) c.dot(polar(a0 + i * 45.0 / (n - 1), 140), colorOf(n));
        for (int i = 0; i < outer; ++i) c.dot(polar(a0 + i * 45.0 / (outer - 1), 200), colorOf(outer));
    }
}

void drawLuoShu(Canvas& c) {
    const QPoint centre(kCentre, kCentre);
    c.circle(centre, kOuterRadius, kEvenColor);
    c.circle(centre, 90, kEvenColor);
    c.dot(centre, kOddColor);
    c.textAround(QPoint(kCentre, kCentre - 30), QStringLiteral("土"));
    c.textAround(QPoint(kCentre, kCentre + 30), QStringLiteral("五   黄"));

    struct Cardinal {
        double angle;
        int n;
        const char* star;
        const char* phase;
    };
    static constexpr std::array<Cardinal, 4> kCardinals = {
        {{0, 7, "七赤", "金"}, {90, 9, "九紫", "火"}, {180, 3, "三碧", "木"}, {270, 1, "一白", "水"}}};
    for (const Cardinal& d : kCardinals) {
        const double a0 = d.angle - 22.5;
        if (d.n == 1) c.dot(polar(d.angle, 200), kOddColor);
        else {
            c.arc(a0, 200, kOddColor);
            for (int i = 0; i < d.n; ++i) c.dot(polar(a0 + i * 45.0 / (d.n - 1), 200), kOddColor);
        }
        c.textAround(polar(d.angle, 170), QString::fromUtf8(d.star), kOddColor);
        c.textAround(polar(d.angle, 125), QString::fromUtf8(d.phase));
    }

    struct Corner {
        double angle;
        int n;
        const char* star;
    };
    static constexpr std::array<Corner, 4> kCorners = {
        {{45, 2, "二黑"}, {135, 4, "四绿"}, {225, 8, "八白"}, {315, 6, "六白"}}};
    constexpr double kPairHalfGap = 6.0;  // each dot of a pair this far off the corner's ray
    for (const Corner& d : kCorners) {
        const double a = d.angle * std::numbers::pi / 180.0;
        const QPointF across(-std::sin(a) * kPairHalfGap, -std::cos(a) * kPairHalfGap);  // screen y points down
        for (int pair = 0; pair < d.n / 2; ++pair) {
            const QPointF middle = polar(d.angle, 210 - 15 * pair);
            const QPoint left = (middle + across).toPoint(), right = (middle - across).toPoint();
            c.line(left, right, kEvenColor);
            c.dot(left, kEvenColor);
            c.dot(right, kEvenColor);
        }
        // Beside the column of pairs, clear of its dots, on the side of increasing angle.
        const QPoint at = polar(d.angle + 5.0, 175);
        const QPointF side(-std::sin(a) * 16.0, -std::cos(a) * 16.0);
        c.textAround((QPointF(at) + side).toPoint(), QString::fromUtf8(d.star));
    }
}

}  // namespace

TFrmHeLuo::TFrmHeLuo(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmHeLuo");
    setWindowTitle(QStringLiteral("河图与洛书"));
    labhetu_ = makeLink(QStringLiteral("河图"), "labhetu");
    labluoshu_ = makeLink(QStringLiteral("洛书"), "labluoshu");
    img1_ = new TPictureBox(kImageSize, kImageSize, this);
    img1_->setObjectName("img1");

    auto* links = new QHBoxLayout;
    links->addWidget(labhetu_);
    links->addSpacing(24);
    links->addWidget(labluoshu_);
    links->addStretch();
    auto* column = new QVBoxLayout(this);
    column->addLayout(links);
    column->addWidget(img1_);
    column->setSizeConstraint(QLayout::SetFixedSize);

    showDiagram(Diagram::HeTu);
    centreOnScreen(this);
}

QLabel* TFrmHeLuo::makeLink(const QString& text, const char* name) {
    auto* label = new QLabel(text, this);
    label->setObjectName(name);
    label->setCursor(Qt::PointingHandCursor);
    QFont font = label->font();
    font.setPixelSize(16);
    font.setUnderline(true);
    label->setFont(font);
    QPalette pal = label->palette();
    pal.setColor(QPalette::WindowText, kTitleColor);
    label->setPalette(pal);
    label->installEventFilter(this);
    return label;
}

bool TFrmHeLuo::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::MouseButtonPress && static_cast<QMouseEvent*>(event)->button() == Qt::LeftButton) {
        if (watched == labhetu_) showDiagram(Diagram::HeTu);
        if (watched == labluoshu_) showDiagram(Diagram::LuoShu);
    }
    return QDialog::eventFilter(watched, event);
}

void TFrmHeLuo::showDiagram(Diagram diagram) {
    diagram_ = diagram;
    img1_->setPainter([diagram](QPainter& painter) {
        painter.fillRect(QRect(0, 0, kImageSize, kImageSize), kBackground);
        Canvas canvas(painter);
        if (diagram == Diagram::HeTu) {
            canvas.title(QStringLiteral("河图"));
            drawHeTu(canvas);
        } else {
            canvas.title(QStringLiteral("洛书"));
            drawLuoShu(canvas);
        }
    });
}

}  // namespace qingheng
