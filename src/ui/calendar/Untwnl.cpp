#include "ui/calendar/Untwnl.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPainter>
#include <QPlainTextEdit>
#include <QShowEvent>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>

#include "platform/Clock.h"
#include "ui/common/Untdatelists.h"
#include "ui/common/Untpicture.h"
#include "ui/common/Untprompt.h"
#include "ui/common/Unttext.h"

namespace qingheng {
namespace {

constexpr int kImageWidth = 450;
constexpr int kImageHeight = 330;
const QColor kPaleYellow(255, 255, 200);
const QColor kGreen(0, 128, 0);
const QColor kRed(255, 0, 0);
const QColor kBlue(0, 0, 255);
const QString kGridFont = QStringLiteral("宋体");

// Type sizes of the grid in points, drawn at 96 pixels per inch so that the page keeps its
// proportions whatever the screen's font settings.
constexpr int kHeaderPoints = 13;
constexpr int kTermDayPoints = 10;
constexpr int kDayPoints = 14;
constexpr int kLunarPoints = 9;

QFont gridFont(int points) {
    QFont font(kGridFont);
    font.setPixelSize(points * 96 / 72);
    return font;
}

// The highlight of the chosen day: a green rectangle with a dashed outline, see-through so
// the day's text stays readable, and deaf to the mouse so clicks reach the grid below.
class DayMarker : public QWidget {
public:
    explicit DayMarker(QWidget* parent) : QWidget(parent) { setAttribute(Qt::WA_TransparentForMouseEvents); }

protected:
    void paintEvent(QPaintEvent*) override {
        QPainter painter(this);
        QColor fill = kGreen;
        fill.setAlpha(60);
        painter.setBrush(fill);
        painter.setPen(QPen(kGreen, 1, Qt::DashLine));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
};

QToolButton* makeToolButton(QWidget* parent, const char* name, const QString& hint) {
    auto* button = new QToolButton(parent);
    button->setObjectName(name);
    button->setToolTip(hint);
    return button;
}

QPlainTextEdit* makeMemo(QWidget* parent, const char* name, int lines) {
    auto* memo = new QPlainTextEdit(parent);
    memo->setObjectName(name);
    memo->setReadOnly(true);
    memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    memo->setFixedHeight(memo->fontMetrics().lineSpacing() * lines + 12);
    return memo;
}

}  // namespace

TFrmWnl::TFrmWnl(QWidget* parent) : QWidget(parent, Qt::Window | Qt::WindowStaysOnTopHint) {
    setObjectName("FrmWnl");
    setWindowTitle(QStringLiteral("青衡万年历"));
    QPalette pal = palette();
    pal.setColor(QPalette::Window, kPaleYellow);
    setPalette(pal);
    setAutoFillBackground(true);
    buildControls();
    chooseNow();
    connectControls();
}

void TFrmWnl::buildControls() {
    labtitle_ = new QLabel(this);
    labtitle_->setObjectName("labtitle");
    labxiao_ = new QLabel(this);
    labxiao_->setObjectName("labxiao");
    for (QLabel* label : {labtitle_, labxiao_}) {
        QFont font = label->font();
        font.setPixelSize(20);
        font.setBold(true);
        label->setFont(font);
    }
    // Wide enough for the longest texts ("2050年12月", "猴年"), so the heading never jumps.
    labtitle_->setMinimumWidth(labtitle_->fontMetrics().horizontalAdvance(QStringLiteral("2050年12月")) + 4);
    labxiao_->setMinimumWidth(labxiao_->fontMetrics().horizontalAdvance(QStringLiteral("猴年")) + 4);
    EdtYear_ = new QLineEdit(this);
    EdtYear_->setObjectName("EdtYear");
    EdtYear_->setFixedWidth(56);
    UdYear_ = new QSpinBox(this);
    UdYear_->setObjectName("UdYear");
    linkYearUpDown(EdtYear_, UdYear_);
    createDateLists(this, cbom_, cbod_, cbos_, cbomin_, HourLabels::Plain);
    sbtnnow_ = makeToolButton(this, "sbtnnow", QStringLiteral("当前时间"));
    sbtnnow_->setText(QStringLiteral("现在"));
    BitBtn2_ = makeToolButton(this, "BitBtn2", QStringLiteral("上一月"));
    BitBtn2_->setArrowType(Qt::LeftArrow);
    BitBtn1_ = makeToolButton(this, "BitBtn1", QStringLiteral("下一月"));
    BitBtn1_->setArrowType(Qt::RightArrow);
    chkjq_ = new QCheckBox(QStringLiteral("节气换月"), this);
    chkjq_->setObjectName("chkjq");
    chkjq_->setChecked(true);
    Img1_ = new TPictureBox(kImageWidth, kImageHeight, this);
    Img1_->setObjectName("Img1");
    Img1_->setPainter([this](QPainter& painter) { drawPage(painter); });
    Shape1_ = new DayMarker(Img1_);
    Shape1_->setObjectName("Shape1");
    Shape1_->hide();
    memjie1_ = makeMemo(this, "memjie1", 1);
    memjie2_ = makeMemo(this, "memjie2", 1);
    memgz_ = makeMemo(this, "memgz", 4);

    auto* heading = new QHBoxLayout;
    heading->addWidget(labtitle_);
    heading->addSpacing(16);
    heading->addWidget(labxiao_);
    heading->addStretch();
    heading->addWidget(BitBtn2_);
    heading->addWidget(sbtnnow_);
    heading->addWidget(BitBtn1_);

    auto* side = new QVBoxLayout;
    side->addWidget(new QLabel(QStringLiteral("本月节气"), this));
    side->addWidget(memjie1_);
    side->addWidget(memjie2_);
    side->addSpacing(8);
    side->addWidget(new QLabel(QStringLiteral("四柱"), this));
    side->addWidget(memgz_);
    side->addSpacing(8);
    side->addWidget(chkjq_);
    side->addStretch();

    auto* chooser = new QHBoxLayout;
    chooser->addWidget(new QLabel(QStringLiteral("年份"), this));
    chooser->addWidget(EdtYear_);
    chooser->addWidget(UdYear_);
    for (QComboBox* list : {cbom_, cbod_, cbos_, cbomin_}) chooser->addWidget(list);
    chooser->addStretch();

    auto* grid = new QGridLayout(this);
    grid->addLayout(heading, 0, 0, 1, 2);
    grid->addWidget(Img1_, 1, 0);
    grid->addLayout(side, 1, 1);
    grid->addLayout(chooser, 2, 0, 1, 2);
    grid->setSizeConstraint(QLayout::SetFixedSize);
    for (QPlainTextEdit* memo : {memjie1_, memjie2_, memgz_}) memo->setFixedWidth(150);
}

void TFrmWnl::connectControls() {
    for (QComboBox* list : {cbom_, cbod_, cbos_, cbomin_})
        connect(list, &QComboBox::currentIndexChanged, this, &TFrmWnl::redraw);
    connect(chkjq_, &QCheckBox::toggled, this, &TFrmWnl::redraw);
    connect(UdYear_, &QSpinBox::valueChanged, this, &TFrmWnl::redraw);  // after the edit got the year
    connect(EdtYear_, &QLineEdit::returnPressed, this, &TFrmWnl::EdtYearEnter);
    connect(sbtnnow_, &QToolButton::clicked, this, &TFrmWnl::sbtnnowClick);
    connect(BitBtn2_, &QToolButton::clicked, this, &TFrmWnl::BitBtn2Click);
    connect(BitBtn1_, &QToolButton::clicked, this, &TFrmWnl::BitBtn1Click);
    connect(Img1_, &TPictureBox::pressed, this, &TFrmWnl::Img1MouseDown);
}

void TFrmWnl::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!event->spontaneous()) redraw();  // not again when the window manager restores it
}

