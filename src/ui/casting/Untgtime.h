#pragma once
// TFrmGTime "时间起卦法": casting by a moment (page "时间起卦", with an optional addition) or
// the lifetime hexagram (page "终身卦"). The remembered entries come in and, after a
// successful cast, go back out; every refusal keeps the dialog open with its entries.
#include <QDialog>

#include <optional>

#include "calendar/Yidate.h"
#include "casting/Casting.h"
#include "casting/TimeCasting.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QRadioButton;
class QSpinBox;
class QTabWidget;

namespace qingheng {

class TFrmGTime : public QDialog {
    Q_OBJECT
public:
    TFrmGTime(TimeCastingEntry& entry, QWidget* parent = nullptr);

    const std::string& mainCode() const { return result_.mainCode; }
    const std::string& changedCode() const { return result_.changedCode; }
    bool lifetime() const { return lifetime_; }
    // The moment as a Gregorian date-time, after a successful validation.
    const DateRecord& gregorian() const { return gregorian_; }
    const CastResult& castResult() const { return result_; }
    QString hint() const;

    // Runs the validation and hint procedure; false after a refusal (its message shown).
    bool validateAndHint();

protected:
    void showEvent(QShowEvent* event) override;

private slots:
    void SpeedButton1Click();
    void UpdyearClick();
    void BtnokClick();
    void BitBtn1Click();
    void additionChanged();

private:
    QWidget* makeDatePanel();
    QWidget* makeTimePage();
    QWidget* makeLifetimePage();
    void restoreEntry();
    void storeEntry();
    void refresh();
    // The moment of the controls; a refusal shows its message, except that a check while the
    // user steps through the lists does not repeat the message it showed last.
    enum class Checking { WhileEditing, OnAccepting };
    std::optional<TimeMoment> checkedMoment(Checking checking);
    TimeAddition additionKind() const;

    TimeCastingEntry& entry_;
    int monthMode_ = kMonthsBySolarTerms;
    bool restoring_ = false;
    bool lifetime_ = false;
    DateRecord gregorian_;
    CastResult result_;
    QString lastRefusal_;  // the message of the last refusal while editing; empty after a valid moment

    QLineEdit* edtyear_ = nullptr;
    QSpinBox* updyear_ = nullptr;
    QComboBox* cbom_ = nullptr;
    QComboBox* cbod_ = nullptr;
    QComboBox* cbos_ = nullptr;
    QComboBox* cbomin_ = nullptr;
    QRadioButton* rdogl_ = nullptr;
    QRadioButton* rdonl_ = nullptr;
    QCheckBox* chkrun_ = nullptr;
    QLabel* stxtHint_ = nullptr;
    QRadioButton* rdonoadd_ = nullptr;
    QRadioButton* rdohz_ = nullptr;
    QRadioButton* rdonum_ = nullptr;
    QLineEdit* ledthz_ = nullptr;
    QLineEdit* ledtnum_ = nullptr;
    QRadioButton* rdoGan_ = nullptr;
    QRadioButton* rdoZhi_ = nullptr;
};

}  // namespace qingheng
