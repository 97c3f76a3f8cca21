#pragma once
// The month, day, hour and minute drop-down lists shared by the date dialogs, and the
// year edit with its up-down control.
#include <QComboBox>
#include <QLineEdit>
#include <QSpinBox>

namespace qingheng {

// How the hour list labels its hours: "0时子" (with the double hour's branch) or "0时".
enum class HourLabels { WithBranch, Plain };

// "1月".."12月", "1日".."31日", "0时子".."23时子" (or "0时".."23时"), "0分".."59分".
void fillDateLists(QComboBox* month, QComboBox* day, QComboBox* hour, QComboBox* minute,
                   HourLabels hourLabels = HourLabels::WithBranch);

// Creates the four lists with the names every date dialog gives them (cbom, cbod, cbos,
// cbomin) and fills them.
void createDateLists(QWidget* parent, QComboBox*& month, QComboBox*& day, QComboBox*& hour, QComboBox*& minute,
                     HourLabels hourLabels = HourLabels::WithBranch);

// The label of hour h (0-23): the number, "时" and the branch of its double hour.
QString hourItemText(int hour);

// Links a year edit (4 characters) and its up-down control (0-150 = year - 1900): clicking
// the up-down writes 1900 + its position into the edit.
void linkYearUpDown(QLineEdit* year, QSpinBox* upDown);

// The year typed in the edit; a non-number counts as 0.
int yearFromEdit(const QLineEdit* year);

// Sets the edit and the up-down from a year.
void showYear(QLineEdit* year, QSpinBox* upDown, int value);

}  // namespace qingheng