void TFrmWnl::choose(int year, int month, int day, int hour, int minute) {
    const QSignalBlocker m(cbom_), d(cbod_), s(cbos_), n(cbomin_);
    showYear(EdtYear_, UdYear_, year);
    cbom_->setCurrentIndex(month - 1);
    cbod_->setCurrentIndex(day - 1);
    cbos_->setCurrentIndex(hour);
    cbomin_->setCurrentIndex(minute);
}

void TFrmWnl::chooseNow() {
    const LocalDateTime now = appClock().now();
    choose(std::min(now.year, kLastYear), now.month, now.day, now.hour, now.minute);
}

// ---------------------------------------------------------------- handlers

void TFrmWnl::sbtnnowClick() {
    chooseNow();
    redraw();
}

void TFrmWnl::BitBtn2Click() {
    if (!drawn_) return;
    const PageRequest& r = page_.request;
    if (r.year == kFirstYear && r.month == 1) return;
    if (r.month == 1) choose(r.year - 1, 12, 1, cbos_->currentIndex(), cbomin_->currentIndex());
    else choose(r.year, r.month - 1, 1, cbos_->currentIndex(), cbomin_->currentIndex());
    redraw();
}

void TFrmWnl::BitBtn1Click() {
    if (!drawn_) return;
    const PageRequest& r = page_.request;
    if (r.year == kLastYear && r.month == 12) return;
    if (r.month == 12) choose(r.year + 1, 1, 1, cbos_->currentIndex(), cbomin_->currentIndex());
    else choose(r.year, r.month + 1, 1, cbos_->currentIndex(), cbomin_->currentIndex());
    redraw();
}

void TFrmWnl::EdtYearEnter() {
    const int year = yearFromEdit(EdtYear_);
    if (year < kFirstYear || year > kLastYear) {
        prompts().stop(this, qstr(kPageYearMessage), QStringLiteral("错误"));
        return;
    }
    redraw();
}

