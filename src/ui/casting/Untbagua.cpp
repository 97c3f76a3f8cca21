#include "ui/casting/Untbagua.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>
#include <QVBoxLayout>

#include "casting/NameCasting.h"
#include "platform/Clock.h"
#include "ui/casting/Untcastinput.h"

namespace qingheng {

namespace {

constexpr std::array<const char*, 6> kLineCaptions = {"上爻", "五爻", "四爻", "三爻", "二爻", "初爻"};
constexpr int kCoinSize = 96;
constexpr int kTickMs = 16;

// A round coin with a square hole; the face carries four characters, the back two crescents.
QPixmap DrawCoin(int side) {
    QPixmap pixmap(kCoinSize, kCoinSize);
    pixmap.fill(Qt::transparent);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    const QPointF c(kCoinSize / 2.0, kCoinSize / 2.0);
    const double r = kCoinSize / 2.0 - 2;
    const double hole = kCoinSize * 0.13;

    const QColor metal = side == CoinThrow::kFace ? QColor(196, 154, 62) : QColor(150, 112, 48);
    const QColor dark(92, 64, 22);
    QPainterPath body;
    body.addEllipse(c, r, r);
    QPainterPath square;
    square.addRect(QRectF(c.x() - hole, c.y() - hole, 2 * hole, 2 * hole));
    p.setPen(QPen(dark, 2));
    p.setBrush(metal);
    p.drawPath(body.subtracted(square));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(c, r - 5, r - 5);                                                      // rim
    p.drawRect(QRectF(c.x() - hole - 3, c.y() - hole - 3, 2 * hole + 6, 2 * hole + 6));  // hole rim

    if (side == CoinThrow::kFace) {
        QFont font = p.font();
        font.setPixelSize(kCoinSize / 6);
        font.setBold(true);
        p.setFont(font);
        const double d = (r + hole) / 2 + 1;
        const double s = kCoinSize / 5.0;
        const std::array<std::pair<QPointF, const char*>, 4> glyphs = {{{{c.x(), c.y() - d}, "青"},
                                                                        {{c.x(), c.y() + d}, "衡"},
                                                                        {{c.x() + d, c.y()}, "通"},
                                                                        {{c.x() - d, c.y()}, "宝"}}};
        for (const auto& [at, text] : glyphs)
            p.drawText(QRectF(at.x() - s / 2, at.y() - s / 2, s, s), Qt::AlignCenter, QString::fromUtf8(text));
    } else {
        // The back: two curling strokes either side of the hole, like a mint mark.
        p.setPen(QPen(dark, 3, Qt::SolidLine, Qt::RoundCap));
        const double d = (r + hole) / 2 + 1;
        for (int sideSign : {-1, 1}) {
            const double x = c.x() + sideSign * d;
            QPainterPath stroke;
            stroke.moveTo(x, c.y() - 11);
            stroke.cubicTo(x + 7 * sideSign, c.y() - 5, x - 7 * sideSign, c.y() + 3, x, c.y() + 11);
            p.drawPath(stroke);
            p.drawPoint(QPointF(x - 5 * sideSign, c.y() - 9));
        }
    }
    return pixmap;
}

}  // namespace

QPixmap coinPicture(int side) {
    static const std::array<QPixmap, 2> pictures = {DrawCoin(CoinThrow::kFace), DrawCoin(CoinThrow::kBack)};
    return pictures[side == CoinThrow::kBack ? 1 : 0];
}

TFrmGua::TFrmGua(QWidget* parent) : QDialog(parent) {
    setObjectName("FrmGua");
    setWindowTitle(QStringLiteral("铜钱摇卦法"));
    seedFromClock(appRandom());

    auto* manual = new QVBoxLayout;
    auto* label1 = new QLabel(QStringLiteral("手工选定"), this);
    label1->setObjectName("Label1");
    manual->addWidget(label1);
    for (int k = 0; k < 6; ++k) manual->addWidget(makeLineGroup(k));
    auto* btnsok = new QPushButton(QStringLiteral("布卦"), this);
    btnsok->setObjectName("Btnsok");
    btnsok->setDefault(true);
    connect(btnsok, &QPushButton::clicked, this, &TFrmGua::BtnsokClick);
    manual->addWidget(btnsok);

    auto* layout = new QHBoxLayout(this);
    layout->addLayout(manual, 3);
    layout->addWidget(makeSimulationPanel(), 2);

    timer_ = new QTimer(this);
    timer_->setObjectName("Timer1");
    timer_->setInterval(kTickMs);
    connect(timer_, &QTimer::timeout, this, &TFrmGua::Timer1Timer);
    showCoins();
}

QGroupBox* TFrmGua::makeLineGroup(int k) {
    auto* box = new QGroupBox(QString::fromUtf8(kLineCaptions[k]), this);
    box->setObjectName(QStringLiteral("RdoBox%1").arg(k));
    auto* row = new QHBoxLayout(box);
    groups_[k] = new QButtonGroup(box);
    for (int item = 0; item < static_cast<int>(kCoinItems.size()); ++item) {
        auto* radio = new QRadioButton(qstr(kCoinItems[item]), box);
        radio->setObjectName(QStringLiteral("RdoBox%1Item%2").arg(k).arg(item));
        groups_[k]->addButton(radio, item);
        row->addWidget(radio);
    }
    groups_[k]->button(0)->setChecked(true);
    return box;
}

QWidget* TFrmGua::makeSimulationPanel() {
    auto* panel = new QWidget(this);
    auto* layout = new QVBoxLayout(panel);
    auto* label2 = new QLabel(QStringLiteral("电脑模拟"), panel);
    label2->setObjectName("Label2");
    layout->addWidget(label2);
    auto* coinRow = new QHBoxLayout;
    for (int i = 0; i < CoinThrow::kCoins; ++i) {
        coins_[i] = new QLabel(panel);
        coins_[i]->setObjectName(QStringLiteral("imgtu%1").arg(i));
        coins_[i]->setProperty("tag", i);
        coins_[i]->setScaledContents(true);
        coins_[i]->setFixedSize(64, 64);
        coinRow->addWidget(coins_[i]);
    }
    layout->addLayout(coinRow);

    btosat_ = new QPushButton(qstr(throw_.throwCaption()), panel);
    btosat_->setObjectName("Btosat");
    btostop_ = new QPushButton(QStringLiteral("停止"), panel);
    btostop_->setObjectName("Btostop");
    btostop_->setEnabled(false);
    btnresture_ = new QPushButton(QStringLiteral("重来"), panel);
    btnresture_->setObjectName("Btnresture");
    auto* cancel = new QPushButton(QStringLiteral("取消"), panel);
    cancel->setObjectName("BitBtn1");
    for (QPushButton* b : {btosat_, btostop_, btnresture_, cancel}) {
        b->setAutoDefault(false);
        layout->addWidget(b);
    }
    layout->addStretch();
    connect(btosat_, &QPushButton::clicked, this, &TFrmGua::BtosatClick);
    connect(btostop_, &QPushButton::clicked, this, &TFrmGua::BtostopClick);
    connect(btnresture_, &QPushButton::clicked, this, &TFrmGua::BtnrestureClick);
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    return panel;
}

int TFrmGua::itemOf(int group) const { return groups_[group]->checkedId(); }

void TFrmGua::setItem(int group, int item) { groups_[group]->button(item)->setChecked(true); }

void TFrmGua::showCoins() {
    for (int i = 0; i < CoinThrow::kCoins; ++i) coins_[i]->setPixmap(coinPicture(throw_.coins()[i]));
}

void TFrmGua::BtnsokClick() {
    timer_->stop();
    std::array<int, 6> items{};
    for (int k = 0; k < 6; ++k) items[k] = itemOf(k);
    result_ = CastFromCoinItems(items);
    accepted_ = true;
    accept();
}

void TFrmGua::BtosatClick() {
    if (throw_.pressThrow() == CoinThrow::ThrowStep::Accept) {
        BtnsokClick();
        return;
    }
    btosat_->setEnabled(false);
    btnresture_->setEnabled(false);
    btostop_->setEnabled(true);
    timer_->start();
}

void TFrmGua::Timer1Timer() {
    throw_.tick(appRandom());
    showCoins();
}

void TFrmGua::BtostopClick() {
    timer_->stop();
    if (const auto set = throw_.stop()) setItem(set->group, set->item);
    btosat_->setText(qstr(throw_.throwCaption()));
    btostop_->setEnabled(false);
    btosat_->setEnabled(true);
    btnresture_->setEnabled(true);
}

void TFrmGua::BtnrestureClick() {
    timer_->stop();
    throw_.reset();
    btosat_->setText(qstr(throw_.throwCaption()));
    btosat_->setEnabled(true);
    btostop_->setEnabled(false);
}

}  // namespace qingheng
