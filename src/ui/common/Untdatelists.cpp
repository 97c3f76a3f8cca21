#include "ui/common/Untdatelists.h"

#include "calendar/Yidate.h"

namespace qingheng {

QString hourItemText(int hour) {
    return QStringLiteral("%1时%2").arg(hour).arg(QString::fromUtf8(BranchName(HourBranch(hour)).data(), 3));
}

void fillDateLists(QComboBox* month, QComboBox* day, QComboBox* hour, QComboBox* minute, HourLabels hourLabels) {
    month->clear();
    day->clear();
    hour->clear();
    minute->clear();
    for (int m = 1; m <= 12; ++m) month->addItem(QStringLiteral("%1月").arg(m));
    for (int d = 1; d <= 31; ++d) day->addItem(QStringLiteral("%1日").arg(d));
    for (int h = 0; h <= 23; ++h)
        hour->addItem(hourLabels == HourLabels::WithBranch ? hourItemText(h) : QStringLiteral("%1时").arg(h));
    for (int n = 0; n <= 59; ++n) minute->addItem(QStringLiteral("%1分").arg(n));
    for (QComboBox* list : {month, day, hour, minute}) list->setMaxVisibleItems(16);
}

void createDateLists(QWidget* parent, QComboBox*& month, QComboBox*& day, QComboBox*& hour, QComboBox*& minute,
                     HourLabels hourLabels) {
    const auto named = [parent](const char* name) {
        auto* list = new QComboBox(parent);
        list->setObjectName(name);
        return list;
    };
    month = named("cbom");
    day = named("cbod");
    hour = named("cbos");
    minute = named("cbomin");
    fillDateLists(month, day, hour, minute, hourLabels);
}

void linkYearUpDown(QLineEdit* year, QSpinBox* upDown) {
    year->setMaxLength(4);
    upDown->setRange(0, kLastYear - kFirstYear);
    upDown->setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    upDown->setFixedWidth(22);  // arrows only: the year shows in the edit
    upDown->setKeyboardTracking(false);
    QObject::connect(upDown, &QSpinBox::valueChanged, year,
                     [year](int position) { year->setText(QString::number(kFirstYear + position)); });
}

int yearFromEdit(const QLineEdit* year) {
    bool ok = false;
    const int value = year->text().trimmed().toInt(&ok);
    return ok ? value : 0;
}

void showYear(QLineEdit* year, QSpinBox* upDown, int value) {
    const QSignalBlocker block(upDown);
    upDown->setValue(value - kFirstYear);
    year->setText(QString::number(value));
}

}  // namespace qingheng