void TFrmWnl::Img1MouseDown(QPoint at, Qt::MouseButton button) {
    if (button != Qt::LeftButton || !drawn_) return;
    const int cw = Img1_->width() / kPageColumns, ch = Img1_->height() / kPageRows;
    // The strips right of and below the 7 x 7 cells belong to no cell.
    if (at.x() < 0 || at.y() < 0 || at.x() >= cw * kPageColumns || at.y() >= ch * kPageRows) return;
    const int cell = (at.y() / ch) * kPageColumns + at.x() / cw - kPageColumns;
    const std::optional<int> day = page_.dayOfCell(cell);
    if (!day) return;
    {
        const QSignalBlocker block(cbod_);
        cbod_->setCurrentIndex(*day - 1);
    }
    redraw();
}

void TFrmWnl::redraw() {
    PageRequest request;
    request.year = yearFromEdit(EdtYear_);
    request.month = cbom_->currentIndex() + 1;
    request.day = cbod_->currentIndex() + 1;
    request.hour = cbos_->currentIndex();
    request.minute = cbomin_->currentIndex();
    request.termsOpenMonths = chkjq_->isChecked();
    switch (CheckPageRequest(request)) {
        case PageProblem::Year:
            prompts().stop(this, qstr(kPageYearMessage), QStringLiteral("年份不对"));
            return;
        case PageProblem::Day:
            prompts().info(this, qstr(kPageDayMessage), QStringLiteral("日期不对"));
            return;
        case PageProblem::None:
            break;
    }
    {
        const QSignalBlocker block(UdYear_);
        UdYear_->setValue(request.year - kFirstYear);
    }
    page_ = BuildMonthPage(request);
    drawn_ = true;
    labtitle_->setText(qstr(PageTitle(page_)));
    labxiao_->setText(qstr(PageAnimal(page_)));
    memjie1_->setPlainText(qstr(page_.termMemos[0]));
    memjie2_->setPlainText(qstr(page_.termMemos[1]));
    memgz_->setPlainText(qstr(PagePillarsMemo(page_)));
    placeShape();
    Img1_->update();
}

// ---------------------------------------------------------------- the month grid

QRect TFrmWnl::cellRect(int row, int column) const {
    const int cw = Img1_->width() / kPageColumns, ch = Img1_->height() / kPageRows;
    return QRect(column * cw, row * ch, cw, ch);
}

void TFrmWnl::placeShape() {
    const int d = page_.request.day;
    Shape1_->setGeometry(cellRect(page_.rowOfDay(d), page_.columnOfDay(d)));
    Shape1_->show();
    Shape1_->update();
}

void TFrmWnl::drawPage(QPainter& painter) const {
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.fillRect(QRect(0, 0, Img1_->width(), Img1_->height()), kPaleYellow);
    if (!drawn_) return;
    // Lines run through the middle of their pixel row or column, so that at any pixel ratio they
    // fill whole device pixels: one at 1x, two at 2x.
    painter.setPen(QPen(Qt::black, 1));
    const int cw = Img1_->width() / kPageColumns, ch = Img1_->height() / kPageRows;
    const qreal w = Img1_->width(), h = Img1_->height();
    for (int k = 1; k < kPageRows; ++k) painter.drawLine(QLineF(0, k * ch + 0.5, w, k * ch + 0.5));
    for (int k = 1; k < kPageColumns; ++k) painter.drawLine(QLineF(k * cw + 0.5, 0, k * cw + 0.5, h));
    drawHeader(painter);
    for (const PageDay& day : page_.days) drawDay(painter, day);
}

void TFrmWnl::drawHeader(QPainter& painter) const {
    static const char* const kWeekdays[kPageColumns] = {"星期一", "星期二", "星期三", "星期四",
                                                        "星期五", "星期六", "星期日"};
    painter.setFont(gridFont(kHeaderPoints));
    for (int column = 0; column < kPageColumns; ++column) {
        painter.setPen(column < 5 ? kGreen : kRed);
        painter.drawText(cellRect(0, column), Qt::AlignCenter, QString::fromUtf8(kWeekdays[column]));
    }
}

void TFrmWnl::drawDay(QPainter& painter, const PageDay& day) const {
    const QRect cell = cellRect(page_.rowOfDay(day.day), page_.columnOfDay(day.day));
    const QRect upper(cell.left(), cell.top(), cell.width(), cell.height() / 2);
    const QRect lower(cell.left(), upper.bottom() + 1, cell.width(), cell.height() - upper.height());
    const bool termDay = !day.term.empty();
    painter.setPen(termDay ? kRed : kBlue);
    painter.setFont(gridFont(termDay ? kTermDayPoints : kDayPoints));
    const QString number = QString::number(day.day);
    painter.drawText(upper, Qt::AlignCenter, termDay ? number + ' ' + qstr(day.term) : number);
    painter.setFont(gridFont(kLunarPoints));
    painter.drawText(lower, Qt::AlignCenter, qstr(day.lunar));
}

}  // namespace qingheng
