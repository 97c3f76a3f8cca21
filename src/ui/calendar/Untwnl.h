#pragma once
// TFrmWnl "青衡万年历": the perpetual calendar. A month page of 1900-2050 with the lunar
// date of every day, the month's two solar terms and the four pillars of a chosen day and
// hour. It changes no data; the main window keeps at most one open.
#include <QWidget>

#include "calendar/MonthPage.h"

class QCheckBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPlainTextEdit;
class QSpinBox;
class QToolButton;

namespace qingheng {

class TPictureBox;

class TFrmWnl : public QWidget {
    Q_OBJECT
public:
    explicit TFrmWnl(QWidget* parent = nullptr);

    // The handlers, as the controls call them.
    void redraw();
    void sbtnnowClick();  // 当前时间
    void BitBtn2Click();  // 上一月
    void BitBtn1Click();  // 下一月
    void EdtYearEnter();  // Enter in the year edit
    void Img1MouseDown(QPoint at, Qt::MouseButton button);

    // The page on screen (the last one drawn).
    const MonthPage& page() const { return page_; }

protected:
    void showEvent(QShowEvent* event) override;

private:
    void buildControls();
    void connectControls();
    // Sets the controls without redrawing between the changes.
    void choose(int year, int month, int day, int hour, int minute);
    void chooseNow();
    void drawPage(QPainter& painter) const;
    void drawHeader(QPainter& painter) const;
    void drawDay(QPainter& painter, const PageDay& day) const;
    QRect cellRect(int row, int column) const;
    void placeShape();

    QLabel* labtitle_ = nullptr;
    QLabel* labxiao_ = nullptr;
    QLineEdit* EdtYear_ = nullptr;
    QSpinBox* UdYear_ = nullptr;
    QComboBox* cbom_ = nullptr;
    QComboBox* cbod_ = nullptr;
    QComboBox* cbos_ = nullptr;
    QComboBox* cbomin_ = nullptr;
    QToolButton* sbtnnow_ = nullptr;
    QToolButton* BitBtn2_ = nullptr;
    QToolButton* BitBtn1_ = nullptr;
    QCheckBox* chkjq_ = nullptr;
    TPictureBox* Img1_ = nullptr;
    QWidget* Shape1_ = nullptr;
    QPlainTextEdit* memjie1_ = nullptr;
    QPlainTextEdit* memjie2_ = nullptr;
    QPlainTextEdit* memgz_ = nullptr;

    MonthPage page_;
    bool drawn_ = false;
};

}  // namespace qingheng
